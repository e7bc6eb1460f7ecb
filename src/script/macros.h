#pragma once
// The 33 macros: script calls of motion-engine operations and a few measurements. Each takes
// operand references as arguments (which line, which point, a selector in the low byte) and
// yields one value; the table is indexed by the low half of the instruction code (0x202xxxx).

#include <cstdint>
#include <span>

#include "model/records.h"

namespace tovala {

class Document;

namespace script {

// What a macro takes from an argument: line (bits 16-31), point (bits 8-15) and the low byte,
// a selector for some macros. Indices are used as written; an indirect one names no line.
struct MacroRef {
  int line;
  int point;
  int selector;
};
constexpr MacroRef decodeMacroRef(const CodeEntry& e) {
  return MacroRef{int(e.code >> 16), int((e.code >> 8) & 0xFF), int(e.code & 0xFF)};
}

// Arguments of the macro at `index`, or -1 for an empty slot or an index past the table.
int macroArgCount(uint32_t index);
// Runs the macro at `index` with exactly macroArgCount(index) references. Empty slots yield 0.
float callMacroRoutine(Document& doc, uint32_t index, std::span<const CodeEntry> args);

}  // namespace script
}  // namespace tovala
