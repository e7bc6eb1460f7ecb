// Strokes: the kernel and rectangle stamps, the spline, the segment rules and the range fields.

#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "model/brush_kernel.h"
#include "render/frame.h"
#include "render/kernel_stamps.h"
#include "render/reference_stamps.h"
#include "render/spline.h"
#include "render/stroke.h"
#include "render/stroke_core.h"
#include "render_fixtures.h"

namespace tovala {
namespace {

using test::addLine;
using test::blendTimes;
using test::smallDocument;

constexpr int kBackR = 0xFD, kBackG = 0xFE, kBackB = 0xFF;  // the default background colour

uint32_t expectedAfter(int blends, int k, uint32_t colour) {
  const int r = blendTimes(kBackR, k, int(colour & 0xFF), blends);
  const int g = blendTimes(kBackG, k, int((colour >> 8) & 0xFF), blends);
  const int b = blendTimes(kBackB, k, int((colour >> 16) & 0xFF), blends);
  return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
}

TEST(Stamps, DefaultKernelBlendAndClipping) {
  const BrushKernel kernel = buildKernel(2, 2, 1.98f, 0);
  ASSERT_EQ(kernel.width, 2);
  ASSERT_EQ(kernel.height, 2);
  for (int32_t w : kernel.weights) EXPECT_EQ(w, 250);
  // Sizes from files are held to 1..512, the float extremes and NaN included.
  for (float side : {-3e38f, 3e38f, std::numeric_limits<float>::quiet_NaN()}) {
    const BrushKernel k = buildKernel(side, side, 1.5f, 0);
    EXPECT_EQ(k.width, side > 0 ? 512 : 1);
    EXPECT_EQ(k.weights.size(), size_t(k.width) * size_t(k.height));
  }
  // A NaN transparency paints nothing.
  EXPECT_EQ(buildKernel(1, 1, std::numeric_limits<float>::quiet_NaN(), 0).weights[0], 256);
  EXPECT_EQ(buildKernel(3, 3, 1, std::numeric_limits<float>::quiet_NaN()).weights[4], 256);

  auto doc = smallDocument(8, 6);
  ImageSlot& img = *doc->workImages.image(kFrontLayer);
  // Top-left cell at (x - 1, y - 1): the 2 x 2 block ending at (4, 3).
  stampKernel(img, kernel, 4, 3, 0x000000);
  const uint32_t once = expectedAfter(1, 250, 0);
  EXPECT_EQ(img.pixel(3, 2), once);
  EXPECT_EQ(img.pixel(4, 3), once);
  EXPECT_EQ(img.pixel(5, 3), kDefaultBackColor);
  EXPECT_EQ(img.pixel(4, 4), kDefaultBackColor);
  // One blend of 250: (250 * 253 + 6 * 0) >> 8 = 247 for red.
  EXPECT_EQ(once & 0xFF, 247u);

  // At a corner only the cells inside are painted, and nothing outside is touched.
  auto before = img.pixels;
  stampKernel(img, kernel, 0, 0, 0x0000FF);
  EXPECT_EQ(img.pixel(0, 0), expectedAfter(1, 250, 0x0000FF));
  stampKernel(img, kernel, 8, 6, 0x000000);  // only (7, 5) is inside
  EXPECT_EQ(img.pixel(7, 5), expectedAfter(1, 250, 0x000000));
  stampKernel(img, kernel, -5, 40, 0x000000);  // entirely outside
  int changed = 0;
  for (size_t i = 0; i < before.size(); ++i) changed += before[i] != img.pixels[i];
  // Red over the background keeps its red byte (253 stays 253): 2 + 3 bytes.
  EXPECT_EQ(changed, 5);

  // A rectangle of weight 0 paints its colour exactly; its top-left is (x - w/2, y - h/2).
  stampRect(img, 4, 3, 3, 2, 0x123456, 0);
  EXPECT_EQ(img.pixel(3, 2), 0x123456u);
  EXPECT_EQ(img.pixel(5, 3), 0x123456u);
  EXPECT_NE(img.pixel(6, 3), 0x123456u);
  EXPECT_NE(img.pixel(3, 4), 0x123456u);
}

TEST(Stamps, FastPrimitivesMatchReference) {
  std::mt19937 rng(7);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto real = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(rng);
  };
  auto doc = smallDocument(37, 29);
  ImageSlot& fast = *doc->workImages.image(kFrontLayer);
  ImageSlot& plain = *doc->workImages.image(kBackLayer);
  for (int round = 0; round < 400; ++round) {
    const BrushKernel kernel = buildKernel(float(pick(1, 9)), float(pick(1, 9)),
                                           float(real(0.5, 2.0)), float(real(-4, 0.5)));
    const uint32_t colour = uint32_t(pick(0, 0xFFFFFF));
    const int x0 = pick(-20, 60), y0 = pick(-20, 50), x1 = pick(-20, 60), y1 = pick(-20, 50);
    switch (round % 3) {
      case 0:
        kernelLine(fast, kernel, x0, y0, x1, y1, colour);
        reference::kernelLine(plain, kernel, x0, y0, x1, y1, colour);
        break;
      case 1: {
        const TaperEnd a{x0, y0, real(-1, 9), real(-1, 9), real(-20, 280)};
        const TaperEnd b{x1, y1, real(-1, 9), real(-1, 9), real(-20, 280)};
        taperedLine(fast, a, b, colour);
        reference::taperedLine(plain, a, b, colour);
        break;
      }
      default:
        stampKernel(fast, kernel, x0, y0, colour);
        reference::stampKernel(plain, kernel, x0, y0, colour);
    }
    ASSERT_EQ(fast.pixels, plain.pixels) << "round " << round;
  }
}

TEST(Spline, PassesThroughPointsAndFindsIntervals) {
  ParametricSpline s;
  const std::vector<double> xs{0, 10, 10, 30, 45}, ys{0, 5, 5, -20, 0};
  s.build(xs, ys);
  ASSERT_EQ(s.count(), 5);
  EXPECT_EQ(s.param(0), 0.0);
  EXPECT_EQ(s.param(4), 1.0);
  // The coincident pair still gets a step of sqrt(0.02).
  EXPECT_GT(s.param(2), s.param(1));
  for (int i = 0; i < 4; ++i) {
    double x, y;
    s.evaluate(i, s.param(i), x, y);
    EXPECT_NEAR(x, xs[size_t(i)], 1e-9);
    EXPECT_NEAR(y, ys[size_t(i)], 1e-9);
  }
  int cursor = 0;
  for (int j = 0; j <= 1000; ++j) {
    const double t = j / 1000.0;
    cursor = s.advance(cursor, t);
    ASSERT_EQ(cursor, s.intervalOf(t)) << t;
    ASSERT_LE(s.param(cursor), t + (cursor == 0 ? 0.0 : 1e-12));
  }
  EXPECT_EQ(s.intervalOf(-0.5), 0);
  EXPECT_EQ(s.intervalOf(1.5), 3);

  // Evenly spaced points on a line give a straight, evenly parametrised curve.
  s.build(std::vector<double>{0, 10, 20, 30}, std::vector<double>{0, 20, 40, 60});
  double x, y;
  s.evaluate(s.intervalOf(0.5), 0.5, x, y);
  EXPECT_NEAR(x, 15.0, 1e-9);
  EXPECT_NEAR(y, 30.0, 1e-9);
}

TEST(Stroke, TwoPointLineIsStampedOncePerPass) {
  auto doc = smallDocument();
  const int line = addLine(*doc, {{10, 20}, {30, 20}});
  drawStroke(*doc, line, kFrontLayer, 0, kStrokeDraw, -1);
  const ImageSlot& img = *doc->workImages.image(kFrontLayer);
  // 21 passes (20..40); an inner pixel lies under two stamps of each pass, the end pixels
  // under one.
  EXPECT_EQ(img.pixel(20, 20), expectedAfter(42, 250, 0));
  EXPECT_EQ(img.pixel(20, 19), expectedAfter(42, 250, 0));
  EXPECT_EQ(img.pixel(10, 20), expectedAfter(42, 250, 0));
  EXPECT_EQ(img.pixel(9, 20), expectedAfter(21, 250, 0));
  EXPECT_EQ(img.pixel(30, 20), expectedAfter(21, 250, 0));
  EXPECT_EQ(img.pixel(31, 20), kDefaultBackColor);
  EXPECT_EQ(img.pixel(20, 21), kDefaultBackColor);
  EXPECT_EQ(img.pixel(20, 18), kDefaultBackColor);

  // The range holds left, top, right, bottom widened by half the brush and the mark size.
  const LineRecord& l = doc->lines[size_t(line)];
  EXPECT_FLOAT_EQ(l.rectx, 5);
  EXPECT_FLOAT_EQ(l.recty, 15);
  EXPECT_FLOAT_EQ(l.rectw, 35);
  EXPECT_FLOAT_EQ(l.recth, 25);
}

// A changed document brush is in force at the next redraw, for the lines of every layer: the
// picture is the one a document that always had that brush draws.
TEST(Stroke, ChangedDocumentBrushDrawsEveryLayer) {
  auto draw = [](bool changeBrush, bool kernelToo) {
    auto doc = smallDocument();
    doc->perLine = 0;
    addLine(*doc, {{10, 10}, {50, 30}});
    doc->curLine = addLine(*doc, {{10, 40}, {50, 20}});
    if (changeBrush) doc->defBrush = {6.0f, 6.0f, 1.0f, -3.0f};
    if (kernelToo) doc->workImages.kernel = buildKernel(6.0f, 6.0f, 1.0f, -3.0f);
    rebuildLayers(*doc);
    refreshSelected(*doc);
    return test::pixelsOf(*doc, kModelImage);
  };
  const auto changed = draw(true, false);
  EXPECT_EQ(changed, draw(true, true));
  EXPECT_NE(changed, draw(false, false));
}

TEST(Stroke, PurposesAndUndrawnLines) {
  auto doc = smallDocument();
  const int one = addLine(*doc, {{12, 14}});
  const int two = addLine(*doc, {{10, 20}, {30, 20}});
  const auto blank = test::pixelsOf(*doc, kFrontLayer);

  // A one-point line draws nothing; its range is its point widened.
  drawStroke(*doc, one, kFrontLayer, 0, kStrokeDraw, -1);
  EXPECT_EQ(test::pixelsOf(*doc, kFrontLayer), blank);
  EXPECT_FLOAT_EQ(doc->lines[size_t(one)].rectx, 7);
  EXPECT_FLOAT_EQ(doc->lines[size_t(one)].recth, 19);

  // Measuring stores the range and draws nothing.
  drawStroke(*doc, two, kFrontLayer, 0, kStrokeMeasure, -1);
  EXPECT_EQ(test::pixelsOf(*doc, kFrontLayer), blank);
  EXPECT_FLOAT_EQ(doc->lines[size_t(two)].rectw, 35);

  // Drawing for a mask leaves the range alone.
  doc->lines[size_t(two)].rectx = -99;
  drawStroke(*doc, two, kFrontLayer, 0, kStrokeDrawMask, -1);
  EXPECT_NE(test::pixelsOf(*doc, kFrontLayer), blank);
  EXPECT_FLOAT_EQ(doc->lines[size_t(two)].rectx, -99);

  // A line whose sel is 0 is neither drawn nor measured.
  doc->workImages.fill(kFrontLayer, doc->backColor);
  doc->lines[size_t(two)].sel = 0;
  drawStroke(*doc, two, kFrontLayer, 0, kStrokeDraw, -1);
  EXPECT_EQ(test::pixelsOf(*doc, kFrontLayer), blank);
  EXPECT_FLOAT_EQ(doc->lines[size_t(two)].rectx, -99);

  // Invalid indices and empty slots are ignored.
  drawStroke(*doc, 7, kFrontLayer, 0, kStrokeDraw, -1);
  drawStroke(*doc, -1, kFrontLayer, 0, kStrokeDraw, -1);
  doc->lines[size_t(two)].sel = 1;
  drawStroke(*doc, two, kScratchImage2, 0, kStrokeDraw, -1);
  EXPECT_EQ(test::pixelsOf(*doc, kFrontLayer), blank);
}

// Draws each line of `doc` into its own cleared front layer and returns the pixels.
std::vector<uint8_t> drawn(Document& doc, int line) {
  doc.workImages.fill(kFrontLayer, doc.backColor);
  drawStroke(doc, line, kFrontLayer, 0x102030, kStrokeDraw, -1);
  return test::pixelsOf(doc, kFrontLayer);
}

TEST(Stroke, SegmentRules) {
  auto doc = smallDocument(80, 60);
  // An ignored point between two points: the spline runs through its neighbours only.
  const int skipping = addLine(*doc, {{5, 5}, {20, 40, 3}, {30, 10}, {50, 30}});
  const int without = addLine(*doc, {{5, 5}, {30, 10}, {50, 30}});
  EXPECT_EQ(drawn(*doc, skipping), drawn(*doc, without));

  // A vertex ends one segment and starts the next: two straight lines sharing the corner.
  const int cornered = addLine(*doc, {{5, 5}, {40, 5, 1}, {40, 40}});
  const int first = addLine(*doc, {{5, 5}, {40, 5}});
  const int second = addLine(*doc, {{40, 5}, {40, 40}});
  const auto corner = drawn(*doc, cornered);
  doc->workImages.fill(kFrontLayer, doc->backColor);
  drawStroke(*doc, first, kFrontLayer, 0x102030, kStrokeDraw, -1);
  drawStroke(*doc, second, kFrontLayer, 0x102030, kStrokeDraw, -1);
  EXPECT_EQ(corner, test::pixelsOf(*doc, kFrontLayer));

  // A split leaves a gap up to the next point; an end point stops the stroke.
  const int split =
      addLine(*doc, {{5, 20}, {20, 20, 2}, {40, 20}, {60, 20}, {70, 50, -1}, {75, 55}});
  drawn(*doc, split);
  const ImageSlot& img = *doc->workImages.image(kFrontLayer);
  EXPECT_NE(img.pixel(12, 20), kDefaultBackColor);
  EXPECT_EQ(img.pixel(30, 20), kDefaultBackColor);
  EXPECT_NE(img.pixel(50, 20), kDefaultBackColor);
  EXPECT_EQ(img.pixel(65, 35), kDefaultBackColor);
  EXPECT_EQ(img.pixel(74, 54), kDefaultBackColor);
  EXPECT_FLOAT_EQ(doc->lines[size_t(split)].rectw, 65);
}

TEST(Stroke, PassesAndDrift) {
  auto doc = smallDocument(80, 60);
  const int a = addLine(*doc, {{5, 5}, {30, 40}, {60, 10}});
  // With equal minimum and maximum there is one pass and the drift never applies.
  LineRecord& l = doc->lines[size_t(a)];
  l.spmin = l.spmax = 20;
  const auto still = drawn(*doc, a);
  l.spdspx = 25;
  l.spdspy = -13;
  EXPECT_EQ(drawn(*doc, a), still);
  // With several passes the drift moves the later passes.
  l.spmax = 24;
  const auto drifting = drawn(*doc, a);
  l.spdspx = l.spdspy = 0;
  EXPECT_NE(drawn(*doc, a), drifting);

  // Coincident points keep the spline finite.
  const int twin = addLine(*doc, {{10, 10}, {10, 10}, {40, 30}});
  drawn(*doc, twin);
  EXPECT_NE(doc->workImages.image(kFrontLayer)->pixel(40, 30), kDefaultBackColor);
  // The last pass has drifted 20 x 0.3 / 20 to the right.
  EXPECT_NEAR(doc->lines[size_t(twin)].rectw, 45.3, 1e-4);
}

// Pass ranges from files or scripts may be any two 32-bit values: passes at or below 0 draw
// nothing, and the ceiling of kMaxStrokePasses passes gives the pixels of the capped range.
TEST(Stroke, ExtremePassRangesDrawAtOnce) {
  constexpr int32_t kLow = std::numeric_limits<int32_t>::min();
  constexpr int32_t kHigh = std::numeric_limits<int32_t>::max();
  auto doc = smallDocument(80, 60);
  const int curve = addLine(*doc, {{5, 5}, {30, 40}, {60, 10}});
  const int straight = addLine(*doc, {{10, 50}, {70, 50}});
  const int fill = addLine(*doc, {{20, 20}, {50, 20}, {35, 45}}, 1);
  auto drawnWith = [&](int line, int32_t lo, int32_t hi) {
    LineRecord& l = doc->lines[size_t(line)];
    l.spmin = lo;
    l.spmax = hi;
    l.spdspx = l.spdspy = 0;
    doc->workImages.fill(kFrontLayer, doc->backColor);
    drawLine(*doc, line, kFrontLayer, kStrokeDraw);
    return test::pixelsOf(*doc, kFrontLayer);
  };
  doc->workImages.fill(kFrontLayer, doc->backColor);
  const std::vector<uint8_t> blank = test::pixelsOf(*doc, kFrontLayer);

  EXPECT_EQ(drawnWith(curve, kLow, 0), blank);
  EXPECT_EQ(drawnWith(curve, -7, -3), blank);
  EXPECT_EQ(drawnWith(fill, kLow, kLow), blank);
  EXPECT_EQ(drawnWith(curve, kLow, kHigh), drawnWith(curve, 1, kMaxStrokePasses));
  EXPECT_EQ(drawnWith(curve, kHigh, kHigh), drawnWith(curve, kMaxStrokePasses, kMaxStrokePasses));
  EXPECT_EQ(drawnWith(fill, kHigh, kHigh), drawnWith(fill, kMaxStrokePasses, kMaxStrokePasses));
  // A straight line repeated past the ceiling cannot change another byte.
  const std::vector<uint8_t> many = drawnWith(straight, 1, 300);
  EXPECT_NE(many, blank);
  EXPECT_EQ(drawnWith(straight, kLow, kHigh), many);
}

TEST(Stroke, TaperedStyleWeights) {
  auto doc = smallDocument(80, 60);
  const int line = addLine(*doc, {{10, 10}, {40, 25}, {70, 12}});
  LineRecord* l = &doc->lines[size_t(line)];
  l->lmode = 1;
  for (PointRecord& p : l->points) {
    p.pww = 4;
    p.pwh = 4;
    p.pwa = 0;
  }
  drawn(*doc, line);
  EXPECT_EQ(doc->workImages.image(kFrontLayer)->pixel(40, 25), 0x102030u);
  // Higher weights leave more of the background: 255 moves a byte by one step per stamp.
  const int straight = addLine(*doc, {{10, 40}, {60, 40}});
  doc->lines[size_t(straight)].lmode = 1;
  int previous = 0x30 - 1;
  for (float weight : {240.0f, 250.0f, 255.0f}) {
    for (PointRecord& p : doc->lines[size_t(straight)].points) {
      p.pww = p.pwh = 4;
      p.pwa = weight;
    }
    drawn(*doc, straight);
    const int red = int(doc->workImages.image(kFrontLayer)->pixel(30, 40) & 0xFF);
    EXPECT_GT(red, previous) << weight;
    EXPECT_LT(red, 0xFD) << weight;
    previous = red;
  }

  // Without per-line style the line falls back to the kernel and the document's shape.
  doc->perLine = 0;
  LineRecord& first = doc->lines[size_t(line)];
  const auto fallback = drawn(*doc, line);
  first.lmode = 0;
  EXPECT_EQ(drawn(*doc, line), fallback);
}

TEST(Stroke, FarOutsidePointsDrawTheVisiblePart) {
  auto doc = smallDocument();
  const int line = addLine(*doc, {{-1e9f, 20}, {1e9f, 20}});
  drawStroke(*doc, line, kFrontLayer, 0, kStrokeDraw, -1);
  const ImageSlot& img = *doc->workImages.image(kFrontLayer);
  EXPECT_EQ(img.pixel(0, 20), expectedAfter(42, 250, 0));
  EXPECT_EQ(img.pixel(63, 19), expectedAfter(42, 250, 0));
  EXPECT_EQ(img.pixel(30, 21), kDefaultBackColor);
}

// Random lines of every style, drawn by the fast and the reference path.
TEST(Stroke, FastPathMatchesReferenceOnRandomDocuments) {
  std::mt19937 rng(2024);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto real = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(rng);
  };
  const int modes[] = {0, 0, 0, 0, 1, 2, 3, 0};
  auto doc = smallDocument(90, 70);
  for (int round = 0; round < 60; ++round) {
    doc->lines.assign(1, doc->makeDefaultLine());
    doc->lineOrder.assign(1, 0);
    doc->perLine = pick(0, 3) == 0 ? 0 : 1;
    doc->workImages.kernel =
        buildKernel(float(pick(1, 6)), float(pick(1, 6)), float(real(0.9, 2)), float(real(-3, 0)));
    const int lines = pick(1, 4);
    for (int n = 0; n < lines; ++n) {
      std::vector<test::Pt> pts;
      const int count = pick(1, 7);
      for (int i = 0; i < count; ++i)
        pts.push_back({float(real(-30, 120)), float(real(-30, 100)), modes[pick(0, 7)]});
      const int line = addLine(*doc, pts, 0);
      LineRecord& l = doc->lines[size_t(line)];
      l.lmode = pick(0, 1);
      l.brw = float(pick(1, 7));
      l.brh = float(pick(1, 7));
      l.bra = float(real(0.8, 2.0));
      l.brk = float(real(-4, 0));
      l.spmin = pick(1, 4);
      l.spmax = l.spmin + pick(-1, 3);
      l.spdspx = real(-3, 3);
      l.spdspy = real(-3, 3);
      l.w = float(real(0.5, 1.5));
      l.vx = float(real(-10, 10));
      for (PointRecord& p : l.points) {
        p.pww = float(real(0, 7));
        p.pwh = float(real(0, 7));
        p.pwa = float(real(-10, 270));
        p.spdspx = real(-2, 2);
        p.spdspy = real(-2, 2);
      }
      const uint32_t colour = uint32_t(pick(0, 0xFFFFFF));
      drawStroke(*doc, line, kFrontLayer, colour, kStrokeDraw, -1);
      const LineRecord fastRange = l;
      drawStrokeReference(*doc, line, kBackLayer, colour, kStrokeDraw, -1);
      ASSERT_EQ(test::pixelsOf(*doc, kFrontLayer), test::pixelsOf(*doc, kBackLayer))
          << "round " << round << " line " << n;
      EXPECT_EQ(fastRange.rectx, l.rectx);
      EXPECT_EQ(fastRange.recth, l.recth);
    }
  }
}

}  // namespace
}  // namespace tovala
