// The eye editor: where the iris lies in the drawing area and what a drag does to the eye's
// settings, the colour edits and their refusals, and the dialog reached by "編集" on an eye
// object: drags and colours change the current eye (one "戻す" step each), new and deleted eyes
// change the list with one undo step each, and the first eye cannot be deleted.

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "engine/objects.h"
#include "shell/panels/objects/eye_dialog.h"
#include "shell/panels/objects/eye_geometry.h"
#include "shell/panels/objects/objects_panel.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {

ObjectRecord eyeOn(int line) {
  ObjectRecord o;
  o.header[kObjectDrawType] = kShapeEye;
  o.c[0] = line;
  return o;
}

uint32_t word(const ObjectRecord& o, int item) { return uint32_t(o.d[size_t(eyeItemWord(item))]); }

// A 220 x 140 eye: centre (110, 70), half-sizes 100 and 60.
const EyeRect kBox{10, 10, 210, 130};

ObjectsPanel& setUp(WindowFixture& f) {
  f.drawLine({{100, 100}, {200, 100}, {300, 100}});
  f.window->runCommand(40053);
  return *static_cast<ObjectsPanel*>(f.window->panel(PanelId::Objects));
}

}  // namespace

class TestEyeDialog : public QObject {
  Q_OBJECT

 private slots:
  void offsetBytesRoundTrip() {
    for (int n : {0, 1, 30, 100, 127, -1, -30, -100, -127})
      QCOMPARE(unpackOffsetByte(packOffsetByte(n)), n);
    QCOMPARE(packOffsetByte(-5), 0xFAu);  // the prompt's 0xFF - xx
    QCOMPARE(packOffsetByte(500), 127u);  // clamped to what a byte can say
  }

  void irisPlacementAndHits() {
    ObjectRecord eye = eyeOn(0);
    // Unset sizes are the usual 0.4 x 1.0 of the eye, centred.
    EyeRect r = irisRect(eye, kBox);
    QCOMPARE(r.left, 70.0);
    QCOMPARE(r.right, 150.0);
    QCOMPARE(r.top, 10.0);
    QCOMPARE(r.bottom, 130.0);
    QVERIFY(setEyeItem(eye, kEyeWidth, "0.5"));
    QVERIFY(setEyeItem(eye, kEyeHeight, "0.5"));
    QVERIFY(setEyeItem(eye, kEyeIrisSetting, "f50a0000"));  // 10 percent left, 10 down
    r = irisRect(eye, kBox);
    QCOMPARE(r.cx(), 100.0);
    QCOMPARE(r.cy(), 76.0);
    QCOMPARE(r.right - r.left, 100.0);

    QCOMPARE(eyeHitState(eye, kBox, r.left, r.top, 3), int(kEyeDragCorner));
    QCOMPARE(eyeHitState(eye, kBox, r.right + 2, r.bottom - 1, 3), int(kEyeDragCorner));
    QCOMPARE(eyeHitState(eye, kBox, r.cx(), r.top, 3), int(kEyeDragEdge));
    QCOMPARE(eyeHitState(eye, kBox, r.left, r.cy(), 3), int(kEyeDragSide));
    QCOMPARE(eyeHitState(eye, kBox, r.cx(), r.cy(), 3), int(kEyeDragIris));
    QCOMPARE(eyeHitState(eye, kBox, 20, 20, 3), int(kEyeDragInside));
    QCOMPARE(eyeHitState(eye, kBox, 5, 5, 3), int(kEyeDragNone));
    // As in line deforming the handles reach an eighth of the box's width (100 / 8) from its
    // border, and an edge handle lies between the corners' reach.
    QCOMPARE(eyeHitState(eye, kBox, r.left + 12, r.top + 12, 3), int(kEyeDragCorner));
    QCOMPARE(eyeHitState(eye, kBox, r.left + 13, r.top + 12, 3), int(kEyeDragEdge));
    QCOMPARE(eyeHitState(eye, kBox, r.right - 12, r.cy(), 3), int(kEyeDragSide));
    QCOMPARE(eyeHitState(eye, kBox, r.right - 13, r.cy(), 3), int(kEyeDragIris));
    QCOMPARE(eyeHitState(eye, kBox, r.left - 12, r.cy(), 3), int(kEyeDragSide));
    // A tiny iris keeps handles of the given grip.
    QVERIFY(setEyeItem(eye, kEyeWidth, "0.01"));
    r = irisRect(eye, kBox);
    QCOMPARE(eyeHitState(eye, kBox, r.right + 2, r.cy(), 3), int(kEyeDragSide));
  }

