// Composite, flood fill and rectangle fills.

#include <gtest/gtest.h>

#include <random>

#include "model/image_store.h"
#include "render/image_ops.h"

namespace tovala {
namespace {

ImageSlot blank(int w, int h, uint32_t colour) {
  ImageStore store;
  store.initStore(1);
  store.makeBlank(0, w, h, colour);
  return *store.image(0);
}

int countColour(const ImageSlot& img, uint32_t colour) {
  int n = 0;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) n += img.pixel(x, y) == colour;
  return n;
}

TEST(Composite, KeysStrengthAndClipping) {
  ImageSlot target = blank(6, 5, 0xFFFFFF);
  ImageSlot source = blank(3, 3, 0x102030);
  source.setPixel(1, 1, 0x00FF00);  // the key below
  composite(target, 4, -1, 3, 3, source, 0x00FF00, kCopy, false);
  // Columns 4..5 and rows 0..1 land inside; the keyed pixel (1, 1) -> (5, 0) is skipped.
  EXPECT_EQ(target.pixel(4, 0), 0x102030u);
  EXPECT_EQ(target.pixel(5, 0), 0xFFFFFFu);
  EXPECT_EQ(target.pixel(5, 1), 0x102030u);
  EXPECT_EQ(target.pixel(3, 0), 0xFFFFFFu);
  EXPECT_EQ(target.pixel(4, 2), 0xFFFFFFu);
  EXPECT_EQ(countColour(target, 0x102030), 3);

  // The source corner as key; only a 1 x 1 part of a larger source.
  source.setPixel(0, 0, 0xABCDEF);
  target = blank(6, 5, 0xFFFFFF);
  composite(target, 0, 0, 3, 3, source, kSourceCornerKey, kCopy, false);
  EXPECT_EQ(target.pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(target.pixel(1, 0), 0x102030u);
  composite(target, 0, 0, 1, 1, source, kNoKey, kCopy, false);
  EXPECT_EQ(target.pixel(0, 0), 0xABCDEFu);

  // Keyed on the target: only pixels that differ from the key change.
  target = blank(4, 1, 0x000000);
  target.setPixel(2, 0, 0x111111);
  ImageSlot paint = blank(4, 1, 0x445566);
  composite(target, 0, 0, 4, 1, paint, 0x000000, kCopy, true);
  EXPECT_EQ(target.pixel(0, 0), 0u);
  EXPECT_EQ(target.pixel(2, 0), 0x445566u);

  // Strength: (s * source + (255 - s) * target) / 256 per byte.
  target = blank(1, 1, 0xFFFFFF);
  ImageSlot black = blank(1, 1, 0x000000);
  composite(target, 0, 0, 1, 1, black, kNoKey, 100, false);
  EXPECT_EQ(target.pixel(0, 0), 0x9A9A9Au);  // 155 * 255 / 256 = 154
}

// Wide keyed copies (whole blocks of the key, none of it, and pixels that match the key in only
// one or two bytes, at every position in a row) skip exactly the pixels equal to the key.
TEST(Composite, KeyedCopySkipsOnlyWholeKeyPixels) {
  std::mt19937 rng(11);
  const uint32_t key = 0xFFFEFD;
  const uint32_t nearKey[] = {key, key ^ 0x01, key ^ 0x0100, key ^ 0x010000, key ^ 0x0101,
                              0x000000};
  for (int round = 0; round < 12; ++round) {
    const int w = 1 + int(rng() % 90), h = 3;
    ImageSlot target = blank(w, h, 0x123456), source = blank(w, h, key);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        // Row 0 stays all key; row 1 is never key; row 2 mixes everything.
        if (y == 1) source.setPixel(x, y, rng() % 2 ? 0x000000 : nearKey[1 + rng() % 4]);
        if (y == 2) source.setPixel(x, y, nearKey[rng() % 6]);
      }
    ImageSlot out = target;
    composite(out, 0, 0, w, h, source, key, kCopy, false);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t s = source.pixel(x, y);
        ASSERT_EQ(out.pixel(x, y), s == key ? 0x123456u : s) << round << " " << x << "," << y;
      }
  }
}

