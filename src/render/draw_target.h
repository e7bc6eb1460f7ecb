#pragma once
// Where one line or object is drawn: a layer, the part of it the drawing may change, and the
// scratch images a mask drawing works in. Drawing the canvas in bands gives each band its own
// clip and scratch images, so bands can be drawn at the same time; one band stores the lines'
// measured ranges, the others leave the document alone.

#include "model/image_store.h"
#include "render/pixel_rect.h"

namespace tovala {

class Document;

struct DrawTarget {
  ImageSlot* layer = nullptr;
  PixelRect clip = kAnywhere;
  // Holds the mask (slot kScratchImage) and the mapped picture (slot kScratchImage2).
  ImageStore* scratch = nullptr;
  // Whether this drawing stores ranges, and in paint mode the mask of an image line, in the
  // document. Exactly one of the bands drawing a layer does.
  bool ownsDocument = true;

  // The whole of work image `layer`, with the document's own scratch images.
  static DrawTarget whole(Document& doc, int layer);

  // The clip in the pixels of a scratch image laid onto the layer with its top-left at `window`'s:
  // strokes drawn into the scratch after its mask is made need only the rows that reach the
  // layer's clip.
  PixelRect inScratch(const PixelRect& window) const {
    if (clip == kAnywhere) return kAnywhere;
    return {-kCoordLimit, clip.top - window.top, kCoordLimit, clip.bottom - window.top};
  }
};

}  // namespace tovala
