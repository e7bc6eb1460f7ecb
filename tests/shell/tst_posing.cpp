// Posing the body model in motion mode: the aim tool (向き) turns a forearm towards the mouse and
// is the tool the next stay in the mode (and the next run) starts with; each drag and each view
// button is one step of the posing history, undone and redone with Ctrl+Z and Ctrl+Y, fifty
// steps at most.

// The script engine has a member named like Qt's `emit` keyword: it comes before any Qt header.
#include "script/script_engine.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

#include <cmath>

#include "engine/motion_drag.h"
#include "engine/pose_history.h"
#include "shell/panels/control/move_panel.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {

constexpr int kArmL = 8, kElbow = 1, kWrist = 2;
constexpr int kUndo = 40021, kRedo = 40022;

QPointF pos(const Document& d, int line, int point) {
  const PointRecord& p = d.lines[size_t(line)].points[size_t(point)];
  return {p.vx, p.vy};
}
QPoint pixel(const QPointF& p) { return {int(p.x()), int(p.y())}; }
double angleOf(const QPointF& from, const QPointF& to) {
  return std::atan2(to.y() - from.y(), to.x() - from.x());
}
double turnBetween(double a, double b) { return std::remainder(b - a, 2 * M_PI); }

void posing(WindowFixture& f) {
  f.window->resize(1200, 1000);
  QVERIFY(f.window->runCommand(40050));  // the body model
  QVERIFY(f.window->runCommand(40031));  // motion mode
  QCOMPARE(f.doc().edit.mode, int(kModeMotion));
}
MovePanel& movePanel(WindowFixture& f) { return *static_cast<MovePanel*>(f.window->panel(PanelId::Move)); }
bool enabled(WindowFixture& f, int id) { return f.window->commands().state(*f.window, id).enabled; }

// A point-rotation drag on the left elbow, `dx` pixels sideways.
void bendElbow(WindowFixture& f, int dx) {
  const QPoint elbow = pixel(pos(f.doc(), kArmL, kElbow));
  f.drag({elbow, elbow + QPoint(dx / 2, 0), elbow + QPoint(dx, 0)});
}

}  // namespace

class TestPosing : public QObject {
  Q_OBJECT

 private slots:
  void aimTurnsTheForearmTowardsTheMouseAndIsRemembered() {
    QTemporaryDir keep;
    QSettings settings(keep.filePath("tovala.conf"), QSettings::IniFormat);
    {
      WindowFixture f;
      f.window->keepPanelsIn(&settings);
      posing(f);
      Document& d = f.doc();
      MovePanel& panel = movePanel(f);
      QCOMPARE(d.edit.subMode, int(kToolPointRotate));  // a first start
      auto* hint = panel.findChild<QLabel*>("toolHint");
      QVERIFY(hint && !hint->text().isEmpty());
      const QString rotateHint = hint->text();
      panel.button(MovePanel::kAimButton)->click();
      QCOMPARE(d.edit.subMode, int(kToolAim));
      QVERIFY(panel.button(MovePanel::kAimButton)->isChecked());
      QVERIFY(!panel.button(1050)->isChecked());
      QVERIFY(hint->text() != rotateHint);

      const QPointF elbow = pos(d, kArmL, kElbow), wrist = pos(d, kArmL, kWrist);
      const double length = std::hypot(wrist.x() - elbow.x(), wrist.y() - elbow.y());
      const double aim = angleOf(elbow, wrist) + 0.6;
      const QPoint mouse(int(std::lround(elbow.x() + 1.5 * length * std::cos(aim))),
                         int(std::lround(elbow.y() + 1.5 * length * std::sin(aim))));
      f.drag({pixel(wrist), pixel(wrist) + QPoint(3, 3), mouse});
      const QPointF turned = pos(d, kArmL, kWrist);
      const double left = turnBetween(angleOf(elbow, turned), angleOf(elbow, mouse));
      QVERIFY2(std::fabs(left) < 0.03, qPrintable(QString::number(left)));
      QCOMPARE(pos(d, kArmL, kElbow), elbow);  // the elbow turned, the upper arm stayed
      // The wrist stays at the forearm's length from the elbow.
      QVERIFY(std::fabs(std::hypot(turned.x() - elbow.x(), turned.y() - elbow.y()) - length) < 0.5);

      movePanel(f).button(2)->click();  // leave, then come back: still 向き
      QVERIFY(f.window->runCommand(40031));
      QCOMPARE(d.edit.subMode, int(kToolAim));
    }
    // The next run starts with it too.
    WindowFixture next;
    next.window->keepPanelsIn(&settings);
    posing(next);
    QCOMPARE(next.doc().edit.subMode, int(kToolAim));
    QVERIFY(movePanel(next).button(MovePanel::kAimButton)->isChecked());
  }

