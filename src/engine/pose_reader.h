#pragma once
// Reading the pose form (engine/pose_file.h) while the JSON parser runs, for pose files and for
// the poses inside animation files.
//
// The parser is given a callback that decides, value by value, what its tree keeps. A pose
// object keeps only the members its form has; each joint object is turned into a JointPose as
// soon as the parser completes it and is then dropped from the tree. So the tree never holds
// more than a few dozen values whatever the text, nothing is serialised again, and reading costs
// time linear in the text and memory linear in the joints.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/pose.h"

namespace tovala {

using PoseJson = nlohmann::json;
using JsonEvent = PoseJson::parse_event_t;

template <size_t N>
bool isOneOf(std::string_view name, const char* const (&names)[N]) {
  return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

// Null when obj[name] is an integer within lo .. hi (stored in `out`), else what is wrong with it.
const char* intFault(const PoseJson& obj, const char* name, int64_t lo, int64_t hi, int32_t& out);
// Null when obj[name] is a number of magnitude at most `bound` (stored in `out`), else what is
// wrong with it.
const char* numberFault(const PoseJson& obj, const char* name, float bound, float& out);

class PoseStream {
 public:
  // `depth`: the parser's depth of the pose object (0 when it is the whole text).
  explicit PoseStream(int depth) : depth_(depth) {}

  // A new pose object begins: forgets the joints read so far.
  void restart();

  // The callback's answer for an event strictly inside the pose object: whether the parser keeps
  // the value.
  bool keep(int depth, JsonEvent event, const PoseJson& parsed);

  // After the pose object ended: checks `obj` (the object as the parser kept it) and the joints
  // read, in the order of the form, and fills `out`; false with `reason` on the first fault,
  // `out` untouched.
  bool finish(const PoseJson& obj, Pose& out, std::string& reason);

 private:
  bool member(JsonEvent event, const PoseJson& parsed);
  bool element(JsonEvent event, const PoseJson& parsed);
  void startJoints();
  void noteFault(const std::string& fault);

  int depth_;
  std::string name_;       // the member of the pose object being read
  bool inJoints_ = false;  // that member is "joints" and its value is an array
  size_t count_ = 0;       // elements of the joints array met so far
  bool tooMany_ = false;   // more than kMaxPoseJoints of them
  std::string fault_;      // the first element that could not be read; later ones are skipped
  std::vector<JointPose> joints_;
};

}  // namespace tovala
