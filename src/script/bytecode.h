#pragma once
// The byte code shared by lexer, compiler and virtual machine: record flags, instruction codes
// and the layout of operand references. A compiled program is a CodeEntry array that starts and
// ends with a 0xFF marker; everything here describes what may sit between them.

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace tovala::script {

// --- record flags (only the low byte of CodeEntry::flag counts) ------------------------------
inline constexpr uint8_t kFlagPunct = 0x00;     // { } ; , do: no run-time meaning
inline constexpr uint8_t kFlagTarget = 0x01;    // target record of a jump
inline constexpr uint8_t kFlagNumber = 0x02;    // code holds f32 bits
inline constexpr uint8_t kFlagLocal = 0x10;     // p[i]
inline constexpr uint8_t kFlagPointVar = 0x1A;  // L[a]P[b]field
inline constexpr uint8_t kFlagPointParam = 0x1B;
inline constexpr uint8_t kFlagLineVar = 0x1C;  // L[a]field
inline constexpr uint8_t kFlagLineParam = 0x1D;
inline constexpr uint8_t kFlagFixed = 0x1E;        // VextX .. RadZ
inline constexpr uint8_t kFlagInstruction = 0x20;  // keywords, functions, markers
inline constexpr uint8_t kFlagMarker = 0xFF;       // start and end of a program

// --- instruction codes --------------------------------------------------------------------
inline constexpr uint32_t kCodeHead = 0x10000;  // if / while / for / closing while of a do
inline constexpr uint32_t kCodeJump = 0x10001;
inline constexpr uint32_t kCodeCalc = 0x10010;
inline constexpr uint32_t kCodeAssign = 0x2000000;  // '=', then + - * / % up to 0x2000005
inline constexpr uint32_t kCodeAdd = 0x2000001;
inline constexpr uint32_t kCodeSub = 0x2000002;
inline constexpr uint32_t kCodeMul = 0x2000003;
inline constexpr uint32_t kCodeDiv = 0x2000004;
inline constexpr uint32_t kCodeRem = 0x2000005;
inline constexpr uint32_t kCodeEq = 0x2000100;  // == < <= > >= != up to 0x2000105
inline constexpr uint32_t kCodeLt = 0x2000101;
inline constexpr uint32_t kCodeLe = 0x2000102;
inline constexpr uint32_t kCodeGt = 0x2000103;
inline constexpr uint32_t kCodeGe = 0x2000104;
inline constexpr uint32_t kCodeNe = 0x2000105;
inline constexpr uint32_t kCodeAnd = 0x2000200;
inline constexpr uint32_t kCodeOr = 0x2000201;
inline constexpr uint32_t kCodeNot = 0x2000300;
inline constexpr uint32_t kCodeOpen = 0x2010000;
inline constexpr uint32_t kCodeClose = 0x2010001;

// The high half of an instruction code names its group, the low half indexes within it.
inline constexpr uint32_t kGroupOperator = 0x200;
inline constexpr uint32_t kGroupBuiltin = 0x201;
inline constexpr uint32_t kGroupMacro = 0x202;
constexpr uint32_t codeGroup(uint32_t code) { return code >> 16; }
constexpr uint32_t codeIndex(uint32_t code) { return code & 0xFFFF; }

// Slots of the two function tables.
inline constexpr int kBuiltinSlots = 25;
inline constexpr int kMacroSlots = 256;
inline constexpr int kMaxCallArgs = 15;

// --- operand references ---------------------------------------------------------------------
inline constexpr uint32_t kLocalBase = 0x02000000;
inline constexpr uint32_t kLocalIndirect = 0x8000;
inline constexpr uint32_t kLineIndirect = 0x80000000u;
inline constexpr uint32_t kPointIndirect = 0x8000;
inline constexpr uint32_t kPointParamIndirect = 0x80;
inline constexpr uint32_t kLineParamIndirect = 0x8000;

// Limits of the numbers written in brackets.
inline constexpr int kMaxLineIndex = 32767;
inline constexpr int kMaxPointIndex = 127;
inline constexpr int kMaxLocalIndex = 32767;

// Most locals a run allocates: indices above 32767 cannot be written in a source.
inline constexpr int kMaxLocals = 32768;

// The local count a start marker asks for: no "param" (0) still gives one local, and a count
// no index can reach is capped rather than allocated.
constexpr int localCountOf(uint32_t markerCode) {
  const int32_t m = int32_t(markerCode);
  if (m <= 0) return 1;
  return m > kMaxLocals ? kMaxLocals : m;
}

constexpr bool isOperandFlag(uint8_t flag) {
  return flag == kFlagNumber || flag == kFlagLocal || (flag >= kFlagPointVar && flag <= kFlagFixed);
}
constexpr bool isVariableFlag(uint8_t flag) {
  return flag == kFlagLocal || (flag >= kFlagPointVar && flag <= kFlagFixed);
}

// Field codes every variable name of the table produces (see tables.h); codes outside these
// sets are served by the accessors but refused by validation.
constexpr bool isNamedPointField(uint32_t f) {
  return (f >= 0x01 && f <= 0x03) || (f >= 0x10 && f <= 0x12) || (f >= 0x20 && f <= 0x22) ||
         (f >= 0x30 && f <= 0x32) || (f >= 0x40 && f <= 0x42) || (f >= 0xA0 && f <= 0xA3) ||
         (f >= 0xB0 && f <= 0xB3);
}
constexpr bool isNamedLineField(uint32_t f) {
  return (f >= 0x01 && f <= 0x06) || (f >= 0x0A && f <= 0x0C) || (f >= 0x10 && f <= 0x12) ||
         (f >= 0x20 && f <= 0x22) || (f >= 0x30 && f <= 0x32) || (f >= 0x40 && f <= 0x42) ||
         (f >= 0x50 && f <= 0x53) || (f >= 0x60 && f <= 0x63) || (f >= 0x70 && f <= 0x73) ||
         (f >= 0xA0 && f <= 0xA3) || (f >= 0xB0 && f <= 0xB3);
}
constexpr bool isFixedField(uint32_t f) { return f <= 0x02 || (f >= 0x10 && f <= 0x12); }

// Truncation toward zero of a script value into an integer field or index. Values outside the
// i32 range saturate and a not-a-number gives 0, so no script value converts undefinedly.
inline int32_t truncToInt(float v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
  return int32_t(v);
}

}  // namespace tovala::script
