#include "engine/oline_list.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdio>

#include "engine/oline.h"
#include "engine/oline_connect.h"
#include "engine/param_splice.h"
#include "model/document.h"

namespace tovala {

namespace {

// The fixed entries of each panel method: kind and listing label by position.
struct Fixed {
  int32_t kind;
  const char* label;
};
constexpr std::array<Fixed, 4> kOffsetFixed{
    {{150, "point"}, {151, "基準点"}, {152, "符号"}, {153, "距離"}}};
constexpr std::array<Fixed, 12> kPolarFixed{{{150, "円"},
                                             {151, "基準点"},
                                             {152, "方向点"},
                                             {153, "符号点"},
                                             {155, "Rxy"},
                                             {155, "Rxz"},
                                             {155, "Ryz"},
                                             {155, "Ri"},
                                             {156, "θxy"},
                                             {156, "θxz"},
                                             {156, "θyz"},
                                             {156, "θi"}}};
constexpr std::array<Fixed, 5> kFrameFixed{
    {{150, "point"}, {151, "基準点"}, {152, "X"}, {152, "Y"}, {152, "Z"}}};
constexpr std::array<Fixed, 1> kConnectFixed{{{180, "接続"}}};

std::span<const Fixed> fixedEntries(int method) {
  switch (method) {
    case 0: return kOffsetFixed;
    case 1: return kPolarFixed;
    case 2: return kFrameFixed;
    case 3: return kConnectFixed;
    default: return {};
  }
}

// "%8s" as the panel pads it: by the label's width in Shift-JIS bytes (two per Japanese
// character), so the columns line up as they do in the list box.
std::string padded(std::string_view label) {
  int width = 0;
  for (size_t i = 0; i < label.size(); ++i) {
    const auto c = static_cast<unsigned char>(label[i]);
    if (c < 0x80)
      ++width;
    else if ((c & 0xC0) != 0x80)
      width += 2;  // the first byte of a UTF-8 sequence
  }
  return std::string(size_t(std::max(0, 8 - width)), ' ') + std::string(label);
}

enum class Shape { Hex, Float, Ref, RefAxis, Range };

std::string listingLine(int method, size_t index, const OLineItem& item) {
  const ParamEntry& e = item.entry;
  const auto fixed = fixedEntries(method);
  std::string label;
  Shape shape = item.hex ? Shape::Hex : Shape::Float;
  if (index < fixed.size()) {
    label = fixed[index].label;
    if (index > 0 && item.hex) shape = method == 2 ? Shape::Ref : Shape::RefAxis;
  } else if (method == 3 && e.key == kOLineGroupKey) {
    // The listing names only the must-not-cross test a condition; every other entry of a
    // group, the targets and the further tests alike, shows as a connection point.
    label = e.sub == kMustNotCross ? "接続条件" : "接続点";
    if (e.sub == kMustNotCross || e.sub == kMustCross || e.sub == kConnectToLine)
      shape = Shape::Range;
    else if (item.hex)
      shape = Shape::RefAxis;
  }
  const std::string l = padded(label);
  const uint32_t v = e.value;
  const int line = int(v >> 16), point = int((v >> 8) & 0xFF), axis = int(v & 0xFF);
  const char* const lc = l.c_str();
  char buf[128];
  switch (shape) {
    case Shape::Hex: std::snprintf(buf, sizeof buf, "%s:%3d,%3d,%08x", lc, e.key, e.sub, v); break;
    case Shape::Float:
      std::snprintf(buf, sizeof buf, "%s:%3d,%3d,%4.4f", lc, e.key, e.sub, double(e.asFloat()));
      break;
    case Shape::Ref:
      std::snprintf(buf, sizeof buf, "%s:%3d,%3d,L:%04d P:%03d", lc, e.key, e.sub, line, point);
      break;
    case Shape::RefAxis:
      std::snprintf(buf, sizeof buf, "%s:%3d,%3d,L:%04d P:%03d,A%02d", lc, e.key, e.sub, line,
                    point, axis);
      break;
    case Shape::Range:
      std::snprintf(buf, sizeof buf, "%s:%3d,%3d,L:%04d S:%03d E:%03d", lc, e.key, e.sub, line,
                    point, axis);
      break;
  }
  return buf;
}

void normalizeKinds(OLineWork& work) {
  const auto fixed = fixedEntries(work.method);
  for (size_t i = 0; i < fixed.size() && i < work.items.size(); ++i)
    work.items[i].entry.key = fixed[i].kind;
}

OLineItem makeItem(int method, int32_t k, int32_t n, uint32_t bits) {
  return {ParamEntry{k, n, bits}, oLineHexEntry(method, k, n)};
}

bool validIndex(const OLineWork& work, int index) {
  return index >= 0 && index < int(work.items.size());
}

}  // namespace

bool oLineHexEntry(int method, int32_t k, int32_t n) {
  if (k == kOLineMethodKey || k == kOLineRunKey || k == kOLineConnectKey) return true;
  if (k == kOLineGroupKey) return n < kMinDistance || n > kMaxSine;
  if (method == 0) return k == 151 || k == 152;  // 153 is the distance
  if (method == 1) return k >= 151 && k <= 153;
  if (method == 2) return k == 151;
  return false;
}

void setOLineMethod(OLineWork& work, int method) {
  if (method < 0 || method >= kOLinePanelMethods) return;
  work.method = method;
  work.items.clear();
  auto put = [&](int32_t k, int32_t n, uint32_t bits) {
    work.items.push_back(makeItem(method, k, n, bits));
  };
  const uint32_t one = std::bit_cast<uint32_t>(1.0f);
  switch (method) {
    case 0:
      put(150, 0, kOffsetMethod);
      for (int32_t k : {151, 152, 153}) put(k, 0, 0);
      break;
    case 1:
      put(150, 0, kPolarMethod);
      for (int32_t k : {151, 152, 153}) put(k, 0, 0);
      for (int32_t k : {155, 156}) {
        for (int i = 0; i < 3; ++i) put(k, 0, 0);
        put(k, 0, one);
      }
      break;
    case 2:
      put(150, 0, kFrameMethod);
      put(151, 0, 0);
      for (int i = 0; i < 3; ++i) put(152, 0, 0);
      break;
    default:
      put(kOLineConnectKey, 0, 0);
      put(kOLineGroupKey, kConnectToPoint, 0);
      break;
  }
}

int loadOLineWork(const Document& doc, int line, int point, OLineWork& work) {
  if (doc.isValidPick(line, point) != 1) return -1;
  const ParamList& list = doc.lines[size_t(line)].points[size_t(point)].params;
  const int run = findParam(list, kOLineRunKey);
  const int connect = findParam(list, kOLineConnectKey);

  OLineWork out;
  out.method = work.method;
  int first = -1;
  int32_t lastKind = 0;
  if (connect >= 0 && (run < 0 || work.method == 3)) {
    out.method = 3;
    first = connect;
    lastKind = kOLineGroupKey;
  } else if (run >= 0) {
    const int32_t m = methodCode(list[size_t(run)]);
    out.method = m == kPolarMethod ? 1 : m == kFrameMethod ? 2 : 0;
    first = run;
    lastKind = kOLineConnectKey - 1;
  }
  if (first < 0) {
    setOLineMethod(out, std::clamp(out.method, 0, kOLinePanelMethods - 1));
  } else {
    for (size_t i = size_t(first); i < list.size() && list[i].key <= lastKind; ++i)
      out.items.push_back({list[i], oLineHexEntry(out.method, list[i].key, list[i].sub)});
  }
  work = std::move(out);
  return 1;
}

std::vector<std::string> oLineListing(OLineWork& work) {
  normalizeKinds(work);
  std::vector<std::string> out;
  out.reserve(work.items.size());
  for (size_t i = 0; i < work.items.size(); ++i)
    out.push_back(listingLine(work.method, i, work.items[i]));
  return out;
}

bool parseOLineValue(std::string_view text, bool hex, uint32_t& bits) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (hex) {
    if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
    if (text.empty() || text.size() > 8) return false;
    uint32_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 16);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    bits = v;
    return true;
  }
  if (text.starts_with("+")) text.remove_prefix(1);
  float f = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), f);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return false;
  bits = std::bit_cast<uint32_t>(f);
  return true;
}

