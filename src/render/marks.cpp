#include "render/marks.h"

#include <algorithm>
#include <cmath>

#include "model/document.h"
#include "render/image_ops.h"
#include "render/kernel_stamps.h"
#include "render/pixel_rect.h"

namespace tovala {

namespace {

constexpr int kMotionMode = 5;
constexpr int kBatchJoint = 1000;
constexpr int kJoint = 2000;

// A point's mark position: its raw position less the view origin, truncated.
void markCentre(const Document& doc, const PointRecord& p, int& x, int& y) {
  x = toPixel(double(p.vx) - doc.edit.viewOrigin.x);
  y = toPixel(double(p.vy) - doc.edit.viewOrigin.y);
}

}  // namespace

void markFrame(ImageSlot& image, int x, int y, int halfW, int halfH, uint32_t colour,
               const PixelRect& clip, int pen) {
  if (!image.present || halfW < 0 || halfH < 0) return;
  const int64_t l = int64_t(x) - halfW, r = int64_t(x) + halfW;
  const int64_t t = int64_t(y) - halfH, b = int64_t(y) + halfH;
  const int64_t p = std::clamp<int64_t>(pen, 1, int64_t(std::min(halfW, halfH)) + 1);
  auto pin = [](int64_t v) { return int(std::clamp<int64_t>(v, -kCoordLimit, kCoordLimit)); };
  fillRect(image, PixelRect{pin(l), pin(t), pin(r + 1), pin(t + p)}.intersected(clip), colour);
  fillRect(image, PixelRect{pin(l), pin(b + 1 - p), pin(r + 1), pin(b + 1)}.intersected(clip),
           colour);
  fillRect(image, PixelRect{pin(l), pin(t), pin(l + p), pin(b + 1)}.intersected(clip), colour);
  fillRect(image, PixelRect{pin(r + 1 - p), pin(t), pin(r + 1), pin(b + 1)}.intersected(clip),
           colour);
}

void markSquare(ImageSlot& image, int x, int y, int half, uint32_t colour, bool filled,
                const PixelRect& clip, int pen) {
  if (!filled) {
    markFrame(image, x, y, half, half, colour, clip, pen);
    return;
  }
  if (!image.present || half < 0) return;
  auto pin = [](int64_t v) { return int(std::clamp<int64_t>(v, -kCoordLimit, kCoordLimit)); };
  fillRect(image,
           PixelRect{pin(int64_t(x) - half), pin(int64_t(y) - half), pin(int64_t(x) + half + 1),
                     pin(int64_t(y) + half + 1)}
               .intersected(clip),
           colour);
}

void markLine(ImageSlot& image, int x0, int y0, int x1, int y1, uint32_t colour) {
  // A one-cell kernel of weight 0 paints its colour exactly, so the clipped kernel line serves.
  static const BrushKernel pixel = buildKernel(1, 1, -1, 0);
  if (image.present) kernelLine(image, pixel, x0, y0, x1, y1, colour);
}

namespace {

// Rows of the 3 x 5 digits, three bits each, the leftmost column in bit 2; index 10 is '-'.
constexpr uint8_t kDigitRows[11][5] = {{7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7},
                                       {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7},
                                       {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7},
                                       {7, 5, 7, 1, 7}, {0, 0, 7, 0, 0}};
constexpr int kGlyphW = 3, kGlyphH = 5, kGlyphStep = 4;

}  // namespace

void markNumber(ImageSlot& image, int left, int top, int value, uint32_t colour,
                uint32_t backdrop) {
  if (!image.present) return;
  int glyphs[12];
  int count = 0;
  int64_t v = value < 0 ? -int64_t(value) : value;
  do {
    glyphs[count++] = int(v % 10);
    v /= 10;
  } while (v != 0);
  if (value < 0) glyphs[count++] = 10;
  std::reverse(glyphs, glyphs + count);
  auto pin = [](int64_t c) { return int(std::clamp<int64_t>(c, -kCoordLimit, kCoordLimit)); };
  const int64_t width = int64_t(count) * kGlyphStep - 1;
  fillRect(image,
           {pin(int64_t(left) - 1), pin(int64_t(top) - 1), pin(left + width + 1),
            pin(int64_t(top) + kGlyphH + 1)},
           backdrop);
  for (int g = 0; g < count; ++g)
    for (int row = 0; row < kGlyphH; ++row)
      for (int col = 0; col < kGlyphW; ++col) {
        if (!(kDigitRows[glyphs[g]][row] >> (kGlyphW - 1 - col) & 1)) continue;
        const int64_t x = int64_t(left) + g * kGlyphStep + col, y = int64_t(top) + row;
        fillRect(image, {pin(x), pin(y), pin(x + 1), pin(y + 1)}, colour);
      }
}

int markHalf(const Document& doc) {
  const float zoom = doc.edit.viewZoom;
  if (!(zoom > 0.0f)) return doc.markSize;
  const double screen = std::ceil(kMarkScreenHalf / double(zoom) - 1e-9);
  return std::max(doc.markSize, int(std::min(screen, 1e6)));
}

int markPen(const Document& doc) {
  const double device = double(doc.edit.viewZoom) * double(std::max(doc.edit.deviceRatio, 1.0f));
  if (!(device > 0.0)) return 1;
  return std::max(1, int(std::min(std::ceil(1.0 / device - 1e-9), 1e6)));
}

namespace {

constexpr int kDotHalf = 1;

bool isJointPoint(const PointRecord& p) { return p.kind == kBatchJoint || p.kind == kJoint; }

// Grey frames on the points of every shown line but the selected one.
void markOtherLines(Document& doc, ImageSlot& image) {
  for (int l = 0; l + 1 < doc.lineCount(); ++l) {
    const LineRecord& line = doc.lines[size_t(l)];
    if (l == doc.curLine || line.sel == 0) continue;
    for (int i = 0; i + 1 < line.pointCount(); ++i) {
      int x, y;
      markCentre(doc, line.points[size_t(i)], x, y);
      markFrame(image, x, y, markHalf(doc), markHalf(doc), kMarkGrey, kAnywhere, markPen(doc));
    }
  }
}

}  // namespace

void drawSelectedLineMarks(Document& doc, int slot) {
  ImageSlot* image = doc.workImages.image(slot);
  if (!image || !doc.isValidLine(doc.curLine)) return;
  const int style =
      doc.pointStyle >= 0 && doc.pointStyle < kPointStyleCount ? doc.pointStyle : kPointSquares;
  if (style == kPointNone) return;
  if (style == kPointAllLines) markOtherLines(doc, *image);
  const LineRecord& line = doc.lines[size_t(doc.curLine)];
  if (line.sel != 1) return;
  const int last = line.pointCount() - 1;
  const int half = markHalf(doc), pen = markPen(doc);
  if (style == kPointPolygon)
    for (int i = 0; i + 1 < last; ++i) {
      int x0, y0, x1, y1;
      markCentre(doc, line.points[size_t(i)], x0, y0);
      markCentre(doc, line.points[size_t(i + 1)], x1, y1);
      markLine(*image, x0, y0, x1, y1, kMarkRed);
    }
  for (int i = 0; i < last; ++i) {
    const PointRecord& p = line.points[size_t(i)];
    const bool selected = i == doc.curPoint;
    int x, y;
    markCentre(doc, p, x, y);
    if (style == kPointJoints && !selected && !isJointPoint(p)) continue;
    if (style == kPointDots && !selected)
      markSquare(*image, x, y, std::max(kDotHalf, pen), kMarkRed, true);
    else
      markSquare(*image, x, y, half,
                 style == kPointJoints && p.kind == kBatchJoint ? kMarkBlue : kMarkRed, selected,
                 kAnywhere, pen);
    if (style == kPointNumbers)
      markNumber(*image, toPixel(double(x) + half + 2), toPixel(double(y) - half), i, kMarkRed,
                 doc.backColor);
  }
  if (doc.edit.mode != 0 || line.lmode != 1 || doc.isValidPick(doc.curLine, doc.curPoint) < 0)
    return;
  // The brush of the selected point, for tapered lines.
  const PointRecord& p = line.points[size_t(doc.curPoint)];
  const int least = 2 * doc.markSize + 6;
  const int halfW =
      std::max(toPixel(2.0 * (doc.markSize + 2.0 * p.pww)) + toPixel(2.0 * p.spdspx), least);
  const int halfH =
      std::max(toPixel(2.0 * (doc.markSize + 2.0 * p.pwh)) + toPixel(2.0 * p.spdspy), least);
  int x, y;
  markCentre(doc, p, x, y);
  markFrame(*image, x, y, halfW, halfH, kMarkGrey);
}

void drawJointMarks(Document& doc, int slot) {
  ImageSlot* image = doc.workImages.image(slot);
  if (!image || doc.edit.mode != kMotionMode) return;
  for (int l = 0; l + 1 < doc.lineCount(); ++l) {
    const LineRecord& line = doc.lines[size_t(l)];
    for (int i = 0; i + 1 < line.pointCount(); ++i) {
      const PointRecord& p = line.points[size_t(i)];
      if (p.kind != kBatchJoint && p.kind != kJoint) continue;
      int x, y;
      markCentre(doc, p, x, y);
      markSquare(*image, x, y, markHalf(doc), p.kind == kJoint ? kMarkRed : kMarkBlue,
                 l == doc.curLine && i == doc.curPoint, kAnywhere, markPen(doc));
    }
  }
}

void drawPointMarks(Document& doc, int slot, int first, int last, int line, int point,
                    uint32_t highlight) {
  ImageSlot* image = doc.workImages.image(slot);
  if (!image) return;
  first = std::max(first, 0);
  last = std::min(last, doc.lineCount() - 2);
  for (int l = first; l <= last; ++l) {
    const LineRecord& rec = doc.lines[size_t(l)];
    if (rec.sel == 0) continue;
    for (int i = 0; i + 1 < rec.pointCount(); ++i) {
      int x, y;
      markCentre(doc, rec.points[size_t(i)], x, y);
      markSquare(*image, x, y, markHalf(doc), rec.points[size_t(i)].sel == 1 ? kMarkBlue : kMarkRed,
                 false, kAnywhere, markPen(doc));
    }
  }
  if (doc.isValidPick(line, point) < 0 || line < first || line > last) return;
  int x, y;
  markCentre(doc, doc.lines[size_t(line)].points[size_t(point)], x, y);
  markSquare(*image, x, y, markHalf(doc), highlight, true);
}

}  // namespace tovala
