#pragma once
// Small pieces the motion-setting panels (joint, connecting line, decorative line) share: a
// label from UTF-8 text, the look-up of a control by its dialog id, and the refill of a listing.

#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QWidget>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace tovala {

inline QLabel* textLabel(const char* utf8) { return new QLabel(QString::fromUtf8(utf8)); }

// The control registered under `id`, or nullptr.
inline QWidget* controlById(const std::map<int, QWidget*>& controls, int id) {
  auto it = controls.find(id);
  return it == controls.end() ? nullptr : it->second;
}

// Refills `list` with `rows`, the selection staying on its row (or the new last row when the
// list got shorter); the refill is not reported as a click.
inline void showTexts(QListWidget* list, const std::vector<std::string>& rows) {
  const QSignalBlocker quiet(list);
  const int row = list->currentRow();
  list->clear();
  for (const std::string& s : rows) list->addItem(QString::fromStdString(s));
  list->setCurrentRow(std::min(row, list->count() - 1));
}

}  // namespace tovala
