#pragma once
// The joint panel's working state without any UI: a copy of the selected point's parameter list
// that the panel edits and OK commits, the twelve limits, the partner and direction of the hit
// guide, and the nine hit blocks. Also the panel's two listings.

#include <array>
#include <string>
#include <vector>

#include "engine/atari.h"
#include "engine/atari_edit.h"
#include "engine/param_splice.h"
#include "model/records.h"

namespace tovala {

class Document;

inline constexpr const char* kJointBadLine = "線番号が不正です。";
inline constexpr const char* kJointBadPoint = "点番号が不正です。";
inline constexpr const char* kCoRotationCaption = "共回転点選択エラー";
inline constexpr const char* kCoRotationBadLine = "線の番号が不正";
inline constexpr const char* kCoRotationBadPoint = "点の番号が不正";

struct JointWork {
  ParamList list{ParamEntry::sentinel()};
  JointRanges ranges{-200.0f, 200.0f, -200.0f, 200.0f, -200.0f, 200.0f,
                     -3.14f,  3.14f,  -3.14f,  3.14f,  -3.14f,  3.14f};
  int partnerLine = 0, partnerPoint = 0;
  int directionLine = 0, directionPoint = 0, directionAxis = 0;
  int hitView = kHitViewFront;  // 0 正面, 1 上, 2 横; kept from one load to the next
  std::array<HitBlock, kHitBlockCount> blocks{};

  HitBlock& block1() { return blocks[0]; }
};

enum class JointLoad { Done, BadLine, BadPoint };

// Loads point (line, point). A list holding only the sentinel becomes the sentinel plus the
// limits from the panel's current range values; otherwise the working list is a copy. Then the
// limits, partner, direction and blocks are read from the working list. Movement limits are
// shown multiplied by the model scale, so that storing them (divided by it) gives back what was
// stored. Nothing changes when the selection is invalid.
JointLoad loadJointWork(const Document& doc, int line, int point, JointWork& work);

// Replace the kind range [first, last] of the working list: 6 the twelve limits, 20 the
// co-rotating points (every point flagged on a joint line), a multiple of 100 below 11000 that
// hit block. Other ranges are left alone.
void replaceJointRange(const Document& doc, int first, JointWork& work);

// The partner and direction the controls show, written into hit block 1.
void storeGuideRefs(JointWork& work);

// One listing line per entry ("存在しません" for a list of one entry or less).
std::string jointEntryText(const ParamEntry& e);
std::vector<std::string> jointListing(const ParamList& list);

// The co-rotation combo: "回転 L:%3d , P:%3d" per co-rotating entry, or "存在しません".
std::vector<std::string> coRotationItems(const ParamList& list);

}  // namespace tovala
