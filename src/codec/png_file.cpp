#include "codec/png_file.h"

#include <png.h>

#include <algorithm>

namespace tovala {

namespace {

// Deflate's largest expansion: a 258-byte match coded in two bits.
constexpr uint64_t kDeflateMaxRatio = 1032;

uint32_t bigEndian32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

// Whether the header's pixel data, at the fewest bits it can take, could come out of a file of
// this size. libpng has checked the header itself by the time this runs.
bool fitsInFile(std::span<const uint8_t> file) {
  constexpr size_t kIhdr = 8 + 8;  // signature, then the first chunk's length and type
  if (file.size() < kIhdr + 13) return false;
  const uint64_t width = bigEndian32(file.data() + kIhdr);
  const uint64_t height = bigEndian32(file.data() + kIhdr + 4);
  const uint64_t depth = file[kIhdr + 8];
  uint64_t channels = 1;
  switch (file[kIhdr + 9]) {
    case 2: channels = 3; break;  // RGB
    case 4: channels = 2; break;  // grey and alpha
    case 6: channels = 4; break;  // RGBA
    default: break;               // grey, palette
  }
  const uint64_t rowBytes = (width * channels * depth + 7) / 8;
  return height * rowBytes <= kDeflateMaxRatio * uint64_t(file.size());
}

// Frees what libpng holds for the image however the decoder leaves.
struct PngImage {
  png_image image{};
  PngImage() { image.version = PNG_IMAGE_VERSION; }
  ~PngImage() { png_image_free(&image); }
  PngImage(const PngImage&) = delete;
  PngImage& operator=(const PngImage&) = delete;
};

}  // namespace

bool decodePng(std::span<const uint8_t> file, ImageSlot& out) {
  out = ImageSlot{};
  if (file.size() < kPngSignature.size() ||
      !std::equal(kPngSignature.begin(), kPngSignature.end(), file.begin()))
    return false;
  PngImage png;
  if (!png_image_begin_read_from_memory(&png.image, file.data(), file.size())) return false;
  ImageSlot decoded;
  if (!fitsInFile(file) || !allocatePicture(decoded, png.image.width, png.image.height))
    return false;
  png.image.format = PNG_FORMAT_BGRA;
  std::vector<uint8_t> bgra(PNG_IMAGE_SIZE(png.image));
  if (!png_image_finish_read(&png.image, nullptr, bgra.data(), 0, nullptr)) return false;
  const uint8_t* src = bgra.data();
  for (int y = 0; y < decoded.height; ++y) {
    uint8_t* dst = decoded.row(y);
    for (int x = 0; x < decoded.width; ++x, src += 4, dst += 3) {
      const uint32_t a = src[3];
      for (int c = 0; c < 3; ++c)
        dst[c] = uint8_t((uint32_t(src[c]) * a + 255 * (255 - a) + 127) / 255);
    }
  }
  out = std::move(decoded);
  return true;
}

std::vector<uint8_t> encodePng(const ImageSlot& image, std::span<const uint8_t> alpha, bool fast) {
  if (!image.present || image.width <= 0 || image.height <= 0) return {};
  const size_t pixels = size_t(image.width) * size_t(image.height);
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (fast) png.flags |= PNG_IMAGE_FLAG_FAST;
  png.width = png_uint_32(image.width);
  png.height = png_uint_32(image.height);

  // Opaque pictures go straight from the slot: its rows are BGR, bottom-up, which a negative
  // stride tells libpng. With alpha the colours and opacities are interleaved, top-down.
  std::vector<uint8_t> bgra;
  const void* buffer = image.pixels.data();
  png_int_32 stride = -png_int_32(image.stride);
  if (alpha.empty()) {
    png.format = PNG_FORMAT_BGR;
  } else {
    if (alpha.size() != pixels) return {};
    png.format = PNG_FORMAT_BGRA;
    bgra.resize(pixels * 4);
    uint8_t* dst = bgra.data();
    const uint8_t* a = alpha.data();
    for (int y = 0; y < image.height; ++y) {
      const uint8_t* src = image.row(y);
      for (int x = 0; x < image.width; ++x, src += 3, dst += 4) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        dst[3] = *a++;
      }
    }
    buffer = bgra.data();
    stride = 0;
  }
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&png, nullptr, &size, 0, buffer, stride, nullptr)) return {};
  std::vector<uint8_t> file(size);
  if (!png_image_write_to_memory(&png, file.data(), &size, 0, buffer, stride, nullptr)) {
    png_image_free(&png);
    return {};
  }
  file.resize(size);
  return file;
}

}  // namespace tovala
