#include "render/reference_stamps.h"

#include <algorithm>
#include <cstdlib>

namespace tovala::reference {

namespace {

// Textbook Bresenham from (x0, y0) to (x1, y1): the minor coordinate advances when twice the
// accumulated rise reaches twice the length, starting half a length in.
template <class F>
void bresenham(int x0, int y0, int x1, int y1, F&& f) {
  const int64_t dx = std::llabs(int64_t(x1) - x0), dy = std::llabs(int64_t(y1) - y0);
  const int sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
  const bool xMajor = dx >= dy;
  const int64_t length = xMajor ? dx : dy, rise = xMajor ? dy : dx;
  int64_t x = x0, y = y0, r = length;
  for (int64_t k = 0; k <= length; ++k) {
    f(int(x), int(y), k);
    r += 2 * rise;
    if (r >= 2 * length) {
      r -= 2 * length;
      if (xMajor)
        y += sy;
      else
        x += sx;
    }
    if (xMajor)
      x += sx;
    else
      y += sy;
  }
}

}  // namespace

void blendPixel(ImageSlot& image, int x, int y, uint32_t colour, int k) {
  if (!image.contains(x, y)) return;
  const uint32_t old = image.pixel(x, y);
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t o = (old >> shift) & 0xFF, c = (colour >> shift) & 0xFF;
    out |= ((uint32_t(k) * o + uint32_t(256 - k) * c) >> 8) << shift;
  }
  image.setPixel(x, y, out);
}

void stampKernel(ImageSlot& image, const BrushKernel& kernel, int x, int y, uint32_t colour) {
  if (kernel.weights.size() <
      size_t(std::max(kernel.width, 0)) * size_t(std::max(kernel.height, 0)))
    return;
  for (int j = 0; j < kernel.height; ++j)
    for (int i = 0; i < kernel.width; ++i)
      blendPixel(image, x - kernel.width / 2 + i, y - kernel.height / 2 + j, colour,
                 std::clamp(kernel.at(i, j), 0, 256));
}

void stampRect(ImageSlot& image, int x, int y, int w, int h, uint32_t colour, int k) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      blendPixel(image, x - w / 2 + i, y - h / 2 + j, colour, std::clamp(k, 0, 256));
}

void kernelLine(ImageSlot& image, const BrushKernel& kernel, int x0, int y0, int x1, int y1,
                uint32_t colour) {
  bresenham(x0, y0, x1, y1,
            [&](int x, int y, int64_t) { reference::stampKernel(image, kernel, x, y, colour); });
}

void taperedLine(ImageSlot& image, const TaperEnd& start, const TaperEnd& end, uint32_t colour) {
  const bool xMajor = std::llabs(int64_t(end.x) - start.x) >= std::llabs(int64_t(end.y) - start.y);
  const bool reversed = xMajor ? end.x < start.x : end.y < start.y;
  const TaperEnd& a = reversed ? end : start;
  const TaperEnd& b = reversed ? start : end;
  const int64_t length = xMajor ? std::llabs(int64_t(b.x) - a.x) : std::llabs(int64_t(b.y) - a.y);
  bresenham(a.x, a.y, b.x, b.y, [&](int x, int y, int64_t k) {
    reference::stampRect(image, x, y, stampSize(taperAt(a.w, b.w, k, length)),
                         stampSize(taperAt(a.h, b.h, k, length)), colour,
                         stampWeight(taperAt(a.k, b.k, k, length)));
  });
}

}  // namespace tovala::reference
