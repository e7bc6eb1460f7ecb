#include "render/image_ops.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Eight pixels of one colour, to skip runs of a composite key at once.
struct KeyRun {
  static constexpr int kBytes = 24;
  uint64_t word[3];
  explicit KeyRun(uint32_t colour) {
    uint8_t bytes[kBytes];
    for (int i = 0; i < kBytes; i += 3) {
      bytes[i] = uint8_t(colour >> 16);
      bytes[i + 1] = uint8_t(colour >> 8);
      bytes[i + 2] = uint8_t(colour);
    }
    std::memcpy(word, bytes, kBytes);
  }
  bool matches(const uint8_t* p) const {
    uint64_t v[3];
    std::memcpy(v, p, kBytes);
    return v[0] == word[0] && v[1] == word[1] && v[2] == word[2];
  }
};

// Copies the pixels of one row that differ from the key, sixteen pixels (48 bytes) at a time:
// all-key blocks are skipped, key-free blocks stored whole, and mixed ones blended by a byte mask.
void keyedCopyRow(uint8_t* dst, const uint8_t* src, size_t bytes, uint32_t keyColour) {
  const Bgr k(keyColour);
  size_t at = 0;
#if defined(__SSE2__)
  // Per byte of a 16-bit block mask: which of its eight bytes keep the target.
  static const auto spread = [] {
    std::array<uint64_t, 256> table{};
    for (int bits = 0; bits < 256; ++bits)
      for (int b = 0; b < 8; ++b)
        if (bits & (1 << b)) table[size_t(bits)] |= uint64_t(0xFF) << (8 * b);
    return table;
  }();
  uint8_t pattern[48];
  for (int i = 0; i < 48; i += 3) k.store(pattern + i);
  const __m128i k0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern));
  const __m128i k1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern + 16));
  const __m128i k2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern + 32));
  constexpr uint64_t kPixelStarts = 0x249249249249;  // bit 3p for each of the 16 pixels
  constexpr uint64_t kAll = (uint64_t(1) << 48) - 1;
  for (; at + 48 <= bytes; at += 48) {
    const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + at));
    const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + at + 16));
    const __m128i s2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + at + 32));
    const uint64_t equal = uint64_t(uint16_t(_mm_movemask_epi8(_mm_cmpeq_epi8(s0, k0)))) |
                           uint64_t(uint16_t(_mm_movemask_epi8(_mm_cmpeq_epi8(s1, k1)))) << 16 |
                           uint64_t(uint16_t(_mm_movemask_epi8(_mm_cmpeq_epi8(s2, k2)))) << 32;
    if (equal == kAll) continue;
    // A pixel is key when its three bytes all match; its bytes then keep the target.
    const uint64_t keyStart = equal & (equal >> 1) & (equal >> 2) & kPixelStarts;
    __m128i* d = reinterpret_cast<__m128i*>(dst + at);
    if (keyStart == 0) {
      _mm_storeu_si128(d, s0);
      _mm_storeu_si128(d + 1, s1);
      _mm_storeu_si128(d + 2, s2);
      continue;
    }
    const uint64_t keep = keyStart | keyStart << 1 | keyStart << 2;
    const __m128i src3[3] = {s0, s1, s2};
    for (int v = 0; v < 3; ++v) {
      const uint64_t bits = keep >> (16 * v);
      const __m128i mask = _mm_set_epi64x(int64_t(spread[(bits >> 8) & 0xFF]),
                                          int64_t(spread[bits & 0xFF]));
      const __m128i old = _mm_loadu_si128(d + v);
      _mm_storeu_si128(d + v,
                       _mm_or_si128(_mm_and_si128(mask, old), _mm_andnot_si128(mask, src3[v])));
    }
  }
#endif
  for (; at + 3 <= bytes; at += 3)
    if (!k.matches(src + at)) std::memcpy(dst + at, src + at, 3);
}

inline void blendStrength(uint8_t* dst, const uint8_t* src, uint32_t s, uint32_t rest) {
  dst[0] = uint8_t((s * src[0] + rest * dst[0]) >> 8);
  dst[1] = uint8_t((s * src[1] + rest * dst[1]) >> 8);
  dst[2] = uint8_t((s * src[2] + rest * dst[2]) >> 8);
}

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
  const KeyRun run(keyColour);
  const Bgr k(keyColour);
  const size_t bytes = size_t(3 * (i1 - i0));
  const uint32_t s = uint32_t(std::clamp(strength, 0, 255)), rest = 255 - s;
  for (int64_t j = j0; j < j1; ++j) {
    const uint8_t* src = source.row(int(j)) + 3 * i0;
    uint8_t* dst = target.row(int(y + j)) + 3 * (x + i0);
    const uint8_t* const end = src + bytes;
    if (strength == kCopy && !keyed) {
      std::memcpy(dst, src, bytes);
      continue;
    }
    if (strength == kCopy && keyed && !keyOnTarget) {
      keyedCopyRow(dst, src, bytes, keyColour);
      continue;
    }
    // One loop per form, so each stays tight; keyed sources skip runs of the key eight pixels
    // at a time (an underlay is mostly white paper).
    if (keyed && !keyOnTarget) {
      while (src < end) {
        if (end - src >= KeyRun::kBytes && run.matches(src)) {
          src += KeyRun::kBytes;
          dst += KeyRun::kBytes;
          continue;
        }
        if (!k.matches(src)) {
          if (strength == kCopy)
            std::memcpy(dst, src, 3);
          else
            blendStrength(dst, src, s, rest);
        }
        src += 3;
        dst += 3;
      }
    } else {
      for (; src < end; src += 3, dst += 3) {
        if (keyed && k.matches(dst)) continue;
        if (strength == kCopy)
          std::memcpy(dst, src, 3);
        else
          blendStrength(dst, src, s, rest);
      }
    }
  }
}

bool layOver(ImageSlot& out, const ImageSlot& base, const ImageSlot& over, uint32_t key,
             int strength) {
  if (!out.present || !base.present || !over.present || out.width != base.width ||
      out.height != base.height || over.width != base.width || over.height != base.height)
    return false;
  uint32_t keyColour = 0;
  const bool keyed = resolveKey(key, over, keyColour);
  const KeyRun run(keyColour);
  const Bgr k(keyColour);
  const uint32_t s = uint32_t(std::clamp(strength, 0, 255)), rest = 255 - s;
  const size_t bytes = size_t(3 * base.width);
  for (int y = 0; y < base.height; ++y) {
    const uint8_t* b = base.row(y);
    const uint8_t* o = over.row(y);
    uint8_t* d = out.row(y);
    const uint8_t* const end = o + bytes;
    while (o < end) {
      if (keyed && end - o >= KeyRun::kBytes && run.matches(o)) {
        std::memcpy(d, b, KeyRun::kBytes);
        o += KeyRun::kBytes, b += KeyRun::kBytes, d += KeyRun::kBytes;
        continue;
      }
      std::memcpy(d, b, 3);
      if (!keyed || !k.matches(o)) {
        if (strength == kCopy)
          std::memcpy(d, o, 3);
        else
          blendStrength(d, o, s, rest);
      }
      o += 3, b += 3, d += 3;
    }
  }
  return true;
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
