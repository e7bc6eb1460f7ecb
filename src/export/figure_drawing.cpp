#include "export/figure_drawing.h"

#include <algorithm>
#include <cmath>

#include "model/model_state.h"
#include "platform/ui.h"
#include "render/figure_alpha.h"
#include "render/frame.h"

namespace tovala {

namespace {

// Pixels the supersampled drawing aims at: twice a canvas of the default size, so a thumbnail
// gets 4 x 4 samples a pixel and a print 2 x 2, at a cost near two canvas redraws.
constexpr double kSampleBudget = 2.5e6;
constexpr int kMinFactor = 2, kMaxFactor = 4;

// A stamp that leaves a share r of the colour below it, repeated f times, leaves r^f: the
// stamp that leaves r^(1/f) gives after f stamps what the first gave after one. A brush weight
// is the share left in 256ths; 0 (opaque) and 256 (no paint) stay as they are.
double thinnedWeight(double weight, double f) {
  if (weight <= 0.0 || weight >= 256.0) return weight;
  return 256.0 * std::pow(weight / 256.0, 1.0 / f);
}

// The brush's A sets the weight 256 (A - e^(K r^4)): exact for the usual K = 0, close for a
// soft edge.
float thinnedA(float a, double f) {
  if (a <= 1.0f || a >= 2.0f) return a;
  return float(1.0 + thinnedWeight(256.0 * (a - 1.0), f) / 256.0);
}

// Every length drawing uses, times fx across and fy down; see the header.
void scaleFigure(Document& doc, double fx, double fy) {
  const double f = std::sqrt(fx * fy);
  const auto side = [](double v) { return float(std::max(1.0, v)); };
  for (LineRecord& l : doc.lines) {
    l.w = float(l.w * fx);
    l.vx = float(l.vx * fx);
    l.h = float(l.h * fy);
    l.vy = float(l.vy * fy);
    l.brw = side(l.brw * fx);
    l.brh = side(l.brh * fy);
    l.bra = thinnedA(l.bra, f);
    l.spdspx *= fx;
    l.spdspy *= fy;
    for (PointRecord& p : l.points) {
      p.pww = side(p.pww * fx);
      p.pwh = side(p.pwh * fy);
      p.pwa = float(thinnedWeight(p.pwa, f));
      p.spdspx *= fx;
      p.spdspy *= fy;
    }
  }
  doc.defBrush[0] = side(doc.defBrush[0] * fx);
  doc.defBrush[1] = side(doc.defBrush[1] * fy);
  doc.defBrush[2] = thinnedA(doc.defBrush[2], f);
  doc.defSpDspX *= fx;
  doc.defSpDspY *= fy;
  doc.markSize = std::max(1, int(std::lround(doc.markSize * f)));
}

// Image and text lines draw pictures and characters at their own pixel sizes; only the object
// view leaves them out.
bool showsPixelSizedLines(const Document& doc) {
  if (doc.objectView == 1) return false;
  for (int i = 0; i + 1 < doc.lineCount(); ++i) {
    const LineRecord& l = doc.lines[size_t(i)];
    if (l.sel != 0 && (l.kind == 2 || l.kind == 3)) return true;
  }
  return false;
}

// The figure laid over an opaque colour.
void layOver(ImageSlot& picture, const std::vector<uint8_t>& alpha, uint32_t colour) {
  const int bg[3] = {int(colour >> 16) & 0xFF, int(colour >> 8) & 0xFF, int(colour) & 0xFF};
  const uint8_t* a = alpha.data();
  for (int y = 0; y < picture.height; ++y) {
    uint8_t* p = picture.row(y);
    for (int x = 0; x < picture.width; ++x, p += 3, ++a)
      for (int k = 0; k < 3; ++k) p[k] = uint8_t((p[k] * *a + bg[k] * (255 - *a) + 127) / 255);
  }
}

}  // namespace

bool exportsObjectView(const Document& doc, ExportView view) {
  if (view == ExportView::Auto) return doc.objectCount() > 1;
  return view == ExportView::Object;
}

bool isWorkingLine(const LineRecord& line, bool bones) {
  if (line.kind == 4 && !bones) return true;
  // The sentinel point is counted: at most one real point draws nothing but the editor's mark.
  return line.pointCount() - 1 <= 1;
}

int supersampleFactor(int32_t width, int32_t height) {
  const double pixels = std::max(1.0, double(width) * double(height));
  return std::clamp(int(std::sqrt(kSampleBudget / pixels)), kMinFactor, kMaxFactor);
}

void scaledSize(int32_t canvasWidth, int32_t canvasHeight, double scale, int32_t& width,
                int32_t& height) {
  width = std::max(1, int32_t(std::lround(canvasWidth * scale)));
  height = std::max(1, int32_t(std::lround(canvasHeight * scale)));
}

void fittedSize(int32_t canvasWidth, int32_t canvasHeight, int32_t& width, int32_t& height) {
  const double scale = std::min(double(width) / canvasWidth, double(height) / canvasHeight);
  scaledSize(canvasWidth, canvasHeight, scale, width, height);
}

void FigureDrawer::copyFigure(const Document& posed, const FigureLook& look) {
  ModelState state;
  ModelStateCapture().capture(posed, state);
  restoreModelState(doc_, state);
  doc_.ui = &silentUi();
  doc_.textPainter = posed.textPainter;
  doc_.edit = EditState{};
  doc_.edit.mode = 0;  // neither motion mode's joint marks nor paint mode's mask
  doc_.objectView = exportsObjectView(posed, look.view) ? 1 : 0;
  for (int i = 0; i + 1 < doc_.lineCount(); ++i) {
    LineRecord& l = doc_.lines[size_t(i)];
    if (isWorkingLine(l, look.bones)) l.sel = 0;
  }
}

bool FigureDrawer::draw(const Document& posed, const FigureLook& look, int32_t width,
                        int32_t height, int threads, ImageSlot& out, std::vector<uint8_t>& alpha) {
  if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
      posed.imageWidth <= 0 || posed.imageHeight <= 0)
    return false;
  copyFigure(posed, look);
  int32_t drawWidth = posed.imageWidth, drawHeight = posed.imageHeight;
  if (look.smooth && !showsPixelSizedLines(doc_)) {
    int k = supersampleFactor(width, height);
    while (k > 1 && (int64_t(width) * k > kMaxPictureSide || int64_t(height) * k > kMaxPictureSide))
      --k;
    drawWidth = width * k;
    drawHeight = height * k;
    scaleFigure(doc_, double(drawWidth) / posed.imageWidth, double(drawHeight) / posed.imageHeight);
  }
  doc_.imageWidth = drawWidth;
  doc_.imageHeight = drawHeight;
  doc_.buildCanvas();
  const ImageSlot* model = doc_.workImages.image(kModelImage);
  if (!model || model->width != drawWidth || model->height != drawHeight ||
      model->pixels.empty()) {
    doc_.recreateLayers();
    model = doc_.workImages.image(kModelImage);
    if (!model || model->width != drawWidth || model->height != drawHeight) return false;
  }

  const ImageSlot* picture = nullptr;
  drawnAlpha_.clear();
  if (look.transparent || (look.background && *look.background != doc_.backColor)) {
    if (!renderFigureAlpha(doc_, drawn_, drawnAlpha_, threads, false)) return false;
    if (!look.transparent) {
      layOver(drawn_, drawnAlpha_, *look.background);
      drawnAlpha_.clear();
    }
    picture = &drawn_;
  } else {
    rebuildLayersOn(doc_, threads);
    refreshSelected(doc_);
    picture = doc_.workImages.image(kModelImage);
  }
  if (!picture) return false;
  if (picture->width == width && picture->height == height) {
    out = *picture;
    alpha = drawnAlpha_;
    return true;
  }
  return scaler_.scale(*picture, drawnAlpha_, width, height, out, alpha);
}

}  // namespace tovala
