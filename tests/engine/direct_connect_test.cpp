#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/direct_connect.h"
#include "model/document.h"

namespace tovala {
namespace {

struct XY {
  float x, y;
};

// Appends a line (number `nam`) through the given points; returns its index.
int addLine(Document& doc, int nam, const std::vector<XY>& pts) {
  LineRecord l = doc.makeDefaultLine();
  l.nam = nam;
  l.points.clear();
  for (const XY& p : pts) {
    PointRecord r = Document::makeDefaultPoint();
    r.mode = 0;
    r.vx = p.x;
    r.vy = p.y;
    l.points.push_back(r);
  }
  l.points.push_back(Document::makeDefaultPoint());
  doc.lines.insert(doc.lines.end() - 1, l);
  const int index = doc.lineCount() - 2;
  doc.lineOrder.push_back(doc.lineCount() - 1);
  for (size_t i = 0; i < doc.lineOrder.size(); ++i) doc.lineOrder[i] = int32_t(i);
  return index;
}

const PointRecord& pt(const Document& doc, int line, int point) {
  return doc.lines[size_t(line)].points[size_t(point)];
}

// An arm bent 90 degrees at the elbow (100, 100): the upper arm comes down from (100, 0), the
// forearm leaves to the right towards (200, 100); outlines 10 to each side.
struct BentArm {
  Document doc;
  int bone, upperOuter, upperInner, foreOuter, foreInner;
  BentArm() {
    bone = addLine(doc, 1, {{100, 0}, {100, 100}, {200, 100}});
    upperOuter = addLine(doc, 2, {{90, 0}, {90, 50}, {90, 100}});
    upperInner = addLine(doc, 3, {{110, 0}, {110, 50}, {110, 100}});
    foreOuter = addLine(doc, 4, {{100, 110}, {150, 110}, {200, 110}});
    foreInner = addLine(doc, 5, {{100, 90}, {150, 90}, {200, 90}});
  }
  int join(int line, int point) {
    const PointRef refs[] = {{line, point}, {bone, 1}, {bone, 0}, {bone, 2}};
    return connectDirect4(doc, refs, 0);
  }
};

TEST(DirectConnect, JoinsBothSidesOfABentJointAtTheSamePoints) {
  BentArm arm;
  ASSERT_EQ(arm.join(arm.upperOuter, 2), 1);
  ASSERT_EQ(arm.join(arm.foreOuter, 0), 1);
  ASSERT_EQ(arm.join(arm.upperInner, 2), 1);
  ASSERT_EQ(arm.join(arm.foreInner, 0), 1);
  // Outer side: on the bisector, still 10 from the elbow.
  const float o = 100 - 10 / std::sqrt(2.0f);
  EXPECT_NEAR(pt(arm.doc, arm.upperOuter, 2).vx, o, 1e-3);
  EXPECT_NEAR(pt(arm.doc, arm.upperOuter, 2).vy, 200 - o, 1e-3);
  EXPECT_NEAR(pt(arm.doc, arm.foreOuter, 0).vx, pt(arm.doc, arm.upperOuter, 2).vx, 1e-3);
  EXPECT_NEAR(pt(arm.doc, arm.foreOuter, 0).vy, pt(arm.doc, arm.upperOuter, 2).vy, 1e-3);
  // Inner side: where the two inner outlines cross.
  EXPECT_NEAR(pt(arm.doc, arm.upperInner, 2).vx, 110, 1e-3);
  EXPECT_NEAR(pt(arm.doc, arm.upperInner, 2).vy, 90, 1e-3);
  EXPECT_NEAR(pt(arm.doc, arm.foreInner, 0).vx, 110, 1e-3);
  EXPECT_NEAR(pt(arm.doc, arm.foreInner, 0).vy, 90, 1e-3);
  // The far ends of the pieces stay; the middle follows a quarter of the way (reach 2).
  EXPECT_FLOAT_EQ(pt(arm.doc, arm.upperInner, 0).vy, 0);
  EXPECT_NEAR(pt(arm.doc, arm.upperInner, 1).vy, 50 + (90 - 100) * 0.25, 1e-3);
}

TEST(DirectConnect, JoinOrderDoesNotMatterAndStraightLimbsStay) {
  BentArm a, b;
  a.join(a.upperOuter, 2);
  a.join(a.foreOuter, 0);
  b.join(b.foreOuter, 0);
  b.join(b.upperOuter, 2);
  EXPECT_EQ(pt(a.doc, a.upperOuter, 2), pt(b.doc, b.upperOuter, 2));
  EXPECT_EQ(pt(a.doc, a.foreOuter, 0), pt(b.doc, b.foreOuter, 0));

  Document doc;
  const int bone = addLine(doc, 1, {{0, 0}, {0, 100}, {0, 200}});
  const int side = addLine(doc, 2, {{10, 0}, {10, 100}});
  const LineRecord before = doc.lines[size_t(side)];
  const PointRef refs[] = {{side, 1}, {bone, 1}, {bone, 0}, {bone, 2}};
  EXPECT_EQ(connectDirect4(doc, refs, 0), 1);
  EXPECT_EQ(doc.lines[size_t(side)], before);
}

TEST(DirectConnect, RefusesReferencesThatDoNotExist) {
  BentArm arm;
  const Document before = arm.doc;
  const PointRef badPoint[] = {{arm.upperOuter, 2}, {arm.bone, 3}, {arm.bone, 0}, {arm.bone, 2}};
  EXPECT_EQ(connectDirect4(arm.doc, badPoint, 0), -1);
  const PointRef badLine[] = {{99, 0}, {arm.bone, 1}, {arm.bone, 0}, {arm.bone, 2}};
  EXPECT_EQ(connectDirectF(arm.doc, badLine, 0), -1);
  const PointRef tooFew[] = {{arm.upperOuter, 0}, {arm.bone, 1}};
  EXPECT_EQ(connectDirect8(arm.doc, tooFew, 0), -1);
  EXPECT_EQ(arm.doc.lines, before.lines);
}

TEST(DirectConnect, RebuildsALineAlongItsAnchors) {
  Document doc;
  const int target = addLine(doc, 7, {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}});
  const int anchors = addLine(doc, 8, {{0, 0}, {100, 0}, {100, 100}});
  // Straight segments through (0,0), (100,0), (100,100); repeats of the last anchor are left out.
  std::vector<PointRef> refs = {{target, 0}, {anchors, 0}, {anchors, 1}};
  refs.resize(10, PointRef{anchors, 2});
  ASSERT_EQ(connectDirect8L(doc, refs, 0), 1);
  const float expect[5][2] = {{0, 0}, {50, 0}, {100, 0}, {100, 50}, {100, 100}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_NEAR(pt(doc, target, i).vx, expect[i][0], 1e-3) << i;
    EXPECT_NEAR(pt(doc, target, i).vy, expect[i][1], 1e-3) << i;
  }
  // The smooth form passes through both ends and bows outside the corner's chord.
  ASSERT_EQ(connectDirect8(doc, refs, 0), 1);
  EXPECT_NEAR(pt(doc, target, 0).vx, 0, 1e-3);
  EXPECT_NEAR(pt(doc, target, 4).vy, 100, 1e-3);
  EXPECT_GT(pt(doc, target, 2).vx - pt(doc, target, 2).vy, 50);
  // Starting at point 3 leaves points 0..2 where they were.
  const PointRecord kept = pt(doc, target, 2);
  refs[0].point = 3;
  ASSERT_EQ(connectDirect8L(doc, refs, 0), 1);
  EXPECT_EQ(pt(doc, target, 2), kept);
  EXPECT_NEAR(pt(doc, target, 3).vx, 0, 1e-3);
  EXPECT_NEAR(pt(doc, target, 4).vy, 100, 1e-3);
}

TEST(DirectConnect, RoundsACorner) {
  Document doc;
  const int target = addLine(doc, 7, {{0, 0}, {0, 0}, {0, 0}});
  const int anchors = addLine(doc, 8, {{0, 100}, {0, 0}, {100, 0}});
  const PointRef refs[] = {{target, 0}, {anchors, 0}, {anchors, 1}, {anchors, 2}};
  ASSERT_EQ(connectDirectF(doc, refs, 0), 1);
  EXPECT_NEAR(pt(doc, target, 0).vy, 100, 1e-3);
  EXPECT_NEAR(pt(doc, target, 2).vx, 100, 1e-3);
  // By symmetry the middle point is the curve's middle: a quarter of each end, half the corner.
  EXPECT_NEAR(pt(doc, target, 1).vx, 25, 0.5);
  EXPECT_NEAR(pt(doc, target, 1).vy, 25, 0.5);
  // Through the corner: the middle point is the corner itself.
  ASSERT_EQ(connectDirectF(doc, refs, 1), 1);
  EXPECT_NEAR(pt(doc, target, 1).vx, 0, 0.5);
  EXPECT_NEAR(pt(doc, target, 1).vy, 0, 0.5);
  // Half the pull: halfway between the chord's middle and the plain curve's.
  ASSERT_EQ(connectDirectF(doc, refs, 2), 1);
  EXPECT_NEAR(pt(doc, target, 1).vx, 37.5, 0.5);
  // Straight legs: the middle point by length is the corner.
  ASSERT_EQ(connectDirectF(doc, refs, 3), 1);
  EXPECT_NEAR(pt(doc, target, 1).vx, 0, 1e-3);
  EXPECT_NEAR(pt(doc, target, 1).vy, 0, 1e-3);
}

TEST(DirectConnect, LineNumbersResolveThroughTheLineOrder) {
  Document doc;
  addLine(doc, 300, {{0, 0}});
  addLine(doc, 264, {{0, 0}});
  PointRef refs[] = {{264, 0}, {300, 0}};
  ASSERT_TRUE(resolveLineNumbers(doc, refs));
  EXPECT_EQ(refs[0].line, 1);
  EXPECT_EQ(refs[1].line, 0);
  PointRef missing[] = {{300, 0}, {301, 0}};
  EXPECT_FALSE(resolveLineNumbers(doc, missing));
}

}  // namespace
}  // namespace tovala
