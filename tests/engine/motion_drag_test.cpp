#include "engine/motion_drag.h"

#include <gtest/gtest.h>

#include "engine/motion_run.h"
#include "engine_fixture.h"

namespace tovala {
namespace {

struct RunLog {
  static inline int calls = 0;
  static inline int line = -9, point = -9;
  static void record(Document&, int l, int p) {
    ++calls;
    line = l;
    point = p;
  }
};

// Installs the recording runner for one test and removes it afterwards.
struct MotionDoc : ::testing::Test {
  Document doc;
  void SetUp() override {
    RunLog::calls = 0;
    setLineProgramRunner(&RunLog::record);
    test::addLine(doc, {{100, 100}, {102, 102}}, 4);
    test::addLine(doc, {{102, 100}});
    doc.lines[0].points[0].kind = 2000;
    doc.lines[0].points[1].kind = 1000;
    doc.lines[1].points[0].kind = 2000;
    doc.edit.mode = 5;
  }
  void TearDown() override { setLineProgramRunner(nullptr); }
  PointRecord& pt(int l, int p) { return doc.lines[size_t(l)].points[size_t(p)]; }
};

TEST_F(MotionDoc, PressPicksTheLastJointPointUnderTheMouse) {
  motionPress(doc, 101, 101);
  EXPECT_EQ(doc.curLine, 1);
  EXPECT_EQ(doc.curPoint, 0);
  pt(1, 0).kind = 0;  // plain points are not picked
  motionPress(doc, 101, 101);
  EXPECT_EQ(doc.curLine, 0);
  EXPECT_EQ(doc.curPoint, 1);
  doc.curLine = 1;
  doc.curPoint = 0;
  motionPress(doc, 400, 400);  // nothing there: the selection stays
  EXPECT_EQ(doc.curLine, 1);
  EXPECT_EQ(doc.curPoint, 0);
}

// The nearest joint point wins over the last one, and on a screen the reach is six window
// pixels whatever the zoom.
TEST_F(MotionDoc, PressTakesTheNearestJointPoint) {
  motionPress(doc, 101, 102);  // (102, 102) is nearest; (102, 100) comes later
  EXPECT_EQ(doc.curLine, 0);
  EXPECT_EQ(doc.curPoint, 1);
  doc.curLine = -1;
  motionPress(doc, 102, 109);  // 7 from the nearest point: too far for the mark size
  EXPECT_EQ(doc.curLine, -1);
  doc.edit.viewZoom = 0.5f;  // twelve canvas pixels
  motionPress(doc, 102, 109);
  EXPECT_EQ(doc.curLine, 0);
  EXPECT_EQ(doc.curPoint, 1);
}

TEST_F(MotionDoc, WholeToolsStartFromThePressValues) {
  doc.VextX = 7;
  doc.RadY = 0.5f;
  motionPress(doc, 0, 0);
  doc.edit.subMode = kToolWholeMove;
  motionDrag(doc, 10, 20);
  EXPECT_EQ(doc.VextX, 17.0f);
  EXPECT_EQ(doc.VextY, 20.0f);
  EXPECT_EQ(doc.edit.prevWhole[0], 7.0f);
  motionDrag(doc, 12, 20);
  EXPECT_EQ(doc.VextX, 19.0f);
  EXPECT_EQ(doc.edit.prevWhole[0], 17.0f);  // the step before
  doc.edit.dragAxis = kDepthDragAxis;
  motionDrag(doc, 50, -4);
  EXPECT_EQ(doc.VextZ, -4.0f);
  EXPECT_EQ(doc.VextX, 19.0f);
  EXPECT_EQ(RunLog::calls, 3);

  doc.edit.dragAxis = 0;
  doc.edit.subMode = kToolWholeRotate;
  motionDrag(doc, 30, 400);  // 400 down: 4 radians, clamped
  EXPECT_EQ(doc.RadX, 3.1416f);
  EXPECT_FLOAT_EQ(doc.RadY, 0.5f - 0.3f);
  doc.edit.dragAxis = kDepthDragAxis;
  motionDrag(doc, 0, -50);
  EXPECT_FLOAT_EQ(doc.RadZ, -0.5f);
}

TEST_F(MotionDoc, PointToolsChangeOnlyJointPoints) {
  pt(0, 1).kind = 0;
  pt(1, 0).kind = 0;
  pt(0, 0).vdx = 3;
  pt(0, 0).radz = 0.25f;
  motionPress(doc, 100, 100);
  ASSERT_EQ(doc.curPoint, 0);
  ASSERT_EQ(doc.curLine, 0);
  EXPECT_EQ(doc.edit.prevMotion.vdx, 3.0f);
  doc.edit.subMode = kToolPointMove;
  motionDrag(doc, 110, 95);
  EXPECT_EQ(pt(0, 0).vdx, 13.0f);
  EXPECT_EQ(pt(0, 0).vdy, -5.0f);
  EXPECT_EQ(pt(0, 0).vx, 100.0f);  // positions are the programs' business
  EXPECT_EQ(RunLog::line, 0);
  EXPECT_EQ(RunLog::point, 0);
  motionDrag(doc, 120, 95);
  EXPECT_EQ(pt(0, 0).vdx, 23.0f);
  EXPECT_EQ(doc.edit.prevMotion.vdx, 13.0f);

  doc.edit.subMode = kToolPointRotate;
  doc.edit.dragAxis = kDepthDragAxis;
  motionDrag(doc, 0, 150);  // 50 down
  EXPECT_FLOAT_EQ(pt(0, 0).radz, 0.75f);

  // A plain point is never changed by the point tools, though the motion still runs.
  pt(0, 0).kind = 0;
  const PointRecord before = pt(0, 0);
  doc.edit.dragAxis = 0;
  motionDrag(doc, 300, 300);
  doc.edit.subMode = kToolPointMove;
  motionDrag(doc, 300, 300);
  EXPECT_EQ(pt(0, 0), before);
  EXPECT_EQ(RunLog::calls, 5);
}

TEST_F(MotionDoc, NoRunnerMeansNoRun) {
  setLineProgramRunner(nullptr);
  motionPress(doc, 100, 100);
  doc.edit.subMode = kToolWholeMove;
  motionDrag(doc, 110, 100);
  EXPECT_EQ(RunLog::calls, 0);
  EXPECT_EQ(doc.VextX, 10.0f);
}

TEST(ToggleSelection, StrictRectangleAndLineFilters) {
  Document doc;
  test::addLine(doc, {{10, 10}, {20, 20}, {30, 30}}, 4);
  test::addLine(doc, {{15, 15}});
  doc.lines[0].points[1].sel = 1;
  doc.lines[0].points[3].vx = doc.lines[0].points[3].vy = 25;  // the sentinel
  // Bounds are excluded: x = 10 and x = 30 are outside 10 < x < 30.
  toggleSelectionInRect(doc, 10, 10, 30, 30, -1, 4);
  EXPECT_EQ(doc.lines[0].points[0].sel, 0);
  EXPECT_EQ(doc.lines[0].points[1].sel, 0);  // flipped off
  EXPECT_EQ(doc.lines[0].points[2].sel, 0);
  EXPECT_EQ(doc.lines[1].points[0].sel, 0);                       // not a joint line
  EXPECT_EQ(toggleSelectionInRect(doc, 0, 0, 40, 40, -1, 4), 4);  // the sentinel too
  EXPECT_EQ(doc.lines[0].points[1].sel, 1);
  EXPECT_EQ(doc.lines[0].points[0].sel, 1);
  // Any kind with -100; a value >= 0 is set rather than flipped.
  toggleSelectionInRect(doc, 0, 0, 40, 40, 0, -100);
  EXPECT_EQ(doc.lines[0].points[0].sel, 0);
  EXPECT_EQ(doc.lines[1].points[0].sel, 0);
  toggleSelectionInRect(doc, 0, 0, 40, 40, 1, -100);
  EXPECT_EQ(doc.lines[1].points[0].sel, 1);
  // A rectangle dragged up and left holds nothing; ignored lines take no part.
  EXPECT_EQ(toggleSelectionInRect(doc, 40, 40, 0, 0, 0, -100), 0);
  doc.lines[1].sel = 0;
  toggleSelectionInRect(doc, 0, 0, 40, 40, 0, -100);
  EXPECT_EQ(doc.lines[1].points[0].sel, 1);
}

}  // namespace
}  // namespace tovala
