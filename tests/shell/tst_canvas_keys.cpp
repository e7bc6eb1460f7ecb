// The canvas view (zoom, scroll bars, the window-to-canvas mapping) and the key table, including
// the side view on Z.

#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

class TestCanvasKeys : public QObject {
  Q_OBJECT

 private slots:
  void scrollRecordRules() {
    ScrollRecord r{0, 1000, 300, 0};
    QCOMPARE(applyScroll(r, ScrollRequest::LineDown), 100);
    QCOMPARE(applyScroll(r, ScrollRequest::PageDown), 300);
    QCOMPARE(applyScroll(r, ScrollRequest::Bottom), 700);
    QCOMPARE(applyScroll(r, ScrollRequest::LineDown), 700);  // held at maximum - page
    QCOMPARE(applyScroll(r, ScrollRequest::PageUp), 500);
    QCOMPARE(applyScroll(r, ScrollRequest::Thumb, 2000), 700);
    QCOMPARE(applyScroll(r, ScrollRequest::End), 700);
    QCOMPARE(applyScroll(r, ScrollRequest::Top), 0);
    QCOMPARE(applyScroll(r, ScrollRequest::LineUp), 0);
    // Content smaller than the page: every request stays at 0.
    ScrollRecord small{0, 250, 400, 0};
    for (ScrollRequest q : {ScrollRequest::LineDown, ScrollRequest::PageDown, ScrollRequest::Bottom,
                            ScrollRequest::Thumb})
      QCOMPARE(applyScroll(small, q, 100), 0);
  }

  void canvasMapping() {
    ViewState v;
    v.zoom = 2.0f;
    v.scrollX = 100;
    v.scrollY = 50;
    QCOMPARE(v.toCanvas(10, 10, 0, 0), (CanvasPoint{55, 30}));
    QCOMPARE(v.toCanvas(11, 11, 5, -3), (CanvasPoint{60, 27}));  // 55.5 + 5 truncated
    QCOMPARE(v.toWindowX(55), 10.0f);
    v.zoom = 0.5f;
    v.scrollX = v.scrollY = 0;
    QCOMPARE(v.toCanvas(3, 7, 0, 0), (CanvasPoint{6, 14}));
  }

  void zoomKeysDoubleAndHalveWithinLimits() {
    WindowFixture f;
    ViewState& v = f.window->view();
    QCOMPARE(v.zoom, 1.0f);
    for (float expected : {2.0f, 4.0f, 8.0f, 8.0f, 8.0f}) {
      f.key(Qt::Key_Plus, Qt::KeypadModifier);
      QCOMPARE(v.zoom, expected);
    }
    QCOMPARE(v.contentWidth, 8000.0f);
    for (float expected : {4.0f, 2.0f, 1.0f, 0.5f, 0.25f, 0.125f, 0.125f}) {
      f.key(Qt::Key_Minus, Qt::KeypadModifier);
      QCOMPARE(v.zoom, expected);
    }
    QCOMPARE(v.contentHeight, 150.0f);
  }

