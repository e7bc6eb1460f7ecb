// The edit tool: its item tree and guidance, the lists' preselection for the selected line, what
// each family of items stores on a small document, the refusals that change nothing, and the
// window's protocol around an edit (start, pick, decide or cancel, one undo step per store).

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <cmath>

#include "engine/face_parts.h"
#include "engine/param_splice.h"
#include "modal_helper.h"
#include "platform/encoding.h"
#include "shell/panels/edit_tool.h"
#include "shell/panels/edit_tool_store.h"
#include "shell/panels/edit_tool_window.h"
#include "shell/panels/input_dialogs.h"
#include "shell/panels/joint_panel.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::whenModal;
using tovala::test::WindowFixture;

namespace {

EditToolPanel& tool(WindowFixture& f) {
  return *static_cast<EditToolPanel*>(f.window->panel(PanelId::EditTool));
}

// One line of three points, its middle point selected in select mode.
void lineWithMiddleSelected(WindowFixture& f) {
  f.drawLine({{100, 100}, {200, 150}, {300, 100}});
  f.window->runCommand(40002);
  f.click(200, 150);
  QCOMPARE(f.doc().curLine, 0);
  QCOMPARE(f.doc().curPoint, 1);
}

// The names a list shows.
QStringList names(EditToolPanel& p, int level) {
  QStringList out;
  for (int i = 0; i < p.list(level)->count(); ++i) out << p.list(level)->itemText(i);
  return out;
}
QString current(EditToolPanel& p, int level) { return p.list(level)->currentText(); }

// Chooses the rows naming `path` from level 1 down, as the user does.
void choosePath(EditToolPanel& p, const QStringList& path) {
  for (int level = 0; level < path.size(); ++level) {
    const int row = names(p, level).indexOf(path[level]);
    QVERIFY2(row >= 0, qPrintable(path[level]));
    p.choose(level, row);
  }
}

void click(EditToolPanel& p, int id) { p.button(id)->click(); }

const ParamEntry* entry(const ParamList& list, int32_t key) {
  const int at = findParam(list, key);
  return at < 0 ? nullptr : &list[size_t(at)];
}

LineRecord& line0(WindowFixture& f) { return f.doc().lines[0]; }
PointRecord& point(WindowFixture& f, int i) { return f.doc().lines[0].points[size_t(i)]; }

EditInput picked(int line, int pt, int axis = 0) {
  EditInput in;
  in.pick = {line, pt, axis, 0};
  return in;
}
EditInput typed(float v) {
  EditInput in;
  in.value = v;
  return in;
}

}  // namespace

class TestEditTool : public QObject {
  Q_OBJECT

 private slots:
  void tableHoldsTheTreeInItsOrder() {
    const std::vector<EditItem>& t = editItems();
    QCOMPARE(int(t.size()), kEditItemCapacity);
    QStringList top;
    for (int i : editTopItems()) top << QString::fromStdString(t[size_t(i)].name);
    QCOMPARE(top, QStringList({"普通", "関節", "CLine", "OLine", "顔", "命令"}));
    // Children follow the table, not the codes: 一括関節点 (0x0204) comes first.
    QStringList joint;
    for (int i : editItemChildren(findEditItem(0x02000000)))
      joint << QString::fromStdString(t[size_t(i)].name);
    QCOMPARE(joint, QStringList({"一括関節点", "移動範囲", "あたり設定", "回転"}));
    QCOMPARE(t[size_t(findEditItem(0x02020502))].type, 13);
    QCOMPARE(t[size_t(findEditItem(0x04020201))].name, std::string("点"));
    // The left eye repeats the right eye's eleven children; a group without children has none.
    const std::vector<int> right = editItemChildren(findEditItem(0x05010000));
    const std::vector<int> left = editItemChildren(findEditItem(0x05020000));
    QCOMPARE(int(left.size()), 11);
    for (size_t i = 0; i < right.size(); ++i) {
      QCOMPARE(t[size_t(left[i])].type, t[size_t(right[i])].type);
      QCOMPARE(t[size_t(left[i])].code & 0xFFFF, t[size_t(right[i])].code & 0xFFFF);
    }
    QCOMPARE(t[size_t(left.back())].type, 17);
    QVERIFY(editItemChildren(findEditItem(0x03090000)).empty());
    QVERIFY(editItemChildren(findEditItem(0x02030000)).empty());  // a leaf has no children
    // Every name fits its 32 bytes in Shift-JIS; the slots after the last item are unused.
    int used = 0;
    for (const EditItem& e : t) {
      QVERIFY(utf8ToSjis(e.name).size() < 32);
      if (e.depth() > 0)
        ++used;
      else
        QVERIFY(e.code == 0 && e.type == kEditGroup && e.name.empty());
    }
    QVERIFY(used > 250 && used < kEditItemCapacity);
    QCOMPARE(QString::fromUtf8(editGuidance(12)),
             QString::fromUtf8(
                 "点を選択してください。\r\n線も選択されます。\r\n「右クリック」で取り消します。"));
    QCOMPARE(QString::fromUtf8(editGuidance(18)), QString::fromUtf8(editGuidance(17)));
    QCOMPARE(QString::fromUtf8(editGuidance(20)), QString());
  }

