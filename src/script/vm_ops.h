#pragma once
// The arithmetic and comparisons of the virtual machine, shared by the record interpreter and
// the pre-decoded statements so that both compute exactly the same values.

#include <bit>
#include <cstdint>

#include "model/records.h"
#include "script/bytecode.h"

namespace tovala::script {

// 1.0E-7: stands in for a zero divisor inside expressions.
inline float tinyDivisor() { return std::bit_cast<float>(uint32_t(0x33D6BF95)); }

inline bool isInstruction(const CodeEntry& e, uint32_t code) {
  return uint8_t(e.flag) == kFlagInstruction && e.code == code;
}

// Remainder of two truncated values; a zero divisor (or -1, whose remainder is always 0 and
// whose division of INT32_MIN would trap) gives 0.
inline float integerRemainder(float a, float b) {
  const int32_t d = truncToInt(b);
  if (d == 0 || d == -1) return 0.0f;
  return float(truncToInt(a) % d);
}

// The value of the two-operand assignment forms: = + - * / %. A zero divisor gives 0.
inline float assignmentValue(uint32_t op, float a, float b) {
  switch (op) {
    case 0: return a;
    case 1: return a + b;
    case 2: return a - b;
    case 3: return a * b;
    case 4: return b == 0.0f ? 0.0f : a / b;
    default: return integerRemainder(a, b);
  }
}

// Division and remainder inside expressions: a zero divisor becomes 1.0E-7 or 1.0.
inline float expressionDivide(float a, float b) { return a / (b == 0.0f ? tinyDivisor() : b); }
inline float expressionRemainder(float a, float b) {
  return integerRemainder(a, b == 0.0f ? 1.0f : b);
}

// == < <= > >= != ; with a not-a-number "<" is "not >=" and "<=" is "not >".
inline bool compare(uint32_t op, float a, float b) {
  switch (op) {
    case kCodeEq: return a == b;
    case kCodeLt: return !(a >= b);
    case kCodeLe: return !(a > b);
    case kCodeGt: return a > b;
    case kCodeGe: return a >= b;
    default: return a != b;
  }
}

// compare() with the condition's "!" folded in, as a table: bit c of the mask is the answer for
// the ordering class c of (a, b): 0 unordered, 1 a < b, 2 a == b, 4 a > b.
inline uint8_t compareMask(uint32_t op, bool negate) {
  uint8_t mask;
  switch (op) {
    case kCodeEq: mask = 0x04; break;
    case kCodeLt: mask = 0x03; break;  // not >=: unordered holds
    case kCodeLe: mask = 0x07; break;  // not >: unordered holds
    case kCodeGt: mask = 0x10; break;
    case kCodeGe: mask = 0x14; break;
    default: mask = 0x13; break;  // !=: unordered holds
  }
  return negate ? mask ^ 0x17 : mask;
}
inline bool compareByMask(uint8_t mask, float a, float b) {
  const unsigned c = unsigned(a < b) | unsigned(a == b) << 1 | unsigned(a > b) << 2;
  return (mask >> c) & 1;
}

}  // namespace tovala::script
