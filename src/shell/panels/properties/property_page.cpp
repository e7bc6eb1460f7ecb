#include "shell/panels/properties/property_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "model/document.h"

namespace tovala {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }
QString qs(const char* s) { return QString::fromUtf8(s); }

constexpr int kFieldWidth = 64;

}  // namespace

PropertyPage::PropertyPage(const Document& doc, PropertyTarget target, QWidget* parent)
    : SettingsPage(parent), doc_(doc), target_(target) {
  layout_ = new QVBoxLayout(this);
  grid_ = new QGridLayout;
  grid_->setHorizontalSpacing(4);
  layout_->addLayout(grid_);
}

QWidget* PropertyPage::control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

// --- building --------------------------------------------------------------------------------

QWidget* PropertyPage::makeControl(int id) {
  const FieldDef* field = findField(target_, id);
  if (field && field->kind == FieldKind::Combo) {
    auto* c = new QComboBox;
    for (const ComboItem& item : field->items) c->addItem(qs(item.text));
    c->setCurrentIndex(-1);
    connect(c, &QComboBox::currentIndexChanged, this, [this, id](int index) {
      if (filling_ || index < 0) return;
      PropertyRequest r;
      r.kind = PropertyRequest::Kind::Choice;
      r.id = id;
      r.choice = index;
      send(r);
    });
    return c;
  }
  auto* e = new QLineEdit;
  e->setFixedWidth(kFieldWidth);
  if (!field || field->kind == FieldKind::Shown) {
    e->setReadOnly(true);
    return e;
  }
  // Leaving an edit writes it, unless its text is what the page showed: passing through a field
  // must not round a value to the digits shown.
  connect(e, &QLineEdit::editingFinished, this, [this, e, id] {
    if (filling_ || e->text() == shown_[id]) return;
    PropertyRequest r;
    r.kind = PropertyRequest::Kind::Text;
    r.id = id;
    r.text = e->text().toStdString();
    send(r);
  });
  return e;
}

void PropertyPage::addRows(const std::vector<PropertyRow>& rows) {
  for (const PropertyRow& row : rows) {
    grid_->addWidget(new QLabel(qs(row.label)), gridRow_, 0);
    int column = 1;
    for (const auto& [small, id] : row.controls) {
      if (small) grid_->addWidget(new QLabel(qs(small)), gridRow_, column);
      QWidget* c = makeControl(id);
      c->setObjectName(QString::number(id));
      controls_[id] = c;
      grid_->addWidget(c, gridRow_, column + 1);
      column += 2;
    }
    ++gridRow_;
  }
}

QCheckBox* PropertyPage::addCheck(const char* label, int id) {
  auto* c = new QCheckBox(qs(label));
  c->setObjectName(QString::number(id));
  controls_[id] = c;
  connect(c, &QCheckBox::toggled, this, [this, id](bool on) {
    if (filling_) return;
    PropertyRequest r;
    r.kind = PropertyRequest::Kind::Choice;
    r.id = id;
    r.choice = on ? 1 : 0;
    send(r);
  });
  return c;
}

void PropertyPage::addEntryEditor(const EntryEditorIds& ids) {
  entryIds_ = ids;
  hasEntries_ = true;
  auto* box = new QHBoxLayout;
  auto addList = [&](const char* label, int id, EntryList which) {
    auto* column = new QVBoxLayout;
    column->addWidget(new QLabel(qs(label)));
    auto* list = new QListWidget;
    list->setObjectName(QString::number(id));
    controls_[id] = list;
    column->addWidget(list);
    box->addLayout(column);
    connect(list, &QListWidget::currentRowChanged, this, [this, which](int row) {
      if (filling_) return;
      activeList_ = which;
      entryRow_ = row;
      showEntry();
    });
  };
  addList("変数", ids.params, EntryList::Params);
  addList("命令", ids.code, EntryList::Code);
  control(ids.code)->setEnabled(ids.codeEditable);

  auto* edits = new QGridLayout;
  int row = 0;
  for (auto [label, id] : {std::pair{"k", ids.k}, std::pair{"n", ids.n}, std::pair{"f", ids.f}}) {
    auto* e = new QLineEdit;
    e->setObjectName(QString::number(id));
    controls_[id] = e;
    edits->addWidget(new QLabel(qs(label)), row, 0);
    edits->addWidget(e, row++, 1);
  }
  using Button = std::tuple<const char*, int, ListAction>;
  for (auto [label, id, action] : {Button{"書換", ids.replace, ListAction::Replace},
                                   Button{"挿入", ids.insert, ListAction::Insert},
                                   Button{"削除", ids.remove, ListAction::Delete}}) {
    auto* b = new QPushButton(qs(label));
    b->setObjectName(QString::number(id));
    b->setAutoDefault(false);
    controls_[id] = b;
    edits->addWidget(b, row++, 0, 1, 2);
    connect(b, &QPushButton::clicked, this, [this, action] { listAction(action); });
  }
  box->addLayout(edits);
  layout_->addLayout(box);
}

