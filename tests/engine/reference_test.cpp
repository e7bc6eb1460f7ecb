#include "engine/reference.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/joints.h"
#include "engine_fixture.h"

namespace tovala {
namespace {

TEST(Reference, SetAndRestore) {
  Document doc;
  test::addLine(doc, {{10, 20}, {30, 40}});
  test::addLine(doc, {{50, 60}});
  doc.modelScale = 2.0f;
  PointRecord& p = doc.lines[0].points[1];
  p.radx = 1;
  p.vdz = 3;
  EXPECT_EQ(setReference(doc, 0, 0), 1);
  EXPECT_EQ(p.v0x, 30.0f);
  EXPECT_EQ(p.v0y, 40.0f);
  EXPECT_EQ(p.radx, 0.0f);
  EXPECT_EQ(p.vdz, 0.0f);
  EXPECT_EQ(p.unitX, (std::array<float, 3>{32, 40, 0}));
  EXPECT_EQ(p.unitY, (std::array<float, 3>{30, 42, 0}));
  EXPECT_EQ(p.unitZ, (std::array<float, 3>{30, 40, 2}));
  EXPECT_EQ(doc.lines[1].points[0].v0x, 0.0f);  // outside the range

  p.vx = 99;
  p.radz = 0.5f;
  p.unitX = {0, 0, 0};
  EXPECT_EQ(restoreReference(doc, 0, -1, true), 1);
  EXPECT_EQ(p.vx, 30.0f);
  EXPECT_EQ(p.radz, 0.5f);
  EXPECT_EQ(p.unitX, (std::array<float, 3>{32, 40, 0}));
  // Line 1 had no reference: its point goes to the origin.
  EXPECT_EQ(doc.lines[1].points[0].vx, 0.0f);
  restoreReference(doc, 0, 0, false);
  EXPECT_EQ(p.radz, 0.0f);

  const auto before = doc.lines;
  EXPECT_EQ(setReference(doc, 1, 0), -1);
  EXPECT_EQ(setReference(doc, 0, 2), -1);
  EXPECT_EQ(restoreReference(doc, -3, 0, false), -1);
  EXPECT_TRUE(doc.lines == before);
}

TEST(Reference, CheckNeedsAReferencePerLine) {
  Document doc;
  test::addLine(doc, {{10, 20}});
  test::addLine(doc, {{0, 0}, {5, 5}});
  EXPECT_EQ(checkReference(doc, 0, -1), -1);
  setReference(doc, 0, 0);
  EXPECT_EQ(checkReference(doc, 0, 0), 1);
  EXPECT_EQ(checkReference(doc, 0, -1), -1);
  setReference(doc, 1, 1);  // (0, 0) and (5, 5): one non-zero reference suffices
  EXPECT_EQ(checkReference(doc, 0, -1), 1);
  EXPECT_EQ(checkReference(doc, 1, 0), 0);
  EXPECT_EQ(checkReference(doc, 0, 5), 0);
  appendLine(doc);  // a line without real points fails
  EXPECT_EQ(checkReference(doc, 0, -1), -1);
}

TEST(Reference, ModelScaleAboutTheViewOrigin) {
  Document doc;
  test::addLine(doc, {{110, 220}}, 4);
  test::addLine(doc, {{10, 20}});
  setReference(doc, 0, -1);
  doc.edit.viewOrigin = {10, 20, 0};
  EXPECT_EQ(setModelScale(doc, 2.0f), 1);
  EXPECT_EQ(doc.modelScale, 2.0f);
  const PointRecord& j = doc.lines[0].points[0];
  EXPECT_EQ(j.vx, 210.0f);
  EXPECT_EQ(j.vy, 420.0f);
  EXPECT_EQ(j.unitX[0], 212.0f);  // joint tips scale with their points
  EXPECT_EQ(doc.lines[1].points[0].unitX[0], 11.0f);
  EXPECT_EQ(doc.lines[1].points[0].vx, 10.0f);  // the origin itself stays
  EXPECT_EQ(setModelScale(doc, 0.5f), 1);       // factor 0.25
  EXPECT_EQ(j.vx, 60.0f);

  const auto before = doc.lines;
  EXPECT_EQ(setModelScale(doc, 200.0f), -1);
  EXPECT_EQ(setModelScale(doc, 0.001f), -1);
  EXPECT_EQ(setModelScale(doc, std::nanf("")), -1);
  EXPECT_TRUE(doc.lines == before);
  EXPECT_EQ(doc.modelScale, 0.5f);
  EXPECT_EQ(setModelScale(doc, 100.0f), 1);
  EXPECT_EQ(setModelScale(doc, 0.01f), 1);
}

TEST(Reference, OriginAndTranslate) {
  Document doc;
  EXPECT_EQ(moveToOrigin(doc), -1);  // no lines
  test::addLine(doc, {{10, 20}, {30, 40}});
  setReference(doc, 0, -1);
  translateAll(doc, 5, -5, 1);
  EXPECT_EQ(doc.lines[0].points[1].vx, 35.0f);
  EXPECT_EQ(doc.lines[0].points[1].vz, 1.0f);
  EXPECT_EQ(doc.lines[0].points[1].unitX[0], 36.0f);

  doc.VextX = 5;
  doc.modelScale = 2.0f;  // scaled about (0, 0, 0) back to 1 first
  doc.edit.mode = kModeMotion;
  const auto before = doc.lines;
  EXPECT_EQ(moveToOrigin(doc), -1);
  EXPECT_TRUE(doc.lines == before);
  doc.edit.mode = 0;
  EXPECT_EQ(moveToOrigin(doc), 1);
  EXPECT_EQ(doc.modelScale, 1.0f);
  EXPECT_EQ(doc.VextX, 0.0f);
  EXPECT_EQ(doc.lines[0].points[0].vx, 10.0f);
  EXPECT_EQ(doc.lines[0].points[0].vy, 20.0f);
  // The rest of the figure keeps its shape: (35, 35) halved, then moved the same way.
  EXPECT_EQ(doc.lines[0].points[1].vx, 20.0f);
  EXPECT_EQ(doc.lines[0].points[1].vy, 30.0f);
}

TEST(Reference, ResetToReferencePose) {
  Document doc;
  test::addLine(doc, {{10, 20}});
  setReference(doc, 0, -1);
  doc.lines[0].points[0].vx = 70;
  doc.lines[0].points[0].rady = 1;
  doc.RadX = doc.VextY = 3;
  doc.modelScale = 4;
  resetToReferencePose(doc);
  EXPECT_EQ(doc.RadX, 0.0f);
  EXPECT_EQ(doc.VextY, 0.0f);
  EXPECT_EQ(doc.modelScale, 1.0f);
  EXPECT_EQ(doc.lines[0].points[0].vx, 10.0f);
  EXPECT_EQ(doc.lines[0].points[0].rady, 0.0f);
}

// The figure moved and turned as a whole (VextX .. RadZ): a reference set now is the position
// with that movement and rotation taken out, so that the motion preparation (every point on its
// reference, then MacroMove and MacroRot) draws every point where it is now.
TEST(Reference, SetOnAMovedAndTurnedFigureTakesTheWholeMotionOut) {
  Document doc;
  test::addLine(doc, {{310, 220}, {400, 250}}, 4);
  test::addLine(doc, {{120, 480}, {60, 90}, {500, 300}});
  doc.lines[1].points[1].vz = -40;
  doc.VextX = 25, doc.VextY = -12, doc.VextZ = 7;
  doc.RadX = 0.3f, doc.RadY = -0.45f, doc.RadZ = 0.7f;
  const auto seen = doc.lines;
  ASSERT_EQ(setReference(doc, 0, -1), 1);

  restoreReference(doc, 0, -1, true);
  MacroMove(doc);
  MacroRot(doc);
  for (size_t l = 0; l < 2; ++l) {
    for (size_t i = 0; i + 1 < seen[l].points.size(); ++i) {
      const PointRecord& was = seen[l].points[i];
      const PointRecord& is = doc.lines[l].points[i];
      EXPECT_NEAR(is.vx, was.vx, 1e-3) << l << "," << i;
      EXPECT_NEAR(is.vy, was.vy, 1e-3) << l << "," << i;
      EXPECT_NEAR(is.vz, was.vz, 1e-3) << l << "," << i;
    }
    // The sentinel point is not posed: its reference is its position.
    EXPECT_EQ(doc.lines[l].points.back().v0x, seen[l].points.back().vx);
  }
  // The joint's axes are turned with it, one model-scale unit long.
  const PointRecord& j = doc.lines[0].points[0];
  const double ux = j.unitX[0] - j.vx, uy = j.unitX[1] - j.vy, uz = j.unitX[2] - j.vz;
  EXPECT_NEAR(ux * ux + uy * uy + uz * uz, 1.0, 1e-4);
  EXPECT_GT(std::fabs(uy), 0.1);

  // The range form takes the same out of its lines only.
  doc.lines = seen;
  ASSERT_EQ(setReference(doc, 1, 1), 1);
  EXPECT_EQ(doc.lines[0].points[0].v0x, seen[0].points[0].v0x);
  EXPECT_NE(doc.lines[1].points[0].v0x, seen[1].points[0].vx);
}

}  // namespace
}  // namespace tovala
