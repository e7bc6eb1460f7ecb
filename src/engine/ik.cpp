#include "engine/ik.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/joints.h"
#include "engine/motion_run.h"
#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "engine/rotation.h"
#include "model/document.h"

namespace tovala {

namespace {

constexpr int kMaxCandidates = 64;  // joints turning one point; a figure has far fewer
constexpr int kMaxSweeps = 64;
constexpr double kClose = 1e-3;     // canvas units: near enough to stop
constexpr double kMinLever = 1e-6;  // a joint this near the point cannot swing it
constexpr double kTwoPi = 2.0 * std::numbers::pi;

using Angles = std::array<double, 3>;
using JointRef = std::array<int, 2>;

const PointRecord& pointAt(const Document& doc, JointRef j) {
  return doc.lines[size_t(j[0])].points[size_t(j[1])];
}

// Whether the joint's co-rotating run names `ref`.
bool turnsPoint(const PointRecord& joint, int32_t ref) {
  const int first = findParam(joint.params, kCoRotationKey);
  if (first < 0) return false;
  for (size_t i = size_t(first); i < joint.params.size() && joint.params[i].key == kCoRotationKey;
       ++i)
    if (joint.params[i].asInt() == ref) return true;
  return false;
}

double planarDistance(const DVec3& p, double tx, double ty) { return std::hypot(p.x - tx, p.y - ty); }

// One joint of the chain as the figure stands now: where it is, the frame its angles turn
// about, its angles and their limits.
struct Link {
  DVec3 at;
  Rotation frame;
  Angles angles{};
  std::array<double, 6> limits{};
};

// The frame a joint's angles turn about. Its axis tips have been turned by everything above it,
// then, when the joint lists itself, by its own angles about the world axes, and last by the
// whole-model rotation; the frame is the tips with the joint's own turn taken back out.
Rotation frameOf(const Document& doc, const PointRecord& j, bool turnsItself) {
  const double s = usableScale(doc.modelScale);
  const DVec3 c = positionOf(j);
  const Rotation tips = Rotation::fromColumns((toDVec(j.unitX) - c) / s, (toDVec(j.unitY) - c) / s,
                                              (toDVec(j.unitZ) - c) / s);
  if (!turnsItself) return tips;
  const Rotation whole = Rotation::euler(doc.RadX, doc.RadY, doc.RadZ);
  const Rotation self = Rotation::euler(j.radx, j.rady, j.radz);
  return tips.then(whole.transposed()).then(self.transposed()).then(whole);
}

double nearestTurn(double v, double near) { return v + kTwoPi * std::round((near - v) / kTwoPi); }

// The two sets of angles (x, y, z) whose Rotation::euler is `r`, each taken by whole turns as
// near `near` as it goes, the nearer set first, so a joint's values change smoothly.
std::array<Angles, 2> eulerAngles(const Rotation& r, const Angles& near) {
  const double b1 = std::asin(std::clamp(r.at(2, 0), -1.0, 1.0));
  std::array<Angles, 2> sets;
  int i = 0;
  for (double b : {b1, std::numbers::pi - b1}) {
    const double cb = std::cos(b);
    // At cos b = 0 only x + z or x - z is fixed: keep x and let z take the rest.
    const double a = std::fabs(cb) < 1e-9 ? near[0] : std::atan2(-r.at(2, 1) / cb, r.at(2, 2) / cb);
    const Rotation rest = Rotation::aboutY(-b).then(Rotation::aboutX(-a)).then(r);
    const double c = std::atan2(rest.at(0, 1), rest.at(0, 0));
    sets[size_t(i++)] = {nearestTurn(a, near[0]), nearestTurn(b, near[1]), nearestTurn(c, near[2])};
  }
  auto cost = [&](const Angles& a) {
    return std::fabs(a[0] - near[0]) + std::fabs(a[1] - near[1]) + std::fabs(a[2] - near[2]);
  };
  if (cost(sets[1]) < cost(sets[0])) std::swap(sets[0], sets[1]);
  return sets;
}

// Axis i's limits as TPRot applies them: minimum first, then maximum, so a minimum above its
// maximum loses (a damaged list can hold one).
double clampToLimits(double v, const std::array<double, 6>& limits, size_t i) {
  return std::min(std::max(v, limits[2 * i]), limits[2 * i + 1]);
}

bool withinLimits(const Angles& a, const std::array<double, 6>& limits) {
  for (size_t i = 0; i < 3; ++i)
    if (a[i] < limits[2 * i] || a[i] > limits[2 * i + 1]) return false;
  return true;
}

// The joint's angles for the turn `wanted`: the nearer set that lies within the limits, which
// makes the turn exactly; when neither does, the nearer set clamped, which turns as far as the
// limits go. (The farther set clamped would be a different turn, out of the picture plane.)
Angles anglesFor(const Rotation& wanted, const Link& link) {
  const std::array<Angles, 2> sets = eulerAngles(wanted, link.angles);
  for (const Angles& a : sets)
    if (withinLimits(a, link.limits)) return a;
  Angles a = sets[0];
  for (size_t i = 0; i < 3; ++i) a[i] = clampToLimits(a[i], link.limits, i);
  return a;
}

// Turns link k about the view axis so that `end` comes nearer the target, as far as its limits
// let it, carrying the links below it (0 .. k-1) and `end`. When the whole turn, cut short by the
// limits, brings the point no nearer, half and a quarter of it are tried. Refused when none
// helps.
bool turnToward(Link* links, int k, DVec3& end, double tx, double ty) {
  Link& link = links[k];
  const double vx = end.x - link.at.x, vy = end.y - link.at.y;
  const double wx = tx - link.at.x, wy = ty - link.at.y;
  if (std::hypot(vx, vy) < kMinLever || std::hypot(wx, wy) < kMinLever) return false;
  // The rotations here turn by minus the usual angle: aboutZ(-phi) turns v onto w.
  const double phi = std::atan2(vx * wy - vy * wx, vx * wx + vy * wy);
  const Rotation old = Rotation::euler(link.angles[0], link.angles[1], link.angles[2]);
  const Rotation toFrame = link.frame.transposed().then(old.transposed());
  const double before = planarDistance(end, tx, ty);
  for (double part : {1.0, 0.5, 0.25}) {
    const Rotation wanted =
        old.then(link.frame).then(Rotation::aboutZ(-phi * part)).then(link.frame.transposed());
    const Angles a = anglesFor(wanted, link);
    // The turn those angles make, in the picture's axes.
    const Rotation delta = toFrame.then(Rotation::euler(a[0], a[1], a[2])).then(link.frame);
    const DVec3 moved = link.at + delta.apply(end - link.at);
    if (planarDistance(moved, tx, ty) >= before) continue;
    link.angles = a;
    end = moved;
    for (int j = 0; j < k; ++j) {
      links[j].at = link.at + delta.apply(links[j].at - link.at);
      links[j].frame = links[j].frame.then(delta);
    }
    return true;
  }
  return false;
}

PointMotion motionOf(const PointRecord& p) { return {p.vdx, p.vdy, p.vdz, p.radx, p.rady, p.radz}; }

bool sameRotation(const PointMotion& a, const PointMotion& b) {
  return a.radx == b.radx && a.rady == b.rady && a.radz == b.radz;
}

// The chain as it stands, nearest joint first; false when a joint is no longer posable.
bool readChain(const Document& doc, const IkChain& chain, Link* links) {
  for (int k = 0; k < chain.count; ++k) {
    const JointRef j = chain.joints[size_t(k)];
    if (doc.isValidPick(j[0], j[1]) < 0) return false;
    const PointRecord& p = pointAt(doc, j);
    Link& link = links[k];
    if (!rotationLimits(p, link.limits)) return false;
    link.at = positionOf(p);
    link.angles = {p.radx, p.rady, p.radz};
    for (size_t i = 0; i < 3; ++i)
      link.angles[i] = clampToLimits(link.angles[i], link.limits, i);
    link.frame = frameOf(doc, p, turnsPoint(p, packPointRef(j[0], j[1])));
  }
  return true;
}

}  // namespace

IkChain findIkChain(const Document& doc, int line, int point, int maxLength) {
  IkChain chain;
  chain.line = line;
  chain.point = point;
  if (doc.isValidPick(line, point) < 0) return chain;
  const int32_t ref = packPointRef(line, point);
  const DVec3 at = positionOf(doc.lines[size_t(line)].points[size_t(point)]);

  std::array<JointRef, kMaxCandidates> found;
  int n = 0;
  std::array<double, 6> limits;
  for (int l = 0; l < doc.lineCount() - 1 && n < kMaxCandidates; ++l) {
    const LineRecord& lr = doc.lines[size_t(l)];
    if (lr.kind != kJointLineKind) continue;
    for (int p = 0; p < lr.pointCount() - 1 && n < kMaxCandidates; ++p) {
      const PointRecord& j = lr.points[size_t(p)];
      if ((l == line && p == point) || !turnsPoint(j, ref) || !rotationLimits(j, limits)) continue;
      const DVec3 d = positionOf(j) - at;
      if (std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z) < kMinLever) continue;
      found[size_t(n++)] = {l, p};
    }
  }