// --- showing ---------------------------------------------------------------------------------

void PropertyPage::setHex(bool hex) {
  SettingsPage::setHex(hex);
  refresh();
}

void PropertyPage::refresh() {
  filling_ = true;
  for (auto& [id, w] : controls_) {
    const FieldDef* field = findField(target_, id);
    if (!field) continue;
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
      const QString text = qs(fieldText(doc_, target_, id, hex()));
      e->setText(text);
      shown_[id] = text;
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
      c->setCurrentIndex(fieldChoice(doc_, target_, id));
    } else if (auto* b = qobject_cast<QCheckBox*>(w)) {
      b->setChecked(fieldChoice(doc_, target_, id) == 1);
    }
  }
  if (hasEntries_) fillEntries();
  refreshMore();
  filling_ = false;
}

void PropertyPage::fillEntries() {
  for (EntryList which : {EntryList::Params, EntryList::Code}) {
    auto* list = static_cast<QListWidget*>(
        control(which == EntryList::Params ? entryIds_.params : entryIds_.code));
    const QSignalBlocker quiet(list);
    list->clear();
    for (const std::string& item : entryItems(doc_, target_, which, hex())) list->addItem(qs(item));
    if (which != activeList_) list->setCurrentRow(-1);
  }
  auto* active = static_cast<QListWidget*>(
      control(activeList_ == EntryList::Params ? entryIds_.params : entryIds_.code));
  if (entryRow_ >= active->count()) entryRow_ = active->count() - 1;
  {
    const QSignalBlocker quiet(active);
    active->setCurrentRow(entryRow_);
  }
  showEntry();
}

void PropertyPage::showEntry() {
  auto* k = static_cast<QLineEdit*>(control(entryIds_.k));
  auto* n = static_cast<QLineEdit*>(control(entryIds_.n));
  auto* f = static_cast<QLineEdit*>(control(entryIds_.f));
  k->setEnabled(activeList_ == EntryList::Params);
  const auto texts = entryTexts(doc_, target_, activeList_, entryRow_, hex());
  if (!texts) return;
  k->setText(qs(texts->k));
  n->setText(qs(texts->n));
  f->setText(qs(texts->f));
}

void PropertyPage::selectEntry(EntryList list, int row) {
  activeList_ = list;
  if (auto* other = static_cast<QListWidget*>(
          control(list == EntryList::Params ? entryIds_.code : entryIds_.params))) {
    const QSignalBlocker quiet(other);
    other->setCurrentRow(-1);
  }
  auto* w = static_cast<QListWidget*>(
      control(list == EntryList::Params ? entryIds_.params : entryIds_.code));
  w->setCurrentRow(row);
  entryRow_ = row;
  showEntry();
}

void PropertyPage::listAction(ListAction action) {
  if (entryRow_ < 0) return;  // nothing is selected
  PropertyRequest r;
  r.kind = PropertyRequest::Kind::List;
  r.list.list = activeList_;
  r.list.action = action;
  r.list.row = entryRow_;
  r.list.texts = {static_cast<QLineEdit*>(control(entryIds_.k))->text().toStdString(),
                  static_cast<QLineEdit*>(control(entryIds_.n))->text().toStdString(),
                  static_cast<QLineEdit*>(control(entryIds_.f))->text().toStdString()};
  send(r);
}

void PropertyPage::send(PropertyRequest r) {
  r.target = target_;
  r.hex = hex();
  pending_ = std::move(r);
  emit notify(kPropertyWrite);
}

void PropertyPage::changeEvent(QEvent* event) {
  SettingsPage::changeEvent(event);
  // Back in the window: the document may have changed meanwhile.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible()) refresh();
}

}  // namespace tovala
