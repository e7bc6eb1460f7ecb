#pragma once
// The decorative-line panel's working list and what the panel does with it without any UI:
// loading the selected point's run, the method's default entries, the listing lines, editing
// entries (replace, add, insert, delete), and the commit to the point.
//
// Panel methods: 0 "点" (offset, run from 150 with method 100), 1 "円座標" (polar, 200),
// 2 "3D" (local frame, 300), 3 "接続" (connection groups from 180).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/records.h"

namespace tovala {

class Document;

inline constexpr int kOLineWorkLimit = 128;
inline constexpr int kOLinePanelCommit = 100;
inline constexpr int kOLinePanelMethods = 4;
inline constexpr const char* kOLineBadSelection = "選択が不正です。";

// One working entry; `hex` says whether f is shown and typed as eight hex digits (references
// and codes) or as a float.
struct OLineItem {
  ParamEntry entry;
  bool hex = false;
  bool operator==(const OLineItem&) const = default;
};

struct OLineWork {
  int method = 0;  // 0..3
  std::vector<OLineItem> items;
};

// Whether an entry of kind k, sub n is a hex entry in method `method`.
bool oLineHexEntry(int method, int32_t k, int32_t n);

// Clears the list and puts the default entries of `method` in it (0..3; others are ignored).
void setOLineMethod(OLineWork& work, int method);

// Loads point (line, point): its run from key 150 (the method taken from the run's first value:
// 100 → 0, 200 → 1, 300 → 2), or, when it has none or the panel shows method 3, its entries from
// key 180 up to key 181. A point with neither gets the defaults of the panel's method. Returns
// 1, or -1 when the selection is invalid (the panel then shows kOLineBadSelection; work
// unchanged).
int loadOLineWork(const Document& doc, int line, int point, OLineWork& work);

// Rewrites the kinds of the method's fixed entries (150, 151, ... by position) keeping their
// values, then gives one listing line per entry.
std::vector<std::string> oLineListing(OLineWork& work);

// Parses a value typed for an entry: eight (or fewer) hex digits when `hex`, else a decimal
// float. False for text that is not a number.
bool parseOLineValue(std::string_view text, bool hex, uint32_t& bits);
// The value as the panel shows it: "%08x" or "%4.4f".
std::string formatOLineValue(const OLineItem& item);

// The editing buttons. Each returns false and changes nothing when refused: an index out of
// range, a value that does not parse, or (add, insert) a list already holding kOLineWorkLimit
// entries. Replace reads f with the replaced entry's flag; added and inserted entries take the
// flag their kind has in the current method.
bool replaceOLineItem(OLineWork& work, int index, int32_t k, int32_t n, std::string_view f);
bool addOLineItem(OLineWork& work, int32_t k, int32_t n, std::string_view f);
bool insertOLineItem(OLineWork& work, int index, int32_t k, int32_t n, std::string_view f);
bool deleteOLineItem(OLineWork& work, int index);

// OK: the point's entries whose kinds lie between the smallest and the largest kind of the
// working list are replaced by the working entries (in key order; the sentinel key is never
// written), and the line's key-100 entry becomes (100, 0, 0) so the line is placed point by
// point. Returns 1, or -1 when the selection is invalid or the list is empty (nothing changed).
int commitOLineWork(Document& doc, int line, int point, const OLineWork& work);

}  // namespace tovala
