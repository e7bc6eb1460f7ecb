#include "shell/panels/control/control_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "engine/edit_modes.h"
#include "model/document.h"
#include "shell/panels/field_text.h"

namespace tovala {

namespace {

struct ToolButton {
  const char* label;
  int command;
  const char* tip;  // what a click or a drag on the canvas does with this tool
};
// The tool bar, in the order it is laid out.
constexpr ToolButton kToolBar[] = {
    {"線の選択", 40002, "クリック: 線と点を選ぶ\nドラッグ: 点を動かす(線の上なら線ごと)"},
    {"線の追加", 40003, "クリック: 新しい線を始めて点を置く"},
    {"点の追加", 40007, "クリック: 選んだ線に点を足す"},
    {"範囲選択", 40069, "右下へドラッグ: 囲んだ点を選ぶ(点移動で動かせる)"},
    {"点移動", 40068, "ドラッグ: 範囲選択した点をまとめて動かす"},
    {"全移動", 40059, "ドラッグ: 図全体を動かす"},
    {"変形", 40062, "枠の角や辺をドラッグ: 選んだ線を伸び縮みさせる"},
    {"回転", 40061, "ドラッグ: 押した点を中心に選んだ線を回す"},
    {"一時拡大", 40058, "クリックごとにモデルを1倍→2倍→4倍→1倍にする"},
    {"初期値", 40046, "姿勢を基準位置に戻す"},
    {"原点", 40066, "図を基準の位置へ戻す(線0の最初の点が基準)"},
    {"ペイント", 40023, "画像の線に絵を描く: ドラッグで描く"},
    {"文字", 40035, "文字の線の文字を編集する"},
    {"基準", 40025, "選んだ線の今の位置を基準位置にする"},
    {"全て基準", 40026, "すべての線の今の位置を基準位置にする"},
    {"命令文", 40029, "選んだ線と点のスクリプトを開く"},
    {"動きモード", 40031, "関節点をドラッグしてポーズをつける"}};
constexpr int kToolColumns = 4;

// The button that shows each editing mode.
const std::map<int, int> kModeButtons = {
    {kModeSelect, 40002}, {kModeAddLine, 40003}, {kModeAddPoint, 40007}, {kModePaint, 40023},
    {kModeMotion, 40031}, {kModeMoveAll, 40059}, {kModeDeform, 40062},   {kModeMovePoints, 40068}};

constexpr int kInitialPreset = 3;  // "綺麗"

QLabel* label(const char* text) { return new QLabel(QString::fromUtf8(text)); }

void setCombo(QComboBox* c, int index) { c->setCurrentIndex(index); }
// A combo that shows no item leaves its field as it was.
void readCombo(const QComboBox* c, int& field) {
  if (c->currentIndex() >= 0) field = c->currentIndex();
}

}  // namespace

ControlPanel::ControlPanel(const Document& doc, QWidget* parent)
    : Panel(PanelId::Control, PanelMessage::Control, parent), doc_(doc) {
  setObjectName("110");
  setWindowTitle(QString::fromUtf8("メインメニュー"));

  auto* upper = new QWidget;
  auto* upperLayout = new QVBoxLayout(upper);
  upperLayout->setContentsMargins(0, 0, 0, 0);
  upperLayout->addLayout(buildToolBar());
  upperLayout->addWidget(buildLineGroup());
  upperLayout->addWidget(buildPointGroup());
  auto* foldRow = new QHBoxLayout;
  foldRow->addStretch();
  foldRow->addWidget(label("細かい設定→"));
  auto* fold = new QPushButton(QString::fromUtf8("↓"));
  fold->setObjectName("1002");
  fold->setAutoDefault(false);
  fold->setFixedWidth(32);
  controls_[1002] = fold;
  foldRow->addWidget(fold);
  upperLayout->addLayout(foldRow);
  connect(fold, &QPushButton::clicked, this, [this] { toggleFold(); });

  details_ = buildDetails();
  details_->setFixedHeight(kFoldHeight);
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(0);
  layout->addWidget(upper);
  layout->addWidget(details_);

  // The panel starts with its lower part folded away.
  const QSize full = sizeHint();
  details_->hide();
  setFixedSize(full.width(), full.height() - kFoldHeight);
}

// --- building -------------------------------------------------------------------------------

QGridLayout* ControlPanel::buildToolBar() {
  auto* grid = new QGridLayout;
  grid->setSpacing(2);
  int i = 0;
  for (const ToolButton& t : kToolBar) {
    auto* b = new QPushButton(QString::fromUtf8(t.label));
    b->setObjectName(QString::number(t.command));
    b->setToolTip(QString::fromUtf8(t.tip));
    b->setAutoDefault(false);
    buttons_[t.command] = b;
    grid->addWidget(b, i / kToolColumns, i % kToolColumns);
    ++i;
    const int id = t.command;
    connect(b, &QPushButton::clicked, this, [this, id] {
      emit command(id);
      showModeButtons();  // a click toggles the button; the mode decides
    });
  }
  for (const auto& [mode, id] : kModeButtons) buttons_[id]->setCheckable(true);
  buttons_[40023]->setEnabled(false);
  buttons_[40035]->setEnabled(false);
  return grid;
}

QLineEdit* ControlPanel::addEdit(int id, int width, bool readOnly) {
  auto* e = new QLineEdit;
  e->setObjectName(QString::number(id));
  e->setFixedWidth(width);
  controls_[id] = e;
  if (readOnly) {
    e->setReadOnly(true);
    return e;
  }
  const bool detail = id >= 1015 && id <= 1022;
  connect(e, &QLineEdit::editingFinished, this, [this, detail] {
    if (!writing_) notifyWith(detail ? detailCode() : kControlApply);
  });
  return e;
}

QComboBox* ControlPanel::addCombo(int id, std::initializer_list<const char*> items) {
  auto* c = new QComboBox;
  c->setObjectName(QString::number(id));
  for (const char* item : items) c->addItem(QString::fromUtf8(item));
  c->setCurrentIndex(-1);
  controls_[id] = c;
  return c;
}

QWidget* ControlPanel::buildLineGroup() {
  auto* box = new QGroupBox(QString::fromUtf8("線"));
  auto* g = new QGridLayout(box);
  g->setVerticalSpacing(2);
  lineNumber_ = addEdit(1005, 64, true);
  kind_ = addCombo(1003, {"塗らない", "塗る", "画像", "文字", "関節"});
  lineMode_ = addCombo(1004, {"通常", "CLine", "OLine"});
  imageMode_ = addCombo(1025, {"通常"});
  variation_ = addCombo(1024, {"通常", "太さ有効"});
  g->addWidget(label("番号"), 0, 0);
  g->addWidget(lineNumber_, 0, 1, 1, 2);
  g->addWidget(label("種別"), 0, 3);
  g->addWidget(kind_, 0, 4, 1, 3);
  g->addWidget(label("モード"), 1, 0);
  g->addWidget(lineMode_, 1, 1, 1, 2);
  g->addWidget(label("画像"), 1, 3);
  g->addWidget(imageMode_, 1, 4, 1, 3);
  const char* rgb[] = {"赤", "緑", "青"};
  g->addWidget(label("線の色"), 2, 0);
  g->addWidget(label("塗り色"), 3, 0);
  for (int i = 0; i < 3; ++i) {
    lineColour_[size_t(i)] = addEdit(1006 + i, 36);
    fillColour_[size_t(i)] = addEdit(1009 + i, 36);
    fillColour_[size_t(i)]->setEnabled(false);
    g->addWidget(label(rgb[i]), 2, 1 + 2 * i, Qt::AlignRight);
    g->addWidget(lineColour_[size_t(i)], 2, 2 + 2 * i);
    g->addWidget(label(rgb[i]), 3, 1 + 2 * i, Qt::AlignRight);
    g->addWidget(fillColour_[size_t(i)], 3, 2 + 2 * i);
  }
  g->addWidget(label("線変化"), 4, 0);
  g->addWidget(variation_, 4, 1, 1, 3);

  for (QComboBox* c : {kind_, lineMode_, imageMode_}) {
    connect(c, &QComboBox::currentIndexChanged, this, [this] {
      if (!writing_) notifyWith(kControlApply);
    });
  }
  connect(variation_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (writing_) return;
    opacity_->setEnabled(index == 1);
    notifyWith(kControlApply);
  });
  return box;
}

