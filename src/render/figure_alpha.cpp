#include "render/figure_alpha.h"

#include <algorithm>

#include "model/document.h"
#include "render/frame.h"

namespace tovala {

namespace {

// The model picture with the figure drawn over `background`, or false when there is none.
bool drawOver(Document& doc, uint32_t background, int threads, ImageSlot& out) {
  doc.backColor = background;
  rebuildLayersOn(doc, threads);
  refreshSelected(doc);
  const ImageSlot* model = doc.workImages.image(kModelImage);
  if (!model) return false;
  out = *model;
  return true;
}

}  // namespace

void recoverAlpha(const ImageSlot& onWhite, const ImageSlot& onBlack, ImageSlot& colour,
                  std::vector<uint8_t>& alpha) {
  alpha.clear();
  if (!allocatePicture(colour, onWhite.width, onWhite.height) || onBlack.width != onWhite.width ||
      onBlack.height != onWhite.height) {
    colour = ImageSlot{};
    return;
  }
  alpha.resize(size_t(colour.width) * size_t(colour.height));
  uint8_t* a = alpha.data();
  for (int y = 0; y < colour.height; ++y) {
    const uint8_t* w = onWhite.row(y);
    const uint8_t* b = onBlack.row(y);
    uint8_t* c = colour.row(y);
    for (int x = 0; x < colour.width; ++x, w += 3, b += 3, c += 3, ++a) {
      int opacity = 0;
      for (int k = 0; k < 3; ++k) opacity = std::max(opacity, 255 - std::max(w[k] - b[k], 0));
      *a = uint8_t(opacity);
      if (opacity == 0) continue;  // stays black
      // W = c a / 255 + 255 - a, so c = (W - 255 + a) 255 / a; with the largest a it lies in
      // 0 .. 255 already.
      for (int k = 0; k < 3; ++k)
        c[k] = uint8_t(((w[k] - 255 + opacity) * 255 + opacity / 2) / opacity);
    }
  }
}

bool renderFigureAlpha(Document& doc, ImageSlot& colour, std::vector<uint8_t>& alpha,
                       int threads, bool restore) {
  const uint32_t background = doc.backColor;
  // A line in exactly the document's background colour is invisible in its picture (the merge
  // keys that colour out): the body model's white bones on white, say. Drawn over another
  // background it would show, so in each drawing such a line takes that drawing's background
  // colour and stays invisible, as on the canvas.
  std::vector<uint32_t*> keyed;
  for (LineRecord& l : doc.lines) {
    if (l.cr == background) keyed.push_back(&l.cr);
    if (l.kind == 1 && l.cb == background) keyed.push_back(&l.cb);
  }
  const auto keyTo = [&](uint32_t c) {
    for (uint32_t* k : keyed) *k = c;
  };
  ImageSlot onWhite, onBlack;
  keyTo(0xFFFFFF);
  bool drawn = drawOver(doc, 0xFFFFFF, threads, onWhite);
  keyTo(0x000000);
  drawn = drawn && drawOver(doc, 0x000000, threads, onBlack);
  keyTo(background);
  doc.backColor = background;
  if (restore) {
    rebuildLayersOn(doc, threads);
    refreshSelected(doc);
  }
  if (!drawn) {
    colour = ImageSlot{};
    alpha.clear();
    return false;
  }
  recoverAlpha(onWhite, onBlack, colour, alpha);
  return colour.present;
}

}  // namespace tovala
