#pragma once
// The joint settings panel "関節の動き設定" (dialog 123): the selected joint point's movement and
// rotation limits, its co-rotating points, the partner and direction of its hit guide and a
// listing of its whole parameter list. The panel edits a working copy; the window commits it on
// OK behind one undo step, and runs the two canvas interactions the panel starts: choosing the
// co-rotating points by rectangle and dragging the hit guide's handles.

#include <array>
#include <map>

#include "shell/panel.h"
#include "shell/panels/joint/joint_panel_work.h"

class QComboBox;
class QLineEdit;
class QListWidget;

namespace tovala {

class Document;
class TMyWindow;
class Ui;

class JointPanel : public Panel {
  Q_OBJECT

 public:
  // Action codes the window reads.
  static constexpr int kClosed = 0;  // Cancel: the canvas interaction ends
  static constexpr int kCoRotationSelect = 1;
  static constexpr int kHitEditing = 2;
  static constexpr int kConfirm = 100;

  JointPanel(const Document& doc, Ui& ui, QWidget* parent);

  JointWork& work() { return work_; }
  // Loads the selected point (with a message when the selection is invalid) and shows it.
  void refresh() override;
  // The working values into the controls, the controls into the working values.
  void showWork();
  void readControls();
  // The listing and the co-rotation combo from the working list.
  void showLists();

  QWidget* control(int id) const;
  // "共回転点選択" and "あたりを編集".
  QWidget* button(int action) const;

 public slots:
  void accept() override;
  void reject() override;

 protected:
  bool event(QEvent* e) override;

 private:
  QLineEdit* addEdit(int id);
  void showCoRotation();

  const Document& doc_;
  Ui& ui_;
  JointWork work_;
  std::map<int, QWidget*> controls_;
  std::map<int, QWidget*> buttons_;
  std::array<QLineEdit*, 12> ranges_{};
  QComboBox* coRotation_ = nullptr;
  QListWidget* listing_ = nullptr;
  QComboBox* hitView_ = nullptr;
  QLineEdit* partnerLine_ = nullptr;
  QLineEdit* partnerPoint_ = nullptr;
  QLineEdit* directionLine_ = nullptr;
  QLineEdit* directionPoint_ = nullptr;
  QComboBox* directionAxis_ = nullptr;
};

// Creates the panel hidden, installs the window's answer to its message 0x405 and the two
// temporary modes it starts (10 co-rotating selection, 11 hit editing).
void installJointPanel(TMyWindow& window);

}  // namespace tovala
