// Temporary mode 22: a rectangle dragged from its top-left corner flags every point inside it
// (the point selection that mode 8 moves).

#include "shell/main_window.h"
#include "shell/modes/mode_handler.h"

namespace tovala {

namespace {

void clearFlags(Document& d) {
  for (LineRecord& l : d.lines)
    for (PointRecord& p : l.points) p.sel = 0;
}

class RangeSelectTempMode : public TempModeHandler {
 public:
  void press(TMyWindow& w, CanvasPoint) override { clearFlags(w.doc()); }

  void move(TMyWindow& w, CanvasPoint current, CanvasPoint press) override {
    Document& d = w.doc();
    clearFlags(d);
    // Strictly inside, and only from top-left to bottom-right: a rectangle dragged the other
    // way selects nothing.
    for (size_t l = 0; l + 1 < d.lines.size(); ++l) {
      if (d.lines[l].sel == 0) continue;
      std::vector<PointRecord>& pts = d.lines[l].points;
      for (size_t i = 0; i + 1 < pts.size(); ++i) {
        PointRecord& p = pts[i];
        if (float(press.x) < p.vx && p.vx < float(current.x) && float(press.y) < p.vy &&
            p.vy < float(current.y))
          p.sel = 1;
      }
    }
  }

  void release(TMyWindow& w, CanvasPoint, CanvasPoint) override { w.doc().edit.tempMode = 0; }

  void paintOverlay(TMyWindow& w, OverlayPainter& out) override {
    paintAllPointMarks(w, out);
    if (w.mouse().leftDown) out.rect(w.mouse().press, w.mouse().current);
  }
};

}  // namespace

std::unique_ptr<TempModeHandler> makeRangeSelectTempMode() {
  return std::make_unique<RangeSelectTempMode>();
}

}  // namespace tovala
