#pragma once
// The press and drag steps of the editing modes: dragging the selected line or point, resizing
// the selected point's brush by its handles, moving the whole figure, deforming the selected
// line by its bounding box, and moving the flagged points. A press records what the following
// drag steps start from (doc.edit); a drag step works from those saves, so repeated steps do
// not accumulate rounding.

namespace tovala {

class Document;
struct LineRecord;

// Sub-modes of the select mode's drag and of the deform mode's handles.
enum DragSubMode : int {
  kSubLineDrag = 3,
  kSubPointDrag = 103,
  kSubBrushWidth = 104,    // left or right edge of the brush box
  kSubBrushHeight = 105,   // top or bottom edge
  kSubBrushCornerA = 106,  // top-left or bottom-right corner
  kSubBrushCornerB = 107,  // top-right or bottom-left corner
  kSubDeformWidth = 108,   // left or right edge of the bounding box
  kSubDeformHeight = 109,  // top or bottom edge
  kSubDeformCorner = 110,
};

// A line's extent over its real points (their positions, or their references), the running
// minimum and maximum starting from +-100000.
struct BoundingBox {
  float left = 100000.0f, top = 100000.0f, right = -100000.0f, bottom = -100000.0f;
  float cx = 0, cy = 0, width = 0, height = 0;
  int leftPoint = -1, topPoint = -1, rightPoint = -1, bottomPoint = -1;
  int points = 0;  // real points measured
  bool empty() const { return points == 0; }
};
BoundingBox boundingBox(const LineRecord& line, bool references = false);

// Saves the positions (and a full copy) of the selected line for a line, point or handle drag.
void savePressLine(Document& doc, int x, int y);

// Select mode: one drag step with the mouse at (x, y), by the sub-mode the press chose.
void dragSelection(Document& doc, int x, int y);

// Move-all mode: the press remembers the whole-model movement; each step moves the figure so
// that VextX, VextY are their press values plus the mouse offset.
void pressMoveAll(Document& doc, int x, int y);
void dragMoveAll(Document& doc, int x, int y);

// Deform mode: the press chooses the bounding-box handle (sub-mode 108..110, 0 for none) with a
// tolerance of an eighth of the box width and copies the line; each step scales the copy.
void pressDeform(Document& doc, int x, int y);
void dragDeform(Document& doc, int x, int y);

// Move-points mode: every real point whose sel is 1, on every line, moves by the mouse's step
// from (qx, qy) to (x, y).
void dragMoveSelectedPoints(Document& doc, int x, int y, int qx, int qy);

}  // namespace tovala
