#include "render/kernel_stamps.h"

#include <algorithm>
#include <cstdlib>

#include "render/line_walk.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tovala {

namespace {

inline void blendPixel(uint8_t* p, uint32_t k, uint32_t tb, uint32_t tg, uint32_t tr) {
  p[0] = uint8_t((k * p[0] + tb) >> 8);
  p[1] = uint8_t((k * p[1] + tg) >> 8);
  p[2] = uint8_t((k * p[2] + tr) >> 8);
}

// Eight bytes blended at once, each by its own weight and term.
inline void blendEight(uint8_t* p, const uint16_t* k, const uint16_t* t) {
#if defined(__SSE2__)
  const __m128i v =
      _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
  // k * old + (256 - k) * c is at most 256 * 255, so 16-bit lanes cannot overflow.
  const __m128i sum =
      _mm_add_epi16(_mm_mullo_epi16(v, _mm_load_si128(reinterpret_cast<const __m128i*>(k))),
                    _mm_load_si128(reinterpret_cast<const __m128i*>(t)));
  const __m128i r = _mm_srli_epi16(sum, 8);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(r, r));
#else
  for (int b = 0; b < 8; ++b) p[b] = uint8_t((uint32_t(k[b]) * p[b] + t[b]) >> 8);
#endif
}

}  // namespace

KernelStamper::KernelStamper(const BrushKernel& kernel, uint32_t colour, ImageSlot& image,
                             const PixelRect& clip)
    : image_(image),
      clip_(clip.intersected(PixelRect::ofSize(image.width, image.height))),
      width_(kernel.width),
      height_(kernel.height) {
  // A kernel whose table does not match its size stamps nothing rather than read past it.
  if (width_ <= 0 || height_ <= 0 || kernel.weights.size() < size_t(width_) * size_t(height_)) {
    width_ = height_ = 0;
    return;
  }
  const uint32_t cb = (colour >> 16) & 0xFF, cg = (colour >> 8) & 0xFF, cr = colour & 0xFF;
  for (int j = 0; j < height_; ++j)
    for (int i = 0; i < width_; ++i) {
      const int32_t w = kernel.at(i, j);
      if (w >= 256) continue;
      const uint32_t k = uint32_t(std::max(w, 0));
      cells_.push_back({i, j, -long(j) * image.stride + 3L * i, k, (256 - k) * cb, (256 - k) * cg,
                        (256 - k) * cr});
    }
  // Each row's painted span, cut into chunks of eight bytes.
  const uint32_t channel[3] = {cb, cg, cr};
  for (int j = 0; j < height_; ++j) {
    int first = width_, last = -1;
    for (int i = 0; i < width_; ++i)
      if (kernel.at(i, j) < 256) {
        first = std::min(first, i);
        last = i;
      }
    for (int byte = 3 * first; byte < 3 * (last + 1); byte += 8) {
      Chunk chunk{};
      chunk.offset = -long(j) * image.stride + byte;
      for (int b = 0; b < 8; ++b) {
        const int i = (byte + b) / 3;
        const int32_t w = i <= last ? kernel.at(i, j) : 256;
        const uint32_t k = uint32_t(std::clamp(w, 0, 256));
        chunk.k[b] = uint16_t(k);
        chunk.t[b] = uint16_t((256 - k) * channel[(byte + b) % 3]);
      }
      chunkReach_ = std::max(chunkReach_, chunk.offset + 8);
      chunks_.push_back(chunk);
    }
  }
}

void KernelStamper::stampInside(long base) const {
  uint8_t* const pixels = image_.pixels.data();
  // The last chunk of a row may reach past the image's right edge: those bytes are written
  // back unchanged, but they must still lie inside the buffer.
  if (base + chunkReach_ <= long(image_.pixels.size())) {
    for (const Chunk& c : chunks_) blendEight(pixels + base + c.offset, c.k, c.t);
    return;
  }
  for (const Cell& c : cells_) blendPixel(pixels + base + c.offset, c.k, c.tb, c.tg, c.tr);
}

bool KernelStamper::wholeInside(int left, int top) const {
  // The chunks of a row may rewrite up to seven bytes past the stamp, which near the right edge
  // run on into the row above. That row must belong to the clip too, or another band's pixels
  // would be read and written back.
  return left >= clip_.left && top >= clip_.top && left + width_ <= clip_.right &&
         top + height_ <= clip_.bottom &&
         (top > clip_.top || left + width_ + 3 <= image_.width || clip_.top == 0);
}

void KernelStamper::stamp(int x, int y) const {
  const int left = x - width_ / 2, top = y - height_ / 2;
  if (!wholeInside(left, top)) {
    stampClipped(left, top);
    return;
  }
  stampInside(long(image_.stride) * (image_.height - 1 - top) + 3L * left);
}

