// The model-scale commands, "原点", the point display switch, the canvas size dialog and the
// settings container: the enlargement cycle, refusals that change nothing, undo and redo after
// scaling, and the canvas and undo effects of the settings pages' notifications.

#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QtTest>

#include <cmath>

#include "engine/reference.h"
#include "modal_helper.h"
#include "shell/model_scale.h"
#include "shell/panels/dialogs/input_dialogs.h"
#include "shell/panels/properties/settings_panel.h"
#include "shell/panels/dialogs/size_dialog.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::whenModal;
using tovala::test::WindowFixture;

namespace {

constexpr int kScaleCommands[] = {40054, 40055, 40058, 40060, 40066};

bool near(float a, float b) { return std::fabs(a - b) < 1e-3f; }

// Every point of `now` is `before` scaled by f about o.
bool scaledFrom(const std::vector<PointRecord>& before, const std::vector<PointRecord>& now,
                float f, const Vec3& o) {
  for (size_t i = 0; i + 1 < before.size(); ++i) {
    const PointRecord& a = before[i];
    const PointRecord& b = now[i];
    if (!near(b.vx, o.x + f * (a.vx - o.x)) || !near(b.vy, o.y + f * (a.vy - o.y)) ||
        !near(b.vz, o.z + f * (a.vz - o.z)))
      return false;
  }
  return true;
}

// A three-point line with its middle point given a new connection type (one undo step).
void editedLine(WindowFixture& f) {
  f.drawLine({{100, 100}, {200, 150}, {300, 120}});
  f.doc().curLine = 0;
  f.doc().curPoint = 1;
  f.window->runCommand(40012);
  QCOMPARE(f.doc().lines[0].points[1].mode, 1);
}

void answerScale(const char* text, bool ok = true) {
  whenModal<InputDialog>([text, ok](InputDialog& d) {
    QCOMPARE(d.answerEdit()->text(), QString("1.000000"));
    d.answerEdit()->setText(QString::fromUtf8(text));
    ok ? d.accept() : d.reject();
  });
}

class ProbePage : public SettingsPage {
 public:
  void refresh() override { ++refreshes; }
  int refreshes = 0;
};

}  // namespace

class TestSmallDialogsScale : public QObject {
  Q_OBJECT

 private slots:
  void enlargementCycles() {
    QCOMPARE(nextEnlargement(0.5f), 2.0f);
    QCOMPARE(nextEnlargement(1.0f), 2.0f);
    QCOMPARE(nextEnlargement(2.0f), 4.0f);
    QCOMPARE(nextEnlargement(3.99f), 4.0f);
    QCOMPARE(nextEnlargement(4.0f), 1.0f);
    QCOMPARE(nextEnlargement(50.0f), 1.0f);

    WindowFixture f;
    f.drawLine({{100, 100}, {200, 150}, {300, 120}});
    Document& d = f.doc();
    d.edit.viewOrigin = {50, 60, 0};
    d.VextX = 10;
    d.VextY = -4;
    const std::vector<PointRecord> start = d.lines[0].points;
    f.window->runCommand(40058);
    QCOMPARE(d.modelScale, 2.0f);
    QVERIFY(scaledFrom(start, d.lines[0].points, 2.0f, d.edit.viewOrigin));
    QCOMPARE(d.VextX, 20.0f);
    f.window->runCommand(40058);
    QCOMPARE(d.modelScale, 4.0f);
    QVERIFY(scaledFrom(start, d.lines[0].points, 4.0f, d.edit.viewOrigin));
    f.window->runCommand(40058);
    QCOMPARE(d.modelScale, 1.0f);
    QVERIFY(scaledFrom(start, d.lines[0].points, 1.0f, d.edit.viewOrigin));
    QCOMPARE(d.VextX, 10.0f);
    QCOMPARE(d.VextY, -4.0f);
  }

