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
constexpr int32_t kSeveralPointsPlus = 0x000100;  // object modes (low 24 bits of header 3)
constexpr int32_t kSeveralPointsMinus = 0x010100;

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

// The references a joint point holds: key 20 (a co-rotating point) and B + 1 of the hit blocks
// B = 100 .. 900 (the partner) are line << 16 | point; B + 4 (the direction) is a point with its
// axis, line << 16 | point << 8 | axis, whose axis must survive the merge.
enum class JointRef { None, Point, Axis };
JointRef jointReference(int32_t key) {
  if (key == kCoRotationKey) return JointRef::Point;
  const int32_t block = key / 100, rest = key % 100;
  if (key <= 0 || block < 1 || block > 9) return JointRef::None;
  return rest == 1 ? JointRef::Point : rest == 4 ? JointRef::Axis : JointRef::None;
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

// Face lines: where the point references of a face part's key-102 run sit (the run's slots,
// counted from entry 102), and how many follow one another there: the upper and lower
// connection points of the nose, the ears, the head lines and the other parts, and the left
// contour's nose-bridge point. {-1, 0} for parts without references.
struct FaceRefs {
  int offset, count;
};
FaceRefs faceReferences(int32_t part) {
  switch (part) {
    case 319: return {9, 2};
    case 322: return {9, 1};
    case 323: return {7, 2};
    case 324: return {6, 2};
    case 327:
    case 328: return {0, 2};
    case 333: return {12, 2};
    default: return {-1, 0};
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
// A point with its axis (or a connecting line's anchor) packs like a range whose `last` is the
// axis: the point in the second byte, the axis kept whatever it is.
uint32_t PartsRemap::axisRef(uint32_t v) const { return rewrite(v, true, false); }
uint32_t PartsRemap::rangeRef(uint32_t v) const { return rewrite(v, true, false); }
uint32_t PartsRemap::clampedRangeRef(uint32_t v) const { return rewrite(v, true, true); }

void PartsRemap::remapDecorative(LineRecord& l) const {
  // Every reference of the placements is a point with its axis.
  auto axisAt = [this](ParamList& params, std::initializer_list<int32_t> keys) {
    for (int32_t key : keys)
      if (int at = findEntry(params, key); at >= 0)
        params[size_t(at)].value = axisRef(params[size_t(at)].value);
  };
  const int method = findEntry(l.params, kMethodKey);
  const size_t realPoints = l.points.empty() ? 0 : l.points.size() - 1;
  if (method >= 0) {
    const ParamEntry& e = l.params[size_t(method)];
    if (holdsCode(e, 2)) {
      axisAt(l.params, {101, 102});
    } else if (holdsCode(e, 181)) {
      axisAt(l.params, {101, 102, 103});
    } else if (holdsCode(e, 0)) {
      for (size_t i = 0; i < realPoints; ++i) {
        ParamList& params = l.points[i].params;
        const int at = findEntry(params, kPointMethodKey);
        // A point without a placement stays where it is (a connection-only point, say); the
        // points after it keep theirs, and their references are rewritten all the same.
        if (at < 0) continue;
        const ParamEntry& m = params[size_t(at)];
        if (holdsCode(m, 100))
          axisAt(params, {151, 152});
        else if (holdsCode(m, 200) || holdsCode(m, 400))
          axisAt(params, {151, 152, 153});
        else if (holdsCode(m, 300))
          axisAt(params, {151});
      }
    }
  }
  for (size_t i = 0; i < realPoints; ++i) {
    ParamList& params = l.points[i].params;
    const int start = findEntry(params, kConnectionKey);
    if (start < 0) continue;
    for (size_t j = size_t(start); j < params.size() && params[j].key == kConnectionKey; ++j) {
      ParamEntry& e = params[j];
      // Conditions 101 and 102 and the line connection 12 name a run of points (first, last);
      // the connection point 11 and the direction points 110 .. 112 a point with its axis.
      if (e.sub == 101 || e.sub == 102)
        e.value = clampedRangeRef(e.value);
      else if (e.sub == 12)
        e.value = rangeRef(e.value);
      else if (e.sub == 11 || (e.sub >= 110 && e.sub <= 112))
        e.value = axisRef(e.value);
    }
  }
}

void PartsRemap::remapFacePart(LineRecord& l) const {
  ParamList& params = l.params;
  const int method = findEntry(params, kMethodKey);
  const int first = findEntry(params, kFirstPartKey);
  if (method < 0 || first < 0) return;
  // A face part's references (range references naming one point: line, point, point),
  // rewritten only when all of them exist (the sentinel is not an entry). Hair lines
  // (category 12) from part 334 on hold theirs at 5 and 6.
  const FaceRefs refs = l.category == 11 ? faceReferences(params[size_t(method)].asInt())
                        : params[size_t(method)].value >= 334 ? FaceRefs{5, 2}
                                                              : FaceRefs{-1, 0};
  if (refs.offset < 0) return;
  const size_t at = size_t(first + refs.offset);
  if (at + size_t(refs.count) >= params.size()) return;
  for (size_t i = at; i < at + size_t(refs.count); ++i) params[i].value = rangeRef(params[i].value);
}

void PartsRemap::remapCode(CodeList& code) const {
  for (size_t i = 0; i < code.size(); ++i) {
    if ((code[i].flag & 0xFF) != kCallFlag) continue;
    const int args = rangeArguments(code[i].code);
    // Each argument is an operand reference: line, point, and the field code in the low byte.
    for (size_t j = i + 1; j <= i + size_t(args) && j < code.size(); ++j) {
      if ((code[j].flag & 0xFF) == kCallFlag) break;
      code[j].code = axisRef(code[j].code);
    }
  }
}

void PartsRemap::remapLine(LineRecord& l) const {
  if (l.kind == kJointLineKind) {
    for (PointRecord& p : l.points)
      for (ParamEntry& e : p.params) {
        const JointRef kind = jointReference(e.key);
        if (kind == JointRef::Point) e.value = pointRef(e.value);
        if (kind == JointRef::Axis) e.value = axisRef(e.value);
      }
  } else if (l.mode == 100) {
    // Block B: the start B + 2 and end B + 3 (point and anchor), and in circle mode (display
    // method 1 in B + 1) the direction B + 4 (point and axis); in hit mode B + 4 is a number.
    for (ParamEntry& e : l.params) {
      const int32_t block = e.key / 100, rest = e.key % 100;
      if (e.key <= 0 || block < 1 || block > 9) continue;
      bool isReference = rest == 2 || rest == 3;
      if (rest == 4) {
        const int kind = findEntry(l.params, block * 100 + 1);
        isReference = kind >= 0 && (l.params[size_t(kind)].value & 0xFFFF) == 1;
      }
      if (isReference) e.value = axisRef(e.value);
    }
  } else if (l.mode == 101) {
    remapDecorative(l);
  } else if (l.category == 11 || l.category == 12) {
    remapFacePart(l);
  }
  remapCode(l.code);
}

bool PartsRemap::remapObject(ObjectRecord& o) const {
  // The reference point: line, point and axis.
  o.header[5] = int32_t(axisRef(uint32_t(o.header[5])));
  // Several points plus and minus take their depth from the points listed in the first n
  // values of A (n in the mode's top byte), each line << 16 | point, as object_depth reads them.
  const int32_t mode = o.header[3] & 0xFFFFFF;
  if (mode == kSeveralPointsPlus || mode == kSeveralPointsMinus) {
    const size_t n = std::min(size_t(uint32_t(o.header[3]) >> 24), o.a.size() - 1);
    for (size_t i = 0; i < n; ++i) o.a[i] = int32_t(pointRef(uint32_t(o.a[i])));
  }
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
