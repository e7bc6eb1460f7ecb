#include "render/eye_shape.h"

#include <algorithm>
#include <cmath>

#include "render/pixel_rect.h"

namespace tovala {

namespace {

constexpr int kFirstEyeWord = 3;

uint32_t word(const ObjectRecord& eye, int item) {
  return uint32_t(eye.d[size_t(kFirstEyeWord + item)]);
}

// A stored offset byte: 0..127 as they are, a negative n stored as 0xFF - n.
int offsetByte(uint32_t b) { return b > 127 ? -int(0xFF - b) : int(b); }

struct Ellipse {
  double cx, cy, rx, ry;
};

// Fills the ellipse where `inside` marks the eye.
void paintEllipse(ImageSlot& image, const std::vector<uint8_t>& inside, const Ellipse& e,
                  uint32_t colour) {
  if (!(e.rx > 0) || !(e.ry > 0)) return;
  const PixelRect area =
      PixelRect{toPixel(std::floor(e.cx - e.rx)), toPixel(std::floor(e.cy - e.ry)),
                toPixel(std::ceil(e.cx + e.rx)) + 1, toPixel(std::ceil(e.cy + e.ry)) + 1}
          .intersected(PixelRect::ofSize(image.width, image.height));
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      const double u = (x - e.cx) / e.rx, v = (y - e.cy) / e.ry;
      if (u * u + v * v <= 1.0 && inside[size_t(y) * size_t(image.width) + size_t(x)])
        image.setPixel(x, y, colour);
    }
}

}  // namespace

uint32_t eyeWhite(const ObjectRecord& eye) { return word(eye, 0) & 0xFFFFFF; }

void paintEye(ImageSlot& scratch, const ObjectRecord& eye, const EyeExtent& extent) {
  if (!scratch.present) return;
  const uint32_t white = eyeWhite(eye);
  std::vector<uint8_t> inside(size_t(scratch.width) * size_t(scratch.height));
  for (int y = 0; y < scratch.height; ++y)
    for (int x = 0; x < scratch.width; ++x)
      inside[size_t(y) * size_t(scratch.width) + size_t(x)] = scratch.pixel(x, y) == white;

  const double cx = (extent.left + extent.right) / 2, cy = (extent.top + extent.bottom) / 2;
  const double rx = (extent.right - extent.left) / 2, ry = (extent.bottom - extent.top) / 2;
  const uint32_t size = word(eye, 2);
  const double fw = (size >> 16) ? (size >> 16) / 10000.0 : 0.4;
  const double fh = (size & 0xFFFF) ? (size & 0xFFFF) / 10000.0 : 1.0;
  const uint32_t iris = word(eye, 3);
  const Ellipse irisShape{cx + offsetByte(iris >> 24) / 100.0 * rx,
                          cy + offsetByte((iris >> 16) & 0xFF) / 100.0 * ry, fw * rx, fh * ry};
  const double pw = ((iris >> 8) & 0xFF) ? ((iris >> 8) & 0xFF) / 100.0 : 0.5;
  const double ph = (iris & 0xFF) ? (iris & 0xFF) / 100.0 : 0.5;
  const uint32_t light = word(eye, 5);
  const int lx = light ? offsetByte(light >> 24) : -30,
            ly = light ? offsetByte((light >> 16) & 0xFF) : -30;
  const double lw = ((light >> 8) & 0xFF) ? ((light >> 8) & 0xFF) / 100.0 : 0.3;
  const double lh = (light & 0xFF) ? (light & 0xFF) / 100.0 : 0.3;

  paintEllipse(scratch, inside, irisShape, word(eye, 1) & 0xFFFFFF);
  paintEllipse(scratch, inside, {irisShape.cx, irisShape.cy, pw * irisShape.rx, ph * irisShape.ry},
               word(eye, 4) & 0xFFFFFF);
  paintEllipse(scratch, inside,
               {irisShape.cx + lx / 100.0 * irisShape.rx, irisShape.cy + ly / 100.0 * irisShape.ry,
                lw * irisShape.rx, lh * irisShape.ry},
               word(eye, 6) & 0xFFFFFF);
}

}  // namespace tovala
