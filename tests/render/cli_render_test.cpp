// tovala-cli render: the written picture is the one the renderer makes in process.

#include <gtest/gtest.h>

#include <filesystem>

#include "codec/bmp.h"
#include "model/project_file.h"
#include "render/frame.h"
#include "render/marks.h"
#include "render_fixtures.h"
#include "support/test_support.h"

namespace tovala {
namespace {

using test::addLine;
using test::runCli;

// A small project with a stroke, a fill line and a lone point; returns its path.
std::string writeProject(const test::TempDir& dir) {
  auto doc = test::smallDocument(60, 40);
  addLine(*doc, {{5, 5}, {30, 20}, {55, 8}});
  const int fill = addLine(*doc, {{10, 25}, {30, 25, 1}, {30, 38, 1}, {10, 38, 1}, {10, 25}}, 1);
  doc->lines[size_t(fill)].cb = 0x00C000;
  addLine(*doc, {{50, 30}});
  const std::string path = dir.file("in.tov");
  EXPECT_TRUE(saveProject(*doc, path, true));
  return path;
}

// The model picture as the editor makes it after opening the project.
ImageSlot renderedInProcess(const std::string& project, int select, bool display) {
  auto doc = std::make_unique<Document>();
  EXPECT_TRUE(loadProject(*doc, project, true));
  doc->curLine = select;
  doc->showUnderlay = display ? 1 : 0;
  rebuildLayers(*doc);
  refreshSelected(*doc);
  if (display) buildDisplay(*doc);
  return *doc->workImages.image(display ? kDisplayImage : kModelImage);
}

ImageSlot readBmp(const std::string& path) {
  ImageSlot image;
  EXPECT_TRUE(decodeBmp(test::readFileBytes(path), image));
  return image;
}

TEST(CliRender, WritesTheModelPictureAndTheDisplay) {
  test::TempDir dir;
  const std::string project = writeProject(dir);
  auto r = runCli({"render", project, "-o", dir.file("model.bmp")});
  ASSERT_EQ(r.status, 0) << r.err;
  const ImageSlot model = readBmp(dir.file("model.bmp"));
  EXPECT_EQ(model.width, 60);
  EXPECT_EQ(model.pixels, renderedInProcess(project, 0, false).pixels);
  EXPECT_EQ(model.pixel(20, 30), 0x00C000u);

  r = runCli({"render", project, "-o", dir.file("display.bmp"), "--display", "--select", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  const ImageSlot display = readBmp(dir.file("display.bmp"));
  EXPECT_EQ(display.pixels, renderedInProcess(project, 1, true).pixels);
  EXPECT_EQ(display.pixel(10, 25), kMarkRed);  // the selected fill line's first point

  r = runCli({"render", project, "-o", dir.file("model.png")});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto png = test::readFileBytes(dir.file("model.png"));
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(std::vector<uint8_t>(png.begin(), png.begin() + 8),
            (std::vector<uint8_t>{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}));
}

TEST(CliRender, RefusesBadUsageAndKeepsOldOutput) {
  test::TempDir dir;
  const std::string project = writeProject(dir);
  const std::string out = dir.file("keep.bmp");
  test::writeFileBytes(out, {1, 2, 3});
  EXPECT_EQ(runCli({"render", project}).status, 2);
  EXPECT_EQ(runCli({"render", project, "-o", dir.file("x.gif")}).status, 2);
  EXPECT_EQ(runCli({"render", project, "-o", out, "--select", "7"}).status, 2);
  EXPECT_EQ(runCli({"render", project, "-o", out, "--select", "x"}).status, 2);
  const auto missing = runCli({"render", dir.file("none.tov"), "-o", out});
  EXPECT_EQ(missing.status, 1);
  EXPECT_FALSE(missing.err.empty());
  EXPECT_EQ(test::readFileBytes(out), (std::vector<uint8_t>{1, 2, 3}));
}

}  // namespace
}  // namespace tovala

namespace tovala {
namespace {

// With Qt the characters of a text line are drawn in the record's colour; without it the tool
// says that it leaves them out.
TEST(CliRender, TextLinesDrawnWithFontsOrNamedAsSkipped) {
  test::TempDir dir;
  auto doc = test::smallDocument(120, 60);
  const int line = test::addLine(*doc, {{10, 10}, {60, 10}}, 3);
  TextRecord text;
  text.key = doc->lines[size_t(line)].nam;
  const uint8_t bytes[] = {0x82, 0xA0, 0x82, 0xA2};  // "あい"
  std::copy(std::begin(bytes), std::end(bytes), text.text.begin());
  text.length = 4;
  text.color = 0x0000FF;
  text.font[0] = 0xE0;  // lfHeight -32
  text.font[1] = text.font[2] = text.font[3] = 0xFF;
  const uint8_t face[] = {0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53,
                          0x83, 0x56, 0x83, 0x62, 0x83, 0x4E};
  std::copy(std::begin(face), std::end(face), text.font.begin() + 28);  // "ＭＳ ゴシック"
  doc->storeText(text);
  ASSERT_TRUE(saveProject(*doc, dir.file("text.tov"), true));

  const auto r = runCli({"render", dir.file("text.tov"), "-o", dir.file("text.bmp")});
  ASSERT_EQ(r.status, 0) << r.err;
  const ImageSlot picture = readBmp(dir.file("text.bmp"));
  int red = 0;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) red += picture.pixel(x, y) == 0x0000FF;
  if (r.err.find("text lines are not drawn") != std::string::npos)
    EXPECT_EQ(red, 0);
  else
    EXPECT_GT(red, 20);  // solid glyph pixels of two 32-pixel characters
}

}  // namespace
}  // namespace tovala
