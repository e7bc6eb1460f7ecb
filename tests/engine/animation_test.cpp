// Animations: the poses between keys, key editing, and the animation file.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>

#include "engine/animation.h"
#include "engine/animation_file.h"
#include "model/file_io.h"
#include "support/test_support.h"

namespace tovala {
namespace {

Pose poseWith(float value, float turn, float whole) {
  Pose p;
  p.whole = {whole, 0, 0, 0, 0, turn};
  p.joints = {{{8, 800}, {value, 0, 0}, {0, 0, turn}}, {{8, 801}, {0, value, 0}, {turn, 0, 0}}};
  return p;
}

// Keys at 0, 10 (linear out) and 30; the second key's joints come in the other order, and the
// last names a joint the others lack.
Animation threeKeys() {
  Animation a;
  a.fps = 24;
  a.length = 40;
  a.keys.push_back({0, poseWith(0, 0.5f, 0), Easing::Smooth});
  AnimationKey k1{10, poseWith(10, 3.0f, 100), Easing::Linear};
  std::swap(k1.pose.joints[0], k1.pose.joints[1]);
  a.keys.push_back(k1);
  AnimationKey k2{30, poseWith(20, -3.0f, -50), Easing::Smooth};
  k2.pose.joints.push_back({{9, 900}, {1, 2, 3}, {0.1f, 0.2f, 0.3f}});
  a.keys.push_back(k2);
  return a;
}

// Whether a pose's values lie in the same order as another's, rotations compared modulo 2 pi.
double largestStep(const Pose& a, const Pose& b) {
  double d = 0;
  for (size_t i = 0; i < 6; ++i)
    d = std::max(d, std::fabs(i < 3 ? double(b.whole[i]) - a.whole[i] : angleStep(a.whole[i], b.whole[i])));
  for (size_t n = 0; n < a.joints.size(); ++n)
    for (size_t k = 0; k < 3; ++k) {
      d = std::max(d, std::fabs(double(b.joints[n].vd[k]) - a.joints[n].vd[k]));
      d = std::max(d, std::fabs(angleStep(a.joints[n].rad[k], b.joints[n].rad[k])));
    }
  return d;
}

TEST(Animation, HitsEveryKeyAndMovesContinuouslyBetween) {
  const Animation a = threeKeys();
  Pose p;
  for (const AnimationKey& k : a.keys) {
    poseAtFrame(a, k.frame, p);
    EXPECT_EQ(p.whole, k.pose.whole) << k.frame;
    for (const JointPose& j : k.pose.joints) {
      const auto it = std::find_if(p.joints.begin(), p.joints.end(),
                                   [&](const JointPose& q) { return q.key == j.key; });
      ASSERT_NE(it, p.joints.end());
      EXPECT_EQ(*it, j) << k.frame;
    }
  }
  // Joints in the order the keys first name them.
  ASSERT_EQ(p.joints.size(), 3u);
  EXPECT_EQ(p.joints[0].key, (JointKey{8, 800}));
  EXPECT_EQ(p.joints[2].key, (JointKey{9, 900}));

  // Steps of a hundredth of a frame move nothing far, across the keys too.
  Pose prev;
  poseAtFrame(a, -2.0, prev);
  for (int i = -199; i <= 4200; ++i) {
    poseAtFrame(a, i / 100.0, p);
    EXPECT_LT(largestStep(prev, p), 1.0) << i;
    prev = p;
  }

  // Held before the first key and after the last; joint 900 is held at its only key.
  poseAtFrame(a, -5, p);
  EXPECT_EQ(p.joints[0].vd[0], 0.0f);
  EXPECT_EQ(p.joints[2].vd, (std::array<float, 3>{1, 2, 3}));
  poseAtFrame(a, 39, p);
  EXPECT_EQ(p.joints[0].vd[0], 20.0f);

  // Smooth: a quarter of the way the ease curve gives 0.15625; linear gives a quarter.
  poseAtFrame(a, 2.5, p);
  EXPECT_NEAR(p.whole[0], 100 * 0.15625, 1e-4);
  poseAtFrame(a, 15, p);
  EXPECT_NEAR(p.whole[0], 100 - 150 * 0.25, 1e-4);
}

TEST(Animation, RotationsTakeTheShortWay) {
  const Animation a = threeKeys();
  Pose p;
  // 3.0 to -3.0 over frames 10 .. 30: by +0.283 through pi, not by -6 through 0.
  const double step = 2 * std::numbers::pi - 6.0;
  poseAtFrame(a, 20, p);
  EXPECT_NEAR(p.whole[5], 3.0 + step / 2, 1e-5);
  EXPECT_NEAR(p.joints[1].rad[0], 3.0 + step / 2, 1e-5);
  EXPECT_NEAR(angleStep(3.0, -3.0), step, 1e-12);
  EXPECT_NEAR(angleStep(-3.0, 3.0), -step, 1e-12);
  EXPECT_NEAR(angleStep(0.0, 7.0), 7.0 - 2 * std::numbers::pi, 1e-12);
}

TEST(Animation, KeysAreSetMovedAndRemovedInOrder) {
  Animation a = threeKeys();
  EXPECT_EQ(setKey(a, {20, Pose{}, Easing::Linear}), 2);
  EXPECT_EQ(setKey(a, {40, Pose{}, Easing::Linear}), -1);  // past the end
  EXPECT_EQ(setKey(a, {10, Pose{}, Easing::Smooth}), 1);   // replaces
  EXPECT_EQ(a.keys.size(), 4u);
  // Each of these inserts moves the keys to a larger buffer; the index is still the key's.
  Animation grown;
  EXPECT_EQ(setKey(grown, {5, Pose{}, Easing::Smooth}), 0);
  EXPECT_EQ(setKey(grown, {2, Pose{}, Easing::Smooth}), 0);
  EXPECT_EQ(setKey(grown, {9, Pose{}, Easing::Smooth}), 2);
  EXPECT_FALSE(moveKey(a, 20, 30));  // taken
  EXPECT_FALSE(moveKey(a, 21, 25));  // no key there
  EXPECT_TRUE(moveKey(a, 20, 35));
  EXPECT_EQ(keyIndexAt(a, 35), 3);
  // Every key now names every joint in one order; joint 900, named by the last key only, is
  // held at its values, and a key's own values stay.
  for (const AnimationKey& k : a.keys) {
    ASSERT_EQ(k.pose.joints.size(), 3u);
    EXPECT_EQ(k.pose.joints[2].key, (JointKey{9, 900}));
    EXPECT_EQ(k.pose.joints[2].vd, (std::array<float, 3>{1, 2, 3}));
  }
  // The key set empty at frame 20 (then moved to 35) took the values of frame 20.
  EXPECT_NEAR(a.keys.back().pose.joints[0].vd[0], 15.0f, 1e-5);
  EXPECT_EQ(a.keys[2].pose.joints[0], (JointPose{{8, 800}, {20, 0, 0}, {0, 0, -3.0f}}));
  // The keys' poses are what poseAtFrame gave there before.
  Animation b = threeKeys();
  Pose before, after;
  poseAtFrame(b, 10, before);
  ASSERT_TRUE(normalizeKeys(b));
  EXPECT_EQ(b.keys[1].pose, before);
  EXPECT_FALSE(normalizeKeys(b, 3 * 3 - 1));  // three keys of three joints do not fit
  poseAtFrame(b, 10, after);
  EXPECT_EQ(after, before);
  EXPECT_TRUE(removeKey(a, 0));
  EXPECT_FALSE(removeKey(a, 0));
  EXPECT_EQ(a.keys.front().frame, 10);
  EXPECT_TRUE(animationFault(a).empty());
}

TEST(AnimationFile, RoundTripIsExact) {
  Animation a = threeKeys();
  ASSERT_TRUE(normalizeKeys(a));
  a.keys[0].pose.joints[0].vd[0] = 0.1f;  // not exact in decimal
  a.keys[1].pose.whole[3] = -1.0e-7f;
  test::TempDir dir;
  std::string reason;
  ASSERT_TRUE(saveAnimationFile(dir.file("a.tovanim"), a, reason)) << reason;
  Animation read;
  ASSERT_TRUE(loadAnimationFile(dir.file("a.tovanim"), read, reason)) << reason;
  EXPECT_EQ(read, a);
  EXPECT_EQ(animationPathFor("/x/y.z/fig.tov"), "/x/y.z/fig.tovanim");
  EXPECT_EQ(animationPathFor("/x/y.z/fig"), "/x/y.z/fig.tovanim");
}

TEST(AnimationFile, DamagedFilesAreRefusedAndTheAnimationKept) {
  const Animation a = threeKeys();
  const std::string good = animationToJson(a);
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string s = good;
    const size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return s.replace(at, from.size(), to);
  };
  const std::string bad[] = {
      good.substr(0, good.size() / 2),                     // cut short
      replaced("tovala-animation", "tovala-pose"),         // another file
      replaced("\"version\": 1", "\"version\": 2"),        // a later version
      replaced("\"fps\": 24", "\"fps\": 0"),               // no speed
      replaced("\"length\": 40", "\"length\": -3"),        // no frames
      replaced("\"frame\": 30", "\"frame\": 40"),          // past the end
      replaced("\"frame\": 30", "\"frame\": 10"),          // two keys at one frame
      replaced("\"easing\": \"linear\"", "\"easing\": \"bounce\""),
      replaced("\"vdx\": 20", "\"vdx\": 1e300"),           // out of bounds
      replaced("\"fps\": 24", "\"fps\": \"24\""),          // wrong type
      replaced("\"pose\": {", "\"pose\": [{"),             // not an object
  };
  Animation kept = a;
  for (const std::string& text : bad) {
    std::string reason;
    EXPECT_FALSE(animationFromJson(text, kept, reason)) << text;
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(kept, a);
  }
  // Keys in another order are read sorted.
  Animation b;
  b.length = 40;
  b.keys = {a.keys[2], a.keys[0]};
  std::string text = animationToJson(b), reason;
  Animation read;
  ASSERT_TRUE(animationFromJson(text, read, reason)) << reason;
  b.keys = {a.keys[0], a.keys[2]};
  normalizeKeys(b);
  EXPECT_EQ(read, b);
}

}  // namespace
}  // namespace tovala
