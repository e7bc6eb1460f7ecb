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

#if defined(__SSE2__)
// Sixteen pixels (48 bytes, three vectors) against a key colour: which bytes belong to pixels
// equal to the key in all three bytes.
class KeyBlock {
 public:
  static constexpr size_t kBytes = 48;
  static constexpr uint64_t kAll = (uint64_t(1) << kBytes) - 1;

  explicit KeyBlock(const Bgr& key) {
    uint8_t pattern[kBytes];
    for (size_t i = 0; i < kBytes; i += 3) key.store(pattern + i);
    for (int v = 0; v < 3; ++v)
      key_[v] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern + 16 * v));
  }
  // One bit per byte of the block, set for the bytes of key pixels.
  uint64_t keyBytes(const __m128i (&block)[3]) const {
    uint64_t equal = 0;
    for (int v = 0; v < 3; ++v)
      equal |= uint64_t(uint16_t(_mm_movemask_epi8(_mm_cmpeq_epi8(block[v], key_[v])))) << (16 * v);
    if (equal == kAll) return kAll;
    constexpr uint64_t kPixelStarts = 0x249249249249;  // bit 3p for each of the 16 pixels
    const uint64_t starts = equal & (equal >> 1) & (equal >> 2) & kPixelStarts;
    return starts | starts << 1 | starts << 2;
  }
  // Vector v of the block as a byte mask: 0xFF where `bits` is set.
  static __m128i byteMask(uint64_t bits, int v) {
    static const auto spread = [] {
      std::array<uint64_t, 256> table{};
      for (int b = 0; b < 256; ++b)
        for (int i = 0; i < 8; ++i)
          if (b & (1 << i)) table[size_t(b)] |= uint64_t(0xFF) << (8 * i);
      return table;
    }();
    const uint64_t part = bits >> (16 * v);
    return _mm_set_epi64x(int64_t(spread[(part >> 8) & 0xFF]), int64_t(spread[part & 0xFF]));
  }
  static void load(const uint8_t* p, __m128i (&block)[3]) {
    for (int v = 0; v < 3; ++v) block[v] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p) + v);
  }
  static void store(uint8_t* p, const __m128i (&block)[3]) {
    for (int v = 0; v < 3; ++v) _mm_storeu_si128(reinterpret_cast<__m128i*>(p) + v, block[v]);
  }
  // `a` where the mask is set, `b` elsewhere.
  static __m128i select(__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
  }

 private:
  __m128i key_[3];
};

// (s * over + rest * base) >> 8 per byte.
inline __m128i blendVector(__m128i over, __m128i base, __m128i s, __m128i rest) {
  const __m128i zero = _mm_setzero_si128();
  auto half = [&](__m128i o, __m128i b) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(o, s), _mm_mullo_epi16(b, rest)), 8);
  };
  return _mm_packus_epi16(half(_mm_unpacklo_epi8(over, zero), _mm_unpacklo_epi8(base, zero)),
                          half(_mm_unpackhi_epi8(over, zero), _mm_unpackhi_epi8(base, zero)));
}
#endif

// Copies the pixels of one row that differ from the key, sixteen at a time: all-key blocks are
// skipped, key-free blocks stored whole, and mixed ones blended by a byte mask.
void keyedCopyRow(uint8_t* dst, const uint8_t* src, size_t bytes, uint32_t keyColour) {
  const Bgr k(keyColour);
  size_t at = 0;
#if defined(__SSE2__)
  const KeyBlock key(k);
  for (; at + KeyBlock::kBytes <= bytes; at += KeyBlock::kBytes) {
    __m128i block[3];
    KeyBlock::load(src + at, block);
    const uint64_t keep = key.keyBytes(block);
    if (keep == KeyBlock::kAll) continue;
    if (keep != 0) {
      __m128i old[3];
      KeyBlock::load(dst + at, old);
      for (int v = 0; v < 3; ++v)
        block[v] = KeyBlock::select(KeyBlock::byteMask(keep, v), old[v], block[v]);
    }
    KeyBlock::store(dst + at, block);
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
               int strength, bool keyOnTarget, const PixelRect& clip) {
  if (!target.present || !source.present) return;
  // Source columns i and rows j that land inside both images and the clip.
  const PixelRect area = clip.intersected(PixelRect::ofSize(target.width, target.height));
  const int64_t i0 = std::max<int64_t>(0, int64_t(area.left) - x);
  const int64_t i1 = std::min<int64_t>({w, source.width, int64_t(area.right) - x});
  const int64_t j0 = std::max<int64_t>(0, int64_t(area.top) - y);
  const int64_t j1 = std::min<int64_t>({h, source.height, int64_t(area.bottom) - y});
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
#if defined(__SSE2__)
  const KeyBlock keyBlock(k);
  const __m128i sv = _mm_set1_epi16(int16_t(s)), restv = _mm_set1_epi16(int16_t(rest));
#endif
  for (int y = 0; y < base.height; ++y) {
    const uint8_t* b = base.row(y);
    const uint8_t* o = over.row(y);
    uint8_t* d = out.row(y);
    const uint8_t* const end = o + bytes;
#if defined(__SSE2__)
    // Sixteen pixels at a time: the base where the overlay is the key, the overlay (copied or
    // blended) elsewhere.
    for (; end - o >= ptrdiff_t(KeyBlock::kBytes);
         o += KeyBlock::kBytes, b += KeyBlock::kBytes, d += KeyBlock::kBytes) {
      __m128i ov[3], bv[3];
      KeyBlock::load(o, ov);
      KeyBlock::load(b, bv);
      const uint64_t keep = keyed ? keyBlock.keyBytes(ov) : 0;
      if (keep == KeyBlock::kAll) {
        KeyBlock::store(d, bv);
        continue;
      }
      for (int v = 0; v < 3; ++v) {
        if (strength != kCopy) ov[v] = blendVector(ov[v], bv[v], sv, restv);
        if (keep != 0) ov[v] = KeyBlock::select(KeyBlock::byteMask(keep, v), bv[v], ov[v]);
      }
      KeyBlock::store(d, ov);
    }
#endif
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
