// The animation file reader on arbitrary text: it refuses with a reason and leaves the
// animation as it was, or accepts one without faults, which writes back to a text that reads as
// the same animation; its frames interpolate to finite values.

#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/animation_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  tovala::Animation anim;
  anim.fps = 7;
  const tovala::Animation before = anim;
  std::string reason;
  if (!tovala::animationFromJson(text, anim, reason)) {
    if (reason.empty() || !(anim == before)) std::abort();
    return 0;
  }
  if (!tovala::animationFault(anim).empty()) std::abort();
  tovala::Animation again;
  if (!tovala::animationFromJson(tovala::animationToJson(anim), again, reason) || !(again == anim))
    std::abort();
  // Every frame interpolates to finite values, each joint named once.
  tovala::Pose pose;
  for (int32_t f = -1; f <= anim.length && f < 64; ++f) {
    tovala::poseAtFrame(anim, f + 0.5, pose);
    for (size_t i = 0; i < pose.joints.size(); ++i) {
      for (float v : pose.joints[i].vd)
        if (!std::isfinite(v)) std::abort();
      for (float v : pose.joints[i].rad)
        if (!std::isfinite(v)) std::abort();
      if (i > 0 && pose.joints[i].key == pose.joints[0].key) std::abort();
    }
  }
  return 0;
}
