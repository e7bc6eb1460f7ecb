#pragma once
// Windows BMP files. The reader accepts 1, 4, 8, 16, 24 and 32-bit uncompressed files with the
// 40, 108 and 124-byte info headers, bottom-up or top-down, with or without bit-field masks, and
// always yields a 24-bit bottom-up image. The writer writes 24-bit files with the 54-byte preamble.

#include <cstdint>
#include <span>
#include <vector>

#include "codec/picture.h"

namespace tovala {

inline constexpr uint16_t kBmpType = 19778;  // "BM"

// Decodes a whole BMP file. Returns false for anything that is not a readable uncompressed
// bitmap, including files whose header promises more data than they hold or more pixels than
// kMaxPictureBytes; `out` is then empty.
bool decodeBmp(std::span<const uint8_t> file, ImageSlot& out);

// The complete file for a 24-bit image.
std::vector<uint8_t> encodeBmp(const ImageSlot& image);

}  // namespace tovala
