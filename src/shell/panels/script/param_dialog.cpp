#include "shell/panels/script/param_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <bit>
#include <cstdio>
#include <utility>

#include "model/document.h"
#include "shell/main_window.h"
#include "shell/panels/entry_text.h"

namespace tovala {

namespace {

constexpr const char* kSnapshotReason = "OnTovparamdlg";

}  // namespace

std::string paramRowText(const ParamEntry& e, bool point, bool hex) {
  char buf[96];
  const char target = point ? 'P' : 'L';
  if (hex) {
    std::snprintf(buf, sizeof buf, "%c:%04d,%02d,%08x", target, e.key, e.sub, unsigned(e.value));
  } else {
    std::snprintf(buf, sizeof buf, "%c:%04d,%02d,%4.4f", target, e.key, e.sub, double(e.asFloat()));
  }
  return buf;
}

std::string paramValueText(const ParamEntry& e, bool hex) {
  char buf[64];
  if (hex) {
    std::snprintf(buf, sizeof buf, "%08x", unsigned(e.value));
  } else {
    std::snprintf(buf, sizeof buf, "%4.4f", double(e.asFloat()));
  }
  return buf;
}

std::optional<ParamEntry> readParamEntry(std::string_view kind, std::string_view nam,
                                         std::string_view f, bool hex) {
  const auto key = entrytext::readInt(kind);
  const auto sub = entrytext::readInt(nam);
  if (!key || !sub) return {};
  if (hex) {
    const auto bits = entrytext::readHex(f);
    if (!bits) return {};
    return ParamEntry{*key, *sub, *bits};
  }
  const auto value = entrytext::readReal(f);
  if (!value) return {};
  return ParamEntry::ofFloat(*key, *sub, *value);
}

ParamList withSentinel(ParamList params) {
  if (params.empty() || params.back() != ParamEntry::sentinel())
    params.push_back(ParamEntry::sentinel());
  return params;
}

ParamDialog::ParamDialog(const Document& doc, QWidget* parent) : QDialog(parent), doc_(doc) {
  setObjectName("127");
  setWindowTitle(QString::fromUtf8("変数"));
  list_ = new QListWidget;
  list_->setObjectName("list");
  kind_ = new QLineEdit;
  kind_->setObjectName("kind");
  nam_ = new QLineEdit;
  nam_->setObjectName("nam");
  value_ = new QLineEdit;
  value_->setObjectName("f");

  auto* fields = new QGridLayout;
  int row = 0;
  using Field = std::pair<const char*, QLineEdit*>;
  for (auto [label, edit] : {Field{"kind", kind_}, Field{"nam", nam_}, Field{"f", value_}}) {
    fields->addWidget(new QLabel(label), row, 0);
    fields->addWidget(edit, row++, 1);
  }
  struct ButtonDef {
    const char* text;
    const char* name;
  };
  const ButtonDef defs[] = {{"線<->点", "linePoint"}, {"切替", "display"}, {"書換", "rewrite"},
                            {"挿入", "insert"},       {"削除", "delete"},  {"OK", "ok"},
                            {"キャンセル", "cancel"}};
  auto* buttons = new QGridLayout;
  int i = 0;
  for (const ButtonDef& s : defs) {
    auto* b = new QPushButton(QString::fromUtf8(s.text));
    b->setObjectName(QString::fromLatin1(s.name));
    b->setAutoDefault(false);
    buttons->addWidget(b, i / 2, i % 2);
    i += s.name == std::string_view("delete") ? 2 : 1;  // OK and キャンセル share the last row
  }
  fields->addLayout(buttons, row, 0, 1, 2);
  auto* top = new QHBoxLayout(this);
  top->addWidget(list_, 3);
  top->addLayout(fields, 2);

  connect(list_, &QListWidget::currentRowChanged, this, [this](int r) {
    edit_.selected = r;
    showSelection();
  });
  connect(button("linePoint"), &QPushButton::clicked, this, [this] {
    pointMode_ = !pointMode_;
    load();
  });
  connect(button("display"), &QPushButton::clicked, this, [this] {
    hex_ = !hex_;
    fillList();
  });
  connect(button("rewrite"), &QPushButton::clicked, this, [this] { apply(&ParamEdit::rewrite); });
  connect(button("insert"), &QPushButton::clicked, this, [this] { apply(&ParamEdit::insert); });
  connect(button("delete"), &QPushButton::clicked, this, [this] {
    edit_.erase();
    fillList();
  });
  connect(button("ok"), &QPushButton::clicked, this, &QDialog::accept);
  connect(button("cancel"), &QPushButton::clicked, this, &QDialog::reject);
  load();
}

QPushButton* ParamDialog::button(const char* name) const {
  return findChild<QPushButton*>(QString::fromLatin1(name));
}

// The working copy from the target; a selection that is not a valid line and point of it gives
// an empty list that OK cannot store.
void ParamDialog::load() {
  line_ = doc_.curLine;
  point_ = doc_.curPoint;
  edit_ = ParamEdit{};
  if (doc_.isValidPick(line_, point_) == 1) {
    const LineRecord& l = doc_.lines[size_t(line_)];
    edit_.rows = pointMode_ ? l.points[size_t(point_)].params : l.params;
  }
  fillList();
}

void ParamDialog::fillList() {
  showRows(list_, edit_, [this](const ParamEntry& e) {
    return QString::fromStdString(paramRowText(e, pointMode_, hex_));
  });
  showSelection();
}

void ParamDialog::selectRow(int row) { list_->setCurrentRow(row); }

void ParamDialog::showSelection() {
  if (!edit_.hasSelection()) return;
  const ParamEntry& e = edit_.rows[size_t(edit_.selected)];
  kind_->setText(QString::number(e.key));
  nam_->setText(QString::number(e.sub));
  value_->setText(QString::fromStdString(paramValueText(e, hex_)));
}

void ParamDialog::apply(bool (ParamEdit::*change)(const ParamEntry&)) {
  const auto e = readParamEntry(kind_->text().toStdString(), nam_->text().toStdString(),
                                value_->text().toStdString(), hex_);
  if (e) (edit_.*change)(*e);
  fillList();
}

void openParamDialog(TMyWindow& w) {
  Document& d = w.doc();
  ParamDialog dialog(d, &w);
  if (dialog.exec() != QDialog::Accepted) return;
  const int line = dialog.line();
  const int point = dialog.point();
  if (d.isValidPick(line, point) != 1) return;
  w.session().edit(kSnapshotReason, [&](Document& doc) {
    LineRecord& l = doc.lines[size_t(line)];
    if (dialog.pointMode()) {
      PointRecord& p = l.points[size_t(point)];
      p.params = withSentinel(dialog.edit().rows);
      p.paramChanged = 1;
    } else {
      l.params = withSentinel(dialog.edit().rows);
      l.paramChanged = 1;
    }
  }, Redraw::All);
}

}  // namespace tovala
