// The dialogs command 40045 opens: the joint panel (limits, co-rotating points chosen on the
// canvas, the hit guide's handles, listing, commit and cancel), the connecting-line panel and
// the decorative-line panel.

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "engine/atari.h"
#include "engine/guide_geometry.h"
#include "engine/param_splice.h"
#include "shell/panels/joint/cline_panel.h"
#include "shell/panels/joint/joint_panel.h"
#include "shell/panels/joint/oline_panel.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {

JointPanel& jointPanel(WindowFixture& f) {
  return *static_cast<JointPanel*>(f.window->panel(PanelId::Joint));
}
template <class W>
W* jointControl(WindowFixture& f, int id) {
  return qobject_cast<W*>(jointPanel(f).control(id));
}
QStringList rowsOf(QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}
QStringList itemsOf(QComboBox* c) {
  QStringList out;
  for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
  return out;
}
QString u8(const char* s) { return QString::fromUtf8(s); }

// A joint line (100,100)-(200,100)-(300,100) with a unit frame at each point, and a plain line
// (100,300)-(200,300); the joint line's first point selected in select mode.
void jointFigure(WindowFixture& f) {
  f.drawLine({{100, 100}, {200, 100}, {300, 100}});
  f.drawLine({{100, 300}, {200, 300}});
  Document& d = f.doc();
  d.lines[0].kind = 4;
  for (PointRecord& p : d.lines[0].points) {
    p.unitX = {p.vx + 1, p.vy, p.vz};
    p.unitY = {p.vx, p.vy + 1, p.vz};
    p.unitZ = {p.vx, p.vy, p.vz + 1};
  }
  f.window->runCommand(40002);
  d.curLine = 0;
  d.curPoint = 0;
}

ParamList& jointParams(WindowFixture& f) { return f.doc().lines[0].points[0].params; }

OLinePanel& oLinePanel(WindowFixture& f) {
  return *static_cast<OLinePanel*>(f.window->panel(PanelId::OLine));
}
CLinePanel& cLinePanel(WindowFixture& f) {
  return *static_cast<CLinePanel*>(f.window->panel(PanelId::CLine));
}
template <class W>
W* oLineControl(WindowFixture& f, int id) {
  return qobject_cast<W*>(oLinePanel(f).control(id));
}
template <class W>
W* cLineControl(WindowFixture& f, int id) {
  return qobject_cast<W*>(cLinePanel(f).control(id));
}

// The joint figure and a third line (150,150)-(250,160) of the given line mode, selected at its
// first point; 40045 opens its dialog.
void modeLine(WindowFixture& f, int mode) {
  jointFigure(f);
  f.drawLine({{150, 150}, {250, 160}});
  f.window->runCommand(40002);
  f.doc().lines[2].mode = mode;
  f.doc().curLine = 2;
  f.doc().curPoint = 0;
}

}  // namespace

class TestJointPanels : public QObject {
  Q_OBJECT

 private slots:
  void jointListingTexts() {
    const ParamList list{ParamEntry::ofFloat(6, 0, -200.0f),
                         ParamEntry::ofFloat(8, 0, 1.5f),
                         ParamEntry::ofInt(20, 0, 3 * 65536 + 7),
                         ParamEntry::ofInt(50, 0, 1),
                         ParamEntry::ofInt(101, 0, 2 * 65536 + 4),
                         ParamEntry::ofFloat(105, 0, 50.0f),
                         ParamEntry::ofInt(237, 0, 0),
                         ParamEntry::ofInt(2000, 0, 0),
                         ParamEntry::sentinel()};
    const std::vector<std::string> rows = jointListing(list);
    const std::vector<std::string> expected = {"x移動の最小値 -200.0000",
                                               "y移動の最小値値 1.5000",
                                               "共回転点 L:3 P:7",
                                               "",
                                               "1:相手の点番号 L:2 P:4",
                                               "1:自延長線上1 50.0000",
                                               "",  // 237: beyond a block
                                               "種類:2000",
                                               "種類:268435455"};
    QCOMPARE(rows, expected);
    QCOMPARE(jointEntryText(ParamEntry::ofInt(0, 0, 0)), std::string("不明 "));
    QCOMPARE(jointEntryText(ParamEntry::ofInt(300, 0, 100)), std::string("3:あたりモード"));
    // The sentinel alone, or nothing at all, lists as nothing.
    QCOMPARE(jointListing({ParamEntry::sentinel()}), std::vector<std::string>{"存在しません"});
    QCOMPARE(jointListing({}), std::vector<std::string>{"存在しません"});

    QCOMPARE(coRotationItems(list), std::vector<std::string>{"回転 L:  3 , P:  7"});
    QCOMPARE(coRotationItems({ParamEntry::sentinel()}), std::vector<std::string>{"存在しません"});
  }

