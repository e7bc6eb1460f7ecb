#pragma once
// Menus as text for the menu tests: "text(id)" for every item and "text>" ... "<" around every
// popup, depth first, separators as "-".

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>

namespace tovala::test {

inline void flattenMenu(const QMenu* menu, QStringList& out) {
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) {
      out << "-";
    } else if (a->menu()) {
      out << a->text() + ">";
      flattenMenu(a->menu(), out);
      out << "<";
    } else {
      out << QString("%1(%2)").arg(a->text()).arg(a->data().toInt());
    }
  }
}

inline QStringList flattenMenuBar(const QMenuBar& bar) {
  QStringList out;
  for (QAction* a : bar.actions()) {
    out << a->text() + ">";
    flattenMenu(a->menu(), out);
    out << "<";
  }
  return out;
}

}  // namespace tovala::test
