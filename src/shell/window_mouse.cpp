// The mouse on the canvas and the procedures around it: the mode change, the selection-change
// update, and the temporary modes taking over the mouse while they run.

#include <QMenu>

#include "shell/canvas_widget.h"
#include "shell/main_window.h"
#include "shell/panels/objects/objects_panel_window.h"

namespace tovala {

void TMyWindow::setMode(int mode, const char* name) {
  const int previous = doc_.edit.mode;
  doc_.edit.mode = mode;
  modeChange(previous, name);
}

void TMyWindow::modeChange(int previousMode, const char* /*name*/) {
  const int mode = doc_.edit.mode;
  doc_.edit.tempMode = 0;
  editBusy = 0;
  objectsPickState = 0;
  if (sideView()) setSideView(false);
  canvas_->viewport()->setCursor(hoverCursor({0, 0}));

  if (mode != kModeMotion) {
    showPanel(PanelId::Move, false);
    if (previousMode == kModeMotion && leaveMotion) {
      leaveMotion(*this);
      rebuild();
      compose();
    }
  } else if (previousMode != kModeMotion && enterMotion) {
    enterMotion(*this);
  }

  showPanel(PanelId::Joint, false);
  showPanel(PanelId::CLine, false);
  showPanel(PanelId::OLine, false);
  if (mode != kModePaint) showPanel(PanelId::Paint, false);
  compose();
  refreshPanel(PanelId::Control);
  refreshPanel(PanelId::LineList);
}

void TMyWindow::selectionChanged(int previousLine, int previousPoint) {
  doc_.edit.tempMode = 0;
  refreshPanel(PanelId::Control);
  if (doc_.curLine != previousLine || doc_.curPoint != previousPoint) {
    showPanel(PanelId::Joint, false);
    refreshPanel(PanelId::CLine);
    refreshPanel(PanelId::OLine);
    refreshPanel(PanelId::Settings);
    refreshPanel(PanelId::EditTool);
  }
  if (doc_.curLine != previousLine) {
    showPanel(PanelId::CLine, false);
    showPanel(PanelId::OLine, false);
    if (!motion()) {
      if (!doc_.isValidLine(doc_.curLine)) doc_.curLine = 0;
      if (doc_.isValidPick(doc_.curLine, doc_.curPoint) != 1) doc_.curPoint = 0;
    }
  }
}

void TMyWindow::cancelTempMode() {
  doc_.edit.tempMode = 0;
  editBusy = 0;
  picks_.phase = 0;
  objectsPickState = 0;
  compose();
}

namespace {
// Temporary modes act only on a valid selection, and never in paint or motion mode.
TempModeHandler* activeTemp(TMyWindow& w) {
  const Document& d = w.doc();
  if (d.edit.mode == kModePaint || d.edit.mode == kModeMotion) return nullptr;
  if (d.isValidPick(d.curLine, d.curPoint) != 1) return nullptr;
  return w.tempModes().find(d.edit.tempMode);
}
}  // namespace

void TMyWindow::leftDown(CanvasPoint p) {
  mouse_.leftDown = 1;
  mouse_.snapshotOnDrag = false;
  mouse_.current = mouse_.press = p;
  if (objectsCanvasPick(*this, p)) {
    // The objects panel's pick takes the press; no drag follows it.
    mouse_.leftDown = 0;
    compose();
    return;
  }
  if (doc_.edit.tempMode > 0) {
    if (TempModeHandler* t = activeTemp(*this)) t->press(*this, p);
    compose();
    return;
  }
  if (!hasLines()) runCommand(40003);
  const bool wasModified = session_.modified();
  if (!motion()) session_.snapshot("OnLButtonDown");
  const int previousLine = doc_.curLine;
  const int previousPoint = doc_.curPoint;
  const int modeBefore = doc_.edit.mode;

  int result = -1;
  if (doc_.objectView == 1 && !motion()) {
    result = selectAt(*this, p);  // the object view only selects
    objectsFollowSelection(*this, previousLine, previousPoint);
  } else if (ModeHandler* m = modes_.find(doc_.edit.mode))
    result = m->press(*this, p);
  if (modeBefore == kModeAddLine && doc_.edit.mode == kModeAddPoint) refreshPanel(PanelId::Control);

  if (doc_.edit.mode == kModeSelect && result < 0 && !motion()) {
    // A click on empty canvas changed nothing: its snapshot is taken back. A drag that follows
    // still moves the selected line from where it is, so it takes the step when it starts.
    undoRing().withdraw();
    session_.setModified(wasModified);
    mouse_.snapshotOnDrag = true;
  }
  selectionChanged(previousLine, previousPoint);
  refreshPanel(PanelId::LineList);
  refreshPanel(PanelId::Script);
  compose();
}

void TMyWindow::mouseMoved(CanvasPoint p) {
  const CanvasPoint previous = mouse_.current;
  mouse_.current = p;
  if (doc_.edit.tempMode > 0) {
    if (mouse_.leftDown)
      if (TempModeHandler* t = activeTemp(*this)) t->move(*this, p, mouse_.press);
    compose();
    return;
  }
  if (!mouse_.leftDown) return;
  ModeHandler* m = modes_.find(doc_.edit.mode);
  if (!m) return;
  if (mouse_.snapshotOnDrag) {
    mouse_.snapshotOnDrag = false;
    session_.snapshot("OnLButtonDown");
  }
  m->drag(*this, p, mouse_.press, previous);
  refreshPanel(PanelId::Control);  // its coordinates follow the dragged point
  compose();
}

void TMyWindow::leftUp(CanvasPoint p) {
  mouse_.leftDown = 0;
  mouse_.snapshotOnDrag = false;
  mouse_.release = p;
  if (doc_.edit.tempMode > 0) {
    if (TempModeHandler* t = activeTemp(*this)) {
      t->release(*this, p, mouse_.press);
      rebuild();
    }
    compose();
    return;
  }
  if (doc_.edit.mode == kModeSelect) doc_.edit.subMode = kSubModeReleased;
  session_.snapshot("OnLButtonUp");
}

void TMyWindow::rightDown(CanvasPoint p, const QPoint& globalPos) {
  if (mouse_.leftDown) return;
  if (motion()) {
    mouse_.leftDown = 1;
    mouse_.current = mouse_.press = p;
    doc_.edit.dragAxis = 2;
    if (ModeHandler* m = modes_.find(kModeMotion)) m->press(*this, p);
    compose();
    return;
  }
  if (objectsPickState > 0) {  // the right button ends the objects panel's pick
    cancelTempMode();
    return;
  }
  if (doc_.edit.tempMode == 0) {
    contextMenu_->popup(globalPos);
    compose();
    return;
  }
  if (doc_.edit.mode != kModePaint) cancelTempMode();
}

void TMyWindow::rightUp(CanvasPoint) {
  if (!motion()) return;
  mouse_.leftDown = 0;
  doc_.edit.dragAxis = 0;
}

Qt::CursorShape TMyWindow::hoverCursor(CanvasPoint p) {
  if (ModeHandler* m = modes_.find(doc_.edit.mode))
    if (auto c = m->hover(*this, p)) return *c;
  if (doc_.edit.tempMode > 0) return Qt::CrossCursor;
  return Qt::ArrowCursor;
}

}  // namespace tovala
