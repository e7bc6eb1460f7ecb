// The layers drawn in bands on several threads are the same bytes, and leave the same ranges in
// the lines, as the layers drawn on one thread: on the body model (line and object view) and on
// a document of 200 lines of every kind. Lives with the script tests for the body model.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <random>

#include "model/document.h"
#include "render/bands.h"
#include "render/frame.h"
#include "script/body_model.h"

namespace tovala {
namespace {

// A line through `count` points on a loop around (cx, cy): strokes and text lines stop three
// quarters of the way round, fills and image lines close it.
void addLoopLine(Document& doc, std::mt19937& rng, int kind, int count, float cx, float cy,
                 float radius) {
  std::uniform_real_distribution<float> jitter(-0.25f, 0.25f);
  LineRecord line = doc.makeDefaultLine();
  line.kind = kind;
  line.nam = doc.nextLineNumber();
  line.cr = rng() & 0x7F7F7F;
  line.cb = kind == 2 ? 0 : (rng() & 0xFFFFFF) | 0x404040;
  line.lmode = rng() % 5 == 0 ? 1 : 0;
  line.points.clear();
  const float sweep = kind == 0 || kind == 3 ? 4.7f : 6.2832f;
  for (int i = 0; i < count; ++i) {
    const float a = sweep * float(i) / float(std::max(count - 1, 1));
    PointRecord p = Document::makeDefaultPoint();
    p.nam = kFirstNumber + i;
    p.mode = i == 2 && rng() % 4 == 0 ? 1 : 0;
    p.vx = cx + radius * (1 + jitter(rng)) * std::cos(a);
    p.vy = cy + radius * (1 + jitter(rng)) * std::sin(a);
    p.pww = float(1 + rng() % 6);
    p.pwh = float(1 + rng() % 6);
    p.pwa = float(rng() % 200);
    line.points.push_back(p);
  }
  if (kind != 0 && kind != 3 && count > 2) line.points.back() = line.points.front();
  line.points.push_back(doc.makeSentinelPoint(line.points.back(), kFirstNumber + count));
  const int index = doc.lineCount() - 1;
  doc.lines.insert(doc.lines.end() - 1, std::move(line));
  doc.orderAfterInsert(index);
}

// 200 lines over the whole canvas and past its edges: strokes (some tapered), fills, image
// lines, text lines' strokes and lone points.
std::unique_ptr<Document> twoHundredLines() {
  auto doc = std::make_unique<Document>();
  std::mt19937 rng(2024);
  doc->userImages.makeBlank(doc->sentinelImageSlot(), 120, 90, 0x3080C0);
  doc->appendUserImage();
  std::uniform_real_distribution<float> x(-60, 1060), y(-60, 1260), r(8, 110);
  for (int i = 0; i < 200; ++i) {
    const int kind = i % 10 < 6 ? 0 : i % 10 < 8 ? 1 : i % 10 < 9 ? 2 : 3;
    const int points = i % 23 == 0 ? 1 : 2 + int(rng() % 8);
    addLoopLine(*doc, rng, kind, points, x(rng), y(rng), r(rng));
  }
  return doc;
}

struct Drawn {
  std::vector<uint8_t> back, front, model;
  std::vector<std::array<float, 4>> ranges;
};

Drawn drawWith(Document& doc, int threads) {
  for (LineRecord& line : doc.lines) line.rectx = line.recty = line.rectw = line.recth = -7;
  rebuildLayersOn(doc, threads);
  refreshSelected(doc);
  Drawn d{doc.workImages.image(kBackLayer)->pixels, doc.workImages.image(kFrontLayer)->pixels,
          doc.workImages.image(kModelImage)->pixels, {}};
  for (const LineRecord& line : doc.lines)
    d.ranges.push_back({line.rectx, line.recty, line.rectw, line.recth});
  return d;
}

void expectSameInBands(Document& doc, const char* what) {
  const Drawn one = drawWith(doc, 1);
  // Two threads twice: the second time the bands are split where the first timing put them.
  for (int threads : {2, 2, 5}) {
    const Drawn bands = drawWith(doc, threads);
    EXPECT_TRUE(bands.back == one.back) << what << ", " << threads << " threads";
    EXPECT_TRUE(bands.front == one.front) << what << ", " << threads << " threads";
    EXPECT_TRUE(bands.model == one.model) << what << ", " << threads << " threads";
    EXPECT_TRUE(bands.ranges == one.ranges) << what << ", " << threads << " threads";
  }
  // Both layers hold drawing.
  EXPECT_NE(one.back, one.front) << what;
}

TEST(BandDrawing, SameBytesAsOneThread) {
  // The split follows the time: a band that took three times as long gives up rows, halfway to
  // the balanced edge (800 -> 700), a band that took no time takes half of the other's (900 ->
  // 750); every band keeps rows, in order.
  EXPECT_EQ(nextBandEdges({}, {}, 2, 1200), (std::vector<int32_t>{0, 600, 1200}));
  EXPECT_EQ(nextBandEdges({0, 600, 1200}, {1.0, 3.0}, 2, 1200),
            (std::vector<int32_t>{0, 700, 1200}));
  EXPECT_EQ(nextBandEdges({0, 600, 1200}, {0.0, 5.0}, 2, 1200)[1], 750);
  const std::vector<int32_t> squeezed = nextBandEdges({0, 30, 60, 1200}, {0, 0, 1.0}, 3, 1200);
  for (size_t k = 1; k < squeezed.size(); ++k)
    EXPECT_GE(squeezed[k] - squeezed[k - 1], kMinBandRows / 2);

  Document body;
  createBodyModel(body);
  body.curLine = 40;
  expectSameInBands(body, "body model, line view");
  body.objectView = 1;
  body.curObject = 30;
  expectSameInBands(body, "body model, object view");

  auto doc = twoHundredLines();
  doc->curLine = 90;
  expectSameInBands(*doc, "200 lines");
}

}  // namespace
}  // namespace tovala
