// Mode 7, deform: the selected line's bounding box with a handle on each edge and corner; a drag
// on a handle stretches the line from the copy taken at the press.

#include <cmath>

#include "engine/drag_edit.h"
#include "shell/main_window.h"
#include "shell/modes/mode_handler.h"

namespace tovala {

namespace {

const LineRecord* selectedLine(const Document& d) {
  return d.isValidLine(d.curLine) ? &d.lines[size_t(d.curLine)] : nullptr;
}

class DeformMode : public ModeHandler {
 public:
  int press(TMyWindow& w, CanvasPoint p) override {
    pressDeform(w.doc(), p.x, p.y);
    return -1;
  }

  void drag(TMyWindow& w, CanvasPoint current, CanvasPoint, CanvasPoint) override {
    dragDeform(w.doc(), current.x, current.y);
    w.refreshSelected();
  }

  // The handles as the press finds them, an eighth of the box width around each edge.
  std::optional<Qt::CursorShape> hover(TMyWindow& w, CanvasPoint p) override {
    const LineRecord* line = selectedLine(w.doc());
    if (!line) return std::nullopt;
    const BoundingBox b = boundingBox(*line);
    if (b.empty()) return std::nullopt;
    const float h = b.width * 0.125f;
    const float x = float(p.x), y = float(p.y);
    const bool nearLeft = std::fabs(x - b.left) < h, nearRight = std::fabs(x - b.right) < h;
    const bool nearTop = std::fabs(y - b.top) < h, nearBottom = std::fabs(y - b.bottom) < h;
    if ((nearLeft && nearTop) || (nearRight && nearBottom)) return Qt::SizeFDiagCursor;
    if ((nearRight && nearTop) || (nearLeft && nearBottom)) return Qt::SizeBDiagCursor;
    const bool betweenSides = x > b.left + h && x < b.right - h;
    const bool betweenEnds = y > b.top + h && y < b.bottom - h;
    if (betweenSides && (nearTop || nearBottom)) return Qt::SizeVerCursor;
    if (betweenEnds && (nearLeft || nearRight)) return Qt::SizeHorCursor;
    return std::nullopt;
  }

  void paintOverlay(TMyWindow& w, OverlayPainter& out) override {
    const LineRecord* line = selectedLine(w.doc());
    if (!line) return;
    const BoundingBox b = boundingBox(*line);
    if (b.empty()) return;
    out.rect({int(b.left), int(b.top)}, {int(b.right), int(b.bottom)});
  }
};

}  // namespace

std::unique_ptr<ModeHandler> makeDeformMode() { return std::make_unique<DeformMode>(); }

}  // namespace tovala
