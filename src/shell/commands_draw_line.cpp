// "描画" → "線": selecting, adding and deleting lines, fill on and off, the shape tools, and the
// two style resets.

#include "engine/lines_points.h"
#include "shell/command_rules.h"

namespace tovala {

namespace {

constexpr const char* kDeleteQuestion =
    "線の削除は、動きなどに影響を与える場合があります。本当に削除しますか? ";

void deleteLineCommand(TMyWindow& w) {
  Document& d = w.doc();
  if (!w.lineSelected()) {
    w.ui().message(kNoLineSelected, "");
    return;
  }
  if (w.ui().ask(kDeleteQuestion, "確認", Buttons::YesNo) != Answer::Yes) return;
  const int previous = d.edit.mode;
  const bool deleted = w.session().edit("OnTovLineDel", [](Document& doc) {
    if (deleteLine(doc, doc.curLine) < 0) return false;
    doc.curLine = 0;
    doc.curPoint = 0;
    doc.edit.mode = kModeSelect;
    return true;
  }, Redraw::All);
  if (!deleted) {
    w.ui().message(kNoLineSelected, "");
    return;
  }
  w.modeChange(previous, "OnTovLineDel");
}

template <int Kind>
void setLineKind(TMyWindow& w) {
  if (!w.lineSelected()) return;
  editSelected(w, Kind == 1 ? "OnTovLinePaint1" : "OnTovLinePaint0",
               [](Document& d) { d.lines[size_t(d.curLine)].kind = Kind; });
}

int realPoints(TMyWindow& w) {
  return w.lineSelected() ? w.doc().pointCount(w.doc().curLine) - 1 : 0;
}

// The shape tools wait for a drag on the canvas; each needs enough points for its corners.
template <int TempMode>
void startShape(TMyWindow& w) {
  if (w.motion()) return;
  w.doc().edit.tempMode = TempMode;
  w.compose();
}
template <int MinPoints>
CommandState shapeRule(TMyWindow& w) {
  return enabledIf(!w.motion() && realPoints(w) >= MinPoints);
}

// "透明にする": a thin, faint brush.
void makeTransparent(TMyWindow& w) {
  if (!w.lineSelected()) return;
  w.session().edit("OnTovLineClear", [](Document& d) {
    d.lines[size_t(d.curLine)].setStyle({2.0f, 2.0f, 2.0f, 0.0f}, 20, 20, 0.0, 0.0);
  });
}

// "設定クリア": the line's kind, modes and style back to the document's defaults.
void clearSettings(TMyWindow& w) {
  if (!w.lineSelected()) return;
  w.session().edit("OnTovLineReset", [](Document& d) {
    LineRecord& l = d.lines[size_t(d.curLine)];
    l.kind = 0;
    l.mode = 0;
    l.lmode = 0;
    l.imgmode = 0;
    l.sel = 1;
    l.category = 0;
    l.w = l.h = l.depth = 1.0f;
    d.applyDefaultStyle(l);
  });
}

}  // namespace

void addDrawLineCommands(CommandTable& t) {
  t.set({40002, "OnTovLineSel", [](TMyWindow& w) { w.setMode(kModeSelect, "OnTovLineSel"); }, nullptr});
  t.set({40003, "OnTovLineAdd", [](TMyWindow& w) { w.setMode(kModeAddLine, "OnTovLineAdd"); }, nullptr});
  t.set({40004, "OnTovLineDel", deleteLineCommand, nullptr});
  t.set({40014, "OnTovLinePaint1", setLineKind<1>, nullptr});
  t.set({40015, "OnTovLinePaint0", setLineKind<0>, nullptr});
  t.set({40038, "", startShape<1>, shapeRule<2>});
  t.set({40039, "", startShape<2>, shapeRule<4>});
  t.set({40040, "", startShape<3>, shapeRule<5>});
  t.set({40037, "", startShape<4>, shapeRule<4>});
  t.set({40033, "", makeTransparent, nullptr});
  t.set({40034, "", clearSettings, nullptr});
}

}  // namespace tovala