  void replaceRangeKeepsTheRestAndScalesMovement() {
    WindowFixture f;
    jointFigure(f);
    Document& d = f.doc();
    JointWork w;
    w.list = {ParamEntry::ofInt(1, 0, 11), ParamEntry::ofFloat(7, 0, 9.0f),
              ParamEntry::ofInt(20, 0, 5), ParamEntry::ofInt(11000, 1, 0), ParamEntry::sentinel()};
    d.modelScale = 2.0f;
    replaceJointRange(d, kJointFirstKey, w);
    QCOMPARE(int(w.list.size()), 1 + 12 + 3);
    QCOMPARE(w.list[0], ParamEntry::ofInt(1, 0, 11));
    for (int i = 0; i < 12; ++i) QCOMPARE(w.list[size_t(1 + i)].key, 6 + i);
    QCOMPARE(w.list[1].asFloat(), -100.0f);  // movement limits stored unscaled
    QCOMPARE(w.list[2].asFloat(), 100.0f);
    QCOMPARE(w.list[7].asFloat(), -3.14f);  // angles as they are
    QCOMPARE(w.list[13].key, 20);
    QCOMPARE(w.list.back(), ParamEntry::sentinel());

    // Co-rotating points: the flagged points of joint lines only, in index order.
    d.modelScale = 1.0f;
    d.lines[0].points[2].sel = 1;
    d.lines[0].points[1].sel = 1;
    d.lines[1].points[0].sel = 1;  // not a joint line
    replaceJointRange(d, kCoRotationKey, w);
    QCOMPARE(coRotationItems(w.list),
             (std::vector<std::string>{"回転 L:  0 , P:  1", "回転 L:  0 , P:  2"}));
    QCOMPARE(w.list[w.list.size() - 2].key, 11000);

    // A hit block: its 37 entries, from the panel's values.
    w.blocks[1].at(9) = 7.0f;
    replaceJointRange(d, 200, w);
    const int first = findParam(w.list, 200);
    QVERIFY(first >= 0);
    QCOMPARE(w.list[size_t(first + 9)], ParamEntry::ofFloat(209, 0, 7.0f));
    QCOMPARE(w.list[size_t(first + 37)].key, 11000);
    // Any other range changes nothing.
    const ParamList before = w.list;
    replaceJointRange(d, 30, w);
    QCOMPARE(w.list, before);
  }

