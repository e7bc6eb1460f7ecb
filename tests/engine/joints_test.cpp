#include "engine/joints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "engine_fixture.h"

namespace tovala {
namespace {

constexpr float kQuarter = float(std::numbers::pi / 2);

// A joint line 0 (joint point 0 at (100, 100), point 1 at (150, 100)) and a plain line 1 with
// one point at (200, 100), all with their references set.
struct JointDoc {
  Document doc;
  JointDoc() {
    test::addLine(doc, {{100, 100}, {150, 100}}, 4);
    test::addLine(doc, {{200, 100}});
    setReference(doc, 0, -1);
    test::makeJoint(doc, 0, 0, test::wideRanges());
  }
  PointRecord& pt(int l, int p) { return doc.lines[size_t(l)].points[size_t(p)]; }
};

// Every position and axis tip of the model, for before/after comparisons.
std::vector<float> snapshot(const Document& doc) {
  std::vector<float> v;
  for (const LineRecord& l : doc.lines)
    for (const PointRecord& p : l.points) {
      v.insert(v.end(), {p.vx, p.vy, p.vz});
      for (const auto& u : {p.unitX, p.unitY, p.unitZ}) v.insert(v.end(), u.begin(), u.end());
    }
  return v;
}

void expectClose(const std::vector<float>& a, const std::vector<float>& b, float tol) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) EXPECT_NEAR(a[i], b[i], tol) << "value " << i;
}

TEST(Joints, MoveClampsToScaledLimits) {
  JointDoc j;
  // No movement and limits around 0: nothing moves, yet the move is done.
  EXPECT_EQ(TPMove(j.doc, 0, 0), 1);
  EXPECT_EQ(j.pt(0, 0).vx, 100.0f);

  // Limits [10, 20] in x pull a zero movement up to 10, times the model scale.
  JointRanges r = test::wideRanges();
  r[0] = 10;
  r[1] = 20;
  test::makeJoint(j.doc, 0, 0, r);
  j.doc.modelScale = 2.0f;
  const auto unitX = j.pt(0, 0).unitX;
  EXPECT_EQ(TPMove(j.doc, 0, 0), 1);
  EXPECT_EQ(j.pt(0, 0).vdx, 20.0f);
  EXPECT_EQ(j.pt(0, 0).vx, 120.0f);
  EXPECT_EQ(j.pt(0, 0).unitX[0], unitX[0] + 20.0f);
  EXPECT_EQ(j.pt(0, 1).vx, 150.0f);  // co-rotating or not, other points stay

  // A minimum above its maximum: the maximum wins.
  r[2] = 30;
  r[3] = 5;
  test::makeJoint(j.doc, 0, 0, r);
  j.doc.modelScale = 1.0f;
  j.pt(0, 0).vdy = 0;
  TPMove(j.doc, 0, 0);
  EXPECT_EQ(j.pt(0, 0).vdy, 5.0f);
}

TEST(Joints, RefusalsChangeNothing) {
  JointDoc j;
  j.pt(0, 0).vdx = 7;
  j.pt(0, 0).radz = 0.5f;
  test::setCoRotating(j.doc, 0, 0, {{0, 1}});
  const auto before = j.doc.lines;
  const int lines = j.doc.lineCount();
  for (auto [l, p] : {std::pair{-1, 0}, {lines, 0}, {0, -1}, {0, 3}, {1, 0}}) {
    EXPECT_EQ(TPMove(j.doc, l, p), -1) << l << "," << p;
    EXPECT_EQ(TPRot(j.doc, l, p), -1) << l << "," << p;
    EXPECT_EQ(undoJointMove(j.doc, l, p, 1, 1, 1), -1);
    EXPECT_EQ(undoJointRot(j.doc, l, p, 1, 1, 1), -1);
  }
  // Point 1 of the joint line holds only its sentinel parameter.
  EXPECT_EQ(TPMove(j.doc, 0, 1), -1);
  EXPECT_EQ(TPRot(j.doc, 0, 1), -1);
  // More than eleven entries but no rotation limits.
  j.pt(0, 1).params.assign(12, ParamEntry::ofInt(20, 0, 1));
  j.pt(0, 1).params.push_back(ParamEntry::sentinel());
  const auto withList = j.doc.lines;
  EXPECT_EQ(TPRot(j.doc, 0, 1), -1);
  EXPECT_EQ(TPMove(j.doc, 0, 1), -1);
  EXPECT_TRUE(j.doc.lines == withList);
  j.pt(0, 1).params.assign(1, ParamEntry::sentinel());
  EXPECT_TRUE(j.doc.lines == before);
}

