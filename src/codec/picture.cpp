#include "codec/picture.h"

#include <cstring>

#include "codec/byte_io.h"

namespace tovala {

std::vector<uint8_t> blankBitmapHeader(int32_t width, int32_t height) {
  ByteWriter w;
  w.u32(kBitmapInfoHeaderSize);
  w.i32(width);
  w.i32(height);
  w.u16(1);
  w.u16(24);
  w.u32(0);
  w.u32(uint32_t(strideFor(width)) * uint32_t(height));
  w.i32(kDefaultResolution);
  w.i32(kDefaultResolution);
  w.u32(0);
  w.u32(0);
  return w.take();
}

void fillPattern(uint8_t* row, int32_t pixels, uint32_t colour) {
  if (pixels <= 0) return;
  row[0] = uint8_t(colour >> 16);
  row[1] = uint8_t(colour >> 8);
  row[2] = uint8_t(colour);
  // Doubling copies: the filled part is a whole number of pixels, so copying it on keeps the
  // pattern in step.
  const size_t total = size_t(3) * size_t(pixels);
  for (size_t done = 3; done < total;) {
    const size_t n = done < total - done ? done : total - done;
    std::memcpy(row + done, row, n);
    done += n;
  }
}

bool allocatePicture(ImageSlot& out, int64_t width, int64_t height) {
  out = ImageSlot{};
  if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
      uint64_t(strideFor(int32_t(width))) * uint64_t(height) > kMaxPictureBytes)
    return false;
  out.present = true;
  out.width = int32_t(width);
  out.height = int32_t(height);
  out.stride = strideFor(out.width);
  out.size = uint32_t(out.stride) * uint32_t(out.height);
  out.header = blankBitmapHeader(out.width, out.height);
  out.pixels.assign(out.size, 0);
  return true;
}

}  // namespace tovala
