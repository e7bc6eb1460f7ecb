#include "engine/guide_geometry.h"

#include <cmath>

#include "engine/cast.h"
#include "model/document.h"

namespace tovala {

const PointRecord* pointAt(const Document& doc, int line, int point) {
  if (doc.isValidPick(line, point) != 1) return nullptr;
  return &doc.lines[size_t(line)].points[size_t(point)];
}

DVec3 axisPosition(const Document& doc, int line, int point, int axis) {
  const PointRecord* p = pointAt(doc, line, point);
  if (!p) return {};
  const DVec3 at = positionOf(*p);
  switch (axis) {
    case 0: return at;
    case 1: return toDVec(p->unitX);
    case 2: return toDVec(p->unitY);
    case 3: return toDVec(p->unitZ);
    case 4: return at * 2.0 - toDVec(p->unitX);
    case 5: return at * 2.0 - toDVec(p->unitY);
    case 6: return at * 2.0 - toDVec(p->unitZ);
    default: return {};
  }
}

bool isValidAxisRef(const Document& doc, int32_t ref) {
  return pointAt(doc, axisRefLine(ref), axisRefPoint(ref)) != nullptr;
}

// Canvas coordinates are far from overflow, so the plain root serves (hypot is several times
// slower, and this runs for every outline point on each motion step).
double lengthXY(const DVec3& v) { return std::sqrt(v.x * v.x + v.y * v.y); }

double triangleAreaXY(const DVec3& a, const DVec3& b, const DVec3& d) {
  const double ab = lengthXY(a - b);
  const double bd = lengthXY(b - d);
  const double da = lengthXY(d - a);
  const double s = (ab + bd + da) / 2.0;
  const double q = s * (s - ab) * (s - bd) * (s - da);
  return q > 0 ? std::sqrt(q) : 0.0;
}

ViewWeights frameWeights(const PointRecord& joint) {
  const DVec3 j = positionOf(joint);
  const DVec3 ux = toDVec(joint.unitX), uy = toDVec(joint.unitY), uz = toDVec(joint.unitZ);
  return {triangleAreaXY(ux, uy, j), triangleAreaXY(ux, uz, j), triangleAreaXY(uy, uz, j)};
}

namespace {

// w^e for a weight w >= 0. The exponents stored by the panels are nearly always 1 or 0.5, and
// this runs for every value of every outline point on each motion step, so those skip pow.
double weightPower(double w, double e) {
  if (e == 1.0) return w;
  if (e == 0.5) return std::sqrt(w);
  return std::pow(w, e);
}

}  // namespace

double blendView(const ViewWeights& w, double front, double top, double side, double exponent) {
  const double f = weightPower(w.front, exponent);
  const double t = weightPower(w.top, exponent);
  const double s = weightPower(w.side, exponent);
  double den = f + t + s;
  if (den == 0) den = 1;
  return (f * front + t * top + s * side) / den;
}

double blendView(const ViewWeights& w, const ParamEntry* group) {
  return blendView(w, group[0].asFloat(), group[1].asFloat(), group[2].asFloat(),
                   group[3].asFloat());
}

double sideOf(const DVec3& g, const DVec3& from, const DVec3& to) {
  return (g.x - from.x) * (to.y - from.y) - (to.x - from.x) * (g.y - from.y);
}

DVec3 turnedPerpendicular(const DVec3& v, double side, double scale) {
  const double len = lengthXY(v);
  if (len == 0) return {0, 0, 1};
  const double k = scale / len;
  if (side >= 0) return {v.y * k, -v.x * k, scale};
  return {-v.y * k, v.x * k, scale};
}

DVec3 scaledDirection(const DVec3& v, double scale) {
  const double len = lengthXY(v);
  if (len == 0) return {0, 0, 1};
  return {v.x * scale / len, v.y * scale / len, scale};
}

int forEachLineOfMode(Document& doc, int mode, int (*op)(Document&, int)) {
  const LineSpan lines = passLines(doc);
  for (int l = lines.first; l < lines.end; ++l)
    if (doc.lines[size_t(l)].mode == mode) op(doc, l);
  return 0;
}

}  // namespace tovala
