#pragma once
// Aiming in motion mode (the 向き tool): a press on a limb, at one of its points or along one of
// its bones, takes the joint that carries it; a drag turns that joint about the view axis so the
// limb points at the mouse, within the joint's limits and carrying its co-rotating points. A
// drag with the right button tips the limb towards or away from the viewer instead (about the
// axis in the picture across the limb), one hundredth of a radian per pixel up or down.

#include "engine/ik.h"

namespace tovala {

class Document;

// How far (canvas pixels) beside a bone of a joint line a press still takes that bone.
inline constexpr int kAimBoneReach = 6;

struct AimGrip {
  IkChain chain;  // the pressed point and the one joint that carries it; empty when none
  int pressY = 0;
  DVec3 limb;               // the limb from the joint to the point in the picture, at the press
  PointMotion pressJoint;   // the joint's values at the press
};

// The press. The pressed point is the last point of any line, within markSize of (x, y), that a
// joint carries; failing that, the nearest bone of a joint line within kAimBoneReach, taken by
// its end that the joint at its other end carries (else by an end some joint carries). The
// pressed point becomes the selection; with nothing to aim the selection stays and the grip is
// empty.
AimGrip aimPress(Document& doc, int x, int y);

// One drag step with the mouse at (x, y), the right button's meaning while edit.dragAxis is the
// depth axis; then the figure is posed as after a rotation drag on the joint.
void aimDrag(Document& doc, const AimGrip& grip, int x, int y);

}  // namespace tovala
