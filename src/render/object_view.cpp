#include "render/object_view.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

#include "model/document.h"
#include "model/object_depth.h"
#include "render/eye_shape.h"
#include "render/image_ops.h"
#include "render/kernel_stamps.h"
#include "render/mask_scratch.h"
#include "render/stroke_core.h"

namespace tovala {

namespace {

constexpr int kShapeCircle = 1;
constexpr int kShapeEye = 2;

int shapeOf(const ObjectRecord& o) { return o.header[1] & 0xFF; }
bool filledVariant(const ObjectRecord& o) { return ((o.header[1] >> 8) & 0xFF) == 1; }

IntPoint screenPixel(const LineRecord& line, const LinePosition& at, int point) {
  const PointRecord& p = line.points[size_t(point)];
  return {toPixel(double(line.w) * p.vx + at.vx), toPixel(double(line.h) * p.vy + at.vy)};
}

// Mask strokes: one pass of the line's minimum, no drift.
StrokeStyle maskStyle(const LineRecord& line) { return {0, line.spmin, line.spmin, 0.0, 0.0}; }

// The extent of the pieces: one or two points by themselves, longer pieces by a measuring
// stroke. Also how far the pieces' own strokes may reach past it.
struct Extent {
  double left = 0, top = 0, right = 0, bottom = 0;
  double reach = 0;
};

Extent measurePieces(const Document& doc, const std::vector<ObjectPiece>& pieces) {
  Extent e;
  bool any = false;
  for (const ObjectPiece& piece : pieces) {
    const LineRecord& line = doc.lines[size_t(piece.line)];
    const StrokeResult r = runStroke(line, piece.points, maskStyle(line), {});
    // A one- or two-point piece's box is its points; the walk measures both the same way.
    if (!any) {
      e.left = r.left, e.top = r.top, e.right = r.right, e.bottom = r.bottom;
      any = true;
    } else {
      e.left = std::min(e.left, r.left), e.top = std::min(e.top, r.top);
      e.right = std::max(e.right, r.right), e.bottom = std::max(e.bottom, r.bottom);
    }
    double brush = std::max(line.brw, line.brh),
           drift = std::max(std::abs(line.spdspx), std::abs(line.spdspy));
    if (line.lmode == 1)
      for (int i : piece.points) {
        const PointRecord& p = line.points[size_t(i)];
        brush = std::max({brush, double(p.pww), double(p.pwh)});
        drift = std::max({drift, std::abs(p.spdspx), std::abs(p.spdspy)});
      }
    e.reach = std::max(e.reach, std::min(brush / 2 + drift, 4096.0));
  }
  return e;
}

// The ellipse through the extent as a closed polyline.
std::vector<IntPoint> ellipsePolygon(double cx, double cy, double rx, double ry) {
  const double perimeter = 2 * std::numbers::pi * std::sqrt((rx * rx + ry * ry) / 2);
  // Held to 16..2048 corners before the conversion (the extent may be huge, or NaN).
  const double half = perimeter / 2;
  const int n = !(half > 16) ? 16 : half < 2048 ? int(half) : 2048;
  std::vector<IntPoint> pts;
  pts.reserve(size_t(n));
  for (int i = 0; i < n; ++i) {
    const double a = 2 * std::numbers::pi * i / n;
    pts.push_back(
        {toPixel(std::round(cx + rx * std::cos(a))), toPixel(std::round(cy + ry * std::sin(a)))});
  }
  return pts;
}

void closedPolyline(ImageSlot& image, const BrushKernel& pixel, std::span<const IntPoint> pts,
                    uint32_t colour) {
  for (size_t i = 0; i < pts.size(); ++i) {
    const IntPoint& a = pts[i];
    const IntPoint& b = pts[(i + 1) % pts.size()];
    kernelLine(image, pixel, a.x, a.y, b.x, b.y, colour);
  }
}

// Joins each piece's end to the next piece's start, the last to the first; `at` holds each
// piece's line position.
void joinPieces(const Document& doc, const std::vector<ObjectPiece>& pieces,
                const std::vector<LinePosition>& at, ImageSlot& image, const BrushKernel& pixel,
                uint32_t colour) {
  for (size_t i = 0; i < pieces.size(); ++i) {
    const size_t j = (i + 1) % pieces.size();
    const ObjectPiece& a = pieces[i];
    const ObjectPiece& b = pieces[j];
    const IntPoint from = screenPixel(doc.lines[size_t(a.line)], at[i], a.points.back());
    const IntPoint to = screenPixel(doc.lines[size_t(b.line)], at[j], b.points.front());
    kernelLine(image, pixel, from.x, from.y, to.x, to.y, colour);
  }
}

}  // namespace

std::vector<ObjectPiece> objectPieces(const Document& doc, const ObjectRecord& object) {
  std::vector<ObjectPiece> pieces;
  const bool eye = shapeOf(object) == kShapeEye;
  for (int i = 0; i < kObjectEntries; ++i) {
    const int line = object.c[size_t(i)];
    if (line < 0) break;
    if (!doc.isValidLine(line)) continue;
    const int last = doc.pointCount(line) - 2;
    if (last < 0) continue;
    const uint32_t rule = uint32_t(object.d[size_t(i)]);
    const int d = eye ? 0 : int(rule & 0xFF);
    const int b = std::min(int((rule >> 16) & 0xFF), last),
              c = std::min(int((rule >> 8) & 0xFF), last);
    ObjectPiece piece{line, {}};
    if (d == 1) {
      for (int p = last; p >= 0; --p) piece.points.push_back(p);
    } else if (d == 2) {
      for (int p = b;; p += b <= c ? 1 : -1) {
        piece.points.push_back(p);
        if (p == c) break;
      }
    } else if (d == 3) {
      piece.points.push_back(c);
    } else {
      for (int p = 0; p <= last; ++p) piece.points.push_back(p);
    }
    pieces.push_back(std::move(piece));
    if (eye) break;
  }
  return pieces;
}

void orderObjects(Document& doc) {
  updateObjectDepths(doc);
  const int n = doc.objectCount() - 1;
  const bool descending = doc.frontToBack == 1;
  auto depth = [&](int i) { return std::bit_cast<float>(doc.objects[size_t(i)].header[6]); };
  for (int pass = 0; pass + 1 < n; ++pass) {
    bool swapped = false;
    for (int i = 0; i + 1 < n - pass; ++i) {
      const float a = depth(i), b = depth(i + 1);
      if (!(descending ? b > a : b < a)) continue;
      std::swap(doc.objects[size_t(i)], doc.objects[size_t(i) + 1]);
      if (doc.curObject == i)
        doc.curObject = i + 1;
      else if (doc.curObject == i + 1)
        doc.curObject = i;
      swapped = true;
    }
    if (!swapped) break;
  }
}

PixelRect drawObject(Document& doc, int index, int layerSlot) {
  return drawObject(doc, index, DrawTarget::whole(doc, layerSlot));
}

PixelRect drawObject(const Document& doc, int index, const DrawTarget& target) {
  ImageSlot* layer = target.layer;
  if (!layer || index < 0 || index + 1 >= doc.objectCount()) return {};
  const ObjectRecord& object = doc.objects[size_t(index)];
  const std::vector<ObjectPiece> pieces = objectPieces(doc, object);
  if (pieces.empty()) return {};
  const int shape = shapeOf(object);
  const uint32_t colour = uint32_t(object.header[2]) & 0xFFFFFF;
  const uint32_t inside = shape == kShapeEye ? eyeWhite(object) : colour;

  const Extent extent = measurePieces(doc, pieces);
  const double pad = doc.markSize + 2 + extent.reach;
  MaskPlacement place;
  if (!placeMask(float(extent.left - pad), float(extent.top - pad), float(extent.right + pad),
                 float(extent.bottom + pad), layer->width, layer->height, place))
    return {};
  // A band the mask does not reach has nothing to draw.
  const PixelRect reach = place.window.intersected(PixelRect::ofSize(layer->width, layer->height));
  if (!(target.clip == kAnywhere) && reach.intersected(target.clip).empty()) return reach;
  if (!target.scratch->makeBlank(kScratchImage, place.window.width(), place.window.height(),
                                 inside))
    return {};
  ImageSlot& scratch = *target.scratch->image(kScratchImage);
  // Each piece's line moved so the box starts at the scratch origin.
  std::vector<LinePosition> at;
  at.reserve(pieces.size());
  for (const ObjectPiece& piece : pieces)
    at.push_back(LinePosition::shifted(doc.lines[size_t(piece.line)], -place.window.left,
                                       -place.window.top));
  const double ox = place.window.left, oy = place.window.top;

  static const BrushKernel pixel = buildKernel(1, 1, -1, 0);
  const uint32_t marker = maskMarker(doc.backColor, inside, inside);
  std::vector<IntPoint> outline;
  if (shape == kShapeCircle) {
    outline =
        ellipsePolygon((extent.left + extent.right) / 2 - ox, (extent.top + extent.bottom) / 2 - oy,
                       (extent.right - extent.left) / 2, (extent.bottom - extent.top) / 2);
    closedPolyline(scratch, pixel, outline, marker);
  } else {
    ImageRaster markerRaster(scratch, pixel, marker, RasterPath::kFast);
    StrokeOptions options;
    options.raster = &markerRaster;
    options.path = &outline;
    for (size_t i = 0; i < pieces.size(); ++i) {
      options.position = &at[i];
      runStroke(doc.lines[size_t(pieces[i].line)], pieces[i].points,
                maskStyle(doc.lines[size_t(pieces[i].line)]), options);
    }
    joinPieces(doc, pieces, at, scratch, pixel, marker);
  }
  clearOutside(scratch, inside, doc.backColor,
               filledVariant(object) ? OutsideClearing::kFlood : OutsideClearing::kScan, place,
               outline);
  if (shape == kShapeEye) {
    // The eye's outline is its line's own stroke: what is left of the mask outline (the edge
    // closing an open line above all) belongs to the white, not to a hard line over it.
    for (int y = 0; y < scratch.height; ++y)
      for (int x = 0; x < scratch.width; ++x)
        if (scratch.pixel(x, y) == marker) scratch.setPixel(x, y, inside);
    paintEye(scratch, object,
             {extent.left - ox, extent.top - oy, extent.right - ox, extent.bottom - oy});
  }

  // The closing lines in the object's colour (not for an eye), then the pieces' own strokes.
  if (shape == kShapeCircle) {
    closedPolyline(scratch, pixel, outline, colour);
  } else {
    if (shape != kShapeEye) joinPieces(doc, pieces, at, scratch, pixel, colour);
    for (size_t i = 0; i < pieces.size(); ++i) {
      const ObjectPiece& piece = pieces[i];
      const LineRecord& line = doc.lines[size_t(piece.line)];
      BrushKernel own;
      const BrushKernel* kernel = nullptr;
      const StrokeStyle style = strokeStyleFor(doc, line, doc.perLine != 0 ? 1 : 0, own, kernel);
      ImageRaster raster(scratch, *kernel, line.cr, RasterPath::kFast,
                         target.inScratch(place.window));
      StrokeOptions options;
      options.raster = &raster;
      options.position = &at[i];
      runStroke(line, piece.points, style, options);
    }
  }
  composite(*layer, place.window.left, place.window.top, scratch.width, scratch.height, scratch,
            doc.backColor, kCopy, false, target.clip);
  return reach;
}

}  // namespace tovala
