// The figure as exports draw it: the working marks left out by what the lines are, smooth edges
// with the canvas's line weights at any scale, sizes, transparency.

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "export/figure_drawing.h"
#include "export/picture_export.h"
#include "model/document.h"
#include "render/frame.h"
#include "script/body_model.h"
#include "support/body_model_fixture.h"

namespace tovala {
namespace {

const Document& bodyModel() { return test::sharedBodyModel(); }

ImageSlot exported(const Document& doc, const FigureLook& look, double scale,
                   std::vector<uint8_t>* alphaOut = nullptr) {
  int32_t w = 0, h = 0;
  scaledSize(doc.imageWidth, doc.imageHeight, scale, w, h);
  FigureDrawer drawer;
  ImageSlot out;
  std::vector<uint8_t> alpha;
  EXPECT_TRUE(drawer.draw(doc, look, w, h, 0, out, alpha));
  if (alphaOut) *alphaOut = alpha;
  return out;
}

// How far the picture is from its background, summed over every pixel and channel: the ink.
double ink(const ImageSlot& p, uint32_t background) {
  const int bg[3] = {int(background >> 16) & 0xFF, int(background >> 8) & 0xFF,
                     int(background) & 0xFF};
  double sum = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      for (int k = 0; k < 3; ++k) sum += std::abs(p.row(y)[3 * x + k] - bg[k]);
  return sum;
}

size_t colours(const ImageSlot& p) {
  std::set<uint32_t> seen;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) seen.insert(p.pixel(x, y));
  return seen.size();
}

// Pixels bluer than they are red: the body model's pale blue-grey bones, nothing else of it.
int bluish(const ImageSlot& p) {
  int n = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const uint32_t c = p.pixel(x, y);
      n += int((c >> 16) & 0xFF) > int(c & 0xFF) + 10;
    }
  return n;
}

bool blankAround(const ImageSlot& p, int x0, int y0, int size, uint32_t background) {
  for (int y = y0; y < y0 + size; ++y)
    for (int x = x0; x < x0 + size; ++x)
      if (p.pixel(x, y) != background) return false;
  return true;
}

// The editor's model picture of the same lines, drawn at the canvas size without smoothing.
ImageSlot canvasPicture(const Document& source, bool hideWorkingLines) {
  Document doc = source;
  doc.objectView = 0;
  doc.edit.mode = 0;
  if (hideWorkingLines)
    for (int i = 0; i + 1 < doc.lineCount(); ++i)
      if (isWorkingLine(doc.lines[size_t(i)], false)) doc.lines[size_t(i)].sel = 0;
  rebuildLayers(doc);
  refreshSelected(doc);
  return *doc.workImages.image(kModelImage);
}

TEST(FigureDrawing, WorkingLinesAreKnownByTheirKindAndPoints) {
  LineRecord joint;
  joint.kind = 4;
  joint.points.resize(4);  // three points and the sentinel
  LineRecord stroke = joint;
  stroke.kind = 0;
  LineRecord lone = stroke;
  lone.points.resize(2);
  EXPECT_TRUE(isWorkingLine(joint, false));
  EXPECT_FALSE(isWorkingLine(joint, true));
  EXPECT_FALSE(isWorkingLine(stroke, false));
  EXPECT_TRUE(isWorkingLine(lone, false));
  EXPECT_TRUE(isWorkingLine(lone, true));

  EXPECT_TRUE(exportsObjectView(bodyModel(), ExportView::Auto));
  EXPECT_FALSE(exportsObjectView(bodyModel(), ExportView::Line));
  EXPECT_FALSE(exportsObjectView(Document(), ExportView::Auto));
  EXPECT_TRUE(exportsObjectView(Document(), ExportView::Object));
}

TEST(FigureDrawing, TheBodyModelComesOutWithoutBonesOrCornerMarksUnlessAsked) {
  const Document& doc = bodyModel();
  const ImageSlot editor = canvasPicture(doc, false);
  FigureLook line;
  line.view = ExportView::Line;
  const ImageSlot plain = exported(doc, line, 1.0);
  line.bones = true;
  const ImageSlot bones = exported(doc, line, 1.0);
  const ImageSlot filled = exported(doc, {}, 1.0);

  // The editor's picture shows the skeleton and the controllers' frame marks near (10, 10).
  EXPECT_GT(bluish(editor), 500);
  EXPECT_FALSE(blankAround(editor, 0, 0, 30, doc.backColor));
  EXPECT_EQ(bluish(plain), 0);
  EXPECT_EQ(bluish(filled), 0);
  EXPECT_GT(bluish(bones), 500);
  for (const ImageSlot* p : {&plain, &bones, &filled})
    EXPECT_TRUE(blankAround(*p, 0, 0, 30, doc.backColor));
  // The object view fills the figure: the middle of the chest is skin, not background.
  EXPECT_EQ(plain.pixel(500, 500), doc.backColor);
  EXPECT_EQ(filled.pixel(500, 500), doc.skinColor);
}

