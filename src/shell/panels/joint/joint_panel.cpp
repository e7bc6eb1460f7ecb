#include "shell/panels/joint/joint_panel.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "model/document.h"
#include "model/messages.h"
#include "platform/ui.h"
#include "shell/panels/dialog_buttons.h"
#include "shell/panels/field_text.h"
#include "shell/panels/panel_controls.h"

namespace tovala {

namespace {

// The limit edits in the order of JointRanges, by control id.
constexpr std::array<int, 12> kRangeIds = {1054, 1055, 1058, 1056, 1059, 1057,
                                           1060, 1065, 1063, 1066, 1064, 1067};

void fillCombo(QComboBox* c, const std::vector<std::string>& items) {
  const QSignalBlocker quiet(c);
  c->clear();
  for (const std::string& s : items) c->addItem(QString::fromStdString(s));
  c->setCurrentIndex(0);
}

}  // namespace

JointPanel::JointPanel(const Document& doc, Ui& ui, QWidget* parent)
    : Panel(PanelId::Joint, PanelMessage::Joint, parent), doc_(doc), ui_(ui) {
  setObjectName("123");
  setWindowTitle(QString::fromUtf8("関節の動き設定"));
  auto* layout = new QVBoxLayout(this);

  auto* limits = new QGridLayout;
  const char* rows[] = {"< x <", "< y <", "< z <", "<Rx<", "<Ry<", "<Rz<"};
  for (size_t r = 0; r < 6; ++r) {
    ranges_[2 * r] = addEdit(kRangeIds[2 * r]);
    ranges_[2 * r + 1] = addEdit(kRangeIds[2 * r + 1]);
    limits->addWidget(ranges_[2 * r], int(r), 0);
    limits->addWidget(textLabel(rows[r]), int(r), 1, Qt::AlignCenter);
    limits->addWidget(ranges_[2 * r + 1], int(r), 2);
  }
  layout->addLayout(limits);

  auto* coRow = new QHBoxLayout;
  coRotation_ = new QComboBox;
  coRotation_->setObjectName("1062");
  controls_[1062] = coRotation_;
  auto* coSelect = new QPushButton(QString::fromUtf8("共回転点選択"));
  coSelect->setAutoDefault(false);
  buttons_[kCoRotationSelect] = coSelect;
  coRow->addWidget(coRotation_, 1);
  coRow->addWidget(coSelect);
  layout->addLayout(coRow);

  listing_ = new QListWidget;
  listing_->setObjectName("1068");
  controls_[1068] = listing_;
  layout->addWidget(listing_, 1);

  auto* hit = new QGridLayout;
  hitView_ = new QComboBox;
  hitView_->setObjectName("1069");
  for (const char* v : {"正面", "上", "横"}) hitView_->addItem(QString::fromUtf8(v));
  controls_[1069] = hitView_;
  auto* editHit = new QPushButton(QString::fromUtf8("あたりを編集"));
  editHit->setAutoDefault(false);
  buttons_[kHitEditing] = editHit;
  partnerLine_ = addEdit(1071);
  partnerPoint_ = addEdit(1072);
  directionLine_ = addEdit(1073);
  directionPoint_ = addEdit(1074);
  directionAxis_ = new QComboBox;
  directionAxis_->setObjectName("1075");
  for (const char* a : {"0:点", "1:X方向", "2:Y方向", "3:Z方向"})
    directionAxis_->addItem(QString::fromUtf8(a));
  controls_[1075] = directionAxis_;
  hit->addWidget(hitView_, 0, 0, 1, 2);
  hit->addWidget(editHit, 0, 2, 1, 3);
  hit->addWidget(textLabel("相手"), 1, 0);
  hit->addWidget(textLabel("線"), 1, 1);
  hit->addWidget(partnerLine_, 1, 2);
  hit->addWidget(textLabel("点"), 1, 3);
  hit->addWidget(partnerPoint_, 1, 4);
  hit->addWidget(textLabel("方向"), 2, 0);
  hit->addWidget(textLabel("線"), 2, 1);
  hit->addWidget(directionLine_, 2, 2);
  hit->addWidget(textLabel("点"), 2, 3);
  hit->addWidget(directionPoint_, 2, 4);
  hit->addWidget(directionAxis_, 3, 2, 1, 3);
  layout->addLayout(hit);
  addOkCancel(this, layout);

  connect(coSelect, &QPushButton::clicked, this, [this] {
    readControls();
    request(kCoRotationSelect);
  });
  connect(editHit, &QPushButton::clicked, this, [this] {
    readControls();
    // The guide is edited on block 1 with the partner and direction shown here.
    storeGuideRefs(work_);
    replaceJointRange(doc_, 100, work_);
    request(kHitEditing);
    showLists();
  });
  connect(hitView_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i >= 0) work_.hitView = i;
  });
  showWork();
}