TEST(Joints, RotationWithoutCoRotatingPointsClampsAndFails) {
  JointDoc j;
  JointRanges r = test::wideRanges();
  r[6] = 0;
  r[7] = 0.5f;
  test::makeJoint(j.doc, 0, 0, r);
  j.pt(0, 0).radx = 1.0f;
  const auto before = snapshot(j.doc);
  EXPECT_EQ(TPRot(j.doc, 0, 0), -1);
  EXPECT_EQ(j.pt(0, 0).radx, 0.5f);
  EXPECT_EQ(snapshot(j.doc), before);
}

TEST(Joints, RotationTurnsTargetsAboutTheLocalAxes) {
  JointDoc j;
  test::setCoRotating(j.doc, 0, 0, {{0, 0}, {0, 1}, {1, 0}});
  j.pt(0, 0).rady = kQuarter;
  EXPECT_EQ(TPRot(j.doc, 0, 0), 1);
  // (50, 0, 0) from the joint turned about Y: x' = x cos - z sin, z' = x sin + z cos.
  EXPECT_NEAR(j.pt(0, 1).vx, 100.0f, 1e-4);
  EXPECT_NEAR(j.pt(0, 1).vz, 50.0f, 1e-4);
  EXPECT_NEAR(j.pt(1, 0).vx, 100.0f, 1e-4);
  EXPECT_NEAR(j.pt(1, 0).vz, 100.0f, 1e-4);
  // The joint itself stays; its X axis tip turns from +x to +z.
  EXPECT_EQ(j.pt(0, 0).vx, 100.0f);
  EXPECT_NEAR(j.pt(0, 0).unitX[0], 100.0f, 1e-4);
  EXPECT_NEAR(j.pt(0, 0).unitX[2], 1.0f, 1e-4);
  // The joint line's other point turns its axis tips too; the plain line's point does not.
  EXPECT_NEAR(j.pt(0, 1).unitX[2], 51.0f, 1e-4);
  EXPECT_EQ(j.pt(1, 0).unitX[2], 0.0f);
}

TEST(Joints, TiltedFrameRotatesAboutItsOwnAxis) {
  JointDoc j;
  test::setCoRotating(j.doc, 0, 0, {{1, 0}});
  // Local X along world Y, local Y along world -X.
  PointRecord& jp = j.pt(0, 0);
  jp.unitX = {100, 101, 0};
  jp.unitY = {99, 100, 0};
  jp.unitZ = {100, 100, 1};
  jp.radx = kQuarter;
  EXPECT_EQ(TPRot(j.doc, 0, 0), 1);
  // About (0, 1, 0) the axis formula reduces to the Y primitive: (100, 0, 0) -> (0, 0, 100).
  EXPECT_NEAR(j.pt(1, 0).vx, 100.0f, 1e-4);
  EXPECT_NEAR(j.pt(1, 0).vy, 100.0f, 1e-4);
  EXPECT_NEAR(j.pt(1, 0).vz, 100.0f, 1e-4);
}

TEST(Joints, RotateThenUndoReturnsEveryPoint) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> angle(-3.1f, 3.1f), pos(-500, 500);
  JointDoc j;
  test::addLine(j.doc, {{0, 0}, {0, 0}}, 4);
  // Targets on joint lines (tips turn too) and on a plain line; the joint's own frame stays.
  test::setCoRotating(j.doc, 0, 0, {{0, 1}, {1, 0}, {2, 0}, {2, 1}});
  PointRecord& jp = j.pt(0, 0);
  for (int round = 0; round < 20; ++round) {
    for (auto [l, p] : {std::pair{0, 1}, {1, 0}, {2, 0}, {2, 1}})
      setPoint(j.doc, l, p, pos(rng), pos(rng), pos(rng));
    setReference(j.doc, 0, -1);
    if (round % 2) {
      // A frame turned a quarter about Z: local X along world Y, local Y along world -X.
      jp.unitX = {100, 101, 0};
      jp.unitY = {99, 100, 0};
    }
    const auto before = snapshot(j.doc);
    jp.radx = angle(rng);
    jp.rady = angle(rng);
    jp.radz = angle(rng);
    ASSERT_EQ(TPRot(j.doc, 0, 0), 1);
    EXPECT_NE(snapshot(j.doc), before);
    ASSERT_EQ(undoJointRot(j.doc, 0, 0, jp.radx, jp.rady, jp.radz), 1);
    expectClose(snapshot(j.doc), before, 1e-3f);
  }
  // A joint listed as its own co-rotating point turns its tips about the world axes; the undo
  // turns them back.
  test::setCoRotating(j.doc, 0, 0, {{0, 0}});
  const auto before = snapshot(j.doc);
  j.pt(0, 0).radx = 0.4f;
  j.pt(0, 0).rady = -1.2f;
  j.pt(0, 0).radz = 2.0f;
  TPRot(j.doc, 0, 0);
  EXPECT_EQ(j.pt(0, 0).vx, 100.0f);
  EXPECT_NE(snapshot(j.doc), before);
  undoJointRot(j.doc, 0, 0, 0.4f, -1.2f, 2.0f);
  expectClose(snapshot(j.doc), before, 1e-3f);
}