  void commandShowsTheHiddenToolOnlyWithLines() {
    WindowFixture f;
    QVERIFY(!tool(f).isVisible());
    QVERIFY(!f.window->commands().state(*f.window, 40052).enabled);
    lineWithMiddleSelected(f);
    QVERIFY(f.window->commands().state(*f.window, 40052).enabled);
    f.window->runCommand(40052);
    QVERIFY(tool(f).isVisible());
    QCOMPARE(tool(f).windowTitle(), QString::fromUtf8("編集ツール"));
    QCOMPARE(tool(f).valueBox()->text(), QString::fromUtf8("番号:1"));
    f.window->runCommand(40052);
    QVERIFY(!tool(f).isVisible());
  }

  void listsPreselectForTheSelectedLine() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    EditToolPanel& p = tool(f);
    p.refresh();
    QCOMPARE(current(p, 0), QString::fromUtf8("普通"));
    QVERIFY(!p.list(1)->isEnabled());
    QCOMPARE(p.guidance()->toPlainText(),
             QString::fromUtf8("普通に編集をします。\n「Z」ボタンを押すとZ方向の編集が出来ます。"));

    line0(f).kind = 4;
    p.refresh();
    QCOMPARE(current(p, 0), QString::fromUtf8("関節"));
    QCOMPARE(current(p, 1), QString::fromUtf8("一括関節点"));
    QVERIFY(!p.list(2)->isEnabled() && !p.list(3)->isEnabled());

