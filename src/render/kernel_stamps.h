#pragma once
// The raster primitives strokes are made of: the brush-kernel stamp, the rectangle stamp, and
// the Bresenham lines that stamp them at every pixel. A stamp blends a colour into each pixel it
// covers by a weight k, byte = (k * old + (256 - k) * colour) >> 8: k = 0 paints the colour,
// k = 256 leaves the pixel. Everything is clipped to the image.
//
// These are the fast forms (clip once per stamp, row pointers, precomputed colour terms, line
// steps that cannot reach the image skipped). reference_stamps.h keeps the plain forms; both must
// give the same bytes.

#include <cstdint>
#include <vector>

#include "model/brush_kernel.h"
#include "model/image_store.h"
#include "render/pixel_rect.h"

namespace tovala {

// One end of a tapered line: position and the rectangle's width, height and weight there.
struct TaperEnd {
  int x = 0, y = 0;
  double w = 1, h = 1, k = 0;
};

// A rectangle side as stamped: truncated, pinned to a sane range (NaN counts as 0).
inline int stampSize(double v) {
  if (!(v > -1)) return -1;
  return v < 65536 ? int(v) : 65536;
}
// A weight as stamped: truncated and held to 0..256 (NaN paints nothing).
inline int stampWeight(double v) {
  if (!(v > 0)) return v != v ? 256 : 0;
  return v < 256 ? int(v) : 256;
}

// The value of a tapered line's width, height or weight at step k of length steps.
inline double taperAt(double from, double to, int64_t k, int64_t length) {
  return length == 0 ? from : from + (to - from) * double(k) / double(length);
}

// A kernel made ready for one colour and one image: the cells that paint (weight below 256) with
// their byte offsets and colour terms, so a stamp is a short loop of multiply-adds. Only pixels
// inside `clip` change; with a clip of whole rows (a band) no byte outside it is even rewritten,
// so bands of one image can be drawn at the same time.
class KernelStamper {
 public:
  KernelStamper(const BrushKernel& kernel, uint32_t colour, ImageSlot& image,
                const PixelRect& clip = kAnywhere);

  void stamp(int x, int y) const;
  // Bresenham from (x0, y0) to (x1, y1), one stamp per pixel, both ends included.
  void line(int x0, int y0, int x1, int y1) const;

  int width() const { return width_; }
  int height() const { return height_; }

 private:
  struct Cell {
    int i, j;             // position in the kernel
    long offset;          // byte offset from the stamp's top-left pixel
    uint32_t k;           // weight of the old byte
    uint32_t tb, tg, tr;  // (256 - k) * colour byte
  };
  // Eight consecutive bytes of one kernel row, blended together: per byte the weight and the
  // colour term (weight 256 and term 0 for bytes the kernel does not paint, which therefore keep
  // their value).
  struct Chunk {
    alignas(16) uint16_t k[8];
    alignas(16) uint16_t t[8];
    long offset;
  };
  void stampClipped(int left, int top) const;
  // Whether the stamp with this top-left may take the chunk path (see wholeInside's note).
  bool wholeInside(int left, int top) const;
  // A stamp lying wholly inside the image; `base` is the byte offset of its top-left pixel.
  [[gnu::always_inline]] inline void stampInside(long base) const;

  ImageSlot& image_;
  PixelRect clip_;  // the clip within the image
  int width_, height_;
  std::vector<Cell> cells_;
  std::vector<Chunk> chunks_;
  long chunkReach_ = 0;  // bytes past the base the chunks read and write back
};

void stampKernel(ImageSlot& image, const BrushKernel& kernel, int x, int y, uint32_t colour);
// A w x h rectangle with top-left (x - w/2, y - h/2), all of weight k, limited to `clip`.
void stampRect(ImageSlot& image, int x, int y, int w, int h, uint32_t colour, int k,
               const PixelRect& clip = kAnywhere);
void kernelLine(ImageSlot& image, const BrushKernel& kernel, int x0, int y0, int x1, int y1,
                uint32_t colour);
// Bresenham along the major axis, stamping a rectangle at every step whose width, height and
// weight run linearly from `start` to `end`; walked from the end when the end's major
// coordinate is the smaller. Only pixels inside `clip` change.
void taperedLine(ImageSlot& image, const TaperEnd& start, const TaperEnd& end, uint32_t colour,
                 const PixelRect& clip = kAnywhere);

}  // namespace tovala
