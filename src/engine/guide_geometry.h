#pragma once
// Geometry shared by hit guides, connecting lines and decorative lines: point-with-axis
// references, the view weights a joint's frame gives (how much it faces front, top and side),
// the blend of per-view values by those weights, and the side test and quarter-turned normal
// that decide on which side of a bone or chord an outline lies.
//
// Positions are the points' own vx, vy, vz (the space the joints move in); x and y are the
// screen plane, y pointing down, z towards the viewer.

#include <cstdint>

#include "engine/rotation.h"
#include "model/records.h"

namespace tovala {

class Document;

// A point-with-axis reference: line * 65536 + point * 256 + axis (the point taken modulo 256).
inline int32_t packAxisRef(int line, int point, int axis) {
  return int32_t(uint32_t(line) * 65536u + uint32_t(point & 0xFF) * 256u + uint32_t(axis & 0xFF));
}
inline int axisRefLine(int32_t ref) { return ref >> 16; }
inline int axisRefPoint(int32_t ref) { return (ref >> 8) & 0xFF; }
inline int axisRefAxis(int32_t ref) { return ref & 0xFF; }

// The point record a reference names, or nullptr when line or point is not a real one.
const PointRecord* pointAt(const Document& doc, int line, int point);

// Axis position of a point: 0 its position; 1, 2, 3 the tips unitX, unitY, unitZ; 4, 5, 6 those
// tips mirrored through the point. Any other axis, or an invalid point, gives (0, 0, 0).
DVec3 axisPosition(const Document& doc, int line, int point, int axis);
inline DVec3 axisPosition(const Document& doc, int32_t ref) {
  return axisPosition(doc, axisRefLine(ref), axisRefPoint(ref), axisRefAxis(ref));
}
// Whether a reference names a real point (its axis is not checked).
bool isValidAxisRef(const Document& doc, int32_t ref);

// The weights of the three views: areas, measured in x and y, of the triangles the joint
// position spans with two of its unit-vector tips (front: X, Y; top: X, Z; side: Y, Z).
struct ViewWeights {
  double front = 0, top = 0, side = 0;
};
ViewWeights frameWeights(const PointRecord& joint);

// Heron's formula on the x-y projections of a, b and d; 0 for a degenerate triangle.
double triangleAreaXY(const DVec3& a, const DVec3& b, const DVec3& d);

// (wF^e·front + wT^e·top + wS^e·side) / (wF^e + wT^e + wS^e), the denominator taken as 1 when it
// is 0, so a frame with no area blends everything to 0.
double blendView(const ViewWeights& w, double front, double top, double side, double exponent);
// The same over four consecutive parameter values: front, top, side, exponent.
double blendView(const ViewWeights& w, const ParamEntry* group);

// Which side of the directed x-y line from `from` to `to` the point g lies on:
// (g.x − from.x)·(to.y − from.y) − (to.x − from.x)·(g.y − from.y). With y pointing down, a
// positive value means g lies to the left of the direction as seen on screen.
double sideOf(const DVec3& g, const DVec3& from, const DVec3& to);

// `v` turned a quarter in x and y towards the side `side` names (non-negative: (v.y, −v.x),
// negative: (−v.y, v.x)), scaled to length `scale`, with z = `scale`. A vector without x-y
// length gives (0, 0, 1). A non-negative side of g relative to v makes the result point
// towards g.
DVec3 turnedPerpendicular(const DVec3& v, double side, double scale);

// `v` with x and y scaled to length `scale` and z set to `scale`; (0, 0, 1) when v has no x-y
// length.
DVec3 scaledDirection(const DVec3& v, double scale);

// Length of the x-y part of v.
double lengthXY(const DVec3& v);

// Runs `op` on every line whose mode is `mode`, in index order (the ...All forms of the
// connecting- and decorative-line operations); returns 0, as the script sees them.
int forEachLineOfMode(Document& doc, int mode, int (*op)(Document&, int));

}  // namespace tovala
