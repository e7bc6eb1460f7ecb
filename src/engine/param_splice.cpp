#include "engine/param_splice.h"

#include "engine/point_math.h"
#include "model/document.h"

namespace tovala {

int findParam(const ParamList& list, int32_t key) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].key == key) return int(i);
    if (list[i].key > key) break;
  }
  return -1;
}

void replaceKindRange(ParamList& list, int32_t first, int32_t last,
                      std::span<const ParamEntry> entries) {
  ParamList out;
  out.reserve(list.size() + entries.size() + 1);
  for (const ParamEntry& e : list)
    if (e.key < first) out.push_back(e);
  out.insert(out.end(), entries.begin(), entries.end());
  for (const ParamEntry& e : list)
    if (e.key > last) out.push_back(e);
  if (out.empty() || out.back().key != kParamSentinelKey) out.push_back(ParamEntry::sentinel());
  list = std::move(out);
}

void replaceKindRange(PointRecord& owner, int32_t first, int32_t last,
                      std::span<const ParamEntry> entries) {
  replaceKindRange(owner.params, first, last, entries);
  owner.paramChanged = 1;
}

void replaceKindRange(LineRecord& owner, int32_t first, int32_t last,
                      std::span<const ParamEntry> entries) {
  replaceKindRange(owner.params, first, last, entries);
  owner.paramChanged = 1;
}

std::vector<ParamEntry> jointRangeEntries(const JointRanges& ranges, float modelScale) {
  std::vector<ParamEntry> out;
  out.reserve(ranges.size());
  for (size_t i = 0; i < ranges.size(); ++i) {
    const bool movement = i < 6;
    const float f = movement ? float(double(ranges[i]) / usableScale(modelScale)) : ranges[i];
    out.push_back(ParamEntry::ofFloat(kJointFirstKey + int32_t(i), 0, f));
  }
  return out;
}

std::vector<ParamEntry> coRotationEntries(const Document& doc) {
  std::vector<ParamEntry> out;
  for (int l = 0; l < doc.lineCount() - 1; ++l) {
    const LineRecord& line = doc.lines[size_t(l)];
    if (line.kind != kJointLineKind) continue;
    for (int p = 0; p < line.pointCount() - 1; ++p)
      if (line.points[size_t(p)].sel == 1)
        out.push_back(ParamEntry::ofInt(kCoRotationKey, 0, packPointRef(l, p)));
  }
  return out;
}

}  // namespace tovala