    line0(f).kind = 0;
    line0(f).category = kHairCategory;
    p.refresh();
    QCOMPARE(current(p, 0), QString::fromUtf8("顔"));
    QCOMPARE(current(p, 1), QString::fromUtf8("髪"));
    QCOMPARE(current(p, 2), QString::fromUtf8("縦移動距離"));
    line0(f).category = kFaceCategory;
    line0(f).nam = kLeftEye;
    p.refresh();
    QCOMPARE(current(p, 1), QString::fromUtf8("左目"));
  }

  void choosingCascadesAndTheGuidanceFollowsTheDeepest() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    EditToolPanel& p = tool(f);
    choosePath(p, {"関節", "回転"});
    QVERIFY(!p.list(2)->isEnabled() && !p.list(3)->isEnabled());
    QCOMPARE(QString::fromStdString(editItems()[size_t(p.chosenItem())].name),
             QString::fromUtf8("回転"));
    QVERIFY(p.guidance()->toPlainText().startsWith(
        QString::fromUtf8("関節点のみ有効です。\n関節点の動きに")));
    choosePath(p, {"関節", "あたり設定", "方向点"});
    QCOMPARE(current(p, 3), QString::fromUtf8("点"));
    QCOMPARE(editItems()[size_t(p.chosenItem())].code, 0x02020501u);
    QVERIFY(p.button(1219)->isEnabled());
    choosePath(p, {"OLine", "服線", "距離"});
    QVERIFY(p.button(1219)->isEnabled());
    QCOMPARE(p.guidance()->toPlainText(),
             QString::fromUtf8("ダイアログに値を入力して、OKボタンを押します。"));
    // The red shape line has no interaction here: "編集" cannot start it.
    choosePath(p, {"顔", "右目", "点の補正"});
    QVERIFY(!p.button(1219)->isEnabled());
    QCOMPARE(p.guidance()->toPlainText(),
             QString::fromUtf8("赤い線の形を指定してください。\n「右クリック」で取り消します。"));
  }

  void jointItemsMakeAJointAndStoreTheirKeys() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    QVERIFY(ensureJoint(d, 0, 1));
    QCOMPARE(point(f, 1).kind, 2000);
    QCOMPARE(line0(f).kind, 4);
    QCOMPARE(point(f, 1).v0x, point(f, 1).vx);
    QCOMPARE(entry(point(f, 1).params, 6)->asFloat(), -100.0f);
    QCOMPARE(entry(point(f, 1).params, 17)->asFloat(), 3.1416f);
    QCOMPARE(entry(point(f, 1).params, 101)->asInt(), 0);  // block 1, partner line 0 point 0
    QVERIFY(!ensureJoint(d, 0, 1));                        // already a joint: left alone

    QCOMPARE(storeEditItem(d, 0x02010300, typed(-7.5f), 1), 1);  // y移動最小値
    QCOMPARE(entry(point(f, 1).params, 8)->asFloat(), -7.5f);
    QCOMPARE(storeEditItem(d, 0x02020200, picked(0, 2), 1), 1);  // 相手番号
    QCOMPARE(entry(point(f, 1).params, 101)->asInt(), 2);
    QCOMPARE(storeEditItem(d, 0x02020502, picked(0, 2, 3), 1), 1);  // 方向点, unit vector Z
    QCOMPARE(entry(point(f, 1).params, 104)->asInt(), 2 * 256 + 3);
    // Every key stays sorted and the sentinel stays last.
    const ParamList& list = point(f, 1).params;
    for (size_t i = 1; i < list.size(); ++i) QVERIFY(list[i - 1].key <= list[i].key);
    QCOMPARE(list.back(), ParamEntry::sentinel());

    point(f, 0).sel = 1;
    point(f, 2).sel = 1;
    QCOMPARE(storeEditItem(d, 0x02030000, EditInput{}, 1), 1);  // 回転
    const int at = findParam(point(f, 1).params, kCoRotationKey);
    QVERIFY(at >= 0);
    QCOMPARE(point(f, 1).params[size_t(at)].asInt(), 0);
    QCOMPARE(point(f, 1).params[size_t(at) + 1].asInt(), 2);
    QCOMPARE(point(f, 1).kind, 1000);
  }

  void refusalsChangeNothing() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    const LineRecord before = line0(f);
    QCOMPARE(storeEditItem(d, 0x02020200, picked(0, 7), 1), -1);  // no such point
    QCOMPARE(storeEditItem(d, 0x02020200, EditInput{}, 1), -1);   // nothing picked
    QCOMPARE(storeEditItem(d, 0x04050101, picked(0, 1), 1), -1);  // no group chosen
    QCOMPARE(storeEditItem(d, 0x03060100, typed(3), 10), -1);     // no block 10
    QCOMPARE(storeEditItem(d, 0x02000000, typed(3), 1), -1);      // a group
    QVERIFY(!editWouldStore(d, 0x02020200, picked(0, 7), 1));
    QVERIFY(editWouldStore(d, 0x02010100, typed(3), 1));
    QVERIFY(line0(f) == before);  // the dry run wrote nothing either
    d.curPoint = 5;
    QCOMPARE(storeEditItem(d, 0x02010100, typed(3), 1), -1);
    QVERIFY(line0(f) == before);
  }

  void clineItemsWorkOnTheCurrentBlock() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    QCOMPARE(storeEditItem(d, 0x03060200, typed(1.5f), 2), 1);  // 範囲 始終点距離最大値, block 2
    QCOMPARE(line0(f).mode, 100);
    QVERIFY(entry(line0(f).params, 200));
    QCOMPARE(entry(line0(f).params, 212)->asFloat(), 1.5f);
    EditInput circle;
    circle.choice = 1;
    QCOMPARE(storeEditItem(d, 0x03020000, circle, 1), 1);  // 描き方 円形
    QCOMPARE(entry(line0(f).params, 101)->asInt(), 100 * 65536 + 1);
    circle.choice = -1;  // no choice counts as the first
    QCOMPARE(storeEditItem(d, 0x03020000, circle, 1), 1);
    QCOMPARE(entry(line0(f).params, 101)->asInt(), 100 * 65536);
    QCOMPARE(storeEditItem(d, 0x03040101, picked(0, 2), 1), 1);  // 終点 円形 点
    QCOMPARE(entry(line0(f).params, 103)->asInt(), 2 * 256 + 8);
    QCOMPARE(storeEditItem(d, 0x03050100, typed(-1), 1), 1);  // あたり方向
    QCOMPARE(entry(line0(f).params, 104)->asFloat(), -1.0f);
    QCOMPARE(storeEditItem(d, 0x03010000, EditInput{}, 1), 0);  // 番号 stores nothing

    // A view shape fits the points between the ends and keeps the other views.
    QCOMPARE(storeEditItem(d, 0x03030101, picked(0, 0), 1), 1);  // 始点 円形 点
    QCOMPARE(storeEditItem(d, 0x03070100, EditInput{}, 1), 1);   // 線形 正面
    const ParamList& run = point(f, 1).params;
    const int at = findParam(run, 151);
    QVERIFY(at >= 0);
    QCOMPARE(run[size_t(at)].asFloat(), 0.5f);      // front along: halfway from start to end
    QCOMPARE(run[size_t(at) + 1].asFloat(), 0.0f);  // top along as it was
    QVERIFY(std::abs(run[size_t(at) + 4].asFloat()) > 1.0f);  // front across: off the chord
    QCOMPARE(run[size_t(at) + 5].asFloat(), 0.0f);
    QCOMPARE(entry(line0(f).params, 101)->asInt(), 100 * 65536);  // hit-guided
  }

  void viewShapeNeedsTheEnds() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    const LineRecord before = line0(f);
    QCOMPARE(storeEditItem(f.doc(), 0x03080200, EditInput{}, 1), -1);  // no block yet
    QVERIFY(line0(f) == before);
  }

  void hitShapeComesFromTheJointPanelsEditor() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    QCOMPARE(storeEditItem(d, 0x02020601, EditInput{}, 1), -1);  // no shaped guide: refused
    QCOMPARE(point(f, 1).kind, 0);

    EditToolPanel& p = tool(f);
    auto& joint = *static_cast<JointPanel*>(f.window->panel(PanelId::Joint));
    const int steps = f.window->undoRing().undoCount();
    choosePath(p, {"関節", "あたり設定", "あたり", "上"});
    click(p, 1219);
    QCOMPARE(d.edit.tempMode, 11);
    QCOMPARE(joint.work().hitView, int(kHitViewTop));
    joint.work().block1().at(9) = 7.5f;  // what a drag of a handle leaves in the editor
    click(p, 1220);
    QCOMPARE(d.edit.tempMode, 0);
    QCOMPARE(point(f, 1).kind, 2000);
    QCOMPARE(entry(point(f, 1).params, 109)->asFloat(), 7.5f);
    QCOMPARE(entry(point(f, 1).params, 6)->asFloat(), -100.0f);
    QCOMPARE(f.window->undoRing().undoCount(), steps + 1);
  }

  void hitPointItemsTakeAnAnchorOrThePartner() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    QVERIFY(ensureJoint(d, 0, 1));
    QCOMPARE(storeEditItem(d, 0x02020200, picked(0, 2), 1), 1);     // partner of (0, 1): (0, 2)
    QCOMPARE(storeEditItem(d, 0x03030200, picked(0, 1, 3), 1), 1);  // 始点 あたり点, anchor 3
    QCOMPARE(entry(line0(f).params, 102)->asInt(), 1 * 256 + 3);
    QCOMPARE(storeEditItem(d, 0x03040200, picked(0, 1, 5), 1), 1);  // 終点: the partner's anchor
    QCOMPARE(entry(line0(f).params, 103)->asInt(), 2 * 256 + 5);
    const LineRecord before = line0(f);
    QCOMPARE(storeEditItem(d, 0x03040200, picked(0, 0, 5), 1), -1);  // (0, 0) has no partner
    QVERIFY(line0(f) == before);

    // On the canvas: the first press starts at (0, 0), the next picks a joint point; without an
    // anchor picked the point itself is the anchor.
    EditToolPanel& p = tool(f);
    choosePath(p, {"CLine", "始点、中心", "あたり点"});
    click(p, 1219);
    QCOMPARE(d.edit.tempMode, 15);
    f.click(600, 600);
    QCOMPARE(f.window->picks().first, (std::array<int, 4>{0, 0, -1, 0}));
    f.click(300, 100);
    QCOMPARE(f.window->picks().first, (std::array<int, 4>{0, 2, -1, 0}));
    click(p, 1220);
    QCOMPARE(entry(line0(f).params, 102)->asInt(), 2 * 256 + 8);
  }

  void faceItemsBuildThePartThenWriteOneSlot() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    QCOMPARE(storeEditItem(d, 0x05020300, typed(2.5f), 1), 1);  // 左目 右端移動距離
    QCOMPARE(line0(f).nam, kLeftEye);
    QCOMPARE(line0(f).mode, 0);
    QCOMPARE(entry(line0(f).params, kFacePartKey)->asInt(), kLeftEye);
    QCOMPARE(entry(line0(f).params, kFaceRefKey)->asFloat(), d.faceRef);
    const int run = findParam(line0(f).params, kFaceSlotKey);
    for (int i = 0; i < 10; ++i) {
      QCOMPARE(line0(f).params[size_t(run + i)].key, kFaceSlotKey);
      QCOMPARE(line0(f).params[size_t(run + i)].asFloat(), i == 2 ? 2.5f : 0.0f);
    }
    QCOMPARE(line0(f).params[size_t(run + 10)], ParamEntry::sentinel());
    // The same part again keeps the other slots.
    QCOMPARE(storeEditItem(d, 0x05020100, typed(1), 1), 1);
    QCOMPARE(line0(f).params[size_t(run + 2)].asFloat(), 2.5f);

    // Another part replaces the run; hair keeps its point slots empty until a point is picked.
    QCOMPARE(storeEditItem(d, 0x050F0600, picked(0, 2), 1), 1);  // 髪 上接続点
    QCOMPARE(line0(f).nam, kFirstHairStrand);
    const int hair = findParam(line0(f).params, kFaceSlotKey);
    QCOMPARE(line0(f).params[size_t(hair + 5)].asInt(), (0 << 16) | (2 << 8) | 2);
    QCOMPARE(line0(f).params[size_t(hair + 6)].asInt(), -1);
    QCOMPARE(line0(f).params[size_t(hair + 7)], ParamEntry::sentinel());

    // A contour adds two side entries per real point.
    QVERIFY(ensureFacePart(d, 0, kLeftContour));
    int sides = 0;
    for (const ParamEntry& e : line0(f).params) sides += e.key == kFaceSideKey;
    QCOMPARE(sides, 6);
    QCOMPARE(editPrefill(d, 0x050F0100, 1), 0.0f);  // not the hair any more
  }

  void olineItemsSetTheMethodThenOneEntry() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    f.drawLine({{100, 400}, {200, 450}});
    Document& d = f.doc();
    d.curLine = 0;
    d.curPoint = 1;
    QCOMPARE(storeEditItem(d, 0x04010300, typed(4), 1), 1);  // 服線 距離
    QCOMPARE(line0(f).mode, 101);
    QCOMPARE(entry(line0(f).params, 100)->asInt(), 0);
    const ParamList& run = point(f, 1).params;
    QCOMPARE(entry(run, 150)->asInt(), 100);
    QCOMPARE(entry(run, 153)->asFloat(), 4.0f);
    QCOMPARE(int(run.size()), 5);
    // Another group replaces the run with its own, then writes the leaf.
    QCOMPARE(storeEditItem(d, 0x04020101, picked(1, 1), 1), 1);  // ローカル円形 中心 点
    QCOMPARE(entry(point(f, 1).params, 150)->asInt(), 200);
    QCOMPARE(entry(point(f, 1).params, 151)->asInt(), 65536 + 256);
    QCOMPARE(int(point(f, 1).params.size()), 13);
    f.window->refreshPanel(PanelId::EditTool);
    QCOMPARE(current(tool(f), 1), QString::fromUtf8("ローカル円形"));
    // A whole-line method lives on the line.
    QCOMPARE(storeEditItem(d, 0x04040100, picked(1, 0), 1), 1);  // 円形補 基準線
    QCOMPARE(entry(line0(f).params, 100)->asInt(), 2);
    QCOMPARE(entry(line0(f).params, 101)->asInt(), 1 << 16);
    f.window->refreshPanel(PanelId::EditTool);
    QCOMPARE(current(tool(f), 1), QString::fromUtf8("円形補"));
    QCOMPARE(storeEditItem(d, 0x04060400, EditInput{}, 1), -1);  // views need R, A and B
    QCOMPARE(storeEditItem(d, 0x04060100, picked(1, 0), 1), 1);  // 2点接続線 基準点
    QCOMPARE(entry(line0(f).params, 100)->asInt(), 181);
    QCOMPARE(storeEditItem(d, 0x04060200, picked(0, 0), 1), 1);  // 始点
    QCOMPARE(entry(line0(f).params, 102)->asInt(), 0);
    QCOMPARE(storeEditItem(d, 0x04060300, picked(0, 2), 1), 1);  // 終点
    QCOMPARE(storeEditItem(d, 0x04060400, EditInput{}, 1), 1);   // 正面
    // (200, 150) lies halfway along (100, 100) → (300, 100), 50 off it; top and side stay.
    const int two = findParam(point(f, 1).params, 150);
    const ParamEntry* tu = &point(f, 1).params[size_t(two)];
    QCOMPARE(tu[1].asFloat(), 0.5f);
    QCOMPARE(tu[2].asFloat(), 0.0f);
    QCOMPARE(tu[4].asFloat(), 1.0f);
    QCOMPARE(std::abs(tu[5].asFloat()), 50.0f);
    QCOMPARE(tu[6].asFloat(), 0.0f);
    // A polar view is fitted to where the point is drawn, in that view only.
    QCOMPARE(storeEditItem(d, 0x04020101, picked(1, 0), 1), 1);  // ローカル円形 中心
    QCOMPARE(storeEditItem(d, 0x04020201, picked(1, 1), 1), 1);  // 方向点
    QCOMPARE(storeEditItem(d, 0x04020301, picked(1, 1), 1), 1);  // 符号点
    const LineRecord unfitted = line0(f);
    QCOMPARE(storeEditItem(d, 0x04020403, EditInput{}, 1), 1);  // 円形 上 (top)
    const int radius = findParam(point(f, 1).params, 155);
    QVERIFY(radius >= 0);
    QCOMPARE(point(f, 1).params[size_t(radius)].asFloat(), 0.0f);  // front stays
    QVERIFY(std::abs(point(f, 1).params[size_t(radius) + 1].asFloat() -
                     std::hypot(100.0f, 250.0f)) < 0.01f);
    QCOMPARE(point(f, 1).params[size_t(radius) + 2].asFloat(), 0.0f);  // side stays
    QCOMPARE(point(f, 0).params, unfitted.points[0].params);           // the other points too
    const LineRecord before = line0(f);
    QCOMPARE(storeEditItem(d, 0x04010101, EditInput{}, 1), -1);  // nothing picked
    QVERIFY(line0(f) == before);
  }

  void connectionItemsBuildGroupsOfTargetAndConditions() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    f.drawLine({{100, 400}, {200, 450}});
    Document& d = f.doc();
    d.curLine = 0;
    d.curPoint = 1;
    QCOMPARE(connectionChoices(d, true), std::vector<std::string>{"新規接続"});
    QVERIFY(connectionChoices(d, false).empty());
    EditInput in = picked(1, 0);
    in.choice = 0;                                     // 新規接続
    QCOMPARE(storeEditItem(d, 0x04050101, in, 1), 1);  // 単純接続
    QCOMPARE(line0(f).mode, 101);
    QCOMPARE(entry(point(f, 1).params, 180)->asInt(), 0);
    QCOMPARE(*entry(point(f, 1).params, 181), ParamEntry::ofInt(181, 11, 65536));
    QCOMPARE(connectionChoices(d, true), (std::vector<std::string>{"接続(線:1 点:0)", "新規接続"}));

    EditInput distance = typed(12);
    distance.choice = 0;
    QCOMPARE(storeEditItem(d, 0x04050206, distance, 1), 1);  // 距離最小値
    EditInput stretch = picked(1, 0);
    stretch.end = {1, 1, 0, 0};
    stretch.choice = 0;
    QCOMPARE(storeEditItem(d, 0x04050201, stretch, 1), 1);  // 非交差線
    distance.value = 5;
    QCOMPARE(storeEditItem(d, 0x04050206, distance, 1), 1);  // the same condition again: replaced
    EditInput onLine = picked(1, 1);
    onLine.choice = 1;
    QCOMPARE(storeEditItem(d, 0x04050102, onLine, 1), 1);  // 円形補接続, a second group
    const int at = findParam(point(f, 1).params, 181);
    const ParamEntry* g = &point(f, 1).params[size_t(at)];
    QCOMPARE(g[0], ParamEntry::ofInt(181, 11, 65536));
    QCOMPARE(g[1], ParamEntry::ofFloat(181, 120, 5));
    QCOMPARE(g[2], ParamEntry::ofInt(181, 101, (1 << 16) | 1));
    QCOMPARE(g[3], ParamEntry::ofInt(181, 12, (1 << 16) | 1));
    QCOMPARE(g[4], ParamEntry::sentinel());
    QCOMPARE(connectionChoices(d, false),
             (std::vector<std::string>{"接続(線:1 点:0)", "接続(線:1)"}));

    const LineRecord before = line0(f);
    distance.choice = 2;  // a condition cannot start a group
    QCOMPARE(storeEditItem(d, 0x04050206, distance, 1), -1);
    stretch.end = {0, 2, 0, 0};  // the two ends must be on one line
    QCOMPARE(storeEditItem(d, 0x04050202, stretch, 1), -1);
    in.choice = -1;
    QCOMPARE(storeEditItem(d, 0x04050101, in, 1), -1);
    QVERIFY(line0(f) == before);
  }

  void twoPointPicksThenTheGroupChosen() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    EditInput in = picked(0, 0);
    in.choice = 0;
    QCOMPARE(storeEditItem(d, 0x04050101, in, 1), 1);
    EditToolPanel& p = tool(f);
    choosePath(p, {"OLine", "接続", "接続条件", "交差線"});
    click(p, 1219);
    QCOMPARE(d.edit.tempMode, 19);
    f.click(100, 100);
    QCOMPARE(f.window->picks().phase, 1);
    f.click(300, 100);
    QCOMPARE(f.window->picks().phase, 0);
    QCOMPARE(f.window->picks().second[1], 2);
    auto seen = whenModal<SelectionDialog>([](SelectionDialog& dlg) {
      QCOMPARE(dlg.itemCount(), 1);  // the one group; no new group for a condition
      dlg.list()->setCurrentRow(0);
      dlg.accept();
    });
    click(p, 1220);
    QVERIFY(*seen);
    const int at = findParam(point(f, 1).params, 181);
    QCOMPARE(point(f, 1).params[size_t(at) + 1], ParamEntry::ofInt(181, 102, 2));
  }

  void commandItemsWriteTheProgram() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    QCOMPARE(storeEditItem(d, 0x06020100, EditInput{}, 1), 1);  // 基本命令
    const std::vector<CodeEntry>& code = line0(f).code;
    QCOMPARE(int(code.size()), 9);
    QCOMPARE(code.front(), (CodeEntry{0xFF, 0}));
    QCOMPARE(code[1], (CodeEntry{0x20, 0x2020001}));  // AllInit
    QCOMPARE(code[7], (CodeEntry{0x20, 0x202001F}));  // MakeCLineAll
    QCOMPARE(code.back(), (CodeEntry{0xFF, 0}));
    QCOMPARE(line0(f).codeChanged, 1);
    QCOMPARE(storeEditItem(d, 0x06020200, EditInput{}, 1), 1);  // OLine命令
    QCOMPARE(int(line0(f).code.size()), 11);
    QCOMPARE(line0(f).code[9], (CodeEntry{0x20, 0x2020028}));  // ConnectOLineAll
    QCOMPARE(line0(f).code.back(), (CodeEntry{0xFF, 0}));
    QCOMPARE(storeEditItem(d, 0x06020300, picked(0, 1), 1), 1);  // 顔命令 for point (0, 1)
    QCOMPARE(line0(f).code[11], (CodeEntry{0x1A, (0u << 16) | (1u << 8)}));
  }

  void typedValueIsOneUndoStep() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    EditToolPanel& p = tool(f);
    const int steps = f.window->undoRing().undoCount();
    choosePath(p, {"関節", "移動範囲", "x移動最大値"});
    auto seen = whenModal<InputDialog>([](InputDialog& dlg) {
      QCOMPARE(dlg.answer(), std::string("0.000000"));
      dlg.answerEdit()->setText("12.5");
      dlg.accept();
    });
    click(p, 1219);
    QVERIFY(*seen);
    QCOMPARE(entry(point(f, 1).params, 7)->asFloat(), 12.5f);
    QCOMPARE(f.window->editBusy, 0);
    QCOMPARE(f.window->undoRing().undoCount(), steps + 1);
    f.window->undo();
    QVERIFY(!entry(f.doc().lines[0].points[1].params, 7));
    QCOMPARE(f.doc().lines[0].kind, 0);

    // Cancel and an unreadable answer both end the edit storing nothing.
    const LineRecord before = line0(f);
    const int after = f.window->undoRing().undoCount();
    choosePath(p, {"関節", "移動範囲", "x移動最大値"});
    seen = whenModal<InputDialog>([](InputDialog& dlg) { dlg.reject(); });
    click(p, 1219);
    QVERIFY(*seen);
    seen = whenModal<InputDialog>([](InputDialog& dlg) {
      dlg.answerEdit()->setText("12,5x");
      dlg.accept();
    });
    click(p, 1219);
    QVERIFY(*seen);
    QCOMPARE(f.window->editBusy, 0);
    QVERIFY(line0(f) == before);
    QCOMPARE(f.window->undoRing().undoCount(), after);
  }

  void pickThenCancelOrDecide() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    EditToolPanel& p = tool(f);
    const LineRecord before = line0(f);
    const int steps = f.window->undoRing().undoCount();
    choosePath(p, {"関節", "あたり設定", "相手番号"});
    click(p, 1219);
    QCOMPARE(f.doc().edit.tempMode, 12);
    QCOMPARE(f.window->editBusy, 1);
    f.click(300, 100);
    QCOMPARE(f.window->picks().first[0], 0);
    QCOMPARE(f.window->picks().first[1], 2);
    QCOMPARE(f.doc().curPoint, 1);  // the pick does not move the selection
    click(p, 1221);                 // 取消
    QCOMPARE(f.doc().edit.tempMode, 0);
    QCOMPARE(f.window->editBusy, 0);
    QVERIFY(line0(f) == before);
    QCOMPARE(f.window->undoRing().undoCount(), steps);

    choosePath(p, {"関節", "あたり設定", "相手番号"});
    click(p, 1219);
    f.click(100, 100);
    click(p, 1220);  // 決定
    QCOMPARE(entry(point(f, 1).params, 101)->asInt(), 0);
    QCOMPARE(point(f, 1).kind, 2000);
    QCOMPARE(f.window->undoRing().undoCount(), steps + 1);
    click(p, 1220);  // nothing open: nothing more
    QCOMPARE(f.window->undoRing().undoCount(), steps + 1);

    // A right click ends the interaction as well.
    choosePath(p, {"関節", "あたり設定", "相手番号"});
    click(p, 1219);
    f.click(300, 100, Qt::RightButton);
    QCOMPARE(f.doc().edit.tempMode, 0);
    QCOMPARE(f.window->editBusy, 0);
  }

  void questionGuardsTheConfirmingItems() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    EditToolPanel& p = tool(f);
    choosePath(p, {"関節", "一括関節点"});
    f.ui.queueAnswer(Answer::No);
    click(p, 1219);
    QCOMPARE(f.ui.shown.back().text, std::string(kConfirmEdit));
    QCOMPARE(f.ui.shown.back().caption, std::string("確認"));
    QCOMPARE(point(f, 1).kind, 0);
    QCOMPARE(f.window->editBusy, 0);
    f.ui.queueAnswer(Answer::Yes);
    click(p, 1219);
    QCOMPARE(point(f, 1).kind, 1000);
    QCOMPARE(line0(f).kind, 4);
  }

  void editWithoutASelectedPointStaysOpenUntilCancelled() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    EditToolPanel& p = tool(f);
    choosePath(p, {"関節", "移動範囲", "x移動最小値"});
    f.doc().curPoint = 9;
    const LineRecord before = line0(f);
    click(p, 1219);  // no input dialog comes up
    QCOMPARE(f.window->editBusy, 1);
    click(p, 1220);
    QCOMPARE(f.window->editBusy, 0);
    QVERIFY(line0(f) == before);
  }

  void blockNumberComesFromTheSelectionDialog() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    EditToolPanel& p = tool(f);
    choosePath(p, {"CLine", "番号"});
    auto seen = whenModal<SelectionDialog>([](SelectionDialog& dlg) {
      QCOMPARE(dlg.itemCount(), 9);
      dlg.list()->setCurrentRow(3);
      dlg.accept();
    });
    click(p, 1219);
    QVERIFY(*seen);
    QCOMPARE(p.valueBox()->text(), QString::fromUtf8("番号:4"));
    QCOMPARE(line0(f).mode, 0);  // choosing the number changes no line
  }
};

QTEST_MAIN(TestEditTool)
#include "tst_edit_tool.moc"
