#pragma once
// Finding what lies under the mouse: a point of one line, any point of the model (or the tip of
// a joint's axis), and the brush-size handles of the selected point. A point is hit when its
// shown position, truncated to whole pixels, lies within the pick reach of the mouse in x and in
// y, bounds included; of several hits the nearest wins, and of equally near ones the first in
// line and point order.

namespace tovala {

class Document;
struct LineRecord;

// What pickAnyPoint looks for.
enum PickType : int {
  kPickAnyPoint = 0,
  kPickSelectedPoints = 1,  // points whose sel is 1
  kPickJointAxes = 2,       // the tips of the joint lines' unit vectors
  kPickLineKind = 4,        // points of lines of one kind
};

struct PointPick {
  int line = -1;
  int point = -1;
  int axis = -1;  // 0 for a point, 1..3 for the X, Y, Z axis tip of a joint
  bool found() const { return line >= 0; }
};

// How far from the mouse, in canvas pixels, a point is still hit: the mark size, and while the
// canvas is shown (the document's viewZoom above 0) at least kPickScreenPixels window pixels,
// so a point is as easy to hit zoomed out as zoomed in.
inline constexpr double kPickScreenPixels = 6.0;
int pickReach(const Document& doc);

// Squared distance of (px, py) from (x, y) when it lies within `reach` in x and in y, else -1.
long long pickDistance(int px, int py, int x, int y, int reach);

// Whether the pick filter of a running temporary mode lets point picks search this line.
bool pickFilterAccepts(const Document& doc, int line);

// The first point of `line` (-1: the selected line) under (x, y), or -1. While a temporary mode
// runs, a line the pick filter rejects has no points to find.
int pickPointOfLine(const Document& doc, int x, int y, int line = -1);

// The first point of the model under (x, y) of the given pick type; `kind` is the line kind
// for kPickLineKind. Types other than 1, 2 and 4 take any point.
PointPick pickAnyPoint(const Document& doc, int x, int y, int type, int kind = 0);

// The brush handle of the selected point under (x, y): 104 left or right edge, 105 top or
// bottom edge, 106 top-left or bottom-right corner, 107 the other two corners; 0 for none.
// The handle box has half-width 2 (m + 2 pww) and half-height 2 (m + 2 pwh), m the mark size.
int brushHandleAt(const Document& doc, int x, int y);

// The select mode's press at (x, y). A point of the selected line under the mouse is selected
// for a point drag (sub-mode 103). Otherwise the first line, in index order, whose range
// rectangle strictly contains (x, y) and whose stroke, drawn widened by 2 into the scratch
// image, covers the pixel (or whose only point is under the mouse) becomes the selected line
// for a line drag (sub-mode 3); then a point of it under the mouse is selected (103), or on a
// line whose thickness varies per point, a brush handle of the selected point (104..107).
// The press positions are saved for the drag. Returns the selected line, or -1 for a miss,
// which changes no selection.
int pickLine(Document& doc, int x, int y);

}  // namespace tovala