QWidget* ControlPanel::buildPointGroup() {
  auto* box = new QGroupBox(QString::fromUtf8("点"));
  auto* g = new QGridLayout(box);
  g->setVerticalSpacing(2);
  pointNumber_ = addEdit(1013, 64, true);
  pointKind_ = addCombo(1012, {"通常", "一括関節点", "関節点"});
  pointType_ = addCombo(1014, {"-1:終点", "0:通常", "1:頂点", "2:分割", "3:無視"});
  g->addWidget(label("番号"), 0, 0);
  g->addWidget(pointNumber_, 0, 1, 1, 2);
  g->addWidget(pointKind_, 0, 3, 1, 2);
  g->addWidget(pointType_, 0, 5, 1, 2);
  g->addWidget(label("座標"), 1, 0);
  const char* axes[] = {" x", " y", " z"};
  for (int i = 0; i < 3; ++i) {
    position_[size_t(i)] = addEdit(1028 + i, 56);
    g->addWidget(label(axes[i]), 1, 1 + 2 * i, Qt::AlignRight);
    g->addWidget(position_[size_t(i)], 1, 2 + 2 * i);
  }
  opacity_ = new QSlider(Qt::Horizontal);
  opacity_->setObjectName("1026");
  opacity_->setRange(0, 100);
  controls_[1026] = opacity_;
  g->addWidget(label("透明度"), 2, 0);
  g->addWidget(opacity_, 2, 1, 1, 6);

  for (QComboBox* c : {pointKind_, pointType_}) {
    connect(c, &QComboBox::currentIndexChanged, this, [this] {
      if (!writing_) notifyWith(kControlApply);
    });
  }
  connect(opacity_, &QSlider::sliderReleased, this, [this] { notifyWith(kControlApply); });
  // Keyboard and page steps end at once; a drag ends at the release above.
  connect(opacity_, &QSlider::valueChanged, this, [this] {
    if (!writing_ && !opacity_->isSliderDown()) notifyWith(kControlApply);
  });
  return box;
}

