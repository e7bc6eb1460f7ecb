#include "engine/param_splice.h"

#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace tovala {
namespace {

std::vector<int32_t> keysOf(const ParamList& list) {
  std::vector<int32_t> keys;
  for (const ParamEntry& e : list) keys.push_back(e.key);
  return keys;
}

TEST(ParamSplice, ReplacesTheRangeAndKeepsTheRest) {
  ParamList list{ParamEntry::ofFloat(3, 0, 1.0f), ParamEntry::ofFloat(6, 0, 2.0f),
                 ParamEntry::ofFloat(9, 0, 3.0f), ParamEntry::ofInt(20, 0, 5),
                 ParamEntry::ofInt(101, 0, 7),    ParamEntry::sentinel()};
  const std::vector<ParamEntry> fresh{ParamEntry::ofFloat(6, 0, 8.0f),
                                      ParamEntry::ofFloat(7, 0, 9.0f)};
  replaceKindRange(list, 6, 17, fresh);
  EXPECT_EQ(keysOf(list), (std::vector<int32_t>{3, 6, 7, 20, 101, kParamSentinelKey}));
  EXPECT_EQ(list[1].asFloat(), 8.0f);
  EXPECT_EQ(list[4].asInt(), 7);

  // An empty replacement just drops the range; a range with no entries just inserts.
  replaceKindRange(list, 20, 20, {});
  EXPECT_EQ(keysOf(list), (std::vector<int32_t>{3, 6, 7, 101, kParamSentinelKey}));
  const ParamEntry co = ParamEntry::ofInt(20, 0, 65536 + 2);
  replaceKindRange(list, 20, 20, std::span(&co, 1));
  EXPECT_EQ(keysOf(list), (std::vector<int32_t>{3, 6, 7, 20, 101, kParamSentinelKey}));
}

TEST(ParamSplice, OwnerIsMarkedAndListStaysTerminated) {
  PointRecord p;
  EXPECT_EQ(p.paramChanged, 0);
  replaceKindRange(p, 6, 17, jointRangeEntries(test::wideRanges(), 1.0f));
  EXPECT_EQ(p.paramChanged, 1);
  ASSERT_EQ(p.paramCount(), 13);
  EXPECT_EQ(p.params.back(), ParamEntry::sentinel());

  // A damaged list without its sentinel comes back terminated.
  ParamList broken{ParamEntry::ofFloat(6, 0, 1.0f)};
  replaceKindRange(broken, 20, 20, {});
  EXPECT_EQ(keysOf(broken), (std::vector<int32_t>{6, kParamSentinelKey}));
}

TEST(ParamSplice, LookupStopsAtTheFirstLargerKey) {
  const ParamList list{ParamEntry::ofFloat(6, 0, 1), ParamEntry::ofFloat(12, 0, 2),
                       ParamEntry::ofFloat(8, 0, 3), ParamEntry::sentinel()};
  EXPECT_EQ(findParam(list, 6), 0);
  EXPECT_EQ(findParam(list, 12), 1);
  EXPECT_EQ(findParam(list, 8), -1);  // out of order behind 12: not found
  EXPECT_EQ(findParam(list, 7), -1);
  EXPECT_EQ(findParam({}, 6), -1);
}

TEST(ParamSplice, JointEntriesScaleOnlyTheMovementLimits) {
  JointRanges r{-10, 20, -30, 40, -50, 60, -1, 1, -2, 2, -3, 3};
  const auto e = jointRangeEntries(r, 2.0f);
  ASSERT_EQ(e.size(), 12u);
  for (size_t i = 0; i < e.size(); ++i) {
    EXPECT_EQ(e[i].key, int32_t(6 + i));
    EXPECT_EQ(e[i].sub, 0);
  }
  EXPECT_EQ(e[0].asFloat(), -5.0f);
  EXPECT_EQ(e[5].asFloat(), 30.0f);
  EXPECT_EQ(e[6].asFloat(), -1.0f);
  EXPECT_EQ(e[11].asFloat(), 3.0f);
}

TEST(ParamSplice, CoRotationEntriesListFlaggedPointsOfJointLines) {
  Document doc;
  const int plain = test::addLine(doc, {{0, 0}, {1, 1}});
  const int joint = test::addLine(doc, {{0, 0}, {1, 1}, {2, 2}}, 4);
  doc.lines[size_t(plain)].points[0].sel = 1;  // not a joint line: ignored
  doc.lines[size_t(joint)].points[0].sel = 1;
  doc.lines[size_t(joint)].points[2].sel = 1;
  doc.lines[size_t(joint)].points[3].sel = 1;  // the sentinel: ignored
  const auto e = coRotationEntries(doc);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].asInt(), joint * 65536 + 0);
  EXPECT_EQ(e[1].asInt(), joint * 65536 + 2);
  EXPECT_EQ(e[0].key, 20);
}

}  // namespace
}  // namespace tovala
