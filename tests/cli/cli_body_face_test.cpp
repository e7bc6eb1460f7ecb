#include <gtest/gtest.h>

#include "engine/face_sample.h"
#include "model/document.h"
#include "model/project_file.h"
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