QLineEdit* JointPanel::addEdit(int id) {
  auto* e = new QLineEdit;
  e->setObjectName(QString::number(id));
  e->setFixedWidth(72);
  controls_[id] = e;
  return e;
}

void JointPanel::refresh() {
  switch (loadJointWork(doc_, doc_.curLine, doc_.curPoint, work_)) {
    case JointLoad::BadLine: ui_.message(kJointBadLine, msg::kCaptionError); return;
    case JointLoad::BadPoint: ui_.message(kJointBadPoint, msg::kCaptionError); return;
    case JointLoad::Done: break;
  }
  showWork();
  showLists();
}

void JointPanel::showWork() {
  for (size_t i = 0; i < ranges_.size(); ++i) ranges_[i]->setText(fieldtext::show(work_.ranges[i]));
  const QSignalBlocker quiet(hitView_);
  hitView_->setCurrentIndex(work_.hitView);
  partnerLine_->setText(QString::number(work_.partnerLine));
  partnerPoint_->setText(QString::number(work_.partnerPoint));
  directionLine_->setText(QString::number(work_.directionLine));
  directionPoint_->setText(QString::number(work_.directionPoint));
  directionAxis_->setCurrentIndex(
      work_.directionAxis >= 0 && work_.directionAxis <= 3 ? work_.directionAxis : 0);
}

void JointPanel::readControls() {
  for (size_t i = 0; i < ranges_.size(); ++i)
    work_.ranges[i] = fieldtext::readReal<float>(ranges_[i]->text());
  work_.hitView = std::max(0, hitView_->currentIndex());
  work_.partnerLine = fieldtext::readInt(partnerLine_->text());
  work_.partnerPoint = fieldtext::readInt(partnerPoint_->text());
  work_.directionLine = fieldtext::readInt(directionLine_->text());
  work_.directionPoint = fieldtext::readInt(directionPoint_->text());
  work_.directionAxis = std::max(0, directionAxis_->currentIndex());
}

void JointPanel::showCoRotation() { fillCombo(coRotation_, coRotationItems(work_.list)); }

void JointPanel::showLists() {
  showTexts(listing_, jointListing(work_.list));
  showCoRotation();
}

// OK: the edited limits, and the guide's partner and direction when the point has a guide, go
// into the working list before the window commits it, so nothing typed here is lost.
void JointPanel::accept() {
  readControls();
  replaceJointRange(doc_, kJointFirstKey, work_);
  if (findParam(work_.list, 100) >= 0) {
    storeGuideRefs(work_);
    replaceJointRange(doc_, 100, work_);
  }
  request(kConfirm);
  Panel::accept();
}

void JointPanel::reject() {
  request(kClosed);
  Panel::reject();
}

bool JointPanel::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) showCoRotation();
  return Panel::event(e);
}

QWidget* JointPanel::control(int id) const { return controlById(controls_, id); }

QWidget* JointPanel::button(int action) const { return controlById(buttons_, action); }

}  // namespace tovala
