#include "shell/panels/script/line_program_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <bit>
#include <cstdio>

#include "model/document.h"
#include "platform/encoding.h"
#include "script/bytecode.h"
#include "script/tables.h"
#include "shell/main_window.h"
#include "shell/panels/entry_text.h"
#include "shell/panels/script/script_compile.h"

namespace tovala {

namespace {

using namespace script;

constexpr const char* kSeparator = "区切り";
constexpr const char* kInteger = "自然数型";
constexpr const char* kReal = "浮動少数型";
constexpr const char* kLocal = "局所変数p";
constexpr const char* kUnknown = "エラー";
constexpr const char* kSnapshotReason = "OnTovLinecmd";

QString qs(const std::string& utf8) { return QString::fromUtf8(utf8.data(), int(utf8.size())); }

std::string fixedName(uint8_t flag) {
  switch (flag) {
    case kFlagMarker: return kSeparator;
    case kFlagTarget: return kInteger;
    case kFlagNumber: return kReal;
    case kFlagLocal: return kLocal;
    default: return {};
  }
}

QPushButton* makeButton(const char* text, const char* name) {
  auto* b = new QPushButton(QString::fromUtf8(text));
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

const std::vector<CommandWord>& commandWords() {
  static const std::vector<CommandWord> words = [] {
    std::vector<CommandWord> w;
    for (uint8_t flag : {kFlagMarker, kFlagTarget, kFlagNumber, kFlagLocal})
      w.push_back({fixedName(flag), flag, 0});
    for (const VariableEntry& v : kVariables)
      w.push_back({std::string(v.name), v.flag, v.fieldCode});
    for (const KeywordEntry& k : kKeywords) w.push_back({std::string(k.text), k.flag, k.code});
    return w;
  }();
  return words;
}

int commandWordRowFor(std::string_view name) {
  const auto& words = commandWords();
  for (size_t i = 0; i < words.size(); ++i)
    if (std::string_view(words[i].name).starts_with(name)) return int(i);
  return -1;
}

std::string programEntryName(const CodeEntry& e) {
  const auto flag = uint8_t(e.flag);
  if (std::string fixed = fixedName(flag); !fixed.empty()) return fixed;
  if (const int k = findKeywordByCode(flag, e.code); k >= 0)
    return std::string(kKeywords[size_t(k)].text);
  for (const VariableEntry& v : kVariables)
    if (v.flag == flag) return std::string(v.name);
  return kUnknown;
}

std::string programRowText(const CodeEntry& e) {
  // Widths count Shift-JIS bytes, as the list always has.
  const std::vector<uint8_t> name = utf8ToSjis(programEntryName(e));
  char buf[96];
  std::snprintf(buf, sizeof buf, "%12.*s:%02x-%08x", int(name.size()),
                reinterpret_cast<const char*>(name.data()), unsigned(uint8_t(e.flag)),
                unsigned(e.code));
  return sjisToUtf8(std::string_view(buf));
}

std::string programFlagText(const CodeEntry& e) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02x", unsigned(uint8_t(e.flag)));
  return buf;
}

std::string programCodeText(const CodeEntry& e) {
  switch (uint8_t(e.flag)) {
    case kFlagNumber: return entrytext::showReal(e.asFloat());
    case kFlagLocal: return std::to_string(e.asInt());
    default: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%08x", unsigned(e.code));
      return buf;
    }
  }
}

std::optional<CodeEntry> readProgramEntry(std::string_view flagText, std::string_view codeText) {
  const std::optional<uint32_t> flag = entrytext::readHex(flagText);
  if (!flag || *flag > 0xFF) return {};
  CodeEntry e{int32_t(*flag), 0};
  switch (uint8_t(*flag)) {
    case kFlagNumber: {
      const auto v = entrytext::readReal(codeText);
      if (!v) return {};
      e.code = std::bit_cast<uint32_t>(*v);
      return e;
    }
    case kFlagLocal: {
      const auto v = entrytext::readInt(codeText);
      if (!v) return {};
      e.code = std::bit_cast<uint32_t>(*v);
      return e;
    }
    default: {
      // Flags 0x00, 0x1E and 0xFF have no reading of their own; they are read as shown.
      const auto v = entrytext::readHex(codeText);
      if (!v) return {};
      e.code = *v;
      return e;
    }
  }
}

CodeList initialProgram(const Document& doc, int line) {
  if (!doc.isValidLine(line)) line = 0;
  if (doc.isValidLine(line) && doc.lines[size_t(line)].code.size() > 1)
    return doc.lines[size_t(line)].code;
  return CodeList{CodeEntry{kFlagMarker, 0}, CodeEntry{kFlagMarker, 0}};
}

LineProgramDialog::LineProgramDialog(const Document& doc, int line, QWidget* parent)
    : QDialog(parent), line_(doc.isValidLine(line) ? line : 0) {
  setObjectName("LineProgramDialog");
  setWindowTitle(QString::fromUtf8("線の命令文"));
  edit_.rows = initialProgram(doc, line_);

  list_ = new QListWidget;
  list_->setObjectName("list");
  QFont mono = list_->font();
  mono.setStyleHint(QFont::TypeWriter);
  mono.setFamily("monospace");
  list_->setFont(mono);
  words_ = new QComboBox;
  words_->setObjectName("words");
  flag_ = new QLineEdit;
  flag_->setObjectName("flag");
  code_ = new QLineEdit;
  code_->setObjectName("dw");
  insert_ = makeButton("挿入", "insert");
  rewrite_ = makeButton("書き換え", "rewrite");
  delete_ = makeButton("削除", "delete");
  QPushButton* ok = makeButton("OK", "ok");
  QPushButton* cancel = makeButton("キャンセル", "cancel");

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(QString::fromUtf8("命令語")), 0, 0);
  fields->addWidget(words_, 0, 1, 1, 3);
  fields->addWidget(new QLabel("flag"), 1, 0);
  fields->addWidget(flag_, 1, 1);
  fields->addWidget(new QLabel("dw"), 1, 2);
  fields->addWidget(code_, 1, 3);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {insert_, rewrite_, delete_}) buttons->addWidget(b);
  fields->addLayout(buttons, 2, 0, 1, 4);
  // The auxiliary numbers are laid out but take no part in any edit.
  for (int i = 0; i < 4; ++i) {
    fields->addWidget(new QLabel(QString::fromUtf8("補助数%1").arg(i)), 3 + i, 0);
    auto* c = new QComboBox;
    c->setObjectName(QString("aux%1").arg(i));
    fields->addWidget(c, 3 + i, 1);
    fields->addWidget(new QLineEdit, 3 + i, 2, 1, 2);
  }
  auto* closing = new QHBoxLayout;
  closing->addStretch();
  closing->addWidget(ok);
  closing->addWidget(cancel);

  auto* top = new QVBoxLayout(this);
  top->addWidget(new QLabel(QString::fromUtf8("命令文")));
  auto* body = new QHBoxLayout;
  body->addWidget(list_, 3);
  body->addLayout(fields, 2);
  top->addLayout(body);
  top->addLayout(closing);

  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    edit_.selected = row;
    showSelection();
  });
  connect(words_, &QComboBox::activated, this, [this](int row) { showWord(row); });
  connect(insert_, &QPushButton::clicked, this, [this] { apply(&ProgramEdit::insert); });
  connect(rewrite_, &QPushButton::clicked, this, [this] { apply(&ProgramEdit::rewrite); });
  connect(delete_, &QPushButton::clicked, this, [this] {
    edit_.remove();
    fillList();
  });
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  fillWords();
  fillList();
}

