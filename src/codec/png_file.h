#pragma once
// PNG files through libpng. The reader accepts every PNG libpng reads (any bit depth, palette,
// grey, interlaced) and yields the 24-bit bottom-up image the BMP reader yields. A picture has
// no transparency, so alpha is laid over white with the stored values as they are:
// colour' = (colour * alpha + 255 * (255 - alpha)) / 255, rounded. White is the canvas's
// usual background, and a figure written with a transparent background reads back as it looked
// drawn on white.
//
// Refused, with `out` left empty: a wrong signature, anything libpng reports as an error
// (truncation, a damaged critical chunk or compressed stream, missing image data), a side
// outside 1 .. kMaxPictureSide or more than kMaxPictureBytes of pixels, and a
// header promising more pixel data than the file's bytes could inflate to (deflate expands at
// most 1032 times): decompression bombs stop before anything is allocated. Warnings (an odd
// colour profile, say) do not refuse a file.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "codec/picture.h"

namespace tovala {

inline constexpr std::array<uint8_t, 8> kPngSignature = {0x89, 'P',  'N',  'G',
                                                         '\r', '\n', 0x1A, '\n'};

bool decodePng(std::span<const uint8_t> file, ImageSlot& out);

// The image as an 8-bit PNG file: RGB, or RGBA when `alpha` holds one opacity per pixel (rows
// from the top, width * height bytes). Empty when `alpha` has another size or libpng refuses.
// `fast` trades size for speed (libpng's quicker filtering and compression), for large pictures.
std::vector<uint8_t> encodePng(const ImageSlot& image, std::span<const uint8_t> alpha = {},
                               bool fast = false);

}  // namespace tovala
