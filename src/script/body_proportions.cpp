// A body shape applied to the standard figure's tables: new places for the joints, worked out
// down the skeleton (trunk, then neck and head, then each limb from its root), and for every
// outline's rest points, kept at the same fraction along their bone and the same offset across
// it times the breadth of their part. That is also how a connecting line places its points
// against its bone, so the outlines keep their shape relative to the bones they hang on.

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "script/body_shape.h"
#include "script/body_tables.h"

namespace tovala::body {

namespace {

constexpr double kCentreX = kMirrorX / 2;

// The standard figure's heights: head top, the head's lowest point, the soles; and the joints
// the trunk's breadths are set at.
struct Landmarks {
  double top = 1e9, headBottom = -1e9, bottom = -1e9;
  double shoulderY, waistY, pelvisY, neckBaseY, hipJointY, ankleY;
  P2 chin;  // the joint the head scales about
  double headHeight() const { return headBottom - top; }
  double height() const { return bottom - top; }
  double heads() const { return height() / headHeight(); }
};

bool isHeadOutline(const OutlinePlan& o) { return o.id.rfind("head", 0) == 0 && o.id.size() == 5; }

Landmarks measure(const BodyTables& t) {
  Landmarks m;
  for (const OutlinePlan& o : t.outlines)
    for (const P2& p : o.rest) {
      m.bottom = std::max(m.bottom, p.y);
      if (!isHeadOutline(o)) continue;
      m.top = std::min(m.top, p.y);
      m.headBottom = std::max(m.headBottom, p.y);
    }
  m.shoulderY = t.joint(jointNumber(line::kArmL, 0))->at.y;
  m.waistY = t.joint(jointNumber(line::kSpine, 1))->at.y;
  m.pelvisY = t.joint(jointNumber(line::kSpine, 0))->at.y;
  m.neckBaseY = t.joint(jointNumber(line::kSpine, 3))->at.y;
  m.hipJointY = t.joint(jointNumber(line::kLegL, 0))->at.y;
  m.ankleY = t.joint(jointNumber(line::kLegL, 2))->at.y;
  m.chin = t.joint(jointNumber(line::kNeckHead, 3))->at;
  return m;
}

// How much each part is stretched along and across, from the shape.
struct Factors {
  double trunk;                    // the trunk's length
  double shoulders, waist, hips;   // its breadth at those heights
  double neck, neckWidth;          // the neck's length and breadth
  double arm, leg, limbWidth;      // limb lengths and thickness
  double hand, handWidth;          // hands and feet, along and across
  double chest;                    // the breasts' depth
  double head = 1, headWidth = 1;  // set once the body below the chin is known
};

Factors factorsFor(const BodyShape& s, const Landmarks& m) {
  Factors f{};
  const double h0 = m.headHeight(), total = m.height(), heads0 = m.heads();
  // First guess of the head's size at the standard height: stockier figures have bigger heads,
  // and breadths follow the head part way, so a figure of few heads is broad for its height.
  const double headGuess = total / s.heads / h0;
  const double breadth = std::pow(headGuess, 0.28);
  const double body = (total - total / s.heads) / (total - h0);  // the body below the chin

  f.hand = s.hands * std::pow(body, 0.8) * std::pow(breadth, 0.4);
  f.handWidth = f.hand * std::pow(s.build, 0.3);
  // Fewer heads: shorter legs for the body's length, and almost no neck.
  const double naturalLeg = body * (1 + 0.045 * (s.heads - heads0));
  f.neck = body * std::clamp(0.3 + 0.7 * (s.heads - 2) / (heads0 - 2), 0.3, 1.15);
  const double neck0 = m.neckBaseY - m.headBottom, trunk0 = m.hipJointY - m.neckBaseY;
  const double leg0 = m.ankleY - m.hipJointY, foot0 = m.bottom - m.ankleY;
  // The trunk takes what the legs leave of the body below the chin; longer or shorter legs
  // take from it or give to it, up to a quarter of its natural length either way.
  const double rest = (total - h0) * body - foot0 * f.hand - neck0 * f.neck;
  const double naturalTrunk = std::max((rest - leg0 * naturalLeg) / trunk0, 0.3 * body);
  f.trunk = std::clamp((rest - leg0 * naturalLeg * s.legs) / trunk0, 0.75 * naturalTrunk,
                       1.25 * naturalTrunk);
  f.leg = naturalLeg * s.legs;
  // Arms reach as far down the trunk and thigh as the standard figure's do.
  f.arm = s.arms * (trunk0 * f.trunk + leg0 * f.leg) / (trunk0 + leg0);

  f.shoulders = breadth * s.shoulders;
  f.hips = breadth * s.hips;
  f.waist = breadth * s.build;
  f.limbWidth = breadth * s.build;
  f.neckWidth = std::sqrt(breadth) * s.build;
  f.chest = breadth * s.chest;
  return f;
}

double lerp(double a, double b, double t) { return a + (b - a) * std::clamp(t, 0.0, 1.0); }

class Reshaper {
 public:
  Reshaper(const BodyTables& t, const Landmarks& m, const Factors& f) : t_(t), m_(m), f_(f) {}

