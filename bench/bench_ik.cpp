// One IK drag step on the human body model, as motion mode costs it: the chain above the left
// wrist solved for the mouse, every line program run once, then the layers rebuilt and the
// display composed. The mouse swings between a point beside the head and one out to the side,
// so every step solves a large move.

#include <benchmark/benchmark.h>

#include <utility>

#include "engine/ik.h"
#include "model/document.h"
#include "render/frame.h"
#include "script/body_model.h"
#include "script/motion_prepare.h"

namespace tovala {
namespace {

constexpr int kArmL = 8, kWrist = 2;

void ikStep(benchmark::State& state, bool objectView) {
  Document doc;
  createBodyModel(doc);
  prepareMotion(doc);
  doc.objectView = objectView ? 1 : 0;
  const PointRecord& wrist = doc.lines[kArmL].points[kWrist];
  const IkChain chain = ikPress(doc, int(wrist.vx), int(wrist.vy), kDefaultIkChain);
  if (chain.count != 2) state.SkipWithError("no chain above the wrist");
  int step = 0;
  for (auto _ : state) {
    if (step++ & 1)
      ikDrag(doc, chain, 560, 200);
    else
      ikDrag(doc, chain, 760, 420);
    rebuildLayers(doc);
    refreshSelected(doc);
    buildDisplay(doc);
    benchmark::DoNotOptimize(doc.workImages.image(kDisplayImage)->pixels.data());
  }
}

void BM_IkStepLineView(benchmark::State& state) { ikStep(state, false); }
void BM_IkStepObjectView(benchmark::State& state) { ikStep(state, true); }
BENCHMARK(BM_IkStepLineView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IkStepObjectView)->Unit(benchmark::kMillisecond);

// The solve alone: the share of a step the IK adds to what the rotation tool already costs.
void BM_IkSolveOnly(benchmark::State& state) {
  Document doc;
  createBodyModel(doc);
  prepareMotion(doc);
  const IkChain chain = findIkChain(doc, kArmL, kWrist, kDefaultIkChain);
  const PointRecord shoulder = doc.lines[kArmL].points[0], elbow = doc.lines[kArmL].points[1];
  int step = 0;
  for (auto _ : state) {
    const bool head = (step++ & 1) != 0;
    benchmark::DoNotOptimize(solveIk(doc, chain, head ? 560 : 760, head ? 200 : 420));
    // The programs do not run, so the figure stays put: solve from the same angles each time.
    for (auto [p, saved] : {std::pair{&doc.lines[kArmL].points[0], &shoulder},
                            std::pair{&doc.lines[kArmL].points[1], &elbow}}) {
      p->radx = saved->radx;
      p->rady = saved->rady;
      p->radz = saved->radz;
    }
  }
}
BENCHMARK(BM_IkSolveOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tovala