void KernelStamper::stampClipped(int left, int top) const {
  const int ilo = std::max(clip_.left - left, 0), ihi = std::min(width_, clip_.right - left);
  const int jlo = std::max(clip_.top - top, 0), jhi = std::min(height_, clip_.bottom - top);
  if (ilo >= ihi || jlo >= jhi) return;
  for (const Cell& c : cells_)
    if (c.i >= ilo && c.i < ihi && c.j >= jlo && c.j < jhi)
      blendPixel(image_.row(top + c.j) + 3L * (left + c.i), c.k, c.tb, c.tg, c.tr);
}

void KernelStamper::line(int x0, int y0, int x1, int y1) const {
  // Stamps cover centre - size/2 .. centre - size/2 + size - 1: a line whose stamps all miss
  // the clip draws nothing (most of a stroke's short lines, for a band of the canvas).
  const int64_t halfW = width_ / 2, halfH = height_ / 2;
  if (int64_t(std::max(x0, x1)) - halfW + width_ <= clip_.left ||
      int64_t(std::min(x0, x1)) - halfW >= clip_.right ||
      int64_t(std::max(y0, y1)) - halfH + height_ <= clip_.top ||
      int64_t(std::min(y0, y1)) - halfH >= clip_.bottom)
    return;
  const LineWalk walk(x0, y0, x1, y1);
  // A stamp centred at c covers c - size/2 .. c - size/2 + size - 1.
  const int size = walk.xMajor ? width_ : height_;
  const int lo = walk.xMajor ? clip_.left : clip_.top;
  const int hi = walk.xMajor ? clip_.right : clip_.bottom;
  if (lo >= hi) return;
  int64_t first = 0, last = 0;
  if (!walk.stepsWithin(int64_t(lo) + size / 2 - size + 1, int64_t(hi) - 1 + size / 2, first,
                        last))
    return;
  const int h = image_.height;
  const long stride = image_.stride;
  walk.walk(first, last, [&](int x, int y, int64_t) {
    const int left = x - int(halfW), top = y - int(halfH);
    if (!wholeInside(left, top)) {
      stampClipped(left, top);
      return;
    }
    stampInside(stride * long(h - 1 - top) + 3L * left);
  });
}

void stampKernel(ImageSlot& image, const BrushKernel& kernel, int x, int y, uint32_t colour) {
  KernelStamper(kernel, colour, image).stamp(x, y);
}

void stampRect(ImageSlot& image, int x, int y, int w, int h, uint32_t colour, int k,
               const PixelRect& clip) {
  if (w <= 0 || h <= 0) return;
  k = std::clamp(k, 0, 256);
  if (k == 256) return;
  const int left = std::max({x - w / 2, 0, clip.left});
  const int right = std::min({x - w / 2 + w, image.width, clip.right});
  const int top = std::max({y - h / 2, 0, clip.top});
  const int bottom = std::min({y - h / 2 + h, image.height, clip.bottom});
  if (left >= right || top >= bottom) return;
  const uint32_t m = uint32_t(256 - k);
  const uint32_t tb = m * ((colour >> 16) & 0xFF), tg = m * ((colour >> 8) & 0xFF),
                 tr = m * (colour & 0xFF);
  for (int row = top; row < bottom; ++row) {
    uint8_t* p = image.row(row) + 3L * left;
    for (int col = left; col < right; ++col, p += 3) blendPixel(p, uint32_t(k), tb, tg, tr);
  }
}

void kernelLine(ImageSlot& image, const BrushKernel& kernel, int x0, int y0, int x1, int y1,
                uint32_t colour) {
  KernelStamper(kernel, colour, image).line(x0, y0, x1, y1);
}

void taperedLine(ImageSlot& image, const TaperEnd& start, const TaperEnd& end, uint32_t colour,
                 const PixelRect& clip) {
  const bool xMajor = std::llabs(int64_t(end.x) - start.x) >= std::llabs(int64_t(end.y) - start.y);
  const bool reversed = xMajor ? end.x < start.x : end.y < start.y;
  const TaperEnd& a = reversed ? end : start;
  const TaperEnd& b = reversed ? start : end;
  const LineWalk walk(a.x, a.y, b.x, b.y);
  // Every rectangle along the line is at most as large as the larger end's.
  const int reach =
      xMajor ? std::max(stampSize(a.w), stampSize(b.w)) : std::max(stampSize(a.h), stampSize(b.h));
  const PixelRect area = clip.intersected(PixelRect::ofSize(image.width, image.height));
  if (area.empty()) return;
  const int lo = xMajor ? area.left : area.top, hi = xMajor ? area.right : area.bottom;
  int64_t first = 0, last = 0;
  if (!walk.stepsWithin(int64_t(lo) - reach - 1, int64_t(hi) + reach, first, last)) return;
  walk.walk(first, last, [&](int x, int y, int64_t k) {
    stampRect(image, x, y, stampSize(taperAt(a.w, b.w, k, walk.length)),
              stampSize(taperAt(a.h, b.h, k, walk.length)), colour,
              stampWeight(taperAt(a.k, b.k, k, walk.length)), area);
  });
}

}  // namespace tovala
