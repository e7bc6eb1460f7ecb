#pragma once
// Drawing a canvas in horizontal bands, one per core. Every band draws every line in order,
// clipped to its rows, so each pixel sees the same stamps in the same order as when one thread
// draws the whole canvas: the result is the same bytes. A band's stamps never write outside its
// rows (kernel_stamps.h), so the bands share nothing they write.

#include <algorithm>
#include <thread>
#include <vector>

#include "render/pixel_rect.h"

namespace tovala {

// Bands below this height cost more in walking every line again than they save.
inline constexpr int kMinBandRows = 48;
// More bands than this never pay on the machines the editor runs on.
inline constexpr int kMaxBands = 8;

// How many bands a canvas of `rows` rows is drawn in: `threads` when given (1: one thread),
// otherwise one per core, held to the limits above.
inline int bandCount(int threads, int rows) {
  int n = threads > 0 ? threads : int(std::thread::hardware_concurrency());
  n = std::clamp(n, 1, kMaxBands);
  return std::max(1, std::min(n, rows / kMinBandRows));
}

// Rows top .. bottom of band `index` of `count` over a canvas of width x height.
inline PixelRect bandRows(int index, int count, int width, int height) {
  const auto row = [&](int i) { return int(int64_t(height) * i / count); };
  return {0, row(index), width, row(index + 1)};
}

// Band edges (first rows, then the canvas height) for the next drawing of a canvas of `height`
// rows in `count` bands: equal bands at first, then edges moved so that each band would have
// taken the same time last drawing, taking each band's time as spread evenly over its rows.
// Where the split lies never changes the picture, only how long the slowest band takes.
std::vector<int32_t> nextBandEdges(const std::vector<int32_t>& edges,
                                   const std::vector<double>& seconds, int count, int height);

// Runs work(index) for every band: band 0 on the calling thread, the others on their own
// threads, and returns when all are done.
template <class Work>
void drawInBands(int count, Work&& work) {
  std::vector<std::jthread> others;
  others.reserve(size_t(std::max(count - 1, 0)));
  for (int i = 1; i < count; ++i) others.emplace_back([&work, i] { work(i); });
  work(0);
}

}  // namespace tovala
