// The window's side of undo: which ring a step goes to, and the mode and selection update after
// it. The snapshots themselves are the session's.

#include "shell/main_window.h"

namespace tovala {

void TMyWindow::finishStep(const StepResult& r, int previousLine, int previousPoint) {
  if (!r.stepped) return;
  if (r.canvasChanged) doc_.recreateWorkImages();
  if (r.selectLineMode) setMode(kModeSelect, "OnTovLineSel");
  selectionChanged(previousLine, previousPoint);
  session_.changed(Redraw::All);
}

void TMyWindow::undo() {
  // The side view shows exchanged coordinates; a step taken now would mix them into the figure.
  if (motion() || sideView()) return;
  if (doc_.edit.mode == kModePaint) {
    if (session_.paintRing().undo(doc_, doc_.curLine)) session_.rebuild();
    return;
  }
  const int line = doc_.curLine;
  const int point = doc_.curPoint;
  finishStep(undoRing().undo(doc_, sideView()), line, point);
}

void TMyWindow::redo() {
  if (motion() || sideView()) return;
  if (doc_.edit.mode == kModePaint) {
    if (session_.paintRing().redo(doc_, doc_.curLine)) session_.rebuild();
    return;
  }
  const int line = doc_.curLine;
  const int point = doc_.curPoint;
  finishStep(undoRing().redo(doc_, sideView()), line, point);
}

}  // namespace tovala