  // A joint lies below every other joint that turns it: count those, most first.
  std::array<int, kMaxCandidates> above{};
  for (int i = 0; i < n; ++i)
    for (int k = 0; k < n; ++k)
      if (k != i && turnsPoint(pointAt(doc, found[size_t(k)]),
                               packPointRef(found[size_t(i)][0], found[size_t(i)][1])))
        ++above[size_t(i)];
  std::array<int, kMaxCandidates> order;
  for (int i = 0; i < n; ++i) order[size_t(i)] = i;
  std::stable_sort(order.begin(), order.begin() + n,
                   [&](int a, int b) { return above[size_t(a)] > above[size_t(b)]; });

  chain.count = std::min({n, std::clamp(maxLength, 1, kMaxIkChain)});
  for (int k = 0; k < chain.count; ++k) chain.joints[size_t(k)] = found[size_t(order[size_t(k)])];
  return chain;
}

IkChain ikPress(Document& doc, int x, int y, int maxLength) {
  EditState& e = doc.edit;
  e.pressX = x;
  e.pressY = y;
  e.pressWhole = {doc.VextX, doc.VextY, doc.VextZ, doc.RadX, doc.RadY, doc.RadZ};
  int hitLine = -1, hitPoint = -1;
  for (int l = 0; l < doc.lineCount() - 1; ++l) {
    const LineRecord& line = doc.lines[size_t(l)];
    if (line.kind != kJointLineKind) continue;
    for (int i = 0; i < line.pointCount() - 1; ++i) {
      const PointRecord& p = line.points[size_t(i)];
      if (withinSquare(screenX(line, p), screenY(line, p), x, y, doc.markSize)) {
        hitLine = l;
        hitPoint = i;
      }
    }
  }
  if (hitLine < 0) return IkChain{};
  doc.curLine = hitLine;
  doc.curPoint = hitPoint;
  return findIkChain(doc, hitLine, hitPoint, maxLength);
}