TEST(Joints, SelFormsUndoThePreviousStep) {
  JointDoc j;
  test::setCoRotating(j.doc, 0, 0, {{0, 1}, {1, 0}});
  j.doc.curLine = 0;
  j.doc.curPoint = 0;
  PointRecord& jp = j.pt(0, 0);
  jp.radz = 0.3f;
  TPRotSel(j.doc);  // previous rotation 0: a plain rotation
  const auto once = snapshot(j.doc);
  j.doc.edit.prevMotion = {0, 0, 0, 0, 0, 0.3f};
  EXPECT_EQ(TPRotSel(j.doc), 0);  // same angle again: undone and redone
  expectClose(snapshot(j.doc), once, 1e-4f);

  jp.vdx = 5;
  TPMoveSel(j.doc);
  EXPECT_EQ(jp.vx, 105.0f);
  j.doc.edit.prevMotion.vdx = 5;
  jp.vdx = 8;
  EXPECT_EQ(TPMoveSel(j.doc), 0);
  EXPECT_EQ(jp.vx, 108.0f);
}

TEST(Joints, AllFormsVisitEveryJointAndSkipTheRest) {
  JointDoc j;
  test::makeJoint(j.doc, 0, 1, test::wideRanges());
  j.pt(0, 0).vdx = 3;
  j.pt(0, 1).vdy = 4;
  j.pt(1, 0).vdx = 9;  // not on a joint line
  EXPECT_EQ(TPMoveAll(j.doc), 0);
  EXPECT_EQ(j.pt(0, 0).vx, 103.0f);
  EXPECT_EQ(j.pt(0, 1).vy, 104.0f);
  EXPECT_EQ(j.pt(1, 0).vx, 200.0f);

  test::setCoRotating(j.doc, 0, 0, {{1, 0}});
  j.pt(0, 0).radz = kQuarter;
  EXPECT_EQ(TPRotAll(j.doc), 0);
  // (97, 0) from the joint at (103, 100) turned about Z: x' = x cos + y sin, y' = y cos - x sin.
  EXPECT_NEAR(j.pt(1, 0).vx, 103.0f, 1e-3);
  EXPECT_NEAR(j.pt(1, 0).vy, 3.0f, 1e-3);
}

TEST(Joints, WholeModelMovesAndTurnsAboutTheCanvasCentre) {
  JointDoc j;
  j.doc.VextX = 10;
  j.doc.VextZ = -2;
  const auto tip = j.pt(0, 0).unitX;
  const float sentinelX = j.doc.lines[1].points[1].vx;
  EXPECT_EQ(MacroMove(j.doc), 0);
  EXPECT_EQ(j.pt(1, 0).vx, 210.0f);
  EXPECT_EQ(j.pt(1, 0).vz, -2.0f);
  EXPECT_EQ(j.pt(0, 0).unitX[0], tip[0] + 10);        // joint lines carry their tips along
  EXPECT_EQ(j.pt(1, 0).unitX[0], 201.0f);             // plain lines do not
  EXPECT_EQ(j.doc.lines[1].points[1].vx, sentinelX);  // sentinels stay

  // Undo the previous movement first, then apply the new one.
  j.doc.edit.prevWhole = {10, 0, -2, 0, 0, 0};
  j.doc.VextX = 4;
  j.doc.VextZ = 0;
  MacroMoveSel(j.doc);
  EXPECT_EQ(j.pt(1, 0).vx, 204.0f);
  EXPECT_EQ(j.pt(1, 0).vz, 0.0f);

  // Rotation about (500, 600, 0), the canvas centre: (600, 700) is (100, 100) from it and
  // turns to (100, -100) about Z. The Sel form undoes the previous angles (in reverse order)
  // before applying the new ones, so going back to 0 returns the point.
  Document d;
  test::addLine(d, {{600, 700}});
  d.RadZ = kQuarter;
  MacroRot(d);
  EXPECT_NEAR(d.lines[0].points[0].vx, 600.0f, 1e-3);
  EXPECT_NEAR(d.lines[0].points[0].vy, 500.0f, 1e-3);
  d.edit.prevWhole = {0, 0, 0, 0, 0, kQuarter};
  d.RadX = 0.2f;
  MacroRotSel(d);
  EXPECT_GT(std::fabs(d.lines[0].points[0].vz), 1.0f);
  d.edit.prevWhole = {0, 0, 0, 0.2f, 0, kQuarter};
  d.RadX = d.RadZ = 0;
  MacroRotSel(d);
  EXPECT_NEAR(d.lines[0].points[0].vx, 600.0f, 1e-3);
  EXPECT_NEAR(d.lines[0].points[0].vy, 700.0f, 1e-3);
  EXPECT_NEAR(d.lines[0].points[0].vz, 0.0f, 1e-3);
}

}  // namespace
}  // namespace tovala
