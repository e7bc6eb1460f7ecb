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
void mapPicture(Document& doc, const DrawTarget& target, const MaskPlacement& place,
                ImageSlot& scratch, uint32_t key) {
  if (doc.userImages.slotCount() < 2) return;
  if (doc.edit.mode == kPaintMode && target.ownsDocument) {
    // Painting needs the mask in the picture's coordinates, which a cut window does not give.
    if (ImageSlot* mask = doc.userImages.slot(doc.sentinelImageSlot()); mask && !place.cut())
      *mask = scratch;
  }
  const ImageSlot* picture = doc.userImages.image(doc.findImageByKey(int32_t(key)));
  ImageSlot* copy = target.scratch->slot(kScratchImage2);
  if (!picture || !copy) return;
  *copy = *picture;
  composite(scratch, place.box.left - place.window.left, place.box.top - place.window.top,
            place.box.width(), place.box.height(), *copy, doc.backColor, kCopy, true);
}

}  // namespace

DrawTarget DrawTarget::whole(Document& doc, int layer) {
  return {doc.workImages.image(layer), kAnywhere, &doc.workImages, true};
}

PixelRect drawFilledLine(Document& doc, int lineIndex, int layerSlot) {
  return drawFilledLine(doc, lineIndex, DrawTarget::whole(doc, layerSlot));
}

PixelRect drawFilledLine(Document& doc, int lineIndex, const DrawTarget& target) {
  if (!doc.isValidLine(lineIndex)) return {};
  ImageSlot* layer = target.layer;
  LineRecord& line = doc.lines[size_t(lineIndex)];
  if (line.sel == 0 || !layer) return {};
  StrokeTarget strokeTarget;
  strokeTarget.clip = target.clip;
  strokeTarget.storeRange = target.ownsDocument;
  if (line.pointCount() - 1 < 3)
    return strokeLine(doc, lineIndex, layer, line.cr, kStrokeSelected, -1, strokeTarget);

  // Mask strokes: one pass of single full-colour pixels, no drift.
  const StrokeStyle maskStyle{0, line.spmin, line.spmin, 0.0, 0.0};
  static const BrushKernel pixel = buildKernel(1, 1, -1, 0);
  const std::vector<int> points = wholeLine(line);
  const StrokeResult measured = runStroke(line, points, maskStyle, {});
  if (target.ownsDocument) storeRange(doc, line, measured);
  const LineRange range = rangeOf(doc, line, measured);

  MaskPlacement place;
  if (!placeMask(range.left, range.top, range.right, range.bottom, layer->width, layer->height,
                 place))
    return {};
  // A band the mask does not reach has nothing more to draw.
  const PixelRect reach = place.window.intersected(PixelRect::ofSize(layer->width, layer->height));
  if (!(target.clip == kAnywhere) && reach.intersected(target.clip).empty()) return reach;
  if (!target.scratch->makeBlank(kScratchImage, place.window.width(), place.window.height(),
                                 line.cb))
    return {};
  ImageSlot& scratch = *target.scratch->image(kScratchImage);
  // Moved by the box's offset (not to it: a line placed by its own position keeps its place).
  const LinePosition moved =
      LinePosition::shifted(line, -double(range.left) - (place.window.left - place.box.left),
                            -double(range.top) - (place.window.top - place.box.top));

  const uint32_t marker = maskMarker(doc.backColor, line.cb, line.cr);
  std::vector<IntPoint> outline;
  ImageRaster markerRaster(scratch, pixel, marker, RasterPath::kFast);
  StrokeOptions drawMask;
  drawMask.raster = &markerRaster;
  drawMask.path = place.cut() ? &outline : nullptr;
  drawMask.position = &moved;
  runStroke(line, points, maskStyle, drawMask);
  drawClosingLine(scratch, line, moved, pixel, marker);
  clearOutside(scratch, line.cb, doc.backColor, OutsideClearing::kFlood, place, outline);
  if (line.kind == 2) mapPicture(doc, target, place, scratch, line.cb);
  drawClosingLine(scratch, line, moved, pixel, doc.backColor);

  // The outline in the document's style, with the default kernel in force.
  const BrushKernel defaultKernel =
      buildKernel(doc.defBrush[0], doc.defBrush[1], doc.defBrush[2], doc.defBrush[3]);
  StrokeTarget outlineTarget;
  outlineTarget.clip = target.inScratch(place.window);
  outlineTarget.position = &moved;
  outlineTarget.kernel = &defaultKernel;
  strokeLine(doc, lineIndex, &scratch, line.cr, kStrokeDrawMask, -1, outlineTarget);
  composite(*layer, place.window.left, place.window.top, scratch.width, scratch.height, scratch,
            doc.backColor, kCopy, false, target.clip);
  return reach;
}

}  // namespace tovala
