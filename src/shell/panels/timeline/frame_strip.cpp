#include "shell/panels/timeline/frame_strip.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tovala {

namespace {
constexpr int kMargin = 8;        // pixels left and right of the cells
constexpr int kLabelHeight = 14;  // frame numbers above the track
constexpr double kKeyRadius = 5;  // half the diamond's width
constexpr int kMinLabelGap = 36;  // pixels between two frame numbers

// The step between numbered frames: 1, 2, 5, 10, 20, 50 ... whichever first leaves room.
int labelStep(double cell) {
  for (int step = 1;; step *= 10) {
    for (int m : {1, 2, 5})
      if (cell * step * m >= kMinLabelGap || step * m >= 1000000) return step * m;
  }
}

void diamond(QPainter& p, QPointF c, const QColor& fill) {
  QPainterPath path;
  path.moveTo(c.x(), c.y() - kKeyRadius);
  path.lineTo(c.x() + kKeyRadius, c.y());
  path.lineTo(c.x(), c.y() + kKeyRadius);
  path.lineTo(c.x() - kKeyRadius, c.y());
  path.closeSubpath();
  p.fillPath(path, fill);
  p.setPen(QColor(40, 40, 40));
  p.drawPath(path);
}
}  // namespace

FrameStrip::FrameStrip(QWidget* parent) : QWidget(parent) {
  setObjectName("frameStrip");
  setMouseTracking(false);
  setToolTip(QString::fromUtf8(
      "ドラッグ: その時点のポーズを図に表示(離すと元のポーズに戻る)\n"
      "◆をドラッグ: キーを別のフレームへ移動  ◆をクリック: そのキーのフレームへ"));
}

void FrameStrip::show(int length, const std::vector<int>& keys, int current) {
  length_ = std::max(1, length);
  keys_ = keys;
  current_ = std::clamp(current, 0, length_ - 1);
  update();
}

int FrameStrip::frameAt(double x) const {
  const double cell = double(width() - 2 * kMargin) / length_;
  if (cell <= 0) return 0;
  return std::clamp(int(std::floor((x - kMargin) / cell)), 0, length_ - 1);
}

double FrameStrip::xOf(int frame) const {
  const double cell = double(width() - 2 * kMargin) / length_;
  return kMargin + (frame + 0.5) * cell;
}

int FrameStrip::keyAt(double x, double y) const {
  const double mid = (kLabelHeight + height()) / 2.0;
  if (std::fabs(y - mid) > kKeyRadius + 3) return -1;
  int best = -1;
  double bestDistance = kKeyRadius + 2;
  for (int k : keys_) {
    const double d = std::fabs(xOf(k) - x);
    if (d <= bestDistance) best = k, bestDistance = d;
  }
  return best;
}

void FrameStrip::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF track(kMargin, kLabelHeight, width() - 2 * kMargin, height() - kLabelHeight - 2);
  p.fillRect(rect(), palette().window());
  p.fillRect(track, QColor(250, 250, 250));
  const double cell = track.width() / length_;
  const int step = labelStep(cell);
  // A tick on every frame when the cells are wide enough to tell them apart, a longer one and a
  // number on every step.
  p.setPen(QColor(190, 190, 190));
  if (cell >= 4)
    for (int f = 0; f <= length_; ++f) {
      const double x = track.left() + f * cell;
      p.drawLine(QPointF(x, track.bottom() - 4), QPointF(x, track.bottom()));
    }
  QFont small = font();
  small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
  p.setFont(small);
  for (int f = 0; f < length_; f += step) {
    const double x = xOf(f);
    p.setPen(QColor(150, 150, 150));
    p.drawLine(QPointF(x, track.top()), QPointF(x, track.top() + 5));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRectF(x - 30, 0, 60, kLabelHeight), Qt::AlignCenter, QString::number(f));
  }
  p.setPen(QColor(120, 120, 120));
  p.drawRect(track);

  const double mid = track.center().y();
  for (int k : keys_) {
    const bool taken = drag_ == Drag::Key && k == dragKey_;
    diamond(p, QPointF(xOf(k), mid), k == current_ ? QColor(250, 200, 40) : QColor(90, 90, 90));
    if (taken && dragTarget_ != k)
      diamond(p, QPointF(xOf(dragTarget_), mid), QColor(250, 200, 40, 120));
  }
  const double x = xOf(current_);
  p.setPen(QPen(QColor(220, 30, 30), 2));
  p.drawLine(QPointF(x, track.top()), QPointF(x, track.bottom()));
}

void FrameStrip::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPointF at = event->position();
  dragKey_ = keyAt(at.x(), at.y());
  if (dragKey_ >= 0) {
    drag_ = Drag::Key;
    dragTarget_ = dragKey_;
    update();
    return;
  }
  drag_ = Drag::Scrub;
  lastScrub_ = frameAt(at.x());
  emit scrubbed(lastScrub_);
}

void FrameStrip::mouseMoveEvent(QMouseEvent* event) {
  const int f = frameAt(event->position().x());
  if (drag_ == Drag::Key && f != dragTarget_) {
    dragTarget_ = f;
    update();
  } else if (drag_ == Drag::Scrub && f != lastScrub_) {
    lastScrub_ = f;
    emit scrubbed(f);
  }
}

void FrameStrip::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const Drag was = drag_;
  drag_ = Drag::None;
  if (was == Drag::Scrub) emit scrubEnded();
  if (was != Drag::Key) return;
  update();
  if (dragTarget_ == dragKey_)
    emit keyClicked(dragKey_);
  else
    emit keyDragged(dragKey_, dragTarget_);
}

}  // namespace tovala
