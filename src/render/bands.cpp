#include "render/bands.h"

namespace tovala {

std::vector<int32_t> nextBandEdges(const std::vector<int32_t>& edges,
                                   const std::vector<double>& seconds, int count, int height) {
  std::vector<int32_t> next(size_t(count) + 1);
  for (int i = 0; i <= count; ++i) next[size_t(i)] = int32_t(int64_t(height) * i / count);
  const bool fits = edges.size() == next.size() && seconds.size() == size_t(count) &&
                    edges.front() == 0 && edges.back() == height;
  double total = 0;
  for (double s : seconds) total += s > 0 ? s : 0;
  if (!fits || !(total > 0)) return next;
  // Walk the old bands' time, cutting where each equal share is reached.
  const int minRows = kMinBandRows / 2;
  int band = 0;
  double before = 0;  // time of the old bands above `band`
  for (int k = 1; k < count; ++k) {
    const double share = total * k / count;
    while (band + 1 < count && before + std::max(seconds[size_t(band)], 0.0) < share)
      before += std::max(seconds[size_t(band)], 0.0), ++band;
    const int top = edges[size_t(band)], rows = edges[size_t(band) + 1] - top;
    const double t = std::max(seconds[size_t(band)], 0.0);
    const double f = t > 0 ? std::clamp((share - before) / t, 0.0, 1.0) : 0.5;
    // Halfway between the old edge and the balanced one, so a noisy drawing cannot swing it.
    const int balanced = top + int(f * rows);
    next[size_t(k)] = (edges[size_t(k)] + balanced) / 2;
  }
  // Every band keeps some rows, in order.
  for (int k = 1; k < count; ++k)
    next[size_t(k)] = std::clamp(next[size_t(k)], next[size_t(k) - 1] + minRows,
                                 height - (count - k) * minRows);
  return next;
}

}  // namespace tovala
