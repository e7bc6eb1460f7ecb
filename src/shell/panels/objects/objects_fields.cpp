#include "shell/panels/objects/objects_fields.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "engine/guide_geometry.h"
#include "engine/objects.h"
#include "engine/picking.h"
#include "model/document.h"

namespace tovala {

namespace {

constexpr int32_t kDrawTypes[] = {0, 1, 2, 256, 257, 258};
constexpr int32_t kModes[] = {kObjectModeNormal, kObjectModeFace, kObjectModeSeveralPlus,
                              kObjectModeSeveralMinus};
constexpr int kDrawTypeCount = int(std::size(kDrawTypes));
constexpr int kModeCount = int(std::size(kModes));
constexpr int kMirrorAxes = 3;  // axis tips 1..3 mirrored through the point are 4..6

std::string_view trimmed(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

std::optional<int> parseInt(std::string_view t) {
  t = trimmed(t);
  int v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return v;
}

std::optional<float> parseFloat(std::string_view t) {
  t = trimmed(t);
  float v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v))
    return std::nullopt;
  return v;
}

std::optional<uint32_t> parseHex(std::string_view t) {
  t = trimmed(t);
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) t.remove_prefix(2);
  uint32_t v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, 16);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return v;
}

template <class... Args>
std::string format(const char* f, Args... args) {
  char buf[64];
  std::snprintf(buf, sizeof buf, f, args...);
  return buf;
}

float asFloat(int32_t word) { return std::bit_cast<float>(word); }

}  // namespace

int drawTypeItem(int32_t drawType) {
  for (int i = 0; i < kDrawTypeCount; ++i)
    if (kDrawTypes[i] == drawType) return i;
  return 0;
}

int32_t drawTypeOfItem(int item) {
  return item >= 0 && item < kDrawTypeCount ? kDrawTypes[item] : kDrawTypes[0];
}

int modeItem(int32_t mode) {
  const int32_t low = mode & 0xFFFFFF;
  for (int i = 0; i < kModeCount; ++i)
    if (kModes[i] == low) return i;
  return 0;
}

int32_t modeWithItem(int32_t mode, int item) {
  const int32_t chosen = item >= 0 && item < kModeCount ? kModes[item] : kModes[0];
  return int32_t((uint32_t(mode) & 0xFF000000u) | uint32_t(chosen));
}

int integerValueCount(const ObjectRecord& o) {
  const int32_t low = o.header[kObjectMode] & 0xFFFFFF;
  if (low != kObjectModeSeveralPlus && low != kObjectModeSeveralMinus) return 0;
  return int(uint32_t(o.header[kObjectMode]) >> 24);
}

std::string numberText(const ObjectRecord& o) { return format("%04d", o.header[kObjectNumber]); }

std::string referenceText(int32_t ref) {
  return format("%04d,%03d,%03d", axisRefLine(ref), axisRefPoint(ref), axisRefAxis(ref));
}

std::string pieceRuleText(int32_t rule) {
  const PieceRange r = unpackPieceRule(rule);
  return format("%d,%d,%d,%d", r.a, r.b, r.c, r.d);
}

std::string firstValueText(const ObjectRecord& o, int i) {
  if (i < 0 || i >= kObjectFirstValues) return {};
  const int32_t w = o.a[size_t(i)];
  if (i < integerValueCount(o)) return format("%08x", uint32_t(w));
  return format("%f", double(asFloat(w)));
}

std::string secondValueText(const ObjectRecord& o, int i) {
  if (i < 0 || i >= kObjectSecondValues) return {};
  return format("%f", double(asFloat(o.b[size_t(i)])));
}

std::string depthText(const ObjectRecord& o) {
  return format("%4.4f", double(asFloat(o.header[kObjectDepth])));
}

std::string colourText(const ObjectRecord& o, int component) {
  if (component < 0 || component > 2) return {};
  return format("%03d", int((uint32_t(o.header[kObjectColour]) >> (8 * component)) & 0xFF));
}

