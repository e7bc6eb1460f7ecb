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

// Two body models in one document: poses saved from either figure name it and go back to it;
// a figure the document lacks is refused.
TEST(CliPose, ACastIsAddressedFigureByFigure) {
  TempDir dir;
  ASSERT_EQ(runCli({"body-model", "-o", dir.file("body.tov")}).status, 0);
  ASSERT_EQ(runCli({"parts-save", dir.file("body.tov"), "-o", dir.file("body.tovp")}).status, 0);
  ASSERT_EQ(runCli({"parts-merge", dir.file("body.tov"), dir.file("body.tovp"), "-o",
                    dir.file("two.tov")})
                .status,
            0);
  auto text = [&](const std::string& name) {
    const std::vector<uint8_t> bytes = readFileBytes(dir.file(name));
    return std::string(bytes.begin(), bytes.end());
  };

  // A lone figure's pose names no figure; each figure of the cast's names its own.
  ASSERT_EQ(runCli({"pose-save", dir.file("body.tov"), "-o", dir.file("alone.json")}).status, 0);
  EXPECT_EQ(text("alone.json").find("figure"), std::string::npos);
  for (const char* n : {"1", "2"}) {
    const std::string name = std::string("rest") + n + ".json";
    auto r = runCli({"pose-save", dir.file("two.tov"), "--figure", n, "-o", dir.file(name)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(text(name).find(std::string("\"figure\": ") + n), std::string::npos);
  }

  // The second figure's elbow bent: applied, it bends the second figure only.
  std::string bent = text("rest2.json");
  const std::string elbow = R"({"line": 8, "point": 801, "vdx": 0, "vdy": 0, "vdz": 0, )"
                            R"("radx": 0, "rady": 0, "radz": 0})";
  const size_t at = bent.find(elbow);
  ASSERT_NE(at, std::string::npos);
  bent.replace(at, elbow.size(),
               R"({"line": 8, "point": 801, "vdx": 0, "vdy": 0, "vdz": 0, )"
               R"("radx": 0, "rady": -0.5, "radz": 0})");
  std::ofstream(dir.file("bent2.json"), std::ios::binary) << bent;
  auto r = runCli({"pose", dir.file("two.tov"), "--apply", dir.file("bent2.json"), "-o",
                   dir.file("posed.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* n : {"1", "2"}) {
    const std::string name = std::string("posed") + n + ".json";
    ASSERT_EQ(
        runCli({"pose-save", dir.file("posed.tov"), "--figure", n, "-o", dir.file(name)}).status,
        0);
  }
  EXPECT_TRUE(text("posed1.json") == text("rest1.json"));
  EXPECT_TRUE(text("posed2.json") == bent);

  // --figure puts a pose on the figure it names, whatever the file says.
  r = runCli({"pose", dir.file("two.tov"), "--apply", dir.file("bent2.json"), "--figure", "1", "-o",
              dir.file("first.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(runCli({"pose-save", dir.file("first.tov"), "-o", dir.file("first.json")}).status, 0);
  EXPECT_NE(text("first.json").find(R"("radx": 0, "rady": -0.5, "radz": 0})"), std::string::npos);

  // An animation of the second figure's pose plays on the figure --figure names, if it is there.
  std::ofstream(dir.file("bent.tovanim"), std::ios::binary)
      << R"({"format": "tovala-animation", "version": 1, "fps": 12, "length": 2, "keys": [)"
      << R"({"frame": 0, "easing": "smooth", "pose": )" << bent << "}]}";
  r = runCli({"animate", dir.file("two.tov"), dir.file("bent.tovanim"), "--figure", "2", "-o",
              dir.file("bent.gif")});
  EXPECT_EQ(r.status, 0) << r.err;
  r = runCli({"animate", dir.file("two.tov"), dir.file("bent.tovanim"), "--figure", "3", "-o",
              dir.file("none.gif")});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.file("none.gif")));

  // A third figure, and a figure number that is no number, are refused; nothing is written.
  r = runCli({"pose", dir.file("two.tov"), "--figure", "3", "-o", dir.file("three.tov")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("--figure 3: " + dir.file("two.tov") + " holds 2 figures"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(
      runCli({"pose-save", dir.file("two.tov"), "--figure", "x", "-o", dir.file("x.json")}).status,
      2);
  EXPECT_FALSE(std::filesystem::exists(dir.file("three.tov")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.json")));
}

}  // namespace
}  // namespace tovala
