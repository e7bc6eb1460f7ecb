#include "shell/panels/control/line_list.h"

#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <span>

#include "engine/edit_modes.h"
#include "engine/face_parts.h"
#include "model/document.h"
#include "platform/encoding.h"
#include "platform/ui.h"
#include "script/body_tables.h"
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

// The bones of the body model (人体モデル作成): its joint lines by number, with the group each
// belongs to (1 trunk and head, 2 left arm, 3 right arm, 4 left leg, 5 right leg).
struct Bone {
  int number;
  int category;
  const char* name;
};

std::vector<Bone> bodyBones() {
  using namespace body::line;
  std::vector<Bone> bones{{kSpine, 1, "背骨"},     {kNeckHead, 1, "首と頭"}, {kClavicleL, 1, "左鎖骨"},
                          {kClavicleR, 1, "右鎖骨"}, {kHipL, 1, "左腰"},     {kHipR, 1, "右腰"},
                          {kChest, 1, "胸"},         {kArmL, 2, "左腕"},     {kArmR, 3, "右腕"},
                          {kLegL, 4, "左脚"},        {kLegR, 5, "右脚"}};
  // Thumb to little finger (or toe) on each hand and foot.
  struct Digits {
    int first, category;
  };
  static const std::string kNames[4][5] = {
      {"左手親指", "左手人差指", "左手中指", "左手薬指", "左手小指"},
      {"右手親指", "右手人差指", "右手中指", "右手薬指", "右手小指"},
      {"左足親指", "左足人差指", "左足中指", "左足薬指", "左足小指"},
      {"右足親指", "右足人差指", "右足中指", "右足薬指", "右足小指"}};
  const Digits digits[4] = {{kFingersL, 2}, {kFingersR, 3}, {kToesL, 4}, {kToesR, 5}};
  for (int g = 0; g < 4; ++g)
    for (int k = 0; k < 5; ++k)
      bones.push_back({digits[g].first + k, digits[g].category, kNames[g][k].c_str()});
  return bones;
}

// The face parts a face data file adds, by number.
const char* facePartName(int number) {
  switch (number) {
    case kLeftEye: return "左目";
    case kRightEye: return "右目";
    case kRightBrow: return "右眉";
    case kLeftBrow: return "左眉";
    case kNose: return "鼻";
    case kMouth: return "口";
    case kRightContour: return "右輪郭";
    case kLeftContour: return "左輪郭";
    case kRightEar: return "右耳";
    case kLeftEar: return "左耳";
    case kRightLid: return "右まぶた";
    case kLeftLid: return "左まぶた";
    case kRightHead: return "右頭";
    case kLeftHead: return "左頭";
    case kLeftLowerHair: return "頭下髪左";
    case kRightLowerHair: return "頭下髪右";
    default: return nullptr;
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

std::string lineName(const Document& doc, int line) {
  if (!doc.isValidLine(line)) return {};
  const LineRecord& l = doc.lines[size_t(line)];
  if (l.kind == kJointLineKind) {
    static const std::vector<Bone> bones = bodyBones();
    for (const Bone& b : bones)
      if (b.number == l.nam && b.category == l.category) return b.name;
  }
  if (l.category == kFaceCategory || l.category == kHairCategory)
    if (const char* part = facePartName(l.nam)) return part;
  // The first object drawn with a piece of the line; the sentinel record is no object.
  for (int o = 0; o + 1 < doc.objectCount(); ++o) {
    const ObjectRecord& obj = doc.objects[size_t(o)];
    for (const int32_t piece : obj.c) {
      if (piece < 0) break;
      if (piece != line) continue;
      const auto end = std::find(obj.name.begin(), obj.name.end(), uint8_t(0));
      return sjisToUtf8(std::span<const uint8_t>(obj.name.data(), size_t(end - obj.name.begin())));
    }
  }
  return {};
}

std::vector<std::string> lineListRows(const Document& doc) {
  std::vector<std::string> rows;
  rows.reserve(doc.lineOrder.size());
  for (int r = 0; r < int(doc.lineOrder.size()); ++r) {
    std::string row = lineListRow(doc, r);
    const int line = validOrderRow(doc, r) ? doc.lineOrder[size_t(r)] : -1;
    if (const std::string name = lineName(doc, line); !name.empty()) row += "  " + name;
    rows.push_back(std::move(row));
  }
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
