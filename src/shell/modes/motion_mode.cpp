// Mode 5: a press picks the joint point under the mouse, a drag with either button poses the
// figure with the move panel's tool and re-runs the line programs (the right button works on
// depth; the window sets the drag axis for it). With the IK tool the press takes any point of a
// joint line with the chain above it, and a drag with either button makes the point follow the
// mouse in the picture plane.

#include "shell/motion_mode.h"
#include "engine/ik.h"
#include "engine/motion_drag.h"
#include "shell/main_window.h"
#include "shell/modes/mode_handler.h"
#include "shell/panels/control/move_panel.h"

namespace tovala {

namespace {

class MotionMode : public ModeHandler {
 public:
  int press(TMyWindow& w, CanvasPoint p) override {
    if (w.doc().edit.subMode == kToolIK) {
      const auto* panel = static_cast<const MovePanel*>(w.panel(PanelId::Move));
      chain_ = ikPress(w.doc(), p.x, p.y, panel ? panel->chainLength() : kDefaultIkChain);
      return -1;
    }
    motionPress(w.doc(), p.x, p.y);
    return -1;
  }
  void drag(TMyWindow& w, CanvasPoint current, CanvasPoint, CanvasPoint) override {
    if (w.doc().edit.subMode == kToolIK) {
      // A press beside every joint line leaves an empty chain: the drag changes nothing.
      if (chain_.count == 0) return;
      ikDrag(w.doc(), chain_, current.x, current.y);
    } else {
      motionDrag(w.doc(), current.x, current.y);
    }
    w.session().setModified(true);
    // The programs may move any line.
    w.rebuild();
  }

 private:
  IkChain chain_;  // of the latest press with the IK tool
};

}  // namespace

std::unique_ptr<ModeHandler> makeMotionMode() { return std::make_unique<MotionMode>(); }

}  // namespace tovala