  void enteredScalesOutsideTheRangeChangeNothing() {
    WindowFixture f;
    for (int id : kScaleCommands) QVERIFY(!f.window->commands().state(*f.window, id).enabled);
    QVERIFY(!changeModelScale(*f.window, 2.0f));

    editedLine(f);
    Document& d = f.doc();
    d.VextX = 7;
    const std::vector<PointRecord> start = d.lines[0].points;
    const int steps = f.window->undoRing().undoCount();
    for (const char* bad : {"0", "200", "abc", "", "0.009"}) {
      answerScale(bad);
      f.window->runCommand(40055);
      QCOMPARE(d.modelScale, 1.0f);
      QVERIFY(d.lines[0].points == start);
      QCOMPARE(f.window->undoRing().undoCount(), steps);
      QCOMPARE(d.VextX, 7.0f);
    }
    answerScale("0.5", false);  // cancelled
    f.window->runCommand(40055);
    QCOMPARE(d.modelScale, 1.0f);

    answerScale("0.5");
    f.window->runCommand(40055);
    QCOMPARE(d.modelScale, 0.5f);
    QVERIFY(scaledFrom(start, d.lines[0].points, 0.5f, d.edit.viewOrigin));
    QCOMPARE(d.VextX, 3.5f);
    QVERIFY(changeModelScale(*f.window, 100.0f));
    QVERIFY(!changeModelScale(*f.window, 100.5f));
    QCOMPARE(d.modelScale, 100.0f);
    f.window->runCommand(40054);
    QCOMPARE(d.modelScale, 1.0f);
    QVERIFY(scaledFrom(start, d.lines[0].points, 1.0f, d.edit.viewOrigin));

    // Motion mode refuses, and the items are disabled.
    d.edit.mode = kModeMotion;
    QVERIFY(!changeModelScale(*f.window, 2.0f));
    for (int id : kScaleCommands) QVERIFY(!f.window->commands().state(*f.window, id).enabled);
    d.edit.mode = kModeSelect;
  }

  // Scaling is a step of its own: undone, the figure is back at scale 1 with the edit before it;
  // redone, scaled again with the edit kept.
  void scalingIsAnUndoStep() {
    WindowFixture f;
    editedLine(f);
    Document& d = f.doc();
    d.edit.viewOrigin = {20, 30, 0};
    const std::vector<PointRecord> start = d.lines[0].points;
    f.window->runCommand(40058);
    QVERIFY(scaledFrom(start, d.lines[0].points, 2.0f, d.edit.viewOrigin));
    f.window->runCommand(40021);
    QCOMPARE(d.modelScale, 1.0f);
    QVERIFY(d.lines[0].points == start);
    f.window->runCommand(40021);  // the connection type
    QCOMPARE(d.lines[0].points[1].mode, 0);
    f.window->runCommand(40022);
    f.window->runCommand(40022);
    QCOMPARE(d.modelScale, 2.0f);
    QCOMPARE(d.lines[0].points[1].mode, 1);
    QVERIFY(scaledFrom(start, d.lines[0].points, 2.0f, d.edit.viewOrigin));
  }

