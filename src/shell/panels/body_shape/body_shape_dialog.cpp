#include "shell/panels/body_shape/body_shape_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "engine/cline.h"
#include "script/body_model.h"

namespace tovala {

namespace {

constexpr int kSliderSteps = 1000;

int sliderPosition(const BodyShapeField& f, double v) {
  return int(std::lround((v - f.min) / (f.max - f.min) * kSliderSteps));
}
double sliderValue(const BodyShapeField& f, int position) {
  return f.min + (f.max - f.min) * position / kSliderSteps;
}

}  // namespace

// --- the picture ---------------------------------------------------------------------------------

BodyShapePreview::BodyShapePreview(QWidget* parent) : QWidget(parent) {
  setMinimumSize(160, 200);
  setShape(BodyShape{});
}

void BodyShapePreview::setShape(const BodyShape& shape) {
  shape_ = shape;
  createBodyModel(figure_, shape);
  update();
}

void BodyShapePreview::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  // The figure's extent, from its outlines, fitted with a margin.
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
  for (const LineRecord& l : figure_.lines) {
    if (l.mode != kCLineMode) continue;
    for (int i = 0; i + 1 < l.pointCount(); ++i) {
      const PointRecord& pt = l.points[size_t(i)];
      x0 = std::min(x0, double(pt.vx)), x1 = std::max(x1, double(pt.vx));
      y0 = std::min(y0, double(pt.vy)), y1 = std::max(y1, double(pt.vy));
    }
  }
  if (x1 <= x0 || y1 <= y0) return;
  // One scale for every shape (the standard figure's canvas height), so heights compare.
  const double scale = (height() - 12) / double(figure_.imageHeight);
  const double cx = width() / 2.0 - (x0 + x1) / 2 * scale;
  const double cy = height() - 6 - y1 * scale;
  p.setRenderHint(QPainter::Antialiasing);
  for (const LineRecord& l : figure_.lines) {
    const bool bone = l.kind == 4;
    if (!bone && l.mode != kCLineMode) continue;
    QPainterPath path;
    for (int i = 0; i + 1 < l.pointCount(); ++i) {
      const PointRecord& pt = l.points[size_t(i)];
      const QPointF at(cx + pt.vx * scale, cy + pt.vy * scale);
      if (i == 0)
        path.moveTo(at);
      else
        path.lineTo(at);
    }
    p.setPen(QPen(bone ? QColor(0xC4, 0xD0, 0xE0) : QColor(0x58, 0x40, 0x30), 1.0));
    p.drawPath(path);
  }
}

// --- the dialog ----------------------------------------------------------------------------------

BodyShapeDialog::BodyShapeDialog(const BodyShape& initial, const QString& title, QWidget* parent)
    : QDialog(parent), shape_(initial) {
  setWindowTitle(title);
  auto* grid = new QGridLayout;
  for (size_t i = 0; i < kBodyShapeFields.size(); ++i) {
    const BodyShapeField& f = kBodyShapeFields[i];
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(0, kSliderSteps);
    slider->setMinimumWidth(160);
    auto* spin = new QDoubleSpinBox;
    spin->setRange(f.min, f.max);
    spin->setDecimals(2);
    spin->setSingleStep(i == 0 ? 0.1 : 0.05);
    grid->addWidget(new QLabel(QString::fromUtf8(f.label)), int(i), 0);
    grid->addWidget(slider, int(i), 1);
    grid->addWidget(spin, int(i), 2);
    sliders_[i] = slider;
    spins_[i] = spin;
    connect(slider, &QSlider::valueChanged, this,
            [this, i](int position) { takeValue(i, sliderValue(kBodyShapeFields[i], position)); });
    connect(spin, &QDoubleSpinBox::valueChanged, this,
            [this, i](double value) { takeValue(i, value); });
  }

  auto* presets = new QHBoxLayout;
  for (size_t i = 0; i < presets_.size(); ++i) {
    const BodyShapePreset& preset = bodyShapePresets()[i];
    presets_[i] = new QPushButton(QString::fromUtf8(preset.name));
    presets->addWidget(presets_[i]);
    connect(presets_[i], &QPushButton::clicked, this,
            [this, i] { setShape(bodyShapePresets()[i].shape); });
  }

  preview_ = new BodyShapePreview;
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Cancel)->setText("キャンセル");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* controls = new QVBoxLayout;
  controls->addLayout(presets);
  controls->addLayout(grid);
  controls->addStretch(1);
  auto* body = new QHBoxLayout;
  body->addLayout(controls, 1);
  body->addWidget(preview_);
  auto* all = new QVBoxLayout(this);
  all->addLayout(body);
  all->addWidget(buttons);

  showValues();
  preview_->setShape(shape_);
}

void BodyShapeDialog::setShape(const BodyShape& shape) {
  shape_ = shape;
  showValues();
  schedulePreview();
  emit shapeChanged();
}

void BodyShapeDialog::takeValue(size_t field, double value) {
  if (showing_) return;
  const BodyShapeField& f = kBodyShapeFields[field];
  shape_.*f.member = std::clamp(value, f.min, f.max);
  showValues();
  schedulePreview();
  emit shapeChanged();
}

// Each control shows the shape's value; their own signals are not taken while they are set.
void BodyShapeDialog::showValues() {
  showing_ = true;
  for (size_t i = 0; i < kBodyShapeFields.size(); ++i) {
    const BodyShapeField& f = kBodyShapeFields[i];
    const double v = shape_.*f.member;
    sliders_[i]->setValue(sliderPosition(f, v));
    spins_[i]->setValue(v);
  }
  showing_ = false;
}

void BodyShapeDialog::schedulePreview() {
  if (previewPending_) return;
  previewPending_ = true;
  QTimer::singleShot(0, this, [this] {
    previewPending_ = false;
    if (!(preview_->shape() == shape_)) preview_->setShape(shape_);
  });
}

std::optional<BodyShape> askBodyShape(QWidget* parent, const BodyShape& initial,
                                      const QString& title) {
  BodyShapeDialog dialog(initial, title, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.shape();
}

}  // namespace tovala
