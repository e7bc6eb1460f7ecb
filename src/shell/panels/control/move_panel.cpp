#include "shell/panels/control/move_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "engine/ik.h"
#include "engine/motion_drag.h"
#include "model/document.h"

namespace tovala {

namespace {

struct ToolButton {
  int id;
  const char* label;
  int tool;
  const char* tip;
  const char* hint;  // one line, shown below the buttons while the tool is chosen
};
// The tips say what a left and a right drag do with each tool; a right drag works up and down.
constexpr ToolButton kTools[] = {
    {1047, "全体移動", kToolWholeMove,
     "左ドラッグ: 図全体を上下左右に動かす\n右ドラッグ: 奥行き(Z)方向に動かす",
     "ドラッグで図全体を動かします"},
    {1048, "全体回転", kToolWholeRotate,
     "左ドラッグ: 図全体を回す(上下でX軸、左右でY軸)\n右ドラッグ: 画面の面内で回す(Z軸)",
     "ドラッグで図全体を回します"},
    {1049, "点移動", kToolPointMove,
     "関節点を左ドラッグ: 上下左右に動かす\n右ドラッグ: 奥行き(Z)方向に動かす",
     "関節点をドラッグして動かします"},
    {1050, "点回転", kToolPointRotate,
     "関節点を左ドラッグ: 曲げる(上下でX軸、左右でY軸)\n右ドラッグ: 画面の面内で曲げる(Z軸)",
     "関節点をドラッグしてその関節を曲げます"},
    {MovePanel::kIkButton, "IK", kToolIK,
     "手先や足先など関節線の点を左ドラッグ: 点がマウスに付いて動くよう、その上の関節"
     "(「関節数」の数まで)を画面の面内で曲げる\n関節は動きの範囲を越えない。右ドラッグも同じ",
     "手先や足先をドラッグすると、その点がマウスに付いて動きます"},
    {MovePanel::kAimButton, "向き", kToolAim,
     "腕や脚の点または骨の上を左ドラッグ: その部分を持つ関節を画面の面内で回し、マウスの方を"
     "向かせる(動きの範囲まで)\n右ドラッグ: 上下で手前・奥へ傾ける",
     "腕や脚をドラッグすると、マウスの方を向きます"}};
constexpr int kInitialPoseCommand = 40046;

// The whole figure seen from the front, half turned, from the side, from behind, from above
// and from below. A positive X turn brings the top towards the viewer.
struct ViewPreset {
  int id;
  const char* label;
  std::array<float, 3> rad;
};
constexpr ViewPreset kViews[] = {{1060, "正面", {0, 0, 0}},       {1061, "斜め", {0, 0.7854f, 0}},
                                 {1062, "横", {0, 1.5708f, 0}},    {1063, "後ろ", {0, 3.1416f, 0}},
                                 {1064, "俯瞰", {0.5236f, 0, 0}}, {1065, "あおり", {-0.5236f, 0, 0}}};

}  // namespace

bool viewPresetFor(int buttonId, std::array<float, 3>& rad) {
  for (const ViewPreset& v : kViews)
    if (v.id == buttonId) {
      rad = v.rad;
      return true;
    }
  return false;
}

bool isMotionTool(int tool) {
  for (const ToolButton& t : kTools)
    if (t.tool == tool) return true;
  return false;
}

int motionToolFor(int buttonId) {
  for (const ToolButton& t : kTools)
    if (t.id == buttonId) return t.tool;
  return 0;
}

MovePanel::MovePanel(const Document& doc, QWidget* parent)
    : Panel(PanelId::Move, PanelMessage::Move, parent), doc_(doc) {
  setObjectName("119");
  setWindowTitle(QString::fromUtf8("動かす"));
  auto* grid = new QGridLayout(this);
  auto add = [this](int id, const char* text) {
    auto* b = new QPushButton(QString::fromUtf8(text));
    b->setObjectName(QString::number(id));
    b->setAutoDefault(false);
    buttons_[id] = b;
    return b;
  };
  int i = 0;
  // Two tools a row, then the IK tool's chain length and the chosen tool's hint.
  for (const ToolButton& t : kTools) {
    QPushButton* b = add(t.id, t.label);
    b->setToolTip(QString::fromUtf8(t.tip));
    b->setCheckable(true);
    grid->addWidget(b, i / 2, i % 2);
    ++i;
    const int id = t.id;
    connect(b, &QPushButton::clicked, this, [this, id] {
      request(id);
      showTool();  // a click toggles the button; the window's tool decides
    });
  }
  chain_ = new QSpinBox;
  chain_->setObjectName("ikChain");
  chain_->setRange(1, kMaxIkChain);
  chain_->setValue(kDefaultIkChain);
  chain_->setToolTip(QString::fromUtf8("IKで曲げる関節の数(ドラッグする点に近い方から)"));
  auto* chainRow = new QHBoxLayout;
  chainRow->addWidget(new QLabel(QString::fromUtf8("関節数")));
  chainRow->addWidget(chain_);
  grid->addLayout(chainRow, 3, 0, 1, 2);
  hint_ = new QLabel;
  hint_->setObjectName("toolHint");
  hint_->setWordWrap(true);
  grid->addWidget(hint_, 4, 0, 1, 2);
  auto* depth = new QLabel(QString::fromUtf8("右ドラッグでZ方向"));
  grid->addWidget(depth, 5, 0, 1, 2);
  auto* views = new QGridLayout;
  int v = 0;
  for (const ViewPreset& preset : kViews) {
    QPushButton* b = add(preset.id, preset.label);
    b->setToolTip(QString::fromUtf8("図全体をこの向きにする"));
    views->addWidget(b, v / 3, v % 3);
    ++v;
    const int id = preset.id;
    connect(b, &QPushButton::clicked, this, [this, id] { request(id); });
  }
  grid->addLayout(views, 6, 0, 1, 2);
  QPushButton* initial = add(kInitialPoseCommand, "初期値");
  grid->addWidget(initial, 7, 0, 1, 2);
  grid->addWidget(add(1, "線を戻さず終了"), 8, 0, 1, 2);
  grid->addWidget(add(2, "線を戻して終了"), 9, 0, 1, 2);
  showTool();
  connect(initial, &QPushButton::clicked, this, [this] { emit command(kInitialPoseCommand); });
  connect(buttons_[1], &QPushButton::clicked, this, &MovePanel::accept);
  connect(buttons_[2], &QPushButton::clicked, this, &MovePanel::reject);
}

void MovePanel::showTool() {
  QString hint;
  for (const ToolButton& t : kTools) {
    buttons_[t.id]->setChecked(doc_.edit.subMode == t.tool);
    if (doc_.edit.subMode == t.tool) hint = QString::fromUtf8(t.hint);
  }
  hint_->setText(hint);
}

int MovePanel::chainLength() const { return chain_->value(); }

QPushButton* MovePanel::button(int id) const {
  auto it = buttons_.find(id);
  return it == buttons_.end() ? nullptr : it->second;
}

// "線を戻さず終了".
void MovePanel::accept() {
  request(kLeaveKeepingPose);
  Panel::accept();
}

// Cancel, Escape and the close box all leave restoring the reference pose.
void MovePanel::reject() {
  request(kLeaveRestoringPose);
  Panel::reject();
}

}  // namespace tovala
