#include <gtest/gtest.h>

#include "codec/bmp.h"
#include "support/test_support.h"

namespace tovala {
namespace {

using test::runCli;
using test::TempDir;

TEST(Cli, HelpVersionAndUsageErrors) {
  auto r = runCli({"help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("bmp-convert"), std::string::npos);
  EXPECT_NE(r.out.find("version"), std::string::npos);
  r = runCli({"help", "bmp-convert"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("usage: tovala-cli bmp-convert IN.bmp|IN.png|IN.jpg OUT.bmp"),
            std::string::npos);
  r = runCli({"version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("tovala-cli ", 0), 0u);
  EXPECT_EQ(runCli({}).status, 2);
  EXPECT_EQ(runCli({"no-such-command"}).status, 2);
  EXPECT_EQ(runCli({"bmp-convert", "only-one"}).status, 2);
  EXPECT_EQ(runCli({"bmp-convert", "a", "b", "--bogus"}).status, 2);
}

TEST(Cli, BmpConvertWritesA24BitCopyAndRefusesBadInput) {
  TempDir dir;
  const std::string in = std::string(TOVALA_TEST_DATA) + "/bmp/pal8.bmp";
  auto r = runCli({"bmp-convert", in, dir.file("out.bmp")});
  ASSERT_EQ(r.status, 0) << r.err;
  auto out = test::readFileBytes(dir.file("out.bmp"));
  ASSERT_GE(out.size(), 54u);
  EXPECT_EQ(out[28], 24);
  ImageSlot a, b;
  ASSERT_TRUE(decodeBmp(test::readFileBytes(in), a));
  ASSERT_TRUE(decodeBmp(out, b));
  EXPECT_EQ(a.pixels, b.pixels);

  // A refused input prints the message and leaves an existing output untouched.
  test::writeFileBytes(dir.file("junk.bmp"), {'n', 'o', 'p', 'e'});
  test::writeFileBytes(dir.file("keep.bmp"), {'k'});
  r = runCli({"bmp-convert", dir.file("junk.bmp"), dir.file("keep.bmp")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: ビットマップではありません!!\n");
  EXPECT_EQ(test::readFileBytes(dir.file("keep.bmp")), std::vector<uint8_t>{'k'});
  r = runCli({"bmp-convert", dir.file("missing.bmp"), dir.file("o.bmp")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: Miss Load!!\n");
}

}  // namespace
}  // namespace tovala
