#pragma once
// The decorative-line panel "装飾線(OLine)の設定" (dialog 128): the selected point's placement
// run as a list of raw entries (k, n, f) that the user rewrites, adds, inserts and deletes, the
// placement method, and "線自動", which fits every point of the line from where it is drawn.
// OK commits the list to the point behind one undo step; the window also runs "線自動".

#include <map>

#include "engine/oline_list.h"
#include "shell/panel.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tovala {

class Document;
class TMyWindow;
class Ui;

class OLinePanel : public Panel {
  Q_OBJECT

 public:
  static constexpr int kClosed = 0;
  static constexpr int kFit = 1106;  // "線自動"
  static constexpr int kCommit = kOLinePanelCommit;

  // The four editing buttons, by the action they take.
  enum Edit { kRewrite, kAdd, kInsert, kDelete };

  OLinePanel(const Document& doc, Ui& ui, QWidget* parent);

  OLineWork& work() { return work_; }
  // While shown: loads the selected point (a message when the selection is invalid). A
  // selection on another line is left alone: the window hides the panel next.
  void refresh() override;
  void load();
  // The listing from the working list, keeping the selected row.
  void showListing();

  QWidget* control(int id) const;
  QPushButton* editButton(Edit e) const { return edits_.at(e); }

 public slots:
  void accept() override;
  void reject() override;

 protected:
  void hideEvent(QHideEvent* e) override;

 private:
  void showSelected();
  void edit(Edit e);

  const Document& doc_;
  Ui& ui_;
  OLineWork work_;
  int loadedLine_ = -1;  // -1 while hidden
  std::map<int, QWidget*> controls_;
  std::map<Edit, QPushButton*> edits_;
  QComboBox* method_ = nullptr;
  QListWidget* listing_ = nullptr;
  QLineEdit* value_ = nullptr;
  QLineEdit* kind_ = nullptr;
  QLineEdit* sub_ = nullptr;
};

// Creates the panel hidden and installs the window's answer to its message 0x407.
void installOLinePanel(TMyWindow& window);

}  // namespace tovala
