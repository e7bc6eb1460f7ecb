#include "shell/panels/joint/cline_panel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "engine/guide_geometry.h"
#include "engine/param_splice.h"
#include "model/document.h"
#include "model/messages.h"
#include "platform/ui.h"
#include "shell/main_window.h"
#include "shell/panels/dialog_buttons.h"
#include "shell/panels/field_text.h"
#include "shell/panels/panel_controls.h"

namespace tovala {

namespace {

constexpr const char* kSnapshotReason = "OnTovCLineDlg";
constexpr const char* kAnchors[] = {"0:始点延長上", "1:始点延長下", "2:始点垂直上",
                                    "3:始点垂直下", "4:終点延長上", "5:終点延長下",
                                    "6:終点垂直上", "7:終点垂直下", "8:点座標"};

int comboIndex(const QComboBox* c) { return std::max(0, c->currentIndex()); }

}  // namespace

CLinePanel::CLinePanel(const Document& doc, Ui& ui, QWidget* parent)
    : Panel(PanelId::CLine, PanelMessage::CLine, parent), doc_(doc), ui_(ui) {
  setObjectName("124");
  setWindowTitle(QString::fromUtf8("接続線(CLine)の設定"));
  auto* layout = new QVBoxLayout(this);
  auto* g = new QGridLayout;

  block_ = addCombo(1079);
  for (int b = 1; b <= kCLineBlockCount; ++b) block_->addItem(QString::number(100 * b));
  method_ = addCombo(1073);
  for (const char* m : {"あたり", "円"}) method_->addItem(QString::fromUtf8(m));
  plane_ = addCombo(1075);
  for (const char* p : {"XY", "XZ", "YZ"}) plane_->addItem(QString::fromLatin1(p));
  g->addWidget(block_, 0, 0, 1, 2);
  g->addWidget(method_, 0, 2, 1, 2);
  g->addWidget(plane_, 0, 4);

  startLine_ = addEdit(1074);
  startPoint_ = addEdit(1076);
  startAnchor_ = addCombo(1082);
  endLine_ = addEdit(1077);
  endPoint_ = addEdit(1078);
  endAnchor_ = addCombo(1084);
  for (QComboBox* c : {startAnchor_, endAnchor_})
    for (const char* a : kAnchors) c->addItem(QString::fromUtf8(a));
  g->addWidget(textLabel("始点"), 1, 0);
  g->addWidget(startLine_, 1, 1);
  g->addWidget(startPoint_, 1, 2);
  g->addWidget(startAnchor_, 1, 3, 1, 2);
  g->addWidget(textLabel("終点"), 2, 0);
  g->addWidget(endLine_, 2, 1);
  g->addWidget(endPoint_, 2, 2);
  g->addWidget(endAnchor_, 2, 3, 1, 2);

  minRatio_ = addEdit(1080);
  maxRatio_ = addEdit(1081);
  g->addWidget(minRatio_, 3, 1);
  g->addWidget(textLabel("<長さ<"), 3, 2, Qt::AlignCenter);
  g->addWidget(maxRatio_, 3, 3);

  directionLine_ = addEdit(1083);
  directionPoint_ = addEdit(1087);
  directionAxis_ = addCombo(1088);
  for (const char* a : {"0:点", "1:X方向", "2:Y方向", "3:Z方向"})
    directionAxis_->addItem(QString::fromUtf8(a));
  g->addWidget(textLabel("方向"), 4, 0);
  g->addWidget(directionLine_, 4, 1);
  g->addWidget(directionPoint_, 4, 2);
  g->addWidget(directionAxis_, 4, 3, 1, 2);
  layout->addLayout(g);

  auto* lists = new QHBoxLayout;
  lineList_ = new QListWidget;
  lineList_->setObjectName("1069");
  pointList_ = new QListWidget;
  pointList_->setObjectName("1070");
  controls_[1069] = lineList_;
  controls_[1070] = pointList_;
  lists->addWidget(lineList_);
  lists->addWidget(pointList_);
  layout->addLayout(lists, 1);

  auto* capture = new QPushButton(QString::fromUtf8("線作成"));
  capture->setObjectName("1071");
  capture->setAutoDefault(false);
  controls_[1071] = capture;
  layout->addWidget(capture);
  addOkCancel(this, layout);

  connect(block_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!writing_) chooseBlock(i);
  });
  connect(method_, &QComboBox::currentIndexChanged, this, [this] {
    if (writing_) return;
    readControls();
    showDirectionKind();
  });
  // The shape is taken from the selected line as drawn, against the ends shown here; only the
  // working entries change.
  connect(capture, &QPushButton::clicked, this, [this] {
    readControls();
    if (captureCLineShape(doc_, doc_.curLine, work_) == 1) showWork();
  });
  showWork();
}

QLineEdit* CLinePanel::addEdit(int id) {
  auto* e = new QLineEdit;
  e->setObjectName(QString::number(id));
  e->setFixedWidth(64);
  controls_[id] = e;
  return e;
}

QComboBox* CLinePanel::addCombo(int id) {
  auto* c = new QComboBox;
  c->setObjectName(QString::number(id));
  controls_[id] = c;
  return c;
}

void CLinePanel::refresh() {
  if (!isVisible()) return;
  if (loadedLine_ < 0) {
    load();
  } else if (loadedLine_ == doc_.curLine) {
    showLists();
  }
}

