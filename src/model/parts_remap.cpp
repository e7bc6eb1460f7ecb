#include "model/parts_remap.h"

#include <algorithm>
#include <initializer_list>

#include "model/document.h"

namespace tovala {
namespace {

constexpr int32_t kCoRotationKey = 20;
constexpr int32_t kMethodKey = 100;     // CLine blocks, OLine drawing method, face part
constexpr int32_t kFirstPartKey = 102;  // first reference entry of a face or hair line
constexpr int32_t kPointMethodKey = 150;
constexpr int32_t kConnectionKey = 181;
constexpr int32_t kCallFlag = 0x20;

// The entry with `key`, scanning the ascending keys; -1 when there is none.
int findEntry(const ParamList& params, int32_t key) {
  for (size_t i = 0; i < params.size(); ++i) {
    if (params[i].key == key) return int(i);
    if (params[i].key > key) break;
  }
  return -1;
}

// Drawing-method codes, compared whether the entry holds them as integers or as floats.
bool holdsCode(const ParamEntry& e, int32_t code) {
  return e.asInt() == code || e.asFloat() == float(code);
}

// Keys 20, and c * 100 + 1 and c * 100 + 4 for the hit blocks c = 1 .. 9: joint point references.
bool isJointReferenceKey(int32_t key) {
  if (key == kCoRotationKey) return true;
  const int32_t block = key / 100, rest = key % 100;
  return key > 0 && block >= 1 && block <= 9 && (rest == 1 || rest == 4);
}

// Argument entries of the built-in calls whose arguments are line ranges.
int rangeArguments(uint32_t function) {
  switch (function) {
    case 0x0202002C:
    case 0x02020029: return 4;
    case 0x0202002A:
    case 0x0202002B: return 10;
    case 0x02020015:
    case 0x02020016: return 2;
    case 0x02020010:
    case 0x02020011:
    case 0x02020012:
    case 0x02020013:
    case 0x02020017:
    case 0x02020018:
    case 0x02020019:
    case 0x02020024:
    case 0x02020025:
    case 0x02020027: return 1;
    default: return 0;
  }
}

// Face lines: the position after entry 102 of the first of the two references a face part
// holds (the second follows it); -1 for parts without references.
int faceReferenceOffset(int32_t part) {
  switch (part) {
    case 319: return 9;
    case 323: return 7;
    case 324: return 6;
    case 327:
    case 328: return 0;
    case 333: return 12;
    default: return -1;
  }
}

}  // namespace

PartsRemap::Found PartsRemap::resolve(int32_t d, bool byNumber, int& line) const {
  if (d < 0 || size_t(d) >= table_.size()) return Found::Outside;
  int target = table_[size_t(d)].newIndex;
  if (target < 0 && byNumber) {
    // findLineByNumber gives a position in the line order; the line is the entry there.
    const int pos = doc_.findLineByNumber(table_[size_t(d)].nam);
    target = pos >= 0 ? doc_.lineOrder[size_t(pos)] : -1;
  }
  if (doc_.isValidLine(target)) {
    line = target;
    return Found::Line;
  }
  if (!byNumber) return Found::None;
  line = 0;
  return Found::Line;
}

uint32_t PartsRemap::rewrite(uint32_t v, bool range, bool clampLast) const {
  int line = 0;
  if (resolve(int32_t(v) >> 16, true, line) != Found::Line) return v;
  const uint32_t head = uint32_t(line) << 16;
  if (!range) {
    const uint32_t point = v & 0xFFFF;
    return head | (doc_.isValidPick(line, int(point)) == 1 ? point : 0);
  }
  uint32_t first = (v >> 8) & 0xFF, last = v & 0xFF;
  if (doc_.isValidPick(line, int(first)) != 1) first = 0;
  if (clampLast && doc_.isValidPick(line, int(last)) != 1)
    last = uint32_t(std::max(0, doc_.pointCount(line) - 2));
  return head | (first << 8) | last;
}

uint32_t PartsRemap::pointRef(uint32_t v) const { return rewrite(v, false, false); }
uint32_t PartsRemap::rangeRef(uint32_t v) const { return rewrite(v, true, false); }
uint32_t PartsRemap::clampedRangeRef(uint32_t v) const { return rewrite(v, true, true); }

void PartsRemap::remapDecorative(LineRecord& l) const {
  auto rangeAt = [this](ParamList& params, std::initializer_list<int32_t> keys) {
    for (int32_t key : keys)
      if (int at = findEntry(params, key); at >= 0)
        params[size_t(at)].value = rangeRef(params[size_t(at)].value);
  };
  const int method = findEntry(l.params, kMethodKey);
  const size_t realPoints = l.points.empty() ? 0 : l.points.size() - 1;
  if (method >= 0) {
    const ParamEntry& e = l.params[size_t(method)];
    if (holdsCode(e, 2)) {
      rangeAt(l.params, {101, 102});
    } else if (holdsCode(e, 181)) {
      rangeAt(l.params, {101, 102, 103});
    } else if (holdsCode(e, 0)) {
      for (size_t i = 0; i < realPoints; ++i) {
        ParamList& params = l.points[i].params;
        const int at = findEntry(params, kPointMethodKey);
        if (at < 0) return;  // a point without a method ends the rewriting of the line
        const ParamEntry& m = params[size_t(at)];
        if (holdsCode(m, 100))
          rangeAt(params, {151, 152});
        else if (holdsCode(m, 200) || holdsCode(m, 400))
          rangeAt(params, {151, 152, 153});
        else if (holdsCode(m, 300))
          rangeAt(params, {151});
      }
    }
  }
  for (size_t i = 0; i < realPoints; ++i) {
    ParamList& params = l.points[i].params;
    const int start = findEntry(params, kConnectionKey);
    if (start < 0) continue;
    for (size_t j = size_t(start); j < params.size() && params[j].key == kConnectionKey; ++j) {
      ParamEntry& e = params[j];
      if (e.sub == 101 || e.sub == 102)
        e.value = clampedRangeRef(e.value);
      else if (e.sub == 11 || e.sub == 12 || (e.sub >= 110 && e.sub <= 112))
        e.value = rangeRef(e.value);
    }
  }
}

void PartsRemap::remapFacePart(LineRecord& l) const {
  ParamList& params = l.params;
  const int method = findEntry(params, kMethodKey);
  const int first = findEntry(params, kFirstPartKey);
  if (method < 0 || first < 0) return;
  // A face part's two references, rewritten only when both entries exist (the sentinel is
  // not an entry). Hair lines (category 12) from part 334 on hold theirs at 5 and 6.
  const int offset = l.category == 11 ? faceReferenceOffset(params[size_t(method)].asInt())
                     : params[size_t(method)].value >= 334 ? 5
                                                           : -1;
  if (offset < 0 || size_t(first + offset) + 2 >= params.size()) return;
  for (size_t at : {size_t(first + offset), size_t(first + offset) + 1})
    params[at].value = rangeRef(params[at].value);
}

void PartsRemap::remapCode(CodeList& code) const {
  for (size_t i = 0; i < code.size(); ++i) {
    if ((code[i].flag & 0xFF) != kCallFlag) continue;
    const int args = rangeArguments(code[i].code);
    for (size_t j = i + 1; j <= i + size_t(args) && j < code.size(); ++j) {
      if ((code[j].flag & 0xFF) == kCallFlag) break;
      code[j].code = rangeRef(code[j].code);
    }
  }
}

void PartsRemap::remapLine(LineRecord& l) const {
  if (l.kind == kJointLineKind) {
    for (PointRecord& p : l.points)
      for (ParamEntry& e : p.params)
        if (isJointReferenceKey(e.key)) e.value = pointRef(e.value);
  } else if (l.mode == 100) {
    for (ParamEntry& e : l.params) {
      const int32_t block = e.key / 100, rest = e.key % 100;
      if (e.key <= 0 || block < 1 || block > 9) continue;
      bool isRange = rest == 2 || rest == 3;
      if (rest == 4) {
        const int kind = findEntry(l.params, block * 100 + 1);
        isRange = kind >= 0 && (l.params[size_t(kind)].value & 0xFFFF) == 1;
      }
      if (isRange) e.value = rangeRef(e.value);
    }
  } else if (l.mode == 101) {
    remapDecorative(l);
  } else if (l.category == 11 || l.category == 12) {
    remapFacePart(l);
  }
  remapCode(l.code);
}

bool PartsRemap::remapObject(ObjectRecord& o) const {
  o.header[5] = int32_t(rangeRef(uint32_t(o.header[5])));
  const bool eye = (o.header[1] & 0xFF) == 2;
  if (o.c[0] < 0) return false;
  const size_t entries = eye ? 1 : o.c.size();
  for (size_t i = 0; i < entries && o.c[i] >= 0; ++i) {
    int line = 0;
    const Found found = resolve(o.c[i], false, line);
    if (found == Found::None) return false;
    if (found == Found::Outside) continue;
    o.c[i] = line;
    // The rule word: start point in the second-highest byte, end point in the second-lowest.
    uint32_t rule = uint32_t(o.d[i]);
    uint32_t start = (rule >> 16) & 0xFF, end = (rule >> 8) & 0xFF;
    if (doc_.isValidPick(line, int(start)) != 1) start = 0;
    if (doc_.isValidPick(line, int(end)) != 1)
      end = uint32_t(std::max(0, doc_.pointCount(line) - 2));
    rule = (rule & 0xFF0000FFu) | (start << 16) | (end << 8);
    o.d[i] = int32_t(rule);
  }
  return true;
}

}  // namespace tovala