  void originPutsTheFigureBackOnItsReference() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 150}});
    f.drawLine({{400, 300}, {450, 380}});
    Document& d = f.doc();
    setReference(d, 0, -1);
    translateAll(d, 30, -20, 0);
    d.VextX = 30;
    d.VextY = -20;
    f.window->runCommand(40058);
    f.window->runCommand(40066);
    QCOMPARE(d.modelScale, 1.0f);
    QCOMPARE(d.VextX, 0.0f);
    QCOMPARE(d.VextY, 0.0f);
    for (int l = 0; l < 2; ++l)
      for (int p = 0; p < 2; ++p) {
        const PointRecord& pt = d.lines[size_t(l)].points[size_t(p)];
        QVERIFY(near(pt.vx, pt.v0x) && near(pt.vy, pt.v0y));
      }
  }

  void pointDisplayStyleCycles() {
    QCOMPARE(nextPointStyle(0), 1);
    QCOMPARE(nextPointStyle(6), 0);
    QCOMPARE(nextPointStyle(-3), 0);
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 150}});
    for (int step = 1; step <= 7; ++step) {
      f.window->runCommand(40060);
      QCOMPARE(f.doc().pointStyle, step % 7);
    }
  }

  void canvasSizeIsCheckedThenTaken() {
    QCOMPARE(canvasSizeRefusal(5, 3), "この幅には変更できません。(10～10000まで)");
    QCOMPARE(canvasSizeRefusal(10001, 50), "この幅には変更できません。(10～10000まで)");
    QCOMPARE(canvasSizeRefusal(10000, 10001), "この高さには変更できません。(10～10000まで)");
    QVERIFY(canvasSizeRefusal(10, 10) == nullptr);

    WindowFixture f;
    f.drawLine({{100, 100}, {200, 150}});
    Document& d = f.doc();
    setReference(d, 0, -1);
    translateAll(d, 25, 15, 0);
    d.backColor = 0x123456;
    const ImageSlot underlay = *d.workImages.slot(kUnderlayImage);
    const ImageSlot scratch2 = *d.workImages.slot(kScratchImage2);
    auto enter = [](const char* w, const char* h) {
      return whenModal<SizeDialog>([w, h](SizeDialog& dlg) {
        QCOMPARE(dlg.windowTitle(), QString::fromUtf8("サイズ変更"));
        dlg.widthEdit()->setText(w);
        dlg.heightEdit()->setText(h);
        dlg.accept();
      });
    };
    auto seen = enter("5", "3");
    f.window->runCommand(40043);
    QVERIFY(*seen);
    QCOMPARE(f.ui.shown.back().text, std::string("この幅には変更できません。(10～10000まで)"));
    QCOMPARE(f.ui.shown.back().caption, std::string());
    QCOMPARE(d.imageWidth, kDefaultImageWidth);
    QCOMPARE(d.backColor, 0x123456u);
    QVERIFY(!near(d.lines[0].points[0].vx, d.lines[0].points[0].v0x));

    seen = enter("640", "480");
    f.window->runCommand(40043);
    QVERIFY(*seen);
    QCOMPARE(d.imageWidth, 640);
    QCOMPARE(d.imageHeight, 480);
    QCOMPARE(d.backColor, kDefaultBackColor);
    for (int slot : {0, 1, 2, 4, 5, 6}) {
      QCOMPARE(d.workImages.slot(slot)->width, 640);
      QCOMPARE(d.workImages.slot(slot)->height, 480);
    }
    QVERIFY(*d.workImages.slot(kUnderlayImage) == underlay);
    QVERIFY(*d.workImages.slot(kScratchImage2) == scratch2);
    QCOMPARE(d.workImages.slot(kScratchImage)->pixel(639, 0), kDefaultBackColor);
    // "原点" ran with it.
    QVERIFY(near(d.lines[0].points[0].vx, d.lines[0].points[0].v0x));
  }

  void settingsContainerHostsThePages() {
    WindowFixture f;
    f.window->runCommand(40051);
    auto& s = *static_cast<SettingsPanel*>(f.window->panel(PanelId::Settings));
    QVERIFY(s.isVisible());
    QCOMPARE(s.windowTitle(), QString::fromUtf8("設定"));
    QCOMPARE(s.tabs()->count(), 3);
    QCOMPARE(s.tabs()->tabText(2), QString::fromUtf8("環境"));
    ProbePage* line = new ProbePage;
    ProbePage* document = new ProbePage;
    s.setPage(0, line);
    s.setPage(2, document);
    QCOMPARE(s.tabs()->tabText(0), QString::fromUtf8("線"));
    s.hexBox()->setChecked(true);
    QVERIFY(line->hex() && document->hex() && s.page(1)->hex());
    QCOMPARE(line->refreshes, 1);  // the current tab shows the new form at once
    s.showTab(2);
    QCOMPARE(document->refreshes, 1);
    QCOMPARE(line->refreshes, 1);

    // 101: the undo kind changed, both rings start again.
    f.drawLine({{100, 100}, {200, 150}});
    QVERIFY(f.window->undoRing().undoCount() > 0);
    emit document->notify(SettingsPanel::kUndoKindChanged);
    QCOMPARE(f.window->undoRing().undoCount(), 0);
    QVERIFY(f.window->undoRing().justOpened);
    // 102: the canvas follows the document's size.
    f.doc().imageWidth = 300;
    f.doc().imageHeight = 200;
    emit document->notify(SettingsPanel::kCanvasChanged);
    QCOMPARE(f.doc().workImages.slot(kUnderlayImage)->width, 300);
    QCOMPARE(f.doc().workImages.slot(kDisplayImage)->height, 200);

    f.window->runCommand(40051);
    QVERIFY(!s.isVisible());
  }
};

QTEST_MAIN(TestSmallDialogsScale)
#include "tst_small_dialogs_scale.moc"