double solveIk(Document& doc, const IkChain& chain, double tx, double ty) {
  if (doc.isValidPick(chain.line, chain.point) < 0) return -1;
  DVec3 end = positionOf(doc.lines[size_t(chain.line)].points[size_t(chain.point)]);
  std::array<Link, kMaxIkChain> links;
  const int n = std::clamp(chain.count, 0, kMaxIkChain);
  if (n == 0 || !readChain(doc, chain, links.data())) return planarDistance(end, tx, ty);

  double distance = planarDistance(end, tx, ty);
  for (int sweep = 0; sweep < kMaxSweeps && distance > kClose; ++sweep) {
    bool turned = false;
    for (int k = 0; k < n; ++k) turned = turnToward(links.data(), k, end, tx, ty) || turned;
    const double now = planarDistance(end, tx, ty);
    if (!turned || distance - now < kClose * 1e-3) {
      distance = now;
      break;
    }
    distance = now;
  }

  for (int k = 0; k < n; ++k) {
    PointRecord& p = doc.lines[size_t(chain.joints[size_t(k)][0])]
                         .points[size_t(chain.joints[size_t(k)][1])];
    p.radx = float(links[size_t(k)].angles[0]);
    p.rady = float(links[size_t(k)].angles[1]);
    p.radz = float(links[size_t(k)].angles[2]);
  }
  return distance;
}

void ikDrag(Document& doc, const IkChain& chain, int x, int y) {
  if (chain.count == 0 || doc.isValidPick(chain.line, chain.point) < 0) return;
  const LineRecord& line = doc.lines[size_t(chain.line)];
  if (line.w == 0 || line.h == 0) return;  // the picture cannot be mapped back onto the line
  const int n = std::clamp(chain.count, 0, kMaxIkChain);
  std::array<PointMotion, kMaxIkChain> before;
  for (int k = 0; k < n; ++k)
    if (doc.isValidPick(chain.joints[size_t(k)][0], chain.joints[size_t(k)][1]) > 0)
      before[size_t(k)] = motionOf(pointAt(doc, chain.joints[size_t(k)]));
  EditState& e = doc.edit;
  e.prevWhole = {doc.VextX, doc.VextY, doc.VextZ, doc.RadX, doc.RadY, doc.RadZ};
  solveIk(doc, chain, (x - double(line.vx)) / line.w, (y - double(line.vy)) / line.h);

  // Each joint that turned is applied as the rotation tool applies it: a joint point (kind 2000)
  // by its own line's program, selected, with its previous values kept for the programs' ...Sel
  // operations, from the root of the chain down; the others by one run of every line's
  // program, as after a drag on a batch joint.
  bool batch = false;
  for (int k = n - 1; k >= 0; --k) {
    const JointRef j = chain.joints[size_t(k)];
    if (doc.isValidPick(j[0], j[1]) < 0) continue;
    const PointRecord& p = pointAt(doc, j);
    if (sameRotation(motionOf(p), before[size_t(k)])) continue;
    if (p.kind != kJointPointKind) {
      batch = true;
      continue;
    }
    doc.curLine = j[0];
    doc.curPoint = j[1];
    e.prevMotion = before[size_t(k)];
    runMotion(doc, j[0], j[1]);
  }
  doc.curLine = chain.line;
  doc.curPoint = chain.point;
  e.prevMotion = motionOf(doc.lines[size_t(chain.line)].points[size_t(chain.point)]);
  if (batch) runMotion(doc, -1, -1);
}

}  // namespace tovala
