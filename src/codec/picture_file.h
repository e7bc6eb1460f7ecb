#pragma once
// Picture files told apart by their first bytes, whatever their names: BMP, PNG and JPEG all
// become the same 24-bit bottom-up ImageSlot.

#include <cstdint>
#include <span>

#include "codec/picture.h"

namespace tovala {

enum class PictureFormat { Unknown, Bmp, Png, Jpeg };

PictureFormat pictureFormat(std::span<const uint8_t> file);

// Decodes a whole BMP, PNG or JPEG file by its format. False for unknown content and for any
// file its decoder refuses; `out` is then empty.
bool decodePicture(std::span<const uint8_t> file, ImageSlot& out);

}  // namespace tovala
