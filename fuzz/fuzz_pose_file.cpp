// The pose file reader on arbitrary text: it refuses with a reason or accepts a pose without
// faults, which writes back to a text that reads as the same pose.

#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/pose_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  tovala::Pose pose;
  std::string reason;
  if (!tovala::poseFromJson(text, pose, reason)) {
    if (reason.empty() || !pose.joints.empty()) std::abort();
    return 0;
  }
  if (!tovala::poseFault(pose).empty()) std::abort();
  tovala::Pose again;
  if (!tovala::poseFromJson(tovala::poseToJson(pose), again, reason) || !(again == pose))
    std::abort();
  return 0;
}
