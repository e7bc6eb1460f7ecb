#include "shell/panels/control/move_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "engine/motion_drag.h"
#include "model/document.h"

namespace tovala {

namespace {

struct ToolButton {
  int id;
  const char* label;
  int tool;
  const char* tip;
};
// The tips say what a left and a right drag do with each tool; a right drag works up and down.
constexpr ToolButton kTools[] = {
    {1047, "全体移動", kToolWholeMove,
     "左ドラッグ: 図全体を上下左右に動かす\n右ドラッグ: 奥行き(Z)方向に動かす"},
    {1048, "全体回転", kToolWholeRotate,
     "左ドラッグ: 図全体を回す(上下でX軸、左右でY軸)\n右ドラッグ: 画面の面内で回す(Z軸)"},
    {1049, "点移動", kToolPointMove,
     "関節点を左ドラッグ: 上下左右に動かす\n右ドラッグ: 奥行き(Z)方向に動かす"},
    {1050, "点回転", kToolPointRotate,
     "関節点を左ドラッグ: 曲げる(上下でX軸、左右でY軸)\n右ドラッグ: 画面の面内で曲げる(Z軸)"}};
constexpr int kInitialPoseCommand = 40046;

}  // namespace

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
  auto* hint = new QLabel(QString::fromUtf8("右ドラッグでZ方向"));
  grid->addWidget(hint, 2, 0, 1, 2);
  QPushButton* initial = add(kInitialPoseCommand, "初期値");
  grid->addWidget(initial, 3, 0, 1, 2);
  grid->addWidget(add(1, "線を戻さず終了"), 4, 0, 1, 2);
  grid->addWidget(add(2, "線を戻して終了"), 5, 0, 1, 2);
  connect(initial, &QPushButton::clicked, this, [this] { emit command(kInitialPoseCommand); });
  connect(buttons_[1], &QPushButton::clicked, this, &MovePanel::accept);
  connect(buttons_[2], &QPushButton::clicked, this, &MovePanel::reject);
}

void MovePanel::showTool() {
  for (const ToolButton& t : kTools) buttons_[t.id]->setChecked(doc_.edit.subMode == t.tool);
}

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
