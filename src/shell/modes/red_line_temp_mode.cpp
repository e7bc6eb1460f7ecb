// Temporary mode 17: the red line the edit tool's shape items are drawn with.

#include <QPainter>

#include <cmath>
#include <limits>

#include "render/stroke_core.h"
#include "shell/main_window.h"
#include "shell/modes/red_line_temp_mode.h"

namespace tovala {

namespace {

constexpr unsigned kRed = 0x0000FF;

class RedLineTempMode : public TempModeHandler {
 public:
  RedLine red;

  // The nearest red point within the marker square around the press.
  void press(TMyWindow& w, CanvasPoint p) override {
    red.held = -1;
    const int half = w.doc().markSize;
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i + 1 < red.line.pointCount(); ++i) {
      const PointRecord& pt = red.line.points[size_t(i)];
      const double dx = pt.vx - p.x, dy = pt.vy - p.y;
      if (std::fabs(dx) > half || std::fabs(dy) > half || dx * dx + dy * dy >= best) continue;
      best = dx * dx + dy * dy;
      red.held = i;
    }
    if (red.held < 0) return;
    red.heldX = red.line.points[size_t(red.held)].vx;
    red.heldY = red.line.points[size_t(red.held)].vy;
  }

  void move(TMyWindow&, CanvasPoint current, CanvasPoint press) override {
    if (red.held < 0 || red.held + 1 >= red.line.pointCount()) return;
    PointRecord& pt = red.line.points[size_t(red.held)];
    pt.vx = red.heldX + float(current.x - press.x);
    pt.vy = red.heldY + float(current.y - press.y);
  }

  void release(TMyWindow&, CanvasPoint, CanvasPoint) override { red.held = -1; }

  // The red stroke with the scratch line's own passes and drift, its points framed, the held
  // one filled.
  void paintOverlay(TMyWindow& w, OverlayPainter& out) override {
    const LineRecord& l = red.line;
    if (l.pointCount() < 2) return;
    std::vector<IntPoint> path;
    StrokeOptions options;
    options.path = &path;
    const StrokeStyle style{l.lmode, l.spmin, l.spmax, l.spdspx, l.spdspy};
    runStroke(l, wholeLine(l), style, options);
    const Vec3& o = w.doc().edit.viewOrigin;
    const ViewState& view = w.view();
    QPolygonF polyline;
    for (const IntPoint& q : path)
      polyline << QPointF(view.toWindowX(float(q.x) - o.x), view.toWindowY(float(q.y) - o.y));
    QPainter& painter = out.painter();
    painter.setPen(QPen(QColor(255, 0, 0), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(polyline);
    for (int i = 0; i + 1 < l.pointCount(); ++i)
      out.mark(l.points[size_t(i)].vx, l.points[size_t(i)].vy, w.doc().markSize, kRed,
               i == red.held);
  }
};

}  // namespace

std::unique_ptr<TempModeHandler> makeRedLineTempMode() {
  return std::make_unique<RedLineTempMode>();
}

RedLine* redLineOf(TMyWindow& w) {
  auto* mode = dynamic_cast<RedLineTempMode*>(w.tempModes().find(kRedLineTempMode));
  return mode ? &mode->red : nullptr;
}

LineRecord redLineCopy(const LineRecord& source) {
  LineRecord l = source;
  l.setStyle({1.0f, 1.0f, 0.0f, 0.0f}, 10, 10, 0.0, 0.0);
  return l;
}

}  // namespace tovala
