#include "shell/canvas_widget.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "shell/main_window.h"

namespace tovala {

namespace {
constexpr QColor kBackground(150, 150, 150);

ScrollRequest requestFor(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return ScrollRequest::LineUp;
    case QAbstractSlider::SliderSingleStepAdd: return ScrollRequest::LineDown;
    case QAbstractSlider::SliderPageStepSub: return ScrollRequest::PageUp;
    case QAbstractSlider::SliderPageStepAdd: return ScrollRequest::PageDown;
    case QAbstractSlider::SliderToMinimum: return ScrollRequest::Top;
    case QAbstractSlider::SliderToMaximum: return ScrollRequest::Bottom;
    case QAbstractSlider::SliderMove: return ScrollRequest::Thumb;
    default: return ScrollRequest::End;
  }
}
}  // namespace

CanvasWidget::CanvasWidget(TMyWindow& window, QWidget* parent)
    : QAbstractScrollArea(parent), window_(window) {
  setObjectName("canvas");
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setMouseTracking(true);
  viewport()->setAutoFillBackground(false);
  setFocusPolicy(Qt::StrongFocus);
  // The bars' own steps are replaced by the window's: each request is recomputed and set back.
  connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
          [this](int action) { onScrollAction(true, action); });
  connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
          [this](int action) { onScrollAction(false, action); });
  connect(horizontalScrollBar(), &QAbstractSlider::valueChanged, this, [this](int v) {
    if (applying_) return;
    window_.view().scroll(true, ScrollRequest::Thumb, v);
    window_.compose();
  });
  connect(verticalScrollBar(), &QAbstractSlider::valueChanged, this, [this](int v) {
    if (applying_) return;
    window_.view().scroll(false, ScrollRequest::Thumb, v);
    window_.compose();
  });
}

void CanvasWidget::onScrollAction(bool horizontal, int action) {
  QScrollBar* bar = horizontal ? horizontalScrollBar() : verticalScrollBar();
  ViewState& view = window_.view();
  const ScrollRequest request = requestFor(action);
  view.scroll(horizontal, request, bar->sliderPosition());
  const ScrollRecord& r = horizontal ? view.horizontal : view.vertical;
  applying_ = true;
  bar->setSliderPosition(r.pos);
  applying_ = false;
  window_.compose();
}

void CanvasWidget::applyScrollRecords() {
  applying_ = true;
  for (bool h : {true, false}) {
    const ScrollRecord& r = h ? window_.view().horizontal : window_.view().vertical;
    QScrollBar* bar = h ? horizontalScrollBar() : verticalScrollBar();
    // Qt's maximum is the last first-visible position, the record's maximum less its page.
    bar->setRange(r.min, std::max(r.min, r.max - r.page));
    bar->setPageStep(std::max(1, r.page));
    bar->setSingleStep(std::max(1, r.max / 10));
    bar->setValue(r.pos);
  }
  applying_ = false;
}

void CanvasWidget::showDisplay() {
  const ImageSlot* s = window_.doc().workImages.image(kDisplayImage);
  if (!s) {
    picture_ = QImage();
  } else {
    if (picture_.width() != s->width || picture_.height() != s->height)
      picture_ = QImage(s->width, s->height, QImage::Format_BGR888);
    // The display buffer is bottom-up B, G, R with padded rows; the picture is top-down.
    for (int y = 0; y < s->height; ++y)
      std::memcpy(picture_.scanLine(y), s->row(y), size_t(s->width) * 3);
  }
  viewport()->update();
}

void CanvasWidget::setOnionSkin(QImage skin) {
  onionSkin_ = std::move(skin);
  viewport()->update();
}

CanvasPoint CanvasWidget::toCanvas(const QPoint& p) const {
  const Vec3& o = window_.doc().edit.viewOrigin;
  return window_.view().toCanvas(p.x(), p.y(), o.x, o.y);
}

void CanvasWidget::zoomAbout(float newZoom, QPointF anchor) {
  if (!window_.created()) return;
  const Document& d = window_.doc();
  window_.view().zoomAbout(newZoom, float(anchor.x()), float(anchor.y()), d.imageWidth,
                           d.imageHeight, viewport()->width(), viewport()->height());
  window_.compose();
  applyScrollRecords();
}

void CanvasWidget::zoomStep(bool in, QPointF anchor) {
  const float z = window_.view().zoom;
  const float next = in ? ViewState::zoomedIn(z) : ViewState::zoomedOut(z);
  if (next != z) zoomAbout(next, anchor);
}

void CanvasWidget::fitToWindow() {
  const Document& d = window_.doc();
  const QSize client = viewport()->size();
  zoomAbout(ViewState::fitZoom(d.imageWidth, d.imageHeight, client.width(), client.height()),
            QPointF(0, 0));
}

QPointF CanvasWidget::viewportCentre() const {
  return QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0);
}

QPointF CanvasWidget::mouseOrCentre() const {
  const QPoint p = viewport()->mapFromGlobal(QCursor::pos());
  return viewport()->rect().contains(p) ? QPointF(p) : viewportCentre();
}

void CanvasWidget::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) {
    wheelZoomDelta_ = 0;
    QAbstractScrollArea::wheelEvent(event);
    return;
  }
  // One step per notch (120 eighths of a degree); fine-grained wheels add up to a notch first.
  wheelZoomDelta_ += event->angleDelta().y();
  while (std::abs(wheelZoomDelta_) >= 120) {
    const bool in = wheelZoomDelta_ > 0;
    wheelZoomDelta_ += in ? -120 : 120;
    zoomStep(in, event->position());
  }
  event->accept();
}

void CanvasWidget::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), kBackground);
  if (!window_.created()) return;
  const ViewState& view = window_.view();
  if (!picture_.isNull()) {
    const QRectF target(-view.scrollX, -view.scrollY, view.contentWidth, view.contentHeight);
    painter.drawImage(target, picture_);
    if (onionSkin_.size() == picture_.size()) painter.drawImage(target, onionSkin_);
  }
  const Vec3& o = window_.doc().edit.viewOrigin;
  OverlayPainter overlay(painter, view, o.x, o.y);
  const EditState& e = window_.doc().edit;
  if (ModeHandler* m = window_.modes().find(e.mode)) m->paintOverlay(window_, overlay);
  if (e.tempMode > 0)
    if (TempModeHandler* t = window_.tempModes().find(e.tempMode))
      t->paintOverlay(window_, overlay);
}

void CanvasWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  if (window_.created()) window_.resetScrolling();
}

void CanvasWidget::mousePressEvent(QMouseEvent* event) {
  const CanvasPoint p = toCanvas(event->position().toPoint());
  if (event->button() == Qt::LeftButton) window_.leftDown(p);
  if (event->button() == Qt::RightButton) window_.rightDown(p, event->globalPosition().toPoint());
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event) {
  const CanvasPoint p = toCanvas(event->position().toPoint());
  window_.mouseMoved(p);
  viewport()->setCursor(window_.hoverCursor(p));
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
  const CanvasPoint p = toCanvas(event->position().toPoint());
  if (event->button() == Qt::LeftButton) window_.leftUp(p);
  if (event->button() == Qt::RightButton) window_.rightUp(p);
}

// Keys belong to the window's key table, not to the scroll area's own scrolling keys.
void CanvasWidget::keyPressEvent(QKeyEvent* event) { event->ignore(); }
void CanvasWidget::keyReleaseEvent(QKeyEvent* event) { event->ignore(); }

}  // namespace tovala
