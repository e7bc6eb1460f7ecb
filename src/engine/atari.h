#pragma once
// Hit guides: the outline scaffold of a limb. For a joint point (self, S) and its partner (E,
// usually the next joint of the limb) a hit guide yields eight anchors: beyond each end on the
// bone's extension and across the bone at each end. Connecting lines stroke between these
// anchors, so the silhouette follows the bone.
//
// A joint point holds up to nine hit blocks (keys 100·b .. 100·b + 36, b = 1..9) with the
// per-view lengths; MakeAtari picks a block by how foreshortened the bone is, blends the lengths
// by the joint's view weights and stores the anchors as result entries 11000 .. 11031 (sub 1).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/guide_geometry.h"
#include "model/records.h"

namespace tovala {

class Document;

inline constexpr int kHitBlockCount = 9;
inline constexpr int kHitBlockEntries = 37;
inline constexpr int kHitAnchorCount = 8;
// Offset within a block of the first of an anchor's four values (front, top, side, exponent):
// anchor k uses offset 5 + 4k.
inline constexpr int hitGroupOffset(int anchor) { return 5 + 4 * anchor; }

inline constexpr int32_t kHitResultFirstKey = 11000;
inline constexpr int32_t kHitResultLastKey = 11031;
inline constexpr int32_t kHitAnchorKey = 11001;       // 24 values: anchor 0 x, y, z, anchor 1 ...
inline constexpr int32_t kHitRatioKey = 11025;        // x-y length / 3-D length of the bone
inline constexpr int32_t kHitLength3Key = 11026;      // 3-D bone length
inline constexpr int32_t kHitLength2Key = 11027;      // x-y bone length
inline constexpr int32_t kHitWeightKey = 11028;       // front, top, side weights
inline constexpr int32_t kHitAngleFactorKey = 11031;  // read by connecting lines in circle mode
inline constexpr int32_t kHitResultSub = 1;

// One hit block as the joint panel edits it. `values[i]` is the value of key 100·b + i; the
// integer entries (mode, partner, direction) are kept apart so their bits stay exact.
struct HitBlock {
  int32_t mode = 100;
  int32_t partner = 65536 + 1;  // line 1, point 1
  float minRatio = 0.0f;
  float maxRatio = 10.0f;
  int32_t direction = 1;  // line 0, point 0, axis 1
  // Eight groups of four (front, top, side, exponent), offsets 5 .. 36 of the block.
  std::array<float, 32> lengths{};

  HitBlock();
  // The value at block offset 5 .. 36.
  float& at(int offset) { return lengths[size_t(offset - 5)]; }
  float at(int offset) const { return lengths[size_t(offset - 5)]; }
};

// The 37 entries of block `block` (keys 100·block .. 100·block + 36, sub 0), ready for the
// kind-range splice.
std::vector<ParamEntry> hitBlockEntries(int block, const HitBlock& values);

// Block `block` as stored in `list`; nothing when its first entry (key 100·block) is missing.
// Entries of the block that are missing keep their defaults.
std::optional<HitBlock> readHitBlock(const ParamList& list, int block);

// The joint panel's listing label of a hit-block entry ("1:あたりモード", "3:自延長線上1 ", ...):
// for 100 <= key < 1000 with key mod 100 <= 36; empty for any other key.
std::string hitEntryLabel(int32_t key);

// The computed guide: the eight anchors, the view weights used and the bone measures.
struct HitGuide {
  std::array<DVec3, kHitAnchorCount> anchors{};
  ViewWeights weights;
  double ratio = 0;    // x-y length / 3-D length, 0 for a bone of no length
  double length3 = 0;  // 3-D length
  double length2 = 0;  // x-y length
  double angleFactor = 1;
};

// x-y length over 3-D length of the segment from a to b; 0 when they coincide.
double lengthRatio(const DVec3& a, const DVec3& b);

// The guide of joint (line, point) from `block`'s values. False when the joint or the partner is
// not a real point.
bool computeHitGuide(const Document& doc, int line, int point, const HitBlock& block,
                     HitGuide& out);

// The stored guide: the entry of key 11000 when it and the 31 after it hold keys 11000 .. 11031
// in order, as makeAtari writes them; nullptr when the point has no complete guide.
const ParamEntry* storedGuide(const ParamList& list);
// Anchor `anchor` (0..7), the weights and the angle factor of a stored guide.
DVec3 storedAnchor(const ParamEntry* guide, int anchor);
ViewWeights storedWeights(const ParamEntry* guide);
inline double storedAngleFactor(const ParamEntry* guide) {
  return guide[kHitAngleFactorKey - kHitResultFirstKey].asFloat();
}

// MakeAtari on (line, point) with block selector `selector`: 0 chooses the first block whose
// ratio range holds the bone's ratio (strictly), 1..9 names a block. Returns 1 when results
// were stored, -1 when nothing was (not a joint point, no block applies, invalid partner).
int makeAtari(Document& doc, int line, int point, int selector);
// The script form: line in bits 16-31, point in bits 8-15, selector in the low byte.
int MakeAtari(Document& doc, int32_t packed);
// makeAtari with automatic block choice on every real point of every line; returns 0.
int MakeAtariAll(Document& doc);

}  // namespace tovala
