// One posing step on the human body model, as a drag in motion mode costs it: the joint's new
// rotation, every line program run (back to the reference, joints, hit guides, outlines, the
// controller's joins), then the layers rebuilt and the display composed.

#include <benchmark/benchmark.h>

#include "engine/motion_drag.h"
#include "model/document.h"
#include "model/parts_file.h"
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

// `figures` body models in one document: the first built, the others merged in as parts (each
// brings its own pose program and controller, as a cast of figures does).
void makeCast(Document& doc, int figures) {
  createBodyModel(doc);
  const std::vector<uint8_t> parts = writePartsPayload(doc);
  for (int i = 1; i < figures; ++i) mergePartsPayload(doc, parts);
}

// The programs of a cast alone, one motion step each: the first figure's elbow swings.
void BM_PoseProgramsFigures(benchmark::State& state) {
  Document doc;
  makeCast(doc, int(state.range(0)));
  int step = 0;
  for (auto _ : state) {
    doc.lines[8].points[1].radz = (step++ & 1) ? 0.6f : -0.6f;
    runLinePrograms(doc, 0, 0);
    benchmark::DoNotOptimize(doc.lines.data());
  }
  state.counters["lines"] = double(doc.lineCount());
}
BENCHMARK(BM_PoseProgramsFigures)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

// A whole drag step (programs, layers, display) on a cast, in line view.
void BM_PoseStepFigures(benchmark::State& state) {
  installScriptHooks();
  Document doc;
  makeCast(doc, int(state.range(0)));
  rebuildLayers(doc);
  doc.edit.mode = 5;
  doc.edit.subMode = kToolPointRotate;
  const int elbowX = 648, elbowY = 444;
  motionPress(doc, elbowX, elbowY);
  int step = 0;
  for (auto _ : state) {
    motionDrag(doc, elbowX + ((step++ & 1) ? 40 : -40), elbowY + 25);
    rebuildLayers(doc);
    refreshSelected(doc);
    buildDisplay(doc);
    benchmark::DoNotOptimize(doc.workImages.image(kDisplayImage)->pixels.data());
  }
}
BENCHMARK(BM_PoseStepFigures)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tovala
