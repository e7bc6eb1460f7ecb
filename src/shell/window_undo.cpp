// The window's side of undo: which ring a snapshot or step goes to, and the redraw after a step.

#include "shell/main_window.h"

namespace tovala {

void TMyWindow::snapshot(std::string_view reason) {
  switch (undo_.snapshot(doc_, reason, sideView_)) {
    case SnapshotResult::PaintStep:
      paint_.snapshot(doc_, doc_.curLine);
      setModified(true);
      break;
    case SnapshotResult::Written:
      if (reason != "OnUndo") setModified(true);
      break;
    case SnapshotResult::Skipped: break;
  }
}

void TMyWindow::resetUndo() {
  undo_.reset();
  paint_.reset();
}

void TMyWindow::finishStep(const StepResult& r, int previousLine, int previousPoint) {
  if (!r.stepped) return;
  if (r.canvasChanged) doc_.recreateWorkImages();
  if (r.selectLineMode) setMode(kModeSelect, "OnTovLineSel");
  selectionChanged(previousLine, previousPoint);
  rebuild();
  compose();
  refreshPanel(PanelId::LineList);
  setModified(true);
}

void TMyWindow::undo() {
  // The side view shows exchanged coordinates; a step taken now would mix them into the figure.
  if (motion() || sideView_) return;
  if (doc_.edit.mode == kModePaint) {
    if (paint_.undo(doc_, doc_.curLine)) {
      rebuild();
      compose();
    }
    return;
  }
  const int line = doc_.curLine;
  const int point = doc_.curPoint;
  finishStep(undo_.undo(doc_, sideView_), line, point);
}

void TMyWindow::redo() {
  if (motion() || sideView_) return;
  if (doc_.edit.mode == kModePaint) {
    if (paint_.redo(doc_, doc_.curLine)) {
      rebuild();
      compose();
    }
    return;
  }
  const int line = doc_.curLine;
  const int point = doc_.curPoint;
  finishStep(undo_.redo(doc_, sideView_), line, point);
}

}  // namespace tovala
