#pragma once
// The dialog "変数" (dialog 127): the parameter list of the selected line or of its selected
// point, as scripts read it through L[]param[] and L[]P[]param[]. Rows are edited in a working
// copy; "線<->点" switches the target, "切替" shows values as decimals or as their bits. OK
// hands the copy back to command 40047, which replaces the target's list with its undo step.

#include <QDialog>

#include <optional>
#include <string>
#include <string_view>

#include "model/records.h"
#include "shell/panels/row_list.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tovala {

class Document;
class TMyWindow;

// "L:%04d,%02d,%4.4f" (line) or "P:…" (point), or with "%08x" for the value's bits.
std::string paramRowText(const ParamEntry& e, bool point, bool hex);
// The value as the "f" edit shows it: "%4.4f", or "%08x" of the bits.
std::string paramValueText(const ParamEntry& e, bool hex);
// The entry the three edits give: kind and nam decimal integers, f a decimal number or, in the
// hexadecimal display, up to eight hexadecimal digits of the bits. Nothing when any is unreadable.
std::optional<ParamEntry> readParamEntry(std::string_view kind, std::string_view nam,
                                         std::string_view f, bool hex);

// The dialog's working copy: the delete button always leaves at least one row.
struct ParamEdit : RowList<ParamEntry> {
  bool insert(const ParamEntry& e) { return insertBefore(e); }
  bool erase() { return rows.size() >= 2 && remove(); }
};

// A list as it is stored: ending in the sentinel entry. Lookups stop at the first key above the
// one sought and the files count on the sentinel, so an edit that removed or rewrote it gets it
// back at the end.
ParamList withSentinel(ParamList params);

class ParamDialog : public QDialog {
  Q_OBJECT

 public:
  ParamDialog(const Document& doc, QWidget* parent);

  // The target the list was loaded from; nothing is loaded unless it is a valid line and point.
  bool pointMode() const { return pointMode_; }
  bool hexDisplay() const { return hex_; }
  int line() const { return line_; }
  int point() const { return point_; }
  const ParamEdit& edit() const { return edit_; }

  QListWidget* list() const { return list_; }
  QLineEdit* kindEdit() const { return kind_; }
  QLineEdit* namEdit() const { return nam_; }
  QLineEdit* valueEdit() const { return value_; }
  QPushButton* button(const char* name) const;

  void selectRow(int row);

 private:
  void load();
  void fillList();
  void showSelection();
  void apply(bool (ParamEdit::*change)(const ParamEntry&));

  const Document& doc_;
  bool pointMode_ = false;
  bool hex_ = false;
  int line_ = -1;
  int point_ = -1;
  ParamEdit edit_;
  QListWidget* list_ = nullptr;
  QLineEdit* kind_ = nullptr;
  QLineEdit* nam_ = nullptr;
  QLineEdit* value_ = nullptr;
};

// Command 40047 ("OnTovparamdlg").
void openParamDialog(TMyWindow& w);

}  // namespace tovala
