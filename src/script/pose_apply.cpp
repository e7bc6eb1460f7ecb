#include "script/pose_apply.h"

#include "script/motion_prepare.h"

namespace tovala {

std::vector<JointKey> applyPose(Document& doc, const Pose& pose) {
  std::vector<JointKey> missing = setPoseValues(doc, pose);
  prepareMotion(doc);
  return missing;
}

}  // namespace tovala
