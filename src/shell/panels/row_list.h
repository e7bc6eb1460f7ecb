#pragma once
// The working copy a list dialog edits: its records and the selected row (-1 for none), with the
// edits its "insert", "rewrite" and "delete" buttons make. Each dialog adds its own conditions
// (the program list never inserts before its start marker, the parameter list keeps one row).

#include <QListWidget>
#include <QSignalBlocker>

#include <algorithm>
#include <vector>

namespace tovala {

template <class T>
struct RowList {
  std::vector<T> rows;
  int selected = -1;

  bool hasSelection() const { return selected >= 0 && selected < int(rows.size()); }

  // Puts `v` before the selected row; the selection stays on the row it was on, so repeated
  // inserts come out in the order they were made.
  bool insertBefore(const T& v) {
    if (!hasSelection()) return false;
    rows.insert(rows.begin() + selected, v);
    ++selected;
    return true;
  }

  bool rewrite(const T& v) {
    if (!hasSelection()) return false;
    rows[size_t(selected)] = v;
    return true;
  }

  // Removes the selected row; the selection moves to the row that took its place, or to the new
  // last row, or to none when the list is empty.
  bool remove() {
    if (!hasSelection()) return false;
    rows.erase(rows.begin() + selected);
    selected = std::min(selected, int(rows.size()) - 1);
    return true;
  }
};

// Shows the working copy in `list`, one `text(row)` a row, with its selection; the refill is not
// reported as a click.
template <class T, class Text>
void showRows(QListWidget* list, const RowList<T>& rows, Text text) {
  const QSignalBlocker quiet(list);
  list->clear();
  for (const T& row : rows.rows) list->addItem(text(row));
  list->setCurrentRow(rows.hasSelection() ? rows.selected : -1);
}

}  // namespace tovala
