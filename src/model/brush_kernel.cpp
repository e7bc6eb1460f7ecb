#include "model/brush_kernel.h"

#include <algorithm>
#include <cmath>

namespace tovala {

namespace {
// Held to 0..256, truncated; NaN (from a NaN A or K) paints nothing, as a NaN stamp weight.
int32_t clampWeight(double v) {
  if (v != v) return 256;
  return int32_t(std::clamp(v, 0.0, 256.0));
}
}  // namespace

BrushKernel buildKernel(float w, float h, float a, float k) {
  // Brushes wider than this would only slow every stamp; the panels limit far below it.
  constexpr int kMaxSide = 512;
  // Held to the range before the conversion, which is undefined for floats beyond int.
  auto side = [](float v) { return v >= 1 ? int(std::min(v, float(kMaxSide))) : 1; };
  BrushKernel kern;
  kern.width = side(w);
  kern.height = side(h);
  kern.weights.assign(size_t(kern.width) * size_t(kern.height), 256);
  if (kern.width <= 1 && kern.height <= 1) {
    kern.weights[0] = clampWeight(256.0 * (double(a) - 1.0));
    return kern;
  }
  const double cx = kern.width / 2.0 - 0.5;
  const double cy = kern.height / 2.0 - 0.5;
  double ax = (kern.width / 2.0) * (kern.width / 2.0);
  double ay = (kern.height / 2.0) * (kern.height / 2.0);
  if (ax == 0) ax = 0.25;
  if (ay == 0) ay = 0.25;
  for (int j = 0; j < kern.height; ++j) {
    for (int i = 0; i < kern.width; ++i) {
      const double r2 = (i - cx) * (i - cx) / ax + (j - cy) * (j - cy) / ay;
      int32_t weight = 256;
      if (r2 <= 1.0) weight = clampWeight(256.0 * (double(a) - std::exp(double(k) * r2 * r2)));
      kern.weights[size_t(j) * size_t(kern.width) + size_t(i)] = weight;
    }
  }
  return kern;
}

}  // namespace tovala
