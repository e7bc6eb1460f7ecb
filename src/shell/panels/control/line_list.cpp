#include "shell/panels/control/line_list.h"

#include <QListWidget>
#include <QVBoxLayout>

#include <cstdio>

#include "engine/edit_modes.h"
#include "model/document.h"
#include "platform/ui.h"
#include "shell/main_window.h"

namespace tovala {

namespace {

constexpr const char* kPaintOnlyImages =
    "ペイント時には、画像が関連付けられている線しか選択できません。";
// A program of fewer than three entries is only its terminator.
constexpr int kProgramEntries = 3;

// Each label fills nine Shift-JIS bytes, as the list's columns expect.
const char* kindLabel(int kind) {
  switch (kind) {
    case 0: return "線       ";
    case 1: return "塗り     ";
    case 3: return "文字     ";
    case 4: return "関節     ";
    default: return "         ";
  }
}

bool validOrderRow(const Document& doc, int row) {
  if (row < 0 || row >= int(doc.lineOrder.size())) return false;
  const int line = doc.lineOrder[size_t(row)];
  return line >= 0 && line < doc.lineCount();
}

}  // namespace

std::string lineListRow(const Document& doc, int row) {
  char text[96];
  if (!validOrderRow(doc, row)) {
    // A damaged order entry still takes its row, so rows keep matching lineOrder positions.
    const int entry = row >= 0 && row < int(doc.lineOrder.size()) ? doc.lineOrder[size_t(row)] : -1;
    std::snprintf(text, sizeof text, "%4d %4d", entry, row);
    return text;
  }
  const int i = doc.lineOrder[size_t(row)];
  const LineRecord& line = doc.lines[size_t(i)];
  const char mark = line.codeCount() >= kProgramEntries ? '*' : '-';
  if (line.kind == 2)
    std::snprintf(text, sizeof text, "%4d %4d %c:画像%4d N:%4d", i, row, mark, int(line.cb),
                  line.nam);
  else
    std::snprintf(text, sizeof text, "%4d %4d %c:%sN:%4d", i, row, mark, kindLabel(line.kind),
                  line.nam);
  return text;
}

std::vector<std::string> lineListRows(const Document& doc) {
  std::vector<std::string> rows;
  rows.reserve(doc.lineOrder.size());
  for (int r = 0; r < int(doc.lineOrder.size()); ++r) rows.push_back(lineListRow(doc, r));
  return rows;
}

LineListPanel::LineListPanel(const Document& doc, QWidget* parent)
    : Panel(PanelId::LineList, PanelMessage::LineList, parent), doc_(doc) {
  setObjectName("116");
  setWindowTitle(QString::fromUtf8("線"));
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget;
  list_->setObjectName("1025");
  list_->setFont(QFont(QStringLiteral("monospace")));
  layout->addWidget(list_);
  resize(260, 400);
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!filling_) chooseRow(row);
  });
}

void LineListPanel::refresh(bool force) {
  const std::vector<std::string> rows = lineListRows(doc_);
  bool same = !force && shownLines_ == doc_.lineCount() && list_->count() == int(rows.size());
  for (int r = 0; same && r < int(rows.size()); ++r)
    same = list_->item(r)->text() == QString::fromUtf8(rows[size_t(r)]);
  filling_ = true;
  if (!same) {
    list_->clear();
    for (const std::string& row : rows) list_->addItem(QString::fromUtf8(row));
    // The end-of-list line is no line to choose: its row stays, hidden, so rows keep matching
    // the positions of the order.
    for (int r = 0; r < list_->count(); ++r)
      list_->item(r)->setHidden(doc_.lineOrder[size_t(r)] == doc_.lineCount() - 1);
    shownLines_ = doc_.lineCount();
  }
  filling_ = false;
  selectCurrent();
}

void LineListPanel::selectCurrent() {
  filling_ = true;
  list_->setCurrentRow(doc_.findOrderPosition(doc_.curLine));
  filling_ = false;
}

void LineListPanel::chooseRow(int row) {
  // The row is checked against the line it names: with a reordered lineOrder the sentinel's
  // entry need not be the last row.
  const bool real = validOrderRow(doc_, row) && doc_.isValidLine(doc_.lineOrder[size_t(row)]);
  if (doc_.edit.mode == kModeMotion || !real) {
    selectCurrent();
    return;
  }
  const int line = doc_.lineOrder[size_t(row)];
  if (doc_.edit.mode == kModePaint && doc_.lines[size_t(line)].kind != 2) {
    doc_.ui->message(kPaintOnlyImages, "");
    selectCurrent();
    return;
  }
  previousLine = doc_.curLine;
  previousPoint = doc_.curPoint;
  chosenRow = row;
  differs = line != doc_.curLine;
  request(row);
}

void applyLineListChoice(TMyWindow& w, LineListPanel& panel) {
  Document& d = w.doc();
  if (!validOrderRow(d, panel.chosenRow)) return;
  const int line = d.lineOrder[size_t(panel.chosenRow)];
  if (!d.isValidLine(line)) return;
  if (panel.differs && line != d.curLine) {
    if (d.edit.mode == kModePaint) {
      d.curLine = line;
      w.session().paintRing().start(d, line);
      w.rebuild();
    } else {
      w.session().snapshot("OnTovListDlg");
      d.curLine = line;
      w.rebuild();
      w.setMode(kModeSelect, "OnTovLineSel");
    }
  }
  w.refreshPanel(PanelId::Script);
  w.selectionChanged(panel.previousLine, panel.previousPoint);
  w.compose();
}

void installLineList(TMyWindow& w) {
  auto* panel = new LineListPanel(w.doc(), &w);
  w.setPanelHandler(PanelMessage::LineList,
                    [&w](Panel& p) { applyLineListChoice(w, static_cast<LineListPanel&>(p)); });
  w.installPanel(panel, true);
  panel->refresh(true);
  // Rows follow every edit, undo and redo; a replaced document is listed afresh.
  DocumentSession& session = w.session();
  QObject::connect(&session, &DocumentSession::edited, panel, [panel] { panel->refresh(false); });
  QObject::connect(&session, &DocumentSession::documentReplaced, panel,
                   [panel] { panel->refresh(true); });
}

}  // namespace tovala
