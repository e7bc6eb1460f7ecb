#pragma once
// Small documents for the hit-guide, connecting-line and decorative-line tests, built straight
// on the records so the tests depend only on the operations they check.

#include <array>
#include <initializer_list>
#include <limits>
#include <vector>

#include "model/document.h"

namespace tovala::lines_test {

using P3 = std::array<float, 3>;

// Appends a line whose real points sit at `points` (reference = position, unit vectors of
// length 1 along the world axes) in front of the sentinel line; returns its index.
inline int addLine(Document& doc, const std::vector<P3>& points, int kind = 0, int mode = 0) {
  LineRecord l = doc.makeDefaultLine();
  l.kind = kind;
  l.mode = mode;
  l.nam = doc.nextLineNumber();
  l.points.clear();
  int32_t number = kFirstNumber;
  for (const P3& p : points) {
    PointRecord r = Document::makeDefaultPoint();
    r.nam = number++;
    r.mode = 0;
    r.vx = r.v0x = p[0];
    r.vy = r.v0y = p[1];
    r.vz = r.v0z = p[2];
    r.unitX = {p[0] + 1, p[1], p[2]};
    r.unitY = {p[0], p[1] + 1, p[2]};
    r.unitZ = {p[0], p[1], p[2] + 1};
    l.points.push_back(r);
  }
  l.points.push_back(l.points.empty() ? Document::makeDefaultPoint()
                                      : doc.makeSentinelPoint(l.points.back(), number));
  doc.lines.insert(doc.lines.end() - 1, l);
  doc.lineOrder.clear();
  for (int i = 0; i < doc.lineCount(); ++i) doc.lineOrder.push_back(i);
  return doc.lineCount() - 2;
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
