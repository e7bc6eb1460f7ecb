#pragma once
// The edit tool "編集ツール" (dialog 134): four cascading lists narrow the item tree, a read-only
// box gives the chosen item's guidance, another shows the connecting-line block number, and the
// buttons ask the window to start ("編集"), store ("決定") or drop ("取消") an edit, or to switch
// the point display ("点表示切替"). Like every panel it only reports what was asked.

#include <array>
#include <vector>

#include "shell/panel.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tovala {

class Document;

class EditToolPanel : public Panel {
  Q_OBJECT

 public:
  static constexpr int kEdit = 1;
  static constexpr int kDecide = 2;
  static constexpr int kCancel = 3;
  static constexpr int kPointDisplay = 4;
  static constexpr int kChanged = -1;

  // `hitBlock` is the window's current block number, which the value box shows.
  EditToolPanel(const Document& doc, const int& hitBlock, QWidget* parent);

  // All selections cleared, the lists rebuilt for the selection, the guidance shown.
  void refresh() override;
  // The table index of the deepest list's selected item, -1 when none.
  int chosenItem() const;
  // Selects row `row` of list `level` (0..3) as a user's choice would.
  void choose(int level, int row);

  QComboBox* list(int level) const { return lists_[size_t(level)]; }
  QPlainTextEdit* guidance() const { return guidance_; }
  QLineEdit* valueBox() const { return value_; }
  QPushButton* button(int id) const;
  // The table indices list `level` shows.
  const std::vector<int>& shown(int level) const { return shown_[size_t(level)]; }

 public slots:
  void reject() override;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  // Rebuilds list `level` and those below it; `preselect` chooses the starting rows.
  void fill(int level, bool preselect);
  void showGuidance();
  void showValue();

  const Document& doc_;
  const int& hitBlock_;
  std::array<QComboBox*, 4> lists_{};
  std::array<std::vector<int>, 4> shown_;
  QPlainTextEdit* guidance_ = nullptr;
  QLineEdit* value_ = nullptr;
  std::array<QPushButton*, 4> buttons_{};
  bool filling_ = false;
};

}  // namespace tovala
