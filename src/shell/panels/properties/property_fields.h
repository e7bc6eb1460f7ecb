#pragma once
// The property pages' fields without their widgets: which record field each control shows, the
// text it shows (decimal or hexadecimal integers, fixed-point reals), how typed text reads back,
// and what a change writes. The pages only show these texts and pass typed text on; the window
// runs the writes with its undo step.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovala {

class Document;

// The page a control belongs to: control ids repeat between pages.
enum class PropertyTarget { Line, Point, Document };

enum class FieldKind {
  Shown,  // an integer shown only
  Int,    // an integer, decimal or hexadecimal
  Byte,   // one byte of a colour word; the rest of the word is kept
  Real,   // a float or double, always decimal
  Combo,  // an integer chosen from items
  Check,  // 0 or 1
};

struct ComboItem {
  const char* text;
  int value;
};

struct FieldDef {
  int id = 0;
  FieldKind kind = FieldKind::Shown;
  const char* format = "%4.2f";       // reals
  std::vector<ComboItem> items = {};  // combos
  int fallback = -1;                  // the item shown for a value no item has (-1 none)
};

// The definition of a control, or nullptr when the page has no such field.
const FieldDef* findField(PropertyTarget target, int id);

// Action codes a page notifies with; the container's own codes are 101 and 102.
inline constexpr int kPropertyWrite = 110;

// What a write asks the window to do besides redrawing.
enum class WriteNotice { None = 0, UndoKind = 101, Canvas = 102 };

struct WriteResult {
  bool changed = false;
  WriteNotice notice = WriteNotice::None;
  const char* refusal = nullptr;  // why nothing changed, to be shown (a canvas too large to save)
};

// Runs once a write is known to change something, before the change; the notice tells the
// window whether this is the "戻す切替" change, which starts the undo rings again instead.
using BeforeWrite = std::function<void(WriteNotice)>;

// Stores `value` into `field` when it differs, running `before` first.
template <class T>
WriteResult storeIfChanged(T& field, T value, WriteNotice notice, const BeforeWrite& before) {
  if (field == value) return {};
  if (before) before(notice);
  field = value;
  return {true, notice};
}

// --- texts -----------------------------------------------------------------------------------
// Integers "%d", or "%04x" of their bits in hexadecimal display.
std::string showInt(int32_t value, bool hex);
// List items "%04d" / "%04x".
std::string showItem(int32_t value, bool hex);
// The f value of a parameter or command entry: its bits as a float "%4.4f", or "%08x".
std::string showBits(uint32_t bits, bool hex);
// Reads like the C conversions: blanks skipped, the longest number at the start taken, 0 when
// there is none. Hexadecimal takes an optional "0x" and at most eight digits (the bits of the
// value, so "ffffffff" reads -1); a decimal value beyond the int range reads 0.
int32_t readInt(std::string_view text, bool hex);
// The same, but nothing when the text does not start with a number.
std::optional<int32_t> readIntIfAny(std::string_view text, bool hex);
// A decimal real the same way (never hexadecimal); infinities and NaN read 0.
double readReal(std::string_view text);
// The bits an entry's f edit gives: a float's bits, or the hexadecimal bits themselves.
uint32_t readBits(std::string_view text, bool hex);

// --- fields ----------------------------------------------------------------------------------
// The text the control shows for the selected line, point or the document; "" when the
// selection is not a valid line and point (line and point pages) or the control is a combo or
// check box (see fieldChoice).
std::string fieldText(const Document& doc, PropertyTarget target, int id, bool hex);
// The item (combos) or 0/1 (checks) the control shows; -1 for none.
int fieldChoice(const Document& doc, PropertyTarget target, int id);

// Writes typed text (edits) into the field. A selection that is not a valid line and point, a
// control that is not editable, or text that gives the stored value already changes nothing.
// A canvas side is kept to 10 .. 10000, and a size the project file cannot hold is refused
// with msg::kCanvasTooLarge.
WriteResult writeFieldText(Document& doc, PropertyTarget target, int id, std::string_view text,
                           bool hex, const BeforeWrite& before);
// Writes a combo item or a check state (0 or 1) the same way.
WriteResult writeFieldChoice(Document& doc, PropertyTarget target, int id, int choice,
                             const BeforeWrite& before);

}  // namespace tovala
