// Motion mode: entering it (refusals, the reference question), posing a joint line with
// co-rotating points by left and right drags, the whole-figure tools, the two ways out of the
// mode, and the initial pose.

// The script engine has a member named like Qt's `emit` keyword: it comes before any Qt header.
#include "script/script_engine.h"

#include <QPushButton>
#include <QtTest>

#include <cmath>

#include "engine/face_reader.h"
#include "engine/motion_drag.h"
#include "engine/param_splice.h"
#include "model/project_file.h"
#include "shell/motion_mode.h"
#include "shell/panels/control/control_panel.h"
#include "shell/panels/control/move_panel.h"
#include "joint_figure.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::buildJointFigure;
using tovala::test::WindowFixture;

namespace {

constexpr double kTol = 1e-3;

// The joint figure with its joint selected, in select mode.
void buildFigure(WindowFixture& f) {
  buildJointFigure(f);
  f.doc().curPoint = 0;
  f.window->runCommand(40002);
}

// Enters motion mode answering the reference question with Yes.
void enterMotion(WindowFixture& f) {
  f.ui.queueAnswer(Answer::Yes);
  QVERIFY(f.window->runCommand(40031));
  QCOMPARE(f.doc().edit.mode, int(kModeMotion));
}

void rightDrag(WindowFixture& f, QPoint from, QPoint to) {
  QTest::mousePress(f.viewport(), Qt::RightButton, Qt::NoModifier, f.at(from.x(), from.y()));
  f.move(to.x(), to.y(), Qt::RightButton);
  QTest::mouseRelease(f.viewport(), Qt::RightButton, Qt::NoModifier, f.at(to.x(), to.y()));
}

QPointF pos(const Document& d, int line, int point) {
  const PointRecord& p = d.lines[size_t(line)].points[size_t(point)];
  return {p.vx, p.vy};
}
bool near(QPointF a, QPointF b) {
  return std::fabs(a.x() - b.x()) < kTol && std::fabs(a.y() - b.y()) < kTol;
}

// Where a point at `offset` from the joint goes when the joint turns by `a` about its Z axis.
QPointF turnedZ(QPointF offset, double a) {
  return {300 + std::cos(a) * offset.x() + std::sin(a) * offset.y(),
          300 - std::sin(a) * offset.x() + std::cos(a) * offset.y()};
}

MovePanel& movePanel(WindowFixture& f) {
  return *static_cast<MovePanel*>(f.window->panel(PanelId::Move));
}

std::vector<PointRecord> allPoints(const Document& d) {
  std::vector<PointRecord> out;
  for (const LineRecord& l : d.lines) out.insert(out.end(), l.points.begin(), l.points.end());
  return out;
}
bool samePositionsAndMotion(const std::vector<PointRecord>& a, const std::vector<PointRecord>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].vx != b[i].vx || a[i].vy != b[i].vy || a[i].vz != b[i].vz) return false;
    if (a[i].radx != b[i].radx || a[i].rady != b[i].rady || a[i].radz != b[i].radz) return false;
    if (a[i].vdx != b[i].vdx || a[i].vdy != b[i].vdy || a[i].vdz != b[i].vdz) return false;
  }
  return true;
}

}  // namespace

class TestMotionMode : public QObject {
  Q_OBJECT

