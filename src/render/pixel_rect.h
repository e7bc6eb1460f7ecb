#pragma once
// A rectangle of pixels, left/top inclusive and right/bottom exclusive. The renderer uses it for
// the part of an image a drawing touched, so merges and clears can stay inside it.

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tovala {

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;

  bool empty() const { return right <= left || bottom <= top; }
  int width() const { return right - left; }
  int height() const { return bottom - top; }

  // The smallest rectangle holding both (an empty one holds nothing).
  PixelRect united(const PixelRect& o) const {
    if (empty()) return o;
    if (o.empty()) return *this;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
            std::max(bottom, o.bottom)};
  }
  PixelRect intersected(const PixelRect& o) const {
    PixelRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                std::min(bottom, o.bottom)};
    return r.empty() ? PixelRect{} : r;
  }
  bool operator==(const PixelRect&) const = default;

  static PixelRect ofSize(int width, int height) { return {0, 0, width, height}; }
};

// Largest magnitude a drawing coordinate may take. Far larger than any image, small enough that
// line arithmetic on two such coordinates stays exact in 64 bits.
inline constexpr int kCoordLimit = 1 << 28;

// A clip that holds every pixel of any image: drawing limited by it is limited by the image only.
inline constexpr PixelRect kAnywhere{-kCoordLimit, -kCoordLimit, kCoordLimit, kCoordLimit};

// A real position as a pixel coordinate: truncated toward zero like a C cast, with values beyond
// the limit (and NaN) pinned so the conversion is always defined.
inline int toPixel(double v) {
  if (v >= kCoordLimit) return kCoordLimit;
  if (v > -kCoordLimit) return int(v);
  return v != v ? 0 : -kCoordLimit;
}

}  // namespace tovala
