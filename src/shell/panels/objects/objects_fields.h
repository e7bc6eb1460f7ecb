#pragma once
// What the objects panel shows of an object and reads back from its fields: the texts of every
// box and list, the combo items of the draw type and mode, and the checked conversion of typed
// values into record words. Qt-free, so each rule can be checked on records directly.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/records.h"

namespace tovala {

class Document;

inline constexpr int kObjectFirstValues = 24;               // "fpz": the first 24 words of A
inline constexpr int kObjectSecondValues = kObjectEntries;  // "fp": all of B

// The draw type combo: items 0, 1, 2 for 0, 1, 2 and 3, 4, 5 for 256, 257, 258; any other
// value shows item 0.
int drawTypeItem(int32_t drawType);
int32_t drawTypeOfItem(int item);
// The mode combo: "普通", "顔", "複数点+", "複数点-" by the low 24 bits (others show item 0).
int modeItem(int32_t mode);
// The mode chosen by `item`, keeping the top byte of `mode`.
int32_t modeWithItem(int32_t mode, int item);
// How many leading values of the first list are integers: the top byte of the mode for the
// two several-points modes, otherwise none.
int integerValueCount(const ObjectRecord& o);

std::string numberText(const ObjectRecord& o);                 // "%04d"
std::string referenceText(int32_t ref);                        // "%04d,%03d,%03d"
std::string pieceRuleText(int32_t rule);                       // "%d,%d,%d,%d", top byte first
std::string firstValueText(const ObjectRecord& o, int i);      // "%08x" or "%f"
std::string secondValueText(const ObjectRecord& o, int i);     // "%f"
std::string depthText(const ObjectRecord& o);                  // "%4.4f"
std::string colourText(const ObjectRecord& o, int component);  // "%03d"; 0 R, 1 G, 2 B

// The panel's editable fields, as typed.
struct ObjectFields {
  int drawTypeItem = 0;
  int modeItem = 0;
  std::string red, green, blue;
  std::string depth;
  std::string name;  // UTF-8
};
// Stores the fields in `o`. Refuses, changing nothing, when a colour is not a whole number
// 0..255 or the depth is not a finite number.
bool applyObjectFields(ObjectRecord& o, const ObjectFields& fields);
// "色の置換": the colour becomes `bgr` (0x00BBGGRR; the top byte of the word is kept). False
// when `bgr` is not a colour (a top byte set).
bool replaceObjectColour(ObjectRecord& o, uint32_t bgr);
// Stores typed text as value `i` of the first list (hexadecimal for the leading integer values)
// or of the second list; false, nothing changed, for an index outside the list or bad text.
bool setFirstValue(ObjectRecord& o, int i, std::string_view text);
bool setSecondValue(ObjectRecord& o, int i, std::string_view text);

// What a canvas pick for the panel has found so far: a line piece (the line and its first and
// last picked points) and a reference point.
struct ObjectsPick {
  int line = -1, first = -1, last = -1;
  int32_t reference = -1;
};
// The pick states the panel puts the window in.
enum ObjectsPickState : int {
  kObjectsNoPick = 0,
  kObjectsPickPiece = 1,     // "編集"
  kObjectsPickPoint = 2,     // "点"
  kObjectsPickUnit = 3,      // "単位"
  kObjectsPickMirrored = 4,  // "反単"
};
// One canvas press at (x, y) in pick state `state`. A piece pick takes a point as the first of a
// new piece, or as the last when it lies on the line already picked; the reference picks take a
// point, a joint axis tip, or that tip mirrored. A press on nothing changes nothing. Returns
// whether something was picked.
bool pickForObjects(const Document& doc, int state, int x, int y, ObjectsPick& pick);

// The points a pick in progress has found, to be marked on the canvas: the piece's first and
// last points and the reference's point, each once, only those that exist.
struct PickedPoint {
  int line = -1, point = -1;
};
std::vector<PickedPoint> pickedPoints(const Document& doc, const ObjectsPick& pick);

}  // namespace tovala
