// Drawing over the composed canvas in window coordinates: the rubber lines and rectangles of the
// temporary modes and the point marks of the modes that work on many points.

#include <QPainter>

#include "shell/main_window.h"
#include "shell/modes/mode_handler.h"

namespace tovala {

namespace {
QColor fromBgr(unsigned c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }
constexpr unsigned kRed = 0x0000FF;
constexpr unsigned kBlue = 0xFF0000;
constexpr unsigned kHighlight = 0x00FF00;
}  // namespace

void OverlayPainter::line(CanvasPoint a, CanvasPoint b) {
  p_.setPen(QPen(Qt::black, 1));
  p_.drawLine(QPointF(wx(float(a.x)), wy(float(a.y))), QPointF(wx(float(b.x)), wy(float(b.y))));
}

void OverlayPainter::rect(CanvasPoint a, CanvasPoint b) {
  p_.setPen(QPen(Qt::black, 1));
  p_.setBrush(Qt::NoBrush);
  p_.drawRect(QRectF(QPointF(wx(float(a.x)), wy(float(a.y))), QPointF(wx(float(b.x)), wy(float(b.y)))));
}

void OverlayPainter::mark(float x, float y, int half, unsigned colour, bool filled) {
  const QRectF r(QPointF(wx(float(int(x) - half)), wy(float(int(y) - half))),
                 QPointF(wx(float(int(x) + half)), wy(float(int(y) + half))));
  p_.setPen(QPen(fromBgr(colour), 1));
  if (filled) {
    p_.fillRect(r, fromBgr(colour));
  } else {
    p_.setBrush(Qt::NoBrush);
    p_.drawRect(r);
  }
}

void paintAllPointMarks(TMyWindow& w, OverlayPainter& out) {
  const Document& d = w.doc();
  for (size_t l = 0; l + 1 < d.lines.size(); ++l) {
    const LineRecord& line = d.lines[l];
    if (line.sel == 0) continue;
    for (size_t i = 0; i + 1 < line.points.size(); ++i) {
      const PointRecord& p = line.points[i];
      out.mark(p.vx, p.vy, d.markSize, p.sel == 1 ? kBlue : kRed, false);
    }
  }
  if (d.isValidPick(d.curLine, d.curPoint) == 1) {
    const PointRecord& p = d.lines[size_t(d.curLine)].points[size_t(d.curPoint)];
    out.mark(p.vx, p.vy, d.markSize, kHighlight, false);
  }
}

}  // namespace tovala
