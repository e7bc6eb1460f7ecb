#pragma once
// Reaching in motion mode: a point of a joint line is dragged and the joints above it turn, each
// within its rotation limits, so that the point follows the mouse in the picture plane while the
// rest of the figure keeps its pose.
//
// The joints above a point are those that list it among their co-rotating points (and have
// rotation limits), nearest first: a joint is nearer when more of the others turn it. The solver
// works on a small copy of the chain (positions, the frame each joint's angles turn about, the
// angles and their limits) and turns one joint at a time about the view axis towards the target
// (cyclic coordinate descent); every turn is read back as the joint's three angles, clamped to
// its limits, so the chain never leaves what the joint operations can pose. A chain of two
// starts from the law-of-cosines answer on its bend side, and no turn of the nearest joint
// carries the bend across to the other side, so a knee or elbow keeps the way it bends while
// the limb straightens and bends again. Only the angles are
// written to the figure; the line programs then pose it as they do for the rotation tool, so
// limbs stay joined exactly as they do there.

#include <array>

#include "engine/rotation.h"
#include "model/document.h"

namespace tovala {

inline constexpr int kMaxIkChain = 6;
inline constexpr int kDefaultIkChain = 2;

struct IkChain {
  int line = -1, point = -1;  // the dragged point
  int count = 0;              // joints in use; 0 when nothing above the point can move it
  std::array<std::array<int, 2>, kMaxIkChain> joints{};  // line and point, nearest first
  // The side the nearest joint bends to in the picture, chosen at the press and kept for the
  // whole drag so a limb never flips through straight: +1 or -1 (the sign of the bend from the
  // next joint up, through it, to the point); 0 for a one-joint chain or when nothing tells.
  // A step whose target only the other side can reach (a joint at its limit) takes that side
  // for that step alone.
  int bend = 0;
};

// The joints above point `point` of line `line`, at most `maxLength` (1 .. kMaxIkChain) of
// them. Joints standing on the point itself cannot move it and are left out. The bend side is
// the one the limb shows now when it is visibly bent; a straight limb takes the side its nearest
// joint's limits leave more room for, or else the one its place on the trunk suggests (elbows
// kept by the trunk, knees out).
IkChain findIkChain(const Document& doc, int line, int point, int maxLength);

// The press: the last point of a joint line (any point kind) whose position lies within
// markSize of (x, y) becomes the selection, and its chain is returned. With no such point the
// selection stays and the chain is empty.
IkChain ikPress(Document& doc, int x, int y, int maxLength);

// Sets the chain's rotation values so that the dragged point comes as near (tx, ty) (canvas
// units, the point's line coordinates) as the limits allow. The figure itself is not moved.
// Returns the distance in the picture plane that the solved pose leaves; -1 when the dragged
// point is no longer in the model.
double solveIk(Document& doc, const IkChain& chain, double tx, double ty);

// One drag step with the mouse at (x, y): solves, then applies the joints that turned as a
// rotation drag on each would: joint points (kind 2000) one by one through their own line's
// program, from the root of the chain down; all others together by one run of every line's
// program (the body model's joints are all of that kind). The dragged point stays the
// selection.
void ikDrag(Document& doc, const IkChain& chain, int x, int y);

// The movement and rotation of each joint of the chain as it stands, before a step changes them.
std::array<PointMotion, kMaxIkChain> chainMotions(const Document& doc, const IkChain& chain);

// Poses the figure after the chain's angles were set: the joints whose rotation differs from
// `before` are applied as ikDrag applies them, and the chain's point becomes the selection.
void applyChainTurns(Document& doc, const IkChain& chain,
                     const std::array<PointMotion, kMaxIkChain>& before);

// Sets the angles of joint (line, point) so that it turns by `turn`, given in the picture's axes
// (after the whole-model rotation), from where it stands now, or as far towards it as its limits
// let it. Only the angles change. False when the point is not a posable joint.
bool turnJointInPicture(Document& doc, int line, int point, const Rotation& turn);

}  // namespace tovala
