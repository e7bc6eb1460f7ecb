#include "shell/panels/properties/property_edits.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <string_view>

#include "model/document.h"
#include "model/messages.h"
#include "shell/panels/row_list.h"
#include "shell/panels/dialogs/size_dialog.h"  // the canvas side limits, canvasFits

namespace tovala {

namespace {

// The list a request works on; nullptr without a valid selection or for the point's commands,
// which the point page shows but does not edit.
template <class Doc>
auto* paramsOf(Doc& doc, PropertyTarget target) {
  using List = std::conditional_t<std::is_const_v<Doc>, const ParamList, ParamList>;
  List* list = nullptr;
  if (doc.isValidPick(doc.curLine, doc.curPoint) != 1) return list;
  auto& line = doc.lines[size_t(doc.curLine)];
  if (target == PropertyTarget::Line) list = &line.params;
  if (target == PropertyTarget::Point) list = &line.points[size_t(doc.curPoint)].params;
  return list;
}

template <class Doc>
auto* codeOf(Doc& doc, PropertyTarget target) {
  using List = std::conditional_t<std::is_const_v<Doc>, const CodeList, CodeList>;
  List* list = nullptr;
  if (doc.isValidPick(doc.curLine, doc.curPoint) != 1) return list;
  auto& line = doc.lines[size_t(doc.curLine)];
  if (target == PropertyTarget::Line) list = &line.code;
  if (target == PropertyTarget::Point) list = &line.points[size_t(doc.curPoint)].code;
  return list;
}

// One list edit on a copy: the selected entry must exist, and the end marker (the last entry)
// stays where it is and as it is.
template <class T>
ListResult editCopy(std::vector<T>& list, ListAction action, int row, const T& entry,
                    int32_t& changedFlag, const BeforeWrite& before) {
  RowList<T> edit{list, row};
  const bool marker = row == int(list.size()) - 1;
  bool done = false;
  switch (action) {
    case ListAction::Replace: done = !marker && edit.rewrite(entry); break;
    case ListAction::Insert: done = edit.insertBefore(entry); break;
    case ListAction::Delete: done = !marker && edit.remove(); break;
  }
  if (!done || edit.rows == list) return {{}, row};
  if (before) before(WriteNotice::None);
  list = std::move(edit.rows);
  changedFlag = 1;
  return {{true, WriteNotice::None}, edit.selected};
}

// A decimal number at the start of `s` (blanks and a sign allowed), as scanf reads one; `s`
// moves past it. Large values saturate, as every caller clamps them.
std::optional<int64_t> leadingNumber(std::string_view& s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || !std::isdigit(static_cast<unsigned char>(s.front()))) return {};
  int64_t value = 0;
  while (!s.empty() && std::isdigit(static_cast<unsigned char>(s.front()))) {
    value = std::min<int64_t>(value * 10 + (s.front() - '0'), int64_t(1) << 40);
    s.remove_prefix(1);
  }
  return negative ? -value : value;
}

// "R,G,B" as "%d,%d,%d" reads it, each clamped to a byte; nothing unless all three are there.
std::optional<uint32_t> readColour(std::string_view s) {
  uint32_t colour = 0;
  for (int i = 0; i < 3; ++i) {
    if (i > 0) {
      if (s.empty() || s.front() != ',') return {};
      s.remove_prefix(1);
    }
    const auto v = leadingNumber(s);
    if (!v) return {};
    colour |= uint32_t(std::clamp<int64_t>(*v, 0, 255)) << (8 * i);
  }
  return colour;
}

std::string colourText(const char* format, uint32_t c) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, int(c & 0xFF), int((c >> 8) & 0xFF),
                int((c >> 16) & 0xFF));
  return buf;
}

}  // namespace

// --- entry lists -----------------------------------------------------------------------------

std::vector<std::string> entryItems(const Document& doc, PropertyTarget target, EntryList list,
                                    bool hex) {
  std::vector<std::string> items;
  if (list == EntryList::Params) {
    if (const ParamList* p = paramsOf(doc, target))
      for (const ParamEntry& e : *p) items.push_back(showItem(e.key, hex));
  } else if (const CodeList* c = codeOf(doc, target)) {
    for (const CodeEntry& e : *c) items.push_back(showItem(e.asInt(), hex));
  }
  return items;
}

std::optional<EntryTexts> entryTexts(const Document& doc, PropertyTarget target, EntryList list,
                                     int row, bool hex) {
  if (list == EntryList::Params) {
    const ParamList* p = paramsOf(doc, target);
    if (!p || row < 0 || row >= int(p->size())) return {};
    const ParamEntry& e = (*p)[size_t(row)];
    return EntryTexts{showInt(e.key, hex), showInt(e.sub, hex), showBits(e.value, hex)};
  }
  const CodeList* c = codeOf(doc, target);
  if (!c || row < 0 || row >= int(c->size())) return {};
  const CodeEntry& e = (*c)[size_t(row)];
  return EntryTexts{"", showInt(e.flag & 0xFF, hex), showBits(e.code, hex)};
}

