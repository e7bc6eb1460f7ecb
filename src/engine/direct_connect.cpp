#include "engine/direct_connect.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "engine/cast.h"
#include "engine/rotation.h"
#include "model/document.h"

namespace tovala {

namespace {

constexpr double kMaxInnerReach = 2.5;  // inner joins reach at most this many widths from J
constexpr int kSamplesPerSpan = 16;

bool allValid(const Document& doc, std::span<const PointRef> refs, size_t count) {
  if (refs.size() < count) return false;
  for (size_t i = 0; i < count; ++i)
    if (doc.isValidPick(refs[i].line, refs[i].point) < 0) return false;
  return true;
}

DVec3 at(const Document& doc, const PointRef& r) {
  return positionOf(doc.lines[size_t(r.line)].points[size_t(r.point)]);
}

double lengthXY(const DVec3& v) { return std::hypot(v.x, v.y); }

// Moves point `index` of `line` by `delta`, and its neighbours by a share falling off as
// (1 - k / reach)^2 with their distance k in points.
void pullWithFalloff(LineRecord& line, int index, const DVec3& delta, int reach) {
  const int last = line.pointCount() - 2;
  for (int i = std::max(0, index - reach + 1); i <= std::min(last, index + reach - 1); ++i) {
    const double k = std::abs(i - index);
    const double w = (1.0 - k / reach) * (1.0 - k / reach);
    PointRecord& p = line.points[size_t(i)];
    setPosition(p, positionOf(p) + delta * w);
  }
}

// Places the points `first` .. last of `line` evenly by length along the polyline `path`.
void spreadAlong(LineRecord& line, int first, const std::vector<DVec3>& path) {
  const int last = line.pointCount() - 2;
  const int n = last - first + 1;
  if (n <= 0 || path.empty()) return;
  std::vector<double> acc(path.size(), 0.0);
  for (size_t i = 1; i < path.size(); ++i) {
    const DVec3 d = path[i] - path[i - 1];
    acc[i] = acc[i - 1] + std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  }
  const double total = acc.back();
  size_t seg = 1;
  for (int j = 0; j < n; ++j) {
    DVec3 p = path.front();
    if (path.size() > 1 && total > 0) {
      const double want = n == 1 ? 0.0 : total * j / (n - 1);
      while (seg + 1 < path.size() && acc[seg] < want) ++seg;
      const double span = acc[seg] - acc[seg - 1];
      const double f = span > 0 ? std::clamp((want - acc[seg - 1]) / span, 0.0, 1.0) : 0.0;
      p = path[seg - 1] + (path[seg] - path[seg - 1]) * f;
    }
    setPosition(line.points[size_t(first + j)], p);
  }
}

// The anchors with repeats left out.
std::vector<DVec3> distinctAnchors(const Document& doc, std::span<const PointRef> refs) {
  std::vector<DVec3> out;
  for (const PointRef& r : refs) {
    const DVec3 p = at(doc, r);
    if (!out.empty()) {
      const DVec3 d = p - out.back();
      if (d.x == 0 && d.y == 0 && d.z == 0) continue;
    }
    out.push_back(p);
  }
  return out;
}

// A Catmull-Rom curve through `knots`, sampled densely; the ends repeat their knot.
std::vector<DVec3> catmullRom(const std::vector<DVec3>& knots) {
  if (knots.size() < 3) return knots;
  std::vector<DVec3> out;
  out.reserve((knots.size() - 1) * kSamplesPerSpan + 1);
  const size_t n = knots.size();
  for (size_t i = 0; i + 1 < n; ++i) {
    const DVec3& p0 = knots[i == 0 ? 0 : i - 1];
    const DVec3& p1 = knots[i];
    const DVec3& p2 = knots[i + 1];
    const DVec3& p3 = knots[std::min(i + 2, n - 1)];
    for (int s = 0; s < kSamplesPerSpan; ++s) {
      const double t = double(s) / kSamplesPerSpan, t2 = t * t, t3 = t2 * t;
      out.push_back((p1 * 2.0 + (p2 - p0) * t + (p0 * 2.0 - p1 * 5.0 + p2 * 4.0 - p3) * t2 +
                     (p1 * 3.0 - p0 - p2 * 3.0 + p3) * t3) *
                    0.5);
    }
  }
  out.push_back(knots.back());
  return out;
}

int rebuildThrough(Document& doc, std::span<const PointRef> refs, bool smooth) {
  if (!allValid(doc, refs, 10)) return -1;
  const std::vector<DVec3> knots = distinctAnchors(doc, refs.subspan(1, 9));
  spreadAlong(doc.lines[size_t(refs[0].line)], refs[0].point, smooth ? catmullRom(knots) : knots);
  return 1;
}

}  // namespace

int connectDirect4(Document& doc, std::span<const PointRef> refs, int mode) {
  if (!allValid(doc, refs, 4)) return -1;
  const DVec3 p = at(doc, refs[0]);
  const DVec3 joint = at(doc, refs[1]);
  DVec3 toBefore = at(doc, refs[2]) - joint;
  DVec3 toAfter = at(doc, refs[3]) - joint;
  toBefore.z = toAfter.z = 0;
  const double lb = lengthXY(toBefore), la = lengthXY(toAfter);
  DVec3 rel = p - joint;
  rel.z = 0;
  const double r = lengthXY(rel);
  if (lb == 0 || la == 0 || r == 0) return 1;  // no bone or no width: nothing to join
  toBefore = toBefore / lb;
  toAfter = toAfter / la;
  DVec3 inner = toBefore + toAfter;  // into the bend
  const double li = lengthXY(inner);
  if (li < 1e-6) return 1;  // a straight limb: the pieces already meet
  inner = inner / li;
  // sin of half the angle between the two bones at the joint.
  const double halfSin = std::sqrt(std::max(0.0, 1.0 - (li * 0.5) * (li * 0.5)));
  const bool innerSide = rel.x * inner.x + rel.y * inner.y > 0;
  DVec3 target;
  if (innerSide) {
    const double reach = halfSin > 1.0 / kMaxInnerReach ? r / halfSin : r * kMaxInnerReach;
    target = joint + inner * reach;
  } else {
    target = joint - inner * r;
  }
  target.z = p.z;
  LineRecord& line = doc.lines[size_t(refs[0].line)];
  const int real = line.pointCount() - 1;
  const int reach = (mode & 15) ? (mode & 15) : std::max(2, (real + 1) / 2);
  pullWithFalloff(line, refs[0].point, target - p, reach);
  return 1;
}

int connectDirect8(Document& doc, std::span<const PointRef> refs, int) {
  return rebuildThrough(doc, refs, true);
}

int connectDirect8L(Document& doc, std::span<const PointRef> refs, int) {
  return rebuildThrough(doc, refs, false);
}

int connectDirectF(Document& doc, std::span<const PointRef> refs, int mode) {
  if (!allValid(doc, refs, 4)) return -1;
  const DVec3 from = at(doc, refs[1]), corner = at(doc, refs[2]), to = at(doc, refs[3]);
  LineRecord& line = doc.lines[size_t(refs[0].line)];
  if ((mode & 3) == 3) {
    spreadAlong(line, refs[0].point, {from, corner, to});
    return 1;
  }
  // The control point on the way from the chord's middle through the corner.
  static constexpr double kPull[] = {1.0, 2.0, 0.5};
  const DVec3 mid = (from + to) * 0.5;
  const DVec3 control = mid + (corner - mid) * kPull[mode & 3];
  std::vector<DVec3> path;
  constexpr int kSteps = 32;
  for (int s = 0; s <= kSteps; ++s) {
    const double t = double(s) / kSteps, u = 1.0 - t;
    path.push_back(from * (u * u) + control * (2 * u * t) + to * (t * t));
  }
  spreadAlong(line, refs[0].point, path);
  return 1;
}

bool resolveLineNumbers(const Document& doc, std::span<PointRef> refs) {
  for (PointRef& r : refs) {
    const int at = findLineInPass(doc, r.line);
    if (at < 0) return false;
    r.line = at;
  }
  return true;
}

}  // namespace tovala
