#include "render/mask_scratch.h"

#include <algorithm>
#include <cmath>

#include "render/image_ops.h"

namespace tovala {

namespace {

// Boxes reaching at most this far past the layer are kept whole, exactly as measured.
constexpr int kWholeBoxRim = 64;
// A cut box keeps this much of a rim around the layer.
constexpr int kCutRim = 2;
// Box sides are held to this magnitude before they become integers.
constexpr double kFarBox = 1e15;

// Calls visit(x, y) for every pixel on the border of the image, each once.
template <class F>
void forBorder(const ImageSlot& image, F&& visit) {
  const int w = image.width, h = image.height;
  for (int x = 0; x < w; ++x) {
    visit(x, 0);
    if (h > 1) visit(x, h - 1);
  }
  for (int y = 1; y + 1 < h; ++y) {
    visit(0, y);
    if (w > 1) visit(w - 1, y);
  }
}

bool isColour(const ImageSlot& image, int x, int y, uint32_t colour) {
  return image.pixel(x, y) == colour;
}

// Replaces `inside` by `back` from (x, y) one step at a time until another colour is met.
void scanInwards(ImageSlot& image, int x, int y, int dx, int dy, uint32_t inside, uint32_t back) {
  while (image.contains(x, y) && isColour(image, x, y, inside)) {
    image.setPixel(x, y, back);
    x += dx;
    y += dy;
  }
}

}  // namespace

bool placeMask(float left, float top, float right, float bottom, int layerWidth, int layerHeight,
               MaskPlacement& out) {
  const double w = double(right) - left, h = double(bottom) - top;
  if (!std::isfinite(left) || !std::isfinite(top) || !(w >= 1) || !(h >= 1) || !std::isfinite(w) ||
      !std::isfinite(h))
    return false;
  // Kept in 64 bits until cut: an absurd box may not fit an int. Beyond kFarBox (where a float
  // box may not fit 64 bits either) the box is cut anyway, so its far sides are only pinned.
  auto toInt64 = [](double v) { return int64_t(std::clamp(v, -kFarBox, kFarBox)); };
  const int64_t x0 = toInt64(left), y0 = toInt64(top);
  const int64_t x1 = std::abs(left) < kFarBox ? x0 + toInt64(w) : toInt64(right);
  const int64_t y1 = std::abs(top) < kFarBox ? y0 + toInt64(h) : toInt64(bottom);
  const bool whole = x0 >= -kWholeBoxRim && y0 >= -kWholeBoxRim &&
                     x1 <= int64_t(layerWidth) + kWholeBoxRim &&
                     y1 <= int64_t(layerHeight) + kWholeBoxRim;
  auto pin = [](int64_t v) { return int(std::clamp<int64_t>(v, -kCoordLimit, kCoordLimit)); };
  out.box = {pin(x0), pin(y0), pin(x1), pin(y1)};
  if (whole) {
    out.window = out.box;
    return !out.box.empty();
  }
  out.window =
      out.box.intersected({-kCutRim, -kCutRim, layerWidth + kCutRim, layerHeight + kCutRim});
  return !out.window.empty();
}

uint32_t maskMarker(uint32_t back, uint32_t inside, uint32_t lineColour) {
  const uint32_t marker = (back - 1) & 0xFFFFFF;
  return marker == (inside & 0xFFFFFF) ? (lineColour - 1) & 0xFFFFFF : marker;
}

int windingAround(std::span<const IntPoint> polygon, int x, int y) {
  int winding = 0;
  const size_t n = polygon.size();
  for (size_t i = 0; i < n; ++i) {
    const IntPoint& a = polygon[i];
    const IntPoint& b = polygon[(i + 1) % n];
    // Sign of the cross product: which side of a->b the point lies on.
    const int64_t side =
        (int64_t(b.x) - a.x) * (int64_t(y) - a.y) - (int64_t(x) - a.x) * (int64_t(b.y) - a.y);
    if (a.y <= y) {
      if (b.y > y && side > 0) ++winding;
    } else if (b.y <= y && side < 0) {
      --winding;
    }
  }
  return winding;
}

void clearOutside(ImageSlot& scratch, uint32_t inside, uint32_t back, OutsideClearing how,
                  const MaskPlacement& place, std::span<const IntPoint> outline) {
  if (!scratch.present || scratch.width <= 0 || scratch.height <= 0) return;
  inside &= 0xFFFFFF;
  back &= 0xFFFFFF;
  // Of a whole box every border pixel lies outside the shape; of a cut one only some do.
  auto outside = [&](int x, int y) { return !place.cut() || windingAround(outline, x, y) == 0; };
  if (how == OutsideClearing::kFlood) {
    if (!place.cut()) {
      floodFill(scratch, 0, 0, back);
      return;
    }
    forBorder(scratch, [&](int x, int y) {
      if (isColour(scratch, x, y, inside) && outside(x, y)) floodFill(scratch, x, y, back);
    });
    return;
  }
  // Scanning: every row from both ends, then every column from both ends.
  const int w = scratch.width, h = scratch.height;
  for (int y = 0; y < h; ++y) {
    if (outside(0, y)) scanInwards(scratch, 0, y, 1, 0, inside, back);
    if (outside(w - 1, y)) scanInwards(scratch, w - 1, y, -1, 0, inside, back);
  }
  for (int x = 0; x < w; ++x) {
    if (outside(x, 0)) scanInwards(scratch, x, 0, 0, 1, inside, back);
    if (outside(x, h - 1)) scanInwards(scratch, x, h - 1, 0, -1, inside, back);
  }
}

}  // namespace tovala
