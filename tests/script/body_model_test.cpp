#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "engine/cline.h"
#include "engine/objects.h"
#include "engine/param_splice.h"
#include "model/document.h"
#include "model/project_file.h"
#include "platform/ui.h"
#include "script/body_model.h"
#include "script/body_tables.h"
#include "script/line_programs.h"
#include "support/body_model_fixture.h"

namespace tovala {
namespace {

const Document& figure() { return test::sharedBodyModel(); }

int lineNumbered(const Document& doc, int32_t nam) {
  for (int l = 0; l + 1 < doc.lineCount(); ++l)
    if (doc.lines[size_t(l)].nam == nam) return l;
  return -1;
}

const PointRecord& pointOf(const Document& doc, const std::string& outline, int point) {
  const int k = body::bodyTables().outline(outline);
  const LineRecord& l = doc.lines[size_t(32 + k)];
  return l.points[size_t(point < 0 ? l.pointCount() - 1 + point : point)];
}

double gap(const PointRecord& a, const PointRecord& b) {
  return std::hypot(a.vx - b.vx, a.vy - b.vy);
}

TEST(BodyModel, HasTheStatedStructure) {
  const Document& doc = figure();
  // Line 0 with its nine-entry program.
  const LineRecord& zero = doc.lines[0];
  EXPECT_EQ(zero.nam, 0);
  const CodeList expected = {{0xFF, 0},          {0x20, 0x02020001}, {0x20, 0x0202001A},
                             {0x20, 0x0202001B}, {0x20, 0x02020004}, {0x20, 0x02020003},
                             {0x20, 0x0202001E}, {0x20, 0x0202001F}, {0xFF, 0}};
  EXPECT_EQ(zero.code, expected);
  EXPECT_EQ(zero.codeChanged, 1);
  ASSERT_EQ(zero.pointCount(), 2);
  EXPECT_FLOAT_EQ(zero.points[0].vx, 10);
  EXPECT_FLOAT_EQ(zero.points[0].v0y, 10);

  // Joint lines 1..31 in five categories, 108 points, each line's first point a batch joint.
  const int categoryOf[] = {0, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 3, 3,
                            3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, 5, 5};
  int points = 0;
  for (int l = 1; l <= 31; ++l) {
    const LineRecord& line = doc.lines[size_t(l)];
    EXPECT_EQ(line.nam, l);
    EXPECT_EQ(line.kind, 4);
    EXPECT_EQ(line.category, categoryOf[l]) << l;
    EXPECT_EQ(line.points[0].kind, 1000) << l;
    points += line.pointCount() - 1;
  }
  EXPECT_EQ(points, 108);

  // 150 connecting lines, then line 264 (once) with its 249-entry program.
  int clines = 0;
  for (const LineRecord& l : doc.lines) clines += l.mode == kCLineMode ? 1 : 0;
  EXPECT_EQ(clines, 150);
  const int controller = lineNumbered(doc, 264);
  ASSERT_EQ(controller, 182);
  EXPECT_EQ(doc.lineCount(), 184);
  EXPECT_EQ(doc.lines[size_t(controller)].codeCount(), 249);
  EXPECT_EQ(doc.lines[size_t(controller)].code.front(), (CodeEntry{0xFF, 0}));
  EXPECT_EQ(doc.lines[size_t(controller)].code.back(), (CodeEntry{0xFF, 0}));

  // Twelve co-rotation runs; hit guides; no parameter list past 63 entries.
  int runs = 0, guides = 0;
  for (const LineRecord& l : doc.lines)
    for (const PointRecord& p : l.points) {
      EXPECT_LE(p.paramCount(), kMaxPointParams);
      runs += findParam(p.params, kCoRotationKey) >= 0 ? 1 : 0;
      guides += findParam(p.params, 100) >= 0 && l.kind == 4 ? 1 : 0;
    }
  EXPECT_EQ(runs, 12);
  EXPECT_GE(guides, 1);
  // The head joint is point number 10, so a face takes it as its reference joint.
  EXPECT_EQ(doc.lines[2].points[1].nam, 10);
}

TEST(BodyModel, ObjectsAreNamedInOrderAndReferToTheirLines) {
  const Document& doc = figure();
  ASSERT_EQ(doc.objectCount(), 78);
  const char* const first[] = {"左足上",       "右足上",        "左尻", "右尻",   "左上腕",
                               "右上腕",       "左肩",          "右肩", "左下腕", "右下腕",
                               "左下足",       "右下足",        "左乳", "右乳",   "左手親指第二",
                               "左手親指第一", "左手人差指第三"};
  for (size_t i = 0; i < std::size(first); ++i) EXPECT_EQ(objectName(doc.objects[i]), first[i]);
  EXPECT_EQ(objectName(doc.objects[28]), "左手");
  EXPECT_EQ(objectName(doc.objects[29]), "右手親指第二");
  EXPECT_EQ(objectName(doc.objects[43]), "右手");
  EXPECT_EQ(objectName(doc.objects[44]), "左足親指第二");
  EXPECT_EQ(objectName(doc.objects[58]), "左足");
  EXPECT_EQ(objectName(doc.objects[73]), "右足");
  EXPECT_EQ(objectName(doc.objects[74]), "頭");
  EXPECT_EQ(objectName(doc.objects[75]), "首");
  EXPECT_EQ(objectName(doc.objects[76]), "胴");
  std::set<int32_t> numbers;
  for (int i = 0; i < 77; ++i) {
    const ObjectRecord& o = doc.objects[size_t(i)];
    numbers.insert(o.header[kObjectNumber]);
    ASSERT_GT(objectPieceCount(o), 0) << i;
    for (int k = 0; k < objectPieceCount(o); ++k)
      EXPECT_EQ(doc.lines[size_t(o.c[size_t(k)])].mode, kCLineMode) << i;
  }
  EXPECT_EQ(numbers.size(), 77u);
}

TEST(BodyModel, RunningItTwiceGivesTheSameDocument) {
  Document a, b;
  createBodyModel(a);
  a.lines[5].points[0].vx += 40;  // whatever was there before is replaced
  createBodyModel(a);
  createBodyModel(b);
  EXPECT_EQ(writeProjectPayload(a), writeProjectPayload(b));
  EXPECT_EQ(writeProjectPayload(a), writeProjectPayload(figure()));
}

TEST(BodyModel, DoesNothingInMotionMode) {
  Document doc;
  doc.edit.mode = 5;
  EXPECT_EQ(createBodyModel(doc), -1);
  EXPECT_EQ(doc.lineCount(), 1);
}

// Posing: the outline pieces stay joined at every joint the pose bends.
TEST(BodyModel, OutlinesStayJoinedWhenPosed) {
  Document doc;
  createBodyModel(doc);
  doc.lines[8].points[0].radz = 0.8f;    // left shoulder
  doc.lines[8].points[1].radz = 1.4f;    // left elbow
  doc.lines[14].points[1].radx = -1.1f;  // right elbow, towards the viewer
  doc.lines[20].points[0].radz = 0.4f;   // left hip
  doc.lines[26].points[1].radz = 1.2f;   // right knee
  doc.lines[2].points[0].radz = 0.3f;    // neck
  doc.RadY = 0.5f;                       // the whole figure
  const PointRecord foreBefore = pointOf(doc, "foreOuterL", -1);
  ASSERT_EQ(runLinePrograms(doc, 0, 0), 0);
  EXPECT_GT(gap(foreBefore, pointOf(doc, "foreOuterL", -1)), 50);  // the forearm moved

  constexpr double kJoined = 0.01;
  for (const char* s : {"L", "R"}) {
    const std::string S = s;
    EXPECT_LT(gap(pointOf(doc, "upperOuter" + S, -1), pointOf(doc, "foreOuter" + S, 0)), kJoined);
    EXPECT_LT(gap(pointOf(doc, "upperInner" + S, -1), pointOf(doc, "foreInner" + S, 0)), kJoined);
    EXPECT_LT(gap(pointOf(doc, "foreOuter" + S, -1), pointOf(doc, "palmThumb" + S, 0)), kJoined);
    EXPECT_LT(gap(pointOf(doc, "thighOuter" + S, -1), pointOf(doc, "shinOuter" + S, 0)), kJoined);
    EXPECT_LT(gap(pointOf(doc, "thighInner" + S, -1), pointOf(doc, "shinInner" + S, 0)), kJoined);
    EXPECT_LT(gap(pointOf(doc, "shinInner" + S, -1), pointOf(doc, "footInner" + S, 0)), kJoined);
    // Shoulder, armpit, hip and neck: the bridging lines run from the torso to the limb.
    EXPECT_LT(gap(pointOf(doc, "shoulder" + S, -1), pointOf(doc, "upperOuter" + S, 0)), kJoined);
    EXPECT_LT(gap(pointOf(doc, "upperInner" + S, 0), pointOf(doc, "torso" + S, 3)), kJoined);
    EXPECT_LT(gap(pointOf(doc, "buttock" + S, 0), pointOf(doc, "torso" + S, -1)), kJoined);
    EXPECT_LT(gap(pointOf(doc, "buttock" + S, -1), pointOf(doc, "thighOuter" + S, 0)), kJoined);
    EXPECT_LT(gap(pointOf(doc, "neck" + S, 0), pointOf(doc, "torso" + S, 0)), kJoined);
  }
  EXPECT_LT(gap(pointOf(doc, "crotch", 0), pointOf(doc, "thighInnerL", 0)), kJoined);
  EXPECT_LT(gap(pointOf(doc, "crotch", -1), pointOf(doc, "thighInnerR", 0)), kJoined);

  // Back to the reference pose, the figure is where it was built.
  Document rest;
  createBodyModel(rest);
  for (PointRecord* p :
       {&doc.lines[8].points[0], &doc.lines[8].points[1], &doc.lines[14].points[1],
        &doc.lines[20].points[0], &doc.lines[26].points[1], &doc.lines[2].points[0]})
    p->radx = p->rady = p->radz = 0;
  doc.RadY = 0;
  ASSERT_EQ(runLinePrograms(doc, 0, 0), 0);
  for (int l = 1; l + 1 < doc.lineCount(); ++l)
    for (int i = 0; i + 1 < doc.pointCount(l); ++i)
      ASSERT_LT(
          gap(doc.lines[size_t(l)].points[size_t(i)], rest.lines[size_t(l)].points[size_t(i)]),
          0.01)
          << l << ":" << i;
}

TEST(BodyModel, RefusesBrokenTablesPieceByPiece) {
  body::BodyTables t = body::bodyTables();
  // An outline hung from a joint that does not exist is left out, with a message.
  t.outlines[0].from = 9999;
  // A hit guide that would pass 63 entries is left out, with a message: the head top already
  // carries one guide (38 entries), another 37 do not fit.
  t.guides.push_back({202, 203});
  Document doc;
  RecordingUi ui;
  doc.ui = &ui;
  ASSERT_EQ(createBodyModel(doc, t), 1);
  int init = 0, memory = 0;
  for (const auto& s : ui.shown) {
    init += s.text == "初期化エラー" && s.caption == "メッセージ" ? 1 : 0;
    memory += s.text == "メモリーエラー" && s.caption == "err" ? 1 : 0;
  }
  EXPECT_EQ(init, 1);
  EXPECT_EQ(memory, 1);
  int clines = 0;
  for (const LineRecord& l : doc.lines) clines += l.mode == kCLineMode ? 1 : 0;
  EXPECT_EQ(clines, 149);
  for (const LineRecord& l : doc.lines)
    for (const PointRecord& p : l.points) EXPECT_LE(p.paramCount(), kMaxPointParams);
}

}  // namespace
}  // namespace tovala
