// Frame composition: the three layers, the merge, the display buffer and its marks.

#include <gtest/gtest.h>

#include <random>

#include "render/frame.h"
#include "render/image_ops.h"
#include "render/marks.h"
#include "render_fixtures.h"

namespace tovala {
namespace {

using test::addLine;
using test::pixelsOf;
using test::smallDocument;

const ImageSlot& slot(const Document& doc, int s) { return *doc.workImages.image(s); }

std::vector<uint8_t> blankPixels(const Document& doc) {
  ImageSlot copy = slot(doc, kFrontLayer);
  fillRect(copy, PixelRect::ofSize(copy.width, copy.height), doc.backColor);
  return copy.pixels;
}

// The merge done the plain way: back, then selected and front keyed by the background.
std::vector<uint8_t> plainMerge(const Document& doc) {
  ImageSlot model = slot(doc, kBackLayer);
  for (int s : {kSelectedLayer, kFrontLayer})
    composite(model, 0, 0, model.width, model.height, slot(doc, s), doc.backColor, kCopy, false);
  return model.pixels;
}

void redraw(Document& doc) {
  rebuildLayers(doc);
  refreshSelected(doc);
  buildDisplay(doc);
}

TEST(Frame, LayersFollowTheSelection) {
  auto doc = smallDocument();
  addLine(*doc, {{5, 5}, {30, 5}});
  addLine(*doc, {{5, 20}, {30, 20}});
  addLine(*doc, {{5, 35}, {30, 35}});
  const auto blank = blankPixels(*doc);
  doc->curLine = 0;
  redraw(*doc);
  EXPECT_EQ(pixelsOf(*doc, kBackLayer), blank);
  EXPECT_NE(slot(*doc, kSelectedLayer).pixel(15, 5), kDefaultBackColor);
  EXPECT_NE(slot(*doc, kFrontLayer).pixel(15, 20), kDefaultBackColor);
  EXPECT_NE(slot(*doc, kFrontLayer).pixel(15, 35), kDefaultBackColor);
  EXPECT_EQ(pixelsOf(*doc, kModelImage), plainMerge(*doc));

  doc->curLine = 2;
  redraw(*doc);
  EXPECT_EQ(pixelsOf(*doc, kFrontLayer), blank);
  EXPECT_NE(slot(*doc, kBackLayer).pixel(15, 5), kDefaultBackColor);
  EXPECT_NE(slot(*doc, kBackLayer).pixel(15, 20), kDefaultBackColor);
  EXPECT_NE(slot(*doc, kSelectedLayer).pixel(15, 35), kDefaultBackColor);
  EXPECT_EQ(pixelsOf(*doc, kModelImage), plainMerge(*doc));

  // Work images made anew: the merge forgets the old back and front layers.
  doc->recreateWorkImages();
  refreshSelected(*doc);
  EXPECT_EQ(slot(*doc, kModelImage).pixel(15, 5), kDefaultBackColor);
  EXPECT_EQ(pixelsOf(*doc, kModelImage), plainMerge(*doc));
}

TEST(Frame, InvisibleAndUndrawnLines) {
  auto doc = smallDocument();
  const int ghost = addLine(*doc, {{5, 5}, {30, 25}});
  doc->lines[size_t(ghost)].cr = doc->backColor;
  const int hidden = addLine(*doc, {{5, 30}, {30, 40}});
  doc->lines[size_t(hidden)].sel = 0;
  const auto blank = blankPixels(*doc);
  for (int selected : {ghost, hidden}) {
    doc->curLine = selected;
    redraw(*doc);
    EXPECT_EQ(pixelsOf(*doc, kModelImage), blank);
  }
  // The hidden line selected: no point marks either.
  EXPECT_EQ(pixelsOf(*doc, kDisplayImage), blank);
}

TEST(Frame, LonePointsGetAnInvertedFrame) {
  auto doc = smallDocument();
  addLine(*doc, {{20, 20}});
  addLine(*doc, {{40, 30}, {50, 30}});
  doc->curLine = 1;
  doc->edit.viewOrigin = {2, 0, 0};
  rebuildLayers(*doc);
  const ImageSlot& back = slot(*doc, kBackLayer);
  const uint32_t inverted = kDefaultBackColor ^ 0xFFFFFF;
  // Half-size markSize (4) around (20 - 2, 20).
  EXPECT_EQ(back.pixel(14, 20), inverted);
  EXPECT_EQ(back.pixel(22, 16), inverted);
  EXPECT_EQ(back.pixel(18, 20), kDefaultBackColor);
  EXPECT_EQ(back.pixel(23, 20), kDefaultBackColor);
}

// Also: the display follows an underlay changed in place, with no rebuild in between (the
// canvas is wide enough for the sixteen-pixel blocks of the blend).
TEST(Frame, UnderlayBlendsAt100) {
  auto doc = smallDocument(40, 6);
  doc->backColor = 0xFFFFFF;
  doc->recreateWorkImages();
  ImageSlot& underlay = *doc->workImages.image(kUnderlayImage);
  underlay.setPixel(3, 3, 0x000000);
  underlay.setPixel(4, 3, 0x0000FF);
  doc->showUnderlay = 1;
  redraw(*doc);
  const ImageSlot& display = slot(*doc, kDisplayImage);
  EXPECT_EQ(display.pixel(3, 3), 0x9A9A9Au);  // (0 x 100 + 255 x 155) / 256 = 154
  EXPECT_EQ(display.pixel(4, 3), 0x9A9AFEu);  // red byte: 255 x 255 / 256 = 254
  EXPECT_EQ(display.pixel(0, 0), 0xFFFFFFu);  // pure white never changes the display
  underlay.setPixel(3, 3, 0xFFFFFF);
  underlay.setPixel(37, 1, 0x000000);
  buildDisplay(*doc);
  EXPECT_EQ(display.pixel(3, 3), 0xFFFFFFu);
  EXPECT_EQ(display.pixel(37, 1), 0x9A9A9Au);
  EXPECT_EQ(display.pixel(4, 3), 0x9A9AFEu);
  doc->showUnderlay = 0;
  buildDisplay(*doc);
  EXPECT_EQ(slot(*doc, kDisplayImage).pixel(3, 3), 0xFFFFFFu);
}

TEST(Frame, SelectedLineAndJointMarks) {
  auto doc = smallDocument(80, 60);
  const int line = addLine(*doc, {{20, 20}, {50, 40}});
  doc->curLine = line;
  doc->curPoint = 1;
  doc->edit.mode = 0;
  redraw(*doc);
  const ImageSlot* display = &slot(*doc, kDisplayImage);
  EXPECT_EQ(display->pixel(16, 20), kMarkRed);  // frame around point 0
  EXPECT_NE(display->pixel(18, 20), kMarkRed);
  EXPECT_EQ(display->pixel(50, 40), kMarkRed);  // the selected point is filled
  EXPECT_EQ(display->pixel(47, 43), kMarkRed);

  // A tapered line shows the selected point's brush: half-size max(2 x (4 + 2 x 1), 2 x 4 + 6).
  doc->lines[size_t(line)].lmode = 1;
  buildDisplay(*doc);
  display = &slot(*doc, kDisplayImage);
  EXPECT_EQ(display->pixel(50 - 14, 40), kMarkGrey);
  EXPECT_EQ(display->pixel(50 + 14, 40 - 14), kMarkGrey);

  // Motion mode: joint points, blue for batch joints, filled when selected.
  doc->lines[size_t(line)].lmode = 0;
  doc->lines[size_t(line)].points[0].kind = 1000;
  doc->lines[size_t(line)].points[1].kind = 2000;
  doc->edit.mode = 5;
  buildDisplay(*doc);
  display = &slot(*doc, kDisplayImage);
  EXPECT_EQ(display->pixel(16, 20), kMarkBlue);
  EXPECT_EQ(display->pixel(50, 40), kMarkRed);

  // Range marks with a highlighted point.
  drawPointMarks(*doc, kDisplayImage, 0, 0, line, 0);
  EXPECT_EQ(slot(*doc, kDisplayImage).pixel(20, 20), kMarkGreen);
}

// Zoomed out, marks keep a size and a border the screen shows: at least four window pixels
// across half the square and one device pixel of border.
TEST(Frame, MarksStayVisibleWhenZoomedOut) {
  auto doc = smallDocument(120, 100);
  const int line = addLine(*doc, {{40, 40}, {90, 60}});
  doc->curLine = line;
  doc->curPoint = 1;
  doc->edit.mode = 0;
  struct Case {
    float zoom, ratio;
    int half, pen;
  };
  for (const Case c : {Case{0, 1, 4, 1}, Case{1, 1, 4, 1}, Case{8, 2, 4, 1}, Case{0.25f, 1, 16, 4},
                       Case{0.25f, 2, 16, 2}, Case{0.5f, 1, 8, 2}}) {
    doc->edit.viewZoom = c.zoom;
    doc->edit.deviceRatio = c.ratio;
    EXPECT_EQ(markHalf(*doc), c.half) << c.zoom;
    EXPECT_EQ(markPen(*doc), c.pen) << c.zoom;
  }
  doc->edit.viewZoom = 0.25f;
  doc->edit.deviceRatio = 1;
  redraw(*doc);
  const ImageSlot& display = slot(*doc, kDisplayImage);
  EXPECT_EQ(display.pixel(40 - 16, 40), kMarkRed);  // the frame's outer edge
  EXPECT_EQ(display.pixel(40 - 13, 40), kMarkRed);  // four pixels of border
  EXPECT_NE(display.pixel(40 - 12, 40), kMarkRed);
  EXPECT_NE(display.pixel(40 - 17, 40), kMarkRed);
  EXPECT_EQ(display.pixel(90 + 16, 60 - 16), kMarkRed);  // the selected point, filled
}

// The seven point display styles, told apart by pixels around the selected line's points.
TEST(Frame, PointDisplayStyles) {
  auto doc = smallDocument(80, 64);
  addLine(*doc, {{60, 10}, {70, 10}});
  const int line = addLine(*doc, {{20, 20}, {50, 40}, {20, 50}, {70, 55}});
  doc->lines[size_t(line)].points[0].kind = 2000;  // a joint point
  doc->lines[size_t(line)].points[3].kind = 1000;  // a batch joint point
  doc->curLine = line;
  doc->curPoint = 1;
  redraw(*doc);
  const auto model = pixelsOf(*doc, kModelImage);
  auto show = [&](int style) -> const ImageSlot& {
    doc->pointStyle = style;
    buildDisplay(*doc);
    return slot(*doc, kDisplayImage);
  };
  for (int style : {0, 7, -1}) {  // squares; a value out of range draws as style 0
    const ImageSlot& d = show(style);
    EXPECT_EQ(d.pixel(16, 20), kMarkRed);
    EXPECT_NE(d.pixel(20, 20), kMarkRed);
    EXPECT_EQ(d.pixel(47, 43), kMarkRed);
    EXPECT_EQ(d.pixel(16, 50), kMarkRed);
    EXPECT_NE(d.pixel(35, 30), kMarkRed);
    EXPECT_NE(d.pixel(26, 16), kMarkRed);
    EXPECT_NE(d.pixel(56, 10), kMarkGrey);
  }
  // 1: squares and the point numbers, a "0" right of point 0 on a background patch.
  const ImageSlot* d = &show(1);
  EXPECT_EQ(d->pixel(16, 20), kMarkRed);
  for (int x : {26, 27, 28}) EXPECT_EQ(d->pixel(x, 16), kMarkRed);
  EXPECT_EQ(d->pixel(27, 17), doc->backColor);
  EXPECT_EQ(d->pixel(26, 17), kMarkRed);
  EXPECT_EQ(d->pixel(57, 37), kMarkRed);  // "1": its middle column at point 1
  EXPECT_EQ(d->pixel(56, 36), doc->backColor);
  // 2: small dots, the selected point still a full square.
  d = &show(2);
  EXPECT_EQ(d->pixel(20, 20), kMarkRed);
  EXPECT_EQ(d->pixel(21, 21), kMarkRed);
  EXPECT_NE(d->pixel(16, 20), kMarkRed);
  EXPECT_EQ(d->pixel(47, 43), kMarkRed);
  // 3: squares joined in point order.
  d = &show(3);
  EXPECT_EQ(d->pixel(16, 20), kMarkRed);
  EXPECT_EQ(d->pixel(35, 30), kMarkRed);
  EXPECT_EQ(d->pixel(35, 45), kMarkRed);
  // 4: joint points only (and the selected point), batch joints in blue.
  d = &show(4);
  EXPECT_EQ(d->pixel(16, 20), kMarkRed);
  EXPECT_EQ(d->pixel(66, 55), kMarkBlue);
  EXPECT_EQ(d->pixel(47, 43), kMarkRed);
  EXPECT_NE(d->pixel(16, 50), kMarkRed);
  // 5: the other lines' points framed in grey as well.
  d = &show(5);
  EXPECT_EQ(d->pixel(56, 10), kMarkGrey);
  EXPECT_EQ(d->pixel(74, 10), kMarkGrey);
  EXPECT_EQ(d->pixel(16, 20), kMarkRed);
  // 6: no marks at all.
  EXPECT_EQ(show(6).pixels, model);
}

// Random mixed documents: the cached merge equals the plain one, and a drag step (one point of
// the selected line moved, only the selected layer redrawn) equals a full redraw.
TEST(Frame, DragStepMatchesFullRedraw) {
  std::mt19937 rng(99);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto doc = smallDocument(90, 70);
  for (int round = 0; round < 12; ++round) {
    doc->lines.assign(1, doc->makeDefaultLine());
    doc->lineOrder.assign(1, 0);
    const int count = pick(2, 7);
    for (int n = 0; n < count; ++n) {
      std::vector<test::Pt> pts;
      for (int i = pick(1, 5); i > 0; --i)
        pts.push_back({float(pick(-10, 100)), float(pick(-10, 80))});
      const int l = addLine(*doc, pts, pick(0, 2) == 0 ? 1 : 0);
      doc->lines[size_t(l)].cr = uint32_t(pick(0, 0xFFFFFF));
      doc->lines[size_t(l)].cb = uint32_t(pick(0, 0xFFFFFF));
      doc->lines[size_t(l)].spmax = 24;
    }
    doc->curLine = pick(0, count - 1);
    redraw(*doc);
    ASSERT_EQ(pixelsOf(*doc, kModelImage), plainMerge(*doc));

    PointRecord& moved = doc->lines[size_t(doc->curLine)].points[0];
    moved.vx += float(pick(-20, 20));
    moved.vy += float(pick(-20, 20));
    refreshSelected(*doc);
    buildDisplay(*doc);
    const auto step = pixelsOf(*doc, kDisplayImage);
    redraw(*doc);
    ASSERT_EQ(step, pixelsOf(*doc, kDisplayImage)) << "round " << round;
  }
}

}  // namespace
}  // namespace tovala