// layOver in one pass gives what a copy and a composite give.
TEST(Composite, LayOverMatchesCopyThenComposite) {
  std::mt19937 rng(5);
  for (int round = 0; round < 20; ++round) {
    const int w = 1 + int(rng() % 40), h = 1 + int(rng() % 9);
    ImageSlot base = blank(w, h, 0), over = blank(w, h, 0xFFFFFF), out = blank(w, h, 0x123456);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        base.setPixel(x, y, rng() & 0xFFFFFF);
        // Mostly the key, in runs, as an underlay is.
        if (rng() % 4 == 0) over.setPixel(x, y, rng() & 0xFFFFFF);
      }
    const int strength = round % 5 == 0 ? kCopy : int(rng() % 256);
    ASSERT_TRUE(layOver(out, base, over, 0xFFFFFF, strength));
    ImageSlot expected = base;
    composite(expected, 0, 0, w, h, over, 0xFFFFFF, strength, false);
    ASSERT_EQ(out.pixels, expected.pixels) << round;
  }
  ImageSlot small = blank(2, 2, 0), big = blank(3, 2, 0);
  EXPECT_FALSE(layOver(small, small, big, kNoKey, 100));
}

TEST(FloodFill, FillsTheFourConnectedRegionOnly) {
  // A 9 x 7 image with a closed box border from (1, 1) to (6, 5) and a diagonal wall.
  ImageSlot img = blank(9, 7, 0xFFFFFF);
  for (int x = 1; x <= 6; ++x) {
    img.setPixel(x, 1, 0);
    img.setPixel(x, 5, 0);
  }
  for (int y = 1; y <= 5; ++y) {
    img.setPixel(1, y, 0);
    img.setPixel(6, y, 0);
  }
  floodFill(img, 3, 3, 0x0000FF);
  EXPECT_EQ(countColour(img, 0x0000FF), 4 * 3);  // the box's inside
  EXPECT_EQ(img.pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(img.pixel(7, 3), 0xFFFFFFu);

  // The outside, then a second fill of the same colour, which changes nothing.
  floodFill(img, 0, 0, 0x0000FF);
  EXPECT_EQ(countColour(img, 0xFFFFFF), 0);
  const auto before = img.pixels;
  floodFill(img, 0, 0, 0x0000FF);
  floodFill(img, -1, 2, 0x00FF00);
  floodFill(img, 9, 2, 0x00FF00);
  EXPECT_EQ(img.pixels, before);

  // Pixels that touch only at a corner are not connected.
  ImageSlot diag = blank(4, 4, 0);
  diag.setPixel(1, 1, 0xFFFFFF);
  diag.setPixel(2, 2, 0xFFFFFF);
  floodFill(diag, 1, 1, 0x00FF00);
  EXPECT_EQ(diag.pixel(2, 2), 0xFFFFFFu);
  EXPECT_EQ(countColour(diag, 0x00FF00), 1);
}

TEST(FloodFill, CombOfManyRunsFillsCompletely) {
  // Teeth every other column, joined along the bottom row: the worst case for run lists.
  const int w = 401, h = 300;
  ImageSlot comb = blank(w, h, 0x000000);
  for (int x = 0; x < w; x += 2)
    for (int y = 0; y < h; ++y) comb.setPixel(x, y, 0xFFFFFF);
  for (int x = 0; x < w; ++x) comb.setPixel(x, h - 1, 0xFFFFFF);
  const int white = countColour(comb, 0xFFFFFF);
  floodFill(comb, 0, 0, 0x123456);
  EXPECT_EQ(countColour(comb, 0x123456), white);
  EXPECT_EQ(countColour(comb, 0xFFFFFF), 0);
}

TEST(FillRect, ClipsToTheImage) {
  ImageSlot img = blank(5, 4, 0);
  fillRect(img, {-3, 2, 2, 99}, 0x00FF00);
  EXPECT_EQ(countColour(img, 0x00FF00), 4);
  EXPECT_EQ(img.pixel(1, 3), 0x00FF00u);
  EXPECT_EQ(img.pixel(2, 3), 0u);
  fillRect(img, {7, 7, 9, 9}, 0x0000FF);
  EXPECT_EQ(countColour(img, 0x0000FF), 0);
}

}  // namespace
}  // namespace tovala
