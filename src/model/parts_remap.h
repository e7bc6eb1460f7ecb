#pragma once
// Rewriting the line references of lines and objects merged in from a parts file.
//
// A parts file carries a table over its source document's lines: for each source line the index
// it gets among the merged lines (-1 when it was not stored) and its number. A reference to
// source line d becomes a reference to the line d turned into; references to lines that were
// not stored fall back on the document's line with the same number, or line 0.

#include <cstdint>
#include <vector>

#include "model/records.h"

namespace tovala {

class Document;

struct PartsTableEntry {
  int32_t newIndex = -1;  // the line's index in the document after merging, or -1
  int32_t nam = 0;
};

class PartsRemap {
 public:
  // `table` already holds the indices the merged lines have in `doc`.
  PartsRemap(const Document& doc, const std::vector<PartsTableEntry>& table)
      : doc_(doc), table_(table) {}

  // The rewritten forms of the packed references (value bits in, value bits out). A reference
  // whose line lies outside the table is returned as it was. Each packing keeps its own fields:
  // a point that is not a point of the target line becomes 0, the rest of the low bits stay.
  uint32_t pointRef(uint32_t v) const;         // line << 16 | point (16 bits)
  uint32_t axisRef(uint32_t v) const;          // line << 16 | point << 8 | axis or anchor
  uint32_t rangeRef(uint32_t v) const;         // line << 16 | first << 8 | last
  uint32_t clampedRangeRef(uint32_t v) const;  // ... and `last` kept inside the line

  // Rewrites the references in a merged line's parameters (its own and its points') and code.
  void remapLine(LineRecord& line) const;
  // Rewrites a merged object's references. False when the object must be dropped because one
  // of its lines was not merged.
  bool remapObject(ObjectRecord& object) const;

 private:
  enum class Found { Outside, Line, None };
  // Source line d to a document line. With `byNumber` a line that was not stored is looked up
  // by its number and anything unresolved becomes line 0; without, it is Found::None.
  Found resolve(int32_t d, bool byNumber, int& line) const;
  uint32_t rewrite(uint32_t v, bool range, bool clampLast) const;
  void remapDecorative(LineRecord& line) const;
  void remapFacePart(LineRecord& line) const;
  void remapCode(CodeList& code) const;

  const Document& doc_;
  const std::vector<PartsTableEntry>& table_;
};

}  // namespace tovala
