#pragma once
// The edit tool's item tree: a fixed table of up to 512 items, each with a four-level code (one
// byte per level, level 1 in the top byte), an edit type (-1 for a group) and a name. The tool
// narrows the tree with four cascading lists; the queries here say what each list shows, which
// entry starts selected for the selected line, and what guidance an item's type gives.

#include <cstdint>
#include <string>
#include <vector>

namespace tovala {

class Document;

inline constexpr int kEditItemCapacity = 512;
inline constexpr int kEditGroup = -1;
inline constexpr int kEditLevels = 4;
inline constexpr int kEditListMax = 32;
// The edit types of the red-line items: 点の補正 asks for the number of a correction set first,
// 横向きの点 edits a contour's side view.
inline constexpr int kEditCorrection = 17;
inline constexpr int kEditSideView = 18;

struct EditItem {
  uint32_t code = 0;
  int32_t reserved = 0;
  int32_t type = kEditGroup;
  std::string name;  // UTF-8

  // Byte of level 1..4.
  int level(int n) const { return int((code >> (8 * (4 - n))) & 0xFF); }
  // 1..4; 0 for an unused slot.
  int depth() const;
};

// The table in its fixed order, padded to kEditItemCapacity with unused slots.
const std::vector<EditItem>& editItems();
// Index of the item with `code`, or -1.
int findEditItem(uint32_t code);

// The indices (table order) of the items a list shows. Level 1: every top item. Levels 2..4:
// the children of `parent` (a table index), none when `parent` is not a group.
std::vector<int> editItemChildren(int parent);
std::vector<int> editTopItems();

// The entry preselected in the level-1 list and, under the chosen top item, in the level-2 list,
// for the selected line and point (0 when nothing applies).
int preselectTop(const Document& doc);
int preselectSecond(const Document& doc, uint32_t topCode);

// The guidance text for an edit type ("\r\n" between lines), empty for types without one.
const char* editGuidance(int type);

}  // namespace tovala
