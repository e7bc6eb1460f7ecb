#pragma once
// JPEG files through libjpeg-turbo, read into the 24-bit bottom-up image the BMP reader yields.
// Baseline, progressive and arithmetic-coded files in YCbCr, RGB or grey are read; CMYK files
// are refused. A photo's Exif orientation is applied, so the picture stands as the camera meant
// it (a camera held upright stores a sideways picture and says so there).
//
// Refused, with `out` left empty: anything libjpeg reports as an error, and also its warnings
// about the pixel data, which mean damaged data it would otherwise paint over (a truncated
// file comes out grey below the cut); a side outside 1 .. kMaxPictureSide or
// more than kMaxPictureBytes of pixels; more than 4096 pixels per byte of file, a
// ratio no real picture reaches, which stops decompression bombs before the decoder allocates;
// more than 1000 scans. libjpeg's error exit returns here by longjmp and never ends the
// program.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "codec/picture.h"

namespace tovala {

inline constexpr std::array<uint8_t, 3> kJpegStart = {0xFF, 0xD8, 0xFF};

bool decodeJpeg(std::span<const uint8_t> file, ImageSlot& out);

// The picture as a baseline JPEG file at `quality` (1 to 100); empty when libjpeg refuses.
std::vector<uint8_t> encodeJpeg(const ImageSlot& image, int quality = 92);

}  // namespace tovala
