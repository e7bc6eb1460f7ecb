#include "script/body_digits.h"

#include <cmath>

namespace tovala::body {

namespace {

struct DigitPlan {
  double along, across;        // base in the frame, from the knuckle-line middle
  std::vector<double> angles;  // direction of each segment, degrees towards the across side
  std::vector<double> lengths;
  std::vector<double> widths;  // one more than segments
};

std::array<Digit, 5> layOut(P2 root, P2 end, const std::array<DigitPlan, 5>& plans) {
  const double dx = end.x - root.x, dy = end.y - root.y, len = std::hypot(dx, dy);
  const P2 a{dx / len, dy / len};
  const P2 c{a.y, -a.x};  // the across side, as an outline hung on root -> end sees it
  auto frame = [&](double along, double across) {
    return P2{end.x + along * a.x + across * c.x, end.y + along * a.y + across * c.y};
  };
  std::array<Digit, 5> out;
  for (size_t d = 0; d < 5; ++d) {
    const DigitPlan& p = plans[d];
    Digit& g = out[d];
    g.base = frame(p.along, p.across);
    g.joints.push_back(g.base);
    P2 at = g.base;
    for (size_t s = 0; s < p.lengths.size(); ++s) {
      const double rad = p.angles[s] * 3.14159265358979 / 180.0;
      const double ca = std::cos(rad) * p.lengths[s], cc = std::sin(rad) * p.lengths[s];
      at = {at.x + ca * a.x + cc * c.x, at.y + ca * a.y + cc * c.y};
      g.joints.push_back(at);
    }
    g.widths = p.widths;
  }
  return out;
}

}  // namespace

std::array<Digit, 5> leftHand(P2 wrist, P2 knuckles) {
  // Palm forward: the thumb on the outer side, the fingers fanning slightly.
  return layOut(wrist, knuckles,
                {{{-36, 23, {34, 24}, {22, 18}, {10, 8.5, 7.3}},
                  {-1, 20.5, {9, 8, 7}, {24, 15, 13}, {7.6, 6.8, 6.3, 5.6}},
                  {0, 6.5, {2, 2, 1}, {27, 17, 14}, {8, 7.2, 6.6, 5.9}},
                  {-1.5, -8, {-5, -5, -5}, {25, 16, 13}, {7.6, 6.8, 6.3, 5.5}},
                  {-5, -21.5, {-13, -13, -12}, {19, 12, 11}, {6.5, 5.8, 5.3, 4.8}}}});
}

std::array<Digit, 5> leftFoot(P2 ankle, P2 toeBase) {
  // Seen from the front: the big toe on the inner side, short toes fanning outwards.
  return layOut(ankle, toeBase,
                {{{1, -13.5, {-2, -2}, {8, 7}, {9, 8.5, 7.5}},
                  {2, -2.5, {2, 2, 2}, {4.5, 3.5, 3}, {5.4, 5.2, 4.9, 4.5}},
                  {1, 6, {5, 5, 5}, {4, 3.5, 3}, {5.1, 4.9, 4.6, 4.2}},
                  {-0.5, 13.5, {9, 9, 9}, {3.8, 3.2, 2.8}, {4.7, 4.5, 4.2, 3.8}},
                  {-3, 20, {14, 14, 14}, {3.2, 2.8, 2.5}, {4.3, 4.1, 3.8, 3.4}}}});
}

}  // namespace tovala::body
