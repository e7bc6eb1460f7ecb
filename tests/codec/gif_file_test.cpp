// Animated GIFs read back with giflib's own reader: every frame, drawn over the frames before it
// as a viewer draws them, shows exactly the colours it was given.

#include <gtest/gtest.h>

#include <gif_lib.h>

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
// as RGB with -1 for a transparent pixel.
std::vector<std::vector<int>> compose(const std::vector<uint8_t>& file) {
  std::pair<const std::vector<uint8_t>*, size_t> source{&file, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&source, readBytes, &error);
  EXPECT_NE(gif, nullptr);
  if (!gif) return {};
  EXPECT_EQ(DGifSlurp(gif), GIF_OK);
  std::vector<std::vector<int>> frames;
  std::vector<int> canvas(size_t(kW) * kH, -1);
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
        canvas[size_t(d.Top + y) * kW + size_t(d.Left + x)] =
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

}  // namespace
}  // namespace tovala
