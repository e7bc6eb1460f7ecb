// Modes 6 and 8: dragging the whole figure, and dragging the points flagged by range selection.

#include "engine/drag_edit.h"
#include "shell/main_window.h"
#include "shell/modes/mode_handler.h"

namespace tovala {

namespace {

class MoveAllMode : public ModeHandler {
 public:
  int press(TMyWindow& w, CanvasPoint p) override {
    pressMoveAll(w.doc(), p.x, p.y);
    return -1;
  }
  void drag(TMyWindow& w, CanvasPoint current, CanvasPoint, CanvasPoint) override {
    dragMoveAll(w.doc(), current.x, current.y);
    w.rebuild();
  }
};

class MovePointsMode : public ModeHandler {
 public:
  int press(TMyWindow&, CanvasPoint) override { return -1; }
  void drag(TMyWindow& w, CanvasPoint current, CanvasPoint, CanvasPoint previous) override {
    dragMoveSelectedPoints(w.doc(), current.x, current.y, previous.x, previous.y);
    w.rebuild();
  }
  std::optional<Qt::CursorShape> hover(TMyWindow&, CanvasPoint) override {
    return Qt::SizeAllCursor;
  }
  // The points that will move.
  void paintOverlay(TMyWindow& w, OverlayPainter& out) override {
    const Document& d = w.doc();
    for (size_t l = 0; l + 1 < d.lines.size(); ++l)
      for (size_t i = 0; i + 1 < d.lines[l].points.size(); ++i) {
        const PointRecord& p = d.lines[l].points[i];
        if (p.sel == 1) out.mark(p.vx, p.vy, d.markSize, 0xFF0000, false);
      }
  }
};

}  // namespace

std::unique_ptr<ModeHandler> makeMoveAllMode() { return std::make_unique<MoveAllMode>(); }
std::unique_ptr<ModeHandler> makeMovePointsMode() { return std::make_unique<MovePointsMode>(); }

}  // namespace tovala
