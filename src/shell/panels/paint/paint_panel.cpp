#include "shell/panels/paint/paint_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "model/brush_kernel.h"

namespace tovala {

namespace {

constexpr PaintBrush kPresets[kPaintBrushCount] = {
    {1, 1, 0, 0},          {2, 2, 0, 0},         {4, 4, 0, 0},        {12, 12, 0, 0},
    {32, 32, 0, 0},        {3, 3, 1.0f, -3.0f},  {6, 6, 1.0f, -3.0f}, {12, 12, 1.0f, -3.0f},
    {18, 18, 1.0f, -3.0f}, {36, 36, 1.0f, -3.0f}};
constexpr int kColumns = 5;
constexpr int kRows = 2;
constexpr int kBarHeight = 14;
constexpr int kPaletteArea = 0;

struct BarInfo {
  int control;  // the bar
  int box;      // its number box
  const char* label;
};
// Red, green, blue.
constexpr BarInfo kBars[3] = {{1012, 1015, "赤"}, {1013, 1016, "緑"}, {1014, 1017, "青"}};

int clampComponent(int v) { return std::clamp(v, 0, 255); }

// The ten brushes as dabs, dark where they paint, each centred in its cell.
QImage makePalette() {
  QImage img(kPaletteWidth, kPaletteHeight, QImage::Format_RGB32);
  img.fill(Qt::white);
  const int cw = kPaletteWidth / kColumns, ch = kPaletteHeight / kRows;
  for (int i = 0; i < kPaintBrushCount; ++i) {
    const PaintBrush& b = kPresets[i];
    const BrushKernel k = buildKernel(b.w, b.h, b.a, b.k);
    const int left = (i % kColumns) * cw + (cw - k.width) / 2;
    const int top = (i / kColumns) * ch + (ch - k.height) / 2;
    for (int y = 0; y < k.height; ++y)
      for (int x = 0; x < k.width; ++x) {
        const int v = std::clamp(k.at(x, y), 0, 255);
        if (img.rect().contains(left + x, top + y)) img.setPixel(left + x, top + y, qRgb(v, v, v));
      }
  }
  return img;
}

// The palette or one bar: draws what the panel shows and hands the mouse to the panel.
class PaintArea : public QWidget {
 public:
  PaintArea(PaintPanel& panel, int index, QSize size) : panel_(panel), index_(index) {
    setFixedSize(size);
    setObjectName(QString::number(index == kPaletteArea ? 1011 : kBars[index - 1].control));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, index_ == kPaletteArea ? panel_.paletteImage() : panel_.barImage(index_));
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton)
      panel_.pressAt(index_, int(e->position().x()), int(e->position().y()));
  }
  // Qt keeps the mouse with the pressed area until release, as a capture would.
  void mouseMoveEvent(QMouseEvent* e) override {
    if (e->buttons() & Qt::LeftButton)
      panel_.moveAt(index_, int(e->position().x()), int(e->position().y()));
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) panel_.releaseAt();
  }

 private:
  PaintPanel& panel_;
  int index_;
};

}  // namespace

PaintBrush paintBrushPreset(int index) {
  return kPresets[std::clamp(index, 0, kPaintBrushCount - 1)];
}

int paletteCellAt(int x, int y, int paletteWidth, int paletteHeight) {
  const int cw = paletteWidth / kColumns, ch = paletteHeight / kRows;
  if (cw <= 0 || ch <= 0 || x < 0 || y < 0 || x >= paletteWidth || y >= paletteHeight) return -1;
  const int index = (y / ch) * kColumns + x / cw;
  // The last pixels of an odd-sized palette lie past the tenth cell.
  return index < kPaintBrushCount && x / cw < kColumns ? index : -1;
}

int componentFromMarker(int marker, int span) {
  if (span <= 0) return 0;
  return clampComponent(marker * 255 / span);
}

int markerFromComponent(int value, int span) { return clampComponent(value) * span / 255; }

uint32_t penColourOf(int red, int green, int blue) {
  return uint32_t(clampComponent(red)) | uint32_t(clampComponent(green)) << 8 |
         uint32_t(clampComponent(blue)) << 16;
}

