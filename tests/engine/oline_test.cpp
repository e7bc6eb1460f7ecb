// Decorative lines: the four point methods, the whole-line method, connections, the panel's
// working list and the automatic fit.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine/oline.h"
#include "engine/oline_connect.h"
#include "engine/oline_fit.h"
#include "engine/oline_list.h"
#include "engine/param_splice.h"
#include "lines_fixture.h"

namespace tovala {
namespace {

using lines_test::addLine;
using lines_test::pos;
using lines_test::pt;

ParamEntry I(int32_t k, int32_t v, int32_t n = 0) { return ParamEntry::ofInt(k, n, v); }
ParamEntry F(int32_t k, float v) { return ParamEntry::ofFloat(k, 0, v); }

void setRun(Document& doc, int line, int point, const std::vector<ParamEntry>& run) {
  replaceKindRange(pt(doc, line, point), 150, 181, run);
}
void setLineEntries(Document& doc, int line, const std::vector<ParamEntry>& e) {
  replaceKindRange(doc.lines[size_t(line)], 100, 103, e);
}

void expectAt(const Document& doc, int line, int point, double x, double y) {
  const auto p = pos(doc, line, point);
  EXPECT_NEAR(p[0], x, 1e-3) << "point " << point;
  EXPECT_NEAR(p[1], y, 1e-3) << "point " << point;
}

// A decorative line of `n` points at the origin, placed point by point.
int decorative(Document& doc, int n, int32_t method = kOLinePointByPoint) {
  const int line =
      addLine(doc, std::vector<lines_test::P3>(size_t(n), lines_test::P3{0, 0, 0}), 0, kOLineMode);
  setLineEntries(doc, line, {I(100, method)});
  return line;
}

// --- point methods -------------------------------------------------------------------------------

TEST(OLine, OffsetPointSitsOnThePerpendicularOnTheSignSide) {
  Document doc;
  const int body = addLine(doc, {{100, 100, 0}, {150, 100, 0}, {200, 100, 0}});
  const int marks = addLine(doc, {{150, 50, 0}, {150, 160, 0}});
  const int o = decorative(doc, 3);
  const int32_t mid = body * 65536 + 1 * 256, above = marks * 65536, below = marks * 65536 + 256;
  setRun(doc, o, 0, {I(150, 100), I(151, mid), I(152, above), F(153, 10)});
  setRun(doc, o, 1, {I(150, 100), I(151, mid), I(152, below), F(153, 10)});
  setRun(doc, o, 2, {I(150, 100), I(151, mid), I(152, above), F(153, 0)});
  ASSERT_EQ(MakeOLine(doc, o), 1);
  expectAt(doc, o, 0, 150, 90);
  expectAt(doc, o, 1, 150, 110);
  expectAt(doc, o, 2, 150, 100);  // distance 0: on the reference point
  EXPECT_FLOAT_EQ(pt(doc, o, 0).vz, 10.0f);

  // The end points use their one neighbour.
  setRun(doc, o, 0, {I(150, 100), I(151, body * 65536), I(152, above), F(153, 10)});
  setRun(doc, o, 1, {I(150, 100), I(151, body * 65536 + 2 * 256), I(152, above), F(153, 10)});
  ASSERT_EQ(MakeOLine(doc, o), 1);
  expectAt(doc, o, 0, 100, 90);
  expectAt(doc, o, 1, 200, 90);
}

TEST(OLine, OffsetAtABendFollowsTheBisector) {
  Document doc;
  const int body = addLine(doc, {{0, 0, 0}, {100, 0, 0}, {100, 100, 0}});
  const int mark = addLine(doc, {{200, -100, 0}});
  const int o = decorative(doc, 1);
  setRun(doc, o, 0, {I(150, 100), I(151, body * 65536 + 256), I(152, mark * 65536), F(153, 10)});
  ASSERT_EQ(MakeOLine(doc, o), 1);
  const double h = 10 / std::numbers::sqrt2;
  expectAt(doc, o, 0, 100 + h, -h);

  // A reference line of one point pushes away from the sign point.
  const int dot = addLine(doc, {{50, 50, 0}});
  setRun(doc, o, 0, {I(150, 100), I(151, dot * 65536), I(152, mark * 65536), F(153, 10)});
  ASSERT_EQ(MakeOLine(doc, o), 1);
  const double len = std::hypot(150.0, 150.0);
  expectAt(doc, o, 0, 50 - 10 * 150 / len, 50 + 10 * 150 / len);
}

TEST(OLine, PolarFrameAndStepMethods) {
  Document doc;
  const int j = addLine(doc, {{100, 100, 0}, {200, 100, 0}, {0, 0, 5}, {0, 0, -5}}, 4);
  const int o = decorative(doc, 4);
  const float quarter = float(std::numbers::pi / 2);
  auto polar = [&](int32_t sign) {
    return std::vector<ParamEntry>{I(150, 200),     I(151, j * 65536), I(152, j * 65536 + 256),
                                   I(153, sign),    F(155, 20),        F(155, 20),
                                   F(155, 20),      F(155, 1),         F(156, quarter),
                                   F(156, quarter), F(156, quarter),   F(156, 1)};
  };
  setRun(doc, o, 0, polar(j * 65536 + 2 * 256));  // sign point behind: angle as stored
  setRun(doc, o, 1, polar(j * 65536 + 3 * 256));  // reference in front of the sign: mirrored
  // The frame turned a quarter about z: local X points down the screen, local Y to the left.
  PointRecord& joint = pt(doc, j, 0);
  joint.unitX = {100, 101, 0};
  joint.unitY = {99, 100, 0};
  setRun(doc, o, 2, {I(150, 300), I(151, j * 65536), F(152, 10), F(152, 5), F(152, 2)});
  const int a = addLine(doc, {{0, 0, 0}, {10, 0, 0}, {5, -5, 0}});
  setRun(doc, o, 3,
         {I(150, 400), I(151, a * 65536), I(152, a * 65536 + 256), I(153, a * 65536 + 512),
          F(154, 1), F(155, 0.5f)});
  ASSERT_EQ(MakeOLine(doc, o), 1);
  expectAt(doc, o, 0, 100, 80);
  expectAt(doc, o, 1, 100, 120);
  expectAt(doc, o, 2, 95, 110);
  EXPECT_FLOAT_EQ(pt(doc, o, 2).vz, 2.0f);
  expectAt(doc, o, 3, 95 + 10, 110 - 5);  // one step on from point 2 as just placed
}

TEST(OLine, RefusalsAndPointsThatStay) {
  Document doc;
  const int body = addLine(doc, {{0, 0, 0}, {10, 0, 0}});
  const int o = decorative(doc, 2);
  pt(doc, o, 0).vx = 3;
  pt(doc, o, 1).vx = 4;
  setRun(doc, o, 0, {I(150, 100), I(151, 99 * 65536), I(152, body * 65536), F(153, 1)});
  setRun(doc, o, 1, {I(150, 100), I(151, body * 65536)});  // too short
  EXPECT_EQ(MakeOLine(doc, o), 1);
  EXPECT_EQ(pt(doc, o, 0).vx, 3.0f);
  EXPECT_EQ(pt(doc, o, 1).vx, 4.0f);

  setLineEntries(doc, o, {I(100, kOLineTwoPoint)});
  EXPECT_EQ(MakeOLine(doc, o), 1);  // placed by ConnectOLine instead
  setLineEntries(doc, o, {});
  EXPECT_EQ(MakeOLine(doc, o), -1);
  setLineEntries(doc, o, {F(100, 0.0f)});
  doc.lines[size_t(o)].mode = 100;
  EXPECT_EQ(MakeOLine(doc, o), -1);
  EXPECT_EQ(ConnectOLine(doc, o), -1);
  EXPECT_EQ(MakeOLine(doc, 42), -1);
  EXPECT_EQ(methodCode(F(100, 181.0f)), 181);
  EXPECT_EQ(methodCode(I(100, 181)), 181);
}

// --- whole-line method ---------------------------------------------------------------------------

TEST(OLineWhole, PointsAreSharedOverTheRunsAndPushedFromTheCentre) {
  Document doc;
  const int ref = addLine(doc, {{0, 100, 0}, {100, 100, 0}, {200, 100, 0}, {300, 100, 0}});
  pt(doc, ref, 1).mode = 2;  // the stroke breaks after point 1: runs 0-1 and 2-3
  const int centre = addLine(doc, {{150, 200, 0}});
  auto line = [&](int n, float distance) {
    const int o = decorative(doc, n, kOLineWholeLine);
    setLineEntries(
        doc, o,
        {I(100, kOLineWholeLine), I(101, ref << 16), I(102, centre * 65536), F(103, distance)});
    EXPECT_EQ(MakeOLine(doc, o), 1);
    return o;
  };
  const int four = line(4, 0);
  for (int i = 0; i < 4; ++i) expectAt(doc, four, i, std::array{25, 75, 225, 275}[size_t(i)], 100);
  EXPECT_EQ(pt(doc, four, 0).mode, 0);
  EXPECT_EQ(pt(doc, four, 1).mode, 2);
  EXPECT_EQ(pt(doc, four, 3).mode, 2);

  const int three = line(3, 0);  // the first run takes the extra point
  for (int i = 0; i < 3; ++i) expectAt(doc, three, i, std::array{25, 75, 250}[size_t(i)], 100);
  const int one = line(1, 0);  // fewer points than runs: the first run's middle
  expectAt(doc, one, 0, 50, 100);

  const int pushed = line(2, 10);
  const double h = 10 / std::numbers::sqrt2;
  expectAt(doc, pushed, 0, 50 - h, 100 - h);
  expectAt(doc, pushed, 1, 250 + h, 100 - h);

  setLineEntries(doc, pushed, {I(100, kOLineWholeLine), I(101, ref << 16)});
  EXPECT_EQ(MakeOLine(doc, pushed), -1);
  setLineEntries(doc, pushed,
                 {I(100, kOLineWholeLine), I(101, 77 << 16), I(102, centre * 65536), F(103, 1)});
  EXPECT_EQ(MakeOLine(doc, pushed), -1);
}

// --- connections ---------------------------------------------------------------------------------

struct Connect {
  Document doc;
  int wall = -1, targets = -1, o = -1;
  Connect() {
    wall = addLine(doc, {{50, -100, 0}, {50, 100, 0}});
    targets = addLine(doc, {{100, 0, 0}, {20, 50, 0}, {50, 60, 0}, {0, -40, 0}});
    o = decorative(doc, 1);
  }
  int32_t target(int i) const { return targets * 65536 + i * 256; }
  int32_t wallRange() const { return wall * 65536 + 0 * 256 + 1; }
  void groups(const std::vector<ParamEntry>& g) {
    std::vector<ParamEntry> run{I(180, 0)};
    run.insert(run.end(), g.begin(), g.end());
    setRun(doc, o, 0, run);
    pt(doc, o, 0).vx = pt(doc, o, 0).vy = 0;
    ASSERT_EQ(ConnectOLine(doc, o), 1);
  }
};

TEST(OLineConnect, GroupsSnapToTheFirstTargetWhoseTestsAllowIt) {
  Connect c;
  c.groups({I(181, c.target(0), 11)});  // no condition: always snaps
  expectAt(c.doc, c.o, 0, 100, 0);

  // The path to target 0 crosses the wall, so the next group's target is taken.
  c.groups({I(181, c.target(0), 11), I(181, c.wallRange(), 101), I(181, c.target(1), 11),
            I(181, c.wallRange(), 101)});
  expectAt(c.doc, c.o, 0, 20, 50);
  c.groups({I(181, c.target(1), 11), I(181, c.wallRange(), 102), I(181, c.target(0), 11),
            I(181, c.wallRange(), 102)});
  expectAt(c.doc, c.o, 0, 100, 0);
  // A target on the wall itself is reached without crossing it.
  c.groups({I(181, c.target(2), 11), I(181, c.wallRange(), 101)});
  expectAt(c.doc, c.o, 0, 50, 60);

  // An invalid target skips its group; with nothing left the point stays.
  c.groups({I(181, 90 * 65536, 11), I(181, c.target(0), 11), I(181, c.wallRange(), 101)});
  expectAt(c.doc, c.o, 0, 0, 0);
  // Of several crossing conditions the last decides: here the path crosses the wall, so 102
  // last snaps and 101 last goes on.
  c.groups({I(181, c.target(0), 11), I(181, c.wallRange(), 101), I(181, c.wallRange(), 102)});
  expectAt(c.doc, c.o, 0, 100, 0);
  c.groups({I(181, c.target(0), 11), I(181, c.wallRange(), 102), I(181, c.wallRange(), 101)});
  expectAt(c.doc, c.o, 0, 0, 0);
  // A further condition still holds the point back whatever the crossing test says.
  c.groups({I(181, c.target(0), 11), I(181, c.wallRange(), 102),
            ParamEntry::ofFloat(181, kMaxDistance, 50.0f)});
  expectAt(c.doc, c.o, 0, 0, 0);
}

TEST(OLineConnect, FurtherConditionsAndSnappingOntoALine) {
  Connect c;
  c.groups({I(181, c.target(0), 11), ParamEntry::ofFloat(181, kMaxDistance, 50.0f),
            I(181, c.target(3), 11)});
  expectAt(c.doc, c.o, 0, 0, -40);  // target 0 is 100 away
  c.groups({I(181, c.target(0), 11), ParamEntry::ofFloat(181, kMinDistance, 50.0f)});
  expectAt(c.doc, c.o, 0, 100, 0);

  // Direction from target 3 (0, -40) through target 0: the point (0, 0) lies to its right as
  // seen on screen; a same-side point at (100, 60) agrees, one at (0, -100) does not.
  const int sides = addLine(c.doc, {{100, 60, 0}, {0, -100, 0}});
  c.groups({I(181, c.target(0), 11), I(181, c.target(3), kDirectionRef),
            I(181, sides * 65536, kSameSidePoint)});
  expectAt(c.doc, c.o, 0, 100, 0);
  c.groups({I(181, c.target(0), 11), I(181, c.target(3), kDirectionRef),
            I(181, sides * 65536 + 256, kSameSidePoint), I(181, c.target(1), 11)});
  expectAt(c.doc, c.o, 0, 20, 50);
  c.groups({I(181, c.target(0), 11), I(181, c.target(3), kDirectionRef),
            I(181, sides * 65536 + 256, kOppositeSidePoint)});
  expectAt(c.doc, c.o, 0, 100, 0);

  // Onto a line: the nearest point of the wall, between its points 0 and 1.
  c.groups({I(181, c.wall * 65536 + 0 * 256 + 1, 12)});
  expectAt(c.doc, c.o, 0, 50, 0);
}

TEST(OLineConnect, TwoPointLineSpansStartAndEnd) {
  Document doc;
  const int j = addLine(doc, {{50, -50, 0}}, 4);
  const int ends = addLine(doc, {{0, 0, 0}, {100, 0, 0}});
  const int o = decorative(doc, 2, kOLineTwoPoint);
  setLineEntries(doc, o,
                 {I(100, kOLineTwoPoint), I(101, j * 65536), I(102, ends * 65536),
                  I(103, ends * 65536 + 256)});
  setRun(doc, o, 0,
         {I(150, 0), F(151, 0.5f), F(151, 0.5f), F(151, 0.5f), F(151, 1), F(152, 20), F(152, 20),
          F(152, 20), F(152, 1)});
  pt(doc, o, 1).vx = 9;
  ASSERT_EQ(ConnectOLine(doc, o), 1);
  expectAt(doc, o, 0, 50, -20);       // towards the reference point's side
  EXPECT_EQ(pt(doc, o, 1).vx, 9.0f);  // no run: stays
  EXPECT_EQ(MakeOLine(doc, o), 1);

  setLineEntries(doc, o, {I(100, kOLineTwoPoint), I(102, ends * 65536), I(103, ends * 65536)});
  EXPECT_EQ(ConnectOLine(doc, o), -1);
}

// --- the panel -----------------------------------------------------------------------------------

TEST(OLinePanel, EditingTheWorkingList) {
  OLineWork w;
  setOLineMethod(w, 1);
  ASSERT_EQ(w.items.size(), 12u);
  EXPECT_TRUE(w.items[1].hex);
  EXPECT_FALSE(w.items[4].hex);

  setOLineMethod(w, 0);
  ASSERT_TRUE(addOLineItem(w, 160, 0, "2.5"));
  ASSERT_EQ(w.items.size(), 5u);
  ASSERT_TRUE(deleteOLineItem(w, 2));
  ASSERT_EQ(w.items.size(), 4u);
  EXPECT_EQ(w.items[0].entry.key, 150);
  EXPECT_EQ(w.items[1].entry.key, 151);
  EXPECT_EQ(w.items[2].entry.key, 153);
  EXPECT_EQ(w.items[3].entry.key, 160);
  EXPECT_FALSE(deleteOLineItem(w, 4));

  ASSERT_TRUE(insertOLineItem(w, 1, 151, 0, "0x00030201"));
  EXPECT_EQ(w.items[1].entry.value, 0x00030201u);
  EXPECT_TRUE(replaceOLineItem(w, 2, 152, 0, "0001ff00"));
  EXPECT_EQ(w.items[2].entry.value, 0x0001ff00u);
  const OLineWork before = w;
  EXPECT_FALSE(replaceOLineItem(w, 3, 153, 0, "twelve"));     // a float entry
  EXPECT_FALSE(replaceOLineItem(w, 2, 152, 0, "123456789"));  // nine hex digits
  EXPECT_FALSE(replaceOLineItem(w, 9, 152, 0, "1"));
  EXPECT_EQ(w.items, before.items);
  EXPECT_TRUE(replaceOLineItem(w, 3, 153, 0, "-7.25"));
  EXPECT_EQ(w.items[3].entry.asFloat(), -7.25f);

  while (w.items.size() < size_t(kOLineWorkLimit)) ASSERT_TRUE(addOLineItem(w, 170, 0, "0"));
  EXPECT_FALSE(addOLineItem(w, 170, 0, "0"));
  EXPECT_FALSE(insertOLineItem(w, 0, 170, 0, "0"));
  EXPECT_EQ(w.items.size(), size_t(kOLineWorkLimit));
}

TEST(OLinePanel, ListingRewritesFixedKindsAndFormats) {
  OLineWork w;
  setOLineMethod(w, 0);
  w.items[0].entry.key = 999;  // fixed entries get their kinds back, values kept
  w.items[1].entry.setInt(0x00010203);
  w.items[3].entry.setFloat(10.0f);
  const std::vector<std::string> lines = oLineListing(w);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(w.items[0].entry.key, 150);
  EXPECT_EQ(lines[0], "   point:150,  0,00000064");
  EXPECT_EQ(lines[1], "  基準点:151,  0,L:0001 P:002,A03");
  EXPECT_EQ(lines[3], "    距離:153,  0,10.0000");

  setOLineMethod(w, 3);
  ASSERT_TRUE(addOLineItem(w, 181, 101, "00020105"));
  const auto c = oLineListing(w);
  EXPECT_EQ(c[0], "    接続:180,  0,00000000");
  EXPECT_EQ(c[1], "  接続点:181, 11,L:0000 P:000,A00");
  EXPECT_EQ(c[2], "接続条件:181,101,L:0002 S:001 E:005");
  EXPECT_EQ(formatOLineValue(w.items[2]), "00020105");
  ASSERT_TRUE(addOLineItem(w, 181, 102, "00020105"));  // only n = 101 is "接続条件"
  EXPECT_EQ(oLineListing(w)[3], "  接続点:181,102,L:0002 S:001 E:005");
}

TEST(OLinePanel, LoadCommitRoundTrip) {
  Document doc;
  const int body = addLine(doc, {{0, 0, 0}, {10, 0, 0}});
  const int o = decorative(doc, 2, kOLineWholeLine);
  OLineWork w;
  EXPECT_EQ(loadOLineWork(doc, o, 5, w), -1);
  ASSERT_EQ(loadOLineWork(doc, o, 0, w), 1);  // nothing stored: the method's defaults
  EXPECT_EQ(w.method, 0);
  ASSERT_EQ(w.items.size(), 4u);

  setOLineMethod(w, 2);
  ASSERT_TRUE(replaceOLineItem(w, 1, 151, 0, "00000000"));
  ASSERT_TRUE(replaceOLineItem(w, 4, 152, 0, "3.5"));
  ASSERT_TRUE(addOLineItem(w, 120, 0, "1"));  // out of key order: sorted on commit
  replaceKindRange(pt(doc, o, 0), 1, 1, std::vector<ParamEntry>{F(1, 8)});
  ASSERT_EQ(commitOLineWork(doc, o, 0, w), 1);
  const ParamList& p = pt(doc, o, 0).params;
  EXPECT_TRUE(lines_test::wellFormed(p));
  EXPECT_EQ(p.size(), 1u + 6u + 1u);
  EXPECT_EQ(lines_test::paramValue(p, 1), 8.0f);
  EXPECT_EQ(lines_test::paramValue(doc.lines[size_t(o)].params, 100), 0.0f);
  EXPECT_EQ(doc.lines[size_t(o)].params[0].asInt(), kOLinePointByPoint);

  OLineWork back;
  ASSERT_EQ(loadOLineWork(doc, o, 0, back), 1);
  EXPECT_EQ(back.method, 2);
  ASSERT_EQ(back.items.size(), 5u);
  EXPECT_EQ(back.items[4].entry.asFloat(), 3.5f);
  EXPECT_EQ(MakeOLine(doc, o), 1);
  EXPECT_FLOAT_EQ(pt(doc, o, 0).vz, 3.5f);  // frame of line 0 point 0

  // A point with a connection run loads as method 3 when the panel shows it or it has no 150.
  setRun(doc, o, 1, {I(180, 0), I(181, body * 65536, 11), I(181, 0, 101)});
  ASSERT_EQ(loadOLineWork(doc, o, 1, back), 1);
  EXPECT_EQ(back.method, 3);
  EXPECT_EQ(back.items.size(), 3u);
  EXPECT_EQ(commitOLineWork(doc, o, 9, back), -1);
}

TEST(OLineFit, FittedPointsArePlacedWhereTheyWere) {
  Document doc;
  const int ref = addLine(doc, {{0, 100, 0}, {100, 100, 0}, {200, 100, 0}}, 4);
  const int mark = addLine(doc, {{100, 0, 0}, {0, 0, -9}});
  const int o = decorative(doc, 3);
  const float shape[3][2] = {{0, 90}, {100, 80}, {200, 130}};
  auto draw = [&] {
    for (int i = 0; i < 3; ++i) {
      pt(doc, o, i).vx = shape[i][0];
      pt(doc, o, i).vy = shape[i][1];
      pt(doc, o, i).vz = 0;
    }
  };
  auto check = [&](int method) {
    for (int i = 0; i < 3; ++i) pt(doc, o, i).vx = pt(doc, o, i).vy = -1;
    ASSERT_EQ(MakeOLine(doc, o), 1);
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(method);
      expectAt(doc, o, i, shape[i][0], shape[i][1]);
    }
  };

