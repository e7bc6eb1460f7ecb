// The objects panel: field texts and their checked read-back, the object list with its
// questions and single undo step, line pieces and the reference point picked on the canvas,
// the search, and the refusals that leave the current object as it was.

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <bit>

#include "engine/guide_geometry.h"
#include "engine/objects.h"
#include "modal_helper.h"
#include "shell/panels/dialogs/input_dialogs.h"
#include "shell/panels/objects/objects_panel.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {

// Line 0: (100,100) (200,100) (300,100); line 1: (100,300) (200,300). The panel shown.
ObjectsPanel& setUp(WindowFixture& f) {
  f.drawLine({{100, 100}, {200, 100}, {300, 100}});
  f.drawLine({{100, 300}, {200, 300}});
  auto& panel = *static_cast<ObjectsPanel*>(f.window->panel(PanelId::Objects));
  if (panel.isVisible()) qWarning("the objects panel should start hidden");
  f.window->runCommand(40053);
  return panel;
}

void press(ObjectsPanel& panel, int id) { panel.button(id)->click(); }

int pointCount(WindowFixture& f) {
  int n = 0;
  for (const LineRecord& l : f.doc().lines) n += int(l.points.size());
  return n;
}

}  // namespace

class TestObjectsPanel : public QObject {
  Q_OBJECT

 private slots:
  void fieldTextsAndReadBack() {
    QCOMPARE(drawTypeItem(257), 4);
    QCOMPARE(drawTypeItem(2), 2);
    QCOMPARE(drawTypeItem(7), 0);  // unknown types show the first item
    QCOMPARE(drawTypeOfItem(5), 258);
    QCOMPARE(modeItem(kObjectModeSeveralMinus), 3);
    QCOMPARE(modeWithItem(0x05000001, 2), 0x05000100);  // the count byte is kept
    QCOMPARE(referenceText(packAxisRef(3, 2, 1)), std::string("0003,002,001"));
    QCOMPARE(pieceRuleText(packPieceRule({0, 1, 2, kPieceRange})), std::string("0,1,2,2"));

    ObjectRecord o;
    o.header[kObjectMode] = 0x02000100;  // several points, the first two values integers
    o.a[1] = 0x1234;
    o.a[2] = std::bit_cast<int32_t>(1.5f);
    QCOMPARE(integerValueCount(o), 2);
    QCOMPARE(firstValueText(o, 1), std::string("00001234"));
    QCOMPARE(firstValueText(o, 2), std::string("1.500000"));
    QVERIFY(setFirstValue(o, 0, "ff"));
    QCOMPARE(o.a[0], 0xFF);
    QVERIFY(setFirstValue(o, 3, " -2.25 "));
    QCOMPARE(std::bit_cast<float>(o.a[3]), -2.25f);
    const ObjectRecord kept = o;
    QVERIFY(!setFirstValue(o, 1, "xyz"));
    QVERIFY(!setFirstValue(o, 5, "1.0e"));
    QVERIFY(!setFirstValue(o, kObjectFirstValues, "1"));  // past the 24 values
    QVERIFY(!setSecondValue(o, -1, "1"));
    QVERIFY(!setSecondValue(o, 0, "inf"));
    QVERIFY(o == kept);

    ObjectFields fields{3, 1, "10", "20", "30", "0.2500", "目"};
    QVERIFY(applyObjectFields(o, fields));
    QCOMPARE(o.header[kObjectDrawType], 256);
    QCOMPARE(o.header[kObjectMode], 0x02000001);
    QCOMPARE(o.header[kObjectColour], 0x1E140A);
    QCOMPARE(colourText(o, 2), std::string("030"));
    QCOMPARE(depthText(o), std::string("0.2500"));
    QCOMPARE(tovala::objectName(o), std::string("目"));
    const ObjectRecord applied = o;
    for (const char* bad : {"256", "-1", "", "1x"}) {
      ObjectFields f2 = fields;
      f2.green = bad;
      f2.drawTypeItem = 0;
      QVERIFY(!applyObjectFields(o, f2));
    }
    ObjectFields f3 = fields;
    f3.depth = "nan";
    QVERIFY(!applyObjectFields(o, f3));
    QVERIFY(o == applied);
  }

