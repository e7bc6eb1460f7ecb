#pragma once
// The tables the human body model is built from: the skeleton (joint lines and their points,
// joint settings, hit guides), the outline lines hung on it, the joins the controller line's
// program makes between them, and the objects.
//
// The figure stands facing the viewer on the default 1000 x 1200 canvas, arms slightly away
// from the body, palms forward. The tables describe its left side (larger x, the figure's own
// left) and its centre line; the right side is the mirror image about x = 500. Outline lines
// are given by their rest positions; the generator turns them into their connecting-line shape
// (along and across values) against the bone they hang from.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tovala {
struct BodyShape;
}

namespace tovala::body {

struct P2 {
  double x = 0, y = 0;
};

inline constexpr double kMirrorX = 1000.0;
inline P2 mirrored(P2 p) { return {kMirrorX - p.x, p.y}; }

// --- skeleton ---------------------------------------------------------------------------------

struct JointPoint {
  int32_t nam;  // unique in the document: outlines and settings name joints by it
  P2 at;
  int32_t kind;  // 1000 for the points a drag can take, else 0
};

struct JointLine {
  int32_t nam;   // 1 .. 31, also the line's index
  int category;  // 1 trunk and head, 2 left arm, 3 right arm, 4 left leg, 5 right leg
  std::vector<JointPoint> points;
};

// Limits of a posable joint and the points that turn with it (itself first).
struct JointSettings {
  int32_t nam;
  std::array<float, 12> ranges;  // x, y, z movement min/max, then x, y, z rotation min/max
  std::vector<int32_t> coRotating;
};

// A hit guide (block 1) on joint `nam` towards `partner`. Its lengths are 0: the guide's anchors
// 1 and 4 are the two joints themselves, and it gives the outlines hung on it the weights of
// the joint's frame, so their widths change from front to side as the figure turns.
struct HitGuidePlan {
  int32_t nam;
  int32_t partner;
};

// --- outlines ---------------------------------------------------------------------------------

struct OutlinePlan {
  std::string id;          // "upperOuterL", "index1R", ...
  int32_t from, to;        // the joints the line hangs between (start carries the hit guide if any)
  bool hitGuided;          // anchors 1 and 4 of the start joint's guide, else the joints themselves
  double alongExponent;    // 0.25; 0.1 for fingers and toes
  std::vector<P2> rest;    // rest positions, first to last
  double sideDepth = 1.0;  // across values in the side view: front value x this
};

// Points of the torso's sides the joins start from.
inline constexpr int kTorsoTrapezius = 1, kTorsoArmpit = 3;

// A point of an outline (`outline` >= 0, `point` counting from the end when negative) or of the
// skeleton (`outline` -1, `joint` its number, `point` unused).
struct Ref {
  int outline = -1;
  int32_t joint = 0;
  int point = 0;
};

enum class JoinKind { Bend, Curve, Corner };  // ConnectDirect4D, 8D, FD

struct JoinPlan {
  JoinKind kind;
  int mode;               // the selector: 0 or 1 as the tables need
  std::vector<Ref> refs;  // 4, 10 or 4
};

// A piece of an object: a whole outline, forwards or backwards, or a single point of one.
struct Piece {
  enum Kind { Forward, Backward, Point };
  int outline;
  Kind kind = Forward;
  int point = 0;
};

struct ObjectPlan {
  std::string name;
  std::vector<Piece> pieces;
  double layer;  // depth at rest: larger is nearer
};

struct BodyTables {
  std::vector<JointLine> lines;
  std::vector<JointSettings> joints;
  std::vector<HitGuidePlan> guides;
  std::vector<OutlinePlan> outlines;
  std::vector<JoinPlan> joins;
  std::vector<ObjectPlan> objects;

  int outline(const std::string& id) const;  // index, -1 when unknown
  const JointPoint* joint(int32_t nam) const;
};

// Built once, the same on every call.
const BodyTables& bodyTables();

// The standard tables with the joints and the outlines' rest points moved to `shape`'s
// proportions (body_proportions.cpp); everything else as it is. The standard shape gives the
// standard tables unchanged.
BodyTables shapedTables(const BodyShape& shape);

// Pieces of the tables, each in its own file.
void addSkeleton(BodyTables& t);
void addTrunkOutlines(BodyTables& t);
void addLimbOutlines(BodyTables& t);
void addHandsAndFeet(BodyTables& t);
void addJoins(BodyTables& t);
void addObjects(BodyTables& t);

// A point at fraction t along the bone a -> b and u across it, towards (d.y, -d.x) for the bone
// direction d: the side a connecting line with a positive side sign takes (for a bone pointing
// down the screen, towards larger x).
P2 onBone(P2 a, P2 b, double t, double u);

// Outline helpers for the table files: a line through profile points (t, u) of the bone between
// joints `from` and `to`, and the right side's copy of a left outline.
OutlinePlan profileOutline(const BodyTables& t, std::string id, int32_t from, int32_t to,
                           std::vector<std::pair<double, double>> profile,
                           double alongExponent = 0.25);
OutlinePlan mirroredOutline(const OutlinePlan& left, std::string id, int32_t from, int32_t to);
// The joint numbers of the right arm and leg lines are the left ones plus this.
inline constexpr int32_t kRightLimbShift = 600;

// Joint lines (numbers and indices alike) and joint numbers: line * 100 + point index, except
// the head joint, which is number 10 so that a face read later takes it as its reference joint.
namespace line {
inline constexpr int kSpine = 1, kNeckHead = 2, kClavicleL = 3, kClavicleR = 4, kHipL = 5,
                     kHipR = 6, kChest = 7;
inline constexpr int kArmL = 8, kFingersL = 9, kArmR = 14, kFingersR = 15;  // digits 0..4
inline constexpr int kLegL = 20, kToesL = 21, kLegR = 26, kToesR = 27;
}  // namespace line

constexpr int32_t jointNumber(int lineNumber, int index) {
  return lineNumber == line::kNeckHead && index == 1 ? 10 : lineNumber * 100 + index;
}

}  // namespace tovala::body
