// Object view: ordering by depth, and the normal, circle and eye shapes in both variants.

#include <gtest/gtest.h>

#include <bit>

#include "render/frame.h"
#include "render/object_view.h"
#include "render_fixtures.h"

namespace tovala {
namespace {

using test::addLine;
using test::smallDocument;

constexpr uint32_t kGreen = 0x00FF00;

int addObject(Document& doc, int32_t drawType, uint32_t colour,
              std::vector<std::pair<int, int32_t>> pieces) {
  ObjectRecord o;
  o.header[0] = 10000 + doc.objectCount();
  o.header[1] = drawType;
  o.header[2] = int32_t(colour);
  for (size_t i = 0; i < pieces.size(); ++i) {
    o.c[i] = pieces[i].first;
    o.d[i] = pieces[i].second;
  }
  doc.objects.insert(doc.objects.end() - 1, o);
  return doc.objectCount() - 2;
}

float depthOf(const ObjectRecord& o) { return std::bit_cast<float>(o.header[6]); }

void setDepth(Document& doc, int line, float z) {
  for (PointRecord& p : doc.lines[size_t(line)].points) p.vz = z;
}

TEST(ObjectView, StableOrderByDepthWithTheCurrentObjectFollowing) {
  auto doc = smallDocument();
  const int a = addLine(*doc, {{1, 1}, {2, 2}});
  const int b = addLine(*doc, {{1, 1}, {2, 2}});
  const int c = addLine(*doc, {{1, 1}, {2, 2}});
  setDepth(*doc, a, 5);
  setDepth(*doc, b, 1);
  setDepth(*doc, c, 5);
  addObject(*doc, 0, 0, {{a, 0}});  // number 10001
  addObject(*doc, 0, 0, {{b, 0}});  // 10002
  addObject(*doc, 0, 0, {{c, 0}});  // 10003
  doc->curObject = 0;
  orderObjects(*doc);
  EXPECT_EQ(doc->objects[0].header[0], 10002);
  EXPECT_EQ(doc->objects[1].header[0], 10001);  // equal depths keep their order
  EXPECT_EQ(doc->objects[2].header[0], 10003);
  EXPECT_EQ(doc->curObject, 1);
  EXPECT_FLOAT_EQ(depthOf(doc->objects[2]), 5);
  EXPECT_EQ(doc->objects.back().header[0], -1);  // the sentinel stays last

  doc->frontToBack = 1;
  orderObjects(*doc);
  EXPECT_EQ(doc->objects[0].header[0], 10001);
  EXPECT_EQ(doc->objects[1].header[0], 10003);
  EXPECT_EQ(doc->objects[2].header[0], 10002);
  EXPECT_EQ(doc->curObject, 0);
}

TEST(ObjectView, PiecesJoinIntoOneFilledOutline) {
  auto doc = smallDocument();
  const int top = addLine(*doc, {{10, 10}, {40, 10, 1}, {40, 30}});
  // The bottom half given the other way round and taken backwards.
  const int bottom = addLine(*doc, {{10, 10}, {10, 30, 1}, {40, 30}});
  for (int32_t type : {0x100, 0}) {  // filled, then fast
    doc->objects.assign(1, ObjectRecord{});
    const int obj = addObject(*doc, type, kGreen, {{top, 0}, {bottom, 1}});
    doc->workImages.fill(kFrontLayer, doc->backColor);
    const PixelRect touched = drawObject(*doc, obj, kFrontLayer);
    const ImageSlot& img = *doc->workImages.image(kFrontLayer);
    EXPECT_EQ(img.pixel(25, 20), kGreen) << type;
    EXPECT_EQ(img.pixel(12, 28), kGreen) << type;
    EXPECT_EQ(img.pixel(5, 5), kDefaultBackColor) << type;
    EXPECT_EQ(img.pixel(45, 20), kDefaultBackColor) << type;
    EXPECT_NE(img.pixel(25, 10), kGreen) << type;  // the pieces' strokes on top
    EXPECT_FALSE(touched.empty());
  }
  // The lines are back where they were.
  EXPECT_FLOAT_EQ(doc->lines[size_t(top)].vx, 0);
  // A piece range and a single point: rule (a, b, c, d) = (0, 2, 0, 2) is points 2 down to 0.
  const std::vector<ObjectPiece> pieces = objectPieces(
      *doc,
      doc->objects[size_t(addObject(
          *doc, 0, 0, {{top, 0x00020002}, {bottom, 0x00000103}, {99, 0}, {-1, 0}, {top, 0}}))]);
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0].points, (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(pieces[1].points, (std::vector<int>{1}));
}

TEST(ObjectView, CircleThroughTheExtent) {
  auto doc = smallDocument();
  const int line = addLine(*doc, {{10, 10}, {50, 40}});
  const int obj = addObject(*doc, 0x101, kGreen, {{line, 0}});
  drawObject(*doc, obj, kFrontLayer);
  const ImageSlot& img = *doc->workImages.image(kFrontLayer);
  EXPECT_EQ(img.pixel(30, 25), kGreen);
  EXPECT_EQ(img.pixel(11, 25), kGreen);             // near the ellipse's left end, inside
  EXPECT_EQ(img.pixel(12, 12), kDefaultBackColor);  // the extent's corner lies outside it
  EXPECT_EQ(img.pixel(30, 10), kGreen);             // the ellipse's top, drawn in the object colour

  // An extent far beyond the canvas: its ellipse covers the whole canvas.
  const int huge = addLine(*doc, {{-1e20f, -1e20f}, {1e20f, 1e20f}});
  drawObject(*doc, addObject(*doc, 0x101, kGreen, {{huge, 0}}), kBackLayer);
  EXPECT_EQ(doc->workImages.image(kBackLayer)->pixel(30, 25), kGreen);
}

TEST(ObjectView, EyeWithWhiteIrisPupilAndHighlight) {
  auto doc = smallDocument(80, 60);
  const int line = addLine(*doc, {{10, 30}, {40, 15, 1}, {70, 30, 1}, {40, 45, 1}, {10, 30}});
  const int obj = addObject(*doc, 0x102, 0x0000FF, {{line, 0}});
  ObjectRecord& eye = doc->objects[size_t(obj)];
  eye.d[3] = 0xFFFFFF;    // white
  eye.d[4] = 0x00A000;    // iris
  eye.d[5] = 0;           // default iris size: 0.4 x 1.0 of the eye
  eye.d[6] = 0x00000000;  // centred, pupil half the iris
  eye.d[7] = 0x000000;    // pupil
  eye.d[8] = 0xE2E20000;  // highlight up-left by 29 percent, default size
  eye.d[9] = 0xF0F0F0;
  drawObject(*doc, obj, kFrontLayer);
  const ImageSlot& img = *doc->workImages.image(kFrontLayer);
  EXPECT_EQ(img.pixel(40, 31), 0x000000u);          // pupil at the centre
  EXPECT_EQ(img.pixel(40 + 9, 30), 0x00A000u);      // iris, outside the pupil (radius 6)
  EXPECT_EQ(img.pixel(20, 30), 0xFFFFFFu);          // white beyond the iris (radius 12)
  EXPECT_EQ(img.pixel(40 - 3, 30 - 4), 0xF0F0F0u);  // the highlight
  EXPECT_EQ(img.pixel(12, 18), kDefaultBackColor);  // outside the eye
}

// An open eye line (a lower lid) is closed for the mask only: the white reaches the straight
// edge from its last point to its first, and no line in the object's colour is drawn there.
TEST(ObjectView, OpenEyeLineGetsNoClosingStroke) {
  auto doc = smallDocument(80, 60);
  const int line = addLine(*doc, {{10, 20}, {40, 45, 1}, {70, 20}});
  const int obj = addObject(*doc, 0x002, 0x0000FF, {{line, 0}});
  doc->objects[size_t(obj)].d[3] = 0xFFFFFF;  // white
  drawObject(*doc, obj, kFrontLayer);
  const ImageSlot& img = *doc->workImages.image(kFrontLayer);
  int hard = 0;
  for (int x = 16; x <= 64; ++x) hard += img.pixel(x, 20) == 0x0000FFu;
  EXPECT_EQ(hard, 0);
  EXPECT_EQ(img.pixel(22, 20), 0xFFFFFFu);
  EXPECT_EQ(img.pixel(22, 19), kDefaultBackColor);
  EXPECT_EQ(img.pixel(22, 22), 0xFFFFFFu);
}

TEST(ObjectView, RebuildDrawsObjectsAroundTheCurrentOne) {
  auto doc = smallDocument();
  const int a = addLine(*doc, {{5, 5}, {20, 5, 1}, {20, 20}});
  const int b = addLine(*doc, {{30, 5}, {45, 5, 1}, {45, 20}});
  const int c = addLine(*doc, {{5, 30}, {20, 30, 1}, {20, 45}});
  for (int l : {a, b, c}) addObject(*doc, 0x100, kGreen, {{l, 0}});
  setDepth(*doc, a, 1);
  setDepth(*doc, b, 2);
  setDepth(*doc, c, 3);
  doc->objectView = 1;
  doc->curObject = 1;
  rebuildLayers(*doc);
  refreshSelected(*doc);
  EXPECT_EQ(doc->workImages.image(kBackLayer)->pixel(17, 8), kGreen);
  EXPECT_EQ(doc->workImages.image(kSelectedLayer)->pixel(42, 8), kGreen);
  EXPECT_EQ(doc->workImages.image(kFrontLayer)->pixel(17, 33), kGreen);
  EXPECT_EQ(doc->workImages.image(kFrontLayer)->pixel(17, 8), kDefaultBackColor);
  EXPECT_EQ(doc->workImages.image(kModelImage)->pixel(42, 8), kGreen);
}

}  // namespace
}  // namespace tovala