 private slots:
  void draggingTheJointTurnsItsPointsAndLeavingRestores() {
    WindowFixture f;
    buildFigure(f);
    Document& d = f.doc();
    enterMotion(f);
    QCOMPARE(f.ui.shown.back().text, std::string(kNoReferenceQuestion));
    QCOMPARE(f.ui.shown.back().caption, std::string("メッセージ"));
    QCOMPARE(d.lines[1].points[0].v0x, 500.0f);  // Yes made the positions the references
    QCOMPARE(d.edit.subMode, int(kToolPointRotate));
    QVERIFY(movePanel(f).isVisible());
    QVERIFY(movePanel(f).button(1050)->isChecked());
    QVERIFY(!movePanel(f).button(1047)->isChecked());
    // Each tool's tip tells a left drag from a right one; a right drag bends in the picture
    // plane with the point rotation and goes into depth with the two moves.
    for (int id : {1047, 1048, 1049, 1050}) {
      const QString tip = movePanel(f).button(id)->toolTip();
      QVERIFY(tip.contains(QString::fromUtf8("左ドラッグ")));
      QVERIFY(tip.contains(QString::fromUtf8("右ドラッグ")));
    }
    QVERIFY(movePanel(f).button(1050)->toolTip().contains(
        QString::fromUtf8("右ドラッグ: 画面の面内で曲げる")));
    for (int id : {1047, 1049})
      QVERIFY(movePanel(f).button(id)->toolTip().contains(QString::fromUtf8("右ドラッグ: 奥行き")));
    auto& control = *static_cast<ControlPanel*>(f.window->panel(PanelId::Control));
    QVERIFY(control.commandButton(40031)->isChecked());

    // The right button turns the joint about its Z axis by 0.01 radian per pixel.
    const int undoCount = f.window->undoRing().undoCount();
    rightDrag(f, {300, 300}, {300, 350});
    QCOMPARE(d.edit.dragAxis, 0);
    QVERIFY(std::fabs(d.lines[0].points[0].radz - 0.5) < 1e-6);
    QVERIFY(near(pos(d, 0, 0), {300, 300}));
    QVERIFY(near(pos(d, 0, 1), turnedZ({100, 0}, 0.5)));
    QVERIFY(near(pos(d, 0, 2), turnedZ({0, -100}, 0.5)));
    QVERIFY(near(pos(d, 1, 0), turnedZ({200, 0}, 0.5)));
    QVERIFY(near(pos(d, 1, 1), turnedZ({300, 0}, 0.5)));

    // Dragging further in steps ends where one long drag would: each step undoes the last.
    QTest::mousePress(f.viewport(), Qt::RightButton, Qt::NoModifier, f.at(300, 300));
    for (int y = 290; y >= 250; y -= 10) f.move(300, y, Qt::RightButton);
    QTest::mouseRelease(f.viewport(), Qt::RightButton, Qt::NoModifier, f.at(300, 250));
    QVERIFY(std::fabs(d.lines[0].points[0].radz) < 1e-6);
    QVERIFY(near(pos(d, 0, 1), {400, 300}));
    QVERIFY(near(pos(d, 1, 1), {600, 300}));

    // The left button turns about X and Y: the points leave the canvas plane but keep their
    // distance from the joint.
    f.drag({{300, 300}, {330, 300}});
    QVERIFY(std::fabs(d.lines[0].points[0].rady + 0.3) < 1e-6);
    const PointRecord& p = d.lines[0].points[1];
    QVERIFY(std::fabs(p.vz) > 10);
    QVERIFY(std::fabs(std::hypot(p.vx - 300.0, p.vy - 300.0, double(p.vz)) - 100) < kTol);
    // Posing takes no step of the document's ring; 元に戻す walks the posing history instead.
    QCOMPARE(f.window->undoRing().undoCount(), undoCount);
    QVERIFY(f.window->commands().state(*f.window, 40021).enabled);

    // "線を戻して終了": every point back on its reference, the motion values kept.
    movePanel(f).button(2)->click();
    QCOMPARE(d.edit.mode, int(kModeSelect));
    QVERIFY(!movePanel(f).isVisible());
    QCOMPARE(pos(d, 0, 1), QPointF(400, 300));
    QCOMPARE(d.lines[0].points[1].vz, 0.0f);
    QCOMPARE(pos(d, 1, 1), QPointF(600, 300));
    QVERIFY(std::fabs(d.lines[0].points[0].rady + 0.3) < 1e-6);
    QVERIFY(control.commandButton(40002)->isChecked());
  }

  void leavingWithoutRestoringKeepsThePose() {
    WindowFixture f;
    buildFigure(f);
    Document& d = f.doc();
    enterMotion(f);
    rightDrag(f, {300, 300}, {300, 350});
    const QPointF posed = pos(d, 1, 0);
    QVERIFY(near(posed, turnedZ({200, 0}, 0.5)));

    movePanel(f).button(1)->click();  // "線を戻さず終了"
    QCOMPARE(d.edit.mode, int(kModeSelect));
    QVERIFY(!movePanel(f).isVisible());
    QCOMPARE(pos(d, 1, 0), posed);
    QCOMPARE(d.lines[1].points[0].v0x, 500.0f);

    // The kept pose is one undo step from the figure before the mode, and comes back by redo.
    const std::vector<uint8_t> posedBytes = writeProjectPayload(d);
    f.window->undo();
    QCOMPARE(pos(d, 1, 0), QPointF(500, 300));
    f.window->redo();
    QVERIFY(writeProjectPayload(d) == posedBytes);

    // Entering again asks nothing and shows the same pose, rebuilt from the references.
    f.ui.reset();
    QVERIFY(f.window->runCommand(40031));
    QVERIFY(f.ui.shown.empty());
    QVERIFY(near(pos(d, 1, 0), posed));
    QVERIFY(near(pos(d, 0, 2), turnedZ({0, -100}, 0.5)));

    // Closing the panel leaves the way Cancel does.
    movePanel(f).close();
    QCOMPARE(d.edit.mode, int(kModeSelect));
    QCOMPARE(pos(d, 1, 0), QPointF(500, 300));
  }

