#include "shell/panels/dialogs/input_dialogs.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/encoding.h"
#include "shell/panels/dialog_buttons.h"
#include "shell/panels/sjis_fit.h"

namespace tovala {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

constexpr int kWidestPrompt = 640;

// The prompt shown from its first character and, up to a limit, wide enough for all of it: a
// line edit shows its end when the text is longer than the box, which cut the start off.
void showPrompt(QLineEdit* e, std::string_view text) {
  e->setText(qs(text));
  e->setCursorPosition(0);
  const int width = e->fontMetrics().horizontalAdvance(e->text()) + 24;
  e->setMinimumWidth(std::min(width, kWidestPrompt));
}

QLineEdit* readOnlyPrompt(std::string_view text, int id) {
  auto* e = new QLineEdit;
  e->setReadOnly(true);
  e->setObjectName(QString::number(id));
  showPrompt(e, text);
  return e;
}

}  // namespace

std::string fitSelectionItem(std::string_view utf8) {
  const std::vector<uint8_t> sjis = utf8ToSjis(utf8);
  const size_t n = sjisPrefixBytes(sjis, kSelectionItemBytes - 1);
  return sjisToUtf8(std::span<const uint8_t>(sjis.data(), n));
}

InputDialog::InputDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("136");
  setWindowTitle(QString::fromUtf8("入力"));
  auto* layout = new QVBoxLayout(this);
  prompt_ = readOnlyPrompt(kDefaultInputPrompt, 1223);
  answer_ = new QLineEdit;
  answer_->setObjectName("1222");
  layout->addWidget(prompt_);
  layout->addWidget(answer_);
  addOkCancel(this, layout);
  answer_->setFocus();
}

void InputDialog::setPrompt(std::string_view prompt) { showPrompt(prompt_, prompt); }
void InputDialog::setAnswer(std::string_view answer) { answer_->setText(qs(answer)); }
std::string InputDialog::answer() const { return answer_->text().toStdString(); }

SelectionDialog::SelectionDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("138");
  setWindowTitle(QString::fromUtf8("選択"));
  auto* layout = new QVBoxLayout(this);
  prompt_ = readOnlyPrompt(kDefaultSelectionPrompt, 1243);
  list_ = new QListWidget;
  list_->setObjectName("1232");
  layout->addWidget(prompt_);
  layout->addWidget(list_);
  addOkCancel(this, layout);
  connect(list_, &QListWidget::itemDoubleClicked, this, &SelectionDialog::accept);
}

void SelectionDialog::setPrompt(std::string_view prompt) { showPrompt(prompt_, prompt); }

bool SelectionDialog::addItem(std::string_view utf8) {
  if (list_->count() >= kMaxSelectionItems) return false;
  list_->addItem(qs(fitSelectionItem(utf8)));
  return true;
}

int SelectionDialog::itemCount() const { return list_->count(); }

void SelectionDialog::accept() {
  chosen_ = list_->currentRow();
  QDialog::accept();
}

std::optional<std::string> askInput(QWidget* parent, std::string_view prompt,
                                    std::string_view initial) {
  InputDialog d(parent);
  if (!prompt.empty()) d.setPrompt(prompt);
  d.setAnswer(initial);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.answer();
}

std::optional<int> askSelection(QWidget* parent, std::string_view prompt,
                                const std::vector<std::string>& items) {
  SelectionDialog d(parent);
  if (!prompt.empty()) d.setPrompt(prompt);
  for (const std::string& item : items)
    if (!d.addItem(item)) break;
  if (d.exec() != QDialog::Accepted || d.chosen() < 0) return std::nullopt;
  return d.chosen();
}

}  // namespace tovala
