#pragma once
// The dialog "線の命令文": a line's compiled program entry by entry, edited as raw flag and code
// values. The list shows the working copy; the combo box "命令語" offers every word the compiler
// can emit (markers, number and local kinds, the model variables, the keywords) to fill the two
// edits; "挿入", "書き換え" and "削除" change the working copy. OK hands the copy back to the
// command, which stores it into the line with its undo step.

#include <QDialog>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/records.h"
#include "shell/panels/row_list.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tovala {

class Document;
class TMyWindow;

// One row of the combo box "命令語".
struct CommandWord {
  std::string name;  // UTF-8
  uint8_t flag = 0;
  uint32_t code = 0;
};

// The combo box rows in their order: the four kinds, every variable-table slot (the empty ones
// too), every keyword.
const std::vector<CommandWord>& commandWords();
// The first combo row whose text begins with `name`, or -1.
int commandWordRowFor(std::string_view name);

// The name an entry is listed under (UTF-8): the kind for markers, numbers and locals, else its
// keyword, else the first variable of its flag, else "エラー".
std::string programEntryName(const CodeEntry& e);
// "%12s:%02x-%08x" of name, flag and code, the name right-aligned in 12 Shift-JIS bytes.
std::string programRowText(const CodeEntry& e);
// The two edits' texts for an entry: the flag as "%02x"; the code in the form it is read back
// (a decimal number for 0x02, a decimal integer for 0x10, otherwise "%08x").
std::string programFlagText(const CodeEntry& e);
std::string programCodeText(const CodeEntry& e);
// The entry the two edits give, or nothing when either cannot be read (a flag is one or two
// hexadecimal digits; the code is hexadecimal except for flags 0x02 and 0x10).
std::optional<CodeEntry> readProgramEntry(std::string_view flagText, std::string_view codeText);

// The dialog's working copy: the three buttons' rules on top of the plain row edits.
struct ProgramEdit : RowList<CodeEntry> {
  // Nothing goes before the start marker: only rows after the first take an insert.
  bool insert(const CodeEntry& e) { return selected > 0 && insertBefore(e); }
};

// The program the dialog starts from: the line's own, or a start and an end marker when it has
// none. `line` falls back to line 0 when it names no line.
CodeList initialProgram(const Document& doc, int line);

class LineProgramDialog : public QDialog {
  Q_OBJECT

 public:
  LineProgramDialog(const Document& doc, int line, QWidget* parent);

  int line() const { return line_; }
  const ProgramEdit& edit() const { return edit_; }
  CodeList program() const { return edit_.rows; }

  QListWidget* list() const { return list_; }
  QComboBox* words() const { return words_; }
  QLineEdit* flagEdit() const { return flag_; }
  QLineEdit* codeEdit() const { return code_; }
  QPushButton* insertButton() const { return insert_; }
  QPushButton* rewriteButton() const { return rewrite_; }
  QPushButton* deleteButton() const { return delete_; }

  // Selects a list row (-1 for none) as a click does.
  void selectRow(int row);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void fillWords();
  void fillList();
  void showSelection();
  void showWord(int row);
  void apply(bool (ProgramEdit::*change)(const CodeEntry&));

  int line_ = 0;
  ProgramEdit edit_;
  QListWidget* list_ = nullptr;
  QComboBox* words_ = nullptr;
  QLineEdit* flag_ = nullptr;
  QLineEdit* code_ = nullptr;
  QPushButton* insert_ = nullptr;
  QPushButton* rewrite_ = nullptr;
  QPushButton* delete_ = nullptr;
};

// Command 40028: the dialog for the selected line; on OK a changed program replaces the line's,
// after an undo snapshot, and is checked like a compiled one.
void openLineProgramDialog(TMyWindow& w);

}  // namespace tovala
