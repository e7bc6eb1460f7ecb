#pragma once
// What the edit tool writes when an edit is decided: each item's code selects the parameter
// entries of the selected point or line that receive the typed value or the points picked on
// the canvas. Joint items work on the selected point (making it a joint first), connecting-line
// items on the line's block for the current block number, face items on the part's run of
// settings, and the command items on the line's program. No Qt here, so tests call it directly.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/atari.h"
#include "shell/panels/edit_tool/edit_tool_items.h"

namespace tovala {

class Document;
struct LineRecord;

// What an interaction gathered: the typed value, the pick (line, point, axis, spare), the row
// chosen in a list dialog and the hit guide shaped on the canvas (block 1).
struct EditInput {
  float value = 0;
  std::array<int, 4> pick{-1, -1, -1, -1};
  int choice = -1;
  const HitBlock* guide = nullptr;
  std::array<int, 4> end{-1, -1, -1, -1};  // the second pick of the two-point interaction
  const LineRecord* shape = nullptr;       // the red line's copy of the selected line
};

// Whether "編集" can run the item: the interactions the editor offers for its type and family.
bool editItemSupported(const EditItem& item);

// The item's current value for the input dialog's prefill; 0 where the item has none.
float editPrefill(const Document& doc, uint32_t code, int hitBlock);

// Stores the edit of item `code` for the selection. 1 when the document changed, 0 when the
// item stores nothing, -1 when refused (invalid selection or pick, unsupported item), in which
// case nothing changed. The caller takes the undo step when editWouldStore says it will store.
int storeEditItem(Document& doc, uint32_t code, const EditInput& in, int hitBlock);
// Whether storeEditItem would change the document (the same checks, nothing written).
bool editWouldStore(const Document& doc, uint32_t code, const EditInput& in, int hitBlock);

// Pieces the store is built from, for the tests.
// Makes point (line, point) a joint unless it has joint data: reference positions for the
// line, kind 2000, default limits and hit block 1, line kind 4. True when it changed anything.
bool ensureJoint(Document& doc, int line, int point);
// Makes `line` face part `part` unless its key-100 entry already names it. True when changed.
bool ensureFacePart(Document& doc, int line, int32_t part);
// Where a decorative-line item writes: the point's run or the line's entries, the key, and how
// the value is made (kView: the polar run's radius and angle in one view, `key` the view 0..2).
// `key` 0 for the items with no store here (connections, the two-point line's views).
struct OLineTarget {
  enum Value { kNone, kReference, kLineReference, kNumber, kView };
  bool onLine = false;
  int32_t method = 0;  // the point's run method (100..400), or the line's method (2, 181)
  int32_t key = 0;
  Value value = kNone;
};
OLineTarget oLineTarget(uint32_t code);
// The number a decorative-line leaf holds (the input dialog's prefill): read from the point's run
// or the line's entries when they have the leaf's method, 0 otherwise.
float oLinePrefill(const Document& doc, uint32_t code);
// The decorative-line store: makes the line a decorative line with the group's method unless it
// has it, then writes the target. Same results as storeEditItem; with `apply` false only checks.
int storeOLineItem(Document& doc, uint32_t code, const EditInput& in, bool apply);

// The view a 正面 / 横 / 上 leaf (item byte 1, 2, 3) names, in the order the runs keep their
// values: 0 front, 1 top, 2 side.
inline int viewOfItem(int byte) { return byte == 1 ? 0 : byte == 2 ? 2 : 1; }

// A range reference: line << 16 | first << 8 | last, the points taken modulo 256.
int32_t packRangeRef(int line, int first, int last);

// The decorative line's connection items (接続): a group's target (単純接続, 円形補接続) or one
// of its conditions. Each works on the group chosen in the selection dialog, whose rows
// connectionChoices gives: one per group of the selected point ("接続(線:%d 点:%d)" for a target
// point, "接続(線:%d)" for a target line), then "新規接続" for the target items; `in.choice` is
// the row chosen.
bool isConnectionItem(uint32_t code);
bool isConnectionTarget(uint32_t code);
std::vector<std::string> connectionChoices(const Document& doc, bool withNew);
int storeConnectionItem(Document& doc, uint32_t code, const EditInput& in, bool apply);

// The part number of face group `group` (the level-2 byte, 1..16), or -1.
int32_t facePartOfGroup(int group);

}  // namespace tovala
