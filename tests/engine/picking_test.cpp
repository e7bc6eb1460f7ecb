#include "engine/picking.h"

#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace tovala {
namespace {

TEST(Picking, MarkSquareIsInclusiveAndNearestPointWins) {
  Document doc;
  test::addLine(doc, {{100, 100}, {103, 100}, {200, 200}});
  ASSERT_EQ(doc.markSize, 4);
  // Exactly mark-size pixels away in x and in y is still a hit; one more is not.
  EXPECT_EQ(pickPointOfLine(doc, 100, 104, 0), 0);
  EXPECT_EQ(pickPointOfLine(doc, 104, 104, 0), 1);  // in both squares, nearer point 1
  EXPECT_EQ(pickPointOfLine(doc, 96, 96, 0), 0);
  EXPECT_EQ(pickPointOfLine(doc, 107, 100, 0), 1);  // beyond point 0, within point 1
  EXPECT_EQ(pickPointOfLine(doc, 108, 100, 0), -1);
  EXPECT_EQ(pickPointOfLine(doc, 100, 105, 0), -1);
  // Both squares cover x = 101: point 0 is nearer.
  EXPECT_EQ(pickPointOfLine(doc, 101, 100, 0), 0);
  // -1 is the selected line; invalid lines have nothing.
  doc.curLine = 0;
  EXPECT_EQ(pickPointOfLine(doc, 200, 200), 2);
  EXPECT_EQ(pickPointOfLine(doc, 200, 200, 1), -1);
  EXPECT_EQ(pickPointOfLine(doc, 200, 200, 5), -1);
}

// On a screen the reach is six window pixels at any zoom (never less than the mark size), and
// of several points in reach the nearest wins, equal distances going to the first.
TEST(Picking, NearestWithinSixScreenPixelsAtAnyZoom) {
  Document doc;
  test::addLine(doc, {{100, 100}, {110, 100}});
  // Not shown anywhere: the mark size alone.
  EXPECT_EQ(pickPointOfLine(doc, 105, 100, 0), -1);
  doc.edit.viewZoom = 1.0f;
  EXPECT_EQ(pickReach(doc), 6);
  EXPECT_EQ(pickPointOfLine(doc, 105, 100, 0), 0);  // 5 from each: the first
  EXPECT_EQ(pickPointOfLine(doc, 106, 100, 0), 1);  // 6 from point 0, 4 from point 1
  EXPECT_EQ(pickPointOfLine(doc, 100, 106, 0), 0);
  EXPECT_EQ(pickPointOfLine(doc, 100, 107, 0), -1);
  doc.edit.viewZoom = 0.25f;  // six window pixels are 24 canvas pixels
  EXPECT_EQ(pickReach(doc), 24);
  EXPECT_EQ(pickPointOfLine(doc, 100, 124, 0), 0);
  EXPECT_EQ(pickPointOfLine(doc, 100, 125, 0), -1);
  EXPECT_EQ(pickPointOfLine(doc, 108, 90, 0), 1);
  doc.edit.viewZoom = 8.0f;  // under one canvas pixel: the mark size still holds
  EXPECT_EQ(pickReach(doc), 4);
  EXPECT_EQ(pickPointOfLine(doc, 104, 100, 0), 0);
  EXPECT_EQ(pickPointOfLine(doc, 105, 100, 0), -1);

  // Across lines too: a later line's nearer point beats an earlier line's.
  test::addLine(doc, {{103, 100}});
  doc.edit.viewZoom = 1.0f;
  PointPick p = pickAnyPoint(doc, 102, 100, kPickAnyPoint);
  EXPECT_EQ(p.line, 1);
  EXPECT_EQ(p.point, 0);
  p = pickAnyPoint(doc, 101, 100, kPickAnyPoint);
  EXPECT_EQ(p.line, 0);
  EXPECT_EQ(p.point, 0);
}

TEST(Picking, ShownPositionsAreTruncatedAndPlacedByTheLine) {
  Document doc;
  test::addLine(doc, {{10.9f, 20.9f}});
  EXPECT_EQ(pickPointOfLine(doc, 14, 24, 0), 0);  // 10.9 counts as 10
  EXPECT_EQ(pickPointOfLine(doc, 15, 24, 0), -1);
  LineRecord& l = doc.lines[0];
  l.vx = 100;
  l.w = 2;  // shown at 100 + 2 * 10.9 = 121.8 -> 121
  EXPECT_EQ(pickPointOfLine(doc, 125, 24, 0), 0);
  EXPECT_EQ(pickPointOfLine(doc, 126, 24, 0), -1);
}

TEST(Picking, TemporaryModeFiltersLines) {
  Document doc;
  test::addLine(doc, {{0, 0}}, 4);
  test::addLine(doc, {{0, 0}});
  doc.lines[1].mode = 100;
  doc.edit.pickFilter = 1;
  // No temporary mode: the filter is not consulted.
  EXPECT_EQ(pickPointOfLine(doc, 0, 0, 1), 0);
  doc.edit.tempMode = 12;
  EXPECT_EQ(pickPointOfLine(doc, 0, 0, 0), 0);
  EXPECT_EQ(pickPointOfLine(doc, 0, 0, 1), -1);
  doc.edit.pickFilter = 2;
  EXPECT_EQ(pickPointOfLine(doc, 0, 0, 0), -1);
  EXPECT_EQ(pickPointOfLine(doc, 0, 0, 1), 0);
  doc.edit.pickFilter = 6;
  doc.curLine = 1;
  EXPECT_EQ(pickPointOfLine(doc, 0, 0, 0), -1);
  EXPECT_EQ(pickPointOfLine(doc, 0, 0, 1), 0);
  doc.lines[0].category = 12;
  doc.edit.pickFilter = 5;
  EXPECT_EQ(pickPointOfLine(doc, 0, 0, 0), 0);
  doc.edit.pickFilter = 9;  // unknown filters accept all
  EXPECT_EQ(pickPointOfLine(doc, 0, 0, 1), 0);
}

TEST(Picking, AnyPointByPickType) {
  Document doc;
  test::addLine(doc, {{50, 50}, {60, 50}});
  test::addLine(doc, {{50, 50}, {60, 50}}, 4);
  setReference(doc, 0, -1);
  doc.lines[1].points[1].sel = 1;

  PointPick p = pickAnyPoint(doc, 61, 50, kPickAnyPoint);
  EXPECT_EQ(p.line, 0);
  EXPECT_EQ(p.point, 1);
  EXPECT_EQ(p.axis, 0);
  p = pickAnyPoint(doc, 61, 50, kPickSelectedPoints);
  EXPECT_EQ(p.line, 1);
  EXPECT_EQ(p.point, 1);
  p = pickAnyPoint(doc, 50, 50, kPickLineKind, 4);
  EXPECT_EQ(p.line, 1);
  EXPECT_EQ(p.point, 0);
  p = pickAnyPoint(doc, 50, 50, 7);  // types above 4 take any point
  EXPECT_EQ(p.line, 0);
  EXPECT_FALSE(pickAnyPoint(doc, 500, 500, kPickAnyPoint).found());
  EXPECT_EQ(pickAnyPoint(doc, 500, 500, kPickAnyPoint).axis, -1);

  // Axis tips lie 20 unit lengths along each axis from the point (x and y only): the X tip of
  // the joint point at (50, 50) is at (70, 50), its Y tip at (50, 70); Z has no x, y offset.
  p = pickAnyPoint(doc, 70, 50, kPickJointAxes);
  EXPECT_EQ(p.line, 1);
  EXPECT_EQ(p.point, 0);
  EXPECT_EQ(p.axis, 1);
  p = pickAnyPoint(doc, 52, 71, kPickJointAxes);
  EXPECT_EQ(p.axis, 2);
  p = pickAnyPoint(doc, 50, 50, kPickJointAxes);
  EXPECT_EQ(p.point, 0);
  EXPECT_EQ(p.axis, 3);
  p = pickAnyPoint(doc, 80, 50, kPickJointAxes);  // point 1's X tip
  EXPECT_EQ(p.point, 1);
  EXPECT_EQ(p.axis, 1);
  // Ignored joint lines have no axes to pick.
  doc.lines[1].sel = 0;
  EXPECT_FALSE(pickAnyPoint(doc, 70, 50, kPickJointAxes).found());
}

TEST(Picking, BrushHandlesAroundTheSelectedPoint) {
  Document doc;
  test::addLine(doc, {{100, 100}});
  doc.curLine = 0;
  doc.curPoint = 0;
  // m = 4, pww = pwh = 1: the box reaches 2 (4 + 2) = 12 each way.
  EXPECT_EQ(brushHandleAt(doc, 112, 100), 104);
  EXPECT_EQ(brushHandleAt(doc, 84, 103), 104);
  EXPECT_EQ(brushHandleAt(doc, 100, 116), 105);
  EXPECT_EQ(brushHandleAt(doc, 88, 88), 106);
  EXPECT_EQ(brushHandleAt(doc, 112, 112), 106);
  EXPECT_EQ(brushHandleAt(doc, 112, 88), 107);
  EXPECT_EQ(brushHandleAt(doc, 88, 112), 107);
  EXPECT_EQ(brushHandleAt(doc, 100, 100), 0);
  EXPECT_EQ(brushHandleAt(doc, 117, 100), 0);
  doc.lines[0].points[0].pww = 3;  // 2 (4 + 6) = 20
  EXPECT_EQ(brushHandleAt(doc, 120, 100), 104);
  doc.curPoint = 1;
  EXPECT_EQ(brushHandleAt(doc, 120, 100), 0);
}

}  // namespace
}  // namespace tovala
