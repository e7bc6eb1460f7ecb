// What one memory undo step costs on the human body model: the figure copied into a slot before
// an edit (every press and command takes one), and put back by a step. The ring reuses a slot's
// memory from the state it held before, as twenty slots in turn do.

#include <benchmark/benchmark.h>

#include <array>

#include "model/document.h"
#include "model/model_state.h"
#include "script/body_model.h"

namespace tovala {
namespace {

// As opened from a project file, the user images end in a blank picture of the canvas size,
// which each snapshot compares with the previous one before sharing it.
Document& bodyModel() {
  static Document* doc = [] {
    auto* d = new Document;
    createBodyModel(*d);
    d->userImages.makeBlank(d->sentinelImageSlot(), d->imageWidth, d->imageHeight, d->backColor);
    return d;
  }();
  return *doc;
}

void BM_UndoSnapshotBodyModel(benchmark::State& state) {
  Document& doc = bodyModel();
  ModelStateCapture capture;
  std::array<ModelState, 20> ring;
  size_t slot = 0;
  for (auto _ : state) {
    capture.capture(doc, ring[slot]);
    slot = (slot + 1) % ring.size();
    benchmark::DoNotOptimize(ring[slot].lines.data());
  }
  state.counters["lines"] = double(doc.lineCount());
}

void BM_UndoStepBodyModel(benchmark::State& state) {
  Document& doc = bodyModel();
  ModelStateCapture capture;
  ModelState before, after;
  capture.capture(doc, before);
  doc.VextX += 10;  // a whole-figure change to step back and forth over
  capture.capture(doc, after);
  bool back = true;
  for (auto _ : state) {
    restoreModelState(doc, back ? before : after);
    back = !back;
    benchmark::DoNotOptimize(doc.lines.data());
  }
}

BENCHMARK(BM_UndoSnapshotBodyModel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoStepBodyModel)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tovala
