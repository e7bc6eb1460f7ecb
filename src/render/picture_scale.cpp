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
  taps.count.assign(size_t(to), 0);
  taps.weights.assign(size_t(to) * size_t(taps.span), 0.0f);
  for (int32_t o = 0; o < to; ++o) {
    float* w = &taps.weights[size_t(o) * size_t(taps.span)];
    int32_t& count = taps.count[size_t(o)];
    if (to < from) {
      // The source interval [lo, hi) the output pixel covers, each source pixel weighted by
      // how much of it lies inside.
      const double lo = o * ratio, hi = std::min((o + 1) * ratio, double(from));
      const int32_t s0 = int32_t(lo);
      taps.first[size_t(o)] = s0;
      for (int32_t s = s0; s < hi && count < taps.span; ++s) {
        const double covered = std::min(hi, s + 1.0) - std::max(lo, double(s));
        if (covered <= 0) break;
        w[count++] = float(covered / ratio);
      }
    } else {
      const double x = std::clamp((o + 0.5) * ratio - 0.5, 0.0, double(from - 1));
      const int32_t s0 = std::min(int32_t(x), from - 1);
      const float f = float(x - s0);
      taps.first[size_t(o)] = s0;
      w[0] = 1.0f - f;
      w[1] = f;
      count = s0 + 1 < from && f > 0 ? 2 : 1;
    }
  }
}

namespace {

// Shrinking by whole factors: each output pixel the plain average of a kx x ky block, in whole
// numbers. Gives what the weighted path gives (to rounding), several times faster.
// Halving an opaque picture, the commonest case (a canvas exported at half size): pairs of rows
// summed in a loop the compiler vectorizes, then pairs of pixels.
void halve(const ImageSlot& in, ImageSlot& out, std::vector<uint16_t>& pairs) {
  const size_t rowBytes = 3 * size_t(in.width);
  pairs.resize(rowBytes);
  for (int32_t y = 0; y < out.height; ++y) {
    const uint8_t* a = in.row(2 * y);
    const uint8_t* b = in.row(2 * y + 1);
    for (size_t i = 0; i < rowBytes; ++i) pairs[i] = uint16_t(a[i] + b[i]);
    uint8_t* dst = out.row(y);
    const uint16_t* p = pairs.data();
    for (int32_t x = 0; x < out.width; ++x, p += 6, dst += 3) {
      dst[0] = uint8_t((p[0] + p[3] + 2) >> 2);
      dst[1] = uint8_t((p[1] + p[4] + 2) >> 2);
      dst[2] = uint8_t((p[2] + p[5] + 2) >> 2);
    }
  }
}

void averageBlocks(const ImageSlot& in, const uint8_t* alpha, int32_t kx, int32_t ky,
                   ImageSlot& out, uint8_t* outAlpha) {
  const float perBlock = 1.0f / float(kx * ky);
  for (int32_t y = 0; y < out.height; ++y) {
    uint8_t* dst = out.row(y);
    for (int32_t x = 0; x < out.width; ++x, dst += 3) {
      uint32_t sum[3] = {0, 0, 0}, opacity = 0;
      for (int32_t j = 0; j < ky; ++j) {
        const int32_t sy = y * ky + j;
        const uint8_t* p = in.row(sy) + 3 * size_t(x) * size_t(kx);
        const uint8_t* a = alpha ? alpha + size_t(sy) * size_t(in.width) + size_t(x) * size_t(kx)
                                 : nullptr;
        for (int32_t i = 0; i < kx; ++i, p += 3) {
          const uint32_t w = a ? a[i] : 1;
          sum[0] += w * p[0];
          sum[1] += w * p[1];
          sum[2] += w * p[2];
          opacity += w;
        }
      }
      // Multiplying by the reciprocal: three divisions a pixel would cost more than the sums.
      if (!alpha) {
        for (int c = 0; c < 3; ++c) dst[c] = uint8_t(float(sum[c]) * perBlock + 0.5f);
        continue;
      }
      const float perOpacity = opacity ? 1.0f / float(opacity) : 0.0f;
      for (int c = 0; c < 3; ++c) dst[c] = uint8_t(float(sum[c]) * perOpacity + 0.5f);
      outAlpha[size_t(y) * size_t(out.width) + size_t(x)] =
          uint8_t(float(opacity) * perBlock + 0.5f);
    }
  }
}

}  // namespace

