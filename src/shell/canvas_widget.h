#pragma once
// The canvas: shows the display buffer (work image 0) scaled by the view zoom and shifted by the
// scroll offsets, draws the overlays of the current mode over it, and turns mouse events into
// canvas points for the window.

#include <QAbstractScrollArea>
#include <QImage>

#include "shell/view_state.h"

namespace tovala {

class TMyWindow;

class CanvasWidget : public QAbstractScrollArea {
  Q_OBJECT

 public:
  CanvasWidget(TMyWindow& window, QWidget* parent);

  // The scroll records of the view, applied to the two scroll bars.
  void applyScrollRecords();
  // Copies the display buffer into the picture shown and repaints.
  void showDisplay();
  const QImage& picture() const { return picture_; }
  // A translucent picture of the canvas's size laid over it (the timeline's onion skin); a null
  // image removes it.
  void setOnionSkin(QImage skin);
  const QImage& onionSkin() const { return onionSkin_; }

  CanvasPoint toCanvas(const QPoint& windowPoint) const;

  // Zooming from the wheel, the keys and the menu: the canvas point under `anchor` (viewport
  // pixels) stays where it is, as far as the scroll ranges allow, and the canvas is redrawn.
  void zoomAbout(float newZoom, QPointF anchor);
  void zoomStep(bool in, QPointF anchor);
  // The whole canvas in the viewport at the largest zoom that allows it.
  void fitToWindow();
  QPointF viewportCentre() const;
  // Where the mouse is over the viewport, or its centre when the mouse is elsewhere.
  QPointF mouseOrCentre() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void scrollContentsBy(int, int) override {}

 private:
  void onScrollAction(bool horizontal, int action);

  TMyWindow& window_;
  QImage picture_;
  QImage onionSkin_;
  bool applying_ = false;
  int wheelZoomDelta_ = 0;  // eighths of a degree not yet turned into a zoom step
};

}  // namespace tovala
