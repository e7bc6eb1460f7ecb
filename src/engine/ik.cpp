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
constexpr double kStraight = 0.1;   // sine of a bend (about 6 degrees) below which a limb is straight
constexpr double kBent = 0.01;      // sine of a side that is told from the line
constexpr double kReachSlack = 0.5;  // canvas units the bend's side may fall short by
constexpr double kFlip = 1e-9;      // sine a turn may cross towards the wrong side by (rounding)

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
  // An angle past one end of its limits may be the same turn a whole turn back inside them (a
  // shoulder that turns the arm up over the head from either side).
  for (Angles a : sets) {
    for (size_t i = 0; i < 3; ++i) {
      if (a[i] < link.limits[2 * i] && a[i] + kTwoPi <= link.limits[2 * i + 1]) a[i] += kTwoPi;
      if (a[i] > link.limits[2 * i + 1] && a[i] - kTwoPi >= link.limits[2 * i]) a[i] -= kTwoPi;
    }
    if (withinLimits(a, link.limits)) return a;
  }
  Angles a = sets[0];
  for (size_t i = 0; i < 3; ++i) a[i] = clampToLimits(a[i], link.limits, i);
  return a;
}

// Link k's angles and the turn they make in the picture's axes when it turns by phi about the
// view axis (the usual sense: aboutZ(-phi) turns a vector by phi), limits applied.
struct Turn {
  Angles angles;
  Rotation delta;
};
Turn turnAboutView(const Link& link, double phi) {
  const Rotation old = Rotation::euler(link.angles[0], link.angles[1], link.angles[2]);
  const Rotation wanted =
      old.then(link.frame).then(Rotation::aboutZ(-phi)).then(link.frame.transposed());
  const Angles a = anglesFor(wanted, link);
  const Rotation delta = link.frame.transposed()
                             .then(old.transposed())
                             .then(Rotation::euler(a[0], a[1], a[2]))
                             .then(link.frame);
  return {a, delta};
}

// Makes the turn: link k takes its new angles and carries the links below it and `end`.
void carry(Link* links, int k, DVec3& end, const Turn& t) {
  Link& link = links[k];
  link.angles = t.angles;
  end = link.at + t.delta.apply(end - link.at);
  for (int j = 0; j < k; ++j) {
    links[j].at = link.at + t.delta.apply(links[j].at - link.at);
    links[j].frame = links[j].frame.then(t.delta);
  }
}

double cross2(const DVec3& u, const DVec3& v) { return u.x * v.y - u.y * v.x; }
double planarAngle(const DVec3& from, const DVec3& to) {
  return std::atan2(cross2(from, to), from.x * to.x + from.y * to.y);
}

// The sine of the bend at `mid` in the picture plane, positive when root -> mid -> end turns
// the way a positive planar angle does; 0 for a bone too short to tell.
double bendSine(const DVec3& root, const DVec3& mid, const DVec3& end) {
  const DVec3 u = mid - root, v = end - mid;
  const double lu = std::hypot(u.x, u.y), lv = std::hypot(v.x, v.y);
  return lu < kMinLever || lv < kMinLever ? 0.0 : cross2(u, v) / (lu * lv);
}

// Turns link k about the view axis so that `end` comes nearer the target, as far as its limits
// let it, carrying the links below it (0 .. k-1) and `end`. When the whole turn, cut short by the
// limits, brings the point no nearer, half and a quarter of it are tried. Refused when none
// helps. With a bend side (`bend` +1 or -1, `root` the position of link 1), link 0 does not
// take a turn that carries the bend further to the other side.
bool turnToward(Link* links, int k, DVec3& end, double tx, double ty, int bend,
                const DVec3& root) {
  const Link& link = links[k];
  const DVec3 v = end - link.at, w = DVec3{tx, ty, 0} - link.at;
  if (std::hypot(v.x, v.y) < kMinLever || std::hypot(w.x, w.y) < kMinLever) return false;
  const double phi = planarAngle(v, w);
  const double before = planarDistance(end, tx, ty);
  const double sideBefore = bend * bendSine(root, link.at, end);
  for (double part : {1.0, 0.5, 0.25}) {
    const Turn t = turnAboutView(link, phi * part);
    const DVec3 moved = link.at + t.delta.apply(end - link.at);
    if (planarDistance(moved, tx, ty) >= before) continue;
    if (bend != 0 && k == 0 &&
        bend * bendSine(root, link.at, moved) < std::min(sideBefore, 0.0) - kFlip)
      continue;
    carry(links, k, end, t);
    return true;
  }
  return false;
}