ListResult editEntryList(Document& doc, PropertyTarget target, const ListRequest& request, bool hex,
                         const BeforeWrite& before) {
  // Only the line's commands are edited.
  const bool editable = target == PropertyTarget::Line ||
                        (target == PropertyTarget::Point && request.list == EntryList::Params);
  if (doc.isValidPick(doc.curLine, doc.curPoint) != 1 || !editable) return {{}, request.row};
  LineRecord& line = doc.lines[size_t(doc.curLine)];
  uint32_t bits = readBits(request.texts.f, hex);
  // An f left as the selected entry shows it keeps that entry's bits: "%4.4f" shows integer
  // values (references, command words) as 0.0000, and reading that back would lose them.
  const auto shown = entryTexts(doc, target, request.list, request.row, hex);
  if (shown && shown->f == request.texts.f) {
    const size_t row = size_t(request.row);
    if (request.list == EntryList::Code)
      bits = line.code[row].code;
    else if (target == PropertyTarget::Line)
      bits = line.params[row].value;
    else
      bits = line.points[size_t(doc.curPoint)].params[row].value;
  }
  if (request.list == EntryList::Params) {
    const ParamEntry e{readInt(request.texts.k, hex), readInt(request.texts.n, hex), bits};
    if (target == PropertyTarget::Line)
      return editCopy(line.params, request.action, request.row, e, line.paramChanged, before);
    PointRecord& p = line.points[size_t(doc.curPoint)];
    return editCopy(p.params, request.action, request.row, e, p.paramChanged, before);
  }
  // The flag is one byte.
  const CodeEntry e{readInt(request.texts.n, hex) & 0xFF, bits};
  return editCopy(line.code, request.action, request.row, e, line.codeChanged, before);
}

// --- the summary list ----------------------------------------------------------------------------

std::vector<std::string> summaryItems(const Document& doc) {
  return {"画像幅:" + std::to_string(doc.imageWidth), "画像高:" + std::to_string(doc.imageHeight),
          colourText("背景色:(R %d,G %d,B %d)", doc.backColor),
          doc.frontToBack == 1 ? "前から描画:" : "後ろから描画:",
          colourText("肌色:(R %d,G %d,B %d)", doc.skinColor)};
}

bool summaryAsks(int item) { return item >= 0 && item < kSummaryItems && item != kSummaryOrder; }

std::string summaryPrompt(int item) {
  switch (item) {
    case kSummaryWidth: return "画像の幅";
    case kSummaryHeight: return "画像の高さ";
    case kSummaryBack: return "背景の色";
    case kSummarySkin: return "肌の色";
    default: return {};
  }
}

std::string summaryValue(const Document& doc, int item) {
  switch (item) {
    case kSummaryWidth: return std::to_string(doc.imageWidth);
    case kSummaryHeight: return std::to_string(doc.imageHeight);
    case kSummaryBack: return colourText("%d,%d,%d", doc.backColor);
    case kSummarySkin: return colourText("%d,%d,%d", doc.skinColor);
    default: return {};
  }
}

SummaryResult editSummary(Document& doc, int item, const std::string& answer,
                          const BeforeWrite& before) {
  std::string_view text = answer;
  switch (item) {
    case kSummaryWidth:
    case kSummaryHeight: {
      const auto v = leadingNumber(text);
      if (!v) return {};
      const auto side = int32_t(std::clamp<int64_t>(*v, kMinCanvasSide, kMaxCanvasSide));
      const bool width = item == kSummaryWidth;
      if (!canvasFits(width ? side : doc.imageWidth, width ? doc.imageHeight : side))
        return {{}, msg::kCanvasTooLarge};
      int32_t& field = width ? doc.imageWidth : doc.imageHeight;
      return {storeIfChanged(field, side, WriteNotice::Canvas, before), {}};
    }
    case kSummaryBack:
    case kSummarySkin: {
      const auto colour = readColour(text);
      if (!colour) return {};
      if (item == kSummaryBack)
        return {storeIfChanged(doc.backColor, *colour, WriteNotice::Canvas, before), {}};
      return {storeIfChanged(doc.skinColor, *colour, WriteNotice::None, before), {}};
    }
    case kSummaryOrder: {
      const bool fromFront = doc.frontToBack == 1;
      const WriteResult w =
          storeIfChanged(doc.frontToBack, fromFront ? 0 : 1, WriteNotice::None, before);
      return {w, fromFront ? kDrawFromBack : kDrawFromFront};
    }
    default: return {};
  }
}

// --- one request ---------------------------------------------------------------------------------

PropertyOutcome applyPropertyRequest(Document& doc, const PropertyRequest& r,
                                     const BeforeWrite& before) {
  switch (r.kind) {
    case PropertyRequest::Kind::Text: {
      const WriteResult w = writeFieldText(doc, r.target, r.id, r.text, r.hex, before);
      return {w, -1, w.refusal ? w.refusal : ""};
    }
    case PropertyRequest::Kind::Choice:
      return {writeFieldChoice(doc, r.target, r.id, r.choice, before), -1, {}};
    case PropertyRequest::Kind::List: {
      const ListResult l = editEntryList(doc, r.target, r.list, r.hex, before);
      return {l.write, l.row, {}};
    }
    case PropertyRequest::Kind::Summary: {
      SummaryResult s = editSummary(doc, r.id, r.text, before);
      return {s.write, -1, std::move(s.message)};
    }
  }
  return {};
}

}  // namespace tovala
