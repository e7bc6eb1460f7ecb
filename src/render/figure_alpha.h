#pragma once
// The figure without its background, for pictures written with transparency. A soft stroke
// edge is the line colour c laid at some opacity a over the background; drawing the figure once
// over white (W = a c + (1 - a) 255) and once over black (B = a c) gives a = 255 - (W - B) for
// each channel. The brush's integer blending falls a few levels short when it brightens a
// channel (over black), never when it darkens one (over white), so the over-black channels can
// only understate the opacity: a pixel takes the largest opacity its channels show, and its
// colour is solved from the over-white drawing, which it then gives back exactly when laid over
// white. A pixel no line touches is white in one drawing and black in the other: opacity 0.

#include <cstdint>
#include <vector>

#include "model/image_store.h"

namespace tovala {

class Document;

// Opacity and colour from the two drawings, which must be the same size: `colour` is a new
// picture of that size (black where fully transparent), `alpha` one opacity per pixel, rows from
// the top.
void recoverAlpha(const ImageSlot& onWhite, const ImageSlot& onBlack, ImageSlot& colour,
                  std::vector<uint8_t>& alpha);

// Draws the document's model picture over white and over black and recovers the figure with
// its opacity. Lines in the document's background colour stay invisible, as on the canvas. The background colour is put back and the layers redrawn afterwards, so the
// document's pictures are as before (the display buffer is left to the caller). False when the
// document has no model picture.
// `threads` goes to rebuildLayersOn: 0 draws in one band per core, 1 on the calling thread for a
// caller that fills every core itself (the animation export). Without `restore` the colours are
// put back but the layers are left as drawn over black, for a caller that draws the document
// for nothing else.
bool renderFigureAlpha(Document& doc, ImageSlot& colour, std::vector<uint8_t>& alpha,
                       int threads = 0, bool restore = true);

}  // namespace tovala