QWidget* ControlPanel::buildDetails() {
  auto* box = new QGroupBox;
  auto* g = new QGridLayout(box);
  g->setVerticalSpacing(2);
  const char* names[] = {"横", "縦", "薄さ", "勾配"};
  for (int i = 0; i < 4; ++i) brush_[size_t(i)] = addEdit(1015 + i, 56);
  shapeMax_ = addEdit(1019, 56);
  shapeMin_ = addEdit(1020, 56);
  shapeDx_ = addEdit(1021, 56);
  shapeDy_ = addEdit(1022, 56);
  g->addWidget(label("線太"), 0, 0);
  g->addWidget(label(names[0]), 0, 1, Qt::AlignRight);
  g->addWidget(brush_[0], 0, 2);
  g->addWidget(label(names[1]), 0, 3, Qt::AlignRight);
  g->addWidget(brush_[1], 0, 4);
  g->addWidget(label(names[2]), 1, 1, Qt::AlignRight);
  g->addWidget(brush_[2], 1, 2);
  g->addWidget(label(names[3]), 1, 3, Qt::AlignRight);
  g->addWidget(brush_[3], 1, 4);
  g->addWidget(label("線形"), 2, 0);
  g->addWidget(label("最大"), 2, 1, Qt::AlignRight);
  g->addWidget(shapeMax_, 2, 2);
  g->addWidget(label("最小"), 2, 3, Qt::AlignRight);
  g->addWidget(shapeMin_, 2, 4);
  g->addWidget(label("差x"), 3, 1, Qt::AlignRight);
  g->addWidget(shapeDx_, 3, 2);
  g->addWidget(label("差y"), 3, 3, Qt::AlignRight);
  g->addWidget(shapeDy_, 3, 4);

  preset_ = addCombo(1023, {"最高速", "高速", "普通", "綺麗", "透明"});
  g->addWidget(label("線美"), 4, 0);
  g->addWidget(preset_, 4, 1, 1, 4);
  perLine_ = new QCheckBox(QString::fromUtf8("個別線"));
  perLine_->setObjectName("1027");
  perLine_->setChecked(true);
  controls_[1027] = perLine_;
  g->addWidget(perLine_, 5, 0, 1, 3);

  // Choosing a preset again applies it again.
  connect(preset_, &QComboBox::activated, this, [this](int index) { choosePreset(index); });
  connect(perLine_, &QCheckBox::clicked, this, [this] { notifyWith(kControlPerLine); });
  return box;
}

// --- the fields and the controls -----------------------------------------------------------

void ControlPanel::initialise() {
  writing_ = true;
  for (QComboBox* c : {kind_, lineMode_, pointKind_, pointType_, variation_, imageMode_})
    setCombo(c, 0);
  setCombo(preset_, kInitialPreset);
  opacity_->setValue(values_.opacity);
  opacity_->setEnabled(false);
  writing_ = false;
  notifyWith(kControlReadBack);
}