std::string formatOLineValue(const OLineItem& item) {
  char buf[64];
  if (item.hex)
    std::snprintf(buf, sizeof buf, "%08x", item.entry.value);
  else
    std::snprintf(buf, sizeof buf, "%4.4f", double(item.entry.asFloat()));
  return buf;
}

bool replaceOLineItem(OLineWork& work, int index, int32_t k, int32_t n, std::string_view f) {
  if (!validIndex(work, index)) return false;
  OLineItem& item = work.items[size_t(index)];
  uint32_t bits = 0;
  if (!parseOLineValue(f, item.hex, bits)) return false;
  item.entry = {k, n, bits};
  return true;
}

bool insertOLineItem(OLineWork& work, int index, int32_t k, int32_t n, std::string_view f) {
  if (index < 0 || index > int(work.items.size()) || int(work.items.size()) >= kOLineWorkLimit)
    return false;
  const bool hex = oLineHexEntry(work.method, k, n);
  uint32_t bits = 0;
  if (!parseOLineValue(f, hex, bits)) return false;
  work.items.insert(work.items.begin() + index, OLineItem{ParamEntry{k, n, bits}, hex});
  return true;
}

bool addOLineItem(OLineWork& work, int32_t k, int32_t n, std::string_view f) {
  return insertOLineItem(work, int(work.items.size()), k, n, f);
}

bool deleteOLineItem(OLineWork& work, int index) {
  if (!validIndex(work, index)) return false;
  work.items.erase(work.items.begin() + index);
  return true;
}

int commitOLineWork(Document& doc, int line, int point, const OLineWork& work) {
  if (doc.isValidPick(line, point) != 1) return -1;
  OLineWork normal = work;
  normalizeKinds(normal);
  std::vector<ParamEntry> entries;
  for (const OLineItem& item : normal.items)
    if (item.entry.key != kParamSentinelKey) entries.push_back(item.entry);
  if (entries.empty()) return -1;
  // A list edited by hand may be out of order; the point's list must stay sorted.
  std::stable_sort(entries.begin(), entries.end(),
                   [](const ParamEntry& a, const ParamEntry& b) { return a.key < b.key; });
  LineRecord& l = doc.lines[size_t(line)];
  replaceKindRange(l.points[size_t(point)], entries.front().key, entries.back().key, entries);
  const ParamEntry byPoint = ParamEntry::ofInt(kOLineMethodKey, 0, kOLinePointByPoint);
  replaceKindRange(l, kOLineMethodKey, kOLineMethodKey, std::span<const ParamEntry>(&byPoint, 1));
  return 1;
}

}  // namespace tovala
