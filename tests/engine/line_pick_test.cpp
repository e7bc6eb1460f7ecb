#include <gtest/gtest.h>

#include "engine/drag_edit.h"
#include "engine/edit_press.h"
#include "engine/picking.h"
#include "engine_fixture.h"
#include "render/stroke.h"

namespace tovala {
namespace {

// Line 0 runs across from (100, 100) to (200, 100), line 1 down from (150, 50) to (150, 150);
// both have their range fields measured.
struct CrossDoc {
  Document doc;
  CrossDoc() {
    test::addLine(doc, {{100, 100}, {200, 100}});
    test::addLine(doc, {{150, 50}, {150, 150}});
    measure();
    doc.curLine = 1;
    doc.curPoint = 0;
  }
  void measure() {
    for (int i = 0; i < doc.lineCount() - 1; ++i)
      drawStroke(doc, i, kScratchImage, 0, kStrokeMeasure, -1);
  }
};

TEST(LinePick, FirstLineWhoseStrokeCoversThePixel) {
  CrossDoc c;
  EXPECT_EQ(pickLine(c.doc, 130, 100), 0);
  EXPECT_EQ(c.doc.curLine, 0);
  EXPECT_EQ(c.doc.edit.subMode, kSubLineDrag);
  EXPECT_EQ(pickLine(c.doc, 150, 60), 1);
  // Where both strokes cover the pixel the lower index wins (line 1 is selected, but its
  // points are far away).
  EXPECT_EQ(pickLine(c.doc, 150, 100), 0);
  // The press positions are saved for the line drag that follows.
  ASSERT_EQ(c.doc.edit.pressPositions.size(), 3u);
  EXPECT_EQ(c.doc.edit.pressPositions[1].x, 200.0f);
}

TEST(LinePick, WorksAfterTheScratchImageWasLeftSmall) {
  // Drawing a fill leaves the scratch slot the size of that fill's box.
  CrossDoc c;
  c.doc.workImages.makeBlank(kScratchImage, 20, 20, 0xFFFFFF);
  EXPECT_EQ(pickLine(c.doc, 130, 100), 0);
  EXPECT_EQ(pickLine(c.doc, 150, 60), 1);
}

TEST(LinePick, BrushIsWidenedAndTheLineKeepsItsStyle) {
  CrossDoc c;
  const LineRecord before = c.doc.lines[0];
  // A 2x2 brush covers rows 99 and 100; widened to 4x4 it reaches row 101 but not 103.
  EXPECT_EQ(pickLine(c.doc, 130, 101), 0);
  c.doc.curLine = 1;
  EXPECT_EQ(pickLine(c.doc, 130, 103), -1);
  EXPECT_EQ(c.doc.curLine, 1);  // a miss selects nothing
  EXPECT_EQ(c.doc.lines[0], before);
}

TEST(LinePick, RangeRectangleLimitsTheSearch) {
  CrossDoc c;
  c.doc.lines[0].rectw = 130;  // the right bound is excluded
  EXPECT_EQ(pickLine(c.doc, 130, 100), -1);
  EXPECT_EQ(pickLine(c.doc, 129, 100), 0);
  // Ignored lines draw nothing and are never found by their stroke.
  c.measure();
  c.doc.lines[0].sel = 0;
  EXPECT_EQ(pickLine(c.doc, 130, 100), -1);
}

TEST(LinePick, PointsAndHandlesOfTheSelection) {
  CrossDoc c;
  // A point of the selected line under the mouse wins over every stroke.
  EXPECT_EQ(pickLine(c.doc, 148, 148), 1);
  EXPECT_EQ(c.doc.curPoint, 1);
  EXPECT_EQ(c.doc.edit.subMode, kSubPointDrag);
  // Hitting a line on one of its points selects that point as well.
  EXPECT_EQ(pickLine(c.doc, 197, 101), 0);
  EXPECT_EQ(c.doc.curPoint, 1);
  EXPECT_EQ(c.doc.edit.subMode, kSubPointDrag);

  // A single-point line is found by its point, measured or not.
  test::addLine(c.doc, {{300, 300}});
  EXPECT_EQ(pickLine(c.doc, 303, 296), 2);

  // The brush box of point 0 of line 0 reaches x = 112: a handle on a line whose thickness
  // varies per point, a plain line drag otherwise.
  c.doc.curLine = 0;
  c.doc.curPoint = 0;
  EXPECT_EQ(pickLine(c.doc, 112, 100), 0);
  EXPECT_EQ(c.doc.edit.subMode, kSubLineDrag);
  c.doc.lines[0].lmode = 1;
  c.measure();
  EXPECT_EQ(pickLine(c.doc, 112, 100), 0);
  EXPECT_EQ(c.doc.edit.subMode, kSubBrushWidth);
}

TEST(EditPress, ModesDispatchPressAndDrag) {
  Document doc;
  doc.edit.mode = kModeAddLine;
  EXPECT_EQ(enginePress(doc, 10, 20), 0);
  EXPECT_EQ(doc.edit.mode, kModeAddPoint);
  EXPECT_EQ(enginePress(doc, 30, 40), 0);
  ASSERT_EQ(doc.lines[0].pointCount(), 3);
  EXPECT_EQ(doc.lines[0].points[0].vx, 10.0f);
  EXPECT_EQ(doc.lines[0].points[1].vy, 40.0f);
  EXPECT_EQ(doc.curPoint, 1);

  doc.edit.mode = kModeSelect;
  drawStroke(doc, 0, kScratchImage, 0, kStrokeMeasure, -1);
  EXPECT_EQ(enginePress(doc, 500, 500), -1);
  EXPECT_EQ(enginePress(doc, 11, 21), 0);  // on point 0
  engineDrag(doc, 15, 25, 11, 21);
  EXPECT_EQ(doc.lines[0].points[0].vx, 15.0f);

  doc.edit.mode = kModeMovePoints;
  doc.lines[0].points[1].sel = 1;
  EXPECT_EQ(enginePress(doc, 0, 0), -1);
  engineDrag(doc, 3, 0, 1, 0);
  EXPECT_EQ(doc.lines[0].points[1].vx, 32.0f);
  EXPECT_EQ(doc.lines[0].points[0].vx, 15.0f);

  // With no valid line to add to, point-add mode refuses.
  doc.edit.mode = kModeAddPoint;
  doc.curLine = 4;
  EXPECT_EQ(enginePress(doc, 0, 0), -1);
  EXPECT_EQ(doc.lines[0].pointCount(), 3);
}

}  // namespace
}  // namespace tovala
