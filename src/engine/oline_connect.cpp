#include "engine/oline_connect.h"

#include <algorithm>
#include <cmath>

#include "engine/oline.h"
#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "model/document.h"

namespace tovala {

namespace {

double cross(const DVec3& a, const DVec3& b) { return a.x * b.y - a.y * b.x; }

// Orientation of c relative to a→b: positive, negative or 0 (on the line).
int orient(const DVec3& a, const DVec3& b, const DVec3& c) {
  const double v = cross(b - a, c - a);
  return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

bool segmentsCross(const DVec3& a, const DVec3& b, const DVec3& c, const DVec3& d) {
  const int o1 = orient(a, b, c), o2 = orient(a, b, d);
  const int o3 = orient(c, d, a), o4 = orient(c, d, b);
  return o1 * o2 < 0 && o3 * o4 < 0;
}

// The valid part [first, last] of a polyline range, or false.
bool polylineRange(const Document& doc, int line, int& first, int& last) {
  if (!doc.isValidLine(line)) return false;
  const int lastReal = doc.pointCount(line) - 2;
  if (first < 0 || first > lastReal) return false;
  last = std::clamp(last, 0, lastReal);
  if (last < first) std::swap(first, last);
  return true;
}

// The two-point connection line: points at A + t·d + u·q between start A and end B, t and u
// blended by the view weights of R's joint, q turned towards R.
int placeTwoPoint(Document& doc, int line, int methodAt) {
  LineRecord& l = doc.lines[size_t(line)];
  const ParamList& params = l.params;
  if (methodAt + 3 > int(params.size()) - 2) return -1;
  const ParamEntry* e = &params[size_t(methodAt)];
  if (e[1].key != kOLineLineRefKey || e[2].key != kOLineCentreKey || e[3].key != kOLineThirdKey)
    return -1;
  const int32_t refR = e[1].asInt(), refA = e[2].asInt(), refB = e[3].asInt();
  if (!isValidAxisRef(doc, refR) || !isValidAxisRef(doc, refA) || !isValidAxisRef(doc, refB))
    return -1;
  const DVec3 r = axisPosition(doc, refR), a = axisPosition(doc, refA), b = axisPosition(doc, refB);
  const DVec3 d = b - a;
  const DVec3 q = turnedPerpendicular(d, sideOf(r, a, b), usableScale(doc.modelScale));
  const ViewWeights w = frameWeights(*pointAt(doc, axisRefLine(refR), axisRefPoint(refR)));

  for (int i = 0; i < l.pointCount() - 1; ++i) {
    PointRecord& p = l.points[size_t(i)];
    const int at = findParam(p.params, kOLineRunKey);
    if (at < 0 || at + 8 > p.paramCount() - 2 || p.params[size_t(at) + 1].key != 151) continue;
    const ParamEntry* run = &p.params[size_t(at)];
    setPosition(p, a + d * blendView(w, run + 1) + q * blendView(w, run + 5));
  }
  return 1;
}

// One connection group: its target and the conditions that follow it.
struct Group {
  const ParamEntry* start = nullptr;
  const ParamEntry* conditions = nullptr;
  int conditionCount = 0;
};

// Whether the group snaps a point at `p` to its target `t`: the last crossing test decides,
// and every further condition must hold.
bool groupSnaps(const Document& doc, const Group& g, const DVec3& p, const DVec3& t) {
  const double scale = usableScale(doc.modelScale);
  const ParamEntry* dirRef = nullptr;
  for (int i = 0; i < g.conditionCount; ++i)
    if (g.conditions[i].sub == kDirectionRef && isValidAxisRef(doc, g.conditions[i].asInt()))
      dirRef = &g.conditions[i];
  const DVec3 dir = dirRef ? axisPosition(doc, dirRef->asInt()) : DVec3{};
  const double distance = lengthXY(p - t);

  bool crossingAllows = true;  // a group without crossing tests snaps
  for (int i = 0; i < g.conditionCount; ++i) {
    const ParamEntry& c = g.conditions[i];
    const int32_t v = c.asInt();
    switch (c.sub) {
      case kMustNotCross:
      case kMustCross: {
        const bool crosses = crossesPolyline(doc, p, t, v >> 16, (v >> 8) & 0xFF, v & 0xFF);
        crossingAllows = crosses == (c.sub == kMustCross);
        break;
      }
      case kSameSidePoint:
      case kOppositeSidePoint: {
        if (!dirRef || !isValidAxisRef(doc, v)) break;
        const bool pSide = sideOf(p, dir, t) >= 0;
        const bool gSide = sideOf(axisPosition(doc, v), dir, t) >= 0;
        if ((pSide == gSide) != (c.sub == kSameSidePoint)) return false;
        break;
      }
      case kMinDistance:
        if (distance < double(c.asFloat()) * scale) return false;
        break;
      case kMaxDistance:
        if (distance > double(c.asFloat()) * scale) return false;
        break;
      case kMinSine:
      case kMaxSine: {
        if (!dirRef) break;
        const DVec3 along = t - dir, out = p - t;
        const double den = lengthXY(along) * lengthXY(out);
        const double sine = den == 0 ? 0.0 : cross(along, out) / den;
        if (c.sub == kMinSine ? sine < c.asFloat() : sine > c.asFloat()) return false;
        break;
      }
      default: break;  // direction reference and unknown entries
    }
  }
  return crossingAllows;
}

// Runs the groups of one point; true when it snapped.
bool connectPoint(Document& doc, int line, int point) {
  PointRecord& pr = doc.lines[size_t(line)].points[size_t(point)];
  const ParamList& list = pr.params;
  const int at = findParam(list, kOLineConnectKey);
  if (at < 0) return false;
  size_t i = size_t(at) + 1;
  while (i < list.size() && list[i].key < kOLineGroupKey) ++i;  // stray kinds in between

  while (i < list.size() && list[i].key == kOLineGroupKey) {
    Group g;
    g.start = &list[i];
    size_t j = i + 1;
    while (j < list.size() && list[j].key == kOLineGroupKey && list[j].sub != kConnectToPoint &&
           list[j].sub != kConnectToLine)
      ++j;
    g.conditions = g.start + 1;
    g.conditionCount = int(j - i - 1);
    i = j;
    if (g.start->sub != kConnectToPoint && g.start->sub != kConnectToLine) continue;

    const DVec3 p = positionOf(pr);
    const int32_t ref = g.start->asInt();
    DVec3 target;
    if (g.start->sub == kConnectToPoint) {
      if (!isValidAxisRef(doc, ref)) continue;
      target = axisPosition(doc, ref);
    } else if (!nearestOnPolyline(doc, p, ref >> 16, (ref >> 8) & 0xFF, ref & 0xFF, target)) {
      continue;
    }
    if (groupSnaps(doc, g, p, target)) {
      setPosition(pr, target);
      return true;
    }
  }
  return false;
}

}  // namespace

bool crossesPolyline(const Document& doc, const DVec3& a, const DVec3& b, int polyline, int first,
                     int last) {
  if (!polylineRange(doc, polyline, first, last)) return false;
  const LineRecord& l = doc.lines[size_t(polyline)];
  for (int i = first; i < last; ++i)
    if (segmentsCross(a, b, positionOf(l.points[size_t(i)]), positionOf(l.points[size_t(i) + 1])))
      return true;
  return false;
}

bool nearestOnPolyline(const Document& doc, const DVec3& p, int polyline, int first, int last,
                       DVec3& out) {
  if (!polylineRange(doc, polyline, first, last)) return false;
  const LineRecord& l = doc.lines[size_t(polyline)];
  out = positionOf(l.points[size_t(first)]);
  double best = lengthXY(p - out);
  for (int i = first; i < last; ++i) {
    const DVec3 a = positionOf(l.points[size_t(i)]), seg = positionOf(l.points[size_t(i) + 1]) - a;
    const double len2 = seg.x * seg.x + seg.y * seg.y;
    double t = len2 == 0 ? 0 : ((p.x - a.x) * seg.x + (p.y - a.y) * seg.y) / len2;
    t = std::clamp(t, 0.0, 1.0);
    const DVec3 c = a + seg * t;
    if (const double dist = lengthXY(p - c); dist < best) {
      best = dist;
      out = c;
    }
  }
  return true;
}

int ConnectOLine(Document& doc, int line) {
  if (!doc.isValidLine(line)) return -1;
  const LineRecord& l = doc.lines[size_t(line)];
  if (l.mode != kOLineMode) return -1;
  const int at = findParam(l.params, kOLineMethodKey);
  if (at < 0) return -1;
  if (methodCode(l.params[size_t(at)]) == kOLineTwoPoint) return placeTwoPoint(doc, line, at);
  for (int p = 0; p < l.pointCount() - 1; ++p) connectPoint(doc, line, p);
  return 1;
}

int ConnectOLineAll(Document& doc) { return forEachLineOfMode(doc, kOLineMode, ConnectOLine); }

}  // namespace tovala
