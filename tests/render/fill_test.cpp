// Fill and image lines: the raster mask, picture mapping, painting, and oversized boxes.

#include <gtest/gtest.h>

#include "render/fill.h"
#include "render/frame.h"
#include "render/paint_line.h"
#include "render/stroke.h"
#include "render_fixtures.h"

namespace tovala {
namespace {

using test::addLine;
using test::smallDocument;

constexpr uint32_t kGreen = 0x00FF00;

const ImageSlot& front(const Document& doc) { return *doc.workImages.image(kFrontLayer); }

// Appends a picture to the user images and returns its key.
int32_t addPicture(Document& doc, int w, int h, uint32_t colour) {
  const int slot = doc.sentinelImageSlot();
  doc.userImages.makeBlank(slot, w, h, colour);
  doc.appendUserImage();
  return doc.imageKeys[size_t(slot)];
}

// A closed square with vertices at its corners, so its sides are straight.
int square(Document& doc, int kind, uint32_t fill) {
  const int line = addLine(doc, {{10, 10}, {40, 10, 1}, {40, 30, 1}, {10, 30, 1}, {10, 10}}, kind);
  doc.lines[size_t(line)].cb = fill;
  return line;
}

TEST(FillLine, FillsTheInsideKeepsTheOutside) {
  auto doc = smallDocument();
  const int line = square(*doc, 1, kGreen);
  const PixelRect touched = drawFilledLine(*doc, line, kFrontLayer);
  EXPECT_EQ(front(*doc).pixel(25, 20), kGreen);
  EXPECT_EQ(front(*doc).pixel(12, 28), kGreen);
  EXPECT_EQ(front(*doc).pixel(5, 5), kDefaultBackColor);
  EXPECT_EQ(front(*doc).pixel(45, 20), kDefaultBackColor);
  const uint32_t edge = front(*doc).pixel(25, 10);
  EXPECT_NE(edge, kGreen);
  EXPECT_NE(edge, kDefaultBackColor);
  // The range holds the one-pass box widened; the scratch was that large.
  const LineRecord& l = doc->lines[size_t(line)];
  EXPECT_FLOAT_EQ(l.rectx, 5);
  EXPECT_FLOAT_EQ(l.recty, 5);
  EXPECT_FLOAT_EQ(l.rectw, 45);
  EXPECT_FLOAT_EQ(l.recth, 35);
  EXPECT_EQ(doc->workImages.image(kScratchImage)->width, 40);
  EXPECT_EQ(touched, (PixelRect{5, 5, 45, 35}));
  // The default kernel is in force again.
  EXPECT_EQ(doc->workImages.kernel.weights, std::vector<int32_t>(4, 250));
}

TEST(FillLine, TwoPointsAreAStrokeAndOpenOutlinesStillFill) {
  auto doc = smallDocument();
  const int two = addLine(*doc, {{10, 10}, {40, 30}}, 1);
  drawFilledLine(*doc, two, kFrontLayer);
  const auto asFill = front(*doc).pixels;
  doc->workImages.fill(kFrontLayer, doc->backColor);
  drawStroke(*doc, two, kFrontLayer, 0, kStrokeDraw, -1);
  EXPECT_EQ(front(*doc).pixels, asFill);

  doc->workImages.fill(kFrontLayer, doc->backColor);
  const int open = addLine(*doc, {{10, 10}, {40, 10}, {25, 40}}, 1);
  doc->lines[size_t(open)].cb = kGreen;
  drawFilledLine(*doc, open, kFrontLayer);
  EXPECT_EQ(front(*doc).pixel(25, 18), kGreen);
  EXPECT_EQ(front(*doc).pixel(12, 30), kDefaultBackColor);

  // A fill colour one below the background: the marker falls back to the line colour.
  doc->workImages.fill(kFrontLayer, doc->backColor);
  const int near = square(*doc, 1, kDefaultBackColor - 1);
  drawFilledLine(*doc, near, kFrontLayer);
  EXPECT_EQ(front(*doc).pixel(25, 20), kDefaultBackColor - 1);
}

TEST(FillLine, MovesWithTheLinePosition) {
  auto doc = smallDocument();
  const int moved = square(*doc, 1, kGreen);
  doc->lines[size_t(moved)].vx = 7;
  doc->lines[size_t(moved)].vy = 3;
  drawFilledLine(*doc, moved, kFrontLayer);
  const auto byPosition = front(*doc).pixels;
  doc->workImages.fill(kFrontLayer, doc->backColor);
  const int shifted = addLine(*doc, {{17, 13}, {47, 13, 1}, {47, 33, 1}, {17, 33, 1}, {17, 13}}, 1);
  doc->lines[size_t(shifted)].cb = kGreen;
  drawFilledLine(*doc, shifted, kFrontLayer);
  EXPECT_EQ(front(*doc).pixels, byPosition);
  EXPECT_FLOAT_EQ(doc->lines[size_t(moved)].vx, 7);
}

TEST(ImageLine, PictureInTheBoxCornerClippedToTheShape) {
  auto doc = smallDocument();
  addPicture(*doc, 12, 12, 0xFF0000);
  const int32_t key = addPicture(*doc, 12, 12, 0x0000FF);
  ASSERT_EQ(key, 1);
  const int line = square(*doc, 2, uint32_t(key));
  drawFilledLine(*doc, line, kFrontLayer);
  // The picture's top-left sits at the box's (5, 5): it covers up to (16, 16).
  EXPECT_EQ(front(*doc).pixel(13, 13), 0x0000FFu);
  EXPECT_EQ(front(*doc).pixel(7, 7), kDefaultBackColor);  // in the picture, outside the shape
  // Inside the shape beyond the picture: the colour whose value is the key.
  EXPECT_EQ(front(*doc).pixel(30, 25), uint32_t(key));
  EXPECT_EQ(doc->workImages.image(kScratchImage2)->width, 12);

  // A key no picture has maps the first picture.
  doc->workImages.fill(kFrontLayer, doc->backColor);
  doc->lines[size_t(line)].cb = 77;
  drawFilledLine(*doc, line, kFrontLayer);
  EXPECT_EQ(front(*doc).pixel(12, 12), 0xFF0000u);
}

TEST(ImageLine, PaintStaysInsideTheShape) {
  auto doc = smallDocument();
  const int32_t key = addPicture(*doc, 40, 30, 0xFFFFFF);
  const int line = square(*doc, 2, uint32_t(key));
  doc->curLine = line;
  doc->edit.mode = 3;
  doc->penColor = 0x0000FF;
  rebuildLayers(*doc);
  refreshSelected(*doc);
  // The mask of the line is kept in the sentinel slot, box-sized.
  const ImageSlot* mask = doc->userImages.image(doc->sentinelImageSlot());
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(mask->width, 40);
  EXPECT_EQ(mask->pixel(20, 15), uint32_t(key));

  // The soft 6 x 6 paint kernel leaves its centre almost exactly the pen colour.
  auto painted = [](uint32_t c) { return (c & 0xFF) == 0xFF && (c >> 8) < 0x0808; };
  const ImageSlot& picture = *doc->userImages.image(doc->findImageByKey(key));
  paintOnImageLine(*doc, 25, 20, 25, 20, false);
  EXPECT_TRUE(painted(picture.pixel(20, 15)));
  paintOnImageLine(*doc, 6, 6, 6, 6, false);  // outside the shape
  EXPECT_EQ(picture.pixel(1, 1), 0xFFFFFFu);
  paintOnImageLine(*doc, 15, 25, 35, 25, true);
  EXPECT_TRUE(painted(picture.pixel(25, 20)));
  EXPECT_EQ(picture.pixel(25, 5), 0xFFFFFFu);
  // The painted picture shows at once in the model picture and on the display.
  EXPECT_TRUE(painted(doc->workImages.image(kModelImage)->pixel(30, 25)));
  EXPECT_TRUE(painted(doc->workImages.image(kDisplayImage)->pixel(30, 25)));
}

TEST(FillLine, OversizedBoxesDrawTheVisiblePart) {
  auto doc = smallDocument();
  const int cover = addLine(*doc, {{-1e6f, -1e6f}, {1e6f, -1e6f}, {1e6f, 1e6f}, {-1e6f, 1e6f}}, 1);
  doc->lines[size_t(cover)].cb = kGreen;
  drawFilledLine(*doc, cover, kFrontLayer);
  EXPECT_EQ(front(*doc).pixel(30, 20), kGreen);
  EXPECT_EQ(front(*doc).pixel(0, 0), kGreen);
  EXPECT_LE(doc->workImages.image(kScratchImage)->width, 64 + 4);
  EXPECT_LE(doc->workImages.image(kScratchImage)->height, 48 + 4);

  // Also from near the float limit, where the box does not fit 64 bits either.
  for (const float far : {-1e6f, -1.7e38f}) {
    doc->workImages.fill(kFrontLayer, doc->backColor);
    const int poke =
        addLine(*doc, {{far, 10}, {30, 10, 1}, {30, 40, 1}, {far, 40, 1}, {far, 10}}, 1);
    doc->lines[size_t(poke)].cb = kGreen;
    drawFilledLine(*doc, poke, kFrontLayer);
    EXPECT_EQ(front(*doc).pixel(10, 25), kGreen);
    EXPECT_EQ(front(*doc).pixel(0, 25), kGreen);
    EXPECT_EQ(front(*doc).pixel(40, 25), kDefaultBackColor);
    EXPECT_EQ(front(*doc).pixel(10, 5), kDefaultBackColor);
  }

  // A box of no width draws nothing at all.
  doc->workImages.fill(kFrontLayer, doc->backColor);
  const auto blank = front(*doc).pixels;
  doc->markSize = 0;
  const int dot = addLine(*doc, {{20, 20}, {20, 20}, {20, 20}}, 1);
  doc->lines[size_t(dot)].brw = doc->lines[size_t(dot)].brh = 0;
  EXPECT_TRUE(drawFilledLine(*doc, dot, kFrontLayer).empty());
  EXPECT_EQ(front(*doc).pixels, blank);
}

}  // namespace
}  // namespace tovala
