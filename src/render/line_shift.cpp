#include "render/line_shift.h"

#include "render/kernel_stamps.h"
#include "render/pixel_rect.h"

namespace tovala {

void drawClosingLine(ImageSlot& image, const LineRecord& line, const LinePosition& position,
                     const BrushKernel& kernel, uint32_t colour) {
  if (line.points.size() < 2) return;
  const PointRecord& a = line.points.front();
  const PointRecord& b = line.points[line.points.size() - 2];
  kernelLine(image, kernel, toPixel(double(line.w) * a.vx + position.vx),
             toPixel(double(line.h) * a.vy + position.vy),
             toPixel(double(line.w) * b.vx + position.vx),
             toPixel(double(line.h) * b.vy + position.vy), colour);
}

}  // namespace tovala
