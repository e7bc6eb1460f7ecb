// Reaching with the IK tool on the body model: the chain found above a point, reachable targets
// met within a pixel from several poses, unreachable ones left inside the limits as near as they
// allow, no joint but the chain's changed, and elbows and knees bending the natural way.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "engine/ik.h"
#include "engine/joints.h"
#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "engine/rotation.h"
#include "model/document.h"
#include "script/body_model.h"
#include "script/body_tables.h"
#include "script/line_programs.h"
#include "script/motion_prepare.h"
#include "script_fixture.h"

namespace tovala {
namespace {

using body::line::kArmL;
using body::line::kLegL;
constexpr int kShoulder = 0, kElbow = 1, kWrist = 2, kPalm = 3;

std::unique_ptr<Document> posedFigure(const std::function<void(Document&)>& pose = {}) {
  auto d = std::make_unique<Document>();
  createBodyModel(*d);
  if (pose) pose(*d);
  prepareMotion(*d);
  return d;
}

PointRecord& pt(Document& d, int line, int point) {
  return d.lines[size_t(line)].points[size_t(point)];
}
DVec3 at(Document& d, int line, int point) { return positionOf(pt(d, line, point)); }
double planar(const DVec3& a, const DVec3& b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Every point's movement and rotation, line after line.
std::vector<std::array<float, 6>> motionValues(const Document& d) {
  std::vector<std::array<float, 6>> out;
  for (const LineRecord& l : d.lines)
    for (const PointRecord& p : l.points)
      out.push_back({p.vdx, p.vdy, p.vdz, p.radx, p.rady, p.radz});
  return out;
}

void expectWithinLimits(Document& d, int line, int point) {
  const PointRecord& p = pt(d, line, point);
  std::array<double, 6> lim;
  ASSERT_TRUE(rotationLimits(p, lim));
  const float a[3] = {p.radx, p.rady, p.radz};
  for (int i = 0; i < 3; ++i) {
    EXPECT_GE(a[i], float(lim[size_t(2 * i)])) << line << "/" << point << " axis " << i;
    EXPECT_LE(a[i], float(lim[size_t(2 * i + 1)])) << line << "/" << point << " axis " << i;
  }
}

// The arm's two bones as the picture shows them.
struct Arm {
  DVec3 shoulder;
  double upper, fore;
};
Arm leftArm(Document& d) {
  const DVec3 s = at(d, kArmL, kShoulder), e = at(d, kArmL, kElbow), w = at(d, kArmL, kWrist);
  return {s, planar(s, e), planar(e, w)};
}
DVec3 from(const DVec3& s, double dx, double dy, double length) {
  const double n = std::hypot(dx, dy);
  return {s.x + dx / n * length, s.y + dy / n * length, 0};
}

TEST(Ik, ChainIsTheJointsAboveThePointNearestFirst) {
  auto d = posedFigure();
  using J = std::array<int, 2>;
  IkChain c = findIkChain(*d, kArmL, kWrist, kDefaultIkChain);
  ASSERT_EQ(c.count, 2);
  EXPECT_EQ(c.joints[0], (J{kArmL, kElbow}));
  EXPECT_EQ(c.joints[1], (J{kArmL, kShoulder}));
  c = findIkChain(*d, kArmL, kPalm, kMaxIkChain);  // only three joints turn the palm
  ASSERT_EQ(c.count, 3);
  EXPECT_EQ(c.joints[0], (J{kArmL, kWrist}));
  EXPECT_EQ(c.joints[2], (J{kArmL, kShoulder}));

  // The press takes any point of a joint line, the ankle too (not a joint point itself).
  const DVec3 ankle = at(*d, kLegL, 2);
  c = ikPress(*d, int(ankle.x), int(ankle.y), kDefaultIkChain);
  EXPECT_EQ(d->curLine, kLegL);
  EXPECT_EQ(d->curPoint, 2);
  ASSERT_EQ(c.count, 2);
  EXPECT_EQ(c.joints[0], (J{kLegL, 1}));
  EXPECT_EQ(c.joints[1], (J{kLegL, 0}));

  // Nothing turns the pelvis: its chain is empty and a drag on it changes nothing; a press
  // beside every point selects nothing.
  c = findIkChain(*d, body::line::kSpine, 0, kDefaultIkChain);
  EXPECT_EQ(c.count, 0);
  const auto before = motionValues(*d);
  ikDrag(*d, c, 300, 300);
  EXPECT_EQ(motionValues(*d), before);
  EXPECT_EQ(ikPress(*d, 5, 1190, kDefaultIkChain).count, 0);
  EXPECT_EQ(d->curLine, kLegL);
}

// From the rest pose, from a pose whose arm is turned out of the picture plane, and with the
// whole figure turned: the wrist lands within a pixel of targets towards the head, across the
// body and out to the side, after a drag of a few steps; only the arm's two joints change.
TEST(Ik, ReachableTargetsAreMetWithinOnePixel) {
  const std::function<void(Document&)> poses[] = {
      {},
      [](Document& d) {
        pt(d, kArmL, kShoulder).radx = 0.5f;
        pt(d, kArmL, kElbow).radz = 0.6f;
      },
      [](Document& d) {
        d.RadY = 0.4f;
        d.RadZ = 0.2f;
      }};
  const std::array<double, 2> directions[] = {{-0.7, -0.7}, {-0.6, 0.8}, {0.8, 0.6}};
  for (size_t pose = 0; pose < std::size(poses); ++pose) {
    for (const auto& dir : directions) {
      auto d = posedFigure(poses[pose]);
      const Arm arm = leftArm(*d);
      const DVec3 target = from(arm.shoulder, dir[0], dir[1], 0.75 * (arm.upper + arm.fore));
      const auto before = motionValues(*d);
      const DVec3 start = at(*d, kArmL, kWrist);
      const IkChain chain = ikPress(*d, int(start.x), int(start.y), kDefaultIkChain);
      ASSERT_EQ(chain.count, 2);
      for (int step = 1; step <= 4; ++step) {
        const DVec3 m = start + (target - start) * (step / 4.0);
        ikDrag(*d, chain, int(std::lround(m.x)), int(std::lround(m.y)));
      }
      const DVec3 mouse{double(std::lround(target.x)), double(std::lround(target.y)), 0};
      EXPECT_LT(planar(at(*d, kArmL, kWrist), mouse), 1.0) << "pose " << pose;
      expectWithinLimits(*d, kArmL, kShoulder);
      expectWithinLimits(*d, kArmL, kElbow);
      if (pose == 0) {
        // From rest every joint's frame faces the viewer: the arm turns about Z alone and stays
        // in the picture plane.
        for (int j : {kShoulder, kElbow}) {
          EXPECT_EQ(pt(*d, kArmL, j).radx, 0.0f) << j;
          EXPECT_EQ(pt(*d, kArmL, j).rady, 0.0f) << j;
        }
        EXPECT_NEAR(at(*d, kArmL, kWrist).z, 0.0, 1e-3);
      }

      // Only the shoulder's and elbow's values moved; the other hand stayed where it was.
      const auto after = motionValues(*d);
      size_t index = 0;
      for (int l = 0; l < d->lineCount(); ++l)
        for (int p = 0; p < d->pointCount(l); ++p, ++index)
          if (!(l == kArmL && (p == kShoulder || p == kElbow))) {
            EXPECT_EQ(after[index], before[index]) << l << "/" << p;
          }
    }
  }
}

TEST(Ik, UnreachableTargetsStopInsideTheLimitsAsNearAsTheyAllow) {
  // Too far: the arm points straight at the target.
  {
    auto d = posedFigure();
    const Arm arm = leftArm(*d);
    const DVec3 target = from(arm.shoulder, 0.9, 0.3, arm.upper + arm.fore + 150);
    const IkChain chain = findIkChain(*d, kArmL, kWrist, kDefaultIkChain);
    ikDrag(*d, chain, int(target.x), int(target.y));
    const DVec3 mouse{double(int(target.x)), double(int(target.y)), 0};
    const double expected = planar(arm.shoulder, mouse) - (arm.upper + arm.fore);
    EXPECT_NEAR(planar(at(*d, kArmL, kWrist), mouse), expected, 1.0);
    expectWithinLimits(*d, kArmL, kShoulder);
    expectWithinLimits(*d, kArmL, kElbow);
  }
  // An elbow that bends at most 0.2 radian each way cannot bring the wrist near the shoulder:
  // the wrist ends as near as the best bend allowed, found here by trying every bend.
  {
    auto d = posedFigure([](Document& doc) {
      ParamList& list = pt(doc, kArmL, kElbow).params;
      const int first = findParam(list, kRotationFirstKey);
      ASSERT_GE(first, 0);
      for (size_t i = 0; i < 6; ++i) list[size_t(first) + i].setFloat(i % 2 ? 0.2f : -0.2f);
    });
    const Arm arm = leftArm(*d);
    const DVec3 target = from(arm.shoulder, -0.3, 1.0, 120);
    const IkChain chain = findIkChain(*d, kArmL, kWrist, kDefaultIkChain);
    ikDrag(*d, chain, int(target.x), int(target.y));
    const DVec3 mouse{double(int(target.x)), double(int(target.y)), 0};

    const DVec3 upper = at(*d, kArmL, kElbow) - arm.shoulder;
    const DVec3 fore = at(*d, kArmL, kWrist) - at(*d, kArmL, kElbow);
    const double bent = double(pt(*d, kArmL, kElbow).radz);
    double best = 1e9;
    for (int i = 0; i <= 4000; ++i) {
      const double a = -0.2 + 0.4 * i / 4000.0;
      const DVec3 reach = upper + rotateZ(fore, a - bent);
      best = std::min(best, std::fabs(planar(arm.shoulder, mouse) - std::hypot(reach.x, reach.y)));
    }
    EXPECT_LE(planar(at(*d, kArmL, kWrist), mouse), best + 1.0);
    EXPECT_GT(best, 20.0);  // the target really is out of reach
    expectWithinLimits(*d, kArmL, kShoulder);
    expectWithinLimits(*d, kArmL, kElbow);
  }
}

// Which way the elbow or knee bends. A straight limb takes the side that keeps the middle joint
// away from the body: the hand brought to the head raises the elbow out beside it instead of
// folding the arm across the chest, and a foot raised out or under the body turns the knee out
// instead of across the other leg. A bent limb keeps its side through a drag that straightens it
// and bends it again.
TEST(Ik, LimbsBendAwayFromTheBodyAndKeepTheirSide) {
  auto drag = [](Document& d, int line, int point, const std::vector<DVec3>& path) {
    const DVec3 start = at(d, line, point);
    const IkChain chain = ikPress(d, int(start.x), int(start.y), kDefaultIkChain);
    EXPECT_EQ(chain.count, 2);
    for (const DVec3& m : path) ikDrag(d, chain, int(m.x), int(m.y));
  };
  {
    auto d = posedFigure();
    const DVec3 shoulder = at(*d, kArmL, kShoulder), head{540, 130, 0};
    drag(*d, kArmL, kWrist, {{640, 480, 0}, {610, 360, 0}, {580, 250, 0}, head});
    EXPECT_LT(planar(at(*d, kArmL, kWrist), head), 1.0);
    EXPECT_GT(at(*d, kArmL, kElbow).x, shoulder.x + 40);
    EXPECT_LT(at(*d, kArmL, kElbow).y, shoulder.y - 100);
    expectWithinLimits(*d, kArmL, kElbow);
  }
  for (const DVec3 foot : {DVec3{640, 860, 0}, DVec3{520, 900, 0}}) {
    auto d = posedFigure();
    const DVec3 hip = at(*d, kLegL, 0);
    drag(*d, kLegL, 2, {foot});
    EXPECT_LT(planar(at(*d, kLegL, 2), foot), 1.0);
    // Out: beyond the hip and the foot, on the side away from the other leg.
    EXPECT_GT(at(*d, kLegL, 1).x, std::max(hip.x, foot.x) + 40) << foot.x;
    expectWithinLimits(*d, kLegL, 1);
  }
  // The elbow bent one way and then the other: out to full reach and back keeps each side.
  for (const float elbow : {1.2f, -1.2f}) {
    auto d = posedFigure([&](Document& doc) { pt(doc, kArmL, kElbow).radz = elbow; });
    auto side = [&] {
      const DVec3 s = at(*d, kArmL, kShoulder), e = at(*d, kArmL, kElbow),
                  w = at(*d, kArmL, kWrist);
      return (w.x - s.x) * (e.y - s.y) - (w.y - s.y) * (e.x - s.x) > 0;
    };
    const bool before = side();
    const DVec3 s = at(*d, kArmL, kShoulder);
    drag(*d, kArmL, kWrist, {{s.x + 200, s.y + 400, 0}, {s.x + 450, s.y + 40, 0},
                             {s.x + 200, s.y - 150, 0}, {s.x + 160, s.y + 40, 0}});
    EXPECT_LT(planar(at(*d, kArmL, kWrist), {s.x + 160, s.y + 40, 0}), 1.5) << elbow;
    EXPECT_EQ(side(), before) << elbow;
  }
}

// A figure of one's own: a shoulder and an elbow that are joint points (kind 2000), whose line
// program applies only the selected joint's change (TPRotSel). Each turned joint goes through
// that program as the rotation tool would send it, so the hand still reaches the mouse, step
// after step, and the bones keep their lengths.
TEST(Ik, JointPointsAreAppliedThroughTheirOwnLinePrograms) {
  Document doc;
  RecordingUi ui;
  doc.ui = &ui;
  installScriptHooks();
  const int arm = script_test::appendLine(doc, {{300, 300, 0}, {300, 400, 0}, {300, 500, 0}}, 4);
  const JointRanges ranges{-100,     100,     -100,     100,     -100,     100,
                           -3.1416f, 3.1416f, -3.1416f, 3.1416f, -3.1416f, 3.1416f};
  for (int j = 0; j < 2; ++j) {
    PointRecord& joint = pt(doc, arm, j);
    joint.kind = kJointPointKind;
    replaceKindRange(joint, kJointFirstKey, kJointLastKey, jointRangeEntries(ranges, 1.0f));
    std::vector<ParamEntry> turned;
    for (int p = j + 1; p < 3; ++p)
      turned.push_back(ParamEntry::ofInt(kCoRotationKey, 0, packPointRef(arm, p)));
    replaceKindRange(joint, kCoRotationKey, kCoRotationKey, turned);
  }
  doc.curLine = arm;
  ScriptEngine e(doc);
  e.setDumpPath("");
  ASSERT_EQ(e.lex("TPRotSel(); TPMoveSel();"), 1);

  const IkChain chain = ikPress(doc, 300, 500, kDefaultIkChain);
  ASSERT_EQ(chain.count, 2);
  for (auto [x, y] : {std::pair{380, 420}, {230, 390}, {350, 260}}) {
    ikDrag(doc, chain, x, y);
    EXPECT_LT(planar(at(doc, arm, 2), {double(x), double(y), 0}), 1.0) << x << "," << y;
    // Undone and redone through f32 positions step after step: lengths hold to 1/100 pixel.
    EXPECT_NEAR(planar(at(doc, arm, 0), at(doc, arm, 1)), 100, 0.01);
    EXPECT_NEAR(planar(at(doc, arm, 1), at(doc, arm, 2)), 100, 0.01);
  }
  EXPECT_EQ(doc.curLine, arm);  // the dragged point stays the selection
  EXPECT_EQ(doc.curPoint, 2);
  EXPECT_TRUE(ui.shown.empty());
}

}  // namespace
}  // namespace tovala
