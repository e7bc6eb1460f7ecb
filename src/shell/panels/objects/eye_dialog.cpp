#include "shell/panels/objects/eye_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <tuple>

#include "engine/objects.h"
#include "model/document.h"

namespace tovala {

namespace {

constexpr int kAreaWidth = 240, kAreaHeight = 160;
constexpr double kGrip = 4;  // the least reach of an iris handle, in pixels
constexpr int kRedEdit = 1247, kGreenEdit = 1248, kBlueEdit = 1249;

QColor fromBgr(uint32_t c) {
  return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

uint32_t eyeWordAt(const ObjectRecord& eye, int item) {
  return uint32_t(eye.d[size_t(eyeItemWord(item))]);
}

QRectF toQ(const EyeRect& r) { return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)); }

// An ellipse of fractions `fw`, `fh` of `r`'s size, its centre moved by percents of r's half-size.
QRectF within(const EyeRect& r, int dx, int dy, double fw, double fh) {
  const double rx = (r.right - r.left) / 2, ry = (r.bottom - r.top) / 2;
  const QPointF c(r.cx() + dx / 100.0 * rx, r.cy() + dy / 100.0 * ry);
  return QRectF(c.x() - fw * rx, c.y() - fh * ry, 2 * fw * rx, 2 * fh * ry);
}

// A byte percentage, 0 standing for `usual`.
double percentOr(uint32_t b, double usual) { return (b & 0xFF) ? (b & 0xFF) / 100.0 : usual; }

}  // namespace

EyeArea::EyeArea(QWidget* parent) : QWidget(parent) {
  setObjectName("area");
  setFixedSize(kAreaWidth, kAreaHeight);
}

void EyeArea::display(const ObjectRecord& eye) {
  eye_ = eye;
  state_ = kEyeDragNone;
  update();
}

void EyeArea::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::lightGray);
  const EyeRect b = box();
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(fromBgr(eyeWordAt(eye_, kEyeWhiteColour)));
  p.drawEllipse(toQ(b));
  // The iris, the pupil and the highlight, placed as the renderer places them.
  const EyeRect iris = irisRect(eye_, b);
  p.setClipRegion(QRegion(toQ(b).toRect(), QRegion::Ellipse));
  p.setPen(Qt::NoPen);
  p.setBrush(fromBgr(eyeWordAt(eye_, kEyeIrisColour)));
  p.drawEllipse(toQ(iris));
  const uint32_t is = eyeWordAt(eye_, kEyeIrisSetting);
  p.setBrush(fromBgr(eyeWordAt(eye_, kEyeIrisColour2)));
  p.drawEllipse(within(iris, 0, 0, percentOr(is >> 8, 0.5), percentOr(is, 0.5)));
  const uint32_t ls = eyeWordAt(eye_, kEyeLightSetting);
  const int lx = ls ? unpackOffsetByte(ls >> 24) : -30, ly = ls ? unpackOffsetByte(ls >> 16) : -30;
  p.setBrush(fromBgr(eyeWordAt(eye_, kEyeLightColour)));
  p.drawEllipse(within(iris, lx, ly, percentOr(ls >> 8, 0.3), percentOr(ls, 0.3)));
  p.setClipping(false);
  // The iris rectangle with its corner handles.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Qt::blue, 1, Qt::DashLine));
  p.drawRect(toQ(iris));
  p.setPen(QPen(Qt::blue, 1));
  for (double x : {iris.left, iris.right})
    for (double y : {iris.top, iris.bottom}) p.drawRect(QRectF(x - 2, y - 2, 4, 4));
}

void EyeArea::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !isEyeObject(eye_)) return;
  x0_ = e->position().x();
  y0_ = e->position().y();
  state_ = eyeHitState(eye_, box(), x0_, y0_, kGrip);
  start_ = eye_;
  if (state_ == kEyeDragInside) {  // the iris jumps under the mouse at once
    eye_ = dragEye(start_, state_, box(), x0_, y0_, x0_, y0_);
    update();
  }
}

void EyeArea::mouseMoveEvent(QMouseEvent* e) {
  if (state_ == kEyeDragNone) return;
  eye_ = dragEye(start_, state_, box(), x0_, y0_, e->position().x(), e->position().y());
  update();
}

