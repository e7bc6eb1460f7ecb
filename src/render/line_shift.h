#pragma once
// Helpers of the mask drawings (fill lines, objects, painting): the closing line of an outline,
// drawn with the line at the position the mask drawing moved it to (its box's top-left at the
// scratch origin).

#include <cstdint>
#include <span>
#include <vector>

#include "model/brush_kernel.h"
#include "model/image_store.h"
#include "model/records.h"
#include "render/stroke_core.h"

namespace tovala {

class Document;

// The straight line from the line's first point to its last, which closes an open outline, with
// the line at `position`.
void drawClosingLine(ImageSlot& image, const LineRecord& line, const LinePosition& position,
                     const BrushKernel& kernel, uint32_t colour);

}  // namespace tovala
