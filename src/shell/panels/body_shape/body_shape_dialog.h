#pragma once
// "体型": the proportions of the body model before 人体モデル作成 builds it, or before 体型変更
// rebuilds the figure. A slider and a number box for each of the ten values, a button for each
// preset, and a small picture of the figure those values make, drawn again as a slider moves.

#include <QDialog>
#include <QWidget>

#include <array>
#include <optional>

#include "model/document.h"
#include "script/body_shape.h"

class QDoubleSpinBox;
class QPushButton;
class QSlider;

namespace tovala {

// The figure of a shape, built as 人体モデル作成 builds it and drawn small: its outline lines
// over its pale bones, fitted into the widget.
class BodyShapePreview : public QWidget {
  Q_OBJECT

 public:
  explicit BodyShapePreview(QWidget* parent = nullptr);
  // Builds the figure of `shape` and repaints.
  void setShape(const BodyShape& shape);
  const BodyShape& shape() const { return shape_; }
  const Document& figure() const { return figure_; }
  QSize sizeHint() const override { return {220, 270}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  BodyShape shape_;
  Document figure_{Canvas::kNone};  // no pictures: the preview draws the lines itself
};

class BodyShapeDialog : public QDialog {
  Q_OBJECT

 public:
  BodyShapeDialog(const BodyShape& initial, const QString& title, QWidget* parent = nullptr);

  BodyShape shape() const { return shape_; }
  // Sets every control and the picture.
  void setShape(const BodyShape& shape);

  QSlider* slider(size_t field) const { return sliders_[field]; }
  QDoubleSpinBox* spinBox(size_t field) const { return spins_[field]; }
  QPushButton* presetButton(size_t preset) const { return presets_[preset]; }
  BodyShapePreview* preview() const { return preview_; }

 signals:
  void shapeChanged();

 private:
  void takeValue(size_t field, double value);
  void showValues();
  // The picture follows once the events already queued are handled, so a slider dragged fast
  // builds one figure per pass of the event loop rather than one per step.
  void schedulePreview();

  BodyShape shape_;
  std::array<QSlider*, kBodyShapeFields.size()> sliders_{};
  std::array<QDoubleSpinBox*, kBodyShapeFields.size()> spins_{};
  std::array<QPushButton*, 6> presets_{};
  BodyShapePreview* preview_;
  bool showing_ = false;
  bool previewPending_ = false;
};

// Asks for a body shape, starting from `initial`; nothing when the dialog was cancelled.
std::optional<BodyShape> askBodyShape(QWidget* parent, const BodyShape& initial,
                                      const QString& title);

}  // namespace tovala
