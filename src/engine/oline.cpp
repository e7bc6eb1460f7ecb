#include "engine/oline.h"

#include <cmath>

#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "model/document.h"

namespace tovala {

namespace {

// Entries after index `at` of a list, the sentinel not counted.
int entriesAfter(const ParamList& list, int at) { return int(list.size()) - 2 - at; }

// Method 100: offset from the reference along the reference line's normal.
bool placeOffset(const Document& doc, const ParamEntry* run, DVec3& out) {
  const int32_t reference = run[1].asInt();
  const auto n = offsetNormal(doc, reference, run[2].asInt());
  if (!n) return false;
  out = axisPosition(doc, reference) + *n * double(run[3].asFloat());
  return true;
}

// Method 200: radius and angle about the reference, measured from the direction point; the
// angle turns the other way once the reference lies in front of the sign point.
bool placePolar(const Document& doc, const ParamEntry* run, DVec3& out) {
  const int32_t ref = run[1].asInt(), dir = run[2].asInt(), sign = run[3].asInt();
  if (!isValidAxisRef(doc, ref) || !isValidAxisRef(doc, dir) || !isValidAxisRef(doc, sign))
    return false;
  const DVec3 r = axisPosition(doc, ref), d = axisPosition(doc, dir), s = axisPosition(doc, sign);
  const auto u = polarDirection(r, d, usableScale(doc.modelScale));
  if (!u) return false;
  const ViewWeights w = frameWeights(*pointAt(doc, axisRefLine(ref), axisRefPoint(ref)));
  const double radius = blendView(w, run + 4);
  double angle = blendView(w, run + 8);
  if (r.z > s.z) angle = -angle;
  out = r + turnXY(*u, angle) * radius;
  return true;
}

// Method 300: coordinates in the reference joint's local frame (axes of the model scale's
// length). The reference's axis byte plays no part: the frame is the point's.
bool placeInFrame(const Document& doc, const ParamEntry* run, DVec3& out) {
  const int32_t ref = run[1].asInt();
  const PointRecord* j = pointAt(doc, axisRefLine(ref), axisRefPoint(ref));
  if (!j) return false;
  const DVec3 at = positionOf(*j);
  out = at + (toDVec(j->unitX) - at) * double(run[2].asFloat()) +
        (toDVec(j->unitY) - at) * double(run[3].asFloat()) +
        (toDVec(j->unitZ) - at) * double(run[4].asFloat());
  return true;
}

// Method 400: one step on from the previous point of the line (point 1 for point 0): t along
// A→B and u·|AB| across it, towards C's side. The across direction is a unit vector in x and
// y: |AB| already carries the model scale, so a second factor of it would distort the step
// whenever the model is shown enlarged.
bool placeStep(const Document& doc, const LineRecord& line, int point, const ParamEntry* run,
               DVec3& out) {
  const int32_t a = run[1].asInt(), b = run[2].asInt(), c = run[3].asInt();
  if (!isValidAxisRef(doc, a) || !isValidAxisRef(doc, b) || !isValidAxisRef(doc, c)) return false;
  const int prev = point == 0 ? 1 : point - 1;
  if (prev >= line.pointCount() - 1) return false;
  const DVec3 pa = axisPosition(doc, a), pb = axisPosition(doc, b), d = pb - pa;
  DVec3 n = turnedPerpendicular(d, sideOf(axisPosition(doc, c), pa, pb), 1.0);
  n.z = 0;
  out = positionOf(line.points[size_t(prev)]) + d * double(run[4].asFloat()) +
        n * (double(run[5].asFloat()) * lengthXY(d));
  return true;
}

}  // namespace

int32_t methodCode(const ParamEntry& e) {
  const int32_t i = e.asInt();
  if (i >= -100000 && i <= 100000) return i;
  const float f = e.asFloat();
  if (std::isfinite(f) && std::abs(f) <= 100000.0f && f == std::trunc(f)) return int32_t(f);
  return i;
}

std::optional<DVec3> offsetNormal(const Document& doc, int32_t reference, int32_t sign) {
  if (!isValidAxisRef(doc, reference) || !isValidAxisRef(doc, sign)) return std::nullopt;
  const double sm = usableScale(doc.modelScale);
  const DVec3 r = axisPosition(doc, reference), g = axisPosition(doc, sign);
  const LineRecord& l = doc.lines[size_t(axisRefLine(reference))];
  const int k = axisRefPoint(reference), m = l.pointCount() - 2;
  auto q = [&](int i) { return positionOf(l.points[size_t(i)]); };
  const double side = sideOf(g, q(0), q(m));

  DVec3 normal;
  if (m == 0) {
    normal = r - g;
  } else if (k == 0) {
    normal = turnedPerpendicular(q(1) - r, side, sm);
  } else if (k == m) {
    normal = turnedPerpendicular(r - q(k - 1), side, sm);
  } else {
    normal =
        turnedPerpendicular(r - q(k - 1), side, sm) + turnedPerpendicular(q(k + 1) - r, side, sm);
  }
  return scaledDirection(normal, sm);
}

std::optional<DVec3> polarDirection(const DVec3& reference, const DVec3& direction, double scale) {
  const DVec3 v = direction - reference;
  const double len = lengthXY(v);
  if (len == 0) return std::nullopt;
  return DVec3{v.x * scale / len, v.y * scale / len, 0};
}

DVec3 turnXY(const DVec3& u, double a) {
  const double co = std::cos(a), si = std::sin(a);
  return {co * u.x + si * u.y, co * u.y - si * u.x, 0};
}

bool placeOLinePoint(Document& doc, int line, int point) {
  if (doc.isValidPick(line, point) != 1) return false;
  const LineRecord& l = doc.lines[size_t(line)];
  const ParamList& list = l.points[size_t(point)].params;
  const int at = findParam(list, kOLineRunKey);
  if (at < 0) return false;
  const ParamEntry* run = &list[size_t(at)];
  const int have = entriesAfter(list, at);

  DVec3 placed;
  bool ok = false;
  switch (methodCode(*run)) {
    case kOffsetMethod: ok = have >= 3 && placeOffset(doc, run, placed); break;
    case kPolarMethod: ok = have >= 11 && placePolar(doc, run, placed); break;
    case kFrameMethod: ok = have >= 4 && placeInFrame(doc, run, placed); break;
    case kStepMethod: ok = have >= 5 && placeStep(doc, l, point, run, placed); break;
    default: break;
  }
  if (ok) setPosition(doc.lines[size_t(line)].points[size_t(point)], placed);
  return ok;
}

int MakeOLine(Document& doc, int line) {
  if (!doc.isValidLine(line)) return -1;
  const LineRecord& l = doc.lines[size_t(line)];
  if (l.mode != kOLineMode) return -1;
  const int at = findParam(l.params, kOLineMethodKey);
  if (at < 0) return -1;
  switch (methodCode(l.params[size_t(at)])) {
    case kOLinePointByPoint:
      for (int p = 0; p < l.pointCount() - 1; ++p) placeOLinePoint(doc, line, p);
      return 1;
    case kOLineWholeLine: return placeWholeLine(doc, line);
    default: return 1;  // placed elsewhere (the two-point line) or not at all
  }
}

int MakeOLineAll(Document& doc) { return forEachLineOfMode(doc, kOLineMode, MakeOLine); }

}  // namespace tovala
