#include "render/frame.h"

#include <chrono>
#include <cstring>

#include "model/brush_kernel.h"
#include "model/document.h"
#include "render/fill.h"
#include "render/bands.h"
#include "render/image_ops.h"
#include "render/marks.h"
#include "render/object_view.h"
#include "render/stroke.h"
#include "render/stroke_core.h"
#include "render/text_line.h"

namespace tovala {

namespace {

constexpr int kMotionMode = 5;
constexpr int kPaintMode = 3;
constexpr uint32_t kUnderlayKey = 0xFFFFFF;  // pure white underlay pixels are not laid
constexpr int kUnderlayStrength = 100;

// The kernel of the document's brush. Taken before every redraw, so a brush changed since
// the last one is in force for every line, and after it, for whatever drew with another kernel.
void restoreDefaultKernel(Document& doc) {
  doc.workImages.kernel =
      buildKernel(doc.defBrush[0], doc.defBrush[1], doc.defBrush[2], doc.defBrush[3]);
}

void clearLayer(Document& doc, int slot) {
  if (ImageSlot* layer = doc.workImages.image(slot))
    fillRect(*layer, PixelRect::ofSize(layer->width, layer->height), doc.backColor);
}

// A line of at most one point draws nothing; a frame in the inverted background colour shows
// where it is, unless the line is hidden (sel 0) like any other line.
void markLonePoint(const Document& doc, int index, ImageSlot& layer, const PixelRect& clip) {
  const LineRecord& line = doc.lines[size_t(index)];
  if (line.pointCount() - 1 > 1 || line.sel == 0) return;
  const PointRecord& p = line.points.front();
  const int x = toPixel(double(line.w) * p.vx + line.vx - doc.edit.viewOrigin.x);
  const int y = toPixel(double(line.h) * p.vy + line.vy - doc.edit.viewOrigin.y);
  markSquare(layer, x, y, doc.markSize, doc.backColor ^ 0xFFFFFF, false, clip);
}

// Draws the back and front layers' lines or objects, each clipped to `clip` (a band of the
// canvas, or everywhere), with the scratch images of `scratch`.
void drawBackAndFront(Document& doc, const PixelRect& clip, ImageStore& scratch, bool ownsDocument) {
  ImageSlot* back = doc.workImages.image(kBackLayer);
  ImageSlot* front = doc.workImages.image(kFrontLayer);
  for (ImageSlot* layer : {back, front})
    if (layer) fillRect(*layer, clip, doc.backColor);
  const auto target = [&](bool behind) {
    return DrawTarget{behind ? back : front, clip, &scratch, ownsDocument};
  };
  if (doc.objectView == 1) {
    for (int i = 0; i + 1 < doc.objectCount(); ++i)
      if (i != doc.curObject) drawObject(doc, i, target(i < doc.curObject));
    return;
  }
  for (int i = 0; i + 1 < doc.lineCount(); ++i) {
    if (i == doc.curLine) continue;
    const DrawTarget into = target(i < doc.curLine);
    drawLine(doc, i, into, kStrokeDraw);
    if (into.layer) markLonePoint(doc, i, *into.layer, clip);
  }
}

// How many bands the layers are drawn in: one where drawing touches what bands cannot share
// (the paint mask of paint mode, the front end's text painter) or the layers differ in size.
int layerBands(const Document& doc, int threads) {
  const ImageSlot* back = doc.workImages.image(kBackLayer);
  const ImageSlot* front = doc.workImages.image(kFrontLayer);
  if (!back || !front || back->width != front->width || back->height != front->height ||
      doc.edit.mode == kPaintMode)
    return 1;
  if (doc.objectView != 1 && doc.textPainter)
    for (int i = 0; i + 1 < doc.lineCount(); ++i)
      if (doc.lines[size_t(i)].kind == 3) return 1;
  return bandCount(threads, back->height);
}

// The back layer with the front layer laid over it: what the model picture is wherever the
// selected layer shows background.
void mergeBackAndFront(Document& doc) {
  auto& cache = doc.layerMerge;
  cache.valid = false;
  const ImageSlot* back = doc.workImages.image(kBackLayer);
  const ImageSlot* front = doc.workImages.image(kFrontLayer);
  if (!back || !front) return;
  cache.backAndFront = *back;
  composite(cache.backAndFront, 0, 0, front->width, front->height, *front, doc.backColor, kCopy,
            false);
  cache.backColor = doc.backColor;
  cache.valid = true;
}

// The same merge one band at a time: the cache is given the back layer's size first, then each
// band copies and merges its own rows (back and front have the same size when drawn in bands).
void prepareBandMerge(Document& doc) {
  auto& cache = doc.layerMerge;
  cache.valid = false;
  const ImageSlot& back = *doc.workImages.image(kBackLayer);
  ImageSlot& merged = cache.backAndFront;
  if (!(merged.present && merged.width == back.width && merged.height == back.height &&
        merged.pixels.size() == back.pixels.size() && merged.header == back.header))
    merged = back;
}

void mergeBandRows(Document& doc, const PixelRect& rows) {
  const ImageSlot& back = *doc.workImages.image(kBackLayer);
  const ImageSlot& front = *doc.workImages.image(kFrontLayer);
  ImageSlot& merged = doc.layerMerge.backAndFront;
  if (rows.empty()) return;
  // Rows top .. bottom - 1 lie together in memory, the bottom one first.
  const size_t first = size_t(back.stride) * size_t(back.height - rows.bottom);
  std::memcpy(merged.pixels.data() + first, back.pixels.data() + first,
              size_t(back.stride) * size_t(rows.height()));
  composite(merged, 0, 0, front.width, front.height, front, doc.backColor, kCopy, false, rows);
}

bool cacheFits(const Document& doc, const ImageSlot& model) {
  const auto& cache = doc.layerMerge;
  const ImageSlot* front = doc.workImages.image(kFrontLayer);
  return cache.valid && cache.backColor == doc.backColor && front &&
         cache.backAndFront.width == model.width && cache.backAndFront.height == model.height &&
         front->width == model.width && front->height == model.height;
}

PixelRect selectedArea(const Document& doc) {
  const auto& a = doc.layerMerge.selectedArea;
  return {a[0], a[1], a[2], a[3]};
}

// Merges the three layers into the model picture; the selected layer is background outside
// the area drawn on since it was cleared.
void mergeLayers(Document& doc) {
  const PixelRect selected = selectedArea(doc);
  ImageSlot* model = doc.workImages.image(kModelImage);
  ImageSlot* sel = doc.workImages.image(kSelectedLayer);
  if (!model) return;
  if (!cacheFits(doc, *model)) mergeBackAndFront(doc);
  if (!cacheFits(doc, *model) || !copyPixels(*model, doc.layerMerge.backAndFront)) {
    // Layers of odd sizes: the plain merge, clipped to each.
    const ImageSlot* back = doc.workImages.image(kBackLayer);
    if (back) composite(*model, 0, 0, back->width, back->height, *back, kNoKey, kCopy, false);
    for (int slot : {kSelectedLayer, kFrontLayer})
      if (const ImageSlot* layer = doc.workImages.image(slot))
        composite(*model, 0, 0, layer->width, layer->height, *layer, doc.backColor, kCopy, false);
    return;
  }
  if (!sel || sel->width != model->width || sel->height != model->height) return;
  // Inside the selected line's area: the selected layer shows through where the front layer is
  // background.
  const ImageSlot& front = *doc.workImages.image(kFrontLayer);
  const PixelRect area = selected.intersected(PixelRect::ofSize(model->width, model->height));
  const uint8_t kb = uint8_t(doc.backColor >> 16), kg = uint8_t(doc.backColor >> 8),
                kr = uint8_t(doc.backColor);
  for (int y = area.top; y < area.bottom; ++y) {
    const uint8_t* s = sel->row(y) + 3 * area.left;
    const uint8_t* f = front.row(y) + 3 * area.left;
    uint8_t* m = model->row(y) + 3 * area.left;
    for (int x = area.left; x < area.right; ++x, s += 3, f += 3, m += 3) {
      if (s[0] == kb && s[1] == kg && s[2] == kr) continue;
      if (f[0] != kb || f[1] != kg || f[2] != kr) continue;
      m[0] = s[0];
      m[1] = s[1];
      m[2] = s[2];
    }
  }
}

}  // namespace

PixelRect drawLine(Document& doc, int line, int layer, int purpose) {
  return drawLine(doc, line, DrawTarget::whole(doc, layer), purpose);
}

PixelRect drawLine(Document& doc, int line, const DrawTarget& target, int purpose) {
  if (!doc.isValidLine(line)) return {};
  const LineRecord& rec = doc.lines[size_t(line)];
  StrokeTarget stroke;
  stroke.clip = target.clip;
  stroke.storeRange = target.ownsDocument;
  switch (rec.kind) {
    case 1:
    case 2: return drawFilledLine(doc, line, target);
    case 3: {
      const PixelRect drawn = strokeLine(doc, line, target.layer, rec.cr, purpose, -1, stroke);
      return drawn.united(drawTextLine(doc, line, target.layer));
    }
    default: return strokeLine(doc, line, target.layer, rec.cr, purpose, -1, stroke);
  }
}

void rebuildLayers(Document& doc) { rebuildLayersOn(doc, 0); }

void rebuildLayersOn(Document& doc, int threads) {
  restoreDefaultKernel(doc);
  if (doc.objectView == 1) orderObjects(doc);
  const int bands = layerBands(doc, threads);
  if (bands <= 1) {
    drawBackAndFront(doc, kAnywhere, doc.workImages, true);
    mergeBackAndFront(doc);
  } else {
    // Each band draws and merges its rows with scratch images of its own, and is timed so the
    // next rebuild can split the canvas where the bands take about as long.
    const ImageSlot& back = *doc.workImages.image(kBackLayer);
    std::vector<int32_t>& edges = doc.layerMerge.bandEdges;
    if (edges.size() != size_t(bands) + 1 || edges.back() != back.height)
      edges = nextBandEdges({}, {}, bands, back.height);
    std::vector<ImageStore> scratch(static_cast<size_t>(bands));
    for (ImageStore& store : scratch) store.initStore(kWorkImageSlots);
    std::vector<double> seconds(static_cast<size_t>(bands));
    prepareBandMerge(doc);
    drawInBands(bands, [&](int band) {
      const auto start = std::chrono::steady_clock::now();
      const PixelRect rows{0, edges[size_t(band)], back.width, edges[size_t(band) + 1]};
      drawBackAndFront(doc, rows, scratch[size_t(band)], band == 0);
      mergeBandRows(doc, rows);
      seconds[size_t(band)] =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    });
    edges = nextBandEdges(edges, seconds, bands, back.height);
    doc.layerMerge.backColor = doc.backColor;
    doc.layerMerge.valid = true;
  }
  restoreDefaultKernel(doc);
}

void refreshSelected(Document& doc) {
  restoreDefaultKernel(doc);
  clearLayer(doc, kSelectedLayer);
  PixelRect drawn;
  if (doc.objectView == 1) {
    if (doc.curObject >= 0 && doc.curObject + 1 < doc.objectCount())
      drawn = drawObject(doc, doc.curObject, kSelectedLayer);
  } else {
    drawn = drawLine(doc, doc.curLine, kSelectedLayer, kStrokeSelected);
  }
  restoreDefaultKernel(doc);
  doc.layerMerge.selectedArea = {drawn.left, drawn.top, drawn.right, drawn.bottom};
  mergeLayers(doc);
  if (doc.objectView == 1 && doc.edit.mode == kMotionMode) drawJointMarks(doc, kModelImage);
}

void mergeSelectedLayer(Document& doc, const PixelRect& added) {
  const PixelRect area = selectedArea(doc).united(added);
  doc.layerMerge.selectedArea = {area.left, area.top, area.right, area.bottom};
  mergeLayers(doc);
}

void buildDisplay(Document& doc) {
  const ImageSlot* model = doc.workImages.image(kModelImage);
  if (!model) return;
  // A document given its canvas late (Document::buildCanvas) has no display buffer yet.
  if (!doc.workImages.image(kDisplayImage))
    doc.workImages.makeBlank(kDisplayImage, model->width, model->height, doc.backColor);
  ImageSlot* display = doc.workImages.image(kDisplayImage);
  if (!display) return;
  const ImageSlot* underlay =
      doc.showUnderlay == 1 ? doc.workImages.image(kUnderlayImage) : nullptr;
  // The copy and the underlay in one pass when the sizes allow it.
  if (!underlay || !layOver(*display, *model, *underlay, kUnderlayKey, kUnderlayStrength)) {
    if (!copyPixels(*display, *model))
      composite(*display, 0, 0, model->width, model->height, *model, kNoKey, kCopy, false);
    if (underlay)
      composite(*display, 0, 0, underlay->width, underlay->height, *underlay, kUnderlayKey,
                kUnderlayStrength, false);
  }
  drawSelectedLineMarks(doc, kDisplayImage);
  drawJointMarks(doc, kDisplayImage);
}

}  // namespace tovala