  void dragsResizeAndMoveTheIrisOnly() {
    ObjectRecord eye = eyeOn(0);
    QVERIFY(setEyeItem(eye, kEyeIrisSetting, "00001e28"));  // pupil 30 x 40 percent
    QVERIFY(setEyeItem(eye, kEyeWhiteColour, "ffffff"));
    const ObjectRecord start = eye;

    // A corner scales both sides by the width's ratio, as line deforming does: dragged to x 130
    // the 40 x 60 half-sizes become 20 x 30 (0.2 and 0.5 of the eye), wherever the mouse's y is.
    ObjectRecord sized = dragEye(start, kEyeDragCorner, kBox, 150, 130, 130, 125);
    QCOMPARE(eyeItemText(sized, kEyeWidth), std::string("0.200000"));
    QCOMPARE(eyeItemText(sized, kEyeHeight), std::string("0.500000"));
    QVERIFY(dragEye(start, kEyeDragCorner, kBox, 150, 130, 90, 20) == sized);  // |ratio|
    // An edge changes the height only: the width unset before is written as its usual 0.4.
    sized = dragEye(start, kEyeDragEdge, kBox, 110, 130, 110, 100);
    QCOMPARE(eyeItemText(sized, kEyeWidth), std::string("0.400000"));
    QCOMPARE(eyeItemText(sized, kEyeHeight), std::string("0.500000"));
    sized = dragEye(start, kEyeDragSide, kBox, 150, 70, 130, 70);
    QCOMPARE(eyeItemText(sized, kEyeWidth), std::string("0.200000"));
    QCOMPARE(eyeItemText(sized, kEyeHeight), std::string("1.000000"));
    // Dragged onto its centre the iris keeps a size (0 would read as the usual one); dragged
    // far outside it is as large as the eye.
    sized = dragEye(start, kEyeDragCorner, kBox, 150, 130, 110, 70);
    QCOMPARE(word(sized, kEyeWidth), 0x00010001u);
    sized = dragEye(start, kEyeDragCorner, kBox, 150, 130, 900, -900);
    QCOMPARE(word(sized, kEyeWidth), (10000u << 16) | 10000u);

    // The iris moved 20 right and 12 up: 20 and -20 percent; the pupil bytes are kept.
    ObjectRecord moved = dragEye(start, kEyeDragIris, kBox, 110, 70, 130, 58);
    QCOMPARE(word(moved, kEyeIrisSetting), (20u << 24) | (0xEBu << 16) | 0x1E28u);
    QCOMPARE(irisRect(moved, kBox).cx(), 130.0);
    // Far out it stops at the eye's edge (100 percent).
    moved = dragEye(start, kEyeDragIris, kBox, 110, 70, 900, 70);
    QCOMPARE(word(moved, kEyeIrisSetting) >> 24, 100u);
    // A press inside the eye puts the iris's centre there.
    moved = dragEye(start, kEyeDragInside, kBox, 60, 40, 60, 40);
    QCOMPARE(irisRect(moved, kBox).cx(), 60.0);
    QCOMPARE(irisRect(moved, kBox).cy(), 40.0);
    for (const ObjectRecord* r : {&sized, &moved}) QCOMPARE(word(*r, kEyeWhiteColour), 0xFFFFFFu);

    // Nothing for a press on nothing, or on an object that is not an eye.
    QVERIFY(dragEye(start, kEyeDragNone, kBox, 0, 0, 50, 50) == start);
    ObjectRecord plain = start;
    plain.header[kObjectDrawType] = kShapeNormal;
    QVERIFY(dragEye(plain, kEyeDragIris, kBox, 110, 70, 130, 70) == plain);
  }

  void colourEditsAndTheirRefusals() {
    ObjectRecord eye = eyeOn(0);
    QVERIFY(setEyeEditColour(eye, "10", " 20 ", "255"));
    QCOMPARE(eyeEditColour(eye), 0xFF140Au);
    QCOMPARE(eyeItemText(eye, kEyeIrisColour), std::string("ff140a"));
    const ObjectRecord kept = eye;
    for (auto [r, g, b] :
         {std::tuple{"256", "0", "0"}, {"0", "-1", "0"}, {"0", "0", ""}, {"1x", "0", "0"}})
      QVERIFY(!setEyeEditColour(eye, r, g, b));
    QVERIFY(eye == kept);
    ObjectRecord plain;
    QVERIFY(!setEyeEditColour(plain, "1", "2", "3"));
    QVERIFY(plain == ObjectRecord{});
  }

  void eyeRowsAndLines() {
    WindowFixture f;
    setUp(f);
    Document& d = f.doc();
    ObjectRecord plain;
    addObject(d, plain);
    addObject(d, eyeOn(0));
    addObject(d, eyeOn(7));
    QCOMPARE(eyeObjectRows(d), (std::vector<int>{1, 2}));
    QVERIFY(validEyeLine(d, d.objects[1]));
    QVERIFY(!validEyeLine(d, d.objects[2]));  // no line 7
    QVERIFY(!validEyeLine(d, eyeOn(-1)));
    QVERIFY(!validEyeLine(d, plain));
  }

