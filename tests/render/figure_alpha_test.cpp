// The figure with a transparent background: opacity and colour recovered from the figure drawn
// over white and over black.

#include <gtest/gtest.h>

#include <cstdlib>

#include "codec/png_file.h"
#include "model/project_file.h"
#include "render/figure_alpha.h"
#include "render/frame.h"
#include "render_fixtures.h"
#include "support/test_support.h"

namespace tovala {
namespace {

constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00C000;

// A thick red stroke and a green fill on a grey background.
std::unique_ptr<Document> figure() {
  auto doc = test::smallDocument(60, 40);
  doc->backColor = kGrey;
  const int stroke = test::addLine(*doc, {{5, 10}, {50, 10}});
  doc->lines[size_t(stroke)].cr = kRed;
  doc->lines[size_t(stroke)].brw = doc->lines[size_t(stroke)].brh = 6;
  const int fill =
      test::addLine(*doc, {{10, 20}, {30, 20, 1}, {30, 35, 1}, {10, 35, 1}, {10, 20}}, 1);
  doc->lines[size_t(fill)].cb = kGreen;
  rebuildLayers(*doc);
  refreshSelected(*doc);
  return doc;
}

int channelGap(uint32_t a, uint32_t b) {
  int gap = 0;
  for (int s : {0, 8, 16})
    gap = std::max(gap, std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)));
  return gap;
}

TEST(FigureAlpha, BackgroundTransparentStrokesOpaqueEdgesKeepTheirColour) {
  auto doc = figure();
  const std::vector<uint8_t> model = doc->workImages.image(kModelImage)->pixels;
  ImageSlot colour;
  std::vector<uint8_t> alpha;
  ASSERT_TRUE(renderFigureAlpha(*doc, colour, alpha));
  ASSERT_EQ(alpha.size(), 60u * 40u);
  const auto at = [&](int x, int y) { return alpha[size_t(y) * 60 + size_t(x)]; };

  EXPECT_EQ(at(2, 2), 0);  // untouched
  EXPECT_EQ(at(55, 38), 0);
  EXPECT_EQ(at(25, 10), 255);  // the stroke's middle
  EXPECT_EQ(colour.pixel(25, 10), kRed);
  EXPECT_EQ(at(20, 28), 255);  // inside the fill
  EXPECT_EQ(colour.pixel(20, 28), kGreen);
  // Soft edges: partly opaque, yet red.
  int soft = 0;
  for (int y = 0; y < 18; ++y)
    for (int x = 0; x < 60; ++x)
      if (at(x, y) > 0 && at(x, y) < 255) {
        ++soft;
        EXPECT_LE(channelGap(colour.pixel(x, y), kRed), 4) << x << "," << y;
      }
  EXPECT_GT(soft, 10);

  // The document is drawn as before.
  EXPECT_EQ(doc->backColor, kGrey);
  EXPECT_EQ(doc->workImages.image(kModelImage)->pixels, model);
}

// A line in the background colour is invisible on the canvas, and so in the export.
TEST(FigureAlpha, LinesInTheBackgroundColourStayInvisible) {
  auto doc = figure();
  const int bone = test::addLine(*doc, {{5, 30}, {55, 30}});
  doc->lines[size_t(bone)].cr = kGrey;
  doc->lines[size_t(bone)].brw = doc->lines[size_t(bone)].brh = 6;
  ImageSlot colour;
  std::vector<uint8_t> alpha;
  ASSERT_TRUE(renderFigureAlpha(*doc, colour, alpha));
  EXPECT_EQ(alpha[size_t(30) * 60 + 50], 0);
  EXPECT_EQ(alpha[size_t(10) * 60 + 25], 255);
  EXPECT_EQ(doc->lines[size_t(bone)].cr, kGrey);
}

// tovala-cli render --transparent: read back (alpha laid over white), the PNG is the figure as
// drawn on white.
TEST(FigureAlpha, CliWritesItAndItReadsBackAsDrawnOnWhite) {
  test::TempDir dir;
  auto doc = figure();
  ASSERT_TRUE(saveProject(*doc, dir.file("in.tov"), true));
  const auto r =
      test::runCli({"render", dir.file("in.tov"), "-o", dir.file("out.png"), "--transparent"});
  ASSERT_EQ(r.status, 0) << r.err;
  ImageSlot read;
  ASSERT_TRUE(decodePng(test::readFileBytes(dir.file("out.png")), read));

  doc->backColor = 0xFFFFFF;
  rebuildLayers(*doc);
  refreshSelected(*doc);
  const ImageSlot& onWhite = *doc->workImages.image(kModelImage);
  ASSERT_EQ(read.width, onWhite.width);
  int worst = 0;
  for (int y = 0; y < read.height; ++y)
    for (int x = 0; x < read.width; ++x)
      worst = std::max(worst, channelGap(read.pixel(x, y), onWhite.pixel(x, y)));
  EXPECT_LE(worst, 2);

  EXPECT_EQ(
      test::runCli({"render", dir.file("in.tov"), "-o", dir.file("o.bmp"), "--transparent"}).status,
      2);
}

}  // namespace
}  // namespace tovala
