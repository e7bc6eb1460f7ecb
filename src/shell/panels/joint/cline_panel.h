#pragma once
// The connecting-line panel "接続線(CLine)の設定" (dialog 124): one shape block of the selected
// connecting line (its start and end anchors, display method, length-ratio condition and side or
// direction reference), the line's and the selected point's parameter lists, and "線作成", which
// captures the shape from the line as drawn. OK commits the block to the line and its points
// behind one undo step.

#include <map>

#include "engine/cline_capture.h"
#include "shell/panel.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tovala {

class Document;
class TMyWindow;
class Ui;

class CLinePanel : public Panel {
  Q_OBJECT

 public:
  static constexpr int kClosed = 0;
  static constexpr int kRefused = kCLinePanelRefused;
  static constexpr int kCommit = kCLinePanelCommit;

  CLinePanel(const Document& doc, Ui& ui, QWidget* parent);

  CLineWork& work() { return work_; }
  // While shown: a first refresh loads the selected line's block (refusing lines of 63 points
  // or more); later ones, for a new point of the same line, show that point's list. A selection
  // on another line is left alone: the window hides the panel next.
  void refresh() override;
  void load();
  void showWork();
  void readControls();

  QWidget* control(int id) const;

 public slots:
  void accept() override;
  void reject() override;

 protected:
  void hideEvent(QHideEvent* e) override;

 private:
  QLineEdit* addEdit(int id);
  QComboBox* addCombo(int id);
  void showLists();
  void chooseBlock(int index);
  void showDirectionKind();

  const Document& doc_;
  Ui& ui_;
  CLineWork work_;
  int loadedLine_ = -1;  // -1 while hidden
  bool writing_ = false;
  std::map<int, QWidget*> controls_;
  QComboBox* block_ = nullptr;
  QComboBox* method_ = nullptr;
  QComboBox* plane_ = nullptr;  // XY, XZ, YZ: the panel's own, XY again on every load
  QLineEdit* startLine_ = nullptr;
  QLineEdit* startPoint_ = nullptr;
  QComboBox* startAnchor_ = nullptr;
  QLineEdit* endLine_ = nullptr;
  QLineEdit* endPoint_ = nullptr;
  QComboBox* endAnchor_ = nullptr;
  QLineEdit* minRatio_ = nullptr;
  QLineEdit* maxRatio_ = nullptr;
  QLineEdit* directionLine_ = nullptr;  // the side sign in hit mode
  QLineEdit* directionPoint_ = nullptr;
  QComboBox* directionAxis_ = nullptr;
  QListWidget* lineList_ = nullptr;
  QListWidget* pointList_ = nullptr;
};

// Creates the panel hidden and installs the window's answer to its message 0x406.
void installCLinePanel(TMyWindow& window);

}  // namespace tovala