void EyeArea::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || state_ == kEyeDragNone) return;
  state_ = kEyeDragNone;
  if (!(eye_ == start_) && onDragged) onDragged(eye_);
}

EyeEditorDialog::EyeEditorDialog(const Document& doc, QWidget* parent)
    : QDialog(parent), doc_(doc) {
  setObjectName("139");
  setWindowTitle(QString::fromUtf8("目の編集"));
  auto* grid = new QGridLayout(this);
  area_ = new EyeArea(this);
  grid->addWidget(area_, 0, 0, 1, 4);
  area_->onDragged = [this](const ObjectRecord& eye) {
    dragResult = eye;
    request(kDragDone);
  };

  combo_ = new QComboBox;
  combo_->setObjectName("1245");
  grid->addWidget(combo_, 1, 0, 1, 2);
  connect(combo_, &QComboBox::activated, this, [this] { request(kChooseEye); });
  for (auto [id, label, column] : {std::tuple{kNewEye, "新規作成", 2}, {kDeleteEye, "削除", 3}}) {
    auto* b = new QPushButton(QString::fromUtf8(label));
    b->setObjectName(QString::number(id));
    b->setAutoDefault(false);
    buttons_[id] = b;
    grid->addWidget(b, 1, column);
    connect(b, &QPushButton::clicked, this, [this, id] { request(id); });
  }

  auto* rgb = new QHBoxLayout;
  rgb->addWidget(new QLabel("RGB"));
  for (int id : {kRedEdit, kGreenEdit, kBlueEdit}) {
    auto* e = new QLineEdit;
    e->setObjectName(QString::number(id));
    edits_[id] = e;
    rgb->addWidget(e);
    connect(e, &QLineEdit::editingFinished, this, [this] {
      if (refreshing_ || !isVisible()) return;
      ObjectRecord changed = doc_.scratchObject;
      if (setEyeEditColour(changed, red(), green(), blue()) && changed == doc_.scratchObject)
        return;
      request(kColour);
    });
  }
  grid->addLayout(rgb, 2, 0, 1, 4);
  auto* close = new QPushButton("OK");
  close->setObjectName("1");
  close->setAutoDefault(false);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  grid->addWidget(close, 3, 3);
}

void EyeEditorDialog::request(int code) {
  action = code;
  if (onRequest) onRequest(*this);
}

void EyeEditorDialog::refresh() {
  const ObjectRecord& o = doc_.scratchObject;
  if (!isEyeObject(o)) {
    hide();
    return;
  }
  refreshing_ = true;
  combo_->clear();
  int row = -1;
  const std::vector<int> rows = eyeObjectRows(doc_);
  for (size_t i = 0; i < rows.size(); ++i) {
    combo_->addItem(QString::fromStdString(tovala::objectName(doc_.objects[size_t(rows[i])])));
    if (rows[i] == doc_.curObject) row = int(i);
  }
  combo_->setCurrentIndex(row);
  const uint32_t c = eyeEditColour(o);
  edit(kRedEdit)->setText(QString::number(c & 0xFF));
  edit(kGreenEdit)->setText(QString::number((c >> 8) & 0xFF));
  edit(kBlueEdit)->setText(QString::number((c >> 16) & 0xFF));
  area_->display(o);
  refreshing_ = false;
}

int EyeEditorDialog::chosenRow() const { return combo_->currentIndex(); }
std::string EyeEditorDialog::red() const { return edit(kRedEdit)->text().toStdString(); }
std::string EyeEditorDialog::green() const { return edit(kGreenEdit)->text().toStdString(); }
std::string EyeEditorDialog::blue() const { return edit(kBlueEdit)->text().toStdString(); }

QPushButton* EyeEditorDialog::button(int id) const {
  auto it = buttons_.find(id);
  return it == buttons_.end() ? nullptr : it->second;
}

QLineEdit* EyeEditorDialog::edit(int id) const {
  auto it = edits_.find(id);
  return it == edits_.end() ? nullptr : it->second;
}

}  // namespace tovala
