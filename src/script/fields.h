#pragma once
// Line and point fields as the script sees them: for each field code, where the value lives in
// its record and how it converts to and from the script's f32 values.

#include <array>
#include <bit>
#include <cstdint>

#include "script/bytecode.h"

namespace tovala::script {

enum class FieldType : uint8_t { None, I32, F32, F64, ColorWord, ColorByte };

// Where a field code's value lives inside its record and how it converts.
struct FieldSlot {
  FieldType type = FieldType::None;
  uint8_t shift = 0;  // colour components: 0 red, 8 green, 16 blue
  uint16_t offset = 0;
};
using FieldTable = std::array<FieldSlot, 256>;

// Indexed by a variable's field code (the low byte of its reference); unknown codes are None.
extern const FieldTable kPointFields;
extern const FieldTable kLineFields;

// Where the field a point (0x1A) or line (0x1C) variable names lives in its record.
inline const FieldSlot& fieldSlotOf(uint8_t flag, uint32_t code) {
  return (flag == kFlagPointVar ? kPointFields : kLineFields)[code & 0xFF];
}

template <class T>
T& fieldAt(void* record, const FieldSlot& f) {
  return *reinterpret_cast<T*>(static_cast<char*>(record) + f.offset);
}

inline float readField(const FieldSlot& f, void* record) {
  switch (f.type) {
    case FieldType::F32: return fieldAt<float>(record, f);
    case FieldType::I32: return float(fieldAt<int32_t>(record, f));
    case FieldType::F64: return float(fieldAt<double>(record, f));
    case FieldType::ColorWord: return std::bit_cast<float>(fieldAt<uint32_t>(record, f));
    case FieldType::ColorByte: return float((fieldAt<uint32_t>(record, f) >> f.shift) & 0xFF);
    case FieldType::None: break;
  }
  return 0.0f;
}

inline bool writeField(const FieldSlot& f, void* record, float v) {
  switch (f.type) {
    case FieldType::F32: fieldAt<float>(record, f) = v; return true;
    case FieldType::I32: fieldAt<int32_t>(record, f) = truncToInt(v); return true;
    case FieldType::F64: fieldAt<double>(record, f) = double(v); return true;
    case FieldType::ColorWord:
      fieldAt<uint32_t>(record, f) = std::bit_cast<uint32_t>(v);
      return true;
    case FieldType::ColorByte: {
      // Clear the byte and add the value in its place; values beyond 0..255 carry over.
      uint32_t& word = fieldAt<uint32_t>(record, f);
      word = (word & ~(0xFFu << f.shift)) + (uint32_t(truncToInt(v)) << f.shift);
      return true;
    }
    case FieldType::None: break;
  }
  return false;
}

}  // namespace tovala::script
