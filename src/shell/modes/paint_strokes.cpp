// Mode 3: strokes on the selected image line's picture. The release's paint snapshot is taken
// by the window's undo (reason "OnLButtonUp").

#include "render/paint_line.h"
#include "shell/main_window.h"
#include "shell/modes/mode_handler.h"
#include "shell/paint_mode.h"

namespace tovala {

namespace {

class PaintMode : public ModeHandler {
 public:
  // A press paints but selects nothing, so it counts as a miss.
  int press(TMyWindow& w, CanvasPoint p) override {
    paintOnImageLine(w.doc(), p.x, p.y, p.x, p.y, false);
    w.session().setModified(true);
    return -1;
  }
  void drag(TMyWindow& w, CanvasPoint current, CanvasPoint, CanvasPoint previous) override {
    paintOnImageLine(w.doc(), previous.x, previous.y, current.x, current.y, true);
    w.session().setModified(true);
  }
  std::optional<Qt::CursorShape> hover(TMyWindow&, CanvasPoint) override { return Qt::CrossCursor; }
};

}  // namespace

std::unique_ptr<ModeHandler> makePaintMode() { return std::make_unique<PaintMode>(); }

}  // namespace tovala