// Opening shows the words from the top and empty edits.
void LineProgramDialog::showEvent(QShowEvent* event) {
  fillWords();
  words_->setCurrentIndex(0);
  flag_->setText("--");
  code_->setText("----");
  fillList();
  QDialog::showEvent(event);
}

void LineProgramDialog::fillWords() {
  words_->clear();
  for (const CommandWord& w : commandWords()) words_->addItem(qs(w.name));
}

void LineProgramDialog::fillList() {
  showRows(list_, edit_, [](const CodeEntry& e) { return qs(programRowText(e)); });
  showSelection();
}

void LineProgramDialog::selectRow(int row) { list_->setCurrentRow(row); }

void LineProgramDialog::showSelection() {
  if (!edit_.hasSelection()) {
    words_->setCurrentIndex(0);
    flag_->setText("--");
    code_->setText("----");
    return;
  }
  const CodeEntry& e = edit_.rows[size_t(edit_.selected)];
  const int word = commandWordRowFor(programEntryName(e));
  if (word >= 0) words_->setCurrentIndex(word);
  flag_->setText(qs(programFlagText(e)));
  code_->setText(qs(programCodeText(e)));
}

void LineProgramDialog::showWord(int row) {
  const auto& words = commandWords();
  if (row < 0 || row >= int(words.size())) return;
  const CodeEntry e{words[size_t(row)].flag, words[size_t(row)].code};
  flag_->setText(qs(programFlagText(e)));
  code_->setText(qs(programCodeText(e)));
}

void LineProgramDialog::apply(bool (ProgramEdit::*change)(const CodeEntry&)) {
  const std::optional<CodeEntry> e =
      readProgramEntry(flag_->text().toStdString(), code_->text().toStdString());
  if (e) (edit_.*change)(*e);
  fillList();
}

void openLineProgramDialog(TMyWindow& w) {
  if (w.motion()) return;
  Document& d = w.doc();
  LineProgramDialog dialog(d, d.curLine, &w);
  if (dialog.exec() != QDialog::Accepted) return;
  const int line = dialog.line();
  if (!d.isValidLine(line) || d.lines[size_t(line)].code == dialog.program()) return;
  w.session().edit(kSnapshotReason, [&](Document& doc) {
    LineRecord& l = doc.lines[size_t(line)];
    l.code = dialog.program();
    l.codeChanged = 1;
  }, Redraw::None);
  // Hand-edited records are checked as a compiled program is; the program stays either way.
  checkLineProgram(d, line);
}

}  // namespace tovala
