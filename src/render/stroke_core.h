#pragma once
// The stroke algorithm behind drawStroke, open to the fill, object and picking code: a list of
// point indices walked into segments by the points' modes, each segment drawn as a straight line
// (two points) or as spline passes with drift (three or more), through a StrokeRaster that
// stamps the kernel or the tapered rectangles.

#include <cstdint>
#include <span>
#include <vector>

#include "model/brush_kernel.h"
#include "model/image_store.h"
#include "model/records.h"
#include "render/kernel_stamps.h"
#include "render/pixel_rect.h"

namespace tovala {

class Document;

// The ceiling of a stroke's passes. Ordinary lines draw passes 20 to 40; past a few hundred the
// samples lie far closer together than pixels, so more passes only cost time, and a pass range
// taken from a file or a script (any two 32-bit values) must not hold the editor for hours.
// A stroke draws at most this many passes, and a pass numbered above it is sampled as densely
// as this one. Passes numbered 0 or below sample nothing and are not walked at all.
inline constexpr int kMaxStrokePasses = 256;

// The pass range, drift and brush style a stroke is drawn with.
struct StrokeStyle {
  int lmode = 0;  // 1: per-point tapered rectangles instead of the kernel
  int spmin = 20, spmax = 40;
  double dspx = 0.3, dspy = 0.3;
};

// Where a stroke's lines go.
class StrokeRaster {
 public:
  virtual ~StrokeRaster() = default;
  virtual void kernelLine(int x0, int y0, int x1, int y1) = 0;
  virtual void taperedLine(const TaperEnd& start, const TaperEnd& end) = 0;
  virtual int kernelWidth() const = 0;
  virtual int kernelHeight() const = 0;
};

// The fast primitives, or the plain ones they are checked against.
enum class RasterPath { kFast, kReference };

// A StrokeRaster over one image, kernel and colour, changing only pixels inside `clip` (the
// fast path only; the reference path draws the whole image).
class ImageRaster final : public StrokeRaster {
 public:
  ImageRaster(ImageSlot& image, const BrushKernel& kernel, uint32_t colour, RasterPath path,
              const PixelRect& clip = kAnywhere);
  void kernelLine(int x0, int y0, int x1, int y1) override;
  void taperedLine(const TaperEnd& start, const TaperEnd& end) override;
  int kernelWidth() const override { return kernel_.width; }
  int kernelHeight() const override { return kernel_.height; }

 private:
  ImageSlot& image_;
  const BrushKernel& kernel_;
  uint32_t colour_;
  RasterPath path_;
  PixelRect clip_;
  KernelStamper stamper_;
};

struct IntPoint {
  int x = 0, y = 0;
  bool operator==(const IntPoint&) const = default;
};

struct StrokeResult {
  // Bounding box of the points and samples, starting at the first point's position.
  double left = 0, top = 0, right = 0, bottom = 0;
  // The pixels the stamps may have reached; empty when nothing was drawn.
  PixelRect touched;
};

// A line's position (its vx, vy) taken instead of the stored one, as when a mask drawing moves
// the line so its box starts at the scratch origin.
struct LinePosition {
  float vx = 0, vy = 0;
  // The line's position moved by (dx, dy), rounded to the stored precision.
  static LinePosition shifted(const LineRecord& line, double dx, double dy) {
    return {float(double(line.vx) + dx), float(double(line.vy) + dy)};
  }
};

struct StrokeOptions {
  StrokeRaster* raster = nullptr;         // null: measure only
  bool binarySearch = false;              // find spline intervals the plain way (reference path)
  std::vector<IntPoint>* path = nullptr;  // receives the drawn polyline's vertices in order
  const LinePosition* position = nullptr;  // null: the line's own vx, vy
};

// How strokeLine draws beyond its arguments. The defaults draw anywhere in the image at the
// line's own position, with the document's kernel in force, and store the range as the purpose
// says.
struct StrokeTarget {
  PixelRect clip = kAnywhere;              // the pixels it may change
  const LinePosition* position = nullptr;  // the line's position, when moved for a mask
  const BrushKernel* kernel = nullptr;     // the kernel in force (null: the document's)
  bool storeRange = true;                  // false: the range fields are left alone whatever
                                           // the purpose (a band drawing that is not the first)
};

// Walks `points` (indices into line.points, the sentinel excluded) with the given style.
StrokeResult runStroke(const LineRecord& line, std::span<const int> points,
                       const StrokeStyle& style, const StrokeOptions& options);

// The style drawStroke uses for the line: its own (kernel built into `ownKernel`, which is then
// the kernel to use) when `perLine` is 1, the document's defaults and the kernel in force when 0.
StrokeStyle strokeStyleFor(const Document& doc, const LineRecord& line, int perLine,
                           BrushKernel& ownKernel, const BrushKernel*& kernel);

// A measured box widened for the brush and the point marks: the range fields' values (left,
// top, right, bottom).
struct LineRange {
  float left = 0, top = 0, right = 0, bottom = 0;
};
LineRange rangeOf(const Document& doc, const LineRecord& line, const StrokeResult& box);
// Stores rangeOf in the line's range fields.
void storeRange(const Document& doc, LineRecord& line, const StrokeResult& box);

// drawStroke drawing into `image` (null: nothing drawn, as with purpose -1), returning the
// pixels it may have touched.
PixelRect strokeLine(Document& doc, int line, ImageSlot* image, uint32_t colour, int purpose,
                     int perLineOverride, RasterPath path = RasterPath::kFast);
// The same with a clip, a moved position or a kernel of the caller's. The line is changed only
// by storing its range, and only when target.storeRange allows it.
PixelRect strokeLine(Document& doc, int line, ImageSlot* image, uint32_t colour, int purpose,
                     int perLineOverride, const StrokeTarget& target);

// The indices of the line's real points, 0 .. count - 2.
std::vector<int> wholeLine(const LineRecord& line);

}  // namespace tovala