void CLinePanel::load() {
  plane_->setCurrentIndex(0);
  const int line = doc_.curLine;
  if (loadCLineWork(doc_, line, comboIndex(block_) + 1, work_) != 1) {
    if (doc_.isValidLine(line) && doc_.pointCount(line) >= kCLinePanelPointLimit)
      ui_.message(kCLineTooManyPoints, msg::kCaptionError);
    request(kRefused);
    return;
  }
  loadedLine_ = line;
  showWork();
}

void CLinePanel::chooseBlock(int index) {
  readControls();
  const int block = index + 1;
  const int line = doc_.curLine;
  if (doc_.isValidLine(line) && findParam(doc_.lines[size_t(line)].params, 100 * block) >= 0)
    loadCLineWork(doc_, line, block, work_);
  else
    work_.block = block;  // the values shown go to the new block on OK
  showWork();
}

void CLinePanel::showWork() {
  writing_ = true;
  block_->setCurrentIndex(work_.block - 1);
  method_->setCurrentIndex(work_.method == kCLineCircleMethod ? 1 : 0);
  const int32_t s = work_.start, e = work_.end;
  startLine_->setText(QString::number(axisRefLine(s)));
  startPoint_->setText(QString::number(axisRefPoint(s)));
  startAnchor_->setCurrentIndex(axisRefAxis(s) <= kPointAnchor ? axisRefAxis(s) : -1);
  endLine_->setText(QString::number(axisRefLine(e)));
  endPoint_->setText(QString::number(axisRefPoint(e)));
  endAnchor_->setCurrentIndex(axisRefAxis(e) <= kPointAnchor ? axisRefAxis(e) : -1);
  minRatio_->setText(fieldtext::show(work_.minRatio));
  maxRatio_->setText(fieldtext::show(work_.maxRatio));
  writing_ = false;
  showDirectionKind();
  showLists();
}

// Hit mode keeps a side sign where circle mode keeps a direction reference: the first edit
// shows the sign, and the reference's point and axis have nothing to say.
void CLinePanel::showDirectionKind() {
  writing_ = true;
  const bool circle = work_.method == kCLineCircleMethod;
  const int32_t d = int32_t(work_.direction);
  if (circle) {
    directionLine_->setText(QString::number(axisRefLine(d)));
    directionPoint_->setText(QString::number(axisRefPoint(d)));
    directionAxis_->setCurrentIndex(axisRefAxis(d) <= 3 ? axisRefAxis(d) : 0);
  } else {
    directionLine_->setText(fieldtext::show(work_.sideSign()));
    directionPoint_->clear();
  }
  directionPoint_->setEnabled(circle);
  directionAxis_->setEnabled(circle);
  writing_ = false;
}

void CLinePanel::readControls() {
  const int oldMethod = work_.method;
  work_.method = method_->currentIndex() == 1 ? kCLineCircleMethod : kCLineHitMethod;
  work_.start = packAxisRef(fieldtext::readInt(startLine_->text()),
                            fieldtext::readInt(startPoint_->text()), comboIndex(startAnchor_));
  work_.end = packAxisRef(fieldtext::readInt(endLine_->text()),
                          fieldtext::readInt(endPoint_->text()), comboIndex(endAnchor_));
  work_.minRatio = fieldtext::readReal<float>(minRatio_->text());
  work_.maxRatio = fieldtext::readReal<float>(maxRatio_->text());
  // The direction edits still show the old method's kind of value.
  if (oldMethod == kCLineCircleMethod)
    work_.setDirectionRef(fieldtext::readInt(directionLine_->text()),
                          fieldtext::readInt(directionPoint_->text()), comboIndex(directionAxis_));
  else
    work_.setSideSign(fieldtext::readReal<float>(directionLine_->text()));
  if (oldMethod != work_.method) work_.direction = 0;
}

void CLinePanel::showLists() {
  const int line = doc_.curLine;
  if (!doc_.isValidLine(line)) return;
  const LineRecord& l = doc_.lines[size_t(line)];
  showTexts(lineList_, clineParamListing(l.params, true));
  const bool point = doc_.isValidPick(line, doc_.curPoint) == 1;
  showTexts(pointList_, point ? clineParamListing(l.points[size_t(doc_.curPoint)].params, false)
                              : std::vector<std::string>{kNothingListed});
}

void CLinePanel::accept() {
  readControls();
  request(kCommit);
  Panel::accept();
}

void CLinePanel::reject() {
  readControls();
  request(kClosed);
  Panel::reject();
}

void CLinePanel::hideEvent(QHideEvent* e) {
  loadedLine_ = -1;
  Panel::hideEvent(e);
}

QWidget* CLinePanel::control(int id) const { return controlById(controls_, id); }

// --- the window's side -------------------------------------------------------------------------

namespace {

void onCLineMessage(TMyWindow& w, CLinePanel& panel) {
  Document& d = w.doc();
  if (panel.action == CLinePanel::kRefused) {
    w.ui().message(kCLineCannotMove, msg::kCaptionError);
    w.showPanel(PanelId::CLine, false);
    return;
  }
  if (panel.action != CLinePanel::kCommit || !d.isValidLine(d.curLine)) return;
  w.session().edit(kSnapshotReason,
                   [&panel](Document& doc) { commitCLineWork(doc, doc.curLine, panel.work()); },
                   Redraw::All);
}

}  // namespace

void installCLinePanel(TMyWindow& w) {
  auto* panel = new CLinePanel(w.doc(), w.ui(), &w);
  w.setPanelHandler(PanelMessage::CLine,
                    [&w](Panel& p) { onCLineMessage(w, static_cast<CLinePanel&>(p)); });
  w.installPanel(panel, false);
}

}  // namespace tovala
