#pragma once
// Shared pieces of the edit tool's tests: a window with one line of three points whose middle
// point is selected, the tool's lists driven as the user drives them, and short forms of the
// inputs an interaction gathers.

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include "engine/param_splice.h"
#include "shell/panels/edit_tool/edit_tool.h"
#include "shell/panels/edit_tool/edit_tool_store.h"
#include "shell_fixture.h"

namespace tovala::test {

inline EditToolPanel& tool(WindowFixture& f) {
  return *static_cast<EditToolPanel*>(f.window->panel(PanelId::EditTool));
}

// The names a list shows.
inline QStringList names(EditToolPanel& p, int level) {
  QStringList out;
  for (int i = 0; i < p.list(level)->count(); ++i) out << p.list(level)->itemText(i);
  return out;
}
inline QString current(EditToolPanel& p, int level) { return p.list(level)->currentText(); }

// Chooses the rows naming `path` from level 1 down, as the user does.
inline void choosePath(EditToolPanel& p, const QStringList& path) {
  for (int level = 0; level < path.size(); ++level) {
    const int row = names(p, level).indexOf(path[level]);
    QVERIFY2(row >= 0, qPrintable(path[level]));
    p.choose(level, row);
  }
}

inline void click(EditToolPanel& p, int id) { p.button(id)->click(); }

inline const ParamEntry* entry(const ParamList& list, int32_t key) {
  const int at = findParam(list, key);
  return at < 0 ? nullptr : &list[size_t(at)];
}

inline LineRecord& line0(WindowFixture& f) { return f.doc().lines[0]; }
inline PointRecord& point(WindowFixture& f, int i) { return f.doc().lines[0].points[size_t(i)]; }

inline EditInput picked(int line, int pt, int axis = 0) {
  EditInput in;
  in.pick = {line, pt, axis, 0};
  return in;
}
inline EditInput typed(float v) {
  EditInput in;
  in.value = v;
  return in;
}

}  // namespace tovala::test