  void refusalsAndTheReferenceQuestion() {
    WindowFixture f;
    buildFigure(f);
    Document& d = f.doc();

    d.modelScale = 2.0f;
    QVERIFY(!f.window->commands().state(*f.window, 40031).enabled);
    QVERIFY(!f.window->runCommand(40031));
    onModeExe(*f.window);
    QCOMPARE(f.ui.lastText(), std::string(kScaledModelRefusal));
    QCOMPARE(d.edit.mode, int(kModeSelect));
    d.modelScale = 1.0f;

    d.curLine = 7;
    f.ui.reset();
    onModeExe(*f.window);
    QCOMPARE(f.ui.lastText(), std::string(kNoValidLine));
    QCOMPARE(f.ui.shown.back().caption, std::string("注意"));
    QCOMPARE(d.edit.mode, int(kModeSelect));
    d.curLine = 0;

    // Cancel stays out of the mode; No enters it with the references still unset.
    f.ui.queueAnswer(Answer::Cancel);
    f.window->runCommand(40031);
    QCOMPARE(d.edit.mode, int(kModeSelect));
    QVERIFY(!movePanel(f).isVisible());
    f.ui.queueAnswer(Answer::No);
    f.window->runCommand(40031);
    QCOMPARE(d.edit.mode, int(kModeMotion));
    QCOMPARE(d.lines[1].points[0].v0x, 0.0f);
    // Again while in the mode: it stays, the tool is kept.
    movePanel(f).button(1049)->click();
    f.ui.reset();
    f.window->runCommand(40031);
    QCOMPARE(d.edit.mode, int(kModeMotion));
    QCOMPARE(d.edit.subMode, int(kToolPointMove));
    QVERIFY(f.ui.shown.empty());
  }

  // The whole figure moved and turned: Yes to the reference question takes that movement and
  // rotation out of the references, so the figure enters the mode where it was drawn.
  void referenceQuestionOnATurnedFigureKeepsItWhereItIs() {
    WindowFixture f;
    buildFigure(f);
    Document& d = f.doc();
    d.VextX = 30, d.VextY = -10;
    d.RadZ = 0.4f, d.RadY = -0.2f;
    const auto drawn = allPoints(d);
    enterMotion(f);
    QCOMPARE(f.ui.shown.back().text, std::string(kNoReferenceQuestion));
    const auto shown = allPoints(d);
    for (size_t i = 0; i < drawn.size(); ++i) {
      if (drawn[i].kind == -1) continue;  // sentinels are not posed
      QVERIFY2(near({shown[i].vx, shown[i].vy}, {drawn[i].vx, drawn[i].vy}),
               qPrintable(QString("point %1").arg(i)));
      QVERIFY(std::fabs(shown[i].vz - drawn[i].vz) < kTol);
    }
    QCOMPARE(d.RadZ, 0.4f);  // the whole-figure values stay
  }

  // 全て基準 on the pose kept when leaving the mode, the figure moved and turned as a whole:
  // entering the mode again shows that pose, not one moved and turned twice.
  void allReferencesOnATurnedPoseEnterTheSamePose() {
    WindowFixture f;
    buildFigure(f);
    Document& d = f.doc();
    enterMotion(f);
    movePanel(f).button(1)->click();  // "線を戻さず終了"
    d.VextX = 25, d.RadZ = -0.3f, d.RadX = 0.2f;
    QVERIFY(f.window->runCommand(40031));  // no question: the references are set
    movePanel(f).button(1)->click();
    const auto posed = allPoints(d);
    QVERIFY(!near(pos(d, 1, 0), QPointF(500, 300)));

    f.ui.queueAnswer(Answer::Yes);
    QVERIFY(f.window->runCommand(40026));  // "全て基準"
    f.ui.reset();
    QVERIFY(f.window->runCommand(40031));
    QVERIFY(f.ui.shown.empty());
    const auto again = allPoints(d);
    for (size_t i = 0; i < posed.size(); ++i)
      QVERIFY2(near({again[i].vx, again[i].vy}, {posed[i].vx, posed[i].vy}),
               qPrintable(QString("point %1").arg(i)));
  }

