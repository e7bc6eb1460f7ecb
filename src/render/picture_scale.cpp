#include "render/picture_scale.h"

#include <algorithm>
#include <cmath>

namespace tovala {

void PictureScaler::makeTaps(int32_t from, int32_t to, Taps& taps) {
  if (taps.from == from && taps.to == to) return;
  const double ratio = double(from) / to;
  taps.from = from;
  taps.to = to;
  taps.span = to < from ? int32_t(std::ceil(ratio)) + 1 : 2;
  taps.first.assign(size_t(to), 0);
  taps.weights.assign(size_t(to) * size_t(taps.span), 0.0f);
  for (int32_t o = 0; o < to; ++o) {
    float* w = &taps.weights[size_t(o) * size_t(taps.span)];
    if (to < from) {
      // The source interval [lo, hi) the output pixel covers, each source pixel weighted by
      // how much of it lies inside.
      const double lo = o * ratio, hi = std::min((o + 1) * ratio, double(from));
      const int32_t s0 = int32_t(lo);
      taps.first[size_t(o)] = s0;
      for (int32_t s = s0, k = 0; s < hi && k < taps.span; ++s, ++k)
        w[k] = float((std::min(hi, s + 1.0) - std::max(lo, double(s))) / ratio);
    } else {
      const double x = std::clamp((o + 0.5) * ratio - 0.5, 0.0, double(from - 1));
      const int32_t s0 = std::min(int32_t(x), from - 1);
      const float f = float(x - s0);
      taps.first[size_t(o)] = s0;
      w[0] = 1.0f - f;
      if (s0 + 1 < from) w[1] = f;
    }
  }
}

bool PictureScaler::scale(const ImageSlot& in, std::span<const uint8_t> alpha, int32_t width,
                          int32_t height, ImageSlot& out, std::vector<uint8_t>& outAlpha) {
  const size_t inPixels = size_t(in.width) * size_t(in.height);
  if (!in.present || width <= 0 || height <= 0 || width > ImageStore::kMaxSide ||
      height > ImageStore::kMaxSide || (!alpha.empty() && alpha.size() != inPixels))
    return false;
  if (!(out.present && out.width == width && out.height == height) &&
      !allocatePicture(out, width, height))
    return false;
  makeTaps(in.width, width, across_);
  makeTaps(in.height, height, down_);

  // Across: every source row to `width` premultiplied pixels.
  rows_.resize(size_t(in.height) * size_t(width) * 4);
  for (int32_t y = 0; y < in.height; ++y) {
    const uint8_t* src = in.row(y);
    const uint8_t* a = alpha.empty() ? nullptr : alpha.data() + size_t(y) * size_t(in.width);
    float* dst = &rows_[size_t(y) * size_t(width) * 4];
    for (int32_t x = 0; x < width; ++x, dst += 4) {
      const int32_t s0 = across_.first[size_t(x)];
      const float* w = &across_.weights[size_t(x) * size_t(across_.span)];
      float b = 0, g = 0, r = 0, o = 0;
      for (int32_t k = 0; k < across_.span && s0 + k < in.width; ++k) {
        const uint8_t* p = src + 3 * (s0 + k);
        const float wa = w[k] * (a ? a[s0 + k] : 255.0f);
        b += wa * p[0];
        g += wa * p[1];
        r += wa * p[2];
        o += wa;
      }
      dst[0] = b, dst[1] = g, dst[2] = r, dst[3] = o;
    }
  }

  // Down: the scaled rows to `height`, back from premultiplied.
  outAlpha.assign(alpha.empty() ? 0 : size_t(width) * size_t(height), 0);
  for (int32_t y = 0; y < height; ++y) {
    const int32_t s0 = down_.first[size_t(y)];
    const float* w = &down_.weights[size_t(y) * size_t(down_.span)];
    uint8_t* dst = out.row(y);
    for (int32_t x = 0; x < width; ++x, dst += 3) {
      float sum[4] = {0, 0, 0, 0};
      for (int32_t k = 0; k < down_.span && s0 + k < in.height; ++k) {
        const float* p = &rows_[(size_t(s0 + k) * size_t(width) + size_t(x)) * 4];
        for (int c = 0; c < 4; ++c) sum[c] += w[k] * p[c];
      }
      const float opacity = sum[3];
      for (int c = 0; c < 3; ++c)
        dst[c] = opacity > 0 ? uint8_t(std::clamp(sum[c] / opacity + 0.5f, 0.0f, 255.0f)) : 0;
      if (!outAlpha.empty())
        outAlpha[size_t(y) * size_t(width) + size_t(x)] =
            uint8_t(std::clamp(opacity + 0.5f, 0.0f, 255.0f));
    }
  }
  return true;
}

}  // namespace tovala
