// Pose and animation files made to exhaust the reader: nesting thousands of levels deep, huge
// flat arrays, files at and just past the size limit, and many joints with one named twice.
// Each is refused with its reason and leaves what it was read into as it was. The inputs are
// built here, at run time. The unoptimised sanitizer build parses about a megabyte a second, so
// texts that must be parsed whole stay small; those the size and nesting checks refuse before
// parsing may be as large as the limits.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "engine/animation_file.h"
#include "engine/pose_file.h"

namespace tovala {
namespace {

#ifdef NDEBUG
constexpr bool kOptimised = true;
#else
constexpr bool kOptimised = false;
#endif

std::string repeated(std::string_view s, size_t n) {
  std::string out;
  out.reserve(s.size() * n);
  for (size_t i = 0; i < n; ++i) out += s;
  return out;
}

constexpr std::string_view kPoseHead =
    R"({"format":"tovala-pose","version":1,"VextX":0,"VextY":0,"VextZ":0,"RadX":0,"RadY":0,)"
    R"("RadZ":0,"joints":)";

std::string joint(int line, int point) {
  return R"({"line":)" + std::to_string(line) + R"(,"point":)" + std::to_string(point) +
         R"(,"vdx":1,"vdy":0,"vdz":0,"radx":0,"rady":0.5,"radz":0})";
}

// A pose of `joints` joints written without spaces; with `twice`, the last names the first again.
std::string posePlaces(size_t joints, bool twice) {
  std::string s(kPoseHead);
  s += '[';
  for (size_t i = 0; i < joints; ++i) {
    if (i) s += ',';
    const bool again = twice && i + 1 == joints;
    s += joint(again ? 1 : int(1 + i / 100), again ? 0 : int(i % 100));
  }
  return s + "]}";
}

// An animation of `keys` keys at frames 0, 1, ..., each holding `pose` but the last, which holds
// `last` when it is given.
std::string animationOf(size_t keys, const std::string& pose, const std::string& last = "") {
  std::string s = R"({"format":"tovala-animation","version":1,"fps":12,"length":100000,"keys":[)";
  for (size_t k = 0; k < keys; ++k) {
    if (k) s += ',';
    s += R"({"frame":)" + std::to_string(k) + R"(,"easing":"smooth","pose":)";
    s += k + 1 == keys && !last.empty() ? last : pose;
    s += '}';
  }
  return s + "]}";
}

// The text made `size` bytes long with spaces after its closing brace.
std::string paddedTo(std::string text, size_t size) {
  text.resize(size, ' ');
  return text;
}

struct Case {
  const char* what;
  std::string text;
  const char* reason;  // a part of the reason given
};

// A pose that is not empty, so that a refusal that cleared it would show.
Pose somePose() {
  Pose p;
  p.whole[0] = 3;
  p.joints.push_back({{8, 800}, {1, 2, 3}, {0.5f, 0, 0}});
  return p;
}

TEST(HostileJson, PoseFilesAreRefusedWithTheirReason) {
  const size_t kDeep = 200000;
  const std::string head(kPoseHead);
  const std::string oneJoint = joint(8, 800);
  const Case cases[] = {
      {"nested 200,000 deep", head + repeated("[", kDeep) + repeated("]", kDeep) + "}",
       "入れ子が深すぎます（3 段まで）"},
      {"nested inside a joint", head + "[{\"line\":[[[1]]]}]}", "入れ子が深すぎます"},
      {"a flat array of two million numbers", head + "[0" + repeated(",0", 2000000) + "]}",
       "値が多すぎます"},
      {"a flat array of empty objects", head + "[{}" + repeated(",{}", 1000000) + "]}",
       "値が多すぎます"},
      {"joints that are numbers", head + "[0" + repeated(",0", 1000) + "]}",
       "joints[0]: オブジェクトではありません"},
      {"joints that are empty objects", head + "[{}" + repeated(",{}", 1000) + "]}",
       "joints[0].line: ありません"},
      {"one byte past the limit", paddedTo(head + "[]}", kMaxPoseFileBytes + 1),
       "ファイルが大きすぎます"},
      {"3,000 joints, the last naming the first again", posePlaces(3000, true),
       "joints[2999]: 同じ線と点の番号が二度あります"},
      {"members of members are not kept", head + "[" + oneJoint + "], \"VextX\": [1]}",
       "VextX: 数値ではありません"},
  };
  for (const Case& c : cases) {
    Pose pose = somePose();
    std::string reason;
    EXPECT_FALSE(poseFromJson(c.text, pose, reason)) << c.what;
    EXPECT_NE(reason.find(c.reason), std::string::npos) << c.what << ": " << reason;
    EXPECT_EQ(pose, somePose()) << c.what;
  }
}

TEST(HostileJson, PoseFilesAtTheLimitsAreRead) {
  // Exactly the largest file, and 3,000 joints without a repeat.
  Pose pose;
  std::string reason;
  const std::string one = std::string(kPoseHead) + "[" + joint(8, 800) + "]}";
  ASSERT_TRUE(poseFromJson(paddedTo(one, kMaxPoseFileBytes), pose, reason)) << reason;
  EXPECT_EQ(pose.joints.size(), 1u);
  EXPECT_EQ(pose.joints[0].key, (JointKey{8, 800}));
  EXPECT_EQ(pose.joints[0].rad[1], 0.5f);
  ASSERT_TRUE(poseFromJson(posePlaces(3000, false), pose, reason)) << reason;
  ASSERT_EQ(pose.joints.size(), 3000u);
  EXPECT_EQ(pose.joints[2999].key, (JointKey{30, 99}));
  // Members the form does not have are passed over, however many values they hold.
  const std::string extra = std::string(kPoseHead) + "[" + joint(8, 800) + R"(], "note": {"a": [)" +
                            repeated("1,", 100000) + "1]}}";
  ASSERT_TRUE(poseFromJson(extra, pose, reason)) << reason;
  EXPECT_EQ(pose.joints.size(), 1u);
}

TEST(HostileJson, AnimationFilesAreRefusedWithTheirReason) {
  const size_t kDeep = 200000;
  const std::string pose = std::string(kPoseHead) + "[" + joint(8, 800) + "]}";
  const std::string deepPose =
      std::string(kPoseHead) + repeated("[", kDeep) + repeated("]", kDeep) + "}";
  const std::string head =
      R"({"format":"tovala-animation","version":1,"fps":12,"length":100,"keys":)";
  const Case cases[] = {
      {"a key's pose nested 200,000 deep", animationOf(1, deepPose),
       "入れ子が深すぎます（6 段まで）"},
      {"20,000 empty keys", head + "[{}" + repeated(",{}", 20000) + "]}", "keys: キーが多すぎます"},
      {"20,000 keys that are numbers", head + "[0" + repeated(",0", 20000) + "]}",
       "keys: キーが多すぎます"},
      {"a few empty keys", head + "[{}" + repeated(",{}", 100) + "]}", "keys[0].frame: ありません"},
      {"one byte past the limit", paddedTo(head + "[]}", kMaxAnimationFileBytes + 1),
       "ファイルが大きすぎます"},
      {"keys that are numbers", head + "[0" + repeated(",0", 100) + "]}",
       "keys[0]: オブジェクトではありません"},
      {"4 keys of 1,000 joints, one named twice in the last",
       animationOf(4, posePlaces(1000, false), posePlaces(1000, true)),
       "keys[3].pose.joints[999]: 同じ線と点の番号が二度あります"},
      {"a key past the length given after the keys",
       R"({"format":"tovala-animation","version":1,"fps":12,"keys":[{"frame":5,"easing":"linear",)"
       R"("pose":)" +
           pose + R"(}],"length":5})",
       "keys[0].frame: 範囲外の値です"},
      {"the length checked before a later key's fault",
       R"({"format":"tovala-animation","version":1,"fps":12,"keys":[{"frame":7,"easing":"bounce",)"
       R"("pose":)" +
           pose + R"(}],"length":5})",
       "keys[0].frame: 範囲外の値です"},
  };
  for (const Case& c : cases) {
    Animation anim;
    anim.fps = 7;
    const Animation before = anim;
    std::string reason;
    EXPECT_FALSE(animationFromJson(c.text, anim, reason)) << c.what;
    EXPECT_NE(reason.find(c.reason), std::string::npos) << c.what << ": " << reason;
    EXPECT_EQ(anim, before) << c.what;
  }
}

TEST(HostileJson, AnimationFilesAtTheLimitsAreRead) {
  if (!kOptimised) GTEST_SKIP() << "64 MiB take the unoptimised build too long to parse";
  const std::string pose = posePlaces(20000, false);
  Animation anim;
  std::string reason;
  ASSERT_TRUE(
      animationFromJson(paddedTo(animationOf(2, pose), kMaxAnimationFileBytes), anim, reason))
      << reason;
  ASSERT_EQ(anim.keys.size(), 2u);
  EXPECT_EQ(anim.keys[1].frame, 1);
  ASSERT_EQ(anim.keys[1].pose.joints.size(), 20000u);
  EXPECT_EQ(anim.keys[1].pose.joints[19999].key, (JointKey{200, 99}));
  // Written out and read back: the same animation.
  Animation again;
  ASSERT_TRUE(animationFromJson(animationToJson(anim), again, reason)) << reason;
  EXPECT_EQ(again, anim);
}

}  // namespace
}  // namespace tovala