  void loadingRefusesInvalidSelectionsAndFillsDefaults() {
    WindowFixture f;
    JointPanel& p = jointPanel(f);
    QVERIFY(!p.isVisible());
    // No line at all: the command is disabled, and a load says why and keeps its values.
    QVERIFY(!f.window->commands().state(*f.window, 40045).enabled);
    p.refresh();
    QCOMPARE(f.ui.lastText(), std::string("線番号が不正です。"));
    QCOMPARE(f.ui.shown.back().caption, std::string("エラー"));

    jointFigure(f);
    f.doc().curPoint = 7;
    const ParamList before = p.work().list;
    p.refresh();
    QCOMPARE(f.ui.lastText(), std::string("点番号が不正です。"));
    QCOMPARE(p.work().list, before);

    // A point with no parameters gets the panel's limits; partner and direction default to
    // the next point and the point itself.
    f.doc().curPoint = 1;
    f.ui.reset();
    QVERIFY(f.window->runCommand(40045));
    QVERIFY(p.isVisible());
    QVERIFY(f.window->commands().state(*f.window, 40045).checked);
    QVERIFY(f.ui.shown.empty());
    QCOMPARE(int(p.work().list.size()), 13);
    QCOMPARE(jointControl<QLineEdit>(f, 1054)->text(), QString("-200"));
    QCOMPARE(jointControl<QLineEdit>(f, 1067)->text(), QString("3.14"));
    QCOMPARE(jointControl<QLineEdit>(f, 1071)->text(), QString("0"));
    QCOMPARE(jointControl<QLineEdit>(f, 1072)->text(), QString("2"));
    QCOMPARE(jointControl<QLineEdit>(f, 1074)->text(), QString("1"));
    QCOMPARE(jointControl<QComboBox>(f, 1075)->currentIndex(), 0);
    QCOMPARE(rowsOf(jointControl<QListWidget>(f, 1068)).first(), u8("x移動の最小値 -200.0000"));
    QCOMPARE(itemsOf(jointControl<QComboBox>(f, 1062)), QStringList{u8("存在しません")});
    // The point itself is untouched until OK.
    QCOMPARE(int(f.doc().lines[0].points[1].params.size()), 1);

    // 40045 again hides it; on a line that is neither a joint nor a CLine or OLine nothing opens.
    QVERIFY(f.window->runCommand(40045));
    QVERIFY(!p.isVisible());
    f.doc().curLine = 1;
    QVERIFY(f.window->runCommand(40045));
    QVERIFY(!p.isVisible());
  }

  void okCommitsTheWorkingListInOneUndoStep() {
    WindowFixture f;
    jointFigure(f);
    const ParamList original{ParamEntry::ofFloat(6, 0, -5.0f), ParamEntry::ofInt(50, 0, 3),
                             ParamEntry::sentinel()};
    jointParams(f) = original;
    QVERIFY(f.window->runCommand(40045));
    JointPanel& p = jointPanel(f);
    // The stored limit shows; the ones missing keep the panel's values.
    QCOMPARE(jointControl<QLineEdit>(f, 1054)->text(), QString("-5"));
    jointControl<QLineEdit>(f, 1055)->setText("42.5");
    const int undoBefore = f.window->undoRing().undoCount();
    p.accept();
    QVERIFY(!p.isVisible());
    QCOMPARE(f.window->undoRing().undoCount(), undoBefore + 1);
    const ParamList& stored = jointParams(f);
    QCOMPARE(stored[size_t(findParam(stored, 7))].asFloat(), 42.5f);
    QCOMPARE(stored[size_t(findParam(stored, 6))].asFloat(), -5.0f);
    QCOMPARE(stored[size_t(findParam(stored, 50))].asInt(), 3);
    QCOMPARE(f.doc().lines[0].points[0].paramChanged, 1);
    f.window->undo();
    QCOMPARE(jointParams(f), original);
  }

  void cancelKeepsThePointsList() {
    WindowFixture f;
    jointFigure(f);
    QVERIFY(f.window->runCommand(40045));
    JointPanel& p = jointPanel(f);
    jointControl<QLineEdit>(f, 1054)->setText("-1");
    qobject_cast<QPushButton*>(p.button(JointPanel::kHitEditing))->click();
    QCOMPARE(f.doc().edit.tempMode, 11);
    const int undoBefore = f.window->undoRing().undoCount();
    p.reject();
    QVERIFY(!p.isVisible());
    QCOMPARE(f.doc().edit.tempMode, 0);
    QCOMPARE(int(jointParams(f).size()), 1);
    QCOMPARE(f.window->undoRing().undoCount(), undoBefore);
  }