  OLineWork w;
  setOLineMethod(w, 0);
  w.items[1].entry.setInt(ref * 65536);
  w.items[2].entry.setInt(mark * 65536);
  draw();
  ASSERT_EQ(fitOLine(doc, o, w), 3);
  EXPECT_FLOAT_EQ(lines_test::paramValue(pt(doc, o, 2).params, 153), -30.0f);
  check(0);

  setOLineMethod(w, 1);
  w.items[1].entry.setInt(ref * 65536 + 256);
  w.items[2].entry.setInt(ref * 65536 + 512);
  w.items[3].entry.setInt(mark * 65536 + 256);  // behind the reference: angles mirrored
  pt(doc, ref, 1).unitZ = {100.5f, 100.5f, 0.5f};
  draw();
  ASSERT_EQ(fitOLine(doc, o, w), 3);
  check(1);

  setOLineMethod(w, 2);
  w.items[1].entry.setInt(ref * 65536 + 256);
  pt(doc, ref, 1).unitX = {100, 101, 0};
  pt(doc, ref, 1).unitY = {99, 100, 0};
  draw();
  ASSERT_EQ(fitOLine(doc, o, w), 3);
  check(2);

  // Refusals change nothing.
  const auto before = doc.lines[size_t(o)];
  w.items[1].entry.setInt(88 * 65536);
  EXPECT_EQ(fitOLine(doc, o, w), -1);
  setOLineMethod(w, 3);
  EXPECT_EQ(fitOLine(doc, o, w), -1);
  EXPECT_EQ(doc.lines[size_t(o)], before);
}

}  // namespace
}  // namespace tovala
