#pragma once
// 24-bit images in the Windows bottom-up layout: rows stored bottom row first, each row padded
// to a multiple of 4 bytes, pixels as blue, green, red. Work images, user pictures and the paint
// undo store are all ImageStores.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/brush_kernel.h"

namespace tovala {

class Ui;

inline constexpr int kBitmapInfoHeaderSize = 40;
inline constexpr int kHeaderBufferSize = 1760;  // a 40-byte header and up to 430 table entries
inline constexpr int32_t kDefaultResolution = 4740;  // pixels per metre

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

class ImageStore {
 public:
  // Largest side accepted for any image; keeps width * height * 3 far from overflow.
  static constexpr int32_t kMaxSide = 32768;
  // Largest pixel data a picture read from a file may have: 256 MiB, a picture of some 9000 x
  // 9000 pixels, far more than a project can store. A few megabytes of compressed file cannot
  // make the editor ask for gigabytes.
  static constexpr uint64_t kMaxPixelBytes = uint64_t(1) << 28;

  void initStore(int slots);
  int slotCount() const { return int(slots_.size()); }
  bool validSlot(int slot) const { return slot >= 0 && slot < slotCount(); }
  // The slot, or nullptr when the index is outside the store.
  ImageSlot* slot(int i) { return validSlot(i) ? &slots_[size_t(i)] : nullptr; }
  const ImageSlot* slot(int i) const { return validSlot(i) ? &slots_[size_t(i)] : nullptr; }
  // The slot when it holds an image, else nullptr.
  ImageSlot* image(int i) {
    ImageSlot* s = slot(i);
    return s && s->present ? s : nullptr;
  }
  const ImageSlot* image(int i) const {
    const ImageSlot* s = slot(i);
    return s && s->present ? s : nullptr;
  }

  void release(int slot);
  bool makeBlank(int slot, int32_t width, int32_t height, uint32_t colour);
  // Builds the slot from a BITMAPINFO and pixel data; the image size is the header's
  // image-size field. Refuses (leaving the slot empty) when the header is not a 24-bit
  // uncompressed image or the pixels are too few.
  bool setImage(int slot, std::span<const uint8_t> header, std::span<const uint8_t> pixels);
  // Reads a BMP, PNG or JPEG file, told apart by its first bytes, into the slot. A missing file,
  // or one that is no readable picture, shows its message and leaves the slot as it was.
  bool loadPicture(int slot, const std::string& path, Ui& ui);
  bool saveBmp(int slot, const std::string& path, Ui& ui) const;
  void fill(int slot, uint32_t colour);
  // Images are always held at 24 bits; a slot read with a colour table is already expanded
  // when it is stored, so this only drops a leftover table from the header.
  void convertTo24(int slot);
  void addSlot();
  void removeSlot(int slot);

  BrushKernel kernel;

  bool operator==(const ImageStore&) const = default;

 private:
  std::vector<ImageSlot> slots_;
};

// Makes `out` a black 24-bit picture of width x height for a decoder to fill; false, leaving it
// empty, when a side is outside 1 .. ImageStore::kMaxSide or the pixels would pass kMaxPixelBytes.
bool allocatePicture(ImageSlot& out, int64_t width, int64_t height);

}  // namespace tovala
