#include "codec/picture_file.h"

#include <algorithm>
#include <array>

#include "codec/bmp.h"
#include "codec/jpeg_file.h"
#include "codec/png_file.h"

namespace tovala {

namespace {

template <size_t N>
bool startsWith(std::span<const uint8_t> file, const std::array<uint8_t, N>& magic) {
  return file.size() >= N && std::equal(magic.begin(), magic.end(), file.begin());
}

}  // namespace

PictureFormat pictureFormat(std::span<const uint8_t> file) {
  if (startsWith(file, kPngSignature)) return PictureFormat::Png;
  if (startsWith(file, kJpegStart)) return PictureFormat::Jpeg;
  if (startsWith(file, std::array<uint8_t, 2>{'B', 'M'})) return PictureFormat::Bmp;
  return PictureFormat::Unknown;
}

bool decodePicture(std::span<const uint8_t> file, ImageSlot& out) {
  switch (pictureFormat(file)) {
    case PictureFormat::Bmp: return decodeBmp(file, out);
    case PictureFormat::Png: return decodePng(file, out);
    case PictureFormat::Jpeg: return decodeJpeg(file, out);
    case PictureFormat::Unknown: break;
  }
  out = ImageSlot{};
  return false;
}

}  // namespace tovala
