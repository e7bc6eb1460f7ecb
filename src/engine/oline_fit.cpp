#include "engine/oline_fit.h"

#include <cmath>
#include <vector>

#include "engine/oline.h"
#include "engine/oline_list.h"
#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "model/document.h"

namespace tovala {

namespace {

constexpr int32_t kRunFirst = kOLineRunKey, kRunLast = kOLineConnectKey - 1;
constexpr double kFarAway = 10000.0;  // nearer reference points than this are considered

using Runs = std::vector<std::vector<ParamEntry>>;

ParamEntry ref(int32_t k, int32_t v) { return ParamEntry::ofInt(k, 0, v); }
ParamEntry val(int32_t k, double v) { return ParamEntry::ofFloat(k, 0, float(v)); }

double dotXY(const DVec3& a, const DVec3& b) { return a.x * b.x + a.y * b.y; }
DVec3 crossOf(const DVec3& a, const DVec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot3(const DVec3& a, const DVec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Offset: each point takes its nearest reference point; the distance is signed by the side of
// the normal that placement uses, so a fitted point stays on its side of the reference line.
bool fitOffset(const Document& doc, const LineRecord& l, const OLineWork& w, Runs& runs) {
  const int refLine = axisRefLine(w.items[1].entry.asInt());
  const int32_t sign = w.items[2].entry.asInt();
  if (!doc.isValidLine(refLine) || doc.pointCount(refLine) < 2 || !isValidAxisRef(doc, sign))
    return false;
  const LineRecord& r = doc.lines[size_t(refLine)];
  const double scale = usableScale(doc.modelScale);
  for (int i = 0; i < l.pointCount() - 1; ++i) {
    const DVec3 p = positionOf(l.points[size_t(i)]);
    int nearest = -1;
    double best = kFarAway;
    for (int k = 0; k < r.pointCount() - 1; ++k) {
      const double dist = lengthXY(p - positionOf(r.points[size_t(k)]));
      if (dist < best) {
        best = dist;
        nearest = k;
      }
    }
    if (nearest < 0) continue;
    const int32_t reference = packAxisRef(refLine, nearest, 0);
    const auto n = offsetNormal(doc, reference, sign);
    if (!n) return false;
    const DVec3 v = p - positionOf(r.points[size_t(nearest)]);
    const double d = dotXY(v, *n) < 0 ? -best / scale : best / scale;
    runs[size_t(i)] = {ref(150, kOffsetMethod), ref(151, reference), ref(152, sign), val(153, d)};
  }
  return true;
}

// Polar: radius and angle of each point about the reference, as placement measures them.
bool fitPolar(const Document& doc, const LineRecord& l, const OLineWork& w, Runs& runs) {
  if (w.items.size() < 12) return false;
  const int32_t rRef = w.items[1].entry.asInt(), dRef = w.items[2].entry.asInt();
  const int32_t sRef = w.items[3].entry.asInt();
  if (!isValidAxisRef(doc, rRef) || !isValidAxisRef(doc, dRef) || !isValidAxisRef(doc, sRef))
    return false;
  const double scale = usableScale(doc.modelScale);
  const DVec3 r = axisPosition(doc, rRef);
  const auto u = polarDirection(r, axisPosition(doc, dRef), scale);
  if (!u) return false;
  const DVec3 along = *u / scale, across{along.y, -along.x, 0};
  const bool mirrored = r.z > axisPosition(doc, sRef).z;
  const double ri = w.items[7].entry.asFloat(), ti = w.items[11].entry.asFloat();
  for (int i = 0; i < l.pointCount() - 1; ++i) {
    const DVec3 v = positionOf(l.points[size_t(i)]) - r;
    const double radius = lengthXY(v) / scale;
    double angle = std::atan2(dotXY(v, across), dotXY(v, along));
    if (mirrored) angle = -angle;
    runs[size_t(i)] = {ref(150, kPolarMethod), ref(151, rRef),   ref(152, dRef),   ref(153, sRef),
                       val(155, radius),       val(155, radius), val(155, radius), val(155, ri),
                       val(156, angle),        val(156, angle),  val(156, angle),  val(156, ti)};
  }
  return true;
}

// 3-D: coordinates of each point in the reference joint's frame (Cramer's rule, so a frame
// that has been sheared or scaled still reproduces the point).
bool fitFrame(const Document& doc, const LineRecord& l, const OLineWork& w, Runs& runs) {
  const int32_t jRef = w.items[1].entry.asInt();
  const PointRecord* j = pointAt(doc, axisRefLine(jRef), axisRefPoint(jRef));
  if (!j) return false;
  const DVec3 at = positionOf(*j);
  const DVec3 ax = toDVec(j->unitX) - at, ay = toDVec(j->unitY) - at, az = toDVec(j->unitZ) - at;
  const double det = dot3(ax, crossOf(ay, az));
  if (std::abs(det) < 1e-12) return false;
  for (int i = 0; i < l.pointCount() - 1; ++i) {
    const DVec3 v = positionOf(l.points[size_t(i)]) - at;
    runs[size_t(i)] = {
        ref(150, kFrameMethod), ref(151, jRef), val(152, dot3(v, crossOf(ay, az)) / det),
        val(152, dot3(ax, crossOf(v, az)) / det), val(152, dot3(ax, crossOf(ay, v)) / det)};
  }
  return true;
}

}  // namespace

int fitOLine(Document& doc, int line, const OLineWork& work) {
  if (!doc.isValidLine(line) || work.items.size() < 3) return -1;
  const LineRecord& l = doc.lines[size_t(line)];
  Runs runs(size_t(l.pointCount() - 1));
  bool ok = false;
  switch (work.method) {
    case 0: ok = fitOffset(doc, l, work, runs); break;
    case 1: ok = fitPolar(doc, l, work, runs); break;
    case 2: ok = fitFrame(doc, l, work, runs); break;
    default: break;
  }
  if (!ok) return -1;
  int written = 0;
  LineRecord& target = doc.lines[size_t(line)];
  for (size_t i = 0; i < runs.size(); ++i) {
    if (runs[i].empty()) continue;
    replaceKindRange(target.points[i], kRunFirst, kRunLast, runs[i]);
    ++written;
  }
  return written;
}

}  // namespace tovala
