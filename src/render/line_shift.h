#pragma once
// Helpers of the mask drawings (fill lines, objects, painting): lines moved for a while so that
// a scratch image's origin lies at a box's top-left, and the closing line of an outline.

#include <cstdint>
#include <span>
#include <vector>

#include "model/brush_kernel.h"
#include "model/image_store.h"
#include "model/records.h"

namespace tovala {

class Document;

// Adds (dx, dy) to the position of each of the given lines (each once, however often it is
// listed) and puts the positions back when it goes.
class LineShift {
 public:
  LineShift(Document& doc, std::span<const int> lines, double dx, double dy);
  ~LineShift();
  LineShift(const LineShift&) = delete;
  LineShift& operator=(const LineShift&) = delete;

 private:
  struct Saved {
    int line;
    float vx, vy;
  };
  Document& doc_;
  std::vector<Saved> saved_;
};

// The straight line from the line's first point to its last, which closes an open outline.
void drawClosingLine(ImageSlot& image, const LineRecord& line, const BrushKernel& kernel,
                     uint32_t colour);

}  // namespace tovala
