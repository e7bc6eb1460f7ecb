#pragma once
// 24-bit images in the Windows bottom-up layout: rows stored bottom row first, each row padded
// to a multiple of 4 bytes, pixels as blue, green, red. Work images, user pictures and the paint
// undo store are all ImageStores.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "codec/picture.h"
#include "model/brush_kernel.h"

namespace tovala {

class Ui;

class ImageStore {
 public:
  static constexpr int32_t kMaxSide = kMaxPictureSide;
  static constexpr uint64_t kMaxPixelBytes = kMaxPictureBytes;

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

}  // namespace tovala
