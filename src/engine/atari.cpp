#include "engine/atari.h"

#include <cmath>

#include "engine/cast.h"
#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "model/document.h"

namespace tovala {

namespace {

constexpr int kModeOffset = 0, kPartnerOffset = 1, kMinOffset = 2, kMaxOffset = 3;
constexpr int kDirectionOffset = 4;

// The bone direction D: S→E in x and y scaled to the model scale, z set to the model scale.
// A bone seen end-on has no x-y direction; the joint's own Y axis (then X axis) as seen on
// screen stands in for it, so the anchors still spread around the joint and turn with it
// rather than collapsing onto one spot.
DVec3 boneDirection(const PointRecord& joint, const DVec3& s, const DVec3& e, double scale) {
  for (const DVec3& v : {e - s, toDVec(joint.unitY) - s, toDVec(joint.unitX) - s})
    if (lengthXY(v) > 0) return scaledDirection(v, scale);
  return {0, scale, scale};
}

// +1 while the joint's X and Y axes keep their screen orientation, -1 once the joint has turned
// over (seen from behind). Circle-mode connecting lines multiply their angles by it, so a shape
// drawn around the joint mirrors about the bone instead of swinging through it.
double frameHandedness(const PointRecord& joint) {
  const DVec3 j = positionOf(joint);
  const DVec3 ax = toDVec(joint.unitX) - j, ay = toDVec(joint.unitY) - j;
  return ax.x * ay.y - ax.y * ay.x >= 0 ? 1.0 : -1.0;
}

std::vector<ParamEntry> resultEntries(int block, const HitGuide& g) {
  std::vector<ParamEntry> out;
  out.reserve(kHitResultLastKey - kHitResultFirstKey + 1);
  auto put = [&](double v) {
    out.push_back(
        ParamEntry::ofFloat(kHitResultFirstKey + int32_t(out.size()), kHitResultSub, float(v)));
  };
  put(block);
  for (const DVec3& a : g.anchors) {
    put(a.x);
    put(a.y);
    put(a.z);
  }
  put(g.ratio);
  put(g.length3);
  put(g.length2);
  put(g.weights.front);
  put(g.weights.top);
  put(g.weights.side);
  put(g.angleFactor);
  return out;
}

}  // namespace

HitBlock::HitBlock() {
  for (int k = 0; k < kHitAnchorCount; ++k) {
    const int o = hitGroupOffset(k);
    at(o) = at(o + 1) = at(o + 2) = 50.0f;
    at(o + 3) = 0.5f;
  }
}

std::vector<ParamEntry> hitBlockEntries(int block, const HitBlock& v) {
  const int32_t base = 100 * block;
  std::vector<ParamEntry> out;
  out.reserve(kHitBlockEntries);
  out.push_back(ParamEntry::ofInt(base + kModeOffset, 0, v.mode));
  out.push_back(ParamEntry::ofInt(base + kPartnerOffset, 0, v.partner));
  out.push_back(ParamEntry::ofFloat(base + kMinOffset, 0, v.minRatio));
  out.push_back(ParamEntry::ofFloat(base + kMaxOffset, 0, v.maxRatio));
  out.push_back(ParamEntry::ofInt(base + kDirectionOffset, 0, v.direction));
  for (int o = hitGroupOffset(0); o < kHitBlockEntries; ++o)
    out.push_back(ParamEntry::ofFloat(base + o, 0, v.at(o)));
  return out;
}

std::optional<HitBlock> readHitBlock(const ParamList& list, int block) {
  const int32_t base = 100 * block;
  const int first = findParam(list, base);
  if (first < 0) return std::nullopt;
  HitBlock v;
  for (size_t i = size_t(first); i < list.size() && list[i].key < base + kHitBlockEntries; ++i) {
    const ParamEntry& e = list[i];
    switch (const int o = e.key - base) {
      case kModeOffset: v.mode = e.asInt(); break;
      case kPartnerOffset: v.partner = e.asInt(); break;
      case kMinOffset: v.minRatio = e.asFloat(); break;
      case kMaxOffset: v.maxRatio = e.asFloat(); break;
      case kDirectionOffset: v.direction = e.asInt(); break;
      default:
        if (o > kDirectionOffset) v.at(o) = e.asFloat();  // not so in an unsorted list
        break;
    }
  }
  return v;
}

std::string hitEntryLabel(int32_t key) {
  if (key < 100 || key >= 1000 || key % 100 > kHitBlockEntries - 1) return {};
  static constexpr const char* kHeads[] = {"あたりモード", "相手の点番号", "距離の最小値 ",
                                           "距離の最大値 ", "符号 "};
  static constexpr const char* kGroups[kHitAnchorCount] = {
      "自延長線上1 ", "自延長線上2 ", "自垂直線上1 ", "自垂直線上2 ",
      "相延長線上1 ", "相延長線上2 ", "相垂直線上1 ", "相垂直線上2 "};
  const int o = key % 100;
  const char* text = o < hitGroupOffset(0) ? kHeads[o] : kGroups[(o - hitGroupOffset(0)) / 4];
  return std::to_string(key / 100) + ":" + text;
}

double lengthRatio(const DVec3& a, const DVec3& b) {
  const DVec3 d = b - a;
  const double l3 = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  return l3 == 0 ? 0.0 : lengthXY(d) / l3;
}

bool computeHitGuide(const Document& doc, int line, int point, const HitBlock& block,
                     HitGuide& out) {
  const PointRecord* joint = pointAt(doc, line, point);
  const PointRecord* partner = pointAt(doc, refLine(block.partner), refPoint(block.partner));
  if (!joint || !partner) return false;

  const double scale = usableScale(doc.modelScale);
  const DVec3 s = positionOf(*joint), e = positionOf(*partner), bone = e - s;
  out.length2 = lengthXY(bone);
  out.length3 = std::sqrt(bone.x * bone.x + bone.y * bone.y + bone.z * bone.z);
  out.ratio = lengthRatio(s, e);

  const DVec3 d = boneDirection(*joint, s, e, scale);
  // The "upper" side is the one the direction reference lies on, seen along the bone.
  const double side = sideOf(axisPosition(doc, block.direction), s, s + d);
  const DVec3 n = turnedPerpendicular(d, side, scale);

  out.weights = frameWeights(*joint);
  out.angleFactor = frameHandedness(*joint);
  double len[kHitAnchorCount];
  for (int k = 0; k < kHitAnchorCount; ++k) {
    const int o = hitGroupOffset(k);
    len[k] = blendView(out.weights, block.at(o), block.at(o + 1), block.at(o + 2), block.at(o + 3));
  }
  out.anchors = {s + d * len[0], s - d * len[1], s + n * len[2], s - n * len[3],
                 e + d * len[4], e - d * len[5], e + n * len[6], e - n * len[7]};
  return true;
}

const ParamEntry* storedGuide(const ParamList& list) {
  const int at = findParam(list, kHitResultFirstKey);
  constexpr int kCount = kHitResultLastKey - kHitResultFirstKey + 1;
  if (at < 0 || at + kCount > int(list.size())) return nullptr;
  const ParamEntry* g = &list[size_t(at)];
  for (int i = 1; i < kCount; ++i)
    if (g[i].key != kHitResultFirstKey + i) return nullptr;
  return g;
}

DVec3 storedAnchor(const ParamEntry* guide, int anchor) {
  const ParamEntry* a = guide + (kHitAnchorKey - kHitResultFirstKey) + 3 * anchor;
  return {a[0].asFloat(), a[1].asFloat(), a[2].asFloat()};
}

ViewWeights storedWeights(const ParamEntry* guide) {
  const ParamEntry* w = guide + (kHitWeightKey - kHitResultFirstKey);
  return {w[0].asFloat(), w[1].asFloat(), w[2].asFloat()};
}

int makeAtari(Document& doc, int line, int point, int selector) {
  if (doc.isValidPick(line, point) != 1) return -1;
  LineRecord& l = doc.lines[size_t(line)];
  if (l.kind != kJointLineKind) return -1;
  PointRecord& joint = l.points[size_t(point)];

  std::optional<HitBlock> chosen;
  int chosenBlock = 0;
  if (selector == 0) {
    for (int b = 1; b <= kHitBlockCount && !chosen; ++b) {
      const auto block = readHitBlock(joint.params, b);
      if (!block) break;
      const PointRecord* partner = pointAt(doc, refLine(block->partner), refPoint(block->partner));
      if (!partner) continue;
      const double r = lengthRatio(positionOf(joint), positionOf(*partner));
      if (block->minRatio < r && r < block->maxRatio) {
        chosen = block;
        chosenBlock = b;
      }
    }
  } else if (selector >= 1 && selector <= kHitBlockCount) {
    chosen = readHitBlock(joint.params, selector);
    chosenBlock = selector;
  }
  if (!chosen) return -1;

  HitGuide guide;
  if (!computeHitGuide(doc, line, point, *chosen, guide)) return -1;
  const std::vector<ParamEntry> results = resultEntries(chosenBlock, guide);
  replaceKindRange(joint, kHitResultFirstKey, kHitResultLastKey, results);
  return 1;
}

int MakeAtari(Document& doc, int32_t packed) {
  return makeAtari(doc, packed >> 16, (packed >> 8) & 0xFF, packed & 0xFF);
}

int MakeAtariAll(Document& doc) {
  const LineSpan lines = passLines(doc);
  for (int l = lines.first; l < lines.end; ++l) {
    if (doc.lines[size_t(l)].kind != kJointLineKind) continue;
    for (int p = 0; p < doc.pointCount(l) - 1; ++p) makeAtari(doc, l, p, 0);
  }
  return 0;
}

}  // namespace tovala
