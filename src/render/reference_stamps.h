#pragma once
// The plain forms of the stamp primitives: every pixel checked on its own, every line step
// walked, nothing precomputed. They define what the fast forms in kernel_stamps.h must produce
// and are used by tests only; they are far too slow for coordinates far outside the image.

#include <cstdint>

#include "model/brush_kernel.h"
#include "model/image_store.h"
#include "render/kernel_stamps.h"

namespace tovala::reference {

void blendPixel(ImageSlot& image, int x, int y, uint32_t colour, int k);
void stampKernel(ImageSlot& image, const BrushKernel& kernel, int x, int y, uint32_t colour);
void stampRect(ImageSlot& image, int x, int y, int w, int h, uint32_t colour, int k);
void kernelLine(ImageSlot& image, const BrushKernel& kernel, int x0, int y0, int x1, int y1,
                uint32_t colour);
void taperedLine(ImageSlot& image, const TaperEnd& start, const TaperEnd& end, uint32_t colour);

}  // namespace tovala::reference