  // The trunk's breadth at height y of the standard figure.
  double trunkBreadth(double y) const {
    if (y <= m_.waistY)
      return lerp(f_.shoulders, f_.waist, (y - m_.shoulderY) / (m_.waistY - m_.shoulderY));
    return lerp(f_.waist, f_.hips, (y - m_.waistY) / (m_.pelvisY - m_.waistY));
  }
  // The trunk stretches about the pelvis, lengthwise by its own factor, across by its breadth.
  P2 onTrunk(P2 p) const {
    return {kCentreX + (p.x - kCentreX) * trunkBreadth(p.y),
            m_.pelvisY + (p.y - m_.pelvisY) * f_.trunk};
  }

  void placeJoints() {
    using namespace line;
    for (const JointLine& l : t_.lines) {
      const int n = l.nam;
      if (n == kSpine || n == kClavicleL || n == kClavicleR || n == kHipL || n == kHipR ||
          n == kChest)
        for (const JointPoint& p : l.points) at_[p.nam] = onTrunk(p.at);
    }
    const P2 neckBase = at_[jointNumber(kSpine, 3)];
    at_[jointNumber(kNeckHead, 0)] = neckBase;
    const P2 chinFrom = t_.joint(jointNumber(kNeckHead, 0))->at;
    at_[jointNumber(kNeckHead, 3)] = along(neckBase, chinFrom, m_.chin, f_.neck);
    for (int side = 0; side < 2; ++side) {
      const int arm = side ? kArmR : kArmL, fingers = side ? kFingersR : kFingersL;
      const int leg = side ? kLegR : kLegL, toes = side ? kToesR : kToesL;
      placeLimb(arm, 2, f_.arm, fingers);
      placeLimb(leg, 2, f_.leg, toes);
    }
  }

  // Scales the head about the chin once the body below it is placed.
  void placeHead(double head, double breadth) {
    f_.head = head;
    f_.headWidth = head * breadth;
    const P2 chin = at_[jointNumber(line::kNeckHead, 3)];
    for (int i : {1, 2}) {
      const int32_t nam = jointNumber(line::kNeckHead, i);
      at_[nam] = along(chin, m_.chin, t_.joint(nam)->at, head);
    }
  }

  // An outline's rest points on its bone's new place.
  void reshape(OutlinePlan& o) const {
    const P2 a = t_.joint(o.from)->at, b = t_.joint(o.to)->at;
    const P2 na = at_.at(o.from), nb = at_.at(o.to);
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy, len = std::sqrt(len2);
    for (P2& p : o.rest) {
      const double px = p.x - a.x, py = p.y - a.y;
      const double t = (px * dx + py * dy) / len2, u = (px * dy - py * dx) / len;
      p = onBone(na, nb, t, u * breadthOf(o, p, t));
    }
  }

  P2 placed(int32_t nam) const { return at_.at(nam); }

 private:
  static P2 along(P2 newFrom, P2 oldFrom, P2 oldPoint, double k) {
    return {newFrom.x + (oldPoint.x - oldFrom.x) * k, newFrom.y + (oldPoint.y - oldFrom.y) * k};
  }