  void coRotatingPointsChosenByRectangle() {
    WindowFixture f;
    jointFigure(f);
    // A stored co-rotating point is flagged when the choice starts.
    jointParams(f) = {ParamEntry::ofInt(20, 0, 2), ParamEntry::sentinel()};
    QVERIFY(f.window->runCommand(40045));
    JointPanel& p = jointPanel(f);
    QCOMPARE(itemsOf(jointControl<QComboBox>(f, 1062)), QStringList{u8("回転 L:  0 , P:  2")});
    qobject_cast<QPushButton*>(p.button(JointPanel::kCoRotationSelect))->click();
    QCOMPARE(f.doc().edit.tempMode, 10);
    QCOMPARE(f.doc().lines[0].points[2].sel, 1);

    // The rectangle toggles point 1 on and point 2 off; the plain line's point is not taken.
    f.drag({{150, 50}, {250, 350}, {350, 350}});
    QCOMPARE(f.doc().edit.tempMode, 0);
    QCOMPARE(itemsOf(jointControl<QComboBox>(f, 1062)), QStringList{u8("回転 L:  0 , P:  1")});
    QCOMPARE(jointParams(f).size(), size_t(2));  // not committed yet

    // An entry naming no line stops the marking with its message.
    p.work().list = {ParamEntry::ofInt(20, 0, 9 * 65536), ParamEntry::sentinel()};
    f.ui.reset();
    qobject_cast<QPushButton*>(p.button(JointPanel::kCoRotationSelect))->click();
    QCOMPARE(f.ui.lastText(), std::string("線の番号が不正"));
    QCOMPARE(f.ui.shown.back().caption, std::string("共回転点選択エラー"));
    p.work().list = {ParamEntry::ofInt(20, 0, 5), ParamEntry::sentinel()};
    qobject_cast<QPushButton*>(p.button(JointPanel::kCoRotationSelect))->click();
    QCOMPARE(f.ui.lastText(), std::string("点の番号が不正"));
  }

  void hitHandleDragChangesTheCurrentViewOnly() {
    WindowFixture f;
    jointFigure(f);
    QVERIFY(f.window->runCommand(40045));
    JointPanel& p = jointPanel(f);
    jointControl<QComboBox>(f, 1069)->setCurrentIndex(0);  // 正面
    qobject_cast<QPushButton*>(p.button(JointPanel::kHitEditing))->click();
    QCOMPARE(f.doc().edit.tempMode, 11);
    // Entering the mode writes block 1 with the partner shown (the next point).
    QVERIFY(findParam(p.work().list, 100) >= 0);
    QCOMPARE(p.work().block1().partner, 1);

    HitGuide guide;
    QVERIFY(computeHitGuide(f.doc(), 0, 0, p.work().block1(), guide));
    const int ax = int(guide.anchors[0].x), ay = int(guide.anchors[0].y);
    f.drag({{ax, ay}, {ax + 50, ay}, {ax + 100, ay}});
    QCOMPARE(p.work().block1().at(5), 60.0f);
    QCOMPARE(p.work().block1().at(6), 50.0f);
    QCOMPARE(p.work().block1().at(7), 50.0f);
    const int at = findParam(p.work().list, 105);
    QCOMPARE(p.work().list[size_t(at)].asFloat(), 60.0f);
    QVERIFY(rowsOf(jointControl<QListWidget>(f, 1068)).contains(u8("1:自延長線上1 60.0000")));
    QCOMPARE(int(jointParams(f).size()), 1);  // the joint itself waits for OK
    p.accept();
    QCOMPARE(jointParams(f)[size_t(findParam(jointParams(f), 105))].asFloat(), 60.0f);
    QCOMPARE(f.doc().edit.tempMode, 0);
  }

