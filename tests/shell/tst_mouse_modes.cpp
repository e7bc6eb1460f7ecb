// Presses and drags on the canvas in each editing mode and temporary mode, the hover cursors,
// and the right button.

#include <QMenu>
#include <QtTest>

#include <cmath>

#include "shell/shape_layout.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {
QPointF pos(const Document& d, int line, int point) {
  const PointRecord& p = d.lines[size_t(line)].points[size_t(point)];
  return {p.vx, p.vy};
}
}  // namespace

class TestMouseModes : public QObject {
  Q_OBJECT

 private slots:
  void drawingLinesAndPoints() {
    WindowFixture f;
    QCOMPARE(f.doc().edit.mode, int(kModeAddLine));  // a new document adds lines
    f.click(100, 120);
    QCOMPARE(f.doc().lineCount(), 2);
    QCOMPARE(f.doc().edit.mode, int(kModeAddPoint));
    f.click(180, 90);
    f.click(260, 140);
    QCOMPARE(f.doc().pointCount(0), 4);
    QCOMPARE(pos(f.doc(), 0, 0), QPointF(100, 120));
    QCOMPARE(pos(f.doc(), 0, 2), QPointF(260, 140));
    QCOMPARE(f.doc().curPoint, 2);
    QCOMPARE(f.doc().lines[0].points[2].mode, 0);
    // A second line.
    f.window->runCommand(40003);
    f.click(400, 400);
    QCOMPARE(f.doc().lineCount(), 3);
    QCOMPARE(f.doc().curLine, 1);
    QCOMPARE(f.doc().lineOrder, (std::vector<int32_t>{0, 1, 2}));
    // One snapshot per press.
    QCOMPARE(f.window->undoRing().undoCount(), 4);
    QVERIFY(f.window->modified());
  }

