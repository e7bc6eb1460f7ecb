// Animated GIFs read back with giflib's own reader: every frame, drawn over the frames before it
// as a viewer draws them, shows exactly the colours it was given.

#include <gtest/gtest.h>

#include <gif_lib.h>

#include <cstdlib>
#include <thread>

#include "codec/gif_file.h"

namespace tovala {
namespace {

constexpr int kW = 40, kH = 30;

// RGBA frames: a grey ramp of `shades` levels, with a red square at (x, 10) and, when asked,
// the left quarter transparent.
std::vector<uint8_t> frameAt(int x, int shades, bool holes) {
  std::vector<uint8_t> rgba(size_t(kW) * kH * 4);
  for (int y = 0; y < kH; ++y)
    for (int i = 0; i < kW; ++i) {
      uint8_t* p = &rgba[(size_t(y) * kW + size_t(i)) * 4];
      const uint8_t grey = uint8_t((y * kW + i) % shades);
      const bool square = i >= x && i < x + 5 && y >= 10 && y < 15;
      p[0] = square ? 255 : grey;
      p[1] = square ? 0 : grey;
      p[2] = square ? 0 : grey;
      p[3] = holes && i < kW / 4 ? 0 : 255;
    }
  return rgba;
}

int readBytes(GifFileType* gif, GifByteType* out, int length) {
  auto* in = static_cast<std::pair<const std::vector<uint8_t>*, size_t>*>(gif->UserData);
  const int n = int(std::min(size_t(length), in->first->size() - in->second));
  std::copy_n(in->first->data() + in->second, n, out);
  in->second += size_t(n);
  return n;
}

// The frames as a viewer composes them (each drawn over the canvas, transparent pixels left),
// as RGB with -1 for a transparent pixel, rows of the file's width.
std::vector<std::vector<int>> compose(const std::vector<uint8_t>& file) {
  std::pair<const std::vector<uint8_t>*, size_t> source{&file, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&source, readBytes, &error);
  EXPECT_NE(gif, nullptr);
  if (!gif) return {};
  EXPECT_EQ(DGifSlurp(gif), GIF_OK);
  std::vector<std::vector<int>> frames;
  const int width = gif->SWidth;
  std::vector<int> canvas(size_t(width) * size_t(gif->SHeight), -1);
  for (int f = 0; f < gif->ImageCount; ++f) {
    const SavedImage& image = gif->SavedImages[f];
    GraphicsControlBlock gcb;
    DGifSavedExtensionToGCB(gif, f, &gcb);
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    const GifImageDesc& d = image.ImageDesc;
    for (int y = 0; y < d.Height; ++y)
      for (int x = 0; x < d.Width; ++x) {
        const int index = image.RasterBits[y * d.Width + x];
        const GifColorType c = map->Colors[index];
        canvas[size_t(d.Top + y) * size_t(width) + size_t(d.Left + x)] =
            index == gcb.TransparentColor ? -1 : (c.Red << 16 | c.Green << 8 | c.Blue);
      }
    frames.push_back(canvas);
    if (gcb.DisposalMode == DISPOSE_BACKGROUND) canvas.assign(canvas.size(), -1);
  }
  DGifCloseFile(gif, &error);
  return frames;
}

std::vector<int> expected(const std::vector<uint8_t>& rgba) {
  std::vector<int> out(size_t(kW) * kH);
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = rgba[4 * i + 3] < 128 ? -1 : (rgba[4 * i] << 16 | rgba[4 * i + 1] << 8 | rgba[4 * i + 2]);
  return out;
}

TEST(GifFile, FramesReadBackExactlyWithAndWithoutTransparency) {
  for (bool transparent : {false, true}) {
    // Palettes of 100 and 200 greys (exact), then one frame the same as the one before.
    const std::vector<std::vector<uint8_t>> frames = {
        frameAt(2, 100, transparent), frameAt(12, 100, transparent),
        frameAt(20, 200, transparent), frameAt(20, 200, transparent)};
    GifAnimationWriter writer;
    for (const auto& rgba : frames) {
      GifFrame frame;
      ASSERT_TRUE(quantizeGifFrame(rgba, kW, kH, transparent, frame));
      ASSERT_TRUE(writer.add(frame, gifDelay(0, 10)));
    }
    const auto shown = compose(writer.finish());
    ASSERT_EQ(shown.size(), frames.size());
    for (size_t f = 0; f < frames.size(); ++f)
      EXPECT_EQ(shown[f], expected(frames[f])) << "frame " << f << " transparent " << transparent;
  }
}

TEST(GifFile, ManyColoursGetAPaletteAndDelaysAddUp) {
  std::vector<uint8_t> rgba(size_t(kW) * kH * 4, 255);
  for (size_t i = 0; i < size_t(kW) * kH; ++i) rgba[4 * i] = uint8_t(i), rgba[4 * i + 1] = uint8_t(i / 3);
  GifFrame frame;
  ASSERT_TRUE(quantizeGifFrame(rgba, kW, kH, false, frame));
  EXPECT_EQ(frame.palette.size(), 3u * 256);
  EXPECT_FALSE(quantizeGifFrame(rgba, kW, kH + 1, false, frame));  // too few bytes
  int total = 0;
  for (int f = 0; f < 24; ++f) total += gifDelay(f, 24);
  EXPECT_EQ(total, 100);  // a second
  EXPECT_EQ(gifDelay(0, 3) + gifDelay(1, 3) + gifDelay(2, 3), 100);
}

// How far a picture of many colours read back strays from its source.
struct Stray {
  double meanError = 0;   // per channel, over every pixel
  // Inside a margin of 16 pixels: the palette's colours are means of boxes of colours, so the
  // extremes of the range lie outside every mix of them and its edges cannot be matched.
  double worstBlock = 0;  // the largest gap between an 8 x 8 block's mean and the source's
  int longestRun = 0;     // the most equal pixels side by side in a row
};

Stray strayOf(const std::vector<uint8_t>& rgba, const std::vector<int>& shown, int w, int h) {
  Stray s;
  const auto channel = [](int rgb, int k) { return (rgb >> (16 - 8 * k)) & 0xFF; };
  double total = 0;
  for (size_t i = 0; i < size_t(w) * size_t(h); ++i)
    for (int k = 0; k < 3; ++k) total += std::abs(channel(shown[i], k) - rgba[4 * i + size_t(k)]);
  s.meanError = total / (3.0 * w * h);
  constexpr int kMargin = 16;
  for (int by = kMargin; by + 8 <= h - kMargin; by += 8)
    for (int bx = kMargin; bx + 8 <= w - kMargin; bx += 8)
      for (int k = 0; k < 3; ++k) {
        double gap = 0;
        for (int y = by; y < by + 8; ++y)
          for (int x = bx; x < bx + 8; ++x) {
            const size_t i = size_t(y) * size_t(w) + size_t(x);
            gap += channel(shown[i], k) - rgba[4 * i + size_t(k)];
          }
        s.worstBlock = std::max(s.worstBlock, std::abs(gap) / 64);
      }
  for (int y = kMargin; y < h - kMargin; ++y)
    for (int x = kMargin, run = 0; x < w - kMargin; ++x) {
      const size_t i = size_t(y) * size_t(w) + size_t(x);
      run = x > kMargin && shown[i] == shown[i - 1] ? run + 1 : 1;
      s.longestRun = std::max(s.longestRun, run);
    }
  return s;
}

// A smooth gradient of 16,384 colours: red across, green down. Its 256-colour palette spaces
// the reds some 16 levels apart, so without dithering each row holds runs of about 8 equal
// pixels and blocks stray far from the source; dithered, the blocks keep near its mean.
// The frame is the same on two threads at once.
TEST(GifFile, GradientsOfManyColoursAreDitheredNotBanded) {
  constexpr int w = 128, h = 128;
  std::vector<uint8_t> rgba(size_t(w) * h * 4, 255);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &rgba[(size_t(y) * w + size_t(x)) * 4];
      p[0] = uint8_t(2 * x);
      p[1] = uint8_t(2 * y);
      p[2] = uint8_t(96 + (x + y) / 8);
    }
  GifFrame frames[2];
  std::thread other([&] { EXPECT_TRUE(quantizeGifFrame(rgba, w, h, false, frames[1])); });
  ASSERT_TRUE(quantizeGifFrame(rgba, w, h, false, frames[0]));
  other.join();
  EXPECT_EQ(frames[0].indices, frames[1].indices);
  EXPECT_EQ(frames[0].palette, frames[1].palette);

  GifAnimationWriter writer;
  ASSERT_TRUE(writer.add(frames[0], 10));
  const auto shown = compose(writer.finish());
  ASSERT_EQ(shown.size(), 1u);
  const Stray s = strayOf(rgba, shown[0], w, h);
  // Banded, this picture strays by a mean of 6.6, blocks by 23 and has runs of 31; dithered,
  // by 7.7, 3.7 and 15.
  EXPECT_LT(s.meanError, 9.0);
  EXPECT_LT(s.worstBlock, 6.0);
  EXPECT_LE(s.longestRun, 20);
}

}  // namespace
}  // namespace tovala
