#include "shell/window_placement.h"

#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QEvent>
#include <QWidget>

#include <climits>

#include "engine/point_math.h"
#include "shell/canvas_widget.h"
#include "shell/dock_layout.h"
#include "shell/main_window.h"

namespace tovala {

namespace {

constexpr int kFigureMargin = 12;  // strokes and marks reach past the points
constexpr const char* kPlacedProperty = "tovalaPlaced";

long long coveredArea(const QRect& a, const QRect& b) {
  const QRect c = a.intersected(b);
  return c.isEmpty() ? 0 : (long long)c.width() * c.height();
}

// Windows that Qt places itself (menus, tool tips, drop-downs) or that are no window at all.
bool placeable(const QWidget& w) {
  if (!w.isWindow()) return false;
  switch (w.windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::SplashScreen:
    case Qt::Desktop:
    case Qt::SubWindow: return false;
    default: return true;
  }
}

}  // namespace

QRect besideCanvas(const QSize& size, const QRect& frame, const QRect& canvas, const QRect& figure,
                   const QRect& available) {
  const int top = canvas.top();
  const QPoint places[] = {
      {frame.right() + 1, top},                   // right of the window
      {frame.left() - size.width(), top},         // left of it
      {canvas.right() + 1 - size.width(), top},   // over the canvas's right edge
      {canvas.left(), top},                       // over its left edge
      {canvas.right() + 1 - size.width(), canvas.bottom() + 1 - size.height()},
  };
  QRect best;
  long long bestCover = LLONG_MAX;
  for (const QPoint& at : places) {
    const QRect r = fitInto(QRect(at, size), available);
    const long long cover = coveredArea(r, figure);
    if (cover == 0) return r;
    if (cover < bestCover) {
      bestCover = cover;
      best = r;
    }
  }
  return best;
}

QRect figureOnScreen(TMyWindow& w) {
  const Document& d = w.doc();
  const ViewState& v = w.view();
  const Vec3& o = d.edit.viewOrigin;
  double x0 = 1e18, y0 = 1e18, x1 = -1e18, y1 = -1e18;
  for (int li = 0; li < d.lineCount() - 1; ++li) {
    const LineRecord& l = d.lines[size_t(li)];
    if (l.sel == 0) continue;
    for (int pi = 0; pi < l.pointCount() - 1; ++pi) {
      const PointRecord& p = l.points[size_t(pi)];
      const double x = v.toWindowX(float(screenX(l, p) - o.x));
      const double y = v.toWindowY(float(screenY(l, p) - o.y));
      x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    }
  }
  if (x0 > x1) return {};
  QWidget* viewport = w.canvas()->viewport();
  const QRect local = QRect(QPoint(int(x0), int(y0)), QPoint(int(x1), int(y1)))
                          .adjusted(-kFigureMargin, -kFigureMargin, kFigureMargin, kFigureMargin)
                          .intersected(viewport->rect());
  if (local.isEmpty()) return {};
  return QRect(viewport->mapToGlobal(local.topLeft()), local.size());
}

WindowPlacer::WindowPlacer(TMyWindow& window) : QObject(&window), window_(window) {
  qApp->installEventFilter(this);
}

bool WindowPlacer::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && watched->isWidgetType()) {
    auto* w = static_cast<QWidget*>(watched);
    if (w != &window_ && placeable(*w)) place(*w);
  }
  return QObject::eventFilter(watched, event);
}

void WindowPlacer::place(QWidget& w) {
  // A window the user has already seen keeps the place they left it in, on the screen.
  const bool first = !w.property(kPlacedProperty).toBool() && !qobject_cast<QDockWidget*>(&w);
  w.setProperty(kPlacedProperty, true);
  if (!first || !window_.isVisible()) {
    keepOnScreen(w);
    return;
  }
  const QRect available = availableFor(window_);
  const QMargins border = frameMargins(w);
  const QSize frame = w.size().grownBy(border);
  if (!available.isEmpty() && frame != frame.boundedTo(available.size()))
    w.resize(frame.boundedTo(available.size()).shrunkBy(border));
  QWidget* viewport = window_.canvas()->viewport();
  const QRect canvas(viewport->mapToGlobal(QPoint(0, 0)), viewport->size());
  const QRect at = besideCanvas(w.size().grownBy(border), window_.frameGeometry(), canvas,
                                figureOnScreen(window_), available);
  w.move(at.topLeft());
  keepOnScreenSoon(w);
}

}  // namespace tovala
