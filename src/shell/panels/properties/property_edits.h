#pragma once
// The property pages' two editors beyond single fields: the entry lists of the line and point
// pages (parameters "変数" and commands "命令", edited with "書換", "挿入" and "削除" through the
// "k", "n" and "f" edits) and the summary list of the document page, whose items are edited in
// the input box "入力" on a double click. Widget-free, so the rules can be checked directly.

#include <optional>
#include <string>
#include <vector>

#include "shell/panels/properties/property_fields.h"

namespace tovala {

// --- entry lists -----------------------------------------------------------------------------

enum class EntryList { Params, Code };
enum class ListAction { Replace, Insert, Delete };

// The list's item texts: parameters by key, commands by word, "%04d" / "%04x".
std::vector<std::string> entryItems(const Document& doc, PropertyTarget target, EntryList list,
                                    bool hex);

// The "k", "n" and "f" texts of an entry; k is empty for a command entry (its edit is off).
struct EntryTexts {
  std::string k, n, f;
};
std::optional<EntryTexts> entryTexts(const Document& doc, PropertyTarget target, EntryList list,
                                     int row, bool hex);

struct ListRequest {
  EntryList list = EntryList::Params;
  ListAction action = ListAction::Replace;
  int row = -1;  // the selected entry
  EntryTexts texts;
};

struct ListResult {
  WriteResult write;
  int row = -1;  // the entry to select afterwards
};

// Edits the selected line's (Line) or point's (Point) list. An f text equal to what the selected
// entry shows stands for that entry's own bits, so rewriting k or n keeps an integer value. Nothing
// happens without a valid selection or entry. The last entry is the list's end marker, which
// look-ups and files rely on: it is neither replaced nor deleted, though entries go in before it.
ListResult editEntryList(Document& doc, PropertyTarget target, const ListRequest& request, bool hex,
                         const BeforeWrite& before);

// --- the document page's summary list ----------------------------------------------------------

inline constexpr int kSummaryItems = 5;
enum SummaryItem { kSummaryWidth, kSummaryHeight, kSummaryBack, kSummaryOrder, kSummarySkin };

std::vector<std::string> summaryItems(const Document& doc);
// The prompt and the value the input box opens with; the drawing order has no input box.
bool summaryAsks(int item);
std::string summaryPrompt(int item);
std::string summaryValue(const Document& doc, int item);

// The messages the drawing order toggle shows.
inline constexpr const char* kDrawFromBack = "オブジェクトを後ろから重ねます。";
inline constexpr const char* kDrawFromFront = "オブジェクトを前から重ねます。";

struct SummaryResult {
  WriteResult write;
  std::string message;  // shown by the window after the change (the drawing order), or the
                        // refusal
};

// Applies an answer (ignored for the drawing order). Sizes are kept to 10 .. 10000 and colour
// components to 0 .. 255; an answer without a number, or a colour without all three, changes
// nothing, and a canvas size the project file cannot hold is refused with msg::kCanvasTooLarge.
SummaryResult editSummary(Document& doc, int item, const std::string& answer,
                          const BeforeWrite& before);

// --- one request of a page ---------------------------------------------------------------------

// What a page asks the window to write.
struct PropertyRequest {
  enum class Kind { Text, Choice, List, Summary } kind = Kind::Text;
  PropertyTarget target = PropertyTarget::Line;
  int id = 0;        // Text and Choice: the control; Summary: the item
  std::string text;  // Text: what was typed; Summary: the answer
  int choice = -1;   // Choice: the item, or the check state
  ListRequest list;  // List
  bool hex = false;  // the display the text was typed in
};

struct PropertyOutcome {
  WriteResult write;
  int row = -1;         // List: the entry to select afterwards
  std::string message;  // to show after the change
};

PropertyOutcome applyPropertyRequest(Document& doc, const PropertyRequest& request,
                                     const BeforeWrite& before);

}  // namespace tovala
