// The move panel's IK tool on the body model: a left drag on the left wrist brings it to the
// mouse by bending that arm, and the right hand stays where it was; with 関節数 1 a drag bends
// the elbow alone.

// The script engine has a member named like Qt's `emit` keyword: it comes before any Qt header.
#include "script/script_engine.h"

#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <cmath>

#include "engine/motion_drag.h"
#include "shell/panels/control/move_panel.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {

constexpr int kArmL = 8, kArmR = 14, kWrist = 2;

QPointF pos(const Document& d, int line, int point) {
  const PointRecord& p = d.lines[size_t(line)].points[size_t(point)];
  return {p.vx, p.vy};
}

}  // namespace

class TestIkTool : public QObject {
  Q_OBJECT

 private slots:
  void dragMovesOneHandOnly() {
    WindowFixture f;
    f.window->resize(1200, 1000);
    QVERIFY(f.window->runCommand(40050));  // the body model
    QVERIFY(f.window->runCommand(40031));  // motion mode
    Document& d = f.doc();
    QCOMPARE(d.edit.mode, int(kModeMotion));
    auto& panel = *static_cast<MovePanel*>(f.window->panel(PanelId::Move));
    QVERIFY(panel.button(MovePanel::kIkButton)->toolTip().contains(QString::fromUtf8("左ドラッグ")));
    QCOMPARE(panel.findChild<QSpinBox*>("ikChain")->value(), 2);
    panel.button(MovePanel::kIkButton)->click();
    QCOMPARE(d.edit.subMode, int(kToolIK));
    QVERIFY(panel.button(MovePanel::kIkButton)->isChecked());

    const QPointF leftWrist = pos(d, kArmL, kWrist), rightWrist = pos(d, kArmR, kWrist);
    const int undoCount = f.window->undoRing().undoCount();
    const QPoint from(int(leftWrist.x()), int(leftWrist.y())), to(600, 330);
    f.drag({from, {640, 480}, {610, 400}, to});

    const QPointF moved = pos(d, kArmL, kWrist);
    QVERIFY2(std::hypot(moved.x() - to.x(), moved.y() - to.y()) < 1.0,
             qPrintable(QString("%1 %2").arg(moved.x()).arg(moved.y())));
    QCOMPARE(pos(d, kArmR, kWrist), rightWrist);
    QVERIFY(d.lines[kArmL].points[1].radz != 0.0f);  // the elbow bent
    QCOMPARE(d.lines[kArmR].points[1].radz, 0.0f);
    // Posing takes no undo step of its own, as with the other motion tools.
    QCOMPARE(f.window->undoRing().undoCount(), undoCount);

    // With 関節数 1 only the elbow bends: the right shoulder keeps its value.
    panel.findChild<QSpinBox*>("ikChain")->setValue(1);
    const QPoint right(int(rightWrist.x()), int(rightWrist.y()));
    f.drag({right, right + QPoint(-40, -30)});
    QVERIFY(d.lines[kArmR].points[1].radz != 0.0f);
    QCOMPARE(d.lines[kArmR].points[0].radz, 0.0f);
  }
};

QTEST_MAIN(TestIkTool)
#include "tst_ik_tool.moc"