  // Reading a face while posing is refused before a file is asked for; nothing changes and the
  // mode stays.
  void faceDataIsRefusedInMotionMode() {
    WindowFixture f;
    buildFigure(f);
    Document& d = f.doc();
    enterMotion(f);
    rightDrag(f, {300, 300}, {300, 350});
    const auto before = allPoints(d);
    const int lines = d.lineCount(), objects = d.objectCount();
    f.ui.reset();
    f.ui.queuePath(std::string("unused.fmk"));
    f.window->runCommand(40049);
    QCOMPARE(f.ui.lastText(), std::string(kFaceInMotionRefusal));
    QCOMPARE(f.ui.shown.back().caption, std::string("注意"));
    QVERIFY(f.ui.fileRequests.empty());
    QCOMPARE(d.edit.mode, int(kModeMotion));
    QVERIFY(movePanel(f).isVisible());
    QCOMPARE(d.lineCount(), lines);
    QCOMPARE(d.objectCount(), objects);
    QVERIFY(samePositionsAndMotion(before, allPoints(d)));
  }

  void wholeFigureTools() {
    WindowFixture f;
    buildFigure(f);
    Document& d = f.doc();
    enterMotion(f);
    movePanel(f).button(1047)->click();
    QCOMPARE(d.edit.subMode, int(kToolWholeMove));
    QVERIFY(movePanel(f).button(1047)->isChecked());
    QVERIFY(!movePanel(f).button(1050)->isChecked());

    rightDrag(f, {50, 50}, {60, 80});
    QCOMPARE(d.VextZ, 30.0f);
    QCOMPARE(d.VextX, 0.0f);
    QCOMPARE(d.VextY, 0.0f);
    f.drag({{50, 50}, {70, 90}});
    QCOMPARE(d.VextX, 20.0f);
    QCOMPARE(d.VextY, 40.0f);
    QCOMPARE(d.VextZ, 30.0f);

    movePanel(f).button(1048)->click();
    QCOMPARE(d.edit.subMode, int(kToolWholeRotate));
    f.drag({{50, 50}, {50, 450}});  // 400 pixels down: 4 radians, held at 3.1416
    QCOMPARE(d.RadX, 3.1416f);
    QCOMPARE(d.RadY, 0.0f);
  }

  void pointToolsOnAPlainPointChangeNothing() {
    WindowFixture f;
    buildFigure(f);
    Document& d = f.doc();
    d.curLine = 1;  // a plain point of the plain line
    d.curPoint = 0;
    enterMotion(f);
    const auto before = allPoints(d);
    f.drag({{500, 300}, {540, 350}});
    rightDrag(f, {500, 300}, {500, 360});
    movePanel(f).button(1049)->click();
    f.drag({{500, 300}, {540, 350}});
    QCOMPARE(d.curLine, 1);
    QVERIFY(samePositionsAndMotion(before, allPoints(d)));
  }

  void initialPoseClearsTheMotion() {
    WindowFixture f;
    buildFigure(f);
    Document& d = f.doc();
    enterMotion(f);
    rightDrag(f, {300, 300}, {300, 350});
    movePanel(f).button(1047)->click();
    f.drag({{50, 50}, {70, 90}});
    f.ui.reset();
    movePanel(f).button(40046)->click();  // "初期値"
    QVERIFY(f.ui.shown.empty());
    QCOMPARE(d.VextX, 0.0f);
    QCOMPARE(d.VextY, 0.0f);
    QCOMPARE(d.lines[0].points[0].radz, 0.0f);
    QCOMPARE(pos(d, 0, 1), QPointF(400, 300));
    QCOMPARE(pos(d, 1, 1), QPointF(600, 300));
    QCOMPARE(d.edit.mode, int(kModeMotion));

    // Outside the mode, on a figure without references: the notice, and nothing changes.
    movePanel(f).button(2)->click();
    f.drawLine({{700, 100}, {750, 100}});
    d.modelScale = 2.0f;
    d.lines[0].points[0].vdx = 5;
    const int undoBefore = f.window->undoRing().undoCount();
    QVERIFY(f.window->runCommand(40046));
    QCOMPARE(f.ui.lastText(), std::string(kNoReferenceNotice));
    QCOMPARE(d.modelScale, 2.0f);
    QCOMPARE(d.lines[0].points[0].vdx, 5.0f);
    QCOMPARE(f.window->undoRing().undoCount(), undoBefore);
  }
};

QTEST_MAIN(TestMotionMode)
#include "tst_motion_mode.moc"
