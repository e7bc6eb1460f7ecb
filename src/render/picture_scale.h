#pragma once
// Resampling a picture, with its opacities when it has them, to another size: each output pixel
// averages the source pixels it covers when the picture shrinks, and interpolates between the
// nearest two along each side when it grows. Colours are weighted by opacity, so a transparent
// pixel's colour never bleeds into its neighbours.

#include <cstdint>
#include <span>
#include <vector>

#include "model/image_store.h"

namespace tovala {

// Keeps its weight tables and working rows from call to call, so scaling a sequence of pictures
// of one size allocates nothing after the first.
class PictureScaler {
 public:
  // `in` scaled to width x height into `out`; `alpha` holds one opacity per pixel of `in` (rows
  // from the top) or is empty for an opaque picture, and `outAlpha` is filled to match (left
  // empty for an opaque one). False, with `out` untouched, when a size is not positive or
  // beyond ImageStore::kMaxSide or `alpha` has another size.
  bool scale(const ImageSlot& in, std::span<const uint8_t> alpha, int32_t width, int32_t height,
             ImageSlot& out, std::vector<uint8_t>& outAlpha);

 private:
  // For each output position along one side: the first source position, how many source
  // positions from there it takes, and their weights (`span` places each).
  struct Taps {
    int32_t from = 0, to = 0, span = 0;
    std::vector<int32_t> first, count;
    std::vector<float> weights;
  };
  static void makeTaps(int32_t from, int32_t to, Taps& taps);
  template <int Channels>
  void scaleRows(const ImageSlot& in, const uint8_t* alpha, ImageSlot& out, uint8_t* outAlpha);

  Taps across_, down_;
  // The source rows scaled across: b, g, r, and with alpha the opacity, colours premultiplied.
  std::vector<float> rows_;
  std::vector<uint16_t> pairs_;  // halving: two rows summed
};

}  // namespace tovala
