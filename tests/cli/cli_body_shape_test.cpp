#include <gtest/gtest.h>

#include <filesystem>

#include "model/document.h"
#include "model/project_file.h"
#include "platform/ui.h"
#include "script/body_model.h"
#include "script/body_shape.h"
#include "script/body_shape_file.h"
#include "script/line_programs.h"
#include "support/test_support.h"

namespace tovala {
namespace {

using test::runCli;
using test::TempDir;

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// The project the core builds for `shape`, as the file body-model writes.
std::vector<uint8_t> projectFor(const BodyShape& shape, TempDir& dir) {
  installScriptHooks();
  Document doc;
  createBodyModel(doc, shape);
  const std::string path = dir.file("expected.tov");
  EXPECT_TRUE(saveProject(doc, path, true));
  return test::readFileBytes(path);
}

TEST(CliBodyShape, PresetsAndShapeFilesBuildTheirBodyAndKeepTheShapeBeside) {
  TempDir dir;
  auto r = runCli({"body-model", "--preset", "ちび", "-o", dir.file("c.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  const BodyShape chibi = findBodyShapePreset("chibi")->shape;
  EXPECT_EQ(test::readFileBytes(dir.file("c.tov")), projectFor(chibi, dir));
  BodyShape kept;
  std::string reason;
  ASSERT_TRUE(loadBodyShapeFile(dir.file("c.tovshape"), kept, reason)) << reason;
  EXPECT_EQ(kept, chibi);

  // A shape file: a preset changed by one value.
  test::writeFileBytes(dir.file("tall.json"), bytesOf(R"({"preset": "model", "legs": 1.2})"));
  r = runCli({"body-model", "--shape", dir.file("tall.json"), "-o", dir.file("t.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  BodyShape tall = findBodyShapePreset("model")->shape;
  tall.legs = 1.2;
  EXPECT_EQ(test::readFileBytes(dir.file("t.tov")), projectFor(tall, dir));

  // The standard preset is the figure without options, byte for byte.
  ASSERT_EQ(runCli({"body-model", "-o", dir.file("plain.tov")}).status, 0);
  ASSERT_EQ(runCli({"body-model", "--preset", "standard", "-o", dir.file("std.tov")}).status, 0);
  EXPECT_EQ(test::readFileBytes(dir.file("plain.tov")), test::readFileBytes(dir.file("std.tov")));
}

TEST(CliBodyShape, RefusesBadShapesAndUsageWritingNothing) {
  TempDir dir;
  test::writeFileBytes(dir.file("bad.json"), bytesOf(R"({"heads": 12})"));
  auto r = runCli({"body-model", "--shape", dir.file("bad.json"), "-o", dir.file("x.tov")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("エラー: 体型ファイルを読み込めません。"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("heads: 2 から 9 までです"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.tov")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.tovshape")));

  EXPECT_EQ(runCli({"body-model", "--preset", "giant", "-o", dir.file("x.tov")}).status, 2);
  EXPECT_EQ(runCli({"body-model", "--preset", "chibi", "--shape", dir.file("bad.json"), "-o",
                    dir.file("x.tov")})
                .status,
            2);
  EXPECT_EQ(runCli({"body-model", "--shape", "-o", dir.file("x.tov")}).status, 2);
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.tov")));
}

}  // namespace
}  // namespace tovala
