#include "render/image_ops.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tovala {

namespace {

struct Bgr {
  uint8_t b, g, r;
  explicit Bgr(uint32_t colour)
      : b(uint8_t(colour >> 16)), g(uint8_t(colour >> 8)), r(uint8_t(colour)) {}
  bool matches(const uint8_t* p) const { return p[0] == b && p[1] == g && p[2] == r; }
  void store(uint8_t* p) const {
    p[0] = b;
    p[1] = g;
    p[2] = r;
  }
};

// The transparent colour a composite key names, or false for none.
bool resolveKey(uint32_t key, const ImageSlot& source, uint32_t& colour) {
  if (key >= kNoKey) return false;
  if ((key >> 24) == 0xFE) {
    if (source.width <= 0 || source.height <= 0) return false;
    colour = source.pixel(0, 0);
    return true;
  }
  colour = key & 0xFFFFFF;
  return true;
}

}  // namespace

void composite(ImageSlot& target, int x, int y, int w, int h, const ImageSlot& source, uint32_t key,
               int strength, bool keyOnTarget) {
  if (!target.present || !source.present) return;
  // Source columns i and rows j that land inside both images.
  const int64_t i0 = std::max<int64_t>(0, -int64_t(x));
  const int64_t i1 = std::min<int64_t>({w, source.width, int64_t(target.width) - x});
  const int64_t j0 = std::max<int64_t>(0, -int64_t(y));
  const int64_t j1 = std::min<int64_t>({h, source.height, int64_t(target.height) - y});
  if (i0 >= i1 || j0 >= j1) return;
  uint32_t keyColour = 0;
  const bool keyed = resolveKey(key, source, keyColour);
  const Bgr k(keyColour);
  const bool copy = strength == kCopy;
  const uint32_t s = uint32_t(std::clamp(strength, 0, 255)), rest = 255 - s;
  for (int64_t j = j0; j < j1; ++j) {
    const uint8_t* src = source.row(int(j)) + 3 * i0;
    uint8_t* dst = target.row(int(y + j)) + 3 * (x + i0);
    if (copy && !keyed) {
      std::memcpy(dst, src, size_t(3 * (i1 - i0)));
      continue;
    }
    for (int64_t i = i0; i < i1; ++i, src += 3, dst += 3) {
      if (keyed && (keyOnTarget ? k.matches(dst) : k.matches(src))) continue;
      if (copy) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
      } else {
        for (int b = 0; b < 3; ++b) dst[b] = uint8_t((s * src[b] + rest * dst[b]) >> 8);
      }
    }
  }
}

void floodFill(ImageSlot& image, int x, int y, uint32_t colour) {
  if (!image.present || !image.contains(x, y)) return;
  const Bgr target(image.pixel(x, y)), paint(colour);
  if (image.pixel(x, y) == (colour & 0xFFFFFF)) return;
  const int width = image.width;

  struct Run {
    int y, left, right;  // a filled run, both ends included
  };
  std::vector<Run> work;
  // Finds the run of target pixels through (from, row), fills it and queues it.
  auto fillRun = [&](int row, int from) -> int {
    uint8_t* line = image.row(row);
    int left = from, right = from;
    while (left > 0 && target.matches(line + 3 * (left - 1))) --left;
    while (right + 1 < width && target.matches(line + 3 * (right + 1))) ++right;
    for (int i = left; i <= right; ++i) paint.store(line + 3 * i);
    work.push_back({row, left, right});
    return right;
  };

  fillRun(y, x);
  while (!work.empty()) {
    const Run run = work.back();
    work.pop_back();
    for (int row : {run.y - 1, run.y + 1}) {
      if (row < 0 || row >= image.height) continue;
      const uint8_t* line = image.row(row);
      for (int i = run.left; i <= run.right; ++i)
        if (target.matches(line + 3 * i)) i = fillRun(row, i) + 1;
    }
  }
}

void fillRect(ImageSlot& image, const PixelRect& rect, uint32_t colour) {
  const PixelRect r = rect.intersected(PixelRect::ofSize(image.width, image.height));
  if (r.empty() || !image.present) return;
  const Bgr paint(colour);
  // Paint one row, then copy it: a plain byte copy is the fastest fill of a 3-byte pattern.
  uint8_t* first = image.row(r.top) + 3 * r.left;
  for (int i = 0; i < r.width(); ++i) paint.store(first + 3 * i);
  for (int row = r.top + 1; row < r.bottom; ++row)
    std::memcpy(image.row(row) + 3 * r.left, first, size_t(3 * r.width()));
}

bool copyPixels(ImageSlot& target, const ImageSlot& source) {
  if (!target.present || !source.present || target.width != source.width ||
      target.height != source.height || target.pixels.size() != source.pixels.size())
    return false;
  std::memcpy(target.pixels.data(), source.pixels.data(), source.pixels.size());
  return true;
}

}  // namespace tovala
