#pragma once
// A line's points drawn as a soft stroke: a natural cubic spline through each segment, sampled
// densely and stamped with the brush in several drifting passes. Also measures the line's
// bounding box into its range fields (rectx, recty, rectw, recth as left, top, right, bottom).

#include <cstdint>

namespace tovala {

class Document;

// What drawStroke does with the line.
enum StrokePurpose : int {
  kStrokeMeasure = -1,  // nothing drawn; the bounding box is computed and stored
  kStrokeDraw = 0,      // drawn, bounding box stored
  kStrokeDrawMask = 1,  // drawn, range fields left alone (fill masks)
  kStrokeSelected = 2,  // the selected line; behaves as kStrokeDraw
};

// Draws line `line` into work image `imageSlot` in `colour`. `perLineOverride` -1 takes the
// document's perLine, 0 forces the document's default style, 1 the line's own brush and shape.
// A line whose sel is 0, an invalid line index or an empty slot draws and stores nothing.
void drawStroke(Document& doc, int line, int imageSlot, uint32_t colour, int purpose,
                int perLineOverride);

// The same stroke drawn by the plain reference primitives (reference_stamps.h). Tests compare
// it with drawStroke; it is too slow for anything else.
void drawStrokeReference(Document& doc, int line, int imageSlot, uint32_t colour, int purpose,
                         int perLineOverride);

}  // namespace tovala