  void oLineListsEditsAndRefusesPast128() {
    WindowFixture f;
    modeLine(f, 101);
    OLinePanel& p = oLinePanel(f);
    QVERIFY(f.window->runCommand(40045));
    QVERIFY(p.isVisible());
    QVERIFY(!jointPanel(f).isVisible());
    // A point without a run shows the offset method's defaults.
    auto* listing = oLineControl<QListWidget>(f, 1098);
    QCOMPARE(rowsOf(listing),
             (QStringList{u8("   point:150,  0,00000064"), u8("  基準点:151,  0,L:0000 P:000,A00"),
                          u8("    符号:152,  0,L:0000 P:000,A00"), u8("    距離:153,  0,0.0000")}));
    listing->setCurrentRow(3);
    QCOMPARE(oLineControl<QLineEdit>(f, 1102)->text(), QString("0.0000"));
    QCOMPARE(oLineControl<QLineEdit>(f, 1103)->text(), QString("153"));
    oLineControl<QLineEdit>(f, 1102)->setText("12.5");
    p.editButton(OLinePanel::kRewrite)->click();
    QCOMPARE(p.work().items[3].entry.asFloat(), 12.5f);
    // A value that is not a number is refused and changes nothing.
    oLineControl<QLineEdit>(f, 1102)->setText("x1");
    p.editButton(OLinePanel::kRewrite)->click();
    QCOMPARE(p.work().items[3].entry.asFloat(), 12.5f);

    // Deleting entry 2 of 5 leaves entries 0, 1, 3, 4.
    oLineControl<QLineEdit>(f, 1102)->setText("1");
    oLineControl<QLineEdit>(f, 1103)->setText("154");
    oLineControl<QLineEdit>(f, 1104)->setText("0");
    p.editButton(OLinePanel::kAdd)->click();
    QCOMPARE(int(p.work().items.size()), 5);
    const std::vector<OLineItem> five = p.work().items;
    listing->setCurrentRow(2);
    p.editButton(OLinePanel::kDelete)->click();
    // (The listing then gives the method's fixed positions their kinds again.)
    QCOMPARE(int(p.work().items.size()), 4);
    for (size_t i = 0; i < 4; ++i)
      QCOMPARE(p.work().items[i].entry.value, five[i < 2 ? i : i + 1].entry.value);
    QCOMPARE(p.work().items[3].entry.key, 153);

    // At 128 entries adding and inserting are refused without a message.
    // A hex kind takes only hex text: the float of the row shown is refused for kind 152.
    QCOMPARE(oLineControl<QLineEdit>(f, 1103)->text(), QString("152"));
    p.editButton(OLinePanel::kAdd)->click();
    QCOMPARE(int(p.work().items.size()), 4);
    oLineControl<QLineEdit>(f, 1103)->setText("154");
    for (int i = 0; i < 200 && p.work().items.size() < 128; ++i)
      p.editButton(OLinePanel::kAdd)->click();
    QCOMPARE(listing->count(), 128);
    listing->setCurrentRow(5);
    p.editButton(OLinePanel::kAdd)->click();
    p.editButton(OLinePanel::kInsert)->click();
    QCOMPARE(int(p.work().items.size()), 128);
    listing->setCurrentRow(5);
    p.editButton(OLinePanel::kDelete)->click();
    p.editButton(OLinePanel::kInsert)->click();
    QCOMPARE(int(p.work().items.size()), 128);

    // Another method starts from its own defaults.
    oLineControl<QComboBox>(f, 1097)->setCurrentIndex(2);
    QCOMPARE(int(p.work().items.size()), 5);
    QCOMPARE(p.work().items[0].entry.value, 300u);
    QVERIFY(f.ui.shown.empty());

    // An invalid selection loads nothing and says so.
    f.doc().curPoint = 9;
    p.load();
    QCOMPARE(f.ui.lastText(), std::string("選択が不正です。"));
    QCOMPARE(int(p.work().items.size()), 5);
  }