  void selectAndDragAPoint() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 100}, {300, 100}});
    f.window->runCommand(40002);
    const int undoBefore = f.window->undoRing().undoCount();
    f.drag({{200, 100}, {210, 130}, {220, 150}});
    QCOMPARE(f.doc().curPoint, 1);
    QCOMPARE(pos(f.doc(), 0, 1), QPointF(220, 150));
    QCOMPARE(pos(f.doc(), 0, 0), QPointF(100, 100));
    QCOMPARE(f.doc().edit.subMode, kSubModeReleased);
    QCOMPARE(f.window->undoRing().undoCount(), undoBefore + 1);
    // The drag is one undo step.
    f.window->undo();
    QCOMPARE(pos(f.doc(), 0, 1), QPointF(200, 100));
  }

  // A press on another line's stroke selects that line, and dragging moves all of its points.
  void selectAndDragALineByItsStroke() {
    WindowFixture f;
    f.drawLine({{100, 100}, {300, 100}});
    f.drawLine({{100, 400}, {300, 400}});
    QCOMPARE(f.doc().curLine, 1);
    f.window->runCommand(40002);
    f.drag({{180, 100}, {190, 120}, {200, 130}});
    QCOMPARE(f.doc().curLine, 0);
    QCOMPARE(pos(f.doc(), 0, 0), QPointF(120, 130));
    QCOMPARE(pos(f.doc(), 0, 1), QPointF(320, 130));
    QCOMPARE(pos(f.doc(), 1, 0), QPointF(100, 400));
  }

  // In the object view a press in add-point mode only selects: no point is added.
  void objectViewPressOnlySelects() {
    WindowFixture f;
    f.drawLine({{100, 100}, {300, 100}});
    f.drawLine({{100, 400}, {300, 400}});
    f.doc().objectView = 1;
    f.click(300, 100);
    QCOMPARE(f.doc().pointCount(1), 3);
    QCOMPARE(f.doc().curLine, 0);
    QCOMPARE(f.doc().curPoint, 1);
  }

  // A click on empty canvas in select mode leaves no undo step.
  void missedClickWithdrawsItsSnapshot() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 100}});
    f.window->runCommand(40002);
    const int count = f.window->undoRing().undoCount();
    const int index = f.window->undoRing().index();
    f.click(700, 500);
    QCOMPARE(f.window->undoRing().undoCount(), count);
    QCOMPARE(f.window->undoRing().index(), index);
  }

  void moveAllDragsTheFigure() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 100}});
    f.drawLine({{300, 300}, {350, 320}});
    f.window->runCommand(40059);
    QCOMPARE(f.doc().edit.mode, int(kModeMoveAll));
    f.drag({{500, 500}, {520, 510}, {530, 520}});
    QCOMPARE(pos(f.doc(), 0, 0), QPointF(130, 120));
    QCOMPARE(pos(f.doc(), 1, 1), QPointF(380, 340));
    QCOMPARE(f.doc().VextX, 30.0f);
    QCOMPARE(f.doc().VextY, 20.0f);
  }

  void deformStretchesByTheHeldHandle() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 100}, {200, 200}, {100, 200}});
    f.window->runCommand(40062);
    QCOMPARE(f.doc().edit.mode, int(kModeDeform));
    // The right edge, halfway down: the width handle.
    QCOMPARE(f.window->hoverCursor({199, 150}), Qt::SizeHorCursor);
    QCOMPARE(f.window->hoverCursor({199, 101}), Qt::SizeBDiagCursor);
    QCOMPARE(f.window->hoverCursor({150, 150}), Qt::ArrowCursor);
    f.drag({{199, 150}, {250, 150}});
    QCOMPARE(f.doc().edit.subMode, 108);
    // x about the centre 150 by |(250 - 150) / (100 - 150)| = 2.
    QCOMPARE(pos(f.doc(), 0, 0), QPointF(50, 100));
    QCOMPARE(pos(f.doc(), 0, 1), QPointF(250, 100));
    QCOMPARE(pos(f.doc(), 0, 2), QPointF(250, 200));
  }

  void rangeSelectThenMovePoints() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 100}, {300, 100}});
    f.drawLine({{150, 300}, {250, 300}});
    f.window->runCommand(40069);
    QCOMPARE(f.doc().edit.tempMode, 22);
    QCOMPARE(f.window->hoverCursor({10, 10}), Qt::CrossCursor);
    f.drag({{180, 50}, {260, 320}});
    QCOMPARE(f.doc().edit.tempMode, 0);
    QCOMPARE(f.doc().lines[0].points[0].sel, 0);
    QCOMPARE(f.doc().lines[0].points[1].sel, 1);
    QCOMPARE(f.doc().lines[0].points[2].sel, 0);
    QCOMPARE(f.doc().lines[1].points[0].sel, 0);  // x 150 is left of the rectangle
    QCOMPARE(f.doc().lines[1].points[1].sel, 1);

    // Dragged up and to the left, the rectangle holds nothing.
    f.window->runCommand(40069);
    f.drag({{260, 320}, {180, 50}});
    QCOMPARE(f.doc().lines[0].points[1].sel, 0);
    QCOMPARE(f.doc().lines[1].points[1].sel, 0);

    f.window->runCommand(40069);
    f.drag({{180, 50}, {260, 320}});
    f.window->runCommand(40068);
    QCOMPARE(f.window->hoverCursor({0, 0}), Qt::SizeAllCursor);
    f.drag({{500, 500}, {505, 490}, {515, 480}});
    QCOMPARE(pos(f.doc(), 0, 1), QPointF(215, 80));
    QCOMPARE(pos(f.doc(), 1, 1), QPointF(265, 280));
    QCOMPARE(pos(f.doc(), 0, 0), QPointF(100, 100));
  }

  void straightLineTool() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 300}, {50, 30}});
    f.window->runCommand(40038);
    QCOMPARE(f.doc().edit.tempMode, 1);
    QCOMPARE(f.doc().edit.mode, int(kModeAddPoint));  // the editing mode stays
    const int count = f.window->undoRing().undoCount();
    f.drag({{10, 10}, {60, 30}, {110, 60}});
    QCOMPARE(f.doc().edit.tempMode, 0);
    QCOMPARE(pos(f.doc(), 0, 0), QPointF(10, 10));
    QCOMPARE(pos(f.doc(), 0, 1), QPointF(60, 35));
    QCOMPARE(pos(f.doc(), 0, 2), QPointF(110, 60));
    QCOMPARE(f.window->undoRing().undoCount(), count + 1);
    f.window->undo();
    QCOMPARE(pos(f.doc(), 0, 1), QPointF(200, 300));
  }

  void rotateAboutThePressedPoint() {
    WindowFixture f;
    f.drawLine({{100, 100}, {100, 50}});
    f.window->runCommand(40061);
    QCOMPARE(f.doc().edit.tempMode, 20);
    // A quarter turn: from straight up to the right of the press.
    f.drag({{100, 100}, {150, 100}});
    QCOMPARE(f.doc().edit.tempMode, 0);
    const QPointF tip = pos(f.doc(), 0, 1);
    QVERIFY(std::fabs(tip.x() - 150) < 1e-3);
    QVERIFY(std::fabs(tip.y() - 100) < 1e-3);
    QCOMPARE(pos(f.doc(), 0, 0), QPointF(100, 100));
    // The snapshot was taken when the command started.
    f.window->undo();
    QCOMPARE(pos(f.doc(), 0, 1), QPointF(100, 50));
  }

  void rightButton() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 100}});
    f.window->runCommand(40069);
    f.click(300, 300, Qt::RightButton);  // cancels the temporary mode
    QCOMPARE(f.doc().edit.tempMode, 0);
    QVERIFY(!f.window->contextMenu()->isVisible());
    f.click(300, 300, Qt::RightButton);
    QVERIFY(f.window->contextMenu()->isVisible());
    f.window->contextMenu()->hide();
  }

  void shapeLayouts() {
    Document d;
    d.create();
    d.lines.insert(d.lines.begin(), d.makeDefaultLine());
    auto withPoints = [&](int n) {
      d.lines[0].points.assign(size_t(n + 1), Document::makeDefaultPoint());
      for (int i = 0; i < n; ++i) d.lines[0].points[size_t(i)].mode = 2;
    };
    // Triangle, 7 points: two per side, apex first and last.
    withPoints(7);
    QVERIFY(layoutShape(d, 0, Shape::Triangle, 0, 0, 101, 60));
    const std::vector<QPointF> tri{{50, 0}, {25, 30}, {0, 60}, {50.5, 60}, {101, 60}, {75.5, 30}, {50, 0}};
    for (int i = 0; i < 7; ++i) QCOMPARE(pos(d, 0, i), tri[size_t(i)]);
    // Rectangle, 10 points: the first side takes the remainder; corners become vertices.
    withPoints(10);
    QVERIFY(layoutShape(d, 0, Shape::Rectangle, 0, 0, 90, 40));
    const std::vector<QPointF> rect{{0, 0}, {30, 0}, {60, 0}, {90, 0}, {90, 20}, {90, 40}, {45, 40}, {0, 40}, {0, 20}, {0, 0}};
    for (int i = 0; i < 10; ++i) QCOMPARE(pos(d, 0, i), rect[size_t(i)]);
    const std::vector<int> modes{1, 2, 2, 1, 2, 1, 2, 1, 2, 1};
    for (int i = 0; i < 10; ++i) QCOMPARE(d.lines[0].points[size_t(i)].mode, modes[size_t(i)]);
    // Ellipse, 5 points: quarter turns, the last point meeting the first.
    withPoints(5);
    QVERIFY(layoutShape(d, 0, Shape::Ellipse, 0, 0, 200, 100));
    QCOMPARE(pos(d, 0, 0), QPointF(200, 50));
    QVERIFY(std::fabs(pos(d, 0, 1).y() - 100) < 1e-3 && std::fabs(pos(d, 0, 1).x() - 100) < 1e-2);
    QVERIFY(std::fabs(pos(d, 0, 4).x() - 200) < 1e-3);
    QCOMPARE(d.lines[0].points[2].mode, 0);
    // Too few points: nothing moves.
    withPoints(4);
    QVERIFY(!layoutShape(d, 0, Shape::Rectangle, 0, 0, 90, 40));
    QCOMPARE(pos(d, 0, 1), QPointF(0, 0));
  }
};

QTEST_MAIN(TestMouseModes)
#include "tst_mouse_modes.moc"
