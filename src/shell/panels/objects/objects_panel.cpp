#include "shell/panels/objects/objects_panel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "engine/objects.h"
#include "model/document.h"
#include "shell/panels/objects/eye_dialog.h"

namespace tovala {

namespace {

constexpr const char* kDrawTypeItems[] = {"通常(高速)", "円形(高速)", "目(高速)",
                                          "通常(塗り)", "円形(塗り)", "目(塗り)"};
constexpr const char* kModeItems[] = {"普通", "顔", "複数点+", "複数点-"};
constexpr int kNumberEdit = 1234, kDrawTypeCombo = 1233, kModeCombo = 1232;
constexpr int kLineCombo = 1223, kRuleCombo = 1224, kFirstCombo = 1228, kSecondCombo = 1229;
constexpr int kRedEdit = 1225, kGreenEdit = 1226, kBlueEdit = 1227, kReferenceEdit = 1230;
constexpr int kDepthEdit = 1235, kNameEdit = 1236, kFirstEdit = 1244, kSecondEdit = 1248;
constexpr int kPickEdit = 0;  // the readout of the piece being picked

QString text(const std::string& s) { return QString::fromStdString(s); }

// Fills a combo with `count` texts, keeping the chosen row where it can.
template <class TextOf>
void fillCombo(QComboBox* c, int count, TextOf textOf) {
  const int keep = std::max(c->currentIndex(), 0);
  c->clear();
  for (int i = 0; i < count; ++i) c->addItem(text(textOf(i)));
  c->setCurrentIndex(std::min(keep, count - 1));
}

template <class Control>
Control* controlById(const std::map<int, Control*>& controls, int id) {
  auto it = controls.find(id);
  return it == controls.end() ? nullptr : it->second;
}

}  // namespace

std::string pickedPieceText(const ObjectsPick& pick) {
  if (pick.line < 0) return {};
  return std::to_string(pick.line) + "," + std::to_string(pick.first) + "," +
         std::to_string(pick.last);
}

ObjectsPanel::ObjectsPanel(const Document& doc, QWidget* parent)
    : Panel(PanelId::Objects, PanelMessage::Objects, parent), doc_(doc) {
  setObjectName("135");
  setWindowTitle(QString::fromUtf8("オブジェクト"));
  auto* grid = new QGridLayout(this);
  auto label = [](const char* t) { return new QLabel(QString::fromUtf8(t)); };

  list_ = new QListWidget;
  list_->setObjectName("1221");
  grid->addWidget(list_, 0, 0, 6, 2);
  connect(list_, &QListWidget::itemClicked, this, [this] { request(kSelectObject); });
  int row = 0;
  for (auto [id, t] :
       {std::pair{3, "追加"}, {4, "削除"}, {5, "書換"}, {6, "初期値"}, {8, "戻す"}, {7, "検索"}})
    grid->addWidget(addButton(id, t), row++, 2);
  row = 0;
  for (auto [id, t] : {std::pair{9, "反転"}, {10, "再表示"}, {11, "目編集"}, {1242, "点表示切替"}})
    grid->addWidget(addButton(id, t), row++, 3);

  row = 6;
  grid->addWidget(addEdit(kNumberEdit, true), row, 0);
  grid->addWidget(addCombo(kDrawTypeCombo), row, 1);
  grid->addWidget(addCombo(kModeCombo), row, 2, 1, 2);
  for (const char* t : kDrawTypeItems) combo(kDrawTypeCombo)->addItem(QString::fromUtf8(t));
  for (const char* t : kModeItems) combo(kModeCombo)->addItem(QString::fromUtf8(t));

  ++row;
  grid->addWidget(label("RGB"), row, 0);
  auto* rgb = new QHBoxLayout;
  for (int id : {kRedEdit, kGreenEdit, kBlueEdit}) rgb->addWidget(addEdit(id, false));
  rgb->addWidget(addButton(1247, "編集"));
  button(1247)->setToolTip(QString::fromUtf8("色の置換"));
  grid->addLayout(rgb, row, 1);
  grid->addWidget(label("fz"), row, 2);
  grid->addWidget(addEdit(kDepthEdit, false), row, 3);

  ++row;
  grid->addWidget(label("名前"), row, 0);
  grid->addWidget(addEdit(kNameEdit, false), row, 1, 1, 3);
  edit(kNameEdit)->setMaxLength(kObjectNameBytes);

  ++row;
  grid->addWidget(label("線"), row, 0);
  grid->addWidget(addCombo(kLineCombo), row, 1);
  grid->addWidget(label("点"), row, 2);
  grid->addWidget(addCombo(kRuleCombo), row, 3);
  ++row;
  grid->addWidget(addEdit(kPickEdit, true), row, 0);
  grid->addWidget(addButton(1237, "編集"), row, 1);
  grid->addWidget(addButton(1238, "決定"), row, 2);
  grid->addWidget(addButton(1239, "削除"), row, 3);

  ++row;
  grid->addWidget(label("基準点"), row, 0);
  grid->addWidget(addEdit(kReferenceEdit, true), row, 1);
  auto* refButtons = new QHBoxLayout;
  for (auto [id, t] : {std::pair{1231, "点"}, {1241, "単位"}, {1243, "反単"}, {1240, "決定"}})
    refButtons->addWidget(addButton(id, t));
  grid->addLayout(refButtons, row, 2, 1, 2);

  ++row;
  grid->addWidget(label("fpz"), row, 0);
  grid->addWidget(addCombo(kFirstCombo), row, 1);
  grid->addWidget(addEdit(kFirstEdit, false), row, 2);
  grid->addWidget(addButton(1245, "決定"), row, 3);
  ++row;
  grid->addWidget(label("fp"), row, 0);
  grid->addWidget(addCombo(kSecondCombo), row, 1);
  grid->addWidget(addEdit(kSecondEdit, false), row, 2);
  grid->addWidget(addButton(1246, "決定"), row, 3);

  // The same slot in the line and rule lists; a chosen value shows in its edit box.
  for (auto [from, to] : {std::pair{kLineCombo, kRuleCombo}, {kRuleCombo, kLineCombo}}) {
    QComboBox* other = combo(to);
    connect(combo(from), &QComboBox::currentIndexChanged, this, [other](int i) {
      if (i >= 0 && i < other->count() && other->currentIndex() != i) other->setCurrentIndex(i);
    });
  }
  connect(combo(kFirstCombo), &QComboBox::currentIndexChanged, this,
          [this] { edit(kFirstEdit)->setText(combo(kFirstCombo)->currentText()); });
  connect(combo(kSecondCombo), &QComboBox::currentIndexChanged, this,
          [this] { edit(kSecondEdit)->setText(combo(kSecondCombo)->currentText()); });

  // A field edit is handed over only when it changes the current object.
  auto fieldsChanged = [this] {
    if (refreshing_ || !isVisible()) return;  // focus leaving a closing panel is no request
    ObjectRecord changed = doc_.scratchObject;
    if (applyObjectFields(changed, fields()) && changed == doc_.scratchObject) return;
    request(kApplyFields);
  };
  connect(combo(kDrawTypeCombo), &QComboBox::activated, this, fieldsChanged);
  connect(combo(kModeCombo), &QComboBox::activated, this, fieldsChanged);
  for (int id : {kRedEdit, kGreenEdit, kBlueEdit, kDepthEdit, kNameEdit})
    connect(edit(id), &QLineEdit::editingFinished, this, fieldsChanged);
  refresh();
}

QPushButton* ObjectsPanel::addButton(int id, const char* label) {
  auto* b = new QPushButton(QString::fromUtf8(label));
  b->setObjectName(QString::number(id));
  b->setAutoDefault(false);
  buttons_[id] = b;
  connect(b, &QPushButton::clicked, this, [this, id] { request(id); });
  return b;
}

QLineEdit* ObjectsPanel::addEdit(int id, bool readOnly) {
  auto* e = new QLineEdit;
  e->setObjectName(id == kPickEdit ? QString("pick") : QString::number(id));
  e->setReadOnly(readOnly);
  edits_[id] = e;
  return e;
}

QComboBox* ObjectsPanel::addCombo(int id) {
  auto* c = new QComboBox;
  c->setObjectName(QString::number(id));
  combos_[id] = c;
  return c;
}

QPushButton* ObjectsPanel::button(int id) const { return controlById(buttons_, id); }
QComboBox* ObjectsPanel::combo(int id) const { return controlById(combos_, id); }
QLineEdit* ObjectsPanel::edit(int id) const { return controlById(edits_, id); }

void ObjectsPanel::refresh() {
  refreshing_ = true;
  const ObjectRecord& o = doc_.scratchObject;
  list_->clear();
  for (int i = 0; i + 1 < doc_.objectCount(); ++i)
    list_->addItem(text(tovala::objectName(doc_.objects[size_t(i)])));
  if (doc_.curObject >= 0 && doc_.curObject < list_->count()) list_->setCurrentRow(doc_.curObject);

  edit(kNumberEdit)->setText(text(numberText(o)));
  combo(kDrawTypeCombo)->setCurrentIndex(drawTypeItem(o.header[kObjectDrawType]));
  combo(kModeCombo)->setCurrentIndex(modeItem(o.header[kObjectMode]));
  edit(kRedEdit)->setText(text(colourText(o, 0)));
  edit(kGreenEdit)->setText(text(colourText(o, 1)));
  edit(kBlueEdit)->setText(text(colourText(o, 2)));
  edit(kDepthEdit)->setText(text(depthText(o)));
  edit(kNameEdit)->setText(text(tovala::objectName(o)));
  fillCombo(combo(kLineCombo), kObjectEntries,
            [&](int i) { return std::to_string(o.c[size_t(i)]); });
  fillCombo(combo(kRuleCombo), kObjectEntries,
            [&](int i) { return pieceRuleText(o.d[size_t(i)]); });
  combo(kRuleCombo)->setEnabled(o.header[kObjectDrawType] > 1);
  fillCombo(combo(kFirstCombo), kObjectFirstValues, [&](int i) { return firstValueText(o, i); });
  fillCombo(combo(kSecondCombo), kObjectSecondValues, [&](int i) { return secondValueText(o, i); });
  edit(kFirstEdit)->setText(combo(kFirstCombo)->currentText());
  edit(kSecondEdit)->setText(combo(kSecondCombo)->currentText());
  showPick();
  refreshing_ = false;
  if (EyeEditorDialog* eye = eyeEditor(); eye && eye->isVisible()) eye->refresh();
}

EyeEditorDialog* ObjectsPanel::eyeEditor() const { return findChild<EyeEditorDialog*>(); }

void ObjectsPanel::hideEvent(QHideEvent* e) {
  if (EyeEditorDialog* eye = eyeEditor()) eye->hide();
  Panel::hideEvent(e);
}

void ObjectsPanel::showPick() {
  const ObjectsPick& p = pick;
  edit(kPickEdit)->setText(text(pickedPieceText(p)));
  const int32_t ref = p.reference >= 0 ? p.reference : doc_.scratchObject.header[kObjectReference];
  edit(kReferenceEdit)->setText(text(referenceText(ref)));
}

int ObjectsPanel::chosenRow() const { return list_->currentRow(); }
int ObjectsPanel::entryIndex() const { return combo(kLineCombo)->currentIndex(); }
int ObjectsPanel::firstValueIndex() const { return combo(kFirstCombo)->currentIndex(); }
int ObjectsPanel::secondValueIndex() const { return combo(kSecondCombo)->currentIndex(); }
std::string ObjectsPanel::firstValueInput() const { return edit(kFirstEdit)->text().toStdString(); }
std::string ObjectsPanel::secondValueInput() const {
  return edit(kSecondEdit)->text().toStdString();
}

ObjectFields ObjectsPanel::fields() const {
  ObjectFields f;
  f.drawTypeItem = combo(kDrawTypeCombo)->currentIndex();
  f.modeItem = combo(kModeCombo)->currentIndex();
  f.red = edit(kRedEdit)->text().toStdString();
  f.green = edit(kGreenEdit)->text().toStdString();
  f.blue = edit(kBlueEdit)->text().toStdString();
  f.depth = edit(kDepthEdit)->text().toStdString();
  f.name = edit(kNameEdit)->text().toStdString();
  return f;
}

}  // namespace tovala
