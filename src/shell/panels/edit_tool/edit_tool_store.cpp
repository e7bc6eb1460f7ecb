#include "shell/panels/edit_tool/edit_tool_store.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "engine/atari.h"
#include "engine/cline.h"
#include "engine/cline_capture.h"
#include "engine/face_parts.h"
#include "engine/guide_geometry.h"
#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "engine/reference.h"
#include "model/document.h"
#include "script/bytecode.h"
#include "script/tables.h"

namespace tovala {

namespace {

constexpr size_t kMaxCoRotating = 64;
constexpr int32_t kPartnerKey = 101;
constexpr int32_t kDirectionKey = 104;

// The families, by the level-1 byte.
enum Family { kPlain = 1, kJoint = 2, kCLine = 3, kOLine = 4, kFace = 5, kCommand = 6 };

constexpr int32_t kFaceParts[16] = {kRightEye,  kLeftEye,      kRightBrow,       kLeftBrow,
                                    kMouth,     kRightContour, kLeftContour,     kRightEar,
                                    kLeftEar,   kRightLid,     kLeftLid,         kNose,
                                    kRightHead, kLeftHead,     kFirstHairStrand, kOtherPart};

int level(uint32_t code, int n) { return int((code >> (8 * (4 - n))) & 0xFF); }

bool pickValid(const Document& doc, const EditInput& in) {
  return doc.isValidPick(in.pick[0], in.pick[1]) == 1;
}

template <class Owner>
void storeOne(Owner& owner, const ParamEntry& e) {
  const ParamEntry one[] = {e};
  replaceKindRange(owner, e.key, e.key, one);
}

float valueOf(const ParamList& list, int32_t key) {
  const int at = findParam(list, key);
  return at < 0 ? 0.0f : list[size_t(at)].asFloat();
}

// --- joints ------------------------------------------------------------------------------------

int storeJoint(Document& doc, uint32_t code, const EditInput& in, bool apply) {
  const int line = doc.curLine, point = doc.curPoint;
  const int second = level(code, 2), third = level(code, 3);
  ParamEntry entry;
  bool batch = false;
  if (second == 1 && third >= 1 && third <= 12) {  // 移動範囲
    entry = ParamEntry::ofFloat(5 + third, 0, in.value);
  } else if (code == 0x02020200) {  // 相手番号
    if (!pickValid(doc, in)) return -1;
    entry = ParamEntry::ofInt(kPartnerKey, 0, packPointRef(in.pick[0], in.pick[1]));
  } else if ((code & 0xFFFFFF00u) == 0x02020500 && level(code, 4) != 0) {  // 方向点
    if (!pickValid(doc, in)) return -1;
    entry = ParamEntry::ofInt(kDirectionKey, 0,
                              packAxisRef(in.pick[0], in.pick[1], std::max(in.pick[2], 0)));
  } else if ((code & 0xFFFFFF00u) == 0x02020600 && level(code, 4) != 0) {  // あたり
    if (!in.guide) return -1;
  } else if (code == 0x02030000) {  // 回転
    batch = true;
  } else if (code == 0x02040000) {  // 一括関節点
  } else {
    return -1;
  }
  if (!apply) return 1;

  ensureJoint(doc, line, point);
  PointRecord& p = doc.lines[size_t(line)].points[size_t(point)];
  if (code == 0x02030000) {
    std::vector<ParamEntry> runs = coRotationEntries(doc);
    if (runs.size() > kMaxCoRotating) runs.resize(kMaxCoRotating);
    replaceKindRange(p, kCoRotationKey, kCoRotationKey, runs);
  } else if (in.guide && (code & 0xFFFFFF00u) == 0x02020600) {
    replaceKindRange(p, 100, 100 + kHitBlockEntries - 1, hitBlockEntries(1, *in.guide));
  } else if (code != 0x02040000) {
    storeOne(p, entry);
  }
  if (batch || code == 0x02040000) p.kind = kBatchJointPointKind;
  return 1;
}

// --- connecting lines --------------------------------------------------------------------------

// 線形 / 円形 in one view: the block's points are fitted to where they are drawn, as the panel's
// "線作成" does, and only the chosen view's values are kept; 線形 makes the block hit-guided,
// 円形 a circle. The ends must already be set.
int storeCLineView(Document& doc, int hitBlock, bool circle, int item, bool apply) {
  const int line = doc.curLine;
  if (findParam(doc.lines[size_t(line)].params, 100 * hitBlock) < 0) return -1;
  CLineWork work;
  if (loadCLineWork(doc, line, hitBlock, work) != 1) return -1;
  CLineWork fitted = work;
  fitted.method = circle ? kCLineCircleMethod : kCLineHitMethod;
  if (captureCLineShape(doc, line, fitted) != 1) return -1;
  if (!apply) return 1;
  const size_t view = size_t(viewOfItem(item));
  if (work.runs.size() != fitted.runs.size()) resetCLineRuns(work, int(fitted.runs.size()));
  work.method = fitted.method;
  for (size_t i = 0; i < work.runs.size(); ++i) {
    work.runs[i][view] = fitted.runs[i][view];
    work.runs[i][4 + view] = fitted.runs[i][4 + view];
  }
  commitCLineWork(doc, line, work);
  doc.lines[size_t(line)].mode = kCLineMode;
  return 1;
}

int storeCLine(Document& doc, uint32_t code, const EditInput& in, int hitBlock, bool apply) {
  if (hitBlock < 1 || hitBlock > kCLineBlockCount) return -1;
  const int32_t b = (hitBlock - 1) * 100;
  const int second = level(code, 2), third = level(code, 3), fourth = level(code, 4);
  // Anchor of a picked point: the point itself, or the picked axis tip of a joint.
  const int anchor = fourth == 2 ? std::max(in.pick[2], 0) : kPointAnchor;
  if ((second == 7 || second == 8) && third >= 1 && third <= 3 && fourth == 0)
    return storeCLineView(doc, hitBlock, second == 8, third, apply);
  ParamEntry entry;
  if (code == 0x03020000) {  // 描き方: an invalid choice counts as the first
    const int choice = in.choice == 1 ? 1 : 0;
    entry = ParamEntry::ofInt(b + 101, 0, (b + 100) * 65536 + choice);
  } else if ((second == 3 || second == 4) && third == 1 && fourth != 0) {  // 始点、中心 / 終点
    if (!pickValid(doc, in)) return -1;
    entry = ParamEntry::ofInt(b + 100 + second - 1, 0, packAxisRef(in.pick[0], in.pick[1], anchor));
  } else if ((second == 3 || second == 4) && third == 2) {  // あたり点: an anchor of a hit guide
    if (!pickValid(doc, in)) return -1;
    int line = in.pick[0], point = in.pick[1];
    if (second == 4) {  // the end sits on the partner that the picked joint records
      const ParamList& list = doc.lines[size_t(line)].points[size_t(point)].params;
      const int at = findParam(list, kPartnerKey);
      if (at < 0) return -1;
      line = refLine(list[size_t(at)].asInt());
      point = refPoint(list[size_t(at)].asInt());
      if (doc.isValidPick(line, point) != 1) return -1;
    }
    const int hitAnchor =
        in.pick[2] >= 0 && in.pick[2] < kHitAnchorCount ? in.pick[2] : kPointAnchor;
    entry = ParamEntry::ofInt(b + 100 + second - 1, 0, packAxisRef(line, point, hitAnchor));
  } else if (code == 0x03050100) {  // あたり方向
    entry = ParamEntry::ofFloat(b + 104, 0, in.value);
  } else if (second == 5 && third == 2 && fourth != 0) {  // 円形符号
    if (!pickValid(doc, in)) return -1;
    entry = ParamEntry::ofInt(b + 104, 0, packAxisRef(in.pick[0], in.pick[1], anchor));
  } else if (second == 6 && third >= 1 && third <= 8) {  // 範囲
    entry = ParamEntry::ofFloat(b + 110 + third, 0, in.value);
  } else {
    return -1;
  }
  if (!apply) return 1;
  const int line = doc.curLine;
  if (findParam(doc.lines[size_t(line)].params, 100 * hitBlock) < 0)
    setupCLineBlock(doc, line, hitBlock);
  LineRecord& l = doc.lines[size_t(line)];
  l.mode = kCLineMode;
  storeOne(l, entry);
  return 1;
}

// --- face parts --------------------------------------------------------------------------------

bool isContour(int32_t part) { return part == kRightContour || part == kLeftContour; }

// The entry of the part's key-102 run a face leaf writes. A value leaf writes the entry its
// number names, counting from 1. A point leaf names one of the part's connection points (the
// first of two the upper, the second the lower) and writes it where the face motion and the
// parts merge read it; those entries are not always the leaf's number.
int faceSlotOfLeaf(int32_t part, uint32_t code) {
  if (part < 0) return -1;
  const int item = findEditItem(code);
  if (item < 0 || editItems()[size_t(item)].type != 12) return level(code, 3) - 1;
  const int before = findEditItem(code - 0x100);
  const bool second = before >= 0 && editItems()[size_t(before)].type == 12;
  const FaceSlots& slots = faceSlotsOf(part);
  return second ? slots.lower : slots.upper;
}

// 点の補正 and 横向きの点: the red line's points, as offsets from the line's own, go into the
// correction set the typed number names (keys 104 .. 107) or into the contour's side view
// (key 103); two entries per real point, in widths and heights of the line's box (face_parts.h).
int storeFaceShape(Document& doc, int32_t part, int type, const EditInput& in, bool apply) {
  const int32_t key = type == kEditSideView ? kFaceSideKey : faceCorrectionKey(in.pick[2]);
  if (type == kEditCorrection && (in.pick[2] < 1 || in.pick[2] > kFaceCorrectionSets)) return -1;
  const int line = doc.curLine;
  if (!in.shape || in.shape->pointCount() != doc.lines[size_t(line)].pointCount()) return -1;
  if (!apply) return 1;
  ensureFacePart(doc, line, part);
  LineRecord& l = doc.lines[size_t(line)];
  replaceKindRange(l, key, key, faceOffsetRun(l, *in.shape, key));
  return 1;
}

int storeFace(Document& doc, uint32_t code, const EditInput& in, bool apply) {
  const int32_t part = facePartOfGroup(level(code, 2));
  const int slot = faceSlotOfLeaf(part, code);
  const int item = findEditItem(code);
  if (part < 0 || slot < 0 || item < 0) return -1;
  const int type = editItems()[size_t(item)].type;
  if (type == kEditCorrection || type == kEditSideView)
    return storeFaceShape(doc, part, type, in, apply);
  if (type != 1 && type != 12) return -1;
  if (slot >= faceSlotsOf(part).count) return -1;
  if (type == 12 && !pickValid(doc, in)) return -1;
  if (!apply) return 1;

  const int line = doc.curLine;
  ensureFacePart(doc, line, part);
  LineRecord& l = doc.lines[size_t(line)];
  const int at = findParam(l.params, kFaceSlotKey);
  std::vector<ParamEntry> run;
  for (size_t i = size_t(std::max(at, 0));
       at >= 0 && i < l.params.size() && l.params[i].key == kFaceSlotKey; ++i)
    run.push_back(l.params[i]);
  if (size_t(slot) >= run.size())
    run.resize(size_t(slot) + 1, ParamEntry::ofFloat(kFaceSlotKey, 0, 0));
  run[size_t(slot)] =
      type == 1
          ? ParamEntry::ofFloat(kFaceSlotKey, 0, in.value)
          : ParamEntry::ofInt(kFaceSlotKey, 0, packRangeRef(in.pick[0], in.pick[1], in.pick[1]));
  replaceKindRange(l, kFaceSlotKey, kFaceSlotKey, run);
  return 1;
}

// --- command programs --------------------------------------------------------------------------

CodeEntry callOf(std::string_view name) {
  for (const script::KeywordEntry& k : script::kKeywords)
    if (k.text == name) return CodeEntry{k.flag, k.code};
  return CodeEntry{script::kFlagMarker, 0};  // every name used here is in the table
}
const CodeEntry kMark{script::kFlagMarker, 0};

// The program with `calls` put in front of its end mark; a line without a program gets one.
void appendCalls(LineRecord& l, const std::vector<CodeEntry>& calls) {
  std::vector<CodeEntry>& code = l.code;
  if (code.size() < 2) code = {kMark, kMark};
  code.insert(code.end() - 1, calls.begin(), calls.end());
  l.codeChanged = 1;
}

int storeCommand(Document& doc, uint32_t code, const EditInput& in, bool apply) {
  if (code == 0x06020100) {  // 基本命令
    if (!apply) return 1;
    LineRecord& l = doc.lines[size_t(doc.curLine)];
    l.code = {kMark};
    for (const char* name : {"AllInit", "TPMoveAll", "TPRotAll", "MacroMove", "MacroRot",
                             "MakeAtariAll", "MakeCLineAll"})
      l.code.push_back(callOf(name));
    l.code.push_back(kMark);
    l.codeChanged = 1;
    return 1;
  }
  if (code == 0x06020200) {  // OLine命令
    if (apply)
      appendCalls(doc.lines[size_t(doc.curLine)],
                  {callOf("MakeOLineAll"), callOf("ConnectOLineAll")});
    return 1;
  }
  if (code == 0x06020300) {  // 顔命令: the reference joint is the picked point
    if (!pickValid(doc, in)) return -1;
    if (apply)
      appendCalls(doc.lines[size_t(doc.curLine)],
                  {callOf("FaceMoveAll"),
                   CodeEntry{script::kFlagPointVar,
                             (uint32_t(in.pick[0]) << 16) | (uint32_t(in.pick[1] & 0xFF) << 8)}});
    return 1;
  }
  return -1;
}

int storeImpl(Document& doc, uint32_t code, const EditInput& in, int hitBlock, bool apply) {
  const int item = findEditItem(code);
  if (item < 0 || !editItemSupported(editItems()[size_t(item)])) return -1;
  if (doc.isValidPick(doc.curLine, doc.curPoint) != 1) return -1;
  switch (level(code, 1)) {
    case kJoint: return storeJoint(doc, code, in, apply);
    case kCLine:
      if (code == 0x03010000) return 0;  // 番号 only chooses the block number
      return storeCLine(doc, code, in, hitBlock, apply);
    case kFace: return storeFace(doc, code, in, apply);
    case kOLine:
      if (isConnectionItem(code)) return storeConnectionItem(doc, code, in, apply);
      return storeOLineItem(doc, code, in, apply);
    case kCommand:
      if (code == 0x06010000) return 0;  // the program dialog stores on its own
      return storeCommand(doc, code, in, apply);
    default: return 0;
  }
}

}  // namespace

int32_t packRangeRef(int line, int first, int last) {
  return int32_t((uint32_t(line) << 16) | (uint32_t(first & 0xFF) << 8) | uint32_t(last & 0xFF));
}

int32_t facePartOfGroup(int group) {
  return group >= 1 && group <= 16 ? kFaceParts[group - 1] : -1;
}

bool editItemSupported(const EditItem& item) {
  if (item.depth() == 0 || item.type == kEditGroup) return false;
  switch (item.level(1)) {
    case kPlain: return true;
    case kJoint: return true;
    case kCLine: return item.type != 0;  // every leaf; 接続 is a group without children
    case kFace:
      return item.type == 1 || item.type == 12 || item.type == kEditCorrection ||
             item.type == kEditSideView;
    case kCommand: return true;
    case kOLine:
      return isConnectionItem(item.code) || oLineTarget(item.code).value != OLineTarget::kNone;
    default: return false;
  }
}

bool ensureJoint(Document& doc, int line, int point) {
  if (doc.isValidPick(line, point) != 1) return false;
  if (findParam(doc.lines[size_t(line)].points[size_t(point)].params, kJointFirstKey) >= 0)
    return false;
  setReference(doc, line, line);
  LineRecord& l = doc.lines[size_t(line)];
  PointRecord& p = l.points[size_t(point)];
  if (p.kind != kBatchJointPointKind) p.kind = kJointPointKind;
  JointRanges ranges{};
  for (int i = 0; i < 3; ++i) {
    ranges[size_t(2 * i)] = -100.0f;
    ranges[size_t(2 * i + 1)] = 100.0f;
    ranges[size_t(6 + 2 * i)] = -3.1416f;
    ranges[size_t(7 + 2 * i)] = 3.1416f;
  }
  replaceKindRange(p, kJointFirstKey, kJointLastKey, jointRangeEntries(ranges, 1.0f));
  HitBlock block;
  block.partner = 0;
  block.minRatio = -1.0f;
  block.maxRatio = 2.0f;
  block.direction = 0;
  replaceKindRange(p, 100, 100 + kHitBlockEntries - 1, hitBlockEntries(1, block));
  l.kind = kJointLineKind;
  return true;
}

bool ensureFacePart(Document& doc, int line, int32_t part) {
  if (!doc.isValidLine(line)) return false;
  LineRecord& l = doc.lines[size_t(line)];
  const int at = findParam(l.params, kFacePartKey);
  if (at >= 0 && l.params[size_t(at)].asInt() == part) return false;
  std::vector<ParamEntry> entries{ParamEntry::ofInt(kFacePartKey, 0, part),
                                  ParamEntry::ofFloat(kFaceRefKey, 0, doc.faceRef)};
  const int group =
      int(std::find(std::begin(kFaceParts), std::end(kFaceParts), part) - std::begin(kFaceParts)) +
      1;
  const int groupItem = findEditItem(uint32_t(kFace) << 24 | uint32_t(group) << 16);
  const size_t first = entries.size();
  entries.resize(first + size_t(faceSlotsOf(part).count), ParamEntry::ofFloat(kFaceSlotKey, 0, 0));
  for (int leaf : editItemChildren(groupItem)) {
    // Point slots start empty (-1), not as a reference to line 0, point 0.
    const EditItem& item = editItems()[size_t(leaf)];
    const int slot = faceSlotOfLeaf(part, item.code);
    if (item.type == 12 && slot >= 0 && slot < faceSlotsOf(part).count)
      entries[first + size_t(slot)] = ParamEntry::ofInt(kFaceSlotKey, 0, -1);
  }
  if (isContour(part))
    for (int i = 0; i < 2 * (l.pointCount() - 1); ++i)
      entries.push_back(ParamEntry::ofFloat(kFaceSideKey, 0, 0));
  replaceKindRange(l, kFacePartKey, isContour(part) ? kFaceSideKey : kFaceSlotKey, entries);
  l.mode = 0;
  l.nam = part;
  return true;
}

float editPrefill(const Document& doc, uint32_t code, int hitBlock) {
  if (doc.isValidPick(doc.curLine, doc.curPoint) != 1) return 0;
  const LineRecord& l = doc.lines[size_t(doc.curLine)];
  const int second = level(code, 2), third = level(code, 3);
  switch (level(code, 1)) {
    case kJoint:
      if (second == 1 && third >= 1 && third <= 12)
        return valueOf(l.points[size_t(doc.curPoint)].params, 5 + third);
      return 0;
    case kCLine: {
      const int32_t b = (std::clamp(hitBlock, 1, kCLineBlockCount) - 1) * 100;
      if (code == 0x03050100) return valueOf(l.params, b + 104);
      if (second == 6 && third >= 1 && third <= 8) return valueOf(l.params, b + 110 + third);
      return 0;
    }
    case kFace: {
      const int item = findEditItem(code);
      if (item >= 0 && editItems()[size_t(item)].type == kEditCorrection) {
        // The number of the first correction set the line keeps, else the first set.
        for (int set = 1; set <= kFaceCorrectionSets; ++set)
          if (findParam(l.params, faceCorrectionKey(set)) >= 0) return float(set);
        return 1.0f;
      }
      const int32_t part = facePartOfGroup(second);
      const int at = findParam(l.params, kFacePartKey);
      if (part < 0 || third < 1 || at < 0 || l.params[size_t(at)].asInt() != part) return 0;
      const int run = findParam(l.params, kFaceSlotKey);
      const int slot = faceSlotOfLeaf(part, code);
      const size_t i = size_t(run) + size_t(slot);
      if (run < 0 || slot < 0 || i >= l.params.size() || l.params[i].key != kFaceSlotKey) return 0;
      return l.params[i].asFloat();
    }
    case kOLine: return oLinePrefill(doc, code);
    default: return 0;
  }
}

int storeEditItem(Document& doc, uint32_t code, const EditInput& in, int hitBlock) {
  return storeImpl(doc, code, in, hitBlock, true);
}

bool editWouldStore(const Document& doc, uint32_t code, const EditInput& in, int hitBlock) {
  // A dry run: with apply false the store only checks, it writes nothing.
  return storeImpl(const_cast<Document&>(doc), code, in, hitBlock, false) == 1;
}

}  // namespace tovala