  void eachDragIsOneStepUndoneAndRedoneWithTheKeys() {
    WindowFixture f;
    posing(f);
    Document& d = f.doc();
    const int ringSteps = f.window->undoRing().undoCount();
    QVERIFY(!enabled(f, kUndo));
    const PoseValues start = capturePoseValues(d);
    const QPointF startWrist = pos(d, kArmL, kWrist);

    bendElbow(f, 30);
    const PoseValues first = capturePoseValues(d);
    const QPointF firstWrist = pos(d, kArmL, kWrist);
    QVERIFY(!sameValues(first, start));
    // A click that moves nothing is no step.
    f.click(5, 5);

    movePanel(f).button(MovePanel::kIkButton)->click();  // an IK drag is a step as well
    f.drag({pixel(firstWrist), {640, 480}, {600, 330}});
    const PoseValues second = capturePoseValues(d);
    QVERIFY(!sameValues(second, first));
    QVERIFY(enabled(f, kUndo));
    QVERIFY(!enabled(f, kRedo));

    f.key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(sameValues(capturePoseValues(d), first));
    QVERIFY(std::hypot(pos(d, kArmL, kWrist).x() - firstWrist.x(),
                       pos(d, kArmL, kWrist).y() - firstWrist.y()) < 1e-3);  // the figure follows
    f.key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(sameValues(capturePoseValues(d), start));
    QVERIFY(std::hypot(pos(d, kArmL, kWrist).x() - startWrist.x(),
                       pos(d, kArmL, kWrist).y() - startWrist.y()) < 1e-3);
    QVERIFY(!enabled(f, kUndo));
    QVERIFY(enabled(f, kRedo));
    f.key(Qt::Key_Z, Qt::ControlModifier);  // nothing left: nothing changes
    QVERIFY(sameValues(capturePoseValues(d), start));

    f.key(Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(sameValues(capturePoseValues(d), first));
    f.key(Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(sameValues(capturePoseValues(d), second));
    QVERIFY(!enabled(f, kRedo));
    // The document's own ring took no step of all this.
    QCOMPARE(f.window->undoRing().undoCount(), ringSteps);

    // A new drag after an undo leaves nothing to redo.
    f.key(Qt::Key_Z, Qt::ControlModifier);
    movePanel(f).button(1050)->click();
    bendElbow(f, -20);
    QVERIFY(!enabled(f, kRedo));

    // Leaving the mode: undo is the document's again, and the next stay starts a new history.
    movePanel(f).button(2)->click();
    QCOMPARE(enabled(f, kUndo), f.window->undoRing().undoCount() != 0);
    QVERIFY(f.window->runCommand(40031));
    QVERIFY(!enabled(f, kUndo));
  }

  void viewButtonsTurnTheWholeFigureAsOneStep() {
    WindowFixture f;
    posing(f);
    Document& d = f.doc();
    const PoseValues start = capturePoseValues(d);
    const QPointF wrist = pos(d, kArmL, kWrist);
    MovePanel& panel = movePanel(f);
    panel.button(1062)->click();  // 横
    QCOMPARE(d.RadY, 1.5708f);
    QCOMPARE(d.RadX, 0.0f);
    QVERIFY(std::fabs(pos(d, kArmL, kWrist).x() - wrist.x()) > 1.0);  // the figure turned
    panel.button(1062)->click();  // already so: no step
    panel.button(1064)->click();  // 俯瞰
    QCOMPARE(d.RadX, 0.5236f);
    QCOMPARE(d.RadY, 0.0f);
    f.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(d.RadY, 1.5708f);
    f.key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(sameValues(capturePoseValues(d), start));
    QVERIFY(std::hypot(pos(d, kArmL, kWrist).x() - wrist.x(), pos(d, kArmL, kWrist).y() - wrist.y()) <
            1e-3);
    QVERIFY(!enabled(f, kUndo));
  }

  void theFiftyFirstStepDropsTheOldest() {
    WindowFixture f;
    posing(f);
    Document& d = f.doc();
    bendElbow(f, 4);
    const PoseValues oldestKept = capturePoseValues(d);
    for (int i = 1; i <= 50; ++i) bendElbow(f, i % 2 ? 3 : -2);
    const PoseValues last = capturePoseValues(d);
    for (int i = 0; i < 50; ++i) {
      QVERIFY(enabled(f, kUndo));
      f.key(Qt::Key_Z, Qt::ControlModifier);
    }
    QVERIFY(!enabled(f, kUndo));
    QVERIFY(sameValues(capturePoseValues(d), oldestKept));
    for (int i = 0; i < 50; ++i) f.key(Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(sameValues(capturePoseValues(d), last));
  }
};

QTEST_MAIN(TestPosing)
#include "tst_posing.moc"
