// The renderer's hot paths: one default stroke, the full rebuild of a heavy drawing, the drag
// step on the selected line, and a large flood fill.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

#include "model/document.h"
#include "render/frame.h"
#include "render/image_ops.h"
#include "render/stroke.h"
#include "script/body_model.h"
#include "script/line_programs.h"

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

// A line of `kind` through `count` points on a loop around (cx, cy), in the default style.
int addLoopLine(Document& doc, std::mt19937& rng, int kind, int count, float cx, float cy,
                float radius) {
  std::uniform_real_distribution<float> jitter(-0.25f, 0.25f);
  LineRecord line = doc.makeDefaultLine();
  line.kind = kind;
  line.nam = doc.nextLineNumber();
  line.cr = rng() & 0x7F7F7F;
  line.cb = kind == 2 ? 0 : (rng() & 0xFFFFFF) | 0x404040;
  line.points.clear();
  // Fills close their loop; strokes stop three quarters of the way round.
  const float sweep = kind == 0 || kind == 3 ? 4.7f : 6.2832f;
  for (int i = 0; i < count; ++i) {
    const float a = sweep * float(i) / float(count - 1);
    PointRecord p = Document::makeDefaultPoint();
    p.nam = kFirstNumber + i;
    p.mode = 0;
    p.vx = cx + radius * (1 + jitter(rng)) * std::cos(a);
    p.vy = cy + radius * (1 + jitter(rng)) * std::sin(a);
    line.points.push_back(p);
  }
  if (kind != 0 && kind != 3) line.points.back() = line.points.front();
  line.points.push_back(doc.makeSentinelPoint(line.points.back(), kFirstNumber + count));
  const int index = doc.lineCount() - 1;
  doc.lines.insert(doc.lines.end() - 1, std::move(line));
  doc.orderAfterInsert(index);
  return index;
}

// 200 lines over the default 1000 x 1200 canvas: 130 strokes, 40 fills, 15 image lines and 15
// text lines (their strokes; no fonts here), each of 5 to 10 points.
std::unique_ptr<Document> heavyDocument() {
  auto doc = std::make_unique<Document>();
  std::mt19937 rng(12345);
  const int picture = doc->sentinelImageSlot();
  doc->userImages.makeBlank(picture, 160, 160, 0x3080C0);
  doc->appendUserImage();
  std::uniform_real_distribution<float> x(80, 920), y(80, 1120), r(20, 90);
  std::uniform_int_distribution<int> points(5, 10);
  for (int i = 0; i < 200; ++i) {
    const int kind = i % 20 < 13 ? 0 : i % 20 < 17 ? 1 : i % 20 < 18 ? 2 : 3;
    addLoopLine(*doc, rng, i % 40 == 39 ? 2 : kind, points(rng), x(rng), y(rng), r(rng));
  }
  doc->curLine = 100;
  return doc;
}

// The argument is the number of threads the layers are drawn on (0: one per core).
void BM_RebuildHeavyDocument(benchmark::State& state) {
  auto doc = heavyDocument();
  for (auto _ : state) {
    rebuildLayersOn(*doc, int(state.range(0)));
    refreshSelected(*doc);
    buildDisplay(*doc);
  }
}
BENCHMARK(BM_RebuildHeavyDocument)->Arg(0)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

// The layer rebuild of the body model in line view and in object view, on 1 or 2 threads.
void rebuildBodyModel(benchmark::State& state, bool objectView) {
  installScriptHooks();
  Document doc;
  createBodyModel(doc);
  doc.objectView = objectView ? 1 : 0;
  doc.curLine = 40;
  for (auto _ : state) {
    rebuildLayersOn(doc, int(state.range(0)));
    benchmark::DoNotOptimize(doc.workImages.image(kFrontLayer)->pixels.data());
  }
}
void BM_RebuildBodyModelLineView(benchmark::State& state) { rebuildBodyModel(state, false); }
void BM_RebuildBodyModelObjectView(benchmark::State& state) { rebuildBodyModel(state, true); }
BENCHMARK(BM_RebuildBodyModelLineView)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildBodyModelObjectView)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

// One mouse move while dragging a point of the selected line: the selected layer is redrawn
// and merged, the display rebuilt.
void runDragSteps(benchmark::State& state, Document& doc) {
  rebuildLayers(doc);
  refreshSelected(doc);
  buildDisplay(doc);
  PointRecord& point = doc.lines[size_t(doc.curLine)].points[2];
  float step = 3;
  for (auto _ : state) {
    point.vx += step;
    step = -step;
    refreshSelected(doc);
    buildDisplay(doc);
  }
}

void BM_DragStep(benchmark::State& state) {
  auto doc = heavyDocument();
  runDragSteps(state, *doc);
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMillisecond);

// The same with the underlay shown: a sketch of grey lines on white paper.
void BM_DragStepWithUnderlay(benchmark::State& state) {
  auto doc = heavyDocument();
  ImageSlot& underlay = *doc->workImages.image(kUnderlayImage);
  fillRect(underlay, PixelRect::ofSize(underlay.width, underlay.height), 0xFFFFFF);
  for (int i = 0; i < underlay.width; i += 25)
    fillRect(underlay, {i, 0, i + 2, underlay.height}, 0x909090);
  doc->showUnderlay = 1;
  runDragSteps(state, *doc);
}
BENCHMARK(BM_DragStepWithUnderlay)->Unit(benchmark::kMillisecond);

// The keyed merge of every rebuild: the front layer laid over a copy of the back layer, the
// background colour left out. Measured beside the plain per-pixel loop on the same layers.
void keyedMergePlain(ImageSlot& out, const ImageSlot& front, uint32_t key) {
  const uint8_t kb = uint8_t(key >> 16), kg = uint8_t(key >> 8), kr = uint8_t(key);
  for (int y = 0; y < front.height; ++y) {
    const uint8_t* s = front.row(y);
    uint8_t* d = out.row(y);
    for (int x = 0; x < front.width; ++x, s += 3, d += 3)
      if (s[0] != kb || s[1] != kg || s[2] != kr) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
      }
  }
}

void runKeyedMerge(benchmark::State& state, bool plain) {
  auto doc = heavyDocument();
  doc->curLine = 60;  // a third of the lines behind, the rest in front
  rebuildLayers(*doc);
  const ImageSlot& back = *doc->workImages.image(kBackLayer);
  const ImageSlot& front = *doc->workImages.image(kFrontLayer);
  // The same copy over and over: the result stays the merge, and only the keyed copy is timed.
  ImageSlot out = back;
  for (auto _ : state) {
    if (plain)
      keyedMergePlain(out, front, doc->backColor);
    else
      composite(out, 0, 0, front.width, front.height, front, doc->backColor, kCopy, false);
    benchmark::DoNotOptimize(out.pixels.data());
  }
}

void BM_KeyedMerge(benchmark::State& state) { runKeyedMerge(state, false); }
void BM_KeyedMergePlainLoop(benchmark::State& state) { runKeyedMerge(state, true); }
BENCHMARK(BM_KeyedMerge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeyedMergePlainLoop)->Unit(benchmark::kMillisecond);

// Flood fill of the whole background of the canvas around a few shapes.
void BM_FloodFillCanvas(benchmark::State& state) {
  auto doc = heavyDocument();
  rebuildLayers(*doc);
  ImageSlot& image = *doc->workImages.image(kBackLayer);
  uint32_t colours[2] = {0x00FF00, doc->backColor};
  int turn = 0;
  for (auto _ : state) {
    floodFill(image, 0, 0, colours[turn]);
    turn ^= 1;
  }
}
BENCHMARK(BM_FloodFillCanvas)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tovala
