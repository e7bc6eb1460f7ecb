#include "model/object_depth.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "model/document.h"

namespace tovala {

namespace {

constexpr int32_t kModeFace = 1;
constexpr int32_t kModeSeveralPlus = 0x000100;
constexpr int32_t kModeSeveralMinus = 0x010100;

// z of a joint's axis position: 0 the point, 1..3 its axis tips, 4..6 the tips mirrored through
// the point; anything else (or a point that does not exist) lies at 0.
bool axisZ(const Document& doc, int line, int point, int axis, double& z) {
  if (doc.isValidPick(line, point) < 0) return false;
  const PointRecord& p = doc.lines[size_t(line)].points[size_t(point)];
  switch (axis) {
    case 0: z = p.vz; return true;
    case 1: z = p.unitX[2]; return true;
    case 2: z = p.unitY[2]; return true;
    case 3: z = p.unitZ[2]; return true;
    case 4: z = 2.0 * p.vz - p.unitX[2]; return true;
    case 5: z = 2.0 * p.vz - p.unitY[2]; return true;
    case 6: z = 2.0 * p.vz - p.unitZ[2]; return true;
    default: z = 0; return true;
  }
}

struct Mean {
  double sum = 0;
  int n = 0;
  void add(double v) { sum += v, ++n; }
  double value() const { return n ? sum / n : 0.0; }
};

// Every point the pieces draw.
void addPieces(const Document& doc, const ObjectRecord& o, Mean& m) {
  const bool eye = (o.header[1] & 0xFF) == 2;
  for (int i = 0; i < kObjectEntries; ++i) {
    const int line = o.c[size_t(i)];
    if (line < 0) break;
    if (!doc.isValidLine(line)) continue;
    const auto& pts = doc.lines[size_t(line)].points;
    const int last = int(pts.size()) - 2;
    if (last < 0) continue;
    const uint32_t rule = uint32_t(o.d[size_t(i)]);
    int from = 0, to = last;
    const int d = eye ? 0 : int(rule & 0xFF);
    if (d == 2) {
      from = std::min(int((rule >> 16) & 0xFF), last);
      to = std::min(int((rule >> 8) & 0xFF), last);
      if (from > to) std::swap(from, to);
    } else if (d == 3) {
      from = to = std::min(int((rule >> 8) & 0xFF), last);
    }
    for (int p = from; p <= to; ++p) m.add(pts[size_t(p)].vz);
    if (eye) break;
  }
}

}  // namespace

float objectDepth(const Document& doc, const ObjectRecord& o) {
  const int32_t mode = o.header[3] & 0xFFFFFF;
  Mean m;
  int offsetIndex = 0;
  double sign = 1.0;
  if (mode == kModeFace) {
    const uint32_t ref = uint32_t(o.header[5]);
    double z = 0;
    if (axisZ(doc, int(ref >> 16), int((ref >> 8) & 0xFF), int(ref & 0xFF), z)) m.add(z);
  } else if (mode == kModeSeveralPlus || mode == kModeSeveralMinus) {
    const int n = std::min(int(uint32_t(o.header[3]) >> 24), kObjectEntries - 1);
    for (int i = 0; i < n; ++i) {
      const uint32_t ref = uint32_t(o.a[size_t(i)]);
      double z = 0;
      if (axisZ(doc, int(ref >> 16), int(ref & 0xFFFF), 0, z)) m.add(z);
    }
    offsetIndex = n;
    if (mode == kModeSeveralMinus) sign = -1.0;
  } else {
    addPieces(doc, o, m);
  }
  const float offset = std::bit_cast<float>(o.a[size_t(offsetIndex)]);
  const double off = std::isfinite(offset) ? double(offset) : 0.0;
  return float(m.value() + sign * off);
}

void updateObjectDepths(Document& doc) {
  for (int i = 0; i + 1 < doc.objectCount(); ++i) {
    ObjectRecord& o = doc.objects[size_t(i)];
    o.header[6] = std::bit_cast<int32_t>(objectDepth(doc, o));
  }
}

}  // namespace tovala
