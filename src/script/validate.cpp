// Validation of a stored program before it is trusted: markers, flags, instruction codes, field
// codes, and every index written directly. Indices taken from locals exist only while the
// program runs and are checked then.

#include <cstdio>

#include "model/document.h"
#include "script/script_engine.h"
#include "script/script_messages.h"
#include "script/tables.h"

namespace tovala::script {
namespace {

std::string format(const char* fmt, int a, int b = 0, int c = 0) {
  char buf[160];
  std::snprintf(buf, sizeof buf, fmt, a, b, c);
  return buf;
}

}  // namespace

int ScriptEngine::validate(int line, int point) {
  message_.assign(1, ' ');  // a single blank until a check fails
  if (!doc_->isValidLine(line)) {
    message_ = msg::kNoLine;
    return -1;
  }
  const LineRecord& l = doc_->lines[size_t(line)];
  const CodeList& code =
      doc_->isValidPick(line, point) == 1 ? l.points[size_t(point)].code : l.code;
  if (code.empty() || uint8_t(code.front().flag) != kFlagMarker ||
      uint8_t(code.back().flag) != kFlagMarker) {
    message_ = msg::kNoMarker;
    return -1;
  }
  const int locals = localCountOf(code.front().code);
  for (size_t i = 1; i + 1 < code.size(); ++i) {
    if (validateEntry(code[i], locals) < 0) return -1;
  }
  return 1;
}

int ScriptEngine::validateEntry(const CodeEntry& e, int locals) {
  const uint8_t flag = uint8_t(e.flag);
  auto localOk = [&](uint32_t index) {
    if (index < uint32_t(locals)) return true;
    message_ = format(msg::kBadLocalIndex, int(index));
    return false;
  };
  switch (flag) {
    case kFlagPunct:
    case kFlagTarget:
    case kFlagNumber: return 1;
    case kFlagLocal: return localOk(e.code & 0x7FFF) ? 1 : -1;
    case kFlagFixed:
      if (isFixedField(e.code)) return 1;
      message_ = msg::kBadFixedVariable;
      return -1;
    case kFlagInstruction:
      if (isKnownInstruction(e.code)) return 1;
      message_ = msg::kBadInstruction;
      return -1;
    case kFlagPointVar:
    case kFlagPointParam:
    case kFlagLineVar:
    case kFlagLineParam: break;
    default: message_ = format(msg::kBadFlag, int(flag)); return -1;
  }

  // Line-based variables: the line first, then point, field code or parameter.
  const bool lineIndirect = (e.code & kLineIndirect) != 0;
  const int lineIndex = int((e.code >> 16) & 0x7FFF);
  const LineRecord* line = nullptr;
  if (lineIndirect) {
    if (!localOk(uint32_t(lineIndex))) return -1;
  } else {
    if (!doc_->isValidLine(lineIndex) || doc_->pointCount(lineIndex) < 2) {
      message_ = format(msg::kLineMissing, lineIndex);
      return -1;
    }
    line = &doc_->lines[size_t(lineIndex)];
  }

  if (flag == kFlagLineVar) {
    if (isNamedLineField(e.code & 0xFF)) return 1;
    message_ = format(msg::kBadLineField, lineIndex);
    return -1;
  }
  if (flag == kFlagLineParam) {
    const uint32_t c = e.code & 0xFFFF;
    if (c & kLineParamIndirect) return localOk(c & 0x7FFF) ? 1 : -1;
    if (line && c >= uint32_t(line->paramCount())) {
      message_ = format(msg::kLineParamMissing, lineIndex, int(c));
      return -1;
    }
    return 1;
  }

  const uint32_t p = (e.code >> 8) & 0xFF;
  const int pointIndex = int(p & 0x7F);
  const PointRecord* point = nullptr;
  if (p & 0x80) {
    if (!localOk(uint32_t(pointIndex))) return -1;
  } else if (line) {
    if (pointIndex >= line->pointCount() - 1) {
      message_ = format(msg::kPointMissing, lineIndex, pointIndex);
      return -1;
    }
    point = &line->points[size_t(pointIndex)];
  }
  if (flag == kFlagPointVar) {
    if (isNamedPointField(e.code & 0xFF)) return 1;
    message_ = format(msg::kBadPointField, lineIndex, pointIndex);
    return -1;
  }
  const uint32_t c = e.code & 0xFF;
  if (c & kPointParamIndirect) return localOk(c & 0x7F) ? 1 : -1;
  if (point && c >= uint32_t(point->paramCount())) {
    message_ = format(msg::kPointParamMissing, lineIndex, pointIndex, int(c));
    return -1;
  }
  return 1;
}

}  // namespace tovala::script