bool applyObjectFields(ObjectRecord& o, const ObjectFields& f) {
  const std::optional<int> r = parseInt(f.red), g = parseInt(f.green), b = parseInt(f.blue);
  // An unchanged depth text keeps the exact value it shows rounded.
  const bool depthTyped = f.depth != depthText(o);
  const std::optional<float> depth =
      depthTyped ? parseFloat(f.depth) : std::optional<float>(asFloat(o.header[kObjectDepth]));
  for (const std::optional<int>& c : {r, g, b})
    if (!c || *c < 0 || *c > 255) return false;
  if (!depth) return false;
  o.header[kObjectDrawType] = drawTypeOfItem(f.drawTypeItem);
  o.header[kObjectMode] = modeWithItem(o.header[kObjectMode], f.modeItem);
  // The fourth byte of the colour word is kept.
  const uint32_t extra = uint32_t(o.header[kObjectColour]) & 0xFF000000u;
  o.header[kObjectColour] = int32_t(extra | uint32_t(*r) | uint32_t(*g) << 8 | uint32_t(*b) << 16);
  o.header[kObjectDepth] = std::bit_cast<int32_t>(*depth);
  if (f.name != objectName(o)) setObjectName(o, f.name);
  return true;
}

bool replaceObjectColour(ObjectRecord& o, uint32_t bgr) {
  if (bgr > 0xFFFFFFu) return false;
  o.header[kObjectColour] = int32_t((uint32_t(o.header[kObjectColour]) & 0xFF000000u) | bgr);
  return true;
}

bool setFirstValue(ObjectRecord& o, int i, std::string_view text) {
  if (i < 0 || i >= kObjectFirstValues) return false;
  if (i < integerValueCount(o)) {
    const std::optional<uint32_t> v = parseHex(text);
    if (!v) return false;
    o.a[size_t(i)] = int32_t(*v);
    return true;
  }
  const std::optional<float> v = parseFloat(text);
  if (!v) return false;
  o.a[size_t(i)] = std::bit_cast<int32_t>(*v);
  return true;
}

bool setSecondValue(ObjectRecord& o, int i, std::string_view text) {
  if (i < 0 || i >= kObjectSecondValues) return false;
  const std::optional<float> v = parseFloat(text);
  if (!v) return false;
  o.b[size_t(i)] = std::bit_cast<int32_t>(*v);
  return true;
}

bool pickForObjects(const Document& doc, int state, int x, int y, ObjectsPick& pick) {
  switch (state) {
    case kObjectsPickPiece: {
      const PointPick p = pickAnyPoint(doc, x, y, kPickAnyPoint);
      if (!p.found()) return false;
      if (p.line == pick.line && pick.first >= 0) {
        pick.last = p.point;
      } else {
        pick.line = p.line;
        pick.first = pick.last = p.point;
      }
      return true;
    }
    case kObjectsPickPoint:
    case kObjectsPickUnit:
    case kObjectsPickMirrored: {
      const bool tip = state != kObjectsPickPoint;
      const PointPick p = pickAnyPoint(doc, x, y, tip ? kPickJointAxes : kPickAnyPoint);
      if (!p.found() || (tip && p.axis < 1)) return false;
      const int axis = !tip ? 0 : state == kObjectsPickMirrored ? p.axis + kMirrorAxes : p.axis;
      pick.reference = packAxisRef(p.line, p.point, axis);
      return true;
    }
    default: return false;
  }
}

std::vector<PickedPoint> pickedPoints(const Document& doc, const ObjectsPick& pick) {
  std::vector<PickedPoint> out;
  auto add = [&](int line, int point) {
    if (doc.isValidPick(line, point) < 0) return;
    for (const PickedPoint& p : out)
      if (p.line == line && p.point == point) return;
    out.push_back({line, point});
  };
  add(pick.line, pick.first);
  add(pick.line, pick.last);
  if (pick.reference >= 0) add(axisRefLine(pick.reference), axisRefPoint(pick.reference));
  return out;
}

}  // namespace tovala