  // A limb: its root on the trunk, its joints up to `lastOwn` along its bones scaled by `k`,
  // and the rest (the hand or foot: the limb line's last points and the digit lines) scaled
  // about the wrist or ankle.
  void placeLimb(int limb, size_t lastOwn, double k, int firstDigitLine) {
    const JointLine& l = *lineNumbered(limb);
    at_[l.points[0].nam] = onTrunk(l.points[0].at);
    for (size_t i = 1; i <= lastOwn; ++i)
      at_[l.points[i].nam] = along(at_[l.points[i - 1].nam], l.points[i - 1].at, l.points[i].at, k);
    const JointPoint& end = l.points[lastOwn];
    const P2 newEnd = at_[end.nam];
    for (size_t i = lastOwn + 1; i < l.points.size(); ++i)
      at_[l.points[i].nam] = along(newEnd, end.at, l.points[i].at, f_.hand);
    for (int d = 0; d < 5; ++d)
      for (const JointPoint& p : lineNumbered(firstDigitLine + d)->points)
        at_[p.nam] = along(newEnd, end.at, p.at, f_.hand);
  }

  const JointLine* lineNumbered(int nam) const {
    for (const JointLine& l : t_.lines)
      if (l.nam == nam) return &l;
    return nullptr;
  }

  // How much an outline's offsets from its bone grow: by the breadth of the part it draws.
  double breadthOf(const OutlinePlan& o, P2 restPoint, double t) const {
    const std::string& id = o.id;
    auto starts = [&](const char* stem) { return id.rfind(stem, 0) == 0; };
    if (isHeadOutline(o)) return f_.headWidth;
    if (starts("torso")) return trunkBreadth(restPoint.y);
    if (starts("navel")) return f_.waist;
    if (starts("neck")) return f_.neckWidth;
    if (starts("breast")) return f_.chest;
    // The buttock bridges the hip's breadth and the thigh's thickness.
    if (starts("buttock")) return std::sqrt(f_.hips * f_.limbWidth);
    // The crotch hangs below the hip joints as far as the thighs' inner sides begin.
    if (starts("crotch")) return f_.leg;
    if (starts("hand") || starts("foot0") || starts("foot1") || starts("foot2") ||
        starts("foot3") || starts("foot4"))
      return f_.handWidth;
    // The palm and the foot start as wide as the forearm or shin ends, so the joins at the
    // wrist and ankle put both ends on one point in every pose.
    if (starts("palm") || starts("foot")) return t < 1e-6 ? f_.limbWidth : f_.handWidth;
    return f_.limbWidth;  // arms, legs, shoulders
  }

  const BodyTables& t_;
  const Landmarks& m_;
  Factors f_;
  std::unordered_map<int32_t, P2> at_;
};

}  // namespace

BodyTables shapedTables(const BodyShape& shape) {
  const BodyTables& standard = bodyTables();
  if (shape.isStandard()) return standard;
  const Landmarks m = measure(standard);
  Reshaper r(standard, m, factorsFor(shape, m));
  r.placeJoints();

  // The body below the chin decides the head's size: the figure measures `heads` heads.
  BodyTables out = standard;
  double bottom = -1e9;
  for (OutlinePlan& o : out.outlines) {
    if (isHeadOutline(o)) continue;
    r.reshape(o);
    for (const P2& p : o.rest) bottom = std::max(bottom, p.y);
  }
  const double chinY = r.placed(jointNumber(line::kNeckHead, 3)).y;
  const double head = (bottom - chinY) / (shape.heads * m.headHeight() - (m.chin.y - m.top));
  r.placeHead(head, shape.head);
  double top = 1e9;
  for (OutlinePlan& o : out.outlines) {
    if (!isHeadOutline(o)) continue;
    r.reshape(o);
    for (const P2& p : o.rest) top = std::min(top, p.y);
  }

  // Stand it on the standard figure's ground line at the asked height.
  const double g = shape.height * m.height() / (bottom - top);
  auto place = [&](P2 p) {
    return P2{kCentreX + (p.x - kCentreX) * g, m.bottom + (p.y - bottom) * g};
  };
  for (JointLine& l : out.lines)
    for (JointPoint& p : l.points) p.at = place(r.placed(p.nam));
  for (OutlinePlan& o : out.outlines)
    for (P2& p : o.rest) p = place(p);
  return out;
}

}  // namespace tovala::body
