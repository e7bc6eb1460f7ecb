#include "engine/cline.h"

#include <array>
#include <cmath>

#include "engine/atari.h"
#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "model/document.h"

namespace tovala {

namespace {

constexpr int kStartOffset = 2, kEndOffset = 3, kDirectionOffset = 4;
constexpr int kMinRatioOffset = 11, kMaxRatioOffset = 12, kRotationOffset = 13;
constexpr int kLastLineOffset = 18;
constexpr int kRunOffset = 50;

// Block b's line entries, by offset from its base; an offset the list lacks stays empty.
using BlockEntries = std::array<const ParamEntry*, kLastLineOffset + 1>;

BlockEntries readBlockEntries(const ParamList& list, size_t first, int32_t base) {
  BlockEntries out{};
  for (size_t i = first; i < list.size() && list[i].key <= base + kLastLineOffset; ++i)
    if (list[i].key >= base) out[size_t(list[i].key - base)] = &list[i];  // an unsorted list
  return out;
}

int refPointOf(int32_t packed) { return (packed >> 8) & 0xFF; }
int refAnchorOf(int32_t packed) { return packed & 0xFF; }

const PointRecord* refPointRecord(const Document& doc, int32_t packed) {
  return pointAt(doc, packed >> 16, refPointOf(packed));
}

bool outside(const ParamEntry* lo, const ParamEntry* hi, double v) {
  return (lo && lo->asFloat() > v) || (hi && hi->asFloat() < v);
}

}  // namespace

std::optional<CLineBlock> selectCLineBlock(const Document& doc, const LineRecord& line) {
  const ParamList& list = line.params;
  for (int b = 1; b <= kCLineBlockCount; ++b) {
    const int32_t base = 100 * b;
    const int first = findParam(list, base);
    // Six entries must follow the start mark, the sentinel not counted.
    if (first < 0 || first + 6 > line.paramCount() - 2) return std::nullopt;
    const BlockEntries e = readBlockEntries(list, size_t(first), base);
    if (!e[kStartOffset] || !e[kEndOffset]) return std::nullopt;
    const PointRecord* s = refPointRecord(doc, e[kStartOffset]->asInt());
    const PointRecord* t = refPointRecord(doc, e[kEndOffset]->asInt());
    if (!s || !t) return std::nullopt;

    const double r = lengthRatio(positionOf(*s), positionOf(*t));
    if (outside(e[kMinRatioOffset], e[kMaxRatioOffset], r)) continue;
    const ParamEntry* const* rot = &e[kRotationOffset];
    if (outside(rot[0], rot[1], s->radx) || outside(rot[2], rot[3], s->rady) ||
        outside(rot[4], rot[5], s->radz))
      continue;

    CLineBlock out;
    out.block = b;
    out.base = base;
    out.pointBase = base;
    if (e[1]) {
      const uint32_t v = e[1]->value;
      const int32_t pb = int32_t(v >> 16);
      // The point base is the block's own; a damaged one falls back to it.
      if (pb >= 100 && pb <= 100 * kCLineBlockCount && pb % 100 == 0) out.pointBase = pb;
      out.method = (v & 0xFFFF) == kCLineCircleMethod ? kCLineCircleMethod : kCLineHitMethod;
    }
    out.start = e[kStartOffset]->asInt();
    out.end = e[kEndOffset]->asInt();
    out.direction = e[kDirectionOffset] ? *e[kDirectionOffset] : ParamEntry::ofInt(base + 4, 0, 0);
    return out;
  }
  return std::nullopt;
}

bool clineEnds(const Document& doc, const CLineBlock& block, CLineEnds& out) {
  const PointRecord* s = refPointRecord(doc, block.start);
  const PointRecord* t = refPointRecord(doc, block.end);
  if (!s || !t) return false;
  const int sAnchor = refAnchorOf(block.start), eAnchor = refAnchorOf(block.end);
  const int sLine = block.start >> 16, eLine = block.end >> 16;
  out.start = positionOf(*s);
  out.end = positionOf(*t);

  if (block.method == kCLineCircleMethod) {
    if (sAnchor < kPointAnchor) {
      out.start = axisPosition(doc, sLine, refPointOf(block.start), sAnchor);
      // Anchor 8 names the end point's own position, as it does in hit mode.
      out.end =
          axisPosition(doc, eLine, refPointOf(block.end), eAnchor == kPointAnchor ? 0 : eAnchor);
    }
    out.weights = frameWeights(*t);
    return true;
  }

  const ParamEntry* guide = sAnchor < kPointAnchor ? storedGuide(s->params) : nullptr;
  if (!guide) {
    out.weights = frameWeights(*t);
    return true;
  }
  out.start = storedAnchor(guide, sAnchor);
  // The end anchor indexes the same guide (anchors 4..7 sit at its partner end); anchor 8
  // keeps the end point's own position.
  if (eAnchor < kHitAnchorCount) out.end = storedAnchor(guide, eAnchor);
  out.weights = storedWeights(guide);
  return true;
}

double clineAngleFactor(const Document& doc, const CLineBlock& block) {
  const PointRecord* s = refPointRecord(doc, block.start);
  const ParamEntry* guide = s ? storedGuide(s->params) : nullptr;
  return guide ? storedAngleFactor(guide) : 1.0;
}

const ParamEntry* findCLineRun(const ParamList& list, int32_t pointBase) {
  const int at = findParam(list, pointBase + kRunOffset);
  if (at < 0 || at + kCLineRunValues > int(list.size()) - 2) return nullptr;
  const ParamEntry* run = &list[size_t(at)];
  for (int i = 1; i <= kCLineRunValues; ++i)
    if (run[i].key != pointBase + 51 && run[i].key != pointBase + 52) return nullptr;
  return run;
}

int MakeCLine(Document& doc, int line) {
  if (!doc.isValidLine(line)) return -1;
  LineRecord& l = doc.lines[size_t(line)];
  if (l.mode != kCLineMode) return -1;
  const auto block = selectCLineBlock(doc, l);
  if (!block) return -1;
  CLineEnds ends;
  if (!clineEnds(doc, *block, ends)) return -1;

  const double scale = usableScale(doc.modelScale);
  const DVec3 d = ends.end - ends.start;
  const int n = l.pointCount() - 1;

  if (block->method == kCLineHitMethod) {
    const DVec3 q = turnedPerpendicular(d, block->direction.asFloat(), scale);
    for (int i = 0; i < n; ++i) {
      PointRecord& p = l.points[size_t(i)];
      const ParamEntry* run = findCLineRun(p.params, block->pointBase);
      if (!run) continue;
      const double t = blendView(ends.weights, run + 1);
      const double u = blendView(ends.weights, run + 5);
      setPosition(p, ends.start + d * t + q * u);
    }
    return 1;
  }

  // Circle mode: radius and angle about the start, angles measured from the end's direction.
  const double len = lengthXY(d);
  if (len == 0) return 1;  // no direction to measure from: the points stay
  const double dx = d.x * scale / len, dy = d.y * scale / len;
  const double factor = clineAngleFactor(doc, *block);
  for (int i = 0; i < n; ++i) {
    PointRecord& p = l.points[size_t(i)];
    const ParamEntry* run = findCLineRun(p.params, block->pointBase);
    if (!run) continue;
    const double r = blendView(ends.weights, run + 1);
    const double a = blendView(ends.weights, run + 5) * factor;
    const double co = std::cos(a), si = std::sin(a);
    setPosition(p, {ends.start.x + r * (co * dx + si * dy), ends.start.y + r * (co * dy - si * dx),
                    ends.start.z});
  }
  return 1;
}

int MakeCLineAll(Document& doc) { return forEachLineOfMode(doc, kCLineMode, MakeCLine); }

int setupCLineBlock(Document& doc, int line, int block) {
  if (!doc.isValidLine(line) || block < 1 || block > kCLineBlockCount) return -1;
  LineRecord& l = doc.lines[size_t(line)];
  const int32_t b = 100 * block;
  l.mode = kCLineMode;
  const std::vector<ParamEntry> lineEntries = {ParamEntry::ofInt(b, 0, 0),
                                               ParamEntry::ofInt(b + 1, 0, b * 65536),
                                               ParamEntry::ofInt(b + 2, 0, 0),
                                               ParamEntry::ofInt(b + 3, 0, 0),
                                               ParamEntry::ofInt(b + 4, 0, 0),
                                               ParamEntry::ofInt(b + 10, 0, 0),
                                               ParamEntry::ofFloat(b + 11, 0, -1.0f),
                                               ParamEntry::ofFloat(b + 12, 0, 2.0f)};
  // Rotation conditions (B+13 ..) entered elsewhere are kept.
  replaceKindRange(l, b, b + 12, lineEntries);
  static constexpr float kValues[kCLineRunValues] = {0, 0, 0, 0.5f, 0, 0, 0, 0.5f};
  for (int i = 0; i < l.pointCount() - 1; ++i) {
    std::vector<ParamEntry> run = {ParamEntry::ofFloat(b + kRunOffset, 0, float(i))};
    for (float v : kValues) run.push_back(ParamEntry::ofFloat(b + 51, 0, v));
    replaceKindRange(l.points[size_t(i)], b + kRunOffset, b + 52, run);
  }
  return 1;
}

int forceCLineRunKinds(Document& doc, int line, int block) {
  if (!doc.isValidLine(line) || block < 1 || block > kCLineBlockCount) return -1;
  LineRecord& l = doc.lines[size_t(line)];
  const int32_t b = 100 * block;
  const int mark = findParam(l.params, b + 1);
  if (findParam(l.params, b) < 0 || mark < 0) return -1;
  const bool circle = (l.params[size_t(mark)].value & 0xFFFF) == kCLineCircleMethod;
  const int32_t kind = circle ? b + 52 : b + 51;
  for (int i = 0; i < l.pointCount() - 1; ++i) {
    PointRecord& p = l.points[size_t(i)];
    const int at = findParam(p.params, b + kRunOffset);
    if (at < 0) continue;
    // The two run kinds are adjacent, so relabelling them keeps the list in key order.
    for (size_t k = size_t(at) + 1; k < p.params.size() && k <= size_t(at) + kCLineRunValues &&
                                    (p.params[k].key == b + 51 || p.params[k].key == b + 52);
         ++k)
      p.params[k].key = kind;
    p.paramChanged = 1;
  }
  return 1;
}

}  // namespace tovala
