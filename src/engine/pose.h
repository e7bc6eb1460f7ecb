#pragma once
// A pose: the movement (vdx, vdy, vdz) and rotation (radx, rady, radz) of every point of the
// joint lines, and the whole-figure movement and rotation (VextX .. RadZ). Points are named by
// their line's number and their own number, not by index, so a pose still fits a figure whose
// lines were reordered, or another figure built the same way.
//
// In a cast (several figures in one document, engine/cast.h) the figures repeat those numbers: a
// pose belongs to one figure, named by its place among the figures (`figure`, counted from 1).
// A pose taken from a cast names its figure; one taken from a lone figure names none, and a pose
// that names none (or a figure the document lacks) goes to the figure holding the most of its
// points, the selected one (the figure of the selected line) among equals.
//
// The pieces:
//   capturePose      the document's pose
//   setPoseValues    writes a pose's values into the document (positions untouched; the
//                    script layer's applyPose, script/pose_apply.h, also re-poses the figure)
//   findMirrorPairs  left and right partners, from the reference positions
//   mirrorPose       the pose of the figure's mirror image
// Reading and writing pose files: engine/pose_file.h.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/cast.h"

namespace tovala {

class Document;

// A point named by its line's number (nam) and its own number.
struct JointKey {
  int32_t line = 0;
  int32_t point = 0;
  bool operator==(const JointKey&) const = default;
};

struct JointPose {
  JointKey key;
  std::array<float, 3> vd{};   // vdx, vdy, vdz
  std::array<float, 3> rad{};  // radx, rady, radz
  bool operator==(const JointPose&) const = default;
};

// The largest figure number a pose may name.
inline constexpr int32_t kMaxPoseFigure = 65536;

struct Pose {
  std::array<float, 6> whole{};   // VextX, VextY, VextZ, RadX, RadY, RadZ
  std::vector<JointPose> joints;  // no key twice
  int32_t figure = 0;             // the figure of a cast it belongs to, from 1; 0: none named
  bool operator==(const Pose&) const = default;
};

// Shown with listJointKeys when a pose names points a figure lacks, and when mirroring finds
// joint-line points without a partner; neither stops the operation.
inline constexpr const char* kPoseMissingNotice =
    "このポーズの次の点は図にありません（適用しません）:";
inline constexpr const char* kPoseUnpairedNotice =
    "左右の相手が見つからない点があります（反転しません）:";

// "線 8 点 800、線 9 点 900 ほか 3 点": the first `shown` keys, and how many more there are.
std::string listJointKeys(const std::vector<JointKey>& keys, size_t shown = 12);

// Every non-sentinel point of every joint line (kind 4) of figure `figure` (an index into
// findFigures; the selected figure when -1 or out of range), lines and points in index order,
// and the whole-figure values; in a cast the pose names that figure. When two points of the
// figure share a key only the first is taken: it is also the one a pose is applied to.
Pose capturePose(const Document& doc, int figure = -1);

// The figure (an index into `figures`, findFigures of `doc`) the pose is applied to: the one it
// names when the document has it, else the one holding the most of its keys, the selected
// figure first among equals, then the first.
int poseFigure(const Document& doc, const std::vector<LineSpan>& figures, const Pose& pose);

// Writes the pose's values into the points its keys name (the first point with that key in the
// pose's figure, poseFigure) and the whole-figure values, which every figure shares; points the
// pose does not name keep theirs. Returns the keys the figure has no point for; they are
// skipped.
std::vector<JointKey> setPoseValues(Document& doc, const Pose& pose);

// The document's point for a key (first in line and point order, among `lines` when given), or
// false.
bool findJoint(const Document& doc, JointKey key, int& line, int& point);
bool findJoint(const Document& doc, LineSpan lines, JointKey key, int& line, int& point);

// Left-right partners among the joint-line points of one figure (an index into findFigures;
// the selected figure when -1 or out of range): a point's partner is the point whose
// reference position (v0x, v0y, v0z) is its own mirrored about the figure's centre line, the
// vertical line through the mean reference x of those points (to within half a canvas unit).
// Among equally near candidates the point at the same place in a line of the same length is
// preferred; a point on the centre line is its own partner. A pairing must be mutual.
struct MirrorPairs {
  struct Pair {
    JointKey a, b;  // a == b for a point on the centre line
  };
  std::vector<Pair> pairs;
  std::vector<JointKey> unpaired;  // joint-line points with no partner
  float centreX = 0;
};
MirrorPairs findMirrorPairs(const Document& doc, int figure = -1);

// The mirror image of `pose` under the pairs: partners swap their values, and movement along
// x and rotation about y and z change sign (so does the whole figure's VextX, RadY and RadZ).
// Joints without a partner keep their values. Mirroring twice gives back the pose exactly.
void mirrorPose(Pose& pose, const MirrorPairs& pairs);

}  // namespace tovala
