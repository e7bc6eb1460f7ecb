#pragma once
// The control panel "メインメニュー" (dialog 110): a tool bar of command buttons, with the button
// of the current editing mode shown pressed, over the fields of the selected line and point and,
// below the fold, the brush and line-shape settings. Like every panel it never changes the
// document: a change in a control stores an action code and notifies the window, whose handler
// applies the fields (control_panel_window.cpp).

#include <array>
#include <map>

#include "shell/panel.h"
#include "shell/panels/control/control_values.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QSlider;
class QWidget;

namespace tovala {

class Document;
class TMyWindow;

class ControlPanel : public Panel {
  Q_OBJECT

 public:
  // Height the fold button adds and removes.
  static constexpr int kFoldHeight = 210;

  ControlPanel(const Document& doc, QWidget* parent);

  ControlValues& values() { return values_; }
  const ControlValues& values() const { return values_; }

  // The initial selections, then a read back request.
  void initialise();
  // Read back from the document into the fields, then into the controls.
  void showDocument();
  // The fields into the controls, and the enables the selected line allows.
  void showValues();
  // Every button released, then the one of the current editing mode pressed.
  void showModeButtons();
  void refresh() override;

  // Control by its dialog id (1002-1030), and tool-bar button by its command id.
  QWidget* control(int id) const;
  QPushButton* commandButton(int commandId) const;
  bool folded() const { return folded_; }

 signals:
  // A tool-bar button was pressed; the window runs the command.
  void command(int id);

 protected:
  bool event(QEvent* e) override;

 private:
  QGridLayout* buildToolBar();
  QWidget* buildLineGroup();
  QWidget* buildPointGroup();
  QWidget* buildDetails();
  QLineEdit* addEdit(int id, int width, bool readOnly = false);
  QComboBox* addCombo(int id, std::initializer_list<const char*> items);

  // Notify: the controls into the fields, the mode buttons, then the window's handler.
  void notifyWith(int code);
  void readControls();
  void updateEnables();
  void choosePreset(int index);
  // Edits of brush and line-shape values go to the defaults while "個別線" is off.
  int detailCode() const;
  void toggleFold();

  const Document& doc_;
  ControlValues values_;
  std::map<int, QWidget*> controls_;
  std::map<int, QPushButton*> buttons_;
  QWidget* details_ = nullptr;
  QLineEdit* lineNumber_ = nullptr;
  QComboBox* kind_ = nullptr;
  QComboBox* lineMode_ = nullptr;
  QComboBox* imageMode_ = nullptr;
  std::array<QLineEdit*, 3> lineColour_{};
  std::array<QLineEdit*, 3> fillColour_{};
  QComboBox* variation_ = nullptr;
  QLineEdit* pointNumber_ = nullptr;
  QComboBox* pointKind_ = nullptr;
  QComboBox* pointType_ = nullptr;
  std::array<QLineEdit*, 3> position_{};
  QSlider* opacity_ = nullptr;
  std::array<QLineEdit*, 4> brush_{};
  QLineEdit* shapeMax_ = nullptr;
  QLineEdit* shapeMin_ = nullptr;
  QLineEdit* shapeDx_ = nullptr;
  QLineEdit* shapeDy_ = nullptr;
  QComboBox* preset_ = nullptr;
  QCheckBox* perLine_ = nullptr;
  bool writing_ = false;  // the panel is filling its controls: no notifications
  bool folded_ = true;
};

// Creates the panel, shows it beside the window and installs the window's answer to its
// message 0x401 and its tool-bar buttons.
void installControlPanel(TMyWindow& window);

}  // namespace tovala
