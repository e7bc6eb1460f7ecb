#include "render/paint_line.h"

#include "model/document.h"
#include "render/frame.h"
#include "render/image_ops.h"
#include "render/kernel_stamps.h"
#include "render/line_shift.h"
#include "render/line_walk.h"
#include "render/pixel_rect.h"
#include "render/stroke.h"
#include "render/stroke_core.h"

namespace tovala {

namespace {

// One stamp of the paint kernel into the picture, where the mask shows the inside colour.
void maskedStamp(ImageSlot& picture, const ImageSlot& mask, uint32_t inside,
                 const BrushKernel& kernel, uint32_t colour, int x, int y) {
  if (kernel.weights.size() < size_t(kernel.width) * size_t(kernel.height)) return;
  const int left = x - kernel.width / 2, top = y - kernel.height / 2;
  const uint32_t c[3] = {(colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF};
  for (int j = 0; j < kernel.height; ++j)
    for (int i = 0; i < kernel.width; ++i) {
      const int px = left + i, py = top + j;
      const int32_t k = kernel.at(i, j);
      if (k >= 256 || !picture.contains(px, py) || !mask.contains(px, py) ||
          mask.pixel(px, py) != inside)
        continue;
      const uint32_t w = uint32_t(std::max(k, 0));
      uint8_t* p = picture.row(py) + 3 * px;
      for (int b = 0; b < 3; ++b) p[b] = uint8_t((w * p[b] + (256 - w) * c[b]) >> 8);
    }
}

}  // namespace

void paintOnImageLine(Document& doc, int x0, int y0, int x1, int y1, bool drag) {
  if (!doc.isValidLine(doc.curLine) || doc.userImages.slotCount() < 2) return;
  LineRecord& line = doc.lines[size_t(doc.curLine)];
  if (line.kind != 2) return;
  ImageSlot* picture = doc.userImages.image(doc.findImageByKey(int32_t(line.cb)));
  const ImageSlot* mask = doc.userImages.image(doc.sentinelImageSlot());
  if (!picture || !mask || picture == mask) return;

  const uint32_t inside = line.cb & 0xFFFFFF;
  const BrushKernel& kernel = doc.userImages.kernel;
  // The picture's top-left pixel lies at the range origin truncated to whole pixels, where the
  // picture is laid onto the layer below.
  const int originX = toPixel(line.rectx), originY = toPixel(line.recty);
  const int ax = x0 - originX, ay = y0 - originY;
  const int bx = x1 - originX, by = y1 - originY;
  if (!drag) {
    maskedStamp(*picture, *mask, inside, kernel, doc.penColor, bx, by);
  } else {
    const LineWalk walk(ax, ay, bx, by);
    int64_t first = 0, last = 0;
    // Steps whose stamp cannot reach the picture are not walked.
    const int reach = std::max(kernel.width, kernel.height) + 1;
    const int limit = walk.xMajor ? picture->width : picture->height;
    if (walk.stepsWithin(-reach, int64_t(limit) + reach, first, last))
      walk.walk(first, last, [&](int x, int y, int64_t) {
        maskedStamp(*picture, *mask, inside, kernel, doc.penColor, x, y);
      });
  }

  // Redraw the line from its mask and picture onto the selected layer.
  ImageSlot* scratch = doc.workImages.slot(kScratchImage);
  ImageSlot* copy = doc.workImages.slot(kScratchImage2);
  ImageSlot* layer = doc.workImages.image(kSelectedLayer);
  if (!scratch || !copy || !layer) return;
  *scratch = *mask;
  *copy = *picture;
  composite(*scratch, 0, 0, scratch->width, scratch->height, *copy, doc.backColor, kCopy, true);
  const LinePosition moved =
      LinePosition::shifted(line, -double(line.rectx), -double(line.recty));
  drawClosingLine(*scratch, line, moved, buildKernel(1, 1, -1, 0), doc.backColor);
  StrokeTarget outline;
  outline.position = &moved;
  strokeLine(doc, doc.curLine, scratch, line.cr, kStrokeDrawMask, -1, outline);
  const int left = originX, top = originY;
  composite(*layer, left, top, scratch->width, scratch->height, *scratch, doc.backColor, kCopy,
            false);
  mergeSelectedLayer(doc, PixelRect{left, top, left + scratch->width, top + scratch->height});
  buildDisplay(doc);
}

}  // namespace tovala
