// The window's side of undo: which ring a step goes to, and the mode and selection update after
// it. The snapshots themselves are the session's. In motion mode undo and redo walk the posing
// history instead, and the figure is posed again from the values they bring back.

#include "engine/pose_history.h"
#include "script/motion_prepare.h"
#include "shell/main_window.h"

namespace tovala {

namespace {

void stepPosing(TMyWindow& w, bool back) {
  Document& d = w.doc();
  PoseHistory& history = w.session().poseHistory();
  PoseValues target;
  const bool stepped = back ? history.undo(capturePoseValues(d), target)
                            : history.redo(capturePoseValues(d), target);
  if (!stepped) return;
  // The joint lines changed under the history (a script run in the mode): its steps no longer fit.
  if (!restorePoseValues(d, target)) {
    history.clear();
    return;
  }
  const int line = d.curLine, point = d.curPoint;
  prepareMotion(d);
  d.curLine = line;
  d.curPoint = point;
  w.session().setModified(true);
  w.rebuild();
  w.refreshPanel(PanelId::Control);
  w.compose();
}

}  // namespace

void TMyWindow::finishStep(const StepResult& r, int previousLine, int previousPoint) {
  if (!r.stepped) return;
  if (r.canvasChanged) doc_.recreateWorkImages();
  if (r.selectLineMode) setMode(kModeSelect, "OnTovLineSel");
  selectionChanged(previousLine, previousPoint);
  session_.changed(Redraw::All);
}

void TMyWindow::undo() {
  // The side view shows exchanged coordinates; a step taken now would mix them into the figure.
  if (sideView()) return;
  if (motion()) {
    stepPosing(*this, true);
    return;
  }
  if (doc_.edit.mode == kModePaint) {
    if (session_.paintRing().undo(doc_, doc_.curLine)) session_.rebuild();
    return;
  }
  const int line = doc_.curLine;
  const int point = doc_.curPoint;
  finishStep(undoRing().undo(doc_, sideView()), line, point);
}

void TMyWindow::redo() {
  if (sideView()) return;
  if (motion()) {
    stepPosing(*this, false);
    return;
  }
  if (doc_.edit.mode == kModePaint) {
    if (session_.paintRing().redo(doc_, doc_.curLine)) session_.rebuild();
    return;
  }
  const int line = doc_.curLine;
  const int point = doc_.curPoint;
  finishStep(undoRing().redo(doc_, sideView()), line, point);
}

}  // namespace tovala
