// Connecting lines: block selection, hit and circle placement with the view blend, the
// panel's shape capture, load and commit.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/atari.h"
#include "engine/cline.h"
#include "engine/cline_capture.h"
#include "engine/param_splice.h"
#include "lines_fixture.h"

namespace tovala {
namespace {

using lines_test::addLine;
using lines_test::paramValue;
using lines_test::pos;
using lines_test::pt;

// A bone from (100, 100) to (200, 100) and a connecting line of `points` points hung on it.
struct Bone {
  Document doc;
  int joints = -1;
  int cline = -1;
  explicit Bone(int points = 3) {
    joints = addLine(doc, {{100, 100, 0}, {200, 100, 0}}, 4);
    std::initializer_list<lines_test::P3> none{};
    cline = addLine(doc, none, 0, kCLineMode);
    LineRecord& l = doc.lines[size_t(cline)];
    for (int i = 0; i < points; ++i) {
      PointRecord p = Document::makeDefaultPoint();
      p.mode = 0;
      p.nam = kFirstNumber + i;
      l.points.insert(l.points.end() - 1, p);
    }
  }
  LineRecord& line() { return doc.lines[size_t(cline)]; }
  int32_t ref(int point, int anchor) const { return joints * 65536 + point * 256 + anchor; }
  // Block `b` from the automatic set-up, hung from joint point 0 to joint point 1.
  void block(int b, float minRatio = -1.0f, float maxRatio = 2.0f, int method = 0) {
    ASSERT_EQ(setupCLineBlock(doc, cline, b), 1);
    const int32_t base = 100 * b;
    const std::vector<ParamEntry> e = {ParamEntry::ofInt(base, 0, 0),
                                       ParamEntry::ofInt(base + 1, 0, base * 65536 + method),
                                       ParamEntry::ofInt(base + 2, 0, ref(0, kPointAnchor)),
                                       ParamEntry::ofInt(base + 3, 0, ref(1, kPointAnchor)),
                                       ParamEntry::ofFloat(base + 4, 0, 1.0f),
                                       ParamEntry::ofInt(base + 10, 0, 0),
                                       ParamEntry::ofFloat(base + 11, 0, minRatio),
                                       ParamEntry::ofFloat(base + 12, 0, maxRatio)};
    replaceKindRange(line(), base, base + 12, e);
  }
  // Point i's run of block b: along (or radius) and across (or angle), exponent 1.
  void run(int b, int i, float a, float c, int kindOffset = 51) {
    const int32_t base = 100 * b;
    std::vector<ParamEntry> r{ParamEntry::ofFloat(base + 50, 0, float(i))};
    for (float v : {a, a, a, 1.0f, c, c, c, 1.0f})
      r.push_back(ParamEntry::ofFloat(base + kindOffset, 0, v));
    replaceKindRange(line().points[size_t(i)], base + 50, base + 52, r);
  }
  void expectAt(int i, float x, float y) {
    const auto p = pos(doc, cline, i);
    EXPECT_NEAR(p[0], x, 1e-3) << "point " << i;
    EXPECT_NEAR(p[1], y, 1e-3) << "point " << i;
  }
};

TEST(CLine, HitModePlacesPointsAlongAndAcrossTheEnds) {
  Bone bone;
  bone.block(1);
  bone.run(1, 0, 0.0f, 0.0f);
  bone.run(1, 1, 0.5f, 10.0f);
  bone.run(1, 2, 1.25f, -4.0f);
  ASSERT_EQ(MakeCLine(bone.doc, bone.cline), 1);
  // Side sign +1: a positive across-value lies above the bone (y down).
  bone.expectAt(0, 100, 100);
  bone.expectAt(1, 150, 90);
  bone.expectAt(2, 225, 104);

  // A negative side sign turns the perpendicular over.
  replaceKindRange(bone.line(), 104, 104,
                   std::vector<ParamEntry>{ParamEntry::ofFloat(104, 0, -1.0f)});
  ASSERT_EQ(MakeCLine(bone.doc, bone.cline), 1);
  bone.expectAt(1, 150, 110);

  // The points follow the joints.
  pt(bone.doc, bone.joints, 1).vx = 100;
  pt(bone.doc, bone.joints, 1).vy = 300;
  ASSERT_EQ(MakeCLine(bone.doc, bone.cline), 1);
  bone.expectAt(1, 90, 200);
  bone.expectAt(2, 104, 350);

  // Ends that coincide in x and y: the across-values displace in z only.
  pt(bone.doc, bone.joints, 1).vy = 100;
  pt(bone.doc, bone.joints, 1).vz = 50;
  ASSERT_EQ(MakeCLine(bone.doc, bone.cline), 1);
  bone.expectAt(1, 100, 100);
  EXPECT_FLOAT_EQ(pt(bone.doc, bone.cline, 1).vz, 0.5f * 50 + 10);
}

TEST(CLine, FirstBlockWhoseConditionsHoldIsUsed) {
  Bone bone;
  bone.block(1, 1.5f, 2.0f);  // the bone's ratio 1.0 is below the minimum
  bone.block(2);
  for (int i = 0; i < 3; ++i) {
    bone.run(1, i, 0.0f, 50.0f);
    bone.run(2, i, 0.5f * float(i), 0.0f);
  }
  ASSERT_EQ(MakeCLine(bone.doc, bone.cline), 1);
  bone.expectAt(2, 200, 100);
  EXPECT_EQ(selectCLineBlock(bone.doc, bone.line())->block, 2);

  // Maximum below the ratio fails as well; with no block left nothing applies.
  replaceKindRange(bone.line(), 212, 212,
                   std::vector<ParamEntry>{ParamEntry::ofFloat(212, 0, 0.99f)});
  const auto before = bone.line().points;
  EXPECT_EQ(MakeCLine(bone.doc, bone.cline), -1);
  EXPECT_EQ(bone.line().points, before);

  // A missing first block ends the search even though block 2 exists; so does an invalid
  // start reference.
  Bone gap;
  gap.block(2);
  EXPECT_FALSE(selectCLineBlock(gap.doc, gap.line()).has_value());
  Bone bad;
  bad.block(1);
  replaceKindRange(bad.line(), 102, 102,
                   std::vector<ParamEntry>{ParamEntry::ofInt(102, 0, bad.ref(5, 0))});
  bad.block(2);
  replaceKindRange(bad.line(), 102, 102,
                   std::vector<ParamEntry>{ParamEntry::ofInt(102, 0, bad.ref(5, 0))});
  EXPECT_FALSE(selectCLineBlock(bad.doc, bad.line()).has_value());

  // Not a connecting line: refused.
  bone.line().mode = 0;
  EXPECT_EQ(MakeCLine(bone.doc, bone.cline), -1);
}

TEST(CLine, DefaultRangesPassEveryPoseButRotationsBeyondTheLimits) {
  Bone bone;
  bone.block(1);
  std::vector<ParamEntry> limits;
  for (int k = 0; k < 6; ++k)
    limits.push_back(ParamEntry::ofFloat(113 + k, 0, k % 2 ? 3.14f : -3.14f));
  replaceKindRange(bone.line(), 113, 118, limits);
  PointRecord& start = pt(bone.doc, bone.joints, 0);
  for (float z : {0.0f, 50.0f, 1000.0f}) {  // any foreshortening: ratio within -1 .. 2
    pt(bone.doc, bone.joints, 1).vz = z;
    EXPECT_EQ(MakeCLine(bone.doc, bone.cline), 1) << z;
  }
  start.radx = 3.0f;
  start.rady = -3.1f;
  EXPECT_EQ(MakeCLine(bone.doc, bone.cline), 1);
  start.radz = 3.15f;
  EXPECT_EQ(MakeCLine(bone.doc, bone.cline), -1);
  start.radz = 0;
  start.rady = -3.15f;
  EXPECT_EQ(MakeCLine(bone.doc, bone.cline), -1);
}

TEST(CLine, ZeroViewWeightsBlendToZero) {
  Bone bone;
  bone.block(1);
  bone.run(1, 1, 0.5f, 10.0f);
  // The end point's unit vectors all sit on its position: no view has any area.
  PointRecord& end = pt(bone.doc, bone.joints, 1);
  end.unitX = end.unitY = end.unitZ = {200, 100, 0};
  ASSERT_EQ(MakeCLine(bone.doc, bone.cline), 1);
  bone.expectAt(1, 100, 100);
}

TEST(CLine, HitModeTakesTheStartPointsGuide) {
  Bone bone;
  HitBlock h;
  h.partner = bone.joints * 65536 + 1;
  h.direction = bone.joints * 65536 + 1 * 256;
  replaceKindRange(pt(bone.doc, bone.joints, 0), 100, 136, hitBlockEntries(1, h));
  ASSERT_EQ(makeAtari(bone.doc, bone.joints, 0, 0), 1);
  bone.block(1);
  // From anchor 2 (above the self end) to anchor 6 (above the partner end).
  replaceKindRange(bone.line(), 102, 103,
                   std::vector<ParamEntry>{ParamEntry::ofInt(102, 0, bone.ref(0, 2)),
                                           ParamEntry::ofInt(103, 0, bone.ref(1, 6))});
  bone.run(1, 0, 0.0f, 0.0f);
  bone.run(1, 1, 0.5f, 5.0f);
  bone.run(1, 2, 1.0f, 0.0f);
  ASSERT_EQ(MakeCLine(bone.doc, bone.cline), 1);
  bone.expectAt(0, 100, 50);
  bone.expectAt(1, 150, 45);
  bone.expectAt(2, 200, 50);

  // End anchor 8 keeps the end point's own position.
  replaceKindRange(bone.line(), 103, 103,
                   std::vector<ParamEntry>{ParamEntry::ofInt(103, 0, bone.ref(1, 8))});
  ASSERT_EQ(MakeCLine(bone.doc, bone.cline), 1);
  bone.expectAt(2, 200, 100);
}

TEST(CLine, CircleModeTurnsAboutTheStart) {
  Bone bone;
  bone.block(1, -1.0f, 2.0f, kCLineCircleMethod);
  // Start anchor 0: the start point's axis position 0 (its position); end anchor 0 likewise.
  replaceKindRange(bone.line(), 102, 103,
                   std::vector<ParamEntry>{ParamEntry::ofInt(102, 0, bone.ref(0, 0)),
                                           ParamEntry::ofInt(103, 0, bone.ref(1, 0))});
  const float quarter = float(std::numbers::pi / 2);
  bone.run(1, 0, 10.0f, 0.0f, 52);
  bone.run(1, 1, 10.0f, quarter, 52);
  bone.run(1, 2, 20.0f, -quarter, 52);
  ASSERT_EQ(MakeCLine(bone.doc, bone.cline), 1);
  bone.expectAt(0, 110, 100);
  bone.expectAt(1, 100, 90);
  bone.expectAt(2, 100, 120);

  // The start point's guide says the joint has turned over: angles mirror about the bone.
  PointRecord& start = pt(bone.doc, bone.joints, 0);
  HitBlock h;
  h.partner = bone.joints * 65536 + 1;
  replaceKindRange(start, 100, 136, hitBlockEntries(1, h));
  start.unitX = {99, 100, 0};
  ASSERT_EQ(makeAtari(bone.doc, bone.joints, 0, 0), 1);
  ASSERT_EQ(MakeCLine(bone.doc, bone.cline), 1);
  bone.expectAt(1, 100, 110);
  // An incomplete guide (a result entry removed by hand) counts as none.
  replaceKindRange(start, kHitAngleFactorKey, kHitAngleFactorKey, {});
  ASSERT_EQ(MakeCLine(bone.doc, bone.cline), 1);
  bone.expectAt(1, 100, 90);
}

// --- the panel: capture, load, commit ----------------------------------------------------------

TEST(CLinePanel, CapturingAStraightLineGivesAlongZeroToOne) {
  Bone bone(5);
  for (int i = 0; i < 5; ++i) {
    pt(bone.doc, bone.cline, i).vx = 100 + 25.0f * float(i);
    pt(bone.doc, bone.cline, i).vy = 100;
  }
  CLineWork work;
  work.start = bone.ref(0, kPointAnchor);
  work.end = bone.ref(1, kPointAnchor);
  work.setSideSign(1.0f);
  resetCLineRuns(work, 5);
  ASSERT_EQ(captureCLineShape(bone.doc, bone.cline, work), 1);
  for (int i = 0; i < 5; ++i) {
    EXPECT_FLOAT_EQ(work.runs[size_t(i)][0], 0.25f * float(i));
    EXPECT_FLOAT_EQ(work.runs[size_t(i)][2], 0.25f * float(i));
    EXPECT_EQ(work.runs[size_t(i)][4], 0.0f);
    EXPECT_EQ(work.runs[size_t(i)][3], 1.0f);  // exponents stay
  }
}

TEST(CLinePanel, CaptureCommitAndRecomputeReproduceTheShape) {
  Bone bone(4);
  const float shape[4][2] = {{80, 95}, {120, 70}, {170, 88}, {230, 130}};  // one before the start
  for (int i = 0; i < 4; ++i) {
    pt(bone.doc, bone.cline, i).vx = shape[i][0];
    pt(bone.doc, bone.cline, i).vy = shape[i][1];
  }
  // Tilt the end joint's frame so every view has weight.
  pt(bone.doc, bone.joints, 1).unitZ = {200.5f, 100.5f, 0.7f};
  for (int method : {kCLineHitMethod, kCLineCircleMethod}) {
    CLineWork work;
    ASSERT_EQ(loadCLineWork(bone.doc, bone.cline, 1, work), 1);
    work.method = method;
    work.start = bone.ref(0, method == kCLineHitMethod ? kPointAnchor : 0);
    work.end = bone.ref(1, method == kCLineHitMethod ? kPointAnchor : 0);
    work.setSideSign(-1.0f);
    ASSERT_EQ(captureCLineShape(bone.doc, bone.cline, work), 1);
    if (method == kCLineHitMethod) {
      EXPECT_FLOAT_EQ(work.runs[0][0], -0.2f);
    }
    ASSERT_EQ(commitCLineWork(bone.doc, bone.cline, work), 1);
    for (int i = 0; i < 4; ++i) pt(bone.doc, bone.cline, i).vx = pt(bone.doc, bone.cline, i).vy = 0;
    ASSERT_EQ(MakeCLine(bone.doc, bone.cline), 1) << method;
    for (int i = 0; i < 4; ++i) bone.expectAt(i, shape[i][0], shape[i][1]);

    CLineWork again;
    ASSERT_EQ(loadCLineWork(bone.doc, bone.cline, 1, again), 1);
    EXPECT_EQ(again.method, method);
    EXPECT_EQ(again.runs, work.runs);
    EXPECT_EQ(again.start, work.start);
  }
}

TEST(CLinePanel, CaptureRefusesEndsThatCoincide) {
  Bone bone;
  CLineWork work;
  resetCLineRuns(work, 3);
  work.start = work.end = bone.ref(0, kPointAnchor);
  const CLineWork before = work;
  EXPECT_EQ(captureCLineShape(bone.doc, bone.cline, work), -1);
  EXPECT_EQ(work.runs, before.runs);
  work.end = bone.ref(7, kPointAnchor);  // no such point
  EXPECT_EQ(captureCLineShape(bone.doc, bone.cline, work), -1);
}

TEST(CLinePanel, LoadDefaultsAndRefusals) {
  Bone bone(3);
  CLineWork work;
  work.minRatio = 42;
  ASSERT_EQ(loadCLineWork(bone.doc, bone.cline, 4, work), 1);  // no block 4: defaults
  EXPECT_EQ(work.block, 4);
  EXPECT_EQ(work.minRatio, -1.0f);
  EXPECT_EQ(work.maxRatio, 2.0f);
  ASSERT_EQ(work.runs.size(), 3u);
  EXPECT_EQ(work.runs[1][0], 0.5f);
  EXPECT_EQ(work.runs[2][1], 1.0f);
  EXPECT_EQ(work.runs[2][7], 1.0f);

  // A point without its run resets every run, keeping the line entries.
  bone.block(1, -0.5f, 1.75f);
  bone.run(1, 0, 7.0f, 7.0f);
  bone.run(1, 1, 7.0f, 7.0f);
  replaceKindRange(bone.line().points[2], 150, 152, {});
  ASSERT_EQ(loadCLineWork(bone.doc, bone.cline, 1, work), 1);
  EXPECT_EQ(work.maxRatio, 1.75f);
  EXPECT_EQ(work.runs[0][0], 0.0f);

  // 63 point records (62 points and the sentinel) are too many; nothing is loaded.
  Bone big(62);
  work.maxRatio = 9;
  EXPECT_EQ(loadCLineWork(big.doc, big.cline, 1, work), kCLinePanelRefused);
  EXPECT_EQ(work.maxRatio, 9.0f);
  Bone ok(61);
  EXPECT_EQ(loadCLineWork(ok.doc, ok.cline, 1, work), 1);
  EXPECT_EQ(loadCLineWork(ok.doc, 99, 1, work), kCLinePanelRefused);
}

TEST(CLinePanel, CommitKeepsRotationConditionsAndOtherBlocks) {
  Bone bone(2);
  bone.block(1);
  bone.block(2);
  replaceKindRange(bone.line(), 113, 113,
                   std::vector<ParamEntry>{ParamEntry::ofFloat(113, 0, -1.0f)});
  CLineWork work;
  ASSERT_EQ(loadCLineWork(bone.doc, bone.cline, 1, work), 1);
  work.maxRatio = 1.5f;
  work.method = kCLineCircleMethod;
  bone.line().paramChanged = 0;
  ASSERT_EQ(commitCLineWork(bone.doc, bone.cline, work), 1);
  const ParamList& list = bone.line().params;
  EXPECT_TRUE(lines_test::wellFormed(list));
  EXPECT_EQ(bone.line().paramChanged, 1);
  EXPECT_EQ(paramValue(list, 112), 1.5f);
  EXPECT_EQ(paramValue(list, 113), -1.0f);
  EXPECT_EQ(paramValue(list, 212), 2.0f);
  EXPECT_EQ(list[size_t(findParam(list, 101))].asInt(), 100 * 65536 + 1);
  // Circle mode runs carry kind B+52, and the other block's runs stay.
  const ParamList& p0 = bone.line().points[0].params;
  EXPECT_TRUE(lines_test::wellFormed(p0));
  EXPECT_GE(findParam(p0, 152), 0);
  EXPECT_LT(findParam(p0, 151), 0);
  EXPECT_GE(findParam(p0, 251), 0);
  EXPECT_EQ(commitCLineWork(bone.doc, 99, work), -1);
}

TEST(CLinePanel, ParameterListings) {
  ParamList list{ParamEntry::sentinel()};
  EXPECT_EQ(clineParamListing(list, true), std::vector<std::string>{kNothingListed});
  list.insert(list.begin(),
              {ParamEntry::ofInt(101, 0, 100 * 65536), ParamEntry::ofFloat(151, 0, 0.5f)});
  EXPECT_EQ(clineParamListing(list, true),
            (std::vector<std::string>{" 101,00640000", " 151,3f000000", "268435455,00000000"}));
  EXPECT_EQ(clineParamListing(list, false)[1], " 151,0.500");
}

TEST(CLinePanel, ForcedRunKindsFollowTheDisplayMethod) {
  Bone bone(2);
  bone.block(1, -1.0f, 2.0f, kCLineCircleMethod);
  ASSERT_EQ(forceCLineRunKinds(bone.doc, bone.cline, 1), 1);
  const ParamList& p = bone.line().points[1].params;
  EXPECT_EQ(std::count_if(p.begin(), p.end(), [](const ParamEntry& e) { return e.key == 152; }), 8);
  EXPECT_TRUE(lines_test::wellFormed(p));
  EXPECT_EQ(forceCLineRunKinds(bone.doc, bone.cline, 3), -1);
}

}  // namespace
}  // namespace tovala
