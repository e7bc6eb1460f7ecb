#pragma once
// The one picture every reader yields and every writer takes: 24 bits in the Windows bottom-up
// layout, rows stored bottom row first, each row padded to a multiple of 4 bytes, pixels as blue,
// green, red, with the BITMAPINFO header the project file stores beside the pixels.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tovala {

inline constexpr int kBitmapInfoHeaderSize = 40;
inline constexpr int kHeaderBufferSize = 1760;  // a 40-byte header and up to 430 table entries
inline constexpr int32_t kDefaultResolution = 4740;  // pixels per metre

// Largest side accepted for any picture; keeps width * height * 3 far from overflow.
inline constexpr int32_t kMaxPictureSide = 32768;
// Largest pixel data a picture read from a file may have: 256 MiB, a picture of some 9000 x
// 9000 pixels, far more than a project can store. A few megabytes of compressed file cannot
// make the editor ask for gigabytes.
inline constexpr uint64_t kMaxPictureBytes = uint64_t(1) << 28;

// Bytes per row of a 24-bit image: 3 per pixel, rounded up to a multiple of 4.
constexpr int32_t strideFor(int32_t width) { return (3 * width + 3) & ~3; }

struct ImageSlot {
  bool present = false;
  std::vector<uint8_t> header;  // BITMAPINFO: 40-byte header then any colour table
  std::vector<uint8_t> pixels;  // stride * height bytes, bottom-up
  int32_t stride = 0;
  uint32_t size = 0;
  int32_t width = 0;
  int32_t height = 0;

  // Row y counted from the top.
  uint8_t* row(int y) { return pixels.data() + size_t(stride) * size_t(height - 1 - y); }
  const uint8_t* row(int y) const {
    return pixels.data() + size_t(stride) * size_t(height - 1 - y);
  }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  // The colour 0x00BBGGRR at (x, y); (x, y) must be inside.
  uint32_t pixel(int x, int y) const {
    const uint8_t* p = row(y) + 3 * x;
    return uint32_t(p[2]) | (uint32_t(p[1]) << 8) | (uint32_t(p[0]) << 16);
  }
  void setPixel(int x, int y, uint32_t colour) {
    uint8_t* p = row(y) + 3 * x;
    p[0] = uint8_t(colour >> 16);
    p[1] = uint8_t(colour >> 8);
    p[2] = uint8_t(colour);
  }
  int colourTableEntries() const {
    return header.size() > size_t(kBitmapInfoHeaderSize)
               ? int((header.size() - kBitmapInfoHeaderSize) / 4)
               : 0;
  }
  bool operator==(const ImageSlot&) const = default;
};

// Writes `pixels` pixels of `colour` (0x00BBGGRR) from `row` on, as blue, green, red bytes.
void fillPattern(uint8_t* row, int32_t pixels, uint32_t colour);

// The 40-byte header of a blank 24-bit image.
std::vector<uint8_t> blankBitmapHeader(int32_t width, int32_t height);

// Makes `out` a black 24-bit picture of width x height for a decoder to fill; false, leaving it
// empty, when a side is outside 1 .. kMaxPictureSide or the pixels would pass kMaxPictureBytes.
bool allocatePicture(ImageSlot& out, int64_t width, int64_t height);

}  // namespace tovala
