#include "render/fill.h"

#include "model/document.h"
#include "render/image_ops.h"
#include "render/kernel_stamps.h"
#include "render/line_shift.h"
#include "render/mask_scratch.h"
#include "render/stroke.h"
#include "render/stroke_core.h"

namespace tovala {

namespace {

constexpr int kPaintMode = 3;

// Lays the line's picture over the inside of the mask (image lines only).
void mapPicture(Document& doc, const MaskPlacement& place, ImageSlot& scratch, uint32_t key) {
  if (doc.userImages.slotCount() < 2) return;
  if (doc.edit.mode == kPaintMode) {
    // Painting needs the mask in the picture's coordinates, which a cut window does not give.
    if (ImageSlot* mask = doc.userImages.slot(doc.sentinelImageSlot()); mask && !place.cut())
      *mask = scratch;
  }
  const ImageSlot* picture = doc.userImages.image(doc.findImageByKey(int32_t(key)));
  ImageSlot* copy = doc.workImages.slot(kScratchImage2);
  if (!picture || !copy) return;
  *copy = *picture;
  composite(scratch, place.box.left - place.window.left, place.box.top - place.window.top,
            place.box.width(), place.box.height(), *copy, doc.backColor, kCopy, true);
}

}  // namespace

PixelRect drawFilledLine(Document& doc, int lineIndex, int layerSlot) {
  if (!doc.isValidLine(lineIndex)) return {};
  ImageSlot* layer = doc.workImages.image(layerSlot);
  LineRecord& line = doc.lines[size_t(lineIndex)];
  if (line.sel == 0 || !layer) return {};
  if (line.pointCount() - 1 < 3)
    return strokeLine(doc, lineIndex, layer, line.cr, kStrokeSelected, -1);

  // Mask strokes: one pass of single full-colour pixels, no drift.
  const StrokeStyle maskStyle{0, line.spmin, line.spmin, 0.0, 0.0};
  const BrushKernel pixel = buildKernel(1, 1, -1, 0);
  doc.workImages.kernel = pixel;
  const std::vector<int> points = wholeLine(line);
  storeRange(doc, line, runStroke(line, points, maskStyle, {}));

  const BrushKernel defaultKernel =
      buildKernel(doc.defBrush[0], doc.defBrush[1], doc.defBrush[2], doc.defBrush[3]);
  MaskPlacement place;
  if (!placeMask(line.rectx, line.recty, line.rectw, line.recth, layer->width, layer->height,
                 place) ||
      !doc.workImages.makeBlank(kScratchImage, place.window.width(), place.window.height(),
                                line.cb)) {
    doc.workImages.kernel = defaultKernel;
    return {};
  }
  ImageSlot& scratch = *doc.workImages.image(kScratchImage);
  // Shift by the box's offset (not to it: a line placed by its own position keeps its place).
  const int lines[] = {lineIndex};
  const LineShift shifted(doc, lines, -double(line.rectx) - (place.window.left - place.box.left),
                          -double(line.recty) - (place.window.top - place.box.top));

  const uint32_t marker = maskMarker(doc.backColor, line.cb, line.cr);
  std::vector<IntPoint> outline;
  ImageRaster markerRaster(scratch, pixel, marker, RasterPath::kFast);
  StrokeOptions drawMask;
  drawMask.raster = &markerRaster;
  drawMask.path = place.cut() ? &outline : nullptr;
  runStroke(line, points, maskStyle, drawMask);
  drawClosingLine(scratch, line, pixel, marker);
  clearOutside(scratch, line.cb, doc.backColor, OutsideClearing::kFlood, place, outline);
  if (line.kind == 2) mapPicture(doc, place, scratch, line.cb);
  drawClosingLine(scratch, line, pixel, doc.backColor);

  doc.workImages.kernel = defaultKernel;
  strokeLine(doc, lineIndex, &scratch, line.cr, kStrokeDrawMask, -1);
  composite(*layer, place.window.left, place.window.top, scratch.width, scratch.height, scratch,
            doc.backColor, kCopy, false);
  return place.window.intersected(PixelRect::ofSize(layer->width, layer->height));
}

}  // namespace tovala
