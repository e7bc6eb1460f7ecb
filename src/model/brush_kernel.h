#pragma once
// The brush stamp: an n x m array of blend weights (0 paints the full colour, 256 leaves the
// pixel as it was). Held by an image store; the renderer stamps it.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tovala {

struct BrushKernel {
  int width = 2;   // n
  int height = 2;  // m
  std::vector<int32_t> weights = std::vector<int32_t>(4, 256);  // row-major, width per row

  bool operator==(const BrushKernel&) const = default;
  int32_t at(int i, int j) const { return weights[size_t(j) * size_t(width) + size_t(i)]; }
};

// Builds the kernel of a brush W, H, A, K (W and H truncated to integers, at least 1).
BrushKernel buildKernel(float w, float h, float a, float k);

}  // namespace tovala
