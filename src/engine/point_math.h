#pragma once
// Small point helpers shared by the editing and joint operations.

#include <cmath>
#include <cstdint>

#include "model/records.h"

namespace tovala {

// A coordinate truncated to a whole pixel. Values far off any canvas (and NaN) are pinned to
// +-1e9 so the conversion stays defined and such points are simply never hit.
inline int truncPixel(double v) {
  if (!(v > -1e9)) return -1000000000;
  if (v > 1e9) return 1000000000;
  return int(v);
}

// Where a point is shown and picked: the line's position and scale place it.
inline int screenX(const LineRecord& l, const PointRecord& p) {
  return truncPixel(double(l.vx) + double(l.w) * p.vx);
}
inline int screenY(const LineRecord& l, const PointRecord& p) {
  return truncPixel(double(l.vy) + double(l.h) * p.vy);
}

// Whether (px, py) lies within `radius` of (x, y) in x and in y, bounds included.
inline bool withinSquare(int px, int py, int x, int y, int radius) {
  const long long dx = (long long)px - x, dy = (long long)py - y;
  return dx >= -radius && dx <= radius && dy >= -radius && dy <= radius;
}

// Moves the tips of a point's local axes (its unit-vector points).
inline void shiftUnits(PointRecord& p, float dx, float dy, float dz) {
  for (auto* u : {&p.unitX, &p.unitY, &p.unitZ}) {
    (*u)[0] += dx;
    (*u)[1] += dy;
    (*u)[2] += dz;
  }
}

// Moves a point and the tips of its local axes together, so its frame stays attached to it.
inline void shiftPoint(PointRecord& p, float dx, float dy, float dz) {
  p.vx += dx;
  p.vy += dy;
  p.vz += dz;
  shiftUnits(p, dx, dy, dz);
}

// Puts a point at (x, y, z) exactly, its axis tips following by the same change.
inline void movePointTo(PointRecord& p, float x, float y, float z) {
  shiftUnits(p, x - p.vx, y - p.vy, z - p.vz);
  p.vx = x;
  p.vy = y;
  p.vz = z;
}

// The model scale as a divisor: a scale that is not a positive finite number (only a damaged
// file can hold one) counts as 1 rather than turning every position into infinities.
inline double usableScale(float s) { return std::isfinite(s) && s > 0 ? double(s) : 1.0; }

// A point reference: line * 65536 + point, and back.
inline int32_t packPointRef(int line, int point) {
  return int32_t(uint32_t(line) * 65536u + uint32_t(point));
}
inline int refLine(int32_t ref) { return ref >> 16; }
inline int refPoint(int32_t ref) { return ref & 0xFFFF; }

}  // namespace tovala
