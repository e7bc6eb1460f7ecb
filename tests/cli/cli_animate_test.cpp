// tovala-cli animate on the body model, through the executable: pictures written, bad input
// refused with nothing written.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/test_support.h"

namespace tovala {
namespace {

using test::readFileBytes;
using test::runCli;
using test::TempDir;

TEST(CliAnimate, WritesEveryFrameAndRefusesBadInput) {
  TempDir dir;
  ASSERT_EQ(runCli({"body-model", "-o", dir.file("body.tov")}).status, 0);
  ASSERT_EQ(runCli({"pose-save", dir.file("body.tov"), "-o", dir.file("rest.json")}).status, 0);
  const std::vector<uint8_t> pose = readFileBytes(dir.file("rest.json"));
  const std::string rest(pose.begin(), pose.end());
  std::string raised = rest;
  const std::string shoulder = R"("point": 800, "vdx": 0, "vdy": 0, "vdz": 0, "radx": 0, "rady": 0, "radz": 0})";
  ASSERT_NE(raised.find(shoulder), std::string::npos);
  raised.replace(raised.find(shoulder), shoulder.size(),
                 R"("point": 800, "vdx": 0, "vdy": 0, "vdz": 0, "radx": 0, "rady": 0, "radz": 1})");
  const std::string anim = R"({"format": "tovala-animation", "version": 1, "fps": 4, "length": 3,
    "keys": [{"frame": 0, "easing": "smooth", "pose": )" + rest +
                           R"(}, {"frame": 2, "easing": "linear", "pose": )" + raised + "}]}";
  std::ofstream(dir.file("wave.tovanim"), std::ios::binary) << anim;

  std::filesystem::create_directory(dir.file("frames"));
  auto r = runCli({"animate", dir.file("body.tov"), dir.file("wave.tovanim"), "-o",
                   dir.file("frames/"), "--size", "100x120", "--fps", "8"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;  // no progress bar when stderr is not a terminal
  // Six frames at twice the rate, named after the animation file.
  for (int i = 1; i <= 6; ++i)
    EXPECT_TRUE(std::filesystem::exists(dir.file("frames/wave_000" + std::to_string(i) + ".png")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("frames/wave_0007.png")));

  // The export's look: a quarter of the canvas, line view with the bones, over black.
  r = runCli({"animate", dir.file("body.tov"), dir.file("wave.tovanim"), "-o", dir.file("w.gif"),
              "--scale", "0.25", "--view", "line", "--bones", "--background", "#000000"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<uint8_t> gif = readFileBytes(dir.file("w.gif"));
  ASSERT_GE(gif.size(), 10u);
  EXPECT_EQ(gif[6] | gif[7] << 8, 250);  // the logical screen's width
  EXPECT_EQ(runCli({"animate", dir.file("body.tov"), dir.file("wave.tovanim"), "-o",
                    dir.file("x.gif"), "--scale", "0.1"}).status, 2);

  // A damaged animation file: refused with the reason, nothing written.
  std::ofstream(dir.file("cut.tovanim"), std::ios::binary) << anim.substr(0, anim.size() / 2);
  r = runCli({"animate", dir.file("body.tov"), dir.file("cut.tovanim"), "-o", dir.file("a.gif")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("エラー: アニメーションファイルを読み込めません。"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("a.gif")));
  // Usage: an output of another kind, a size without a height.
  EXPECT_EQ(runCli({"animate", dir.file("body.tov"), dir.file("wave.tovanim"), "-o",
                    dir.file("a.bmp")}).status, 2);
  EXPECT_EQ(runCli({"animate", dir.file("body.tov"), dir.file("wave.tovanim"), "-o",
                    dir.file("a.gif"), "--size", "100x"}).status, 2);
  EXPECT_FALSE(std::filesystem::exists(dir.file("a.gif")));
}

}  // namespace
}  // namespace tovala
