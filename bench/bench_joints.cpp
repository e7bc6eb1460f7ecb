// The joint pass a motion drag triggers through the line programs: TPRotAll over a figure of
// 30 joints, each turning 20 co-rotating points.

#include <benchmark/benchmark.h>

#include <vector>

#include "engine/joints.h"
#include "engine/lines_points.h"
#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "engine/reference.h"
#include "model/document.h"

namespace tovala {
namespace {

constexpr int kJoints = 30;
constexpr int kCoRotating = 20;

int addLineOfPoints(Document& doc, int count, float x0, float y0, int kind) {
  const int line = appendLine(doc);
  doc.lines[size_t(line)].kind = kind;
  for (int i = 0; i < count; ++i) {
    addPoint(doc, line);
    setPoint(doc, line, -2, x0 + 7.0f * float(i), y0 + 3.0f * float(i), 0.0f);
  }
  return line;
}

// One joint line of 30 joint points; joint i turns the 20 points of plain line i + 1.
void buildFigure(Document& doc) {
  const int joints = addLineOfPoints(doc, kJoints, 300, 200, 4);
  std::vector<int> limbs;
  for (int j = 0; j < kJoints; ++j)
    limbs.push_back(addLineOfPoints(doc, kCoRotating, 250 + 10.0f * float(j), 300, 0));
  setReference(doc, 0, -1);

  JointRanges ranges{-100,     100,     -100,     100,     -100,     100,
                     -3.1416f, 3.1416f, -3.1416f, 3.1416f, -3.1416f, 3.1416f};
  for (int j = 0; j < kJoints; ++j) {
    PointRecord& p = doc.lines[size_t(joints)].points[size_t(j)];
    p.kind = 2000;
    std::vector<ParamEntry> entries = jointRangeEntries(ranges, doc.modelScale);
    replaceKindRange(p, kJointFirstKey, kJointLastKey, entries);
    std::vector<ParamEntry> co;
    for (int q = 0; q < kCoRotating; ++q)
      co.push_back(ParamEntry::ofInt(kCoRotationKey, 0, packPointRef(limbs[size_t(j)], q)));
    replaceKindRange(p, kCoRotationKey, kCoRotationKey, co);
    p.radx = 0.01f;
    p.rady = -0.02f;
    p.radz = 0.015f;
  }
}

void BM_TPRotAll30Joints20Points(benchmark::State& state) {
  Document doc;
  buildFigure(doc);
  for (auto _ : state) {
    TPRotAll(doc);
    benchmark::DoNotOptimize(doc.lines[1].points[0].vx);
  }
  state.SetItemsProcessed(state.iterations() * kJoints * kCoRotating);
}
BENCHMARK(BM_TPRotAll30Joints20Points);

}  // namespace
}  // namespace tovala