PaintPanel::PaintPanel(QWidget* parent)
    : Panel(PanelId::Paint, PanelMessage::Paint, parent), palette_(makePalette()) {
  setObjectName("114");
  setWindowTitle(QString::fromUtf8("ペイントモード"));
  auto* grid = new QGridLayout(this);
  areas_[kPaletteArea] = new PaintArea(*this, kPaletteArea, QSize(kPaletteWidth, kPaletteHeight));
  grid->addWidget(areas_[kPaletteArea], 0, 0, 1, 3);
  for (int bar = kRed; bar <= kBlue; ++bar) {
    const BarInfo& info = kBars[bar - 1];
    areas_[size_t(bar)] = new PaintArea(*this, bar, QSize(kColourBarSpan + 1, kBarHeight));
    auto* box = new QLineEdit;
    box->setObjectName(QString::number(info.box));
    box->setMaxLength(3);
    box->setFixedWidth(44);
    boxes_[size_t(bar - 1)] = box;
    grid->addWidget(new QLabel(QString::fromUtf8(info.label)), bar, 0);
    grid->addWidget(areas_[size_t(bar)], bar, 1);
    grid->addWidget(box, bar, 2);
    connect(box, &QLineEdit::textEdited, this, [this, bar] { typed(bar); });
    // A typed colour is handed over once the box is left or confirmed; focus leaving a hidden
    // or closing panel is no request.
    connect(box, &QLineEdit::editingFinished, this, [this] {
      if (isVisible()) notifyWindow(kClicked);
    });
  }
  brush_ = paintBrushPreset(brushIndex_);
  showComponents();
}

void PaintPanel::notifyWindow(int code) {
  brush_ = paintBrushPreset(brushIndex_);
  for (size_t i = 0; i < boxes_.size(); ++i) {
    bool ok = false;
    const int v = boxes_[i]->text().trimmed().toInt(&ok);
    if (ok) colour_[i] = clampComponent(v);
  }
  showComponents();
  request(code);
}

void PaintPanel::componentsFromMarkers() {
  for (size_t i = 0; i < colour_.size(); ++i)
    colour_[i] = componentFromMarker(marker_[i], kColourBarSpan);
}

void PaintPanel::showComponents() {
  for (size_t i = 0; i < boxes_.size(); ++i) {
    const QString text = QString::number(colour_[i]);
    if (boxes_[i]->text() != text) boxes_[i]->setText(text);
  }
}

void PaintPanel::pressAt(int area, int x, int y) {
  if (area == kPaletteArea) {
    const int cell = paletteCellAt(x, y, kPaletteWidth, kPaletteHeight);
    if (cell >= 0) brushIndex_ = cell;
  } else if (area >= kRed && area <= kBlue && x >= 0 && x <= kColourBarSpan) {
    marker_[size_t(area - 1)] = x;
    activeBar_ = area;
  }
  componentsFromMarkers();
  showComponents();
  for (QWidget* a : areas_) a->update();
  notifyWindow(kClicked);
}

void PaintPanel::moveAt(int area, int x, int y) {
  if (activeBar_ == kNoBar || area != activeBar_) return;
  if (x < 0 || x > kColourBarSpan || y < 0 || y >= kBarHeight) return;
  marker_[size_t(area - 1)] = x;
  componentsFromMarkers();
  showComponents();
  areas_[size_t(area)]->update();
}

void PaintPanel::releaseAt() {
  const bool dragged = activeBar_ != kNoBar;
  activeBar_ = kNoBar;
  // The colour a drag ends on is the one painted with.
  if (dragged) notifyWindow(kClicked);
}

void PaintPanel::typed(int bar) {
  bool ok = false;
  const int v = box(bar)->text().trimmed().toInt(&ok);
  if (!ok) return;
  marker_[size_t(bar - 1)] = markerFromComponent(v, kColourBarSpan);
  areas_[size_t(bar)]->update();
}

QImage PaintPanel::paletteImage() const {
  QImage img = palette_;
  const int cw = kPaletteWidth / kColumns, ch = kPaletteHeight / kRows;
  QPainter p(&img);
  p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  p.fillRect((brushIndex_ % kColumns) * cw, (brushIndex_ / kColumns) * ch, cw, ch, Qt::white);
  return img;
}

QImage PaintPanel::barImage(int bar) const {
  QImage img(kColourBarSpan + 1, kBarHeight, QImage::Format_RGB32);
  const int shift = (bar - 1) == 0 ? 16 : (bar - 1) == 1 ? 8 : 0;  // ARGB32 places red highest
  for (int x = 0; x <= kColourBarSpan; ++x) {
    const QRgb c = 0xFF000000u | uint32_t(componentFromMarker(x, kColourBarSpan)) << shift;
    for (int y = 0; y < kBarHeight; ++y) img.setPixel(x, y, c);
  }
  const int m = std::clamp(marker(bar), 0, kColourBarSpan);
  for (int y = 0; y < kBarHeight; ++y) img.setPixel(m, y, qRgb(255, 255, 255));
  return img;
}

}  // namespace tovala
