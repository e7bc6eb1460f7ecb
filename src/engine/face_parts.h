#pragma once
// The face model shared by the face data reader, the face builder and the face motion: the
// face-part lines and their numbers, where each part sits in the face, and the layout of the
// settings each part keeps in its line parameters.
//
// Part lines carry (100, part number), (101, face reference size) and a run of key-102 slots
// whose length and meaning depend on the part (below). The two contours add their side view
// under key 103: two entries per real point, the point's x and y offset (per-point offsets,
// below) when the face has turned fully towards larger x; a turn the other way mirrors x. Slots
// that hold a point on another line keep a range reference (line << 16 | point << 8 | point),
// -1 when none.
//
// Numbers follow the figure's own left and right: the right eye 316 is drawn on the viewer's
// left (smaller x).

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "model/records.h"

namespace tovala {

class Document;

inline constexpr int32_t kLeftEye = 315;
inline constexpr int32_t kRightEye = 316;
inline constexpr int32_t kRightBrow = 317;
inline constexpr int32_t kLeftBrow = 318;
inline constexpr int32_t kNose = 319;
inline constexpr int32_t kMouth = 320;
inline constexpr int32_t kRightContour = 321;
inline constexpr int32_t kLeftContour = 322;
inline constexpr int32_t kRightEar = 323;
inline constexpr int32_t kLeftEar = 324;
inline constexpr int32_t kRightLid = 325;
inline constexpr int32_t kLeftLid = 326;
inline constexpr int32_t kRightHead = 327;
inline constexpr int32_t kLeftHead = 328;
inline constexpr int32_t kLeftLowerHair = 329;
inline constexpr int32_t kRightLowerHair = 330;
inline constexpr int32_t kOtherPart = 333;        // the part number 329 and 330 carry
inline constexpr int32_t kFirstHairStrand = 334;  // then 335, ...: eye-area part k is 330 + k
inline constexpr int32_t kFaceController = 463;
inline constexpr int32_t kFaceJointNumber = 10;

inline constexpr int32_t kFacePartKey = 100;
inline constexpr int32_t kFaceRefKey = 101;
inline constexpr int32_t kFaceSlotKey = 102;
inline constexpr int32_t kFaceSideKey = 103;

// Per-point offsets (the contours' side view and the correction sets below) are runs of two
// entries per real point, x then y, measured in the width and the height of the line's box.
// The unit along one axis: the box's size that way, at least one pixel so that a flat line
// keeps its offsets finite.
inline double faceOffsetUnit(double extent) { return std::max(extent, 1.0); }
// The run under `key` that takes the points of `from` to those of `to`, measured in from's box
// (current positions); empty when the two differ in point count.
std::vector<ParamEntry> faceOffsetRun(const LineRecord& from, const LineRecord& to, int32_t key);
// Moves the points of `l` by its stored run under `key`, as faceOffsetRun measured it.
void applyFaceOffsets(LineRecord& l, int32_t key);

// Point corrections: any part may keep up to four sets of per-point offsets, set n under key
// 103 + n (104 .. 107), laid out as the contours' side view. Set 1 is reached when
// the face turns fully towards larger x, set 2 towards smaller x, set 3 when it nods fully down
// and set 4 fully up; the face motion adds each set in proportion to how far the face has gone
// its way, after the part's own motion.
inline constexpr int kFaceCorrectionSets = 4;
inline constexpr int32_t faceCorrectionKey(int set) { return kFaceSideKey + set; }

inline constexpr int kFaceCategory = 11;
inline constexpr int kHairCategory = 12;
inline constexpr int kFixedFaceParts = 16;  // 315 .. 330
inline constexpr int kMinEyeAreaParts = 4;  // 327 .. 330

// Slots of the key-102 run, by meaning. Parts without a slot for a meaning do not move by it.
struct FaceSlots {
  int count;                // run length
  int leftMove, leftMax;    // sideways travel of the part's left end per unit of sin(turn)
  int rightMove, rightMax;  // the same for the right end (-1: the part moves as one)
  int vMove, vMax;          // vertical travel per unit of sin(nod), and its limit
  int tilt, tiltMax;        // in-plane tilt of the part per unit of sin(turn), radians
  int spanLeft, spanRight;  // the part's x extent at rest, relative to the face centre
  int upper, lower;         // connection points (range references), -1 none
};

// The layout of part `number` (category-11 numbers 315 .. 330 and 333, hair for 334 and up).
const FaceSlots& faceSlotsOf(int32_t number);

// Where a part sits: its centre relative to the face centre in face widths (x) and heights
// (y), and the half sizes its samples (-1 .. 1) span, each the product of a face proportion
// and the face width or height. Head and hair parts scale x by 1.45 / the face-width
// proportion as well.
struct FacePlacement {
  int32_t number;
  int offsetX, offsetY, halfW, halfH;  // indices into the proportions P
  float side;                          // +1 the left part (larger x), -1 the right, 0 centred
  bool headScaled;
};

// The placement of eye-area part k (0-based: 327, 328, 329, 330, then the hair strands).
const FacePlacement& eyeAreaPlacement(int k);
// The placement of the part filled by sample record r (1-based, 1 .. 8 and 11 .. 14).
const FacePlacement* recordPlacement(int record);

// Proportions used outside the placements.
inline constexpr int kPropAspect = 0;       // face height / width
inline constexpr int kPropHeadDepth = 43;   // head depth / half the face width
inline constexpr int kPropNoseHeight = 44;  // how far the nose stands out, in face widths
inline constexpr int kPropCount = 45;

// The index of the first real line numbered `number`, or -1.
int lineWithNumber(const Document& doc, int32_t number);
// The first real point numbered `number`, in line and point order: true and its indices.
bool pointWithNumber(const Document& doc, int32_t number, int& line, int& point);

}  // namespace tovala
