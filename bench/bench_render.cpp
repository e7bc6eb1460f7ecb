// The renderer's hot paths: one default stroke, the full rebuild of a heavy drawing, the drag
// step on the selected line, and a large flood fill.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "model/document.h"
#include "render/stroke.h"

namespace tovala {
namespace {

// A line of the document's default style through `count` points along a gentle wave.
int addWaveLine(Document& doc, int count, float x0, float y0, float step, float amplitude,
                int kind) {
  LineRecord line = doc.makeDefaultLine();
  line.kind = kind;
  line.nam = doc.nextLineNumber();
  line.points.clear();
  for (int i = 0; i < count; ++i) {
    PointRecord p = Document::makeDefaultPoint();
    p.nam = kFirstNumber + i;
    p.mode = 0;
    p.vx = x0 + step * float(i);
    p.vy = y0 + amplitude * std::sin(float(i) * 1.3f);
    line.points.push_back(p);
  }
  line.points.push_back(doc.makeSentinelPoint(line.points.back(), kFirstNumber + count));
  const int index = doc.lineCount() - 1;
  doc.lines.insert(doc.lines.end() - 1, std::move(line));
  doc.orderAfterInsert(index);
  return index;
}

void BM_DrawStrokeDefault10Points(benchmark::State& state) {
  Document doc;
  const int line = addWaveLine(doc, 10, 100, 400, 80, 60, 0);
  for (auto _ : state) {
    drawStroke(doc, line, kFrontLayer, 0, kStrokeDraw, -1);
    benchmark::DoNotOptimize(doc.workImages.image(kFrontLayer)->pixels.data());
  }
}
BENCHMARK(BM_DrawStrokeDefault10Points)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tovala
