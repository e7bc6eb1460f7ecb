#include <gtest/gtest.h>

#include <cmath>

#include "engine/face_sample.h"
#include "model/document.h"
#include "model/object_depth.h"
#include "model/project_file.h"
#include "platform/ui.h"
#include "support/test_support.h"

namespace tovala {
namespace {

using test::runCli;
using test::TempDir;

TEST(CliBodyFace, BodyModelIsTheSameFileEveryTimeAndTakesAFace) {
  TempDir dir;
  auto r = runCli({"body-model", "-o", dir.file("a.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  r = runCli({"body-model", "-o", dir.file("b.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::readFileBytes(dir.file("a.tov")), test::readFileBytes(dir.file("b.tov")));
  EXPECT_EQ(runCli({"body-model"}).status, 2);
  EXPECT_EQ(runCli({"body-model", "extra", "-o", dir.file("c.tov")}).status, 2);

  // The face goes onto the figure's head joint (point number 10) at half the reference size.
  test::writeFileBytes(dir.file("face.fmk"), test::sampleFace().bytes());
  r = runCli({"face", dir.file("a.tov"), dir.file("face.fmk"), "-o", dir.file("f.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  Document doc;
  ASSERT_TRUE(loadProject(doc, dir.file("f.tov"), true));
  EXPECT_EQ(doc.objectCount(), 77 + 22 + 1);
  int controllers = 0, tens = 0;
  for (const LineRecord& l : doc.lines) {
    controllers += l.nam == 463 ? 1 : 0;
    for (const PointRecord& p : l.points) tens += p.nam == 10 ? 1 : 0;
  }
  EXPECT_EQ(controllers, 1);
  EXPECT_EQ(tens, 1);

  // A second face on the same head builds on its own lines: the figure's and the first face's
  // lines and objects stay as they were, and it brings 22 objects of its own.
  r = runCli({"face", dir.file("f.tov"), dir.file("face.fmk"), "-o", dir.file("g.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  Document twice;
  ASSERT_TRUE(loadProject(twice, dir.file("g.tov"), true));
  ASSERT_EQ(twice.objectCount(), 77 + 2 * 22 + 1);
  for (int i = 0; i + 1 < doc.objectCount(); ++i)
    EXPECT_TRUE(twice.objects[size_t(i)] == doc.objects[size_t(i)]) << i;
  for (int i = 0; i + 1 < doc.lineCount(); ++i)
    EXPECT_TRUE(twice.lines[size_t(i)] == doc.lines[size_t(i)]) << i;
  for (int i = 77 + 22; i < 77 + 2 * 22; ++i)
    for (int k = 0; k < 64 && twice.objects[size_t(i)].c[size_t(k)] >= 0; ++k)
      EXPECT_GE(twice.objects[size_t(i)].c[size_t(k)], doc.lineCount() - 1) << i;
}

// The body model's lines hold every packed reference of the figure: co-rotating points, hit
// partners and hit directions (point and axis), connecting-line anchors, program arguments and
// the objects' pieces. Its parts file merged into an empty document must give each one back.
TEST(CliBodyFace, BodyModelPartsMergedIntoAnEmptyDocumentKeepEveryReference) {
  TempDir dir;
  ASSERT_EQ(runCli({"body-model", "-o", dir.file("body.tov")}).status, 0);
  {
    HeadlessUi ui;
    Document empty;
    empty.ui = &ui;
    ASSERT_TRUE(saveProject(empty, dir.file("empty.tov"), true));
  }
  auto r = runCli({"parts-save", dir.file("body.tov"), "-o", dir.file("body.tovp")});
  ASSERT_EQ(r.status, 0) << r.err;
  r = runCli(
      {"parts-merge", dir.file("empty.tov"), dir.file("body.tovp"), "-o", dir.file("merged.tov")});
  ASSERT_EQ(r.status, 0) << r.err;

  Document body, merged;
  ASSERT_TRUE(loadProject(body, dir.file("body.tov"), true));
  ASSERT_TRUE(loadProject(merged, dir.file("merged.tov"), true));
  ASSERT_EQ(merged.lineCount(), body.lineCount());
  int directions = 0;
  for (int i = 0; i + 1 < body.lineCount(); ++i) {
    const LineRecord& want = body.lines[size_t(i)];
    const LineRecord& got = merged.lines[size_t(i)];
    EXPECT_EQ(got.params, want.params) << "line " << i;
    EXPECT_EQ(got.code, want.code) << "line " << i;
    ASSERT_EQ(got.points.size(), want.points.size()) << "line " << i;
    for (size_t p = 0; p < want.points.size(); ++p) {
      EXPECT_EQ(got.points[p].params, want.points[p].params) << "line " << i << " point " << p;
      for (const ParamEntry& e : want.points[p].params)
        directions += want.kind == 4 && e.key % 100 == 4 && e.key / 100 >= 1 && e.key / 100 <= 9 &&
                      (e.value & 0xFFFF) > 0xFF;
    }
  }
  // The figure does use directions whose point is not 0, the references a merge used to lose.
  EXPECT_GT(directions, 0);
  EXPECT_EQ(merged.objects, body.objects);
}

// The same parts merged behind three lines of another document pose as the figure itself does:
// every reference the programs, connecting lines, hit guides and objects follow names the
// merged line it named in the figure.
TEST(CliBodyFace, BodyModelPartsMergedBehindOtherLinesPoseLikeTheFigure) {
  TempDir dir;
  ASSERT_EQ(runCli({"body-model", "-o", dir.file("body.tov")}).status, 0);
  {
    HeadlessUi ui;
    Document body;
    body.ui = &ui;
    ASSERT_TRUE(loadProject(body, dir.file("body.tov"), true));
    // Every batch joint turned, so the hit guides' directions and sides matter.
    for (LineRecord& l : body.lines)
      for (PointRecord& p : l.points)
        if (p.kind == 1000) p.radz = 0.3f, p.radx = -0.2f;
    ASSERT_TRUE(saveProject(body, dir.file("body.tov"), true));
    Document other;
    other.ui = &ui;
    for (int i = 0; i < 3; ++i) {
      LineRecord l = other.makeDefaultLine();
      l.nam = 90000 + i;
      other.lines.insert(other.lines.end() - 1, l);
      other.lineOrder.push_back(int32_t(other.lineOrder.size()));
    }
    ASSERT_TRUE(saveProject(other, dir.file("other.tov"), true));
  }
  ASSERT_EQ(runCli({"parts-save", dir.file("body.tov"), "-o", dir.file("body.tovp")}).status, 0);
  auto r = runCli(
      {"parts-merge", dir.file("other.tov"), dir.file("body.tovp"), "-o", dir.file("merged.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* name : {"body", "merged"}) {
    r = runCli({"pose", dir.file(std::string(name) + ".tov"), "-o",
                dir.file(std::string(name) + "-posed.tov")});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  Document body, merged;
  ASSERT_TRUE(loadProject(body, dir.file("body-posed.tov"), true));
  ASSERT_TRUE(loadProject(merged, dir.file("merged-posed.tov"), true));
  ASSERT_EQ(merged.lineCount(), body.lineCount() + 3);
  int differing = 0;
  for (int l = 0; l + 1 < body.lineCount(); ++l) {
    const auto& want = body.lines[size_t(l)].points;
    const auto& got = merged.lines[size_t(l + 3)].points;
    ASSERT_EQ(got.size(), want.size()) << l;
    for (size_t i = 0; i + 1 < want.size(); ++i)
      differing += std::fabs(got[i].vx - want[i].vx) > 1e-3f ||
                   std::fabs(got[i].vy - want[i].vy) > 1e-3f ||
                   std::fabs(got[i].vz - want[i].vz) > 1e-3f;
  }
  EXPECT_EQ(differing, 0);
  // The objects take their depth from the same points.
  ASSERT_EQ(merged.objectCount(), body.objectCount());
  for (int i = 0; i + 1 < body.objectCount(); ++i)
    EXPECT_FLOAT_EQ(objectDepth(merged, merged.objects[size_t(i)]),
                    objectDepth(body, body.objects[size_t(i)]))
        << i;
}

TEST(CliBodyFace, RefusedFaceWritesNothing) {
  TempDir dir;
  ASSERT_EQ(runCli({"body-model", "-o", dir.file("a.tov")}).status, 0);
  auto bytes = test::sampleFace().bytes();
  bytes.resize(bytes.size() / 2);
  test::writeFileBytes(dir.file("cut.fmk"), bytes);
  auto r = runCli({"face", dir.file("a.tov"), dir.file("cut.fmk"), "-o", dir.file("f.tov")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("エラー: 読込が出来ません。"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.file("f.tov")));
  EXPECT_EQ(runCli({"face", dir.file("a.tov"), "-o", dir.file("f.tov")}).status, 2);
}

}  // namespace
}  // namespace tovala
