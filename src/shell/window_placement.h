#pragma once
// Where dialogs and other windows of the editor open: on the screen, never taller or wider than
// it, and beside the canvas rather than over the figure being edited. One filter on the
// application places every window the editor opens as it is shown, so no dialog has to.

#include <QObject>
#include <QRect>

#include <vector>

namespace tovala {

class TMyWindow;

// Where a window of size `size` goes: beside the main window's frame (right, then left), or
// inside it against the canvas's right or left edge, whichever first keeps clear of `figure`
// (the part of the canvas the figure covers) once pulled onto `available`; when every place
// covers some of the figure, the one that covers least. All rectangles are in screen pixels.
QRect besideCanvas(const QSize& size, const QRect& frame, const QRect& canvas, const QRect& figure,
                   const QRect& available);

// The screen rectangle the figure's points cover on the canvas (with a margin for the strokes),
// clipped to the canvas's visible part; empty when nothing is drawn there.
QRect figureOnScreen(TMyWindow& w);

// Installed on the application by the main window: places each window as it is first shown
// (dialogs and the manual beside the canvas, floating docks and every later showing only pulled
// onto the screen). Menus, tool tips and other pop-ups are left to Qt.
class WindowPlacer : public QObject {
  Q_OBJECT

 public:
  explicit WindowPlacer(TMyWindow& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void place(QWidget& window);

  TMyWindow& window_;
};

}  // namespace tovala
