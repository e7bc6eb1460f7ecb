#pragma once
// Object view: objects take the place of lines. Each object is drawn by the raster mask of
// mask_scratch.h from up to 64 pieces (a line and a point range each): a normal object as the
// pieces joined end to start into one outline, a circle as the ellipse through the pieces'
// extent, an eye as its line's outline holding the white, the iris, the pupil and a highlight.

#include <cstdint>
#include <vector>

#include "model/records.h"
#include "render/draw_target.h"
#include "render/pixel_rect.h"

namespace tovala {

class Document;

// One piece of an object: a valid line and the indices of its points in drawing order.
struct ObjectPiece {
  int line = 0;
  std::vector<int> points;
};

// The object's pieces: entries up to the first negative line, lines that do not exist skipped.
// An eye uses only its first entry, the whole line (its rule words hold the eye's settings).
std::vector<ObjectPiece> objectPieces(const Document& doc, const ObjectRecord& object);

// Recomputes every object's depth and orders the objects (sentinel excluded) by depth with a
// stable bubble sort: ascending when frontToBack is 0, descending when 1. curObject keeps
// naming the same object.
void orderObjects(Document& doc);

// Draws object `index` into work image `layer` (work image 2 is the scratch) and returns the
// layer pixels it may have changed.
PixelRect drawObject(Document& doc, int index, int layer);
// The same into a band of a layer (draw_target.h). Objects change nothing in the document.
PixelRect drawObject(const Document& doc, int index, const DrawTarget& target);

}  // namespace tovala
