#pragma once
// Where the fingers and toes of the body model sit: each digit's base, direction, segment
// lengths and half-widths, laid out in the frame of the palm or the foot (along: from the wrist
// or ankle towards the knuckles; across: towards the thumb side of a palm facing forward, the
// little-toe side of a foot). The skeleton takes the joints from here and the outlines the
// widths, so both always agree.

#include <array>
#include <vector>

#include "script/body_tables.h"

namespace tovala::body {

struct Digit {
  P2 base;                     // first joint (knuckle)
  std::vector<P2> joints;      // base, then the end of each segment
  std::vector<double> widths;  // half-width at each joint
};

// The five digits (thumb or big toe first) of the left hand or foot whose frame runs from
// `root` (wrist or ankle) to `knuckles` (the middle of the knuckle line).
std::array<Digit, 5> leftHand(P2 wrist, P2 knuckles);
std::array<Digit, 5> leftFoot(P2 ankle, P2 toeBase);

// The left limb joints the hand and foot hang from.
inline constexpr P2 kWristL{672, 590}, kPalmL{686, 664};
inline constexpr P2 kAnkleL{574, 1070}, kToeBaseL{588, 1116};

}  // namespace tovala::body
