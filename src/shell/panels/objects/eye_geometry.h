#pragma once
// The eye editor's drawing area without Qt: where the eye and its iris lie in the area, which
// handle a press grabs, and what a drag does to the eye's settings. The eye fills the area less
// a margin; the iris is the rectangle of its ellipse, placed and sized by the eye's settings the
// way the renderer reads them (offset in percent of the eye's half-size, size as fractions).

#include <cstdint>
#include <string>
#include <vector>

#include "model/records.h"

namespace tovala {

class Document;

struct EyeRect {
  double left = 0, top = 0, right = 0, bottom = 0;
  double cx() const { return (left + right) / 2; }
  double cy() const { return (top + bottom) / 2; }
};

inline constexpr int kEyeAreaMargin = 10;

// Press states, as in line deforming: a corner, a top or bottom edge, a left or right edge,
// inside the eye outside the iris, and inside the iris.
enum EyeDragState : int {
  kEyeDragNone = 0,
  kEyeDragInside = 100,
  kEyeDragIris = 101,
  kEyeDragSide = 108,
  kEyeDragEdge = 109,
  kEyeDragCorner = 110,
};

// The eye in an area of `width` x `height` pixels.
EyeRect eyeRectIn(int width, int height);
// The iris rectangle of `eye` inside `box`.
EyeRect irisRect(const ObjectRecord& eye, const EyeRect& box);
// What a press at (x, y) grabs, the iris's box taken like a line's bounding box in deforming:
// a corner within an eighth of the box's width (at least `grip` pixels) of two sides, else an
// edge handle between the corners, then the iris, then the rest of the eye; kEyeDragNone outside.
int eyeHitState(const ObjectRecord& eye, const EyeRect& box, double x, double y, double grip);
// The eye after a drag from (x0, y0) to (x1, y1) that started in `state` on `start`: as in line
// deforming, an edge sets that half-size to the mouse's distance from the iris's centre and a
// corner scales both by the width's ratio; the iris moves with the mouse, and a press inside the
// eye puts the iris's centre under the mouse. Sizes stay within the eye (at least 1/10000 of
// it), offsets within -100..100 percent. The other settings are kept.
ObjectRecord dragEye(const ObjectRecord& start, int state, const EyeRect& box, double x0, double y0,
                     double x1, double y1);

// An offset byte: 0..127 as they are, a negative n stored as 0xFF + n (the prompt's 0xFF - xx).
uint32_t packOffsetByte(int percent);
int unpackOffsetByte(uint32_t b);

// The R, G, B edits show and set the iris colour ("黒目の色").
uint32_t eyeEditColour(const ObjectRecord& eye);
// Stores the typed components as the iris colour; false, nothing changed, unless each is a whole
// number 0..255 or the object is not an eye.
bool setEyeEditColour(ObjectRecord& eye, const std::string& r, const std::string& g,
                      const std::string& b);

// The eye objects of the list (sentinel excluded), in list order: the rows of the eye combo.
std::vector<int> eyeObjectRows(const Document& doc);
// Whether the eye's line (its first entry) is a line of the document.
bool validEyeLine(const Document& doc, const ObjectRecord& eye);

}  // namespace tovala