TEST(FigureDrawing, EdgesAreSmoothAndLinesWeighAsOnTheCanvasAtEveryScale) {
  const Document& doc = bodyModel();
  FigureLook line;
  line.view = ExportView::Line;
  const ImageSlot canvas = canvasPicture(doc, true);
  const double canvasInk = ink(canvas, doc.backColor);
  for (double scale : {0.5, 1.0, 2.0}) {
    const ImageSlot picture = exported(doc, line, scale);
    EXPECT_EQ(picture.width, int(std::lround(doc.imageWidth * scale)));
    // The ink grows with the area the lines cover: the scale along and the scale across.
    EXPECT_NEAR(ink(picture, doc.backColor) / (canvasInk * scale * scale), 1.0, 0.2) << scale;
    // One line colour over one background: 2 x 2 samples give three shades between them.
    EXPECT_GT(colours(picture), 2 * colours(canvas)) << scale;
  }
}

TEST(FigureDrawing, SizesFollowTheScaleOrFitTheBoxAndTheFactorFallsWithTheSize) {
  int32_t w = 0, h = 0;
  scaledSize(1000, 1200, 0.25, w, h);
  EXPECT_EQ(w, 250);
  EXPECT_EQ(h, 300);
  w = 4000, h = 4000;
  fittedSize(1000, 1200, w, h);
  EXPECT_EQ(w, 3333);
  EXPECT_EQ(h, 4000);
  w = 500, h = 100;
  fittedSize(1000, 1200, w, h);
  EXPECT_EQ(w, 83);
  EXPECT_EQ(h, 100);
  EXPECT_EQ(supersampleFactor(250, 300), 4);
  EXPECT_EQ(supersampleFactor(500, 600), 2);
  EXPECT_EQ(supersampleFactor(3333, 4000), 2);
}

TEST(FigureDrawing, ATransparentFigureIsClearAroundAndSoftAtItsEdges) {
  const Document& doc = bodyModel();
  FigureLook look;
  look.transparent = true;
  std::vector<uint8_t> alpha;
  const ImageSlot picture = exported(doc, look, 0.5, &alpha);
  ASSERT_EQ(alpha.size(), size_t(picture.width) * size_t(picture.height));
  EXPECT_EQ(alpha[0], 0);
  EXPECT_EQ(alpha[size_t(250) * size_t(picture.width) + 250], 255);  // the chest
  int soft = 0;
  for (uint8_t a : alpha) soft += a > 0 && a < 255;
  EXPECT_GT(soft, 1000);
  // Laid over a colour, the figure keeps its colours and the background takes the colour.
  FigureLook over;
  over.background = 0x00FF00;
  const ImageSlot green = exported(doc, over, 0.5);
  EXPECT_EQ(green.pixel(0, 0), 0x00FF00u);
  EXPECT_EQ(green.pixel(250, 250), doc.skinColor);
}

TEST(FigureDrawing, PictureExportsRefuseWhatTheyCannotWrite) {
  const Document& doc = bodyModel();
  PictureExportOptions options;
  options.path = "unused.png";
  EXPECT_TRUE(pictureExportFault(doc, options).empty());
  options.format = ExportFormat::Jpeg;
  options.look.transparent = true;
  EXPECT_FALSE(pictureExportFault(doc, options).empty());
  options.look.transparent = false;
  options.scale = 9.0;
  EXPECT_FALSE(pictureExportFault(doc, options).empty());
  options.scale = 1.0;
  options.format = ExportFormat::PngSequence;
  EXPECT_FALSE(pictureExportFault(doc, options).empty());
  Document scaled = doc;
  scaled.modelScale = 2.0f;
  options.format = ExportFormat::Png;
  EXPECT_EQ(pictureExportFault(scaled, options), kExportScaledModel);
}

}  // namespace
}  // namespace tovala
