// The edit tool itself: its item tree and guidance, the lists' preselection and cascade, and the
// window's protocol around an edit (start, pick, decide or cancel, one undo step per store).

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QtTest>

#include "edit_tool_fixture.h"
#include "engine/face_parts.h"
#include "modal_helper.h"
#include "platform/encoding.h"
#include "shell/canvas_widget.h"
#include "shell/panels/edit_tool/edit_tool_window.h"
#include "shell/panels/dialogs/input_dialogs.h"

using namespace tovala;
using namespace tovala::test;

namespace {
// Pure red pixels on the canvas as the window shows it, overlays included.
int redPixels(WindowFixture& f) {
  const QImage shot = f.window->canvas()->viewport()->grab().toImage();
  int n = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) n += shot.pixel(x, y) == qRgb(255, 0, 0);
  return n;
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
    QCOMPARE(used, 292);  // every item of the tree, counted by hand
    // Every face leaf can be started: 16 点の補正 and 2 横向きの点 among them.
    int shapes = 0;
    for (const EditItem& e : t)
      if (e.level(1) == 5 && e.type != kEditGroup) {
        QVERIFY2(editItemSupported(e), e.name.c_str());
        shapes += e.type == kEditCorrection || e.type == kEditSideView;
      }
    QCOMPARE(shapes, 18);
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
    choosePath(p, {"顔", "右目", "点の補正"});
    QVERIFY(p.button(1219)->isEnabled());
    QCOMPARE(p.guidance()->toPlainText(),
             QString::fromUtf8("赤い線の形を指定してください。\n「右クリック」で取り消します。"));
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

  void redLineIsDraggedThenStoredOrDropped() {
    WindowFixture f;
    lineWithMiddleSelected(f);  // (100, 100), (200, 150), (300, 100): a box of 200 by 50
    EditToolPanel& p = tool(f);
    const LineRecord before = line0(f);
    const int steps = f.window->undoRing().undoCount();
    choosePath(p, {"顔", "右輪郭", "横向きの点"});
    click(p, 1219);
    QCOMPARE(f.doc().edit.tempMode, 17);
    QCOMPARE(f.window->editBusy, 1);
    f.drag({{300, 100}, {310, 95}, {320, 90}});
    f.drag({{250, 120}, {260, 130}});  // beside every point: nothing moves
    QVERIFY(line0(f) == before);       // only the red line moved
    const int red = redPixels(f);
    QVERIFY(red > 0);
    click(p, 1221);  // 取消
    QVERIFY(line0(f) == before);
    QVERIFY(redPixels(f) < red);  // the red line is gone with its mode
    click(p, 1219);
    f.drag({{300, 100}, {320, 90}});
    f.click(200, 300, Qt::RightButton);
    QCOMPARE(f.doc().edit.tempMode, 0);
    QCOMPARE(f.window->editBusy, 0);
    QVERIFY(line0(f) == before);
    QCOMPARE(f.window->undoRing().undoCount(), steps);

    click(p, 1219);
    f.drag({{300, 100}, {320, 90}});
    click(p, 1220);  // 決定
    const int side = findParam(line0(f).params, kFaceSideKey);
    QVERIFY(side >= 0);
    QCOMPARE(line0(f).params[size_t(side + 4)].asFloat(), 0.1f);
    QCOMPARE(line0(f).params[size_t(side + 5)].asFloat(), -0.2f);
    QCOMPARE(f.window->undoRing().undoCount(), steps + 1);
    QCOMPARE(point(f, 2).vx, 300.0f);  // the line itself stays where it was
    // Opened again, the red line starts from the stored side view.
    click(p, 1219);
    f.drag({{320, 90}, {330, 90}});
    click(p, 1220);
    QCOMPARE(line0(f).params[size_t(side + 4)].asFloat(), 0.15f);
    QCOMPARE(line0(f).params[size_t(side + 5)].asFloat(), -0.2f);
    f.window->undo();
    QCOMPARE(line0(f).params[size_t(side + 4)].asFloat(), 0.1f);

    // 点の補正 asks for the number of its set first.
    choosePath(p, {"顔", "右輪郭", "点の補正"});
    auto seen = whenModal<InputDialog>([](InputDialog& dlg) {
      QCOMPARE(dlg.answer(), std::string("1.000000"));
      dlg.answerEdit()->setText("2.7");
      dlg.accept();
    });
    click(p, 1219);
    QVERIFY(*seen);
    QCOMPARE(f.doc().edit.tempMode, 17);
    f.drag({{100, 100}, {100, 110}});
    click(p, 1220);
    const int set = findParam(line0(f).params, faceCorrectionKey(2));
    QVERIFY(set >= 0);
    QCOMPARE(line0(f).params[size_t(set + 1)].asFloat(), 0.2f);
    // A number naming no set starts nothing.
    seen = whenModal<InputDialog>([](InputDialog& dlg) {
      QCOMPARE(dlg.answer(), std::string("2.000000"));
      dlg.answerEdit()->setText("5");
      dlg.accept();
    });
    click(p, 1219);
    QVERIFY(*seen);
    QCOMPARE(f.ui.shown.back().text, std::string(kNoCorrectionSet));
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
