#include "engine/cline_capture.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>

#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "model/document.h"

namespace tovala {

namespace {

// The ends as MakeCLine would take them for the working entries.
bool workEnds(const Document& doc, const CLineWork& work, CLineEnds& ends, CLineBlock& block) {
  block.block = work.block;
  block.base = block.pointBase = work.base();
  block.method = work.method;
  block.start = work.start;
  block.end = work.end;
  block.direction.value = work.direction;
  return clineEnds(doc, block, ends);
}

double dotXY(const DVec3& a, const DVec3& b) { return a.x * b.x + a.y * b.y; }

}  // namespace

float CLineWork::sideSign() const { return std::bit_cast<float>(direction); }
void CLineWork::setSideSign(float sign) { direction = std::bit_cast<uint32_t>(sign); }
void CLineWork::setDirectionRef(int line, int point, int axis) {
  direction = uint32_t(packAxisRef(line, point, axis));
}

std::vector<std::string> clineParamListing(const ParamList& list, bool hex) {
  if (list.size() <= 1) return {kNothingListed};
  std::vector<std::string> out;
  out.reserve(list.size());
  char buf[48];
  for (const ParamEntry& e : list) {
    if (hex)
      std::snprintf(buf, sizeof buf, "%4d,%08x", e.key, e.value);
    else
      std::snprintf(buf, sizeof buf, "%4d,%4.3f", e.key, double(e.asFloat()));
    out.push_back(buf);
  }
  return out;
}

void resetCLineRuns(CLineWork& work, int realPoints) {
  const int n = realPoints > 0 ? realPoints : 0;
  work.runIndex.assign(size_t(n), 0.0f);
  work.runs.assign(size_t(n), {});
  for (int i = 0; i < n; ++i) {
    const float along = n > 1 ? float(i) / float(n - 1) : 0.0f;
    work.runs[size_t(i)] = {along, along, along, 1.0f, 0, 0, 0, 1.0f};
  }
}

void resetCLineWork(CLineWork& work, int realPoints) {
  const int block = work.block;
  work = CLineWork{};
  work.block = block;
  resetCLineRuns(work, realPoints);
}

int loadCLineWork(const Document& doc, int line, int block, CLineWork& work) {
  if (!doc.isValidLine(line) || block < 1 || block > kCLineBlockCount) return kCLinePanelRefused;
  const LineRecord& l = doc.lines[size_t(line)];
  if (l.pointCount() >= kCLinePanelPointLimit) return kCLinePanelRefused;
  const int n = l.pointCount() - 1;

  CLineWork out;
  out.block = block;
  const int32_t b = out.base();
  if (findParam(l.params, b) < 0) {
    resetCLineWork(out, n);
    work = std::move(out);
    return 1;
  }
  auto value = [&](int32_t key) -> const ParamEntry* {
    const int at = findParam(l.params, key);
    return at < 0 ? nullptr : &l.params[size_t(at)];
  };
  if (const ParamEntry* e = value(b + 1))
    out.method = (e->value & 0xFFFF) == kCLineCircleMethod ? kCLineCircleMethod : kCLineHitMethod;
  if (const ParamEntry* e = value(b + 2)) out.start = e->asInt();
  if (const ParamEntry* e = value(b + 3)) out.end = e->asInt();
  if (const ParamEntry* e = value(b + 4)) out.direction = e->value;
  if (const ParamEntry* e = value(b + 11)) out.minRatio = e->asFloat();
  if (const ParamEntry* e = value(b + 12)) out.maxRatio = e->asFloat();

  resetCLineRuns(out, n);
  for (int i = 0; i < n; ++i) {
    const ParamEntry* run = findCLineRun(l.points[size_t(i)].params, b);
    if (!run) {
      resetCLineRuns(out, n);
      break;
    }
    out.runIndex[size_t(i)] = run[0].asFloat();
    for (int k = 0; k < kCLineRunValues; ++k) out.runs[size_t(i)][size_t(k)] = run[k + 1].asFloat();
  }
  work = std::move(out);
  return 1;
}

std::vector<ParamEntry> clineLineEntries(const CLineWork& work) {
  const int32_t b = work.base();
  return {ParamEntry::ofInt(b, 0, 0),
          ParamEntry::ofInt(b + 1, 0, b * 65536 + work.method),
          ParamEntry::ofInt(b + 2, 0, work.start),
          ParamEntry::ofInt(b + 3, 0, work.end),
          ParamEntry{b + 4, 0, work.direction},
          ParamEntry::ofInt(b + 10, 0, 0),
          ParamEntry::ofFloat(b + 11, 0, work.minRatio),
          ParamEntry::ofFloat(b + 12, 0, work.maxRatio)};
}

std::vector<ParamEntry> clineRunEntries(const CLineWork& work, int point) {
  const int32_t b = work.base();
  const int32_t kind = work.method == kCLineCircleMethod ? b + 52 : b + 51;
  std::vector<ParamEntry> out;
  out.reserve(1 + kCLineRunValues);
  out.push_back(ParamEntry::ofFloat(b + 50, 0, work.runIndex[size_t(point)]));
  for (float v : work.runs[size_t(point)]) out.push_back(ParamEntry::ofFloat(kind, 0, v));
  return out;
}

int captureCLineShape(const Document& doc, int line, CLineWork& work) {
  if (!doc.isValidLine(line)) return -1;
  CLineEnds ends;
  CLineBlock block;
  if (!workEnds(doc, work, ends, block)) return -1;
  const DVec3 d = ends.end - ends.start;
  const double len2 = dotXY(d, d);
  if (len2 == 0) return -1;

  const LineRecord& l = doc.lines[size_t(line)];
  const int n = l.pointCount() - 1;
  if (int(work.runs.size()) != n) resetCLineRuns(work, n);
  const double scale = usableScale(doc.modelScale);

  if (work.method == kCLineHitMethod) {
    const DVec3 q = turnedPerpendicular(d, work.sideSign(), scale);
    for (int i = 0; i < n; ++i) {
      const DVec3 v = positionOf(l.points[size_t(i)]) - ends.start;
      // Projections rather than ratios of single components: exact for points before the
      // start as well, and well conditioned whatever the direction of the bone.
      const float along = float(dotXY(v, d) / len2);
      const float across = float(dotXY(v, q) / dotXY(q, q));
      auto& run = work.runs[size_t(i)];
      run[0] = run[1] = run[2] = along;
      run[4] = run[5] = run[6] = across;
    }
    return 1;
  }

  const double len = std::sqrt(len2);
  const DVec3 dir{d.x / len, d.y / len, 0}, side{dir.y, -dir.x, 0};
  double factor = clineAngleFactor(doc, block);
  if (factor == 0) factor = 1;
  for (int i = 0; i < n; ++i) {
    const DVec3 v = positionOf(l.points[size_t(i)]) - ends.start;
    const float radius = float(lengthXY(v) / scale);
    const float angle = float(std::atan2(dotXY(v, side), dotXY(v, dir)) / factor);
    auto& run = work.runs[size_t(i)];
    run[0] = run[1] = run[2] = radius;
    run[4] = run[5] = run[6] = angle;
  }
  return 1;
}

int commitCLineWork(Document& doc, int line, const CLineWork& work) {
  if (!doc.isValidLine(line) || work.block < 1 || work.block > kCLineBlockCount) return -1;
  LineRecord& l = doc.lines[size_t(line)];
  const int32_t b = work.base();
  replaceKindRange(l, b, b + 12, clineLineEntries(work));
  const int n = std::min(l.pointCount() - 1, int(work.runs.size()));
  for (int i = 0; i < n; ++i)
    replaceKindRange(l.points[size_t(i)], b + 50, b + 52, clineRunEntries(work, i));
  return 1;
}

}  // namespace tovala
