// tovala-cli pose-save and pose --apply / --mirror on the body model, through the executable.

#include <gtest/gtest.h>

#include <fstream>

#include "support/test_support.h"

namespace tovala {
namespace {

using test::readFileBytes;
using test::runCli;
using test::TempDir;

TEST(CliPose, SavedPoseAppliedMirroredAndDamagedFilesRefused) {
  TempDir dir;
  ASSERT_EQ(runCli({"body-model", "-o", dir.file("body.tov")}).status, 0);
  // A pose with the left arm raised: the shoulder (line 8, point 800) turned about z.
  auto r = runCli({"pose-save", dir.file("body.tov"), "-o", dir.file("rest.json")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<uint8_t> rest = readFileBytes(dir.file("rest.json"));
  std::string text(rest.begin(), rest.end());
  const std::string shoulder = R"({"line": 8, "point": 800, "vdx": 0, "vdy": 0, "vdz": 0, )"
                               R"("radx": 0, "rady": 0, "radz": 0})";
  const size_t at = text.find(shoulder);
  ASSERT_NE(at, std::string::npos);
  text.replace(at, shoulder.size(),
               R"({"line": 8, "point": 800, "vdx": 0, "vdy": 0, )"
               R"("vdz": 0, "radx": 0, "rady": 0, "radz": 0.75})");
  std::ofstream(dir.file("raised.json"), std::ios::binary) << text;

  // Applied, then saved again: the same pose file, byte for byte.
  r = runCli({"pose", dir.file("body.tov"), "--apply", dir.file("raised.json"), "-o",
              dir.file("raised.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(runCli({"pose-save", dir.file("raised.tov"), "-o", dir.file("again.json")}).status, 0);
  EXPECT_EQ(readFileBytes(dir.file("again.json")), readFileBytes(dir.file("raised.json")));

  // Mirrored: the right shoulder (line 14, point 1400) now holds the turn, with its sign
  // changed; mirrored twice, the figure is the raised one again.
  ASSERT_EQ(runCli({"pose", dir.file("raised.tov"), "--mirror", "-o", dir.file("m1.tov")}).status,
            0);
  ASSERT_EQ(runCli({"pose-save", dir.file("m1.tov"), "-o", dir.file("m1.json")}).status, 0);
  const std::vector<uint8_t> m1 = readFileBytes(dir.file("m1.json"));
  EXPECT_NE(std::string(m1.begin(), m1.end())
                .find(R"({"line": 14, "point": 1400, "vdx": 0, "vdy": 0, "vdz": 0, )"
                      R"("radx": 0, "rady": 0, "radz": -0.75})"),
            std::string::npos);
  ASSERT_EQ(runCli({"pose", dir.file("m1.tov"), "--mirror", "-o", dir.file("m2.tov")}).status, 0);
  EXPECT_EQ(readFileBytes(dir.file("m2.tov")), readFileBytes(dir.file("raised.tov")));

  // A damaged pose file: refused with the reason, and no output written.
  std::ofstream(dir.file("cut.json"), std::ios::binary) << text.substr(0, text.size() / 3);
  r = runCli(
      {"pose", dir.file("body.tov"), "--apply", dir.file("cut.json"), "-o", dir.file("cut.tov")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("エラー: ポーズファイルを読み込めません。"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("cut.tov")));
}

}  // namespace
}  // namespace tovala
