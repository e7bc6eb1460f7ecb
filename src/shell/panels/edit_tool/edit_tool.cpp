#include "shell/panels/edit_tool/edit_tool.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "model/document.h"
#include "shell/panels/edit_tool/edit_tool_items.h"
#include "shell/panels/edit_tool/edit_tool_store.h"

namespace tovala {

namespace {
constexpr int kFirstList = 1214;
constexpr int kGuidanceBox = 1218;
constexpr int kValueBox = 1223;
struct ButtonDef {
  int id;
  const char* text;
  int action;
};
constexpr ButtonDef kButtons[] = {{1219, "編集", EditToolPanel::kEdit},
                                  {1220, "決定", EditToolPanel::kDecide},
                                  {1221, "取消", EditToolPanel::kCancel},
                                  {1222, "点表示切替", EditToolPanel::kPointDisplay}};
}  // namespace

EditToolPanel::EditToolPanel(const Document& doc, const int& hitBlock, QWidget* parent)
    : Panel(PanelId::EditTool, PanelMessage::EditTool, parent), doc_(doc), hitBlock_(hitBlock) {
  setObjectName("134");
  setWindowTitle(QString::fromUtf8("編集ツール"));
  auto* grid = new QGridLayout(this);
  int row = 0;
  for (int level = 0; level < kEditLevels; ++level) {
    if (level > 0)
      grid->addWidget(new QLabel(QString::fromUtf8("↓")), row++, 0, 1, 2, Qt::AlignHCenter);
    auto* combo = new QComboBox;
    combo->setObjectName(QString::number(kFirstList + level));
    lists_[size_t(level)] = combo;
    grid->addWidget(combo, row++, 0, 1, 2);
    connect(combo, &QComboBox::activated, this, [this, level](int r) { choose(level, r); });
  }
  guidance_ = new QPlainTextEdit;
  guidance_->setObjectName(QString::number(kGuidanceBox));
  guidance_->setReadOnly(true);
  grid->addWidget(guidance_, row++, 0, 1, 2);
  value_ = new QLineEdit;
  value_->setObjectName(QString::number(kValueBox));
  value_->setReadOnly(true);
  grid->addWidget(value_, row++, 0, 1, 2);
  int col = 0;
  for (size_t i = 0; i < std::size(kButtons); ++i) {
    auto* b = new QPushButton(QString::fromUtf8(kButtons[i].text));
    b->setObjectName(QString::number(kButtons[i].id));
    b->setAutoDefault(false);
    buttons_[i] = b;
    grid->addWidget(b, row, col);
    if (++col == 2) {
      col = 0;
      ++row;
    }
    const int action = kButtons[i].action;
    connect(b, &QPushButton::clicked, this, [this, action] { request(action); });
  }
  auto* close = new QPushButton(QString::fromUtf8("閉"));
  close->setObjectName("2");
  close->setAutoDefault(false);
  grid->addWidget(close, row, 0, 1, 2);
  connect(close, &QPushButton::clicked, this, &EditToolPanel::reject);
  refresh();
}

QPushButton* EditToolPanel::button(int id) const {
  for (size_t i = 0; i < std::size(kButtons); ++i)
    if (kButtons[i].id == id) return buttons_[i];
  return nullptr;
}

void EditToolPanel::refresh() {
  fill(0, true);
  showGuidance();
  showValue();
}

void EditToolPanel::fill(int level, bool preselect) {
  const bool valid = doc_.isValidPick(doc_.curLine, doc_.curPoint) == 1;
  filling_ = true;
  for (int k = level; k < kEditLevels; ++k) {
    QComboBox* combo = lists_[size_t(k)];
    if (!valid) {  // nothing to edit: the lists keep what they show but cannot be used
      combo->setEnabled(false);
      continue;
    }
    std::vector<int>& items = shown_[size_t(k)];
    if (k == 0) {
      items = editTopItems();
    } else {
      const int above = lists_[size_t(k - 1)]->currentIndex();
      const std::vector<int>& parent = shown_[size_t(k - 1)];
      items = above >= 0 && size_t(above) < parent.size() ? editItemChildren(parent[size_t(above)])
                                                          : std::vector<int>{};
    }
    combo->clear();
    for (int i : items) combo->addItem(QString::fromStdString(editItems()[size_t(i)].name));
    combo->setEnabled(!items.empty());
    int start = -1;
    if (!items.empty() && preselect) {
      if (k == 0)
        start = preselectTop(doc_);
      else if (k == 1)
        start = preselectSecond(
            doc_, editItems()[size_t(shown_[0][size_t(lists_[0]->currentIndex())])].code);
      else
        start = 0;
      if (start >= int(items.size())) start = 0;
    }
    combo->setCurrentIndex(start);
  }
  filling_ = false;
}

int EditToolPanel::chosenItem() const {
  for (int k = kEditLevels - 1; k >= 0; --k) {
    const QComboBox* combo = lists_[size_t(k)];
    const int row = combo->currentIndex();
    // A list disabled for want of a selected point still names what it shows.
    if (row >= 0 && size_t(row) < shown_[size_t(k)].size()) return shown_[size_t(k)][size_t(row)];
  }
  return -1;
}

void EditToolPanel::choose(int level, int row) {
  if (filling_ || level < 0 || level >= kEditLevels) return;
  lists_[size_t(level)]->setCurrentIndex(row);
  if (level + 1 < kEditLevels) fill(level + 1, true);
  request(kChanged);
  showGuidance();
}

void EditToolPanel::showGuidance() {
  const int item = chosenItem();
  const EditItem* it = item >= 0 ? &editItems()[size_t(item)] : nullptr;
  QString text = QString::fromUtf8(it ? editGuidance(it->type) : "");
  text.replace("\r\n", "\n");
  guidance_->setPlainText(text);
  // "編集" only for the items whose interaction the editor has.
  button(1219)->setEnabled(it && editItemSupported(*it));
}

void EditToolPanel::showValue() { value_->setText(QString::fromUtf8("番号:%1").arg(hitBlock_)); }

void EditToolPanel::changeEvent(QEvent* event) {
  Panel::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) refresh();
}

// "閉" and the close box hide the tool, which keeps its lists.
void EditToolPanel::reject() {
  request(kChanged);
  Panel::reject();
}

}  // namespace tovala