  void oLineCommitAndFitEachTakeOneUndoStep() {
    WindowFixture f;
    modeLine(f, 101);
    QVERIFY(f.window->runCommand(40045));
    OLinePanel& p = oLinePanel(f);
    const LineRecord before = f.doc().lines[2];
    const int undo0 = f.window->undoRing().undoCount();
    // Cancel stores nothing.
    p.reject();
    QCOMPARE(f.doc().lines[2].points[0].params, before.points[0].params);
    QCOMPARE(f.window->undoRing().undoCount(), undo0);

    QVERIFY(f.window->runCommand(40045));
    oLineControl<QListWidget>(f, 1098)->setCurrentRow(3);
    oLineControl<QLineEdit>(f, 1102)->setText("-4");
    p.editButton(OLinePanel::kRewrite)->click();
    p.accept();
    QCOMPARE(f.window->undoRing().undoCount(), undo0 + 1);
    const ParamList& stored = f.doc().lines[2].points[0].params;
    QCOMPARE(stored[size_t(findParam(stored, 153))].asFloat(), -4.0f);
    const ParamList& lineParams = f.doc().lines[2].params;
    QCOMPARE(lineParams[size_t(findParam(lineParams, 100))].asInt(), 0);
    f.window->undo();
    QCOMPARE(f.doc().lines[2].points[0].params, before.points[0].params);
    QCOMPARE(f.doc().lines[2].params, before.params);

    // "線自動" in the joint's 3-D frame: each point gets its coordinates in that frame.
    QVERIFY(f.window->runCommand(40045));
    oLineControl<QComboBox>(f, 1097)->setCurrentIndex(2);
    const int undo1 = f.window->undoRing().undoCount();
    p.work().items[1].entry.setInt(packAxisRef(0, 0, 0));
    qobject_cast<QPushButton*>(p.control(1106))->click();
    QCOMPARE(f.window->undoRing().undoCount(), undo1 + 1);
    const ParamList& fitted = f.doc().lines[2].points[1].params;
    const int at = findParam(fitted, 152);
    QVERIFY(at >= 0);
    QCOMPARE(fitted[size_t(at)].asFloat(), 150.0f);  // (250, 160) from the joint at (100, 100)
    QCOMPARE(fitted[size_t(at + 1)].asFloat(), 60.0f);
    // The panel shows the fitted run of the selected point.
    QCOMPARE(p.work().items[2].entry.asFloat(), 50.0f);
    // A fit against a point that does not exist changes nothing and leaves no step.
    p.work().items[1].entry.setInt(packAxisRef(7, 0, 0));
    const ParamList kept = f.doc().lines[2].points[1].params;
    qobject_cast<QPushButton*>(p.control(1106))->click();
    QCOMPARE(f.doc().lines[2].points[1].params, kept);
    QCOMPARE(f.window->undoRing().undoCount(), undo1 + 1);
  }

  void cLineRefusesLinesOf63PointsOrMore() {
    WindowFixture f;
    modeLine(f, 100);
    LineRecord& l = f.doc().lines[2];
    // 61 real points and the sentinel: accepted.
    l.points.insert(l.points.begin(), 59, l.points[0]);
    QCOMPARE(l.pointCount(), 62);
    QVERIFY(f.window->runCommand(40045));
    QVERIFY(cLinePanel(f).isVisible());
    QVERIFY(f.ui.shown.empty());
    QCOMPARE(int(cLinePanel(f).work().runs.size()), 61);
    QVERIFY(f.window->runCommand(40045));
    QVERIFY(!cLinePanel(f).isVisible());

    // One more makes 63 records: refused with both messages and the panel stays hidden.
    l.points.insert(l.points.begin(), l.points[0]);
    QVERIFY(f.window->runCommand(40045));
    QVERIFY(!cLinePanel(f).isVisible());
    QCOMPARE(int(f.ui.shown.size()), 2);
    QCOMPARE(f.ui.shown[0].text, std::string("一つの線の点の数は62個以下にしてください"));
    QCOMPARE(f.ui.shown[1].text, std::string("この線は動きを設定できません。"));
  }