// A chain of two: the elbow's place follows from the bone lengths in the picture (law of
// cosines) on the side `bend` names; the root turns the elbow there, then the elbow turns the
// point onto the target, or as near it as a straight or fully bent limb comes. Both turns go
// through the limits, so the result is a start for the sweeps, not always their end.
void solveTwo(Link* links, DVec3& end, double tx, double ty, int bend) {
  const DVec3 a = links[1].at, b = links[0].at;
  const DVec3 upper = b - a, lower = end - b, toTarget = DVec3{tx, ty, 0} - a;
  const double l1 = std::hypot(upper.x, upper.y), l2 = std::hypot(lower.x, lower.y);
  const double reach = std::hypot(toTarget.x, toTarget.y);
  if (l1 < kMinLever || l2 < kMinLever || reach < kMinLever) return;
  const double d = std::clamp(reach, std::fabs(l1 - l2), l1 + l2);
  const double cosA = std::clamp((l1 * l1 + d * d - l2 * l2) / (2 * l1 * d), -1.0, 1.0);
  // Bending positively puts the elbow on the negative side of the root-target line.
  const double elbowAt = std::atan2(toTarget.y, toTarget.x) - bend * std::acos(cosA);
  const DVec3 elbow{std::cos(elbowAt), std::sin(elbowAt), 0};
  carry(links, 1, end, turnAboutView(links[1], planarAngle(upper, elbow)));
  const DVec3 goal = a + toTarget * (d / reach);
  const DVec3 nowElbow = links[0].at;
  carry(links, 0, end, turnAboutView(links[0], planarAngle(end - nowElbow, goal - nowElbow)));
}

PointMotion motionOf(const PointRecord& p) { return {p.vdx, p.vdy, p.vdz, p.radx, p.rady, p.radz}; }

bool sameRotation(const PointMotion& a, const PointMotion& b) {
  return a.radx == b.radx && a.rady == b.rady && a.radz == b.radz;
}

// Joint j as it stands; false when it is no longer posable.
bool readLink(const Document& doc, JointRef j, Link& link) {
  if (doc.isValidPick(j[0], j[1]) < 0) return false;
  const PointRecord& p = pointAt(doc, j);
  if (!rotationLimits(p, link.limits)) return false;
  link.at = positionOf(p);
  link.angles = {p.radx, p.rady, p.radz};
  for (size_t i = 0; i < 3; ++i) link.angles[i] = clampToLimits(link.angles[i], link.limits, i);
  link.frame = frameOf(doc, p, turnsPoint(p, packPointRef(j[0], j[1])));
  return true;
}

// The chain as it stands, nearest joint first; false when a joint is no longer posable.
bool readChain(const Document& doc, const IkChain& chain, Link* links) {
  for (int k = 0; k < chain.count; ++k)
    if (!readLink(doc, chain.joints[size_t(k)], links[k])) return false;
  return true;
}

// How far (radians) the joint can turn about the view axis each way before an angle meets its
// limit, measured along the angles a small turn changes: {positive turn, negative turn}.
std::array<double, 2> roomAboutView(const Link& link) {
  constexpr double kProbe = 0.05;
  std::array<double, 2> room{};
  for (int side = 0; side < 2; ++side) {
    const Angles a = eulerAngles(Rotation::euler(link.angles[0], link.angles[1], link.angles[2])
                                     .then(link.frame)
                                     .then(Rotation::aboutZ(side == 0 ? -kProbe : kProbe))
                                     .then(link.frame.transposed()),
                                 link.angles)[0];
    double t = 1e9;
    for (size_t i = 0; i < 3; ++i) {
      const double step = a[i] - link.angles[i];
      if (std::fabs(step) < 1e-9) continue;
      const double edge = step > 0 ? link.limits[2 * i + 1] : link.limits[2 * i];
      t = std::min(t, (edge - link.angles[i]) / step);
    }
    room[size_t(side)] = std::max(0.0, t) * kProbe;
  }
  return room;
}

