// Colours put on by the objects panel: "色の置換" (the colour chooser behind "編集" beside the
// object's colour) with its "戻す" step and its refusals, and the green marks of the points a
// canvas pick has found while it waits.

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "engine/guide_geometry.h"
#include "engine/objects.h"
#include "render/marks.h"
#include "shell/panels/objects/objects_fields.h"
#include "shell/panels/objects/objects_panel.h"
#include "shell/panels/objects/objects_panel_window.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {

ObjectsPanel& setUp(WindowFixture& f) {
  f.drawLine({{100, 100}, {200, 100}, {300, 100}});
  f.drawLine({{100, 300}, {200, 300}});
  f.window->runCommand(40053);
  return *static_cast<ObjectsPanel*>(f.window->panel(PanelId::Objects));
}

// Answers the colour chooser with `answer` and remembers the colour it was opened on.
struct ChooserStub {
  explicit ChooserStub(std::optional<uint32_t> answer) {
    saved = objectColourChooser();
    objectColourChooser() = [this, answer](QWidget*, uint32_t initial) {
      opened.push_back(initial);
      return answer;
    };
  }
  ~ChooserStub() { objectColourChooser() = saved; }
  ColourChooser saved;
  std::vector<uint32_t> opened;
};

uint32_t displayPixel(WindowFixture& f, int x, int y) {
  const Document& d = f.doc();
  const ImageSlot* display = f.doc().workImages.image(kDisplayImage);
  return display->pixel(x - int(d.edit.viewOrigin.x), y - int(d.edit.viewOrigin.y));
}

}  // namespace

class TestObjectsColour : public QObject {
  Q_OBJECT

 private slots:
  void replacementKeepsTheFourthByte() {
    ObjectRecord o;
    o.header[kObjectColour] = int32_t(0x7F010203);
    QVERIFY(replaceObjectColour(o, 0x00ABCDEF));
    QCOMPARE(uint32_t(o.header[kObjectColour]), 0x7FABCDEFu);
    const ObjectRecord kept = o;
    QVERIFY(!replaceObjectColour(o, 0x01000000));  // not a colour
    QVERIFY(o == kept);
  }

  void chosenColourReplacesTheCurrentObjects() {
    WindowFixture f;
    ObjectsPanel& panel = setUp(f);
    Document& d = f.doc();
    QCOMPARE(panel.button(1247)->text(), QString::fromUtf8("編集"));
    d.scratchObject.header[kObjectColour] = 0x000A0B0C;
    panel.refresh();
    const ObjectRecord before = d.scratchObject;
    const int steps = f.window->undoRing().undoCount();
    const int objects = d.objectCount();
    {
      ChooserStub chooser(0x00332211);
      panel.button(1247)->click();
      QCOMPARE(chooser.opened, std::vector<uint32_t>{0x000A0B0Cu});
    }
    QCOMPARE(d.scratchObject.header[kObjectColour], 0x00332211);
    QCOMPARE(panel.edit(1225)->text(), QString("017"));  // R
    QCOMPARE(panel.edit(1227)->text(), QString("051"));  // B
    QVERIFY(d.objectBackup == before);
    // The current object is no part of the document's snapshots: "戻す" takes it back.
    QCOMPARE(f.window->undoRing().undoCount(), steps);
    QCOMPARE(d.objectCount(), objects);
    panel.button(8)->click();
    QVERIFY(d.scratchObject == before);
  }

  void cancelOrTheSameColourChangesNothing() {
    WindowFixture f;
    ObjectsPanel& panel = setUp(f);
    Document& d = f.doc();
    d.scratchObject.header[kObjectColour] = 0x00010203;
    ObjectRecord backup;
    tovala::setObjectName(backup, "backup");
    d.objectBackup = backup;
    const ObjectRecord before = d.scratchObject;
    for (std::optional<uint32_t> answer :
         {std::optional<uint32_t>(), std::optional<uint32_t>(0x010203u)}) {
      ChooserStub chooser(answer);
      panel.button(1247)->click();
      QCOMPARE(chooser.opened.size(), size_t(1));
      QVERIFY(d.scratchObject == before);
      QVERIFY(d.objectBackup == backup);  // no "戻す" step for nothing
    }
  }

  void pickedPointsAreListedOnce() {
    WindowFixture f;
    setUp(f);
    const Document& d = f.doc();
    ObjectsPick pick;
    QVERIFY(pickedPoints(d, pick).empty());
    pick.line = 0;
    pick.first = pick.last = 1;
    pick.reference = packAxisRef(0, 1, 2);  // the same point through the reference
    auto found = pickedPoints(d, pick);
    QCOMPARE(found.size(), size_t(1));
    pick.last = 2;
    pick.reference = packAxisRef(1, 0, 0);
    found = pickedPoints(d, pick);
    QCOMPARE(found.size(), size_t(3));
    QCOMPARE(found[2].line, 1);
    pick.last = 9;  // no such point
    pick.reference = packAxisRef(8, 0, 0);
    QCOMPARE(pickedPoints(d, pick).size(), size_t(1));
  }

  void aWaitingPickIsMarkedInGreen() {
    WindowFixture f;
    ObjectsPanel& panel = setUp(f);
    f.window->compose();
    QVERIFY(displayPixel(f, 300, 100) != kMarkGreen);
    panel.button(1237)->click();
    f.click(100, 100);
    f.click(300, 100);
    QCOMPARE(displayPixel(f, 100, 100), kMarkGreen);
    QCOMPARE(displayPixel(f, 300, 100), kMarkGreen);
    QVERIFY(displayPixel(f, 200, 100) != kMarkGreen);  // not picked
    // "決定" ends the pick and the marks go with it.
    panel.button(1238)->click();
    QCOMPARE(f.window->objectsPickState, 0);
    QVERIFY(displayPixel(f, 300, 100) != kMarkGreen);
    // Nor are they drawn for a pick left waiting by a hidden panel.
    panel.button(1231)->click();
    f.click(300, 100);
    QCOMPARE(displayPixel(f, 300, 100), kMarkGreen);
    f.window->runCommand(40053);
    f.window->compose();
    QVERIFY(displayPixel(f, 300, 100) != kMarkGreen);
  }
};

QTEST_MAIN(TestObjectsColour)
#include "tst_objects_colour.moc"
