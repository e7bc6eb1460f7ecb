#pragma once
// The figure as an exported picture shows it: drawn without the editor's working marks, at any
// size, with smooth edges.
//
// What is left out is decided by what a line is and does, never by its place in the document:
// joint lines (the skeleton) unless the bones are asked for, and lines of at most one point,
// which draw nothing of the figure (the lines that only carry a program, such as the body
// model's controllers) and would otherwise leave the editor's frame mark. An export draws the
// model picture, never the display, so point marks, the selection's marks, hit-guide shapes, the
// motion mode's joint marks and the underlay are never in it.
//
// Smooth edges: the figure is drawn k times larger (k from 2 to 4, fewer for larger pictures) and
// each k x k block is averaged into one output pixel. Drawing larger scales every line's
// position, brush and drift by the same factor, and thins each brush stamp so that a stroke,
// now stamped k times as often, builds up to the weight it has on the canvas. Image and text
// lines keep their pictures' and characters' pixel sizes, so a document showing either is drawn
// at the canvas size and resampled instead.

#include <cstdint>
#include <optional>
#include <vector>

#include "codec/picture.h"
#include "model/document.h"
#include "render/picture_scale.h"

namespace tovala {

// Export scales: outside these a picture is more likely a typing error than a wish.
inline constexpr double kMinExportScale = 0.25, kMaxExportScale = 8.0;

// Shown when the model is enlarged or reduced ("一時拡大", "伸縮指定"): an export draws the figure
// as it stands at scale 1, and poses hold movements taken there.
inline constexpr const char* kExportScaledModel = "拡大または縮小しているときは行えません。";

enum class ExportView : uint8_t { Auto, Line, Object };

// How the figure is shown.
struct FigureLook {
  // Auto: the object view when the document has objects (it draws the filled figure), else the
  // line view.
  ExportView view = ExportView::Auto;
  bool bones = false;
  bool transparent = false;
  // An opaque picture's background; none keeps the document's background colour.
  std::optional<uint32_t> background;
  // Supersampled. Without it the figure is drawn at the canvas size and resampled: hard edges,
  // for a quick look (the export dialog's preview while a value is being dragged, the
  // benchmark's yardstick).
  bool smooth = true;
};

// Whether an export draws in object view.
bool exportsObjectView(const Document& doc, ExportView view);

// Whether an export leaves the line out of the picture.
bool isWorkingLine(const LineRecord& line, bool bones);

// The supersampling factor for a picture of width x height: 4 for thumbnails, 2 for large
// prints, so the drawing stays near a few million pixels.
int supersampleFactor(int32_t width, int32_t height);

// The output size for a canvas at `scale` (each side rounded, at least 1).
void scaledSize(int32_t canvasWidth, int32_t canvasHeight, double scale, int32_t& width,
                int32_t& height);
// The largest size with the canvas's aspect that fits in width x height.
void fittedSize(int32_t canvasWidth, int32_t canvasHeight, int32_t& width, int32_t& height);

// Draws figures one after another; keeps its own document and buffers between calls, so the
// frames of an animation allocate nothing after the first. Not for several threads at once.
class FigureDrawer {
 public:
  FigureDrawer() : doc_(Canvas::kNone) {}
  // `posed`'s figure as a width x height picture into `out`; `alpha` gets one opacity per
  // pixel (rows from the top) when the look is transparent, else is emptied. `threads` as for
  // rebuildLayersOn. `posed` is only read. False when a size is not drawable.
  bool draw(const Document& posed, const FigureLook& look, int32_t width, int32_t height,
            int threads, ImageSlot& out, std::vector<uint8_t>& alpha);

 private:
  void copyFigure(const Document& posed, const FigureLook& look);

  Document doc_;
  ImageSlot drawn_;
  std::vector<uint8_t> drawnAlpha_;
  PictureScaler scaler_;
};

}  // namespace tovala
