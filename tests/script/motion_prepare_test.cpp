// The motion preparation: reference positions, the whole-model values and every joint's own
// values applied once, then a still drag that runs the line programs; in-process and through
// tovala-cli pose.

#include <cmath>

#include "engine/edit_modes.h"
#include "engine/param_splice.h"
#include "engine/reference.h"
#include "model/project_file.h"
#include "script/motion_prepare.h"
#include "script_fixture.h"
#include "support/test_support.h"

namespace tovala::script_test {
namespace {

constexpr float kTurn = 0.5f;  // the joint's rotation about its Z axis
constexpr float kShift = 10;   // its movement along x
constexpr float kWhole = 5;    // the whole model's movement along x

class MotionPrepare : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    // A joint at (100, 100) turning the point (200, 100) of its own line; a plain line whose
    // point the joint line's program keeps one unit below that point.
    addLine({{100, 100, 0}, {200, 100, 0}}, 4);
    addLine({{0, 500, 0}});
    PointRecord& joint = pt(0, 0);
    joint.kind = 2000;
    const JointRanges ranges{-100,     100,     -100,     100,     -100,     100,
                             -3.1416f, 3.1416f, -3.1416f, 3.1416f, -3.1416f, 3.1416f};
    replaceKindRange(joint, kJointFirstKey, kJointLastKey, jointRangeEntries(ranges, 1.0f));
    const ParamEntry coRotating = ParamEntry::ofInt(kCoRotationKey, 0, 0 * 65536 + 1);
    replaceKindRange(joint, kCoRotationKey, kCoRotationKey, std::span(&coRotating, 1));
    doc.curLine = 0;
    ScriptEngine e(doc);
    e.setDumpPath("");
    ASSERT_EQ(e.lex("TPRotSel(); TPMoveSel(); L[1]P[0]vy = L[0]P[1]vy + 1;"), 1);

    joint.radz = kTurn;
    joint.vdx = kShift;
    doc.VextX = kWhole;
    // Positions away from the reference: the preparation starts from the reference.
    for (int l = 0; l < 2; ++l) pt(l, 0).vx += 33;
    doc.curLine = 0;
    doc.curPoint = 0;
  }

  // Where the rotated point must end: the joint moved by the whole-model and its own movement,
  // the point moved by the whole-model movement and turned about the joint.
  void expectPosed(const Document& d) {
    const PointRecord& j = d.lines[0].points[0];
    EXPECT_FLOAT_EQ(j.vx, 100 + kWhole + kShift);
    EXPECT_FLOAT_EQ(j.vy, 100);
    const double reach = 200 + kWhole - j.vx;
    const PointRecord& p = d.lines[0].points[1];
    EXPECT_NEAR(p.vx, j.vx + reach * std::cos(kTurn), 1e-3);
    EXPECT_NEAR(p.vy, 100 - reach * std::sin(kTurn), 1e-3);
    // The program ran after the joint's values were applied.
    EXPECT_NEAR(d.lines[1].points[0].vy, p.vy + 1, 1e-3);
    EXPECT_FLOAT_EQ(d.lines[1].points[0].vx, 0 + kWhole);
    // The motion values themselves are kept.
    EXPECT_FLOAT_EQ(j.radz, kTurn);
    EXPECT_FLOAT_EQ(j.vdx, kShift);
  }
};

TEST_F(MotionPrepare, PosesTheFigureByItsMotionValues) {
  prepareMotion(doc);
  expectPosed(doc);
  EXPECT_TRUE(ui.shown.empty());
  // Preparing again lands on the same pose: nothing accumulates.
  prepareMotion(doc);
  expectPosed(doc);
}

// 全て基準 on the posed figure, the whole figure moved and turned: entering motion mode again
// shows the figure as it was, not moved and turned a second time.
TEST_F(MotionPrepare, AReferenceSetOnTheTurnedFigureShowsItWhereItWas) {
  doc.RadZ = 0.4f;
  doc.RadY = -0.3f;
  doc.VextY = -8;
  prepareMotion(doc);
  const auto posed = doc.lines;
  // Left keeping the pose (線を戻さず終了), then every line's reference set.
  doc.edit.mode = kModeSelect;
  ASSERT_EQ(setReference(doc, 0, -1), 1);
  prepareMotion(doc);
  for (size_t l = 0; l < 2; ++l)
    for (size_t i = 0; i + 1 < posed[l].points.size(); ++i) {
      EXPECT_NEAR(doc.lines[l].points[i].vx, posed[l].points[i].vx, 1e-3) << l << "," << i;
      EXPECT_NEAR(doc.lines[l].points[i].vy, posed[l].points[i].vy, 1e-3) << l << "," << i;
      EXPECT_NEAR(doc.lines[l].points[i].vz, posed[l].points[i].vz, 1e-3) << l << "," << i;
    }
  // The whole-figure values stay; the joint's own values went into the reference.
  EXPECT_FLOAT_EQ(doc.RadZ, 0.4f);
  EXPECT_FLOAT_EQ(pt(0, 0).radz, 0);
}

TEST_F(MotionPrepare, TheStillDragKeepsTheSelectionUnlessAJointSitsAtTheOrigin) {
  doc.curLine = 1;
  doc.curPoint = 0;
  prepareMotion(doc);
  EXPECT_EQ(doc.curLine, 1);
  EXPECT_EQ(doc.curPoint, 0);
  // A joint at the canvas origin is what the press at (0, 0) picks.
  pt(0, 0).v0x = 2;
  pt(0, 0).v0y = 3;
  doc.VextX = 0;
  pt(0, 0).vdx = 0;
  prepareMotion(doc);
  EXPECT_EQ(doc.curLine, 0);
  EXPECT_EQ(doc.curPoint, 0);
}

TEST_F(MotionPrepare, CliPoseWritesThePreparedFigure) {
  test::TempDir dir;
  ASSERT_TRUE(saveProject(doc, dir.file("in.tov"), true));
  const auto r =
      test::runCli({"pose", dir.file("in.tov"), "-o", dir.file("out.tov")}, dir.path().string());
  ASSERT_EQ(r.status, 0) << r.err;
  Document posed;
  posed.ui = &ui;
  ASSERT_TRUE(loadProject(posed, dir.file("out.tov"), true));
  // The file keeps no selection; the joint's kind 2000 runs only its own line's program either
  // way, and the pose does not depend on it.
  expectPosed(posed);

  EXPECT_EQ(test::runCli({"pose", dir.file("in.tov")}, dir.path().string()).status, 2);
  const auto missing =
      test::runCli({"pose", dir.file("none.tov"), "-o", dir.file("x.tov")}, dir.path().string());
  EXPECT_EQ(missing.status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.tov")));
}

}  // namespace
}  // namespace tovala::script_test
