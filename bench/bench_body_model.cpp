// Generating the human body model: the standard figure, and each preset body (its tables
// reshaped, then the figure built and settled), as 人体モデル作成 and the 体型 dialog's preview
// cost them. The goal is 50 ms a body.

#include <benchmark/benchmark.h>

#include "model/document.h"
#include "script/body_model.h"
#include "script/body_shape.h"
#include "script/body_tables.h"
#include "script/line_programs.h"

namespace tovala {
namespace {

void BM_BodyModel(benchmark::State& state) {
  installScriptHooks();
  const BodyShape& shape = bodyShapePresets()[size_t(state.range(0))].shape;
  state.SetLabel(bodyShapePresets()[size_t(state.range(0))].alias);
  Document doc;
  for (auto _ : state) {
    createBodyModel(doc, shape);
    benchmark::DoNotOptimize(doc.lines.data());
  }
}
BENCHMARK(BM_BodyModel)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

// The 体型 dialog's preview: the same figure in a document without pictures (the preview draws
// the lines itself), one slider step after another.
void BM_BodyPreview(benchmark::State& state) {
  installScriptHooks();
  BodyShape shape = findBodyShapePreset("chibi")->shape;
  Document doc(Canvas::kNone);
  int step = 0;
  for (auto _ : state) {
    shape.heads = 2.5 + 0.01 * (step++ % 100);
    createBodyModel(doc, shape);
    benchmark::DoNotOptimize(doc.lines.data());
  }
}
BENCHMARK(BM_BodyPreview)->Unit(benchmark::kMillisecond);

// The reshaping alone: what a slider's move costs before the figure is built.
void BM_ShapedTables(benchmark::State& state) {
  const BodyShape shape = findBodyShapePreset("chibi")->shape;
  for (auto _ : state) {
    body::BodyTables t = body::shapedTables(shape);
    benchmark::DoNotOptimize(t.outlines.data());
  }
}
BENCHMARK(BM_ShapedTables)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tovala
