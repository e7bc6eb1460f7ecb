#pragma once
// Whole-image operations of the renderer: laying one image over another with a transparent key
// or a strength, flood fill, and rectangle fills. All clip to both images.

#include <cstdint>

#include "model/image_store.h"
#include "render/pixel_rect.h"

namespace tovala {

inline constexpr uint32_t kNoKey = 0xFF000000;            // this or above: no transparent colour
inline constexpr uint32_t kSourceCornerKey = 0xFE000000;  // top byte 254: the source's (0, 0)
inline constexpr int kCopy = -1;                          // strength: copy the source pixel

// Lays the w x h top-left part of `source` onto `target` with its top-left at (x, y). A source
// pixel equal to `key` is skipped; with `keyOnTarget` only target pixels that differ from `key`
// are written instead. With strength kCopy the source pixel is copied, otherwise each byte
// becomes (strength * source + (255 - strength) * target) / 256. Only target pixels inside
// `clip` change, and no byte outside it is written.
void composite(ImageSlot& target, int x, int y, int w, int h, const ImageSlot& source, uint32_t key,
               int strength, bool keyOnTarget, const PixelRect& clip = kAnywhere);

// `base` with `over` laid on it as composite(base, 0, 0, ..., over, key, strength, false) would,
// written to `out` in one pass (all three the same size; false and nothing done otherwise).
bool layOver(ImageSlot& out, const ImageSlot& base, const ImageSlot& over, uint32_t key,
             int strength);

// Replaces the 4-connected region of pixels equal to pixel (x, y) by `colour`. The work list
// holds filled runs only, so it never needs more entries than the image has runs.
void floodFill(ImageSlot& image, int x, int y, uint32_t colour);

void fillRect(ImageSlot& image, const PixelRect& rect, uint32_t colour);

// Copies `source` over `target` when both have the same size (false otherwise).
bool copyPixels(ImageSlot& target, const ImageSlot& source);

}  // namespace tovala
