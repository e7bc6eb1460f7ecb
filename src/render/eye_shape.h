#pragma once
// The inside of an eye object: the white, then the iris, the pupil and the highlight as
// ellipses, each painted only where the eye's mask is inside.
//
// Settings (rule words of the object from the fourth on): white colour; iris colour; iris width
// and height as fractions of the eye's width and height (x 10000, high and low half; 0 means the
// usual 0.4 and 1.0); iris setting xxyywwhh: the iris offset from the eye's centre in percent of
// its half-size (xx, yy; a negative n stored as 0xFF - n) and the pupil size in percent of the
// iris (ww, hh; 0 means 50); pupil colour; highlight setting xxyywwhh: offset from the iris
// centre in percent of the iris half-size and size in percent of the iris (all 0: up and left,
// 30 percent); highlight colour.

#include <cstdint>
#include <vector>

#include "model/image_store.h"
#include "model/records.h"

namespace tovala {

// The eye's extent in scratch pixels (left, top, right, bottom of its points).
struct EyeExtent {
  double left, top, right, bottom;
};

uint32_t eyeWhite(const ObjectRecord& eye);

// Paints iris, pupil and highlight over the pixels of `scratch` that hold the white colour.
void paintEye(ImageSlot& scratch, const ObjectRecord& eye, const EyeExtent& extent);

}  // namespace tovala