  void cLineCapturesAndCommitsInOneUndoStep() {
    WindowFixture f;
    modeLine(f, 100);
    // A straight line drawn exactly from the start to the end.
    f.doc().lines[2].points[0].vx = 100;
    f.doc().lines[2].points[0].vy = 300;
    f.doc().lines[2].points[1].vx = 200;
    f.doc().lines[2].points[1].vy = 300;
    QVERIFY(f.window->runCommand(40045));
    CLinePanel& p = cLinePanel(f);
    // A line without the block shows the defaults; its own list holds only the sentinel.
    QCOMPARE(cLineControl<QLineEdit>(f, 1080)->text(), QString("-1"));
    QCOMPARE(cLineControl<QLineEdit>(f, 1081)->text(), QString("2"));
    QCOMPARE(rowsOf(cLineControl<QListWidget>(f, 1069)), QStringList{u8("存在しません")});

    // Start and end: the plain line's two points, by their own positions.
    cLineControl<QLineEdit>(f, 1074)->setText("1");
    cLineControl<QLineEdit>(f, 1076)->setText("0");
    cLineControl<QComboBox>(f, 1082)->setCurrentIndex(8);
    cLineControl<QLineEdit>(f, 1077)->setText("1");
    cLineControl<QLineEdit>(f, 1078)->setText("1");
    cLineControl<QComboBox>(f, 1084)->setCurrentIndex(8);
    cLineControl<QLineEdit>(f, 1083)->setText("1");
    qobject_cast<QPushButton*>(p.control(1071))->click();
    QCOMPARE(p.work().runs[0][0], 0.0f);
    QCOMPARE(p.work().runs[1][0], 1.0f);
    QCOMPARE(p.work().runs[1][4], 0.0f);

    const ParamList before = f.doc().lines[2].params;
    const int undo0 = f.window->undoRing().undoCount();
    p.accept();
    QVERIFY(!p.isVisible());
    QCOMPARE(f.window->undoRing().undoCount(), undo0 + 1);
    const ParamList& lineParams = f.doc().lines[2].params;
    QCOMPARE(lineParams[size_t(findParam(lineParams, 102))].asInt(), packAxisRef(1, 0, 8));
    QCOMPARE(lineParams[size_t(findParam(lineParams, 103))].asInt(), packAxisRef(1, 1, 8));
    QCOMPARE(lineParams[size_t(findParam(lineParams, 104))].asFloat(), 1.0f);
    QCOMPARE(lineParams[size_t(findParam(lineParams, 111))].asFloat(), -1.0f);
    const ParamList& run = f.doc().lines[2].points[1].params;
    QCOMPARE(run[size_t(findParam(run, 151))].asFloat(), 1.0f);
    // The panel lists the line's entries as hex once reopened.
    QVERIFY(f.window->runCommand(40045));
    QCOMPARE(rowsOf(cLineControl<QListWidget>(f, 1069)).at(2), QString(" 102,00010008"));
    p.reject();
    f.window->undo();
    QCOMPARE(f.doc().lines[2].params, before);
  }

  void cLineBlockComboAndPointList() {
    WindowFixture f;
    modeLine(f, 100);
    QVERIFY(f.window->runCommand(40045));
    CLinePanel& p = cLinePanel(f);
    cLineControl<QLineEdit>(f, 1081)->setText("0.5");
    p.accept();
    QVERIFY(f.window->runCommand(40045));
    QCOMPARE(cLineControl<QLineEdit>(f, 1081)->text(), QString("0.5"));
    // The selected point's own list, as floats.
    QCOMPARE(rowsOf(cLineControl<QListWidget>(f, 1070)).first(), QString(" 150,0.000"));

    // A block the line does not have keeps the values shown; OK writes them there and leaves
    // block 1 as it was.
    cLineControl<QLineEdit>(f, 1081)->setText("3");
    cLineControl<QComboBox>(f, 1079)->setCurrentIndex(1);
    QCOMPARE(p.work().block, 2);
    QCOMPARE(p.work().maxRatio, 3.0f);
    p.accept();
    const ParamList& l = f.doc().lines[2].params;
    QCOMPARE(l[size_t(findParam(l, 112))].asFloat(), 0.5f);
    QCOMPARE(l[size_t(findParam(l, 212))].asFloat(), 3.0f);
    QVERIFY(findParam(f.doc().lines[2].points[1].params, 250) >= 0);

    // Back on block 1, the line's own values are loaded again.
    QVERIFY(f.window->runCommand(40045));
    cLineControl<QComboBox>(f, 1079)->setCurrentIndex(0);
    QCOMPARE(cLineControl<QLineEdit>(f, 1081)->text(), QString("0.5"));

    // The plane is the panel's own: XY again on every load, never written to the line.
    auto* plane = cLineControl<QComboBox>(f, 1075);
    QVERIFY(plane);
    QCOMPARE(plane->count(), 3);
    QCOMPARE(plane->itemText(2), QString("YZ"));
    QCOMPARE(plane->currentIndex(), 0);
    plane->setCurrentIndex(2);
    const ParamList params = f.doc().lines[2].params;
    p.accept();
    QCOMPARE(f.doc().lines[2].params, params);
    QVERIFY(f.window->runCommand(40045));
    QCOMPARE(plane->currentIndex(), 0);
  }
};

QTEST_MAIN(TestJointPanels)
#include "tst_joint_panels.moc"
