// tovala-cli export through the executable: every still format, the size options, the same bytes
// on every run, bad usage and failed writes refused with nothing written.

#include <gtest/gtest.h>

#include <filesystem>

#include "codec/picture.h"
#include "codec/picture_file.h"
#include "support/test_support.h"

namespace tovala {
namespace {

using test::readFileBytes;
using test::runCli;
using test::TempDir;

ImageSlot decoded(const std::string& path) {
  ImageSlot picture;
  EXPECT_TRUE(decodePicture(readFileBytes(path), picture)) << path;
  return picture;
}

TEST(CliExport, WritesEveryStillFormatAtTheSizeAsked) {
  TempDir dir;
  ASSERT_EQ(runCli({"body-model", "-o", dir.file("body.tov")}).status, 0);
  const std::string body = dir.file("body.tov");

  auto r = runCli({"export", body, "-o", dir.file("a.png")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
  const ImageSlot full = decoded(dir.file("a.png"));
  EXPECT_EQ(full.width, 1000);
  EXPECT_EQ(full.height, 1200);
  // The controllers' marks near the top-left corner are not in it; the chest is skin.
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) ASSERT_EQ(full.pixel(x, y), full.pixel(0, 0)) << x << "," << y;
  EXPECT_NE(full.pixel(500, 500), full.pixel(0, 0));
  // Run again: the same bytes.
  ASSERT_EQ(runCli({"export", body, "-o", dir.file("again.png")}).status, 0);
  EXPECT_EQ(readFileBytes(dir.file("a.png")), readFileBytes(dir.file("again.png")));

  ASSERT_EQ(runCli({"export", body, "-o", dir.file("half.jpg"), "--scale", "0.5"}).status, 0);
  EXPECT_EQ(decoded(dir.file("half.jpg")).width, 500);
  ASSERT_EQ(runCli({"export", body, "-o", dir.file("fit.bmp"), "--size", "250x250", "--view",
                    "line", "--bones"}).status, 0);
  const ImageSlot fit = decoded(dir.file("fit.bmp"));
  EXPECT_EQ(fit.width, 208);
  EXPECT_EQ(fit.height, 250);
  for (const char* name : {"a.gif", "a.webp"}) {
    r = runCli({"export", body, "-o", dir.file(name), "--scale", "0.25", "--background",
                "transparent"});
    ASSERT_EQ(r.status, 0) << name << r.err;
    const std::vector<uint8_t> bytes = readFileBytes(dir.file(name));
    ASSERT_GE(bytes.size(), 12u);
    const std::string magic(bytes.begin(), bytes.begin() + 4);
    EXPECT_EQ(magic, name[2] == 'g' ? "GIF8" : "RIFF") << name;
  }
}

TEST(CliExport, RefusesBadUsageAndFailedWritesWithNothingWritten) {
  TempDir dir;
  ASSERT_EQ(runCli({"body-model", "-o", dir.file("body.tov")}).status, 0);
  const std::string body = dir.file("body.tov");
  const std::vector<std::vector<std::string>> usage = {
      {"-o", dir.file("x.txt")},
      {"-o", dir.file("x.jpg"), "--background", "transparent"},
      {"-o", dir.file("x.png"), "--scale", "9"},
      {"-o", dir.file("x.png"), "--scale", "0.1"},
      {"-o", dir.file("x.png"), "--scale", "1", "--size", "10x10"},
      {"-o", dir.file("x.png"), "--size", "10x"},
      {"-o", dir.file("x.png"), "--view", "side"},
      {"-o", dir.file("x.png"), "--background", "#12345"},
      {"-o", dir.file("x.png"), "--frobnicate"},
  };
  for (std::vector<std::string> args : usage) {
    args.insert(args.begin(), {"export", body});
    EXPECT_EQ(runCli(args).status, 2) << args[3] << " " << (args.size() > 4 ? args[4] : "");
  }
  for (const char* name : {"x.txt", "x.jpg", "x.png"})
    EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << name;
  // A folder that does not exist: the reason is printed and nothing is written.
  const auto r = runCli({"export", body, "-o", dir.file("missing/x.png")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("画像を書き出せません。"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
}

}  // namespace
}  // namespace tovala
