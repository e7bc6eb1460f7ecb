#pragma once
// How a variable reference finds its line or point record: indices taken as written or from a
// local, checked against the model as it stands. Shared, inlined, by the record interpreter
// (variables.cpp) and the decoded statements (vm_fast.cpp): they sit on the path of every field
// access.

#include "model/document.h"
#include "script/script_engine.h"

namespace tovala::script {

// The value of local `local` as an index; false when no such local exists.
[[gnu::always_inline]] inline bool ScriptEngine::localAsIndex(uint32_t local, int& out) const {
  if (local >= uint32_t(localCount_)) return false;
  out = truncToInt(locals_[local]);
  return true;
}

[[gnu::always_inline]] inline LineRecord* ScriptEngine::resolveLine(uint32_t code) const {
  uint32_t raw = code >> 16;
  int line = int(raw);
  if (raw & 0x8000) {
    if (!localAsIndex(raw & 0x7FFF, line)) return nullptr;
  }
  return doc_->isValidLine(line) ? &doc_->lines[size_t(line)] : nullptr;
}

[[gnu::always_inline]] inline PointRecord* ScriptEngine::resolvePoint(LineRecord& line,
                                                                      uint32_t code) const {
  const uint32_t raw = (code >> 8) & 0xFF;
  int point = int(raw);
  if (raw & 0x80) {  // bit 15 of the reference
    if (!localAsIndex(raw & 0x7F, point)) return nullptr;
  }
  if (point < 0 || point >= line.pointCount() - 1) return nullptr;
  return &line.points[size_t(point)];
}

// The line or point record a field variable (0x1A, 0x1C) names, or nullptr.
[[gnu::always_inline]] inline void* ScriptEngine::fieldRecord(uint8_t flag, uint32_t code) const {
  LineRecord* line = resolveLine(code);
  if (!line || flag == kFlagLineVar) return line;
  return resolvePoint(*line, code);
}

}  // namespace tovala::script
