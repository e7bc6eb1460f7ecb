#pragma once
// The move panel "動かす" (dialog 119), shown while the figure is posed: six buttons choose
// the motion tool (the one in use shown pressed, with a line below saying what it does; "IK"
// has below it the number of joints it bends), two buttons leave motion mode, keeping the pose ("線を戻さず終了") or
// returning to the reference pose ("線を戻して終了"), and "初期値" runs the initial-pose
// command. Like every panel it only reports what was asked.

#include <array>
#include <map>

#include "shell/panel.h"

class QLabel;
class QPushButton;
class QSpinBox;

namespace tovala {

class Document;

class MovePanel : public Panel {
  Q_OBJECT

 public:
  static constexpr int kIkButton = 1051;
  static constexpr int kAimButton = 1052;
  // Action codes besides the tool buttons' ids (1047-1051).
  static constexpr int kLeaveKeepingPose = 1;
  static constexpr int kLeaveRestoringPose = -1;

  MovePanel(const Document& doc, QWidget* parent);

  // The button of the current motion tool pressed, the others released.
  void showTool();
  void refresh() override { showTool(); }
  // A button by its control id (1047-1051, 1 and 2) or its command id (40046).
  QPushButton* button(int id) const;
  // How many joints above the dragged point the IK tool bends.
  int chainLength() const;

 signals:
  void command(int id);

 public slots:
  void accept() override;
  void reject() override;

 private:
  const Document& doc_;
  std::map<int, QPushButton*> buttons_;
  QSpinBox* chain_ = nullptr;
  QLabel* hint_ = nullptr;  // one line on what the current tool does
};

// The tool each button chooses: 1047 -> 300 ... 1050 -> 321, 1051 -> 322, 1052 -> 323; 0 for
// any other id.
int motionToolFor(int buttonId);
// Whether `tool` is one of the panel's tools.
bool isMotionTool(int tool);

// The view buttons (正面 斜め 横 後ろ 俯瞰 あおり, ids 1060-1065) turn the whole figure to a set
// angle: the whole-model rotation (RadX, RadY, RadZ) of button `id`, or false for any other id.
bool viewPresetFor(int buttonId, std::array<float, 3>& rad);

}  // namespace tovala
