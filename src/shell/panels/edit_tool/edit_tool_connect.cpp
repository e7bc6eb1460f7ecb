// The edit tool's connection items of a decorative point: the groups of key 181 after the
// point's key-180 entry, each a target (sub 11 a point, sub 12 a line) followed by its
// conditions. A target item replaces the chosen group's target or starts a new group; a
// condition item replaces the chosen group's condition of the same kind or adds it.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/guide_geometry.h"
#include "engine/oline.h"
#include "engine/oline_connect.h"
#include "engine/param_splice.h"
#include "model/document.h"
#include "shell/panels/edit_tool/edit_tool_store.h"

namespace tovala {

namespace {

constexpr uint32_t kTargets = 0x04050100;
constexpr uint32_t kConditions = 0x04050200;

using Group = std::vector<ParamEntry>;

std::vector<Group> groupsOf(const ParamList& list) {
  std::vector<Group> groups;
  for (const ParamEntry& e : list) {
    if (e.key != kOLineGroupKey) continue;
    if (e.sub == kConnectToPoint || e.sub == kConnectToLine)
      groups.push_back({e});
    else if (!groups.empty())
      groups.back().push_back(e);  // a condition before any target is dropped
  }
  return groups;
}

// The condition sub of each 接続条件 leaf (level-4 byte 1..9).
constexpr int32_t kConditionSubs[] = {kMustNotCross,  kMustCross,         kDirectionRef,
                                      kSameSidePoint, kOppositeSidePoint, kMinDistance,
                                      kMaxDistance,   kMinSine,           kMaxSine};

}  // namespace

bool isConnectionItem(uint32_t code) {
  const uint32_t group = code & 0xFFFFFF00u;
  const int leaf = int(code & 0xFF);
  return (group == kTargets && leaf >= 1 && leaf <= 2) ||
         (group == kConditions && leaf >= 1 && leaf <= 9);
}

bool isConnectionTarget(uint32_t code) { return (code & 0xFFFFFF00u) == kTargets; }

std::vector<std::string> connectionChoices(const Document& doc, bool withNew) {
  std::vector<std::string> rows;
  if (doc.isValidPick(doc.curLine, doc.curPoint) != 1) return rows;
  char text[64];
  for (const Group& g :
       groupsOf(doc.lines[size_t(doc.curLine)].points[size_t(doc.curPoint)].params)) {
    const int32_t v = g.front().asInt();
    if (g.front().sub == kConnectToPoint)
      std::snprintf(text, sizeof text, "接続(線:%d 点:%d)", axisRefLine(v), axisRefPoint(v));
    else
      std::snprintf(text, sizeof text, "接続(線:%d)", axisRefLine(v));
    rows.push_back(text);
  }
  if (withNew) rows.push_back("新規接続");
  return rows;
}

int storeConnectionItem(Document& doc, uint32_t code, const EditInput& in, bool apply) {
  if (!isConnectionItem(code)) return -1;
  const int line = doc.curLine, point = doc.curPoint;
  const std::vector<Group> before = groupsOf(doc.lines[size_t(line)].points[size_t(point)].params);
  const bool target = isConnectionTarget(code);
  const int leaf = int(code & 0xFF);
  const bool picked = doc.isValidPick(in.pick[0], in.pick[1]) == 1;
  if (in.choice < 0 || in.choice > int(before.size()) ||
      (!target && in.choice == int(before.size())))
    return -1;

  ParamEntry entry;
  if (target) {
    if (!picked) return -1;
    const int last = doc.pointCount(in.pick[0]) - 2;
    entry =
        leaf == 1
            ? ParamEntry::ofInt(kOLineGroupKey, kConnectToPoint,
                                packAxisRef(in.pick[0], in.pick[1], std::max(in.pick[2], 0)))
            : ParamEntry::ofInt(kOLineGroupKey, kConnectToLine, packRangeRef(in.pick[0], 0, last));
  } else {
    const int32_t sub = kConditionSubs[leaf - 1];
    if (sub == kMustNotCross || sub == kMustCross) {
      // A stretch of one line, between the two points picked on it.
      if (!picked || doc.isValidPick(in.end[0], in.end[1]) != 1 || in.end[0] != in.pick[0])
        return -1;
      entry =
          ParamEntry::ofInt(kOLineGroupKey, sub, packRangeRef(in.pick[0], in.pick[1], in.end[1]));
    } else if (sub == kDirectionRef || sub == kSameSidePoint || sub == kOppositeSidePoint) {
      if (!picked) return -1;
      entry = ParamEntry::ofInt(kOLineGroupKey, sub,
                                packAxisRef(in.pick[0], in.pick[1], std::max(in.pick[2], 0)));
    } else {
      entry = ParamEntry::ofFloat(kOLineGroupKey, sub, in.value);
    }
  }
  if (!apply) return 1;

  std::vector<Group> groups = before;
  if (target) {
    if (in.choice == int(groups.size()))
      groups.push_back({entry});
    else
      groups[size_t(in.choice)].front() = entry;
  } else {
    Group& g = groups[size_t(in.choice)];
    auto same = std::find_if(g.begin() + 1, g.end(),
                             [&](const ParamEntry& e) { return e.sub == entry.sub; });
    if (same != g.end())
      *same = entry;
    else
      g.push_back(entry);
  }
  std::vector<ParamEntry> entries{ParamEntry::ofInt(kOLineConnectKey, 0, 0)};
  for (const Group& g : groups) entries.insert(entries.end(), g.begin(), g.end());
  LineRecord& l = doc.lines[size_t(line)];
  l.mode = kOLineMode;
  if (findParam(l.params, kOLineMethodKey) < 0) {
    const ParamEntry method[] = {ParamEntry::ofInt(kOLineMethodKey, 0, kOLinePointByPoint)};
    replaceKindRange(l, kOLineMethodKey, kOLineMethodKey, method);
  }
  replaceKindRange(l.points[size_t(point)], kOLineConnectKey, kOLineGroupKey, entries);
  return 1;
}

}  // namespace tovala
