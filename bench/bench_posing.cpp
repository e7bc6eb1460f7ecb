// Posing steps on the human body model as motion mode costs them: one aim (向き) drag step on
// the left forearm, with and without the redraw that follows it, and one step of the posing
// history undone (the joint and whole-figure values written back and the figure posed again).

#include <benchmark/benchmark.h>

#include "engine/aim.h"
#include "engine/motion_drag.h"
#include "engine/pose_history.h"
#include "model/document.h"
#include "render/frame.h"
#include "script/body_model.h"
#include "script/motion_prepare.h"

namespace tovala {
namespace {

constexpr int kArmL = 8, kWrist = 2;

void aimStep(benchmark::State& state, bool drawn) {
  Document doc;
  createBodyModel(doc);
  prepareMotion(doc);
  doc.edit.subMode = kToolAim;
  const PointRecord& wrist = doc.lines[kArmL].points[kWrist];
  const AimGrip grip = aimPress(doc, int(wrist.vx), int(wrist.vy));
  if (grip.chain.count != 1) state.SkipWithError("no joint carries the wrist");
  const float x0 = wrist.vx, y0 = wrist.vy;
  aimDrag(doc, grip, int(x0) - 60, int(y0) - 40);
  const float x1 = wrist.vx;
  aimDrag(doc, grip, int(x0) + 60, int(y0) - 20);
  if (wrist.vx == x1) state.SkipWithError("the forearm did not turn");
  int step = 0;
  for (auto _ : state) {
    // The mouse swings between two sides of the elbow, so every step turns the forearm.
    if (step++ & 1)
      aimDrag(doc, grip, int(x0) - 60, int(y0) - 40);
    else
      aimDrag(doc, grip, int(x0) + 60, int(y0) - 20);
    if (drawn) {
      rebuildLayers(doc);
      refreshSelected(doc);
      buildDisplay(doc);
    }
    benchmark::DoNotOptimize(doc.lines[kArmL].points[kWrist].vx);
  }
}

void BM_AimDragStep(benchmark::State& state) { aimStep(state, false); }
void BM_AimDragStepDrawn(benchmark::State& state) { aimStep(state, true); }
BENCHMARK(BM_AimDragStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AimDragStepDrawn)->Unit(benchmark::kMillisecond);

// Undo of a posing step: the history hands back the values before a drag, they are written back
// and the figure is posed from them; redo goes the other way, so each iteration is one step.
void BM_PoseUndoStep(benchmark::State& state) {
  Document doc;
  createBodyModel(doc);
  prepareMotion(doc);
  const PoseValues rest = capturePoseValues(doc);
  doc.lines[kArmL].points[1].radz = 0.8f;
  doc.lines[kArmL].points[0].radx = 0.4f;
  prepareMotion(doc);
  PoseHistory history;
  history.record(rest);
  bool back = true;
  for (auto _ : state) {
    PoseValues target;
    const bool ok = back ? history.undo(capturePoseValues(doc), target)
                         : history.redo(capturePoseValues(doc), target);
    if (!ok || !restorePoseValues(doc, target)) {
      state.SkipWithError("the history lost its step");
      break;
    }
    prepareMotion(doc);
    back = !back;
    benchmark::DoNotOptimize(doc.lines[kArmL].points[kWrist].vx);
  }
}
BENCHMARK(BM_PoseUndoStep)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tovala