  void listOperationsAskAndTakeOneUndoStep() {
    WindowFixture f;
    ObjectsPanel& panel = setUp(f);
    Document& d = f.doc();
    QVERIFY(panel.isVisible());
    QVERIFY(f.window->commands().state(*f.window, 40053).checked);
    const int steps = f.window->undoRing().undoCount();

    // "No" changes nothing and leaves no undo step.
    f.ui.queueAnswer(Answer::No);
    press(panel, 3);
    QCOMPARE(f.ui.lastText(), std::string("現在のオブジェクトを追加します。よろしいですか?"));
    QCOMPARE(d.objectCount(), 1);
    QCOMPARE(f.window->undoRing().undoCount(), steps);

    f.ui.queueAnswer(Answer::Yes);
    press(panel, 3);
    QCOMPARE(d.objectCount(), 2);
    QCOMPARE(d.objects[0].header[kObjectNumber], 10000);
    QCOMPARE(f.window->undoRing().undoCount(), steps + 1);
    f.window->undo();  // the whole list comes back, not only the selected line
    QCOMPARE(d.objectCount(), 1);
    f.window->redo();
    QCOMPARE(d.objectCount(), 2);
    QCOMPARE(panel.list()->count(), 1);
    QCOMPARE(panel.list()->item(0)->text(), QString::fromUtf8("名無し"));
    QCOMPARE(panel.edit(1234)->text(), QString("10000"));

    // A renamed current object rewrites the selected one after the question.
    panel.edit(1236)->setText(QString::fromUtf8("輪郭"));
    emit panel.edit(1236)->editingFinished();
    QCOMPARE(tovala::objectName(d.scratchObject), std::string("輪郭"));
    QCOMPARE(tovala::objectName(d.objects[0]), std::string("名無し"));
    f.ui.queueAnswer(Answer::Yes);
    press(panel, 5);
    QCOMPARE(tovala::objectName(d.objects[0]), std::string("輪郭"));
    QCOMPARE(panel.list()->item(0)->text(), QString::fromUtf8("輪郭"));

    // A second, fresh object, then deleting the selected one.
    press(panel, 6);
    QCOMPARE(d.scratchObject.header[kObjectNumber], -1);
    f.ui.queueAnswer(Answer::Yes);
    press(panel, 3);
    QCOMPARE(d.objects[1].header[kObjectNumber], 10001);
    panel.list()->setCurrentRow(0);
    emit panel.list()->itemClicked(panel.list()->item(0));
    QCOMPARE(d.curObject, 0);
    f.ui.queueAnswer(Answer::Yes);
    press(panel, 4);
    QCOMPARE(d.objectCount(), 2);
    QCOMPARE(d.objects[0].header[kObjectNumber], 10001);

    // "反転" turns the drawing order, one undo step each.
    const int before = f.window->undoRing().undoCount();
    press(panel, 9);
    QCOMPARE(d.frontToBack, 1);
    QCOMPARE(f.window->undoRing().undoCount(), before + 1);
  }

  void undoOfAListChangeRestoresTheList() {
    WindowFixture f;
    ObjectsPanel& panel = setUp(f);
    Document& d = f.doc();
    d.fileUndo = 1;  // whole-document snapshots
    f.ui.queueAnswer(Answer::Yes);
    press(panel, 3);
    QCOMPARE(d.objectCount(), 2);
    f.window->undo();
    QCOMPARE(d.objectCount(), 1);
  }

