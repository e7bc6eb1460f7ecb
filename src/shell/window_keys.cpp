// The key table of the main window.

#include <QKeyEvent>

#include "shell/canvas_widget.h"
#include "shell/main_window.h"
#include "shell/side_view.h"

namespace tovala {

namespace {
bool isZoomIn(const QKeyEvent* e) { return e->key() == Qt::Key_Plus; }
bool isZoomOut(const QKeyEvent* e) { return e->key() == Qt::Key_Minus; }

// Ctrl with + (or =, the same key unshifted), - or 0 zooms about the mouse as desktop programs
// do; true when the key was one of them.
bool ctrlZoom(TMyWindow& w, const QKeyEvent* e) {
  if (!(e->modifiers() & Qt::ControlModifier)) return false;
  CanvasWidget* canvas = w.canvas();
  const int key = e->key();
  if (key == Qt::Key_Plus || key == Qt::Key_Equal)
    canvas->zoomStep(true, canvas->mouseOrCentre());
  else if (key == Qt::Key_Minus)
    canvas->zoomStep(false, canvas->mouseOrCentre());
  else if (key == Qt::Key_0)
    canvas->zoomAbout(1.0f, canvas->mouseOrCentre());
  else
    return false;
  return true;
}
}  // namespace

void TMyWindow::setSideView(bool on) {
  if (sideView() == on) return;
  exchangeSideView(doc_, on);
  session_.setSideViewFlag(on);
  rebuild();
  compose();
}

void TMyWindow::keyPressEvent(QKeyEvent* event) {
  // The zoom keys are the window's alone; every other key also goes on to the default handling.
  // The keypad keys without Ctrl keep their old way: the view goes back to the top-left corner.
  if (ctrlZoom(*this, event)) return;
  if (isZoomIn(event)) {
    zoomIn();
    return;
  }
  if (isZoomOut(event)) {
    zoomOut();
    return;
  }
  const int key = event->key();
  const Qt::KeyboardModifiers mods = event->modifiers();
  if (key == Qt::Key_Backspace || key == Qt::Key_Delete) runCommand(40008);
  // Ctrl is tested before Shift and both tests run, so Ctrl+Shift+Z is undo alone.
  if (mods & Qt::ControlModifier) {
    if (key == Qt::Key_Z) undo();
    if (key == Qt::Key_Y) redo();
  } else if (key == Qt::Key_Z && !sideView()) {
    setSideView(true);
  }
  if (mods & Qt::ShiftModifier) {
    if (key == Qt::Key_S) runCommand(40002);
    if (key == Qt::Key_L) runCommand(40003);
    if (key == Qt::Key_P) runCommand(40007);
  }
  QMainWindow::keyPressEvent(event);
}

void TMyWindow::changeEvent(QEvent* event) {
  // Another window taking the keyboard takes the release of Z with it.
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) setSideView(false);
  QMainWindow::changeEvent(event);
}

void TMyWindow::keyReleaseEvent(QKeyEvent* event) {
  // Auto-repeat sends release and press pairs while Z is held; only the real release counts.
  if (event->key() == Qt::Key_Z && !event->isAutoRepeat() && sideView()) setSideView(false);
  QMainWindow::keyReleaseEvent(event);
}

}  // namespace tovala
