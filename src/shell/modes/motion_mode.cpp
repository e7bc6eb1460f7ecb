// Mode 5: a press picks the joint point under the mouse, a drag with either button poses the
// figure with the move panel's tool and re-runs the line programs (the right button works on
// depth; the window sets the drag axis for it).

#include "shell/motion_mode.h"
#include "engine/motion_drag.h"
#include "shell/main_window.h"
#include "shell/modes/mode_handler.h"

namespace tovala {

namespace {

class MotionMode : public ModeHandler {
 public:
  int press(TMyWindow& w, CanvasPoint p) override {
    motionPress(w.doc(), p.x, p.y);
    return -1;
  }
  void drag(TMyWindow& w, CanvasPoint current, CanvasPoint, CanvasPoint) override {
    motionDrag(w.doc(), current.x, current.y);
    w.setModified(true);
    // The programs may move any line.
    w.rebuild();
  }
};

}  // namespace

std::unique_ptr<ModeHandler> makeMotionMode() { return std::make_unique<MotionMode>(); }

}  // namespace tovala