  void piecesAndReferencePickedOnTheCanvas() {
    WindowFixture f;
    ObjectsPanel& panel = setUp(f);
    Document& d = f.doc();
    const int points = pointCount(f);

    press(panel, 1237);
    QCOMPARE(f.window->objectsPickState, int(kObjectsPickPiece));
    f.click(500, 500);  // nothing there: nothing picked, nothing added
    QCOMPARE(panel.pick.line, -1);
    f.click(100, 100);
    f.click(300, 100);
    QCOMPARE(pointCount(f), points);  // the presses only picked
    QCOMPARE(panel.edit(0)->text(), QString("0,0,2"));
    press(panel, 1238);
    QCOMPARE(d.scratchObject.c[0], 0);
    QCOMPARE(unpackPieceRule(d.scratchObject.d[0]).d, int(kPieceForward));
    QCOMPARE(f.window->objectsPickState, 0);

    // A single point, chosen into a slot past the used ones: appended.
    press(panel, 1237);
    f.click(200, 300);
    panel.combo(1223)->setCurrentIndex(9);
    press(panel, 1238);
    QCOMPARE(objectPieceCount(d.scratchObject), 2);
    QCOMPARE(d.scratchObject.c[1], 1);
    QCOMPARE(panel.combo(1224)->itemText(1), QString("0,1,1,3"));

    // The reverse range of line 0.
    press(panel, 1237);
    f.click(300, 100);
    f.click(100, 100);
    panel.combo(1223)->setCurrentIndex(2);
    press(panel, 1238);
    QCOMPARE(unpackPieceRule(d.scratchObject.d[2]).d, int(kPieceBackward));

    // Removing the first piece moves the others up; "戻す" brings it back.
    const ObjectRecord three = d.scratchObject;
    panel.combo(1223)->setCurrentIndex(0);
    press(panel, 1239);
    QCOMPARE(objectPieceCount(d.scratchObject), 2);
    QCOMPARE(d.scratchObject.c[0], 1);
    QCOMPARE(d.scratchObject.c[2], -1);
    press(panel, 8);
    QVERIFY(d.scratchObject == three);
    // An empty slot has nothing to remove.
    panel.combo(1223)->setCurrentIndex(10);
    press(panel, 1239);
    QVERIFY(d.scratchObject == three);

    // The reference point.
    press(panel, 1231);
    f.click(100, 300);
    QCOMPARE(panel.edit(1230)->text(), QString("0001,000,000"));
    QCOMPARE(d.scratchObject.header[kObjectReference], 0);  // not stored before "決定"
    press(panel, 1240);
    QCOMPARE(d.scratchObject.header[kObjectReference], packAxisRef(1, 0, 0));
    // "決定" without a pick keeps it.
    press(panel, 1240);
    QCOMPARE(d.scratchObject.header[kObjectReference], packAxisRef(1, 0, 0));

    // The right button ends a pick.
    press(panel, 1237);
    f.click(100, 100, Qt::RightButton);
    QCOMPARE(f.window->objectsPickState, 0);
    // So does closing the panel: the next press is the mode's own again.
    press(panel, 1237);
    panel.hide();
    f.window->runCommand(40002);  // select mode
    f.window->objectsPickState = kObjectsPickPiece;
    d.curLine = 1;
    f.click(100, 100);
    QCOMPARE(f.window->objectsPickState, 0);
    QCOMPARE(d.curLine, 0);
  }

  void objectViewPressMakesTheLinesObjectCurrent() {
    WindowFixture f;
    ObjectsPanel& panel = setUp(f);
    Document& d = f.doc();
    for (int line : {0, 1}) {
      ObjectRecord o;
      o.c[0] = line;
      tovala::setObjectName(o, line == 0 ? "上" : "下");
      addObject(d, o);
    }
    f.window->runCommand(40002);
    d.objectView = 1;
    const int points = pointCount(f);

    f.click(100, 100);
    QCOMPARE(d.curLine, 0);
    QCOMPARE(d.curObject, 0);
    QCOMPARE(tovala::objectName(d.scratchObject), std::string("上"));
    QCOMPARE(panel.edit(1236)->text(), QString::fromUtf8("上"));
    f.window->runCommand(40007);  // even in add-point mode the object view only selects
    f.click(100, 300);
    QCOMPARE(d.curObject, 1);
    QCOMPARE(pointCount(f), points);
    // A press that moves nothing leaves the current object alone.
    d.scratchObject.header[kObjectColour] = 5;
    f.click(100, 300);
    QCOMPARE(d.scratchObject.header[kObjectColour], 5);
  }

