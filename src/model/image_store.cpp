#include "model/image_store.h"

#include <cstring>

#include "codec/bmp.h"
#include "codec/byte_io.h"
#include "codec/picture_file.h"
#include "model/file_io.h"
#include "model/messages.h"
#include "platform/ui.h"

namespace tovala {

void ImageStore::initStore(int slots) {
  slots_.assign(size_t(slots < 0 ? 0 : slots), ImageSlot{});
  kernel = BrushKernel{};
}

void ImageStore::release(int i) {
  if (ImageSlot* s = slot(i)) *s = ImageSlot{};
}

bool ImageStore::makeBlank(int i, int32_t width, int32_t height, uint32_t colour) {
  ImageSlot* s = slot(i);
  if (!s) return false;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
    *s = ImageSlot{};
    return false;
  }
  // An image of this size already here is only refilled: its memory stays mapped, and a canvas
  // made again on every load costs one pass instead of fresh pages.
  if (s->present && s->width == width && s->height == height &&
      s->pixels.size() == size_t(s->stride) * size_t(height)) {
    s->header = blankBitmapHeader(width, height);
    fill(i, colour);
    if (const size_t pad = size_t(s->stride) - size_t(3) * size_t(width); pad > 0)
      for (int y = 0; y < height; ++y) std::memset(s->row(y) + size_t(3) * size_t(width), 0, pad);
    return true;
  }
  *s = ImageSlot{};
  s->present = true;
  s->width = width;
  s->height = height;
  s->stride = strideFor(width);
  s->size = uint32_t(s->stride) * uint32_t(height);
  s->header = blankBitmapHeader(width, height);
  // Built row by row from one filled row (padding zero), so each byte is written once.
  std::vector<uint8_t> row(size_t(s->stride), 0);
  fillPattern(row.data(), width, colour);
  s->pixels.reserve(s->size);
  for (int32_t y = 0; y < height; ++y) s->pixels.insert(s->pixels.end(), row.begin(), row.end());
  return true;
}

bool ImageStore::setImage(int i, std::span<const uint8_t> header, std::span<const uint8_t> pixels) {
  ImageSlot* s = slot(i);
  if (!s) return false;
  *s = ImageSlot{};
  ByteReader r(header);
  uint32_t headerSize = r.u32();
  int32_t width = r.i32();
  int32_t height = r.i32();
  r.u16();
  uint16_t bits = r.u16();
  uint32_t compression = r.u32();
  uint32_t imageSize = r.u32();
  if (!r.ok() || headerSize < uint32_t(kBitmapInfoHeaderSize) || bits != 24 || compression != 0 ||
      width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    return false;
  const uint32_t stride = uint32_t(strideFor(width));
  const uint32_t need = stride * uint32_t(height);
  // The stored image-size field names the data that follows; it must cover the picture.
  if (imageSize < need || pixels.size() < need) return false;
  s->present = true;
  s->width = width;
  s->height = height;
  s->stride = int32_t(stride);
  s->size = need;
  s->header.assign(header.begin(), header.begin() + kBitmapInfoHeaderSize);
  ByteWriter fix;
  fix.u32(need);
  std::memcpy(s->header.data() + 20, fix.buffer().data(), 4);
  s->pixels.assign(pixels.begin(), pixels.begin() + need);
  return true;
}

bool ImageStore::loadPicture(int i, const std::string& path, Ui& ui) {
  if (!slot(i)) return false;
  if (path.empty()) {
    ui.message(msg::kNoFile, msg::kCaptionErrorLower);
    return false;
  }
  auto data = readWholeFile(path, uint64_t(1) << 31);
  if (!data) {
    ui.message(msg::kMissLoad, msg::kCaptionErrorLower);
    return false;
  }
  // Decoded before the slot is touched: a file that is not a picture leaves the slot's image.
  ImageSlot decoded;
  if (!decodePicture(*data, decoded)) {
    // A file that starts as no picture at all keeps the old message; a PNG or JPEG that
    // cannot be read says so.
    const PictureFormat format = pictureFormat(*data);
    const bool known = format == PictureFormat::Png || format == PictureFormat::Jpeg;
    ui.message(known ? msg::kPictureUnreadable : msg::kNotBitmap, msg::kCaptionErrorLower);
    return false;
  }
  release(i);
  slots_[size_t(i)] = std::move(decoded);
  return true;
}

bool ImageStore::saveBmp(int i, const std::string& path, Ui& ui) const {
  const ImageSlot* s = image(i);
  if (!s || path.empty()) return false;
  if (!writeFileAtomic(path, encodeBmp(*s))) {
    ui.message(msg::kSaveFailed, msg::kCaptionErrorLower);
    return false;
  }
  return true;
}

void ImageStore::fill(int i, uint32_t colour) {
  ImageSlot* s = image(i);
  if (!s || s->height <= 0) return;
  uint8_t* first = s->row(0);
  fillPattern(first, s->width, colour);
  for (int y = 1; y < s->height; ++y) std::memcpy(s->row(y), first, size_t(3) * size_t(s->width));
}

void ImageStore::convertTo24(int i) {
  ImageSlot* s = image(i);
  if (!s || s->colourTableEntries() == 0) return;
  s->header = blankBitmapHeader(s->width, s->height);
}

void ImageStore::addSlot() { slots_.emplace_back(); }

void ImageStore::removeSlot(int i) {
  if (!validSlot(i)) return;
  slots_.erase(slots_.begin() + i);
}

}  // namespace tovala