  void zoomAndResizeReturnToTheCorner() {
    WindowFixture f;
    ViewState& v = f.window->view();
    QScrollBar* vbar = f.window->canvas()->verticalScrollBar();
    QScrollBar* hbar = f.window->canvas()->horizontalScrollBar();
    // The 1200-pixel canvas is taller than the window: a step is a tenth of it.
    vbar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(v.vertical.pos, 120);
    QCOMPARE(v.scrollY, 120.0f);
    QCOMPARE(vbar->value(), 120);
    vbar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(v.vertical.pos, 360);
    hbar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(v.horizontal.pos, 100);
    // The mapping now includes the offsets.
    const QPoint w(10, 20);
    QCOMPARE(f.window->canvas()->toCanvas(w), (CanvasPoint{110, 380}));

    f.key(Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(v.vertical.pos, 0);
    QCOMPARE(v.horizontal.pos, 0);
    QCOMPARE(v.scrollX, 0.0f);
    QCOMPARE(v.vertical.max, 2400);
    vbar->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(v.vertical.pos, 2400 - v.vertical.page);
    f.window->resize(700, 500);
    QTest::qWait(20);
    QCOMPARE(v.vertical.pos, 0);
    QCOMPARE(v.vertical.page, f.viewport()->height());
  }

  // Ctrl with the wheel or with + - 0 zooms about the mouse: the canvas point under it stays.
  void desktopZoomKeepsThePointUnderTheMouse() {
    WindowFixture f;
    ViewState& v = f.window->view();
    CanvasWidget* canvas = f.window->canvas();
    auto wheel = [&](QPoint at, int delta, Qt::KeyboardModifiers mods) {
      QWheelEvent e(at, f.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                    mods, Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(f.viewport(), &e);
    };
    auto near = [](CanvasPoint a, CanvasPoint b) {
      return std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1;
    };

    const QPoint m(300, 200);
    wheel(m, 120, Qt::ControlModifier);
    QCOMPARE(v.zoom, 2.0f);
    QCOMPARE(v.scrollX, 300.0f);  // canvas (300, 200) times 2, less the mouse position
    QCOMPARE(v.scrollY, 200.0f);
    QCOMPARE(canvas->horizontalScrollBar()->value(), 300);
    QCOMPARE(canvas->toCanvas(m), (CanvasPoint{300, 200}));
    // Two half notches of a fine wheel make one step.
    wheel(m, 60, Qt::ControlModifier);
    QCOMPARE(v.zoom, 2.0f);
    wheel(m, 60, Qt::ControlModifier);
    QCOMPARE(v.zoom, 4.0f);
    QCOMPARE(v.scrollX, 900.0f);
    QCOMPARE(v.contentWidth, 4000.0f);
    QCOMPARE(canvas->toCanvas(m), (CanvasPoint{300, 200}));

    // A point off the pixel grid stays within one pixel on the way in and out.
    const QPoint odd(251, 163);
    for (int delta : {120, -120, -120, -120}) {
      const CanvasPoint before = canvas->toCanvas(odd);
      wheel(odd, delta, Qt::ControlModifier);
      QVERIFY2(near(canvas->toCanvas(odd), before), qPrintable(QString::number(v.zoom)));
    }
    QCOMPARE(v.zoom, 1.0f);
    // Content smaller than the view has nothing to scroll: the canvas sits at the corner.
    wheel(odd, -240, Qt::ControlModifier);
    QCOMPARE(v.zoom, 0.25f);
    QCOMPARE(v.scrollX, 0.0f);
    QCOMPARE(v.scrollY, 0.0f);

    // Without Ctrl the wheel scrolls and leaves the zoom alone.
    wheel(m, 240, Qt::ControlModifier);
    QCOMPARE(v.zoom, 1.0f);
    const float scrollY = v.scrollY;
    wheel(m, -120, Qt::NoModifier);
    QCOMPARE(v.zoom, 1.0f);
    QVERIFY(v.scrollY > scrollY);

    // The keys zoom about the mouse too, and Ctrl+0 goes back to 100 %.
    QCursor::setPos(f.viewport()->mapToGlobal(m));
    if (f.viewport()->mapFromGlobal(QCursor::pos()) != m) QSKIP("no pointer to place");
    const CanvasPoint before = canvas->toCanvas(m);
    for (int k : {Qt::Key_Plus, Qt::Key_Equal, Qt::Key_Plus}) {
      f.key(k, Qt::ControlModifier);
      QVERIFY(near(canvas->toCanvas(m), before));
    }
    QCOMPARE(v.zoom, 8.0f);
    f.key(Qt::Key_Plus, Qt::ControlModifier);  // at the limit: nothing moves
    QCOMPARE(v.zoom, 8.0f);
    QVERIFY(near(canvas->toCanvas(m), before));
    f.key(Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(v.zoom, 4.0f);
    QVERIFY(near(canvas->toCanvas(m), before));
    f.key(Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(v.zoom, 1.0f);
    QVERIFY(near(canvas->toCanvas(m), before));
    // The keypad key without Ctrl keeps its way: the view returns to the corner.
    f.key(Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(v.zoom, 2.0f);
    QCOMPARE(v.scrollX, 0.0f);
  }

  // The 表示 menu's zoom items: steps about the middle of the view, 100 % and fit to window.
  void menuZoomAndFit() {
    QCOMPARE(ViewState::fitZoom(1000, 1200, 600, 600), 0.5f);
    QCOMPARE(ViewState::fitZoom(1000, 1200, 800, 300), 0.25f);
    QCOMPARE(ViewState::fitZoom(1000, 1200, 50, 50), 0.125f);  // held at the limits
    QCOMPARE(ViewState::fitZoom(10, 10, 1000, 1000), 8.0f);

    WindowFixture f;
    ViewState& v = f.window->view();
    CanvasWidget* canvas = f.window->canvas();
    const QSize client = f.viewport()->size();
    const QPoint centre(client.width() / 2, client.height() / 2);
    const CanvasPoint middle = canvas->toCanvas(centre);
    QVERIFY(f.window->runCommand(kCommandZoomIn));
    QCOMPARE(v.zoom, 2.0f);
    QCOMPARE(canvas->toCanvas(centre), middle);
    QVERIFY(f.window->runCommand(kCommandZoomIn));
    QVERIFY(f.window->runCommand(kCommandZoomOut));
    QCOMPARE(v.zoom, 2.0f);
    QCOMPARE(canvas->toCanvas(centre), middle);
    QVERIFY(f.window->runCommand(kCommandActualSize));
    QCOMPARE(v.zoom, 1.0f);
    QCOMPARE(canvas->toCanvas(centre), middle);

    QVERIFY(f.window->runCommand(kCommandFitToWindow));
    const float expected =
        std::min(float(client.width()) / 1000.0f, float(client.height()) / 1200.0f);
    QVERIFY(std::abs(v.zoom - expected) < 1e-5f);
    // The whole canvas shows, and it touches the view's edge on one side: no larger zoom fits.
    QVERIFY(v.contentWidth <= float(client.width()));
    QVERIFY(v.contentHeight <= float(client.height()));
    QVERIFY(v.contentWidth > float(client.width() - 1) ||
            v.contentHeight > float(client.height() - 1));
    QCOMPARE(v.scrollX, 0.0f);
    QCOMPARE(v.scrollY, 0.0f);
    QCOMPARE(canvas->verticalScrollBar()->maximum(), 0);

    // From a zoom between powers of two the steps stop at the limits instead of passing them.
    v.zoom = 6.0f;
    QVERIFY(f.window->runCommand(kCommandZoomIn));
    QCOMPARE(v.zoom, 8.0f);
    QVERIFY(!f.window->commands().state(*f.window, kCommandZoomIn).enabled);
    QVERIFY(!f.window->runCommand(kCommandZoomIn));
    v.zoom = 0.2f;
    QVERIFY(f.window->runCommand(kCommandZoomOut));
    QCOMPARE(v.zoom, 0.125f);
    QVERIFY(!f.window->commands().state(*f.window, kCommandZoomOut).enabled);
  }

  void displayBufferIsShown() {
    WindowFixture f;
    ImageSlot* display = f.doc().workImages.image(kDisplayImage);
    QVERIFY(display);
    display->setPixel(3, 2, 0x0000FF);  // red, as 0x00BBGGRR
    f.window->canvas()->showDisplay();
    const QImage& pic = f.window->canvas()->picture();
    QCOMPARE(pic.size(), QSize(1000, 1200));
    QCOMPARE(pic.pixelColor(3, 2), QColor(255, 0, 0));
    QCOMPARE(pic.pixelColor(0, 0), QColor(253, 254, 255));
  }

  void keyTable() {
    WindowFixture f;
    f.drawLine({{100, 100}, {150, 110}, {200, 100}});
    QCOMPARE(f.doc().edit.mode, int(kModeAddPoint));
    f.key(Qt::Key_S, Qt::ShiftModifier);
    QCOMPARE(f.doc().edit.mode, int(kModeSelect));
    f.key(Qt::Key_L, Qt::ShiftModifier);
    QCOMPARE(f.doc().edit.mode, int(kModeAddLine));
    f.key(Qt::Key_P, Qt::ShiftModifier);
    QCOMPARE(f.doc().edit.mode, int(kModeAddPoint));

    // Backspace deletes the selected (last) point.
    QCOMPARE(f.doc().pointCount(0), 4);
    f.key(Qt::Key_Backspace);
    QCOMPARE(f.doc().pointCount(0), 3);
    // Ctrl+Z brings it back, Ctrl+Y removes it again.
    f.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.doc().pointCount(0), 4);
    f.key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(f.doc().pointCount(0), 3);
    // Ctrl+Shift+Z is undo only: no side view, no Shift row.
    f.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.doc().pointCount(0), 4);
    QVERIFY(!f.window->sideView());
  }

  void sideViewWhileZIsHeld() {
    WindowFixture f;
    f.drawLine({{100, 100}, {300, 200}});
    f.doc().lines[0].points[1].vz = 40.0f;
    const std::vector<PointRecord> before = f.doc().lines[0].points;

    QTest::keyPress(f.window.get(), Qt::Key_Z);
    QVERIFY(f.window->sideView());
    QCOMPARE(f.doc().lines[0].points[0].vx, 500.0f);  // half of 1000 + z 0
    QCOMPARE(f.doc().lines[0].points[1].vx, 540.0f);
    QCOMPARE(f.doc().lines[0].points[1].vz, 300.0f);
    // Auto-repeat presses leave it on; no snapshot is taken meanwhile.
    QTest::keyPress(f.window.get(), Qt::Key_Z, Qt::NoModifier);
    QVERIFY(f.window->sideView());
    const int undoBefore = f.window->undoRing().undoCount();
    f.window->session().snapshot("OnTovPointSpm0");
    QCOMPARE(f.window->undoRing().undoCount(), undoBefore);
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Z, Qt::NoModifier, QString("z"), true);
    QCoreApplication::sendEvent(f.window.get(), &repeat);
    QVERIFY(f.window->sideView());

    QTest::keyRelease(f.window.get(), Qt::Key_Z);
    QVERIFY(!f.window->sideView());
    for (size_t i = 0; i < before.size(); ++i) {
      QCOMPARE(f.doc().lines[0].points[i].vx, before[i].vx);
      QCOMPARE(f.doc().lines[0].points[i].vz, before[i].vz);
    }
  }
};

QTEST_MAIN(TestCanvasKeys)
#include "tst_canvas_keys.moc"
