#pragma once
// "線の選択" (dialog 140), behind "線限定": the user checks categories of lines; only lines of
// the checked categories keep `sel` 1, so the others take no part in range selection and show
// no point marks.

#include <QDialog>

#include <vector>

class QListWidget;

namespace tovala {

class Document;
struct LineRecord;
class TMyWindow;

inline constexpr int kLineFilterItems = 11;

// Whether item `item` of the list ("全部", "関節", "CLine", ... "右足") takes the line.
bool lineInFilterItem(const LineRecord& line, int item);
// Every line's `sel` to 0, then 1 for each line some checked item takes.
void applyLineFilter(Document& doc, const std::vector<int>& checkedItems);

class LineFilterDialog : public QDialog {
  Q_OBJECT

 public:
  explicit LineFilterDialog(QWidget* parent = nullptr);
  // The checked items in list order.
  std::vector<int> checkedItems() const;
  QListWidget* list() const { return list_; }

 private:
  QListWidget* list_;
};

// "線限定" (40072).
void lineFilterCommand(TMyWindow& w);

}  // namespace tovala
