// One posing step on the human body model, as a drag in motion mode costs it: the joint's new
// rotation, every line program run (back to the reference, joints, hit guides, outlines, the
// controller's joins), then the layers rebuilt and the display composed.

#include <benchmark/benchmark.h>

#include "engine/motion_drag.h"
#include "model/document.h"
#include "render/frame.h"
#include "script/body_model.h"
#include "script/line_programs.h"

namespace tovala {
namespace {

void poseStep(benchmark::State& state, bool objectView) {
  installScriptHooks();
  Document doc;
  createBodyModel(doc);
  doc.objectView = objectView ? 1 : 0;
  doc.edit.mode = 5;  // motion mode
  doc.edit.subMode = kToolPointRotate;
  const int elbowX = 648, elbowY = 444;  // the left elbow at rest
  motionPress(doc, elbowX, elbowY);
  int step = 0;
  for (auto _ : state) {
    // Swing the forearm back and forth, 40 pixels of drag each way.
    motionDrag(doc, elbowX + ((step++ & 1) ? 40 : -40), elbowY + 25);
    rebuildLayers(doc);
    refreshSelected(doc);
    buildDisplay(doc);
    benchmark::DoNotOptimize(doc.workImages.image(kDisplayImage)->pixels.data());
  }
}

void BM_PoseStepLineView(benchmark::State& state) { poseStep(state, false); }
void BM_PoseStepObjectView(benchmark::State& state) { poseStep(state, true); }
BENCHMARK(BM_PoseStepLineView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PoseStepObjectView)->Unit(benchmark::kMillisecond);

// The programs alone (no drawing): the motion's share of a step.
void BM_PoseProgramsOnly(benchmark::State& state) {
  Document doc;
  createBodyModel(doc);
  int step = 0;
  for (auto _ : state) {
    doc.lines[8].points[1].radz = (step++ & 1) ? 0.6f : -0.6f;
    runLinePrograms(doc, 0, 0);
    benchmark::DoNotOptimize(doc.lines.data());
  }
}
BENCHMARK(BM_PoseProgramsOnly)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tovala
