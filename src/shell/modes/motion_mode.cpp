// Mode 5: a press picks the joint point under the mouse, a drag with either button poses the
// figure with the move panel's tool and re-runs the line programs (the right button works on
// depth; the window sets the drag axis for it). With the IK tool the press takes any point of a
// joint line with the chain above it, and a drag with either button makes the point follow the
// mouse in the picture plane; with the aim tool (向き) the press takes a limb and a drag points
// it at the mouse. A drag that changes the pose is one step of the posing history.

#include <utility>

#include "engine/aim.h"
#include "engine/ik.h"
#include "engine/motion_drag.h"
#include "engine/pose_history.h"
#include "shell/main_window.h"
#include "shell/modes/mode_handler.h"
#include "shell/motion_mode.h"
#include "shell/panels/control/move_panel.h"

namespace tovala {

namespace {

class MotionMode : public ModeHandler {
 public:
  int press(TMyWindow& w, CanvasPoint p) override {
    Document& d = w.doc();
    before_ = capturePoseValues(d);
    pending_ = true;
    if (d.edit.subMode == kToolIK) {
      const auto* panel = static_cast<const MovePanel*>(w.panel(PanelId::Move));
      chain_ = ikPress(d, p.x, p.y, panel ? panel->chainLength() : kDefaultIkChain);
      return -1;
    }
    if (d.edit.subMode == kToolAim) {
      grip_ = aimPress(d, p.x, p.y);
      return -1;
    }
    motionPress(d, p.x, p.y);
    return -1;
  }
  void drag(TMyWindow& w, CanvasPoint current, CanvasPoint, CanvasPoint) override {
    Document& d = w.doc();
    if (d.edit.subMode == kToolIK) {
      // A press beside every joint line leaves an empty chain: the drag changes nothing.
      if (chain_.count == 0) return;
      ikDrag(d, chain_, current.x, current.y);
    } else if (d.edit.subMode == kToolAim) {
      if (grip_.chain.count == 0) return;
      aimDrag(d, grip_, current.x, current.y);
    } else {
      motionDrag(d, current.x, current.y);
    }
    // The drag becomes a step once it has changed something; later steps of it add none.
    if (pending_ && !sameValues(before_, capturePoseValues(d))) {
      w.session().poseHistory().record(std::move(before_));
      pending_ = false;
    }
    w.session().setModified(true);
    // The programs may move any line.
    w.rebuild();
  }

 private:
  IkChain chain_;  // of the latest press with the IK tool
  AimGrip grip_;   // of the latest press with the aim tool
  PoseValues before_;
  bool pending_ = false;  // the press's values are not yet a step
};

}  // namespace

std::unique_ptr<ModeHandler> makeMotionMode() { return std::make_unique<MotionMode>(); }

}  // namespace tovala