template <int Channels>
void PictureScaler::scaleRows(const ImageSlot& in, const uint8_t* alpha, ImageSlot& out,
                              uint8_t* outAlpha) {
  const int32_t width = out.width, height = out.height;
  // Across: every source row to `width` pixels.
  rows_.resize(size_t(in.height) * size_t(width) * Channels);
  for (int32_t y = 0; y < in.height; ++y) {
    const uint8_t* src = in.row(y);
    const uint8_t* a = Channels == 4 ? alpha + size_t(y) * size_t(in.width) : nullptr;
    float* dst = &rows_[size_t(y) * size_t(width) * Channels];
    for (int32_t x = 0; x < width; ++x, dst += Channels) {
      const int32_t s0 = across_.first[size_t(x)], n = across_.count[size_t(x)];
      const float* w = &across_.weights[size_t(x) * size_t(across_.span)];
      float sum[Channels] = {};
      for (int32_t k = 0; k < n; ++k) {
        const uint8_t* p = src + 3 * (s0 + k);
        const float wk = Channels == 4 ? w[k] * a[s0 + k] : w[k];
        for (int c = 0; c < 3; ++c) sum[c] += wk * p[c];
        if constexpr (Channels == 4) sum[3] += wk;
      }
      for (int c = 0; c < Channels; ++c) dst[c] = sum[c];
    }
  }
  // Down: the scaled rows to `height`, colours back from premultiplied.
  for (int32_t y = 0; y < height; ++y) {
    const int32_t s0 = down_.first[size_t(y)], n = down_.count[size_t(y)];
    const float* w = &down_.weights[size_t(y) * size_t(down_.span)];
    uint8_t* dst = out.row(y);
    const float* rows = &rows_[size_t(s0) * size_t(width) * Channels];
    for (int32_t x = 0; x < width; ++x, dst += 3) {
      float sum[Channels] = {};
      for (int32_t k = 0; k < n; ++k) {
        const float* p = rows + (size_t(k) * size_t(width) + size_t(x)) * Channels;
        for (int c = 0; c < Channels; ++c) sum[c] += w[k] * p[c];
      }
      if constexpr (Channels == 4) {
        const float opacity = sum[3];
        const float scale = opacity > 0 ? 1.0f / opacity : 0.0f;
        for (int c = 0; c < 3; ++c) dst[c] = uint8_t(std::clamp(sum[c] * scale + 0.5f, 0.0f, 255.0f));
        outAlpha[size_t(y) * size_t(width) + size_t(x)] =
            uint8_t(std::clamp(opacity + 0.5f, 0.0f, 255.0f));
      } else {
        for (int c = 0; c < 3; ++c) dst[c] = uint8_t(std::clamp(sum[c] + 0.5f, 0.0f, 255.0f));
      }
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
  outAlpha.resize(alpha.empty() ? 0 : size_t(width) * size_t(height));
  if (alpha.empty() && in.width == 2 * width && in.height == 2 * height)
    halve(in, out, pairs_);
  else if (in.width % width == 0 && in.height % height == 0)
    averageBlocks(in, alpha.empty() ? nullptr : alpha.data(), in.width / width,
                  in.height / height, out, outAlpha.data());
  else if (alpha.empty())
    scaleRows<3>(in, nullptr, out, nullptr);
  else
    scaleRows<4>(in, alpha.data(), out, outAlpha.data());
  return true;
}

}  // namespace tovala
