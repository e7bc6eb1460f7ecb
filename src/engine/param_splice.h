#pragma once
// Parameter lists: the keyed look-up every reader of joint, hit-guide and connecting-line
// settings uses, and the one splice through which every editor of those settings writes them.
//
// A list is kept in ascending key order and ends with the sentinel entry (key 0x0FFFFFFF), so a
// look-up can stop at the first larger key and a splice keeps the order by construction.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "model/records.h"

namespace tovala {

class Document;

// Index of the first entry with `key`, scanning from the start and stopping at the first larger
// key; -1 when there is none.
int findParam(const ParamList& list, int32_t key);

// Replaces the kind range [first, last]: the entries below `first` stay, those within the range
// are dropped, `entries` go in their place, the rest follow. A list that had lost its sentinel
// gets it back, so every list this writes is well formed.
void replaceKindRange(ParamList& list, int32_t first, int32_t last,
                      std::span<const ParamEntry> entries);
// The same on an owner's list, marking the list as replaced.
void replaceKindRange(PointRecord& owner, int32_t first, int32_t last,
                      std::span<const ParamEntry> entries);
void replaceKindRange(LineRecord& owner, int32_t first, int32_t last,
                      std::span<const ParamEntry> entries);

// Joint limits in the order x min, x max, y min, y max, z min, z max, then the same six for the
// rotations (radians).
using JointRanges = std::array<float, 12>;

inline constexpr int32_t kJointFirstKey = 6;  // x movement minimum
inline constexpr int32_t kJointLastKey = 17;  // z rotation maximum
inline constexpr int32_t kRotationFirstKey = 12;
inline constexpr int32_t kCoRotationKey = 20;

// The twelve entries of keys 6..17. The movement limits are stored unscaled (divided by the
// model scale); angles are stored as they are.
std::vector<ParamEntry> jointRangeEntries(const JointRanges& ranges, float modelScale);

// One key-20 entry (line * 65536 + point) for every point whose sel is 1 on every joint line,
// lines and points in index order, sentinels excluded.
std::vector<ParamEntry> coRotationEntries(const Document& doc);

}  // namespace tovala
