#pragma once
// Fill lines (kind 1) and image lines (kind 2): the line's closed outline filled with its fill
// colour, or with a user picture clipped to the shape, by the raster mask of mask_scratch.h in
// work image 2; work image 3 holds the picture while it is mapped.

#include "render/draw_target.h"
#include "render/pixel_rect.h"

namespace tovala {

class Document;

// Draws line `line` into work image `layer` and returns the layer pixels it may have changed.
// A line with fewer than three points is drawn as a plain stroke. Stores the one-pass bounding
// box in the line's range fields; in paint mode (editing mode 3) an image line also leaves its
// mask in the user images' sentinel slot for painting.
PixelRect drawFilledLine(Document& doc, int line, int layer);
// The same into a band of a layer (draw_target.h).
PixelRect drawFilledLine(Document& doc, int line, const DrawTarget& target);

}  // namespace tovala
