#pragma once
// Builders for small documents used by the engine tests.

#include <initializer_list>
#include <utility>

#include "engine/lines_points.h"
#include "engine/param_splice.h"
#include "engine/reference.h"
#include "model/document.h"

namespace tovala::test {

// Appends a line with real points at the given (x, y) positions; returns its index.
inline int addLine(Document& doc, std::initializer_list<std::pair<float, float>> points,
                   int kind = 0) {
  const int line = appendLine(doc);
  doc.lines[size_t(line)].kind = kind;
  for (const auto& [x, y] : points) {
    addPoint(doc, line);
    setPoint(doc, line, -2, x, y, 0);
  }
  return line;
}

// Gives a point joint limits (movement and rotation) and makes it a joint point.
inline void makeJoint(Document& doc, int line, int point, const JointRanges& ranges) {
  PointRecord& p = doc.lines[size_t(line)].points[size_t(point)];
  p.kind = 2000;
  replaceKindRange(p, kJointFirstKey, kJointLastKey, jointRangeEntries(ranges, 1.0f));
}

inline JointRanges wideRanges() {
  return {-100, 100, -100, 100, -100, 100, -3.1416f, 3.1416f, -3.1416f, 3.1416f, -3.1416f, 3.1416f};
}

// Lists (line, point) targets as the joint's co-rotating points.
inline void setCoRotating(Document& doc, int line, int point,
                          std::initializer_list<std::pair<int, int>> targets) {
  std::vector<ParamEntry> entries;
  for (const auto& [l, p] : targets)
    entries.push_back(ParamEntry::ofInt(kCoRotationKey, 0, l * 65536 + p));
  replaceKindRange(doc.lines[size_t(line)].points[size_t(point)], kCoRotationKey, kCoRotationKey,
                   entries);
}

}  // namespace tovala::test
