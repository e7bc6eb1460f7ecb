#include "script/pass_memo.h"

#include <cstring>

#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "model/document.h"
#include "script/bytecode.h"
#include "script/macros.h"

namespace tovala {
namespace {

using script::kFlagInstruction;
using script::kFlagMarker;

// Macro slots (the low half of their instruction codes).
constexpr uint32_t kAllInit = 0x01;
constexpr uint32_t kMacroRot = 0x03;
constexpr uint32_t kMacroMove = 0x04;
constexpr uint32_t kTPMoveAll = 0x1A;
constexpr uint32_t kTPRotAll = 0x1B;
constexpr uint32_t kMakeAtariAll = 0x1E;
constexpr uint32_t kMakeCLineAll = 0x1F;
constexpr uint32_t kFirstMeasure = 0x15;  // Distance .. TriangleYZ: they only read
constexpr uint32_t kLastMeasure = 0x19;
constexpr uint32_t kFirstJoinByIndex = 0x29;  // ConnectDirect4D .. ConnectDirectFD
constexpr uint32_t kLastJoinByIndex = 0x2C;

constexpr size_t kFloatsPerPoint = 12;  // vx vy vz, then unitX unitY unitZ

// The macro slot an instruction record calls, or -1 for any other record.
int macroSlot(const CodeEntry& e) {
  if (uint8_t(e.flag) != kFlagInstruction || script::codeGroup(e.code) != script::kGroupMacro)
    return -1;
  return int(script::codeIndex(e.code));
}

// Every co-rotation target is a real point of a real line (or names nothing, and is skipped):
// a target AllInit does not set would turn further on every run.
bool coRotationsStayReal(const Document& doc) {
  const int lines = doc.lineCount();
  for (int l = 0; l < lines - 1; ++l) {
    const LineRecord& line = doc.lines[size_t(l)];
    for (int p = 0; p < line.pointCount() - 1; ++p) {
      for (const ParamEntry& e : line.points[size_t(p)].params) {
        if (e.key != kCoRotationKey) continue;
        const int tl = refLine(e.asInt()), tp = refPoint(e.asInt());
        if (tl < 0 || tl >= lines || tp >= doc.pointCount(tl)) continue;
        if (tl == lines - 1 || tp == doc.pointCount(tl) - 1) return false;
      }
    }
  }
  return true;
}

}  // namespace

bool isRepeatablePoseProgram(const CodeList& code) {
  if (code.size() < 3 || uint8_t(code.front().flag) != kFlagMarker ||
      uint8_t(code.back().flag) != kFlagMarker) {
    return false;
  }
  bool first = true, clines = false;
  for (size_t i = 1; i + 1 < code.size(); ++i) {
    const CodeEntry& e = code[i];
    const uint8_t flag = uint8_t(e.flag);
    if (flag == kFlagMarker) return false;
    if (flag != kFlagInstruction) continue;  // punctuation: the machine passes over it
    const int slot = macroSlot(e);
    if (first && slot != int(kAllInit)) return false;
    first = false;
    switch (uint32_t(slot)) {
      case kAllInit:
      case kMacroRot:
      case kMacroMove:
      case kTPMoveAll: break;
      // The connecting lines read the joints' angles and the hit guides: once they are made,
      // neither may change again, or a second run would read what the first one left.
      case kTPRotAll:
      case kMakeAtariAll:
        if (clines) return false;
        break;
      case kMakeCLineAll: clines = true; break;
      default: return false;
    }
  }
  return !first;
}

void PassMemo::arm(const Document& doc) {
  reset();
  const CodeList* first = nullptr;
  for (int pos = 0; pos < doc.lineCount() - 1 && size_t(pos) < doc.lineOrder.size(); ++pos) {
    const int line = doc.lineOrder[size_t(pos)];
    if (!doc.isValidLine(line)) continue;
    const CodeList& code = doc.lines[size_t(line)].code;
    if (!isRepeatablePoseProgram(code)) continue;
    if (first && code == *first) {
      armed_ = true;
      return;
    }
    if (!first) first = &code;
  }
}

bool PassMemo::replay(Document& doc, const CodeList& code) {
  if (!valid_ || code != program_) return false;
  for (const int l : dirtyLines_) {
    LineRecord& line = doc.lines[size_t(l)];
    const float* s = state_.data() + lineStart_[size_t(l)];
    for (int p = 0; p < line.pointCount() - 1; ++p, s += kFloatsPerPoint) {
      PointRecord& pt = line.points[size_t(p)];
      pt.vx = s[0], pt.vy = s[1], pt.vz = s[2];
      std::memcpy(pt.unitX.data(), s + 3, 3 * sizeof(float));
      std::memcpy(pt.unitY.data(), s + 6, 3 * sizeof(float));
      std::memcpy(pt.unitZ.data(), s + 9, 3 * sizeof(float));
    }
    dirty_[size_t(l)] = 0;
  }
  dirtyLines_.clear();
  return true;
}

void PassMemo::ran(const Document& doc, const CodeList& code, bool ok) {
  if (!armed_) return;
  if (isRepeatablePoseProgram(code)) {
    valid_ = ok && coRotationsStayReal(doc);
    if (valid_) {
      program_ = code;
      snapshot(doc);
    }
    return;
  }
  if (valid_) valid_ = noteJoins(doc, code);
}

void PassMemo::snapshot(const Document& doc) {
  const int lines = doc.lineCount() - 1;
  lineStart_.resize(size_t(lines));
  size_t floats = 0;
  for (int l = 0; l < lines; ++l) {
    lineStart_[size_t(l)] = uint32_t(floats);
    floats += size_t(doc.pointCount(l) - 1) * kFloatsPerPoint;
  }
  state_.resize(floats);
  float* s = state_.data();
  for (int l = 0; l < lines; ++l) {
    const LineRecord& line = doc.lines[size_t(l)];
    for (int p = 0; p < line.pointCount() - 1; ++p, s += kFloatsPerPoint) {
      const PointRecord& pt = line.points[size_t(p)];
      s[0] = pt.vx, s[1] = pt.vy, s[2] = pt.vz;
      std::memcpy(s + 3, pt.unitX.data(), 3 * sizeof(float));
      std::memcpy(s + 6, pt.unitY.data(), 3 * sizeof(float));
      std::memcpy(s + 9, pt.unitZ.data(), 3 * sizeof(float));
    }
  }
  dirty_.assign(size_t(lines), 0);
  dirtyLines_.clear();
}

// A program that ran since the kept one: true when all it can have changed is the positions of
// real points, on lines now marked; false when it can have changed anything else. Its records
// are walked as the machine walks them (no jumps: a jump, a condition or an assignment ends the
// memo), so every call it may have made is seen.
bool PassMemo::noteJoins(const Document& doc, const CodeList& code) {
  for (size_t i = 1; i < code.size(); ++i) {
    const int slot = macroSlot(code[i]);
    if (slot < 0) {
      if (uint8_t(code[i].flag) == kFlagInstruction) return false;
      continue;
    }
    const int argc = script::macroArgCount(uint32_t(slot));
    if (argc < 0) return false;
    if (i + 1 + size_t(argc) > code.size()) return true;  // the machine stops before the call
    if (uint32_t(slot) >= kFirstJoinByIndex && uint32_t(slot) <= kLastJoinByIndex) {
      // A join moves real points of the line its first reference names, and nothing else.
      const int line = script::decodeMacroRef(code[i + 1]).line;
      if (line >= doc.lineCount() - 1) return false;
      if (!dirty_[size_t(line)]) {
        dirty_[size_t(line)] = 1;
        dirtyLines_.push_back(line);
      }
    } else if (uint32_t(slot) < kFirstMeasure || uint32_t(slot) > kLastMeasure) {
      return false;
    }
    i += size_t(argc);
  }
  return true;
}

}  // namespace tovala
