// Outlines of the hands and feet: the two sides of the palm (or foot) and both sides of every
// finger and toe segment. A segment's sides meet the next segment's at the same width, and the
// last segment's sides close round the tip at one point.

#include <cmath>

#include "script/body_digits.h"
#include "script/body_tables.h"

namespace tovala::body {

namespace {

std::string digitId(const char* part, int digit, int segment, bool plus, const char* side) {
  return std::string(part) + char('0' + digit) + char('0' + segment) + (plus ? "p" : "m") + side;
}

// Both sides of every segment of the digits, left first.
void addDigits(BodyTables& t, const char* part, int firstLine, const std::array<Digit, 5>& digits) {
  for (int d = 0; d < 5; ++d) {
    const Digit& g = digits[size_t(d)];
    const int segments = int(g.joints.size()) - 1;
    for (int s = 0; s < segments; ++s) {
      const double w0 = g.widths[size_t(s)], w1 = g.widths[size_t(s) + 1];
      const P2 a = g.joints[size_t(s)], b = g.joints[size_t(s) + 1];
      const double len = std::hypot(b.x - a.x, b.y - a.y);
      // A first segment reaches back into the palm, past the palm's closing edge, so the
      // finger covers it.
      std::vector<std::pair<double, double>> profile = {{s == 0 ? -0.3 : 0.0, w0},
                                                        {0.5, (w0 + w1) / 2 + 0.4}};
      if (s + 1 < segments) {
        profile.push_back({1.0, w1});
      } else {
        // Round the tip: both sides end on the digit's axis just beyond the last joint.
        profile.push_back({0.85, w1});
        profile.push_back({1.0 + 0.35 * w1 / len, 0.75 * w1});
        profile.push_back({1.0 + 0.8 * w1 / len, 0});
      }
      for (bool plus : {true, false}) {
        std::vector<std::pair<double, double>> side = profile;
        if (!plus)
          for (auto& [along, across] : side) across = -across;
        const int32_t from = jointNumber(firstLine + d, s), to = jointNumber(firstLine + d, s + 1);
        OutlinePlan o = profileOutline(t, digitId(part, d, s, plus, "L"), from, to, side, 0.1);
        t.outlines.push_back(o);
      }
    }
  }
}

// The right side's copies of every outline added since `first`.
void mirrorFrom(BodyTables& t, size_t first) {
  const size_t end = t.outlines.size();
  for (size_t i = first; i < end; ++i) {
    const OutlinePlan& l = t.outlines[i];
    std::string id = l.id;
    id.back() = 'R';
    t.outlines.push_back(mirroredOutline(l, id, l.from + kRightLimbShift, l.to + kRightLimbShift));
  }
}

// A point of the frame from `root` to `end`, relative to `end`.
P2 inFrame(P2 root, P2 end, double along, double across) {
  const double dx = end.x - root.x, dy = end.y - root.y, len = std::hypot(dx, dy);
  const P2 a{dx / len, dy / len}, c{a.y, -a.x};
  return {end.x + along * a.x + across * c.x, end.y + along * a.y + across * c.y};
}

// Where a digit's side (+1 or -1) leaves the palm or foot: beside its first joint.
P2 digitRoot(const Digit& d, double side) {
  return onBone(d.joints[0], d.joints[1], 0.0, side * d.widths[0]);
}
// The palm and the foot start square to their own bone, as wide as the forearm or shin ends
// (body_limbs.cpp): both ends then keep the same distance from the joint in every pose and
// the join puts them on one point.
constexpr double kWristOuter = 17, kWristInner = 15, kAnkleOuter = 20, kAnkleInner = 18;

OutlinePlan through(std::string id, int32_t from, int32_t to, std::vector<P2> rest) {
  return OutlinePlan{std::move(id), from, to, false, 0.25, std::move(rest)};
}

}  // namespace

void addHandsAndFeet(BodyTables& t) {
  using namespace line;
  const size_t first = t.outlines.size();

  // Left hand: the palm's thumb side runs from the wrist round the ball of the thumb, across
  // the thumb's root (its web) and up to the index knuckle; the other side to the little one.
  const P2 wrist = kWristL, knuckles = kPalmL;
  const auto hand = leftHand(wrist, knuckles);
  addDigits(t, "hand", kFingersL, hand);
  const int32_t w = jointNumber(kArmL, 2), k = jointNumber(kArmL, 3);
  t.outlines.push_back(
      through("palmThumbL", w, k,
              {onBone(wrist, knuckles, 0, kWristOuter), inFrame(wrist, knuckles, -58, 21.5),
               digitRoot(hand[0], 1), digitRoot(hand[0], -1), inFrame(wrist, knuckles, -14, 23.5),
               digitRoot(hand[1], 1)}));
  t.outlines.push_back(
      through("palmLittleL", w, k,
              {onBone(wrist, knuckles, 0, -kWristInner), inFrame(wrist, knuckles, -55, -24),
               inFrame(wrist, knuckles, -28, -27.5), digitRoot(hand[4], -1)}));

  // Left foot, seen from the front: the outer side to the little toe, the inner to the big toe.
  const P2 ankle = kAnkleL, toes = kToeBaseL;
  const auto foot = leftFoot(ankle, toes);
  const P2 middle = foot[2].joints[0];  // the joint the foot's sides hang towards
  addDigits(t, "foot", kToesL, foot);
  const int32_t a = jointNumber(kLegL, 2), m = jointNumber(kToesL + 2, 0);
  t.outlines.push_back(through("footOuterL", a, m,
                               {onBone(ankle, middle, 0, kAnkleOuter),
                                inFrame(ankle, toes, -24, 23.5), digitRoot(foot[4], 1)}));
  t.outlines.push_back(through("footInnerL", a, m,
                               {onBone(ankle, middle, 0, -kAnkleInner),
                                inFrame(ankle, toes, -23, -22.5), digitRoot(foot[0], -1)}));
  mirrorFrom(t, first);
}

}  // namespace tovala::body