// Whether any posable joint other than the point itself turns it.
bool turnedByAJoint(const Document& doc, int line, int point) {
  const int32_t ref = packPointRef(line, point);
  std::array<double, 6> limits;
  for (int l = 0; l < doc.lineCount() - 1; ++l) {
    const LineRecord& lr = doc.lines[size_t(l)];
    if (lr.kind != kJointLineKind) continue;
    for (int p = 0; p < lr.pointCount() - 1; ++p)
      if (!(l == line && p == point) && turnsPoint(lr.points[size_t(p)], ref) &&
          rotationLimits(lr.points[size_t(p)], limits))
        return true;
  }
  return false;
}

// The side the chain's nearest joint (the middle one) bends to, chosen at the press.
//  - A visibly bent limb keeps the side it bends to.
//  - A straight one takes the side its middle joint's limits leave clearly more room for.
//  - With about equal room, the trunk decides: the mean of the joint-line points no joint turns.
//    A limb that hangs beside the trunk (an arm) keeps its middle joint towards it, so the
//    forearm swings out and up and the elbow goes out as the hand rises to the head; a limb
//    that hangs from the trunk's end (a leg) bends its middle joint away, so the knee goes out,
//    not across the other leg.
//  - With the trunk on the limb's line, the side the reference pose bends to, as seen now.
int bendAtPress(const Document& doc, const IkChain& chain) {
  if (chain.count < 2) return 0;
  Link mid, root;
  if (!readLink(doc, chain.joints[0], mid) || !readLink(doc, chain.joints[1], root)) return 0;
  const PointRecord& endPoint = doc.lines[size_t(chain.line)].points[size_t(chain.point)];
  const DVec3 end = positionOf(endPoint);
  const double now = bendSine(root.at, mid.at, end);
  if (std::fabs(now) > kStraight) return now > 0 ? 1 : -1;

  const std::array<double, 2> room = roomAboutView(mid);
  if (std::fabs(room[0] - room[1]) > 0.1 * std::max(room[0], room[1]) + 1e-6)
    return room[0] > room[1] ? 1 : -1;

  DVec3 trunk;
  int count = 0;
  for (int l = 0; l < doc.lineCount() - 1; ++l) {
    const LineRecord& line = doc.lines[size_t(l)];
    if (line.kind != kJointLineKind) continue;
    for (int p = 0; p < line.pointCount() - 1; ++p)
      if (!turnedByAJoint(doc, l, p)) {
        trunk = trunk + positionOf(line.points[size_t(p)]);
        ++count;
      }
  }
  const DVec3 limb = end - root.at;
  if (count > 0) {
    const DVec3 toTrunk = trunk / count - root.at;
    const double lengths = std::hypot(limb.x, limb.y) * std::hypot(toTrunk.x, toTrunk.y);
    const double side = lengths > 0 ? cross2(limb, toTrunk) / lengths : 0.0;
    if (std::fabs(side) > kBent) {
      // A positive bend puts the middle joint on the negative side of the root-to-end line.
      const bool beside = limb.x * toTrunk.x + limb.y * toTrunk.y > 0;
      const int midSide = (side > 0 ? 1 : -1) * (beside ? 1 : -1);
      return -midSide;
    }
  }

  auto reference = [](const PointRecord& p) { return DVec3{p.v0x, p.v0y, p.v0z}; };
  const DVec3 u = reference(pointAt(doc, chain.joints[0])) - reference(pointAt(doc, chain.joints[1]));
  const DVec3 v = reference(endPoint) - reference(pointAt(doc, chain.joints[0]));
  const DVec3 normal{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
  const double seen = mid.frame.apply(normal).z;
  if (std::fabs(seen) < kMinLever) return 0;
  return seen > 0 ? 1 : -1;
}

// Solves the chain in place: a chain of two with a bend side starts from its law-of-cosines
// answer, then sweeps turn one joint after another until the point stops coming nearer.
// Returns the distance left in the picture plane.
double solveChain(Link* links, int n, DVec3& end, double tx, double ty, int bend) {
  if (n == 2 && bend != 0) solveTwo(links, end, tx, ty, bend);
  double distance = planarDistance(end, tx, ty);
  for (int sweep = 0; sweep < kMaxSweeps && distance > kClose; ++sweep) {
    bool turned = false;
    for (int k = 0; k < n; ++k)
      turned = turnToward(links, k, end, tx, ty, bend, links[1].at) || turned;
    const double now = planarDistance(end, tx, ty);
    if (!turned || distance - now < kClose * 1e-3) return now;
    distance = now;
  }
  return distance;
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
  chain.bend = bendAtPress(doc, chain);
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

  const int bend = n >= 2 ? std::clamp(chain.bend, -1, 1) : 0;
  const std::array<Link, kMaxIkChain> start = links;
  const DVec3 startEnd = end;
  double distance = solveChain(links.data(), n, end, tx, ty, bend);
  // A limit can keep the bend's side from reaching what the other side reaches (a shoulder at
  // the end of its turn, say): then the other side is taken for this step.
  if (bend != 0 && distance > kReachSlack) {
    std::array<Link, kMaxIkChain> other = start;
    DVec3 otherEnd = startEnd;
    const double d = solveChain(other.data(), n, otherEnd, tx, ty, -bend);
    if (d < distance - kReachSlack) {
      links = other;
      distance = d;
    }
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

std::array<PointMotion, kMaxIkChain> chainMotions(const Document& doc, const IkChain& chain) {
  std::array<PointMotion, kMaxIkChain> out{};
  const int n = std::clamp(chain.count, 0, kMaxIkChain);
  for (int k = 0; k < n; ++k)
    if (doc.isValidPick(chain.joints[size_t(k)][0], chain.joints[size_t(k)][1]) > 0)
      out[size_t(k)] = motionOf(pointAt(doc, chain.joints[size_t(k)]));
  return out;
}

bool turnJointInPicture(Document& doc, int line, int point, const Rotation& turn) {
  Link link;
  if (!readLink(doc, {line, point}, link)) return false;
  const Rotation old = Rotation::euler(link.angles[0], link.angles[1], link.angles[2]);
  const Angles a = anglesFor(old.then(link.frame).then(turn).then(link.frame.transposed()), link);
  PointRecord& p = doc.lines[size_t(line)].points[size_t(point)];
  p.radx = float(a[0]);
  p.rady = float(a[1]);
  p.radz = float(a[2]);
  return true;
}

void ikDrag(Document& doc, const IkChain& chain, int x, int y) {
  if (chain.count == 0 || doc.isValidPick(chain.line, chain.point) < 0) return;
  const LineRecord& line = doc.lines[size_t(chain.line)];
  if (line.w == 0 || line.h == 0) return;  // the picture cannot be mapped back onto the line
  const std::array<PointMotion, kMaxIkChain> before = chainMotions(doc, chain);
  doc.edit.prevWhole = {doc.VextX, doc.VextY, doc.VextZ, doc.RadX, doc.RadY, doc.RadZ};
  solveIk(doc, chain, (x - double(line.vx)) / line.w, (y - double(line.vy)) / line.h);
  applyChainTurns(doc, chain, before);
}

void applyChainTurns(Document& doc, const IkChain& chain,
                     const std::array<PointMotion, kMaxIkChain>& before) {
  if (doc.isValidPick(chain.line, chain.point) < 0) return;
  const int n = std::clamp(chain.count, 0, kMaxIkChain);
  EditState& e = doc.edit;

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
