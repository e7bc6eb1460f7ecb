// Aiming with the 向き tool on the body model: the limb under the press turns about its joint
// until it points at the mouse, stops at the joint's limit when the mouse lies beyond it, carries
// what the joint carries, and a right drag tips it out of the picture.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <numbers>

#include "engine/aim.h"
#include "engine/joints.h"
#include "engine/motion_drag.h"
#include "engine/param_splice.h"
#include "engine/rotation.h"
#include "model/document.h"
#include "script/body_model.h"
#include "script/body_tables.h"
#include "script/motion_prepare.h"
#include "script_fixture.h"

namespace tovala {
namespace {

using body::line::kArmL;
constexpr int kShoulder = 0, kElbow = 1, kWrist = 2;

std::unique_ptr<Document> figure() {
  auto d = std::make_unique<Document>();
  createBodyModel(*d);
  prepareMotion(*d);
  return d;
}

PointRecord& pt(Document& d, int line, int point) {
  return d.lines[size_t(line)].points[size_t(point)];
}
DVec3 at(Document& d, int point) { return positionOf(pt(d, kArmL, point)); }
double direction(const DVec3& from, const DVec3& to) { return std::atan2(to.y - from.y, to.x - from.x); }
double turnBetween(double a, double b) { return std::remainder(b - a, 2 * std::numbers::pi); }

// The mouse `turn` radians round `centre` from `point`, at the same distance.
std::array<int, 2> mouseTurned(const DVec3& centre, const DVec3& point, double turn) {
  const double a = direction(centre, point) + turn;
  const double r = std::hypot(point.x - centre.x, point.y - centre.y);
  return {int(std::lround(centre.x + r * std::cos(a))), int(std::lround(centre.y + r * std::sin(a)))};
}

// Drags from the point's place to `mouse` in four steps with the aim tool.
void aimAt(Document& d, const DVec3& grab, std::array<int, 2> mouse, int axis = 0) {
  d.edit.subMode = kToolAim;
  d.edit.dragAxis = axis;
  const AimGrip grip = aimPress(d, int(grab.x), int(grab.y));
  ASSERT_EQ(grip.chain.count, 1);
  for (int step = 1; step <= 4; ++step)
    aimDrag(d, grip, int(std::lround(grab.x + (mouse[0] - grab.x) * step / 4.0)),
            int(std::lround(grab.y + (mouse[1] - grab.y) * step / 4.0)));
}

TEST(Aim, PressTakesTheJointThatCarriesThePointOrTheBone) {
  auto d = figure();
  const DVec3 w = at(*d, kWrist), e = at(*d, kElbow);
  AimGrip g = aimPress(*d, int(w.x), int(w.y));
  ASSERT_EQ(g.chain.count, 1);
  EXPECT_EQ(g.chain.joints[0][0], kArmL);
  EXPECT_EQ(g.chain.joints[0][1], kElbow);
  EXPECT_EQ(d->curLine, kArmL);
  EXPECT_EQ(d->curPoint, kWrist);

  // Halfway along the forearm, away from every point: the elbow still.
  const DVec3 mid = (w + e) * 0.5;
  g = aimPress(*d, int(std::lround(mid.x)), int(std::lround(mid.y)));
  ASSERT_EQ(g.chain.count, 1);
  EXPECT_EQ(g.chain.joints[0][1], kElbow);

  // Far from the figure: nothing, and the selection stays.
  g = aimPress(*d, -500, -500);
  EXPECT_EQ(g.chain.count, 0);
  EXPECT_EQ(d->curLine, kArmL);
}

TEST(Aim, LimbPointsAtTheMouseWithinTheLimitsCarryingWhatTheJointCarries) {
  for (double turn : {0.5, -0.4, 1.2}) {
    auto d = figure();
    const DVec3 s = at(*d, kShoulder), e = at(*d, kElbow), w = at(*d, kWrist);
    const auto mouse = mouseTurned(s, e, turn);
    aimAt(*d, e, mouse);
    const DVec3 e2 = at(*d, kElbow), w2 = at(*d, kWrist);
    // Pointing at the mouse (a pixel's rounding at the elbow's distance).
    EXPECT_NEAR(turnBetween(direction(s, e2), direction(s, DVec3{double(mouse[0]), double(mouse[1]), 0})),
                0.0, 0.02)
        << turn;
    // The wrist, which the shoulder carries, turned with it rigidly.
    EXPECT_NEAR(turnBetween(direction(s, w), direction(s, w2)),
                turnBetween(direction(s, e), direction(s, e2)), 1e-3)
        << turn;
    EXPECT_NEAR(std::hypot(w2.x - e2.x, w2.y - e2.y), std::hypot(w.x - e.x, w.y - e.y), 0.05);
    std::array<double, 6> lim;
    ASSERT_TRUE(rotationLimits(pt(*d, kArmL, kShoulder), lim));
    EXPECT_GE(pt(*d, kArmL, kShoulder).radz, float(lim[4]));
    EXPECT_LE(pt(*d, kArmL, kShoulder).radz, float(lim[5]));
  }
}

TEST(Aim, StopsAtTheLimitWhenTheMouseLiesBeyondIt) {
  auto d = figure();
  // The shoulder may turn 0.2 radians either way about Z and not at all about X and Y.
  PointRecord& shoulder = pt(*d, kArmL, kShoulder);
  const int first = findParam(shoulder.params, 12);
  ASSERT_GE(first, 0);
  const float limits[6] = {0, 0, 0, 0, -0.2f, 0.2f};
  for (int i = 0; i < 6; ++i) shoulder.params[size_t(first + i)].setFloat(limits[i]);
  const DVec3 s = at(*d, kShoulder), e = at(*d, kElbow);
  for (double turn : {1.0, -1.0}) {
    auto copy = std::make_unique<Document>(*d);
    aimAt(*copy, e, mouseTurned(s, e, turn));
    const PointRecord& after = pt(*copy, kArmL, kShoulder);
    EXPECT_EQ(after.radx, 0.0f);
    EXPECT_EQ(after.rady, 0.0f);
    EXPECT_FLOAT_EQ(std::fabs(after.radz), 0.2f) << turn;
    // Turned 0.2 towards the mouse, no further.
    EXPECT_NEAR(turnBetween(direction(s, e), direction(s, at(*copy, kElbow))), turn > 0 ? 0.2 : -0.2,
                1e-3);
  }
}

TEST(Aim, RightDragTipsTheLimbOutOfThePicture) {
  auto d = figure();
  const DVec3 s = at(*d, kShoulder), e = at(*d, kElbow);
  const double length = std::hypot(e.x - s.x, e.y - s.y);
  aimAt(*d, e, {int(e.x), int(e.y) + 50}, kDepthDragAxis);
  const DVec3 e2 = at(*d, kElbow);
  // Half a radian towards or away from the viewer: shorter in the picture, same direction.
  EXPECT_NEAR(std::hypot(e2.x - s.x, e2.y - s.y), length * std::cos(0.5), 0.5);
  EXPECT_NEAR(std::fabs(e2.z - s.z), length * std::sin(0.5), 0.5);
  EXPECT_NEAR(turnBetween(direction(s, e), direction(s, e2)), 0.0, 1e-2);
}

}  // namespace
}  // namespace tovala