  void searchAndRefusals() {
    WindowFixture f;
    ObjectsPanel& panel = setUp(f);
    Document& d = f.doc();
    f.window->runCommand(40002);
    d.curLine = 1;

    // Nobody uses line 1: the message, and the current object stays.
    press(panel, 1237);
    f.click(100, 100);
    press(panel, 1238);
    f.ui.queueAnswer(Answer::Yes);
    press(panel, 3);
    const ObjectRecord current = d.scratchObject;
    press(panel, 7);
    QCOMPARE(f.ui.lastText(),
             std::string("選択している線を使用しているオブジェクトは見つかりませんでした。"));
    QVERIFY(d.scratchObject == current);

    // Line 0 is used by the object: chosen in the selection box it becomes current.
    press(panel, 6);  // a fresh current object
    QCOMPARE(d.scratchObject.c[0], -1);
    d.curLine = 0;
    auto seen = test::whenModal<SelectionDialog>([](SelectionDialog& s) {
      QCOMPARE(s.list()->count(), 1);
      s.list()->setCurrentRow(0);
      s.accept();
    });
    press(panel, 7);
    QVERIFY(*seen);
    QCOMPARE(d.scratchObject.c[0], 0);

    // A colour out of range is refused and shown back as it was.
    panel.edit(1225)->setText("300");
    emit panel.edit(1225)->editingFinished();
    QCOMPARE(d.scratchObject.header[kObjectColour], 0);
    QCOMPARE(panel.edit(1225)->text(), QString("000"));

    // No eye object: "目編集" says so.
    press(panel, 11);
    QCOMPARE(f.ui.lastText(), std::string("目に設定しているオブジェクトはありません。"));

    // Eyes take no pieces.
    panel.combo(1233)->setCurrentIndex(2);
    emit panel.combo(1233)->activated(2);
    QCOMPARE(d.scratchObject.header[kObjectDrawType], 2);
    const ObjectRecord eye = d.scratchObject;
    press(panel, 1237);
    f.click(100, 300);
    press(panel, 1238);
    QVERIFY(d.scratchObject == eye);

    // "目編集" on the eye: the width typed as a fraction; a bad answer stores nothing.
    auto choseWidth = test::whenModal<SelectionDialog>([](SelectionDialog& s) {
      QCOMPARE(s.list()->count(), int(kEyeItemCount));
      s.list()->setCurrentRow(kEyeWidth);
      s.accept();
    });
    auto typed = test::whenModal<InputDialog>([](InputDialog& in) {
      // Fractions have no prompt of their own: the box shows its default one.
      QCOMPARE(in.promptEdit()->text().toStdString(), std::string(kDefaultInputPrompt));
      in.answerEdit()->setText("0.5");
      in.accept();
    });
    press(panel, 11);
    QVERIFY(*choseWidth);
    QVERIFY(*typed);
    QCOMPARE(eyeItemText(d.scratchObject, kEyeWidth), std::string("0.500000"));
    const ObjectRecord widened = d.scratchObject;
    test::whenModal<SelectionDialog>([](SelectionDialog& s) {
      s.list()->setCurrentRow(kEyeWhiteColour);
      s.accept();
    });
    test::whenModal<InputDialog>([](InputDialog& in) {
      in.answerEdit()->setText("not hex");
      in.accept();
    });
    press(panel, 11);
    QVERIFY(d.scratchObject == widened);

    // 40053 hides the panel again.
    f.window->runCommand(40053);
    QVERIFY(!panel.isVisible());
  }
};

QTEST_MAIN(TestObjectsPanel)
#include "tst_objects_panel.moc"
