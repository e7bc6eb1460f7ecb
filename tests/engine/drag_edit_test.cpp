#include "engine/drag_edit.h"

#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace tovala {
namespace {

TEST(DragEdit, LineAndPointDragsCarryTheAxisTips) {
  Document doc;
  test::addLine(doc, {{10, 10}, {20, 30}});
  setReference(doc, 0, -1);
  doc.lines[0].points[1].vz = 5;
  doc.curLine = 0;
  savePressLine(doc, 100, 100);
  doc.edit.subMode = kSubLineDrag;
  dragSelection(doc, 103, 96);
  dragSelection(doc, 107, 102);  // each step starts from the press
  const LineRecord& l = doc.lines[0];
  EXPECT_EQ(l.points[0].vx, 17.0f);
  EXPECT_EQ(l.points[0].vy, 12.0f);
  EXPECT_EQ(l.points[1].vx, 27.0f);
  EXPECT_EQ(l.points[1].vz, 5.0f);
  EXPECT_EQ(l.points[0].unitX[0], 18.0f);
  EXPECT_EQ(l.points[0].unitY[1], 13.0f);
  EXPECT_EQ(l.points[2].vx, 0.0f);  // the sentinel stays

  doc.curPoint = 1;
  doc.edit.subMode = kSubPointDrag;
  dragSelection(doc, 40, 50);
  EXPECT_EQ(l.points[1].vx, 40.0f);
  EXPECT_EQ(l.points[1].vy, 50.0f);
  EXPECT_EQ(l.points[1].vz, 5.0f);
  EXPECT_EQ(l.points[1].unitX[0], 41.0f);
  EXPECT_EQ(l.points[0].vx, 17.0f);
}

TEST(DragEdit, BrushHandlesResizeWithinLimits) {
  Document doc;
  test::addLine(doc, {{100, 100}});
  doc.curLine = 0;
  doc.curPoint = 0;
  PointRecord& p = doc.lines[0].points[0];
  savePressLine(doc, 112, 100);
  doc.edit.subMode = kSubBrushWidth;
  dragSelection(doc, 128, 100);  // (28 - 8) / 4
  EXPECT_EQ(p.pww, 5.0f);
  dragSelection(doc, 72, 100);  // either side
  EXPECT_EQ(p.pww, 5.0f);
  dragSelection(doc, 101, 100);
  EXPECT_EQ(p.pww, 1.0f);
  dragSelection(doc, 900, 100);
  EXPECT_EQ(p.pww, 40.0f);
  EXPECT_EQ(p.pwh, 1.0f);

  doc.edit.subMode = kSubBrushHeight;
  dragSelection(doc, 0, 120);  // (20 - 8) / 4
  EXPECT_EQ(p.pwh, 3.0f);

  // Corners: the width from x, the height in proportion to the press's aspect.
  p.pww = 2;
  p.pwh = 4;
  savePressLine(doc, 0, 0);
  doc.edit.subMode = kSubBrushCornerA;
  dragSelection(doc, 120, 0);  // width 3
  EXPECT_EQ(p.pww, 3.0f);
  EXPECT_EQ(p.pwh, 6.0f);
  dragSelection(doc, 260, 0);  // width 38, height 76 clamped
  EXPECT_EQ(p.pwh, 40.0f);
}

TEST(DragEdit, MoveAllShiftsByTheMouseOffset) {
  Document doc;
  test::addLine(doc, {{10, 10}});
  test::addLine(doc, {{50, 60}, {70, 80}});
  doc.VextX = 5;  // already moved by 5 in x
  pressMoveAll(doc, 200, 200);
  dragMoveAll(doc, 210, 190);
  EXPECT_EQ(doc.VextX, 15.0f);
  EXPECT_EQ(doc.VextY, -10.0f);
  EXPECT_EQ(doc.lines[0].points[0].vx, 20.0f);
  EXPECT_EQ(doc.lines[1].points[1].vy, 70.0f);
  dragMoveAll(doc, 200, 200);
  EXPECT_EQ(doc.lines[0].points[0].vx, 10.0f);
  EXPECT_EQ(doc.lines[1].points[1].vy, 80.0f);
}

TEST(DragEdit, BoundingBox) {
  Document doc;
  test::addLine(doc, {{10, 50}, {30, 20}, {-10, 40}});
  doc.lines[0].points[0].v0y = 7;
  BoundingBox b = boundingBox(doc.lines[0]);
  EXPECT_EQ(b.left, -10.0f);
  EXPECT_EQ(b.right, 30.0f);
  EXPECT_EQ(b.top, 20.0f);
  EXPECT_EQ(b.bottom, 50.0f);
  EXPECT_EQ(b.cx, 10.0f);
  EXPECT_EQ(b.cy, 35.0f);
  EXPECT_EQ(b.width, 40.0f);
  EXPECT_EQ(b.leftPoint, 2);
  EXPECT_EQ(b.bottomPoint, 0);
  b = boundingBox(doc.lines[0], true);
  EXPECT_EQ(b.bottom, 7.0f);
  EXPECT_TRUE(boundingBox(doc.lines[1]).empty());
}

// A square line from (0, 0) to (80, 40) with its centre at (40, 20); handle tolerance 10.
struct DeformDoc {
  Document doc;
  DeformDoc() {
    test::addLine(doc, {{0, 0}, {80, 0}, {80, 40}, {0, 40}, {20, 20}});
    doc.curLine = 0;
  }
  float x(int i) const { return doc.lines[0].points[size_t(i)].vx; }
  float y(int i) const { return doc.lines[0].points[size_t(i)].vy; }
};

TEST(DragEdit, DeformHandlesAndScaling) {
  DeformDoc d;
  pressDeform(d.doc, 2, 3);
  EXPECT_EQ(d.doc.edit.subMode, kSubDeformCorner);
  pressDeform(d.doc, 40, 38);
  EXPECT_EQ(d.doc.edit.subMode, kSubDeformHeight);
  pressDeform(d.doc, 40, 20);  // the middle holds no handle
  EXPECT_EQ(d.doc.edit.subMode, 0);
  d.doc.lines[0].points[1].vx = 80;
  pressDeform(d.doc, 79, 20);
  ASSERT_EQ(d.doc.edit.subMode, kSubDeformWidth);

  // Dragging the right edge from 80 to 100 scales x by |100 - 40| / |0 - 40| = 1.5 about 40.
  dragDeform(d.doc, 100, 0);
  EXPECT_EQ(d.x(0), -20.0f);
  EXPECT_EQ(d.x(1), 100.0f);
  EXPECT_EQ(d.x(4), 10.0f);
  EXPECT_EQ(d.y(2), 40.0f);
  // Each step starts from the press copy; past the centre the ratio stays positive.
  dragDeform(d.doc, -20, 0);
  EXPECT_EQ(d.x(0), -20.0f);
  EXPECT_EQ(d.x(1), 100.0f);
  // On the centre line the line collapses to zero width.
  dragDeform(d.doc, 40, 0);
  EXPECT_EQ(d.x(0), 40.0f);
  EXPECT_EQ(d.x(1), 40.0f);
}

TEST(DragEdit, DeformCornerScalesBothByTheWidthRatio) {
  DeformDoc d;
  pressDeform(d.doc, 79, 39);
  ASSERT_EQ(d.doc.edit.subMode, kSubDeformCorner);
  dragDeform(d.doc, 60, 0);  // ratio |60 - 40| / 40 = 0.5, y ignored
  EXPECT_EQ(d.x(1), 60.0f);
  EXPECT_EQ(d.y(1), 10.0f);
  EXPECT_EQ(d.y(2), 30.0f);

  // A line of zero height is left alone.
  Document flat;
  test::addLine(flat, {{0, 5}, {80, 5}});
  flat.curLine = 0;
  pressDeform(flat, 1, 5);
  flat.edit.subMode = kSubDeformWidth;
  dragDeform(flat, 100, 5);
  EXPECT_EQ(flat.lines[0].points[1].vx, 80.0f);
}

TEST(DragEdit, MoveSelectedPointsByTheLastStep) {
  Document doc;
  test::addLine(doc, {{0, 0}, {10, 10}});
  test::addLine(doc, {{20, 20}});
  doc.lines[0].points[1].sel = 1;
  doc.lines[1].points[0].sel = 1;
  doc.lines[1].points[1].sel = 1;  // sentinel: stays
  const float sentinelX = doc.lines[1].points[1].vx;
  dragMoveSelectedPoints(doc, 105, 97, 100, 100);
  EXPECT_EQ(doc.lines[0].points[0].vx, 0.0f);
  EXPECT_EQ(doc.lines[0].points[1].vx, 15.0f);
  EXPECT_EQ(doc.lines[0].points[1].vy, 7.0f);
  EXPECT_EQ(doc.lines[1].points[0].vx, 25.0f);
  EXPECT_EQ(doc.lines[1].points[1].vx, sentinelX);
}

}  // namespace
}  // namespace tovala
