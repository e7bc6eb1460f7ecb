#include "shell/panels/dialogs/line_filter_dialog.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "model/document.h"
#include "shell/main_window.h"
#include "shell/panels/dialog_buttons.h"

namespace tovala {

namespace {

// What each item takes: the field it tests and the value, or every line.
enum class Field { All, Kind, Mode, Category };
struct FilterItem {
  const char* text;
  Field field;
  int value;
};
constexpr FilterItem kItems[kLineFilterItems] = {
    {"全部", Field::All, 0},      {"関節", Field::Kind, 4},      {"CLine", Field::Mode, 100},
    {"OLine", Field::Mode, 101},  {"顔", Field::Category, 11},   {"髪", Field::Category, 12},
    {"体", Field::Category, 6},   {"左手", Field::Category, 7},  {"右手", Field::Category, 8},
    {"左足", Field::Category, 9}, {"右足", Field::Category, 10},
};

}  // namespace

bool lineInFilterItem(const LineRecord& line, int item) {
  if (item < 0 || item >= kLineFilterItems) return false;
  const FilterItem& f = kItems[item];
  switch (f.field) {
    case Field::All: return true;
    case Field::Kind: return line.kind == f.value;
    case Field::Mode: return line.mode == f.value;
    case Field::Category: return line.category == f.value;
  }
  return false;
}

void applyLineFilter(Document& doc, const std::vector<int>& checkedItems) {
  for (int l = 0; l < doc.lineCount() - 1; ++l) {
    LineRecord& line = doc.lines[size_t(l)];
    line.sel = 0;
    for (int item : checkedItems)
      if (lineInFilterItem(line, item)) line.sel = 1;
  }
}

LineFilterDialog::LineFilterDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("140");
  setWindowTitle(QString::fromUtf8("線の選択"));
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget;
  list_->setObjectName("1248");
  list_->setSelectionMode(QAbstractItemView::MultiSelection);
  for (const FilterItem& f : kItems) list_->addItem(QString::fromUtf8(f.text));
  layout->addWidget(list_);
  addOkCancel(this, layout);
}

std::vector<int> LineFilterDialog::checkedItems() const {
  std::vector<int> items;
  for (int i = 0; i < list_->count(); ++i)
    if (list_->item(i)->isSelected()) items.push_back(i);
  return items;
}

void lineFilterCommand(TMyWindow& w) {
  if (w.motion() || !w.hasLines()) return;
  LineFilterDialog dialog(&w);
  if (dialog.exec() != QDialog::Accepted) return;
  applyLineFilter(w.doc(), dialog.checkedItems());
  w.session().changed(Redraw::All);
}

}  // namespace tovala
