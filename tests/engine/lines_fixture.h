#pragma once
// Small documents for the hit-guide, connecting-line and decorative-line tests.

#include <array>
#include <initializer_list>
#include <limits>
#include <vector>

#include "engine/lines_points.h"
#include "engine/reference.h"
#include "model/document.h"

namespace tovala::lines_test {

using P3 = std::array<float, 3>;

// Appends a line whose real points sit at `points`, with its reference pose set there (unit
// vectors of the model scale's length along the world axes); returns its index.
inline int addLine(Document& doc, const std::vector<P3>& points, int kind = 0, int mode = 0) {
  const int line = appendLine(doc);
  for (const P3& p : points) {
    addPoint(doc, line);
    setPoint(doc, line, -2, p[0], p[1], p[2]);
  }
  setReference(doc, line, line);
  doc.lines[size_t(line)].kind = kind;
  doc.lines[size_t(line)].mode = mode;
  return line;
}
inline int addLine(Document& doc, std::initializer_list<P3> points, int kind = 0, int mode = 0) {
  return addLine(doc, std::vector<P3>(points), kind, mode);
}

inline PointRecord& pt(Document& doc, int line, int point) {
  return doc.lines[size_t(line)].points[size_t(point)];
}

inline P3 pos(const Document& doc, int line, int point) {
  const PointRecord& p = doc.lines[size_t(line)].points[size_t(point)];
  return {p.vx, p.vy, p.vz};
}

// The value of the first entry with `key`, as a float; NaN when there is none.
inline float paramValue(const ParamList& list, int32_t key) {
  for (const ParamEntry& e : list)
    if (e.key == key) return e.asFloat();
  return std::numeric_limits<float>::quiet_NaN();
}

// Whether the keys of a list ascend and it ends with exactly one sentinel.
inline bool wellFormed(const ParamList& list) {
  if (list.empty() || list.back().key != kParamSentinelKey) return false;
  for (size_t i = 1; i < list.size(); ++i)
    if (list[i].key < list[i - 1].key) return false;
  return true;
}

}  // namespace tovala::lines_test
