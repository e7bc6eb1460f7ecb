#pragma once
// The raster mask behind fill lines, image lines and objects: a shape's outline is drawn into a
// scratch image as large as its bounding box, filled with the inside colour, and the outside is
// cleared back to the background colour; what keeps the inside colour is the inside.
//
// A box far larger than its layer (points far off the canvas) is cut to the layer plus a small
// rim, so the scratch never needs more memory than the canvas. The cut box's border is then not
// all outside the shape, so clearing starts only from border pixels the drawn outline does not
// wind around.

#include <cstdint>
#include <span>

#include "model/image_store.h"
#include "render/pixel_rect.h"
#include "render/stroke_core.h"

namespace tovala {

struct MaskPlacement {
  PixelRect box;     // the whole bounding box, in layer pixels
  PixelRect window;  // the part the scratch holds; equal to box unless the box was cut
  bool cut() const { return !(window == box); }
};

// Places a box given as left, top, right, bottom (a line's range fields). False when it is
// empty, not finite, or lies wholly off the layer after cutting.
bool placeMask(float left, float top, float right, float bottom, int layerWidth, int layerHeight,
               MaskPlacement& out);

// The scratch colour outlines are drawn in: one below the background colour, or one below the
// line colour when that would equal the inside colour.
uint32_t maskMarker(uint32_t back, uint32_t inside, uint32_t lineColour);

enum class OutsideClearing {
  kFlood,  // flood fill from the corner (the filled variants and fill lines)
  kScan,   // replace inside-coloured pixels inwards from every border, row by row and column by
           // column, until another colour is met (the fast object variants)
};

// Turns the outside of the shape in `scratch` into `back`. `outline` is the drawn outline's
// polyline in scratch pixels; it is consulted only when the placement was cut.
void clearOutside(ImageSlot& scratch, uint32_t inside, uint32_t back, OutsideClearing how,
                  const MaskPlacement& place, std::span<const IntPoint> outline);

// Nonzero winding number of the closed polyline around (x, y).
int windingAround(std::span<const IntPoint> polygon, int x, int y);

}  // namespace tovala