void ControlPanel::readControls() {
  ControlValues& v = values_;
  v.lineNumber = fieldtext::readInt(lineNumber_->text());
  readCombo(kind_, v.kind);
  readCombo(lineMode_, v.lineMode);
  readCombo(imageMode_, v.imageMode);
  readCombo(variation_, v.lineVariation);
  for (size_t i = 0; i < 3; ++i) {
    v.lineColour[i] = fieldtext::readInt(lineColour_[i]->text());
    v.fillColour[i] = fieldtext::readInt(fillColour_[i]->text());
    v.position[i] = fieldtext::readReal<float>(position_[i]->text());
  }
  v.pointNumber = fieldtext::readInt(pointNumber_->text());
  readCombo(pointKind_, v.pointKind);
  readCombo(pointType_, v.pointType);
  v.opacity = opacity_->value();
  for (size_t i = 0; i < 4; ++i) v.brush[i] = fieldtext::readReal<float>(brush_[i]->text());
  v.shapeMax = fieldtext::readInt(shapeMax_->text());
  v.shapeMin = fieldtext::readInt(shapeMin_->text());
  v.shapeDx = fieldtext::readReal<double>(shapeDx_->text());
  v.shapeDy = fieldtext::readReal<double>(shapeDy_->text());
  v.perLine = perLine_->isChecked() ? 1 : 0;
  normaliseRead(v);
}

void ControlPanel::showValues() {
  const ControlValues& v = values_;
  writing_ = true;
  lineNumber_->setText(fieldtext::show(v.lineNumber));
  setCombo(kind_, v.kind);
  setCombo(lineMode_, v.lineMode);
  setCombo(imageMode_, v.imageMode);
  setCombo(variation_, v.lineVariation);
  for (size_t i = 0; i < 3; ++i) {
    lineColour_[i]->setText(fieldtext::show(v.lineColour[i]));
    fillColour_[i]->setText(fieldtext::show(v.fillColour[i]));
    position_[i]->setText(fieldtext::show(v.position[i]));
  }
  pointNumber_->setText(fieldtext::show(v.pointNumber));
  setCombo(pointKind_, v.pointKind);
  setCombo(pointType_, v.pointType);
  opacity_->setValue(v.opacity);
  opacity_->setEnabled(v.lineVariation == 1);
  for (size_t i = 0; i < 4; ++i) brush_[i]->setText(fieldtext::show(v.brush[i]));
  shapeMax_->setText(fieldtext::show(v.shapeMax));
  shapeMin_->setText(fieldtext::show(v.shapeMin));
  shapeDx_->setText(fieldtext::show(v.shapeDx));
  shapeDy_->setText(fieldtext::show(v.shapeDy));
  perLine_->setChecked(v.perLine != 0);
  writing_ = false;
  updateEnables();
}

void ControlPanel::updateEnables() {
  if (!doc_.isValidLine(doc_.curLine)) return;
  const ControlEnables e = enablesFor(doc_, doc_.lines[size_t(doc_.curLine)].kind);
  for (QLineEdit* f : fillColour_) f->setEnabled(e.fill);
  buttons_[40023]->setEnabled(e.paint);
  buttons_[40035]->setEnabled(e.text);
}

void ControlPanel::showDocument() {
  readBack(doc_, values_);
  showValues();
}

void ControlPanel::showModeButtons() {
  for (const auto& [mode, id] : kModeButtons) buttons_[id]->setChecked(false);
  auto it = kModeButtons.find(doc_.edit.mode);
  if (it != kModeButtons.end()) buttons_[it->second]->setChecked(true);
}

void ControlPanel::refresh() {
  showDocument();
  showModeButtons();
}

// --- notifications ---------------------------------------------------------------------------

void ControlPanel::notifyWith(int code) {
  readControls();
  showModeButtons();
  request(code);
}

int ControlPanel::detailCode() const {
  return perLine_->isChecked() ? kControlApply : kControlPerLine;
}

void ControlPanel::choosePreset(int index) {
  readControls();
  applyLinePreset(values_, index);
  showValues();
  notifyWith(detailCode());
}

void ControlPanel::toggleFold() {
  const QPoint topLeft = pos();
  folded_ = !folded_;
  details_->setVisible(!folded_);
  setFixedSize(width(), height() + (folded_ ? -kFoldHeight : kFoldHeight));
  move(topLeft);
}

bool ControlPanel::event(QEvent* e) {
  // Coming back to the panel shows the current selection.
  if (e->type() == QEvent::WindowActivate) notifyWith(kControlReadBack);
  return Panel::event(e);
}

QWidget* ControlPanel::control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

QPushButton* ControlPanel::commandButton(int commandId) const {
  auto it = buttons_.find(commandId);
  return it == buttons_.end() ? nullptr : it->second;
}

}  // namespace tovala
