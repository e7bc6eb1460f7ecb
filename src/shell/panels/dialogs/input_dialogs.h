#pragma once
// The two generic modal dialogs other commands borrow: "入力" (dialog 136), one answer typed
// under a read-only prompt, and "選択" (dialog 138), one item chosen from a list.

#include <QDialog>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QLineEdit;
class QListWidget;

namespace tovala {

inline constexpr const char* kDefaultInputPrompt = "入力してください          ";
inline constexpr const char* kDefaultSelectionPrompt = "選択してください          ";
inline constexpr int kMaxSelectionItems = 128;
inline constexpr int kSelectionItemBytes = 64;  // Shift-JIS bytes, the terminating zero included

// A list item as the selection dialog keeps it: cut to at most 63 Shift-JIS bytes without
// splitting a two-byte character.
std::string fitSelectionItem(std::string_view utf8);

class InputDialog : public QDialog {
  Q_OBJECT

 public:
  explicit InputDialog(QWidget* parent = nullptr);
  void setPrompt(std::string_view prompt);
  void setAnswer(std::string_view answer);
  std::string answer() const;
  QLineEdit* answerEdit() const { return answer_; }
  QLineEdit* promptEdit() const { return prompt_; }

 private:
  QLineEdit* answer_;
  QLineEdit* prompt_;
};

class SelectionDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SelectionDialog(QWidget* parent = nullptr);
  void setPrompt(std::string_view prompt);
  // Adds an item; false once the list holds its 128 items.
  bool addItem(std::string_view utf8);
  int itemCount() const;
  // The chosen row after OK, -1 when none was chosen.
  int chosen() const { return chosen_; }
  QListWidget* list() const { return list_; }
  QLineEdit* promptEdit() const { return prompt_; }

 public slots:
  void accept() override;

 private:
  QListWidget* list_;
  QLineEdit* prompt_;
  int chosen_ = -1;
};

// Runs "入力" with a prompt (the default one when empty) and an initial answer; the answer after
// OK, nothing after Cancel.
std::optional<std::string> askInput(QWidget* parent, std::string_view prompt,
                                    std::string_view initial);
// Runs "選択" over `items`; the chosen index after OK, nothing after Cancel or without a choice.
std::optional<int> askSelection(QWidget* parent, std::string_view prompt,
                                const std::vector<std::string>& items);

}  // namespace tovala
