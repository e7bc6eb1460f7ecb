#include "render/stroke.h"

#include <algorithm>
#include <optional>

#include "model/document.h"
#include "render/reference_stamps.h"
#include "render/stroke_core.h"

namespace tovala {

ImageRaster::ImageRaster(ImageSlot& image, const BrushKernel& kernel, uint32_t colour,
                         RasterPath path, const PixelRect& clip)
    : image_(image),
      kernel_(kernel),
      colour_(colour),
      path_(path),
      clip_(clip),
      stamper_(kernel, colour, image, clip) {}

void ImageRaster::kernelLine(int x0, int y0, int x1, int y1) {
  if (path_ == RasterPath::kReference)
    reference::kernelLine(image_, kernel_, x0, y0, x1, y1, colour_);
  else
    stamper_.line(x0, y0, x1, y1);
}

void ImageRaster::taperedLine(const TaperEnd& start, const TaperEnd& end) {
  if (path_ == RasterPath::kReference)
    reference::taperedLine(image_, start, end, colour_);
  else
    tovala::taperedLine(image_, start, end, colour_, clip_);
}

StrokeStyle strokeStyleFor(const Document& doc, const LineRecord& line, int perLine,
                           BrushKernel& ownKernel, const BrushKernel*& kernel) {
  if (perLine != 0) {
    ownKernel = buildKernel(line.brw, line.brh, line.bra, line.brk);
    kernel = &ownKernel;
    return {line.lmode, line.spmin, line.spmax, line.spdspx, line.spdspy};
  }
  kernel = &doc.workImages.kernel;
  return {0, doc.defSpMin, doc.defSpMax, doc.defSpDspX, doc.defSpDspY};
}

LineRange rangeOf(const Document& doc, const LineRecord& line, const StrokeResult& box) {
  // Wide enough for the brush and the point marks drawn around the points.
  const float padX = std::max(line.brw, line.brh) / 2 + float(doc.markSize);
  const float padY = doc.defBrush[1] / 2 + float(doc.markSize);
  return {float(box.left) - padX, float(box.top) - padY, float(box.right) + padX,
          float(box.bottom) + padY};
}

void storeRange(const Document& doc, LineRecord& line, const StrokeResult& box) {
  const LineRange r = rangeOf(doc, line, box);
  line.rectx = r.left;
  line.rectw = r.right;
  line.recty = r.top;
  line.recth = r.bottom;
}

namespace {

PixelRect strokeWith(Document& doc, int lineIndex, ImageSlot* image, uint32_t colour, int purpose,
                     int perLineOverride, RasterPath path, const StrokeTarget& target) {
  if (!doc.isValidLine(lineIndex)) return {};
  LineRecord& line = doc.lines[size_t(lineIndex)];
  if (line.sel == 0) return {};
  const int perLine =
      perLineOverride == 0 || perLineOverride == 1 ? perLineOverride : (doc.perLine != 0 ? 1 : 0);
  BrushKernel own;
  const BrushKernel* kernel = nullptr;
  const StrokeStyle style = strokeStyleFor(doc, line, perLine, own, kernel);
  if (perLine == 0 && target.kernel) kernel = target.kernel;

  std::optional<ImageRaster> raster;
  if (purpose != kStrokeMeasure && image && image->present)
    raster.emplace(*image, *kernel, colour, path, target.clip);
  StrokeOptions options;
  options.raster = raster ? &*raster : nullptr;
  options.binarySearch = path == RasterPath::kReference;
  options.position = target.position;
  const std::vector<int> indices = wholeLine(line);
  const StrokeResult result = runStroke(line, indices, style, options);
  if (purpose != kStrokeDrawMask && target.storeRange) storeRange(doc, line, result);
  if (!raster) return {};
  return result.touched.intersected(PixelRect::ofSize(image->width, image->height));
}

}  // namespace

PixelRect strokeLine(Document& doc, int lineIndex, ImageSlot* image, uint32_t colour, int purpose,
                     int perLineOverride, RasterPath path) {
  return strokeWith(doc, lineIndex, image, colour, purpose, perLineOverride, path, {});
}

PixelRect strokeLine(Document& doc, int lineIndex, ImageSlot* image, uint32_t colour, int purpose,
                     int perLineOverride, const StrokeTarget& target) {
  return strokeWith(doc, lineIndex, image, colour, purpose, perLineOverride, RasterPath::kFast,
                    target);
}

void drawStroke(Document& doc, int line, int imageSlot, uint32_t colour, int purpose,
                int perLineOverride) {
  strokeLine(doc, line, doc.workImages.image(imageSlot), colour, purpose, perLineOverride);
}

void drawStrokeReference(Document& doc, int line, int imageSlot, uint32_t colour, int purpose,
                         int perLineOverride) {
  strokeLine(doc, line, doc.workImages.image(imageSlot), colour, purpose, perLineOverride,
             RasterPath::kReference);
}

}  // namespace tovala
