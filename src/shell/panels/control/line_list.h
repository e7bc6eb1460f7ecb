#pragma once
// The line list "線" (dialog 116): one row per line in processing order (lineOrder), showing the
// line's index, its row, whether it has a command program, what kind of line it is and its
// number. Choosing a row asks the window (message 0x403) to select that line.

#include <string>
#include <vector>

#include "shell/panel.h"

class QListWidget;

namespace tovala {

class Document;
class TMyWindow;

// Row `row` of the list, for the line lineOrder[row]:
// "%4d %4d %c:%9sN:%4d" (index, row, '*' with a command program else '-', kind label, number),
// image lines "%4d %4d %c:画像%4d N:%4d" with the image key in place of the label.
std::string lineListRow(const Document& doc, int row);
// The name a line goes by, "" when it has none: a bone of the body model (its joint lines by
// number and group), a face part, or else the first object drawn with a piece of it.
std::string lineName(const Document& doc, int line);
// Every row, each followed by its line's name where it has one.
std::vector<std::string> lineListRows(const Document& doc);

class LineListPanel : public Panel {
  Q_OBJECT

 public:
  LineListPanel(const Document& doc, QWidget* parent);

  void refresh() override { refresh(false); }
  // Rebuilds the rows when forced, when the line count changed since the last fill or when a
  // row's text no longer matches its line; then selects the row of the current line.
  void refresh(bool force);
  // The row the user chose, as a click would choose it.
  void chooseRow(int row);

  QListWidget* list() const { return list_; }
  int shownLines() const { return shownLines_; }

  // What the window reads on 0x403: the chosen row, whether its line is not the current one,
  // and the selection before the choice.
  int chosenRow = -1;
  bool differs = false;
  int previousLine = 0;
  int previousPoint = 0;

 private:
  void selectCurrent();

  const Document& doc_;
  QListWidget* list_;
  int shownLines_ = -1;
  bool filling_ = false;
};

// The window's answer to 0x403.
void applyLineListChoice(TMyWindow& w, LineListPanel& panel);
// Creates the list beside the window, shown, and installs its message handler.
void installLineList(TMyWindow& w);

}  // namespace tovala
