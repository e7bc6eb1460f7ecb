// Hit guides: block choice by the bone's length ratio, the anchors around the bone, the view
// blend, and the hit-handle pick and drag of the joint panel.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/atari.h"
#include "engine/atari_edit.h"
#include "engine/param_splice.h"
#include "lines_fixture.h"

namespace tovala {
namespace {

using lines_test::addLine;
using lines_test::paramValue;
using lines_test::pt;

constexpr int kJoint = 4;

// A joint line with the self point at (100, 100) and its partner at `partner`.
struct Limb {
  Document doc;
  int line = -1;
  explicit Limb(lines_test::P3 partner) { line = addLine(doc, {{100, 100, 0}, partner}, kJoint); }
  PointRecord& self() { return pt(doc, line, 0); }
  void setBlock(int b, const HitBlock& v) {
    replaceKindRange(self(), 100 * b, 100 * b + 36, hitBlockEntries(b, v));
  }
  HitBlock block(float minRatio, float maxRatio) const {
    HitBlock v;
    v.partner = line * 65536 + 1;
    v.direction = line * 65536 + 1 * 256 + 0;  // the partner point itself: on the bone
    v.minRatio = minRatio;
    v.maxRatio = maxRatio;
    return v;
  }
  float result(int32_t key) { return paramValue(self().params, key); }
};

TEST(HitGuide, BlockChoiceUsesTheStrictRatioRange) {
  // A bone in the screen plane has ratio exactly 1: a block whose minimum is 1.0 fails, the
  // next one whose range straddles 1.0 is chosen.
  Limb limb({200, 100, 0});
  limb.setBlock(1, limb.block(1.0f, 10.0f));
  limb.setBlock(2, limb.block(0.5f, 1.5f));
  EXPECT_EQ(makeAtari(limb.doc, limb.line, 0, 0), 1);
  EXPECT_EQ(limb.result(kHitResultFirstKey), 2.0f);
  EXPECT_EQ(limb.result(kHitRatioKey), 1.0f);
  EXPECT_TRUE(lines_test::wellFormed(limb.self().params));
  EXPECT_EQ(limb.self().paramChanged, 1);

  // Pointing straight at the viewer: ratio 0 never passes a minimum of 0, and the results of
  // the earlier call stay as they were.
  Limb endOn({100, 100, 80});
  endOn.setBlock(1, endOn.block(0.0f, 10.0f));
  const ParamList before = endOn.self().params;
  EXPECT_EQ(makeAtari(endOn.doc, endOn.line, 0, 0), -1);
  EXPECT_EQ(endOn.self().params, before);
  endOn.setBlock(2, endOn.block(-0.5f, 0.5f));
  EXPECT_EQ(makeAtari(endOn.doc, endOn.line, 0, 0), 1);
  EXPECT_EQ(endOn.result(kHitResultFirstKey), 2.0f);
  EXPECT_EQ(endOn.result(kHitRatioKey), 0.0f);
  // The end-on bone still gets anchors spread around the joint (along its own Y axis).
  EXPECT_FLOAT_EQ(endOn.result(kHitAnchorKey + 1), 150.0f);      // anchor 0 y = 100 + 50
  EXPECT_FLOAT_EQ(endOn.result(kHitAnchorKey + 3 * 2), 150.0f);  // anchor 2 x = 100 + 50
}

TEST(HitGuide, SelectorNamesABlockAndRefusesChangeNothing) {
  Limb limb({200, 100, 0});
  limb.setBlock(1, limb.block(0.0f, 10.0f));
  limb.setBlock(2, limb.block(5.0f, 6.0f));  // never chosen automatically
  EXPECT_EQ(MakeAtari(limb.doc, limb.line << 16 | 0 << 8 | 2), 1);
  EXPECT_EQ(limb.result(kHitResultFirstKey), 2.0f);

  EXPECT_EQ(makeAtari(limb.doc, limb.line, 0, 3), -1);   // no block 3
  EXPECT_EQ(makeAtari(limb.doc, limb.line, 0, 10), -1);  // no such selector
  EXPECT_EQ(makeAtari(limb.doc, limb.line, 5, 0), -1);   // not a real point
  HitBlock bad = limb.block(0.0f, 10.0f);
  bad.partner = 77 * 65536;
  limb.setBlock(1, bad);
  const ParamList withBad = limb.self().params;
  EXPECT_EQ(makeAtari(limb.doc, limb.line, 0, 1), -1);  // invalid partner
  EXPECT_EQ(limb.self().params, withBad);
  // An invalid partner only skips its block when choosing automatically.
  EXPECT_EQ(makeAtari(limb.doc, limb.line, 0, 0), -1);  // block 2's range excludes 1.0
  limb.setBlock(2, limb.block(0.0f, 2.0f));
  EXPECT_EQ(makeAtari(limb.doc, limb.line, 0, 0), 1);
  EXPECT_EQ(limb.result(kHitResultFirstKey), 2.0f);

  // Lines that are not joint lines get no guide.
  limb.doc.lines[size_t(limb.line)].kind = 0;
  EXPECT_EQ(makeAtari(limb.doc, limb.line, 0, 1), -1);
}

TEST(HitGuide, AnchorsSitAroundTheBoneOnTheDirectionSide) {
  Limb limb({200, 100, 0});
  const int guide = addLine(limb.doc, {{150, 40, 0}, {150, 170, 0}});
  HitBlock v = limb.block(0.0f, 10.0f);
  v.direction = guide * 65536 + 0 * 256;  // above the bone
  for (int k = 0; k < kHitAnchorCount; ++k) v.at(hitGroupOffset(k)) = float(10 + 5 * k);
  limb.setBlock(1, v);
  ASSERT_EQ(makeAtari(limb.doc, limb.line, 0, 0), 1);

  // At rest only the front view has area, so each length is its front value.
  const float expected[8][2] = {{110, 100}, {85, 100},  {100, 80}, {100, 125},
                                {230, 100}, {165, 100}, {200, 60}, {200, 145}};
  for (int k = 0; k < kHitAnchorCount; ++k) {
    EXPECT_FLOAT_EQ(limb.result(kHitAnchorKey + 3 * k), expected[k][0]) << "anchor " << k;
    EXPECT_FLOAT_EQ(limb.result(kHitAnchorKey + 3 * k + 1), expected[k][1]) << "anchor " << k;
  }
  EXPECT_FLOAT_EQ(limb.result(kHitWeightKey), 0.5f);
  EXPECT_EQ(limb.result(kHitWeightKey + 1), 0.0f);
  EXPECT_EQ(limb.result(kHitAngleFactorKey), 1.0f);

  // The direction point below the bone turns the perpendicular anchors over.
  v.direction = guide * 65536 + 1 * 256;
  limb.setBlock(1, v);
  ASSERT_EQ(makeAtari(limb.doc, limb.line, 0, 0), 1);
  EXPECT_FLOAT_EQ(limb.result(kHitAnchorKey + 3 * 2 + 1), 120.0f);
  EXPECT_FLOAT_EQ(limb.result(kHitAnchorKey + 3 * 7 + 1), 55.0f);

  // Twice the model scale doubles every distance from the joint.
  limb.doc.modelScale = 2.0f;
  ASSERT_EQ(makeAtari(limb.doc, limb.line, 0, 0), 1);
  EXPECT_FLOAT_EQ(limb.result(kHitAnchorKey + 3 * 0), 120.0f);
}

TEST(HitGuide, EqualWeightsWithExponentHalfGiveTheMean) {
  Limb limb({200, 100, 0});
  // Axes whose three projected triangles all have area 0.5.
  PointRecord& j = limb.self();
  j.unitX = {101, 100, 0};
  j.unitY = {100, 101, 0};
  j.unitZ = {101, 101, 0};
  const ViewWeights w = frameWeights(j);
  EXPECT_NEAR(w.front, 0.5, 1e-9);
  EXPECT_NEAR(w.top, 0.5, 1e-9);
  EXPECT_NEAR(w.side, 0.5, 1e-9);

  HitBlock v = limb.block(0.0f, 10.0f);
  v.at(5) = 30;  // self extension 1: front, top, side; exponent stays 0.5
  v.at(6) = 60;
  v.at(7) = 90;
  limb.setBlock(1, v);
  ASSERT_EQ(makeAtari(limb.doc, limb.line, 0, 0), 1);
  EXPECT_NEAR(limb.result(kHitAnchorKey), 100 + 60, 1e-4);

  // Weights of zero blend to zero whatever the values; a zero exponent gives the plain mean.
  EXPECT_EQ(blendView(ViewWeights{}, 30, 60, 90, 2.0), 0.0);
  EXPECT_EQ(blendView(ViewWeights{}, 30, 60, 90, 0.0), 60.0);
  EXPECT_NEAR(blendView(ViewWeights{1, 0, 4}, 10, 99, 40, 0.5), (10 + 2 * 40) / 3.0, 1e-12);
}

TEST(HitGuide, AngleFactorTurnsOverWithTheJoint) {
  Limb limb({200, 100, 0});
  limb.setBlock(1, limb.block(0.0f, 10.0f));
  limb.self().unitX = {99, 100, 0};  // seen from behind: X points left
  ASSERT_EQ(makeAtari(limb.doc, limb.line, 0, 0), 1);
  EXPECT_EQ(limb.result(kHitAngleFactorKey), -1.0f);
}

TEST(HitGuide, MakeAtariAllVisitsEveryJointPoint) {
  Document doc;
  const int plain = addLine(doc, {{0, 0, 0}, {10, 0, 0}});
  const int arm = addLine(doc, {{100, 100, 0}, {200, 100, 0}, {300, 100, 0}}, kJoint);
  HitBlock v;
  v.partner = arm * 65536 + 1;
  replaceKindRange(pt(doc, arm, 0), 100, 136, hitBlockEntries(1, v));
  v.partner = arm * 65536 + 2;
  replaceKindRange(pt(doc, arm, 1), 100, 136, hitBlockEntries(1, v));
  replaceKindRange(pt(doc, plain, 0), 100, 136, hitBlockEntries(1, v));
  EXPECT_EQ(MakeAtariAll(doc), 0);
  EXPECT_FLOAT_EQ(paramValue(pt(doc, arm, 0).params, kHitAnchorKey + 3 * 4), 250.0f);
  EXPECT_FLOAT_EQ(paramValue(pt(doc, arm, 1).params, kHitAnchorKey + 3 * 4), 350.0f);
  EXPECT_TRUE(std::isnan(paramValue(pt(doc, arm, 2).params, kHitResultFirstKey)));
  EXPECT_TRUE(std::isnan(paramValue(pt(doc, plain, 0).params, kHitResultFirstKey)));
}

TEST(HitGuide, BlockEntriesRoundTrip) {
  HitBlock v;
  v.mode = 123;
  v.partner = 3 * 65536 + 7;
  v.direction = 2 * 65536 + 4 * 256 + 3;
  v.minRatio = -0.25f;
  v.at(36) = 1.5f;
  ParamList list{ParamEntry::ofFloat(6, 0, -100.0f), ParamEntry::sentinel()};
  replaceKindRange(list, 300, 336, hitBlockEntries(3, v));
  ASSERT_EQ(list.size(), 39u);
  const auto back = readHitBlock(list, 3);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->mode, 123);
  EXPECT_EQ(back->partner, v.partner);
  EXPECT_EQ(back->direction, v.direction);
  EXPECT_EQ(back->minRatio, -0.25f);
  EXPECT_EQ(back->lengths, v.lengths);
  EXPECT_FALSE(readHitBlock(list, 1).has_value());
}

TEST(HitGuide, ListingLabelsNameBlockAndGroup) {
  EXPECT_EQ(hitEntryLabel(100), "1:あたりモード");
  EXPECT_EQ(hitEntryLabel(304), "3:符号 ");
  EXPECT_EQ(hitEntryLabel(905), "9:自延長線上1 ");
  EXPECT_EQ(hitEntryLabel(920), "9:自垂直線上2 ");
  EXPECT_EQ(hitEntryLabel(936), "9:相垂直線上2 ");
  EXPECT_EQ(hitEntryLabel(137), "");
  EXPECT_EQ(hitEntryLabel(99), "");
  EXPECT_EQ(hitEntryLabel(1000), "");
}

// --- hit editing ------------------------------------------------------------------------------

TEST(HitEdit, PickFindsTheFirstAnchorWithinTheMarkSize) {
  Limb limb({200, 100, 0});
  HitBlock v = limb.block(0.0f, 10.0f);
  const int guide = addLine(limb.doc, {{150, 40, 0}});
  v.direction = guide * 65536;
  // Anchor 0 (self extension 1) and anchor 5 (partner extension 2) both lie at (150, 100);
  // the first in anchor order wins.
  EXPECT_EQ(pickHitHandle(limb.doc, limb.line, 0, v, 150, 100), 5);
  EXPECT_EQ(pickHitHandle(limb.doc, limb.line, 0, v, 104, 46), 13);   // anchor 2 at (100, 50)
  EXPECT_EQ(pickHitHandle(limb.doc, limb.line, 0, v, 105, 50), -1);   // one past the mark size
  EXPECT_EQ(pickHitHandle(limb.doc, limb.line, 0, v, 200, 150), 33);  // anchor 7
  v.partner = 99 * 65536;
  EXPECT_EQ(pickHitHandle(limb.doc, limb.line, 0, v, 150, 100), -1);
}

TEST(HitEdit, DragAddsATenthPerPixelToTheCurrentViewOnly) {
  Limb limb({200, 100, 0});
  HitBlock v = limb.block(0.0f, 10.0f);
  ParamList working = limb.self().params;
  replaceKindRange(working, 6, 6, std::vector<ParamEntry>{ParamEntry::ofFloat(6, 0, -5.0f)});

  const HitHandleDrag drag = beginHitDrag(v, 13, kHitViewTop, 300);
  ASSERT_EQ(drag.group, 13);
  EXPECT_TRUE(dragHitHandle(drag, 340, v, working));
  EXPECT_TRUE(dragHitHandle(drag, 400, v, working));  // from the press value, not cumulative
  EXPECT_EQ(v.at(13), 50.0f);
  EXPECT_EQ(v.at(14), 60.0f);
  EXPECT_EQ(v.at(15), 50.0f);
  EXPECT_EQ(paramValue(working, 114), 60.0f);
  EXPECT_EQ(paramValue(working, 113), 50.0f);
  EXPECT_EQ(paramValue(working, 6), -5.0f);  // the rest of the list stays
  EXPECT_TRUE(lines_test::wellFormed(working));
  EXPECT_EQ(working.size(), 2u + 37u);
  // The joint's own list is not touched.
  EXPECT_TRUE(std::isnan(paramValue(limb.self().params, 114)));

  // Dragging left lowers it; a handle that was never picked changes nothing.
  EXPECT_TRUE(dragHitHandle(drag, 250, v, working));
  EXPECT_EQ(v.at(14), 45.0f);
  const HitHandleDrag none = beginHitDrag(v, -1, kHitViewFront, 0);
  const ParamList before = working;
  EXPECT_FALSE(dragHitHandle(none, 500, v, working));
  EXPECT_EQ(working, before);
  EXPECT_EQ(beginHitDrag(v, 14, kHitViewFront, 0).group, -1);  // not a group offset
}

}  // namespace
}  // namespace tovala