  void anEyeWithoutItsLineIsRefused() {
    WindowFixture f;
    ObjectsPanel& panel = setUp(f);
    Document& d = f.doc();
    d.scratchObject = eyeOn(5);
    const int objects = d.objectCount();
    panel.button(1237)->click();
    QCOMPARE(f.ui.lastText(), std::string("目の線が正しくありません。"));
    QCOMPARE(f.ui.shown.back().caption, std::string("メッセージ"));
    QVERIFY(!panel.eyeEditor() || !panel.eyeEditor()->isVisible());
    QCOMPARE(d.objectCount(), objects);
    QCOMPARE(f.window->objectsPickState, 0);  // and no piece pick was started either
  }

  void theDialogEditsTheCurrentEyeAndTheList() {
    WindowFixture f;
    ObjectsPanel& panel = setUp(f);
    Document& d = f.doc();
    d.fileUndo = 1;  // whole-document snapshots
    ObjectRecord eye = eyeOn(0);
    tovala::setObjectName(eye, "左目");
    d.scratchObject = eye;
    const int steps = f.window->undoRing().undoCount();

    panel.button(1237)->click();
    QVERIFY(panel.eyeEditor());
    EyeEditorDialog& e = *panel.eyeEditor();
    QVERIFY(e.isVisible());
    QCOMPARE(f.window->objectsPickState, 0);  // "編集" on an eye starts no piece pick
    {
      QCOMPARE(e.windowTitle(), QString::fromUtf8("目の編集"));
      QCOMPARE(e.eyeCombo()->count(), 0);

      // A drag of the iris: the current eye changes, "戻す" has the eye before it, the list
      // and the undo ring are untouched.
      EyeArea* area = e.area();
      const EyeRect iris = irisRect(d.scratchObject, area->box());
      const QPoint from(int(iris.cx()), int(iris.cy()));
      QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, from);
      QTest::mouseMove(area, from + QPoint(20, 0));
      QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, from + QPoint(20, 0));
      QVERIFY(!(d.scratchObject == eye));
      QVERIFY(unpackOffsetByte(word(d.scratchObject, kEyeIrisSetting) >> 24) > 0);
      QVERIFY(d.objectBackup == eye);
      QCOMPARE(f.window->undoRing().undoCount(), steps);
      const ObjectRecord dragged = d.scratchObject;

      // The iris colour typed in the R, G, B edits; a bad value stores nothing.
      e.edit(1247)->setText("300");
      emit e.edit(1247)->editingFinished();
      QVERIFY(d.scratchObject == dragged);
      QCOMPARE(e.edit(1247)->text(), QString("0"));  // shown back as it is
      e.edit(1249)->setText("200");
      emit e.edit(1249)->editingFinished();
      QCOMPARE(eyeEditColour(d.scratchObject), 0xC80000u);
      QVERIFY(d.objectBackup == dragged);

      // "新規作成" twice: two eyes under numbers of their own, one undo step each.
      e.button(3)->click();
      e.button(3)->click();
      QCOMPARE(d.objectCount(), 3);
      QCOMPARE(d.objects[0].header[kObjectNumber], 10000);
      QCOMPARE(d.objects[1].header[kObjectNumber], 10001);
      QCOMPARE(tovala::objectName(d.objects[1]), std::string("左目"));
      QCOMPARE(f.window->undoRing().undoCount(), steps + 2);
      QCOMPARE(e.eyeCombo()->count(), 2);
      QCOMPARE(e.eyeCombo()->currentIndex(), 1);

      // The first eye stays.
      e.eyeCombo()->setCurrentIndex(0);
      e.button(4)->click();
      QCOMPARE(f.ui.lastText(), std::string("ここは消せません。"));
      QCOMPARE(d.objectCount(), 3);
      QCOMPARE(f.window->undoRing().undoCount(), steps + 2);

      // Choosing the first eye makes it current; deleting the second takes one undo step.
      QCOMPARE(e.eyeCombo()->currentIndex(), 1);  // the refusal shows the current eye again
      e.eyeCombo()->setCurrentIndex(0);
      emit e.eyeCombo()->activated(0);
      QCOMPARE(d.curObject, 0);
      e.eyeCombo()->setCurrentIndex(1);
      e.button(4)->click();
      QCOMPARE(d.objectCount(), 2);
      QCOMPARE(f.window->undoRing().undoCount(), steps + 3);
      QCOMPARE(e.eyeCombo()->count(), 1);
    }
    QCOMPARE(panel.list()->count(), 1);

    // "初期値" makes the current object no eye: the editor closes; so does hiding the panel.
    panel.button(6)->click();
    QVERIFY(!e.isVisible());
    d.scratchObject = eye;
    panel.button(1237)->click();
    QVERIFY(e.isVisible());
    f.window->runCommand(40053);
    QVERIFY(!e.isVisible());

    // The deletion undone brings the second eye back.
    f.window->undo();
    QCOMPARE(d.objectCount(), 3);
    QCOMPARE(d.objects[1].header[kObjectNumber], 10001);
  }
};

QTEST_MAIN(TestEyeDialog)
#include "tst_eye_dialog.moc"
