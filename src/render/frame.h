#pragma once
// Frame composition. Lines are drawn into three canvas-sized layers: the lines before the
// selected one (back, work image 6), the selected line (5) and the lines after it (front, 4).
// The layers are merged into the model picture (1) with the background colour as transparent
// colour, and the display buffer (0) is the model picture with the underlay (7) and the marks.
// Editing the selected line therefore redraws one line; the other layers wait for the next
// rebuild.
//
// Call rebuildLayers after anything that changes lines other than the selected one (opening,
// undo, another selection, lines added or removed, script runs), then refreshSelected; call
// refreshSelected after every edit of the selected line, and buildDisplay whenever the model
// picture, the underlay, the selected point or the marks' inputs change. The back and front
// layers are written only by rebuildLayers: the merge relies on them staying as it left them.

#include "render/draw_target.h"
#include "render/pixel_rect.h"

namespace tovala {

class Document;

// Draws one line by its kind into work image `layer`: plain (0) and joint (4) lines as strokes
// in the line colour, fill (1) and image (2) lines by drawFilledLine, text lines (3) as a stroke
// and their characters. Returns the pixels of the layer it may have changed.
PixelRect drawLine(Document& doc, int line, int layer, int purpose);
// The same into a band of a layer (draw_target.h).
PixelRect drawLine(Document& doc, int line, const DrawTarget& target, int purpose);

// Redraws the back and front layers (in object view: orders the objects, then draws them), in
// horizontal bands, one per core, with the same result as one thread.
void rebuildLayers(Document& doc);
// The same on `threads` threads (1: on the calling thread alone).
void rebuildLayersOn(Document& doc, int threads);
// Redraws the selected layer and merges the three layers into the model picture.
void refreshSelected(Document& doc);
// Makes the display buffer: the model picture, the underlay when shown, the selected line's
// point marks and, in motion mode, the joint marks. A front end draws the marks of its
// temporary modes on top with the functions of marks.h.
void buildDisplay(Document& doc);

// Merges the layers into the model picture as refreshSelected does, after something was laid
// onto the selected layer inside `added` (paint mode re-lays the selected image line).
void mergeSelectedLayer(Document& doc, const PixelRect& added);

}  // namespace tovala
