// Resampling pictures: known averages and interpolations, opacity-weighted colours.

#include <gtest/gtest.h>

#include "render/picture_scale.h"

namespace tovala {
namespace {

// A one-row picture of greys.
ImageSlot greys(std::initializer_list<int> values, int rows = 1) {
  ImageSlot p;
  EXPECT_TRUE(allocatePicture(p, int64_t(values.size()), rows));
  for (int y = 0; y < rows; ++y) {
    int x = 0;
    for (int v : values) p.setPixel(x++, y, uint32_t(v) * 0x010101u);
  }
  return p;
}

std::vector<int> row(const ImageSlot& p, int y = 0) {
  std::vector<int> out;
  for (int x = 0; x < p.width; ++x) out.push_back(int(p.pixel(x, y) & 0xFF));
  return out;
}

TEST(PictureScale, ShrinksByAveragingAndGrowsByInterpolating) {
  PictureScaler scaler;
  ImageSlot out;
  std::vector<uint8_t> outAlpha;
  // Halving: each pixel the mean of a 2 x 2 block.
  ASSERT_TRUE(scaler.scale(greys({0, 10, 100, 200}, 2), {}, 2, 1, out, outAlpha));
  EXPECT_EQ(row(out), (std::vector<int>{5, 150}));
  EXPECT_TRUE(outAlpha.empty());
  // Three to two: the middle pixel shared half and half.
  ASSERT_TRUE(scaler.scale(greys({0, 90, 180}), {}, 2, 1, out, outAlpha));
  EXPECT_EQ(row(out), (std::vector<int>{30, 150}));
  // Two to four: pixel centres interpolated, the ends held.
  ASSERT_TRUE(scaler.scale(greys({0, 100}), {}, 4, 1, out, outAlpha));
  EXPECT_EQ(row(out), (std::vector<int>{0, 25, 75, 100}));
  // Refused: no size, an alpha of the wrong size.
  EXPECT_FALSE(scaler.scale(greys({1, 2}), {}, 0, 1, out, outAlpha));
  const std::vector<uint8_t> three = {1, 2, 3};
  EXPECT_FALSE(scaler.scale(greys({1, 2}), three, 1, 1, out, outAlpha));
}

TEST(PictureScale, ColoursAreWeightedByOpacity) {
  PictureScaler scaler;
  ImageSlot out;
  std::vector<uint8_t> outAlpha;
  // A white pixel beside a fully transparent black one: white at half opacity, not grey.
  const std::vector<uint8_t> alpha = {255, 0};
  ASSERT_TRUE(scaler.scale(greys({255, 0}), alpha, 1, 1, out, outAlpha));
  EXPECT_EQ(row(out), (std::vector<int>{255}));
  EXPECT_EQ(outAlpha, (std::vector<uint8_t>{128}));
  // The same through the weighted path (three to two).
  const std::vector<uint8_t> alpha3 = {255, 0, 255};
  ASSERT_TRUE(scaler.scale(greys({200, 0, 100}), alpha3, 2, 1, out, outAlpha));
  EXPECT_EQ(row(out), (std::vector<int>{200, 100}));
  EXPECT_EQ(outAlpha, (std::vector<uint8_t>{170, 170}));
}

}  // namespace
}  // namespace tovala
