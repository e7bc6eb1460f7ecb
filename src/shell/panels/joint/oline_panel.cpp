#include "shell/panels/joint/oline_panel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "engine/oline_fit.h"
#include "model/document.h"
#include "model/messages.h"
#include "platform/ui.h"
#include "shell/main_window.h"
#include "shell/panels/dialog_buttons.h"
#include "shell/panels/entry_text.h"
#include "shell/panels/panel_controls.h"

namespace tovala {

namespace {

constexpr const char* kSnapshotReason = "OnTovOLineDlg";
constexpr const char* kFitReason = "OnTovOLineAuto";

}  // namespace

OLinePanel::OLinePanel(const Document& doc, Ui& ui, QWidget* parent)
    : Panel(PanelId::OLine, PanelMessage::OLine, parent), doc_(doc), ui_(ui) {
  setObjectName("128");
  setWindowTitle(QString::fromUtf8("装飾線(OLine)の設定"));
  auto* layout = new QVBoxLayout(this);

  auto* top = new QHBoxLayout;
  method_ = new QComboBox;
  method_->setObjectName("1097");
  for (const char* m : {"0:100:点", "1:200:円座標", "2:300:3D", "3:200:接続"})
    method_->addItem(QString::fromUtf8(m));
  controls_[1097] = method_;
  auto* fit = new QPushButton(QString::fromUtf8("線自動"));
  fit->setObjectName("1106");
  fit->setAutoDefault(false);
  controls_[1106] = fit;
  top->addWidget(method_, 1);
  top->addWidget(fit);
  layout->addLayout(top);

  listing_ = new QListWidget;
  listing_->setObjectName("1098");
  listing_->setFont(QFont(QStringLiteral("Monospace")));
  controls_[1098] = listing_;
  layout->addWidget(listing_, 1);

  auto* fields = new QGridLayout;
  value_ = new QLineEdit;
  value_->setObjectName("1102");
  kind_ = new QLineEdit;
  kind_->setObjectName("1103");
  sub_ = new QLineEdit;
  sub_->setObjectName("1104");
  controls_[1102] = value_;
  controls_[1103] = kind_;
  controls_[1104] = sub_;
  fields->addWidget(value_, 0, 0);
  fields->addWidget(textLabel(" k"), 0, 1);
  fields->addWidget(kind_, 0, 2);
  fields->addWidget(textLabel(" n"), 0, 3);
  fields->addWidget(sub_, 0, 4);
  const std::pair<Edit, const char*> buttons[] = {
      {kRewrite, "書換"}, {kAdd, "追加"}, {kInsert, "挿入"}, {kDelete, "削除"}};
  int column = 0;
  for (const auto& [e, text] : buttons) {
    auto* b = new QPushButton(QString::fromUtf8(text));
    b->setAutoDefault(false);
    edits_[e] = b;
    fields->addWidget(b, 1, column++);
    connect(b, &QPushButton::clicked, this, [this, e = e] { edit(e); });
  }
  layout->addLayout(fields);
  addOkCancel(this, layout);

  connect(method_, &QComboBox::currentIndexChanged, this, [this](int m) {
    setOLineMethod(work_, m);
    showListing();
  });
  connect(listing_, &QListWidget::currentRowChanged, this, [this] { showSelected(); });
  connect(fit, &QPushButton::clicked, this, [this] { request(kFit); });
  setOLineMethod(work_, 0);
}

void OLinePanel::refresh() {
  if (!isVisible()) return;
  if (loadedLine_ >= 0 && loadedLine_ != doc_.curLine) return;
  load();
}

void OLinePanel::load() {
  if (loadOLineWork(doc_, doc_.curLine, doc_.curPoint, work_) != 1) {
    ui_.message(kOLineBadSelection, msg::kCaptionError);
    return;
  }
  loadedLine_ = doc_.curLine;
  {
    const QSignalBlocker quiet(method_);
    method_->setCurrentIndex(work_.method);
  }
  listing_->setCurrentRow(-1);
  showListing();
}

void OLinePanel::showListing() {
  showTexts(listing_, oLineListing(work_));
  showSelected();
}

void OLinePanel::showSelected() {
  const int row = listing_->currentRow();
  if (row < 0 || row >= int(work_.items.size())) return;
  const OLineItem& item = work_.items[size_t(row)];
  value_->setText(QString::fromStdString(formatOLineValue(item)));
  kind_->setText(QString::number(item.entry.key));
  sub_->setText(QString::number(item.entry.sub));
}

// A k or n that is not a whole number refuses the edit, as a value that does not parse does.
void OLinePanel::edit(Edit e) {
  const int row = listing_->currentRow();
  const std::optional<int32_t> k = entrytext::readInt(kind_->text().toStdString());
  const std::optional<int32_t> n = entrytext::readInt(sub_->text().toStdString());
  const std::string f = value_->text().toStdString();
  bool done = false;
  int next = row;
  switch (e) {
    case kRewrite: done = k && n && replaceOLineItem(work_, row, *k, *n, f); break;
    case kAdd:
      done = k && n && addOLineItem(work_, *k, *n, f);
      next = int(work_.items.size()) - 1;
      break;
    case kInsert: done = row >= 0 && k && n && insertOLineItem(work_, row, *k, *n, f); break;
    case kDelete: done = deleteOLineItem(work_, row); break;
  }
  if (!done) return;
  {
    const QSignalBlocker quiet(listing_);
    listing_->setCurrentRow(-1);
  }
  showListing();
  listing_->setCurrentRow(std::min(next, listing_->count() - 1));
}

void OLinePanel::accept() {
  request(kCommit);
  Panel::accept();
}

void OLinePanel::reject() {
  request(kClosed);
  Panel::reject();
}

void OLinePanel::hideEvent(QHideEvent* e) {
  loadedLine_ = -1;
  Panel::hideEvent(e);
}

QWidget* OLinePanel::control(int id) const { return controlById(controls_, id); }

// --- the window's side -------------------------------------------------------------------------

namespace {

// Whether a commit stores anything: the sentinel key is never written.
bool hasEntries(const OLineWork& work) {
  for (const OLineItem& item : work.items)
    if (item.entry.key != kParamSentinelKey) return true;
  return false;
}

void onOLineMessage(TMyWindow& w, OLinePanel& panel) {
  Document& d = w.doc();
  if (d.isValidPick(d.curLine, d.curPoint) != 1) return;
  if (panel.action == OLinePanel::kCommit) {
    if (!hasEntries(panel.work())) return;
    w.session().edit(kSnapshotReason, [&panel](Document& doc) {
      commitOLineWork(doc, doc.curLine, doc.curPoint, panel.work());
    }, Redraw::All);
  } else if (panel.action == OLinePanel::kFit) {
    // The fit refuses for many reasons, all of them leaving the line as it was; it is tried
    // first so that only a fit that wrote something leaves an undo step.
    LineRecord& line = d.lines[size_t(d.curLine)];
    LineRecord fitted = line;
    if (fitOLine(d, d.curLine, panel.work()) <= 0) return;
    std::swap(fitted, line);  // the line as it was for the snapshot; `fitted` holds the fit
    w.session().edit(kFitReason, [&](Document&) { line = std::move(fitted); }, Redraw::All);
    panel.load();
  }
}

}  // namespace

void installOLinePanel(TMyWindow& w) {
  auto* panel = new OLinePanel(w.doc(), w.ui(), &w);
  w.setPanelHandler(PanelMessage::OLine,
                    [&w](Panel& p) { onOLineMessage(w, static_cast<OLinePanel&>(p)); });
  w.installPanel(panel, false);
}

}  // namespace tovala
