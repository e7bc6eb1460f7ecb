// The body model's skeleton: 31 joint lines with 108 points, the twelve posable joints with
// their limits and co-rotating points, and the hit guides of the trunk and head.

#include <algorithm>

#include "script/body_digits.h"
#include "script/body_tables.h"

namespace tovala::body {

namespace {

constexpr int32_t kBatch = 1000;  // a point a drag can take

JointLine jointLine(int number, int category, std::vector<P2> at, std::vector<int32_t> kinds = {}) {
  JointLine l{number, category, {}};
  for (size_t i = 0; i < at.size(); ++i) {
    // The first point of every joint line is a batch joint point.
    const int32_t kind = i == 0 ? kBatch : (i < kinds.size() ? kinds[i] : 0);
    l.points.push_back({jointNumber(number, int(i)), at[i], kind});
  }
  return l;
}

JointLine mirroredLine(const JointLine& left, int number, int category) {
  JointLine r{number, category, {}};
  for (size_t i = 0; i < left.points.size(); ++i)
    r.points.push_back(
        {jointNumber(number, int(i)), mirrored(left.points[i].at), left.points[i].kind});
  return r;
}

// An arm (or leg) line and its five digit lines, the left ones and their mirror images.
void addLimb(BodyTables& t, int limbLine, int digitLine, int leftCategory, std::vector<P2> limb,
             std::vector<int32_t> kinds, const std::array<Digit, 5>& digits, int rightOffset) {
  std::vector<JointLine> left;
  left.push_back(jointLine(limbLine, leftCategory, limb, kinds));
  for (int d = 0; d < 5; ++d)
    left.push_back(jointLine(digitLine + d, leftCategory, digits[size_t(d)].joints));
  for (const JointLine& l : left) t.lines.push_back(l);
  for (const JointLine& l : left)
    t.lines.push_back(mirroredLine(l, l.nam + rightOffset, leftCategory + 1));
}

std::vector<int32_t> chain(int lineNumber, int from, int count) {
  std::vector<int32_t> out;
  for (int i = from; i < count; ++i) out.push_back(jointNumber(lineNumber, i));
  return out;
}

// A posable joint: it turns itself, the rest of its own line from `from` on, and every point of
// the digit lines.
JointSettings limbJoint(int lineNumber, int index, int pointsOnLine, int digitLine,
                        const std::array<Digit, 5>& digits, std::array<float, 6> turn) {
  JointSettings j{jointNumber(lineNumber, index), {}, {}};
  for (int i = 0; i < 6; ++i) j.ranges[size_t(6 + i)] = turn[size_t(i)];
  j.coRotating = chain(lineNumber, index, pointsOnLine);
  for (int d = 0; d < 5; ++d) {
    const auto more = chain(digitLine + d, 0, int(digits[size_t(d)].joints.size()));
    j.coRotating.insert(j.coRotating.end(), more.begin(), more.end());
  }
  return j;
}

JointSettings mirroredJoint(const JointSettings& left, int lineShift) {
  JointSettings r = left;
  r.nam += lineShift * 100;
  for (int32_t& n : r.coRotating) n += lineShift * 100;
  // Mirrored: turns about y and z go the other way round.
  std::swap(r.ranges[8], r.ranges[9]);
  r.ranges[8] = -r.ranges[8], r.ranges[9] = -r.ranges[9];
  std::swap(r.ranges[10], r.ranges[11]);
  r.ranges[10] = -r.ranges[10], r.ranges[11] = -r.ranges[11];
  return r;
}

}  // namespace

void addSkeleton(BodyTables& t) {
  using namespace line;
  // Trunk and head (category 1). The neck base and the head centre turn what lies above them.
  t.lines.push_back(jointLine(kSpine, 1, {{500, 548}, {500, 448}, {500, 338}, {500, 246}}));
  t.lines.push_back(
      jointLine(kNeckHead, 1, {{500, 246}, {500, 138}, {500, 62}, {500, 212}}, {kBatch, kBatch}));
  t.lines.push_back(jointLine(kClavicleL, 1, {{512, 250}, {606, 262}}));
  t.lines.push_back(jointLine(kClavicleR, 1, {mirrored({512, 250}), mirrored({606, 262})}));
  t.lines.push_back(jointLine(kHipL, 1, {{506, 548}, {552, 570}}));
  t.lines.push_back(jointLine(kHipR, 1, {mirrored({506, 548}), mirrored({552, 570})}));
  t.lines.push_back(jointLine(kChest, 1, {{550, 352}, mirrored({550, 352})}));

  // Arms (categories 2, 3): shoulder, elbow, wrist, knuckles; then thumb .. little finger.
  const auto hand = leftHand(kWristL, kPalmL);
  addLimb(t, kArmL, kFingersL, 2, {{610, 266}, {648, 444}, kWristL, kPalmL},
          {kBatch, kBatch, kBatch}, hand, kArmR - kArmL);
  // Legs (categories 4, 5): hip, knee, ankle; then big toe .. little toe.
  const auto foot = leftFoot(kAnkleL, kToeBaseL);
  addLimb(t, kLegL, kToesL, 4, {{552, 570}, {566, 822}, kAnkleL}, {kBatch, kBatch}, foot,
          kLegR - kLegL);
  // Lines are created in number order.
  std::sort(t.lines.begin(), t.lines.end(),
            [](const JointLine& a, const JointLine& b) { return a.nam < b.nam; });

  // The twelve posable joints: no movement (a joint that slid would leave its limb behind),
  // generous turns so every pose can be reached.
  auto own = [](int32_t nam, std::vector<int32_t> turning, std::array<float, 6> turn) {
    JointSettings j{nam, {}, std::move(turning)};
    for (int i = 0; i < 6; ++i) j.ranges[size_t(6 + i)] = turn[size_t(i)];
    return j;
  };
  t.joints.push_back(own(jointNumber(kNeckHead, 0), chain(kNeckHead, 0, 4),
                         {-0.7f, 0.7f, -1.3f, 1.3f, -0.8f, 0.8f}));
  t.joints.push_back(own(jointNumber(kNeckHead, 1), chain(kNeckHead, 1, 4),
                         {-0.6f, 0.6f, -1.4f, 1.4f, -0.6f, 0.6f}));
  const std::array<float, 6> shoulder{-3.1f, 3.1f, -3.1f, 3.1f, -3.1f, 3.1f};
  const std::array<float, 6> elbow{-2.8f, 2.8f, -2.8f, 2.8f, -2.8f, 2.8f};
  const std::array<float, 6> wrist{-1.5f, 1.5f, -1.5f, 1.5f, -1.5f, 1.5f};
  const std::array<float, 6> hip{-2.2f, 2.2f, -1.2f, 1.2f, -1.8f, 1.8f};
  const std::array<float, 6> knee{-2.8f, 2.8f, -0.6f, 0.6f, -2.8f, 2.8f};
  const JointSettings leftArm[] = {limbJoint(kArmL, 0, 4, kFingersL, hand, shoulder),
                                   limbJoint(kArmL, 1, 4, kFingersL, hand, elbow),
                                   limbJoint(kArmL, 2, 4, kFingersL, hand, wrist)};
  const JointSettings leftLeg[] = {limbJoint(kLegL, 0, 3, kToesL, foot, hip),
                                   limbJoint(kLegL, 1, 3, kToesL, foot, knee)};
  for (const auto& j : leftArm) t.joints.push_back(j);
  for (const auto& j : leftArm) t.joints.push_back(mirroredJoint(j, kArmR - kArmL));
  for (const auto& j : leftLeg) t.joints.push_back(j);
  for (const auto& j : leftLeg) t.joints.push_back(mirroredJoint(j, kLegR - kLegL));

  // Hit guides: the trunk (neck base to pelvis), the navel's waist, the breasts and the head.
  t.guides = {{jointNumber(kSpine, 3), jointNumber(kSpine, 0)},
              {jointNumber(kSpine, 1), jointNumber(kSpine, 0)},
              {jointNumber(kChest, 0), jointNumber(kSpine, 2)},
              {jointNumber(kChest, 1), jointNumber(kSpine, 2)},
              {jointNumber(kNeckHead, 2), jointNumber(kNeckHead, 3)}};
}

}  // namespace tovala::body
