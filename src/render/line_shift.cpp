#include "render/line_shift.h"

#include <algorithm>

#include "model/document.h"
#include "render/kernel_stamps.h"
#include "render/pixel_rect.h"

namespace tovala {

LineShift::LineShift(Document& doc, std::span<const int> lines, double dx, double dy) : doc_(doc) {
  for (int line : lines) {
    if (!doc.isValidLine(line) ||
        std::any_of(saved_.begin(), saved_.end(), [&](const Saved& s) { return s.line == line; }))
      continue;
    LineRecord& l = doc.lines[size_t(line)];
    saved_.push_back({line, l.vx, l.vy});
    l.vx = float(double(l.vx) + dx);
    l.vy = float(double(l.vy) + dy);
  }
}

LineShift::~LineShift() {
  for (const Saved& s : saved_) {
    doc_.lines[size_t(s.line)].vx = s.vx;
    doc_.lines[size_t(s.line)].vy = s.vy;
  }
}

void drawClosingLine(ImageSlot& image, const LineRecord& line, const BrushKernel& kernel,
                     uint32_t colour) {
  if (line.points.size() < 2) return;
  const PointRecord& a = line.points.front();
  const PointRecord& b = line.points[line.points.size() - 2];
  kernelLine(image, kernel, toPixel(double(line.w) * a.vx + line.vx),
             toPixel(double(line.h) * a.vy + line.vy), toPixel(double(line.w) * b.vx + line.vx),
             toPixel(double(line.h) * b.vy + line.vy), colour);
}

}  // namespace tovala
