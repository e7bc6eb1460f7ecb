#pragma once
// Putting a figure into a pose: the pose's values written (engine/pose.h), then the motion
// preparation of motion mode run, so the figure shows exactly that pose whatever it showed
// before. An animation shows a frame with one call.

#include <vector>

#include "engine/pose.h"

namespace tovala {

class Document;

// Writes the pose into the document and re-poses the figure from its reference positions.
// Returns the keys the document has no point for (skipped, not an error); the points the pose
// does not name keep their values. Positions and the selection change as the motion
// preparation changes them (script/motion_prepare.h).
std::vector<JointKey> applyPose(Document& doc, const Pose& pose);

}  // namespace tovala
