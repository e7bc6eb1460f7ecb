#pragma once
// A main window for tests: started in a fresh folder (it makes "temp" where it starts), answered
// by a RecordingUi, with helpers that click and drag on the canvas in canvas pixels.

#include <QDir>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "platform/ui.h"
#include "shell/canvas_widget.h"
#include "shell/main_window.h"

namespace tovala::test {

class WindowFixture {
 public:
  WindowFixture() {
    previous_ = QDir::currentPath();
    QDir::setCurrent(dir.path());
    window = std::make_unique<TMyWindow>(&ui);
    window->resize(800, 600);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) qWarning("window not exposed");
  }
  ~WindowFixture() {
    window.reset();
    QDir::setCurrent(previous_);
  }

  Document& doc() { return window->doc(); }
  QWidget* viewport() { return window->canvas()->viewport(); }

  // The window pixel showing canvas pixel (x, y) at the current zoom and scroll.
  QPoint at(int x, int y) const {
    const ViewState& v = window->view();
    return QPoint(int(float(x) * v.zoom - v.scrollX), int(float(y) * v.zoom - v.scrollY));
  }
  void click(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(viewport(), button, Qt::NoModifier, at(x, y));
  }
  // Press at the first point, move through the others, release at the last.
  void drag(std::initializer_list<QPoint> canvasPoints) {
    auto it = canvasPoints.begin();
    QTest::mousePress(viewport(), Qt::LeftButton, Qt::NoModifier, at(it->x(), it->y()));
    for (++it; it != canvasPoints.end(); ++it) move(it->x(), it->y(), Qt::LeftButton);
    const QPoint last = *(canvasPoints.end() - 1);
    QTest::mouseRelease(viewport(), Qt::LeftButton, Qt::NoModifier, at(last.x(), last.y()));
  }
  void move(int x, int y, Qt::MouseButtons buttons = Qt::NoButton) {
    QMouseEvent e(QEvent::MouseMove, at(x, y), viewport()->mapToGlobal(at(x, y)), Qt::NoButton,
                  buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &e);
  }
  void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(window.get(), Qt::Key(k), mods);
  }

  // Draws a line of the given canvas points with the add-line and add-point modes.
  void drawLine(std::initializer_list<QPoint> points) {
    window->runCommand(40003);
    for (const QPoint& p : points) click(p.x(), p.y());
  }

  QTemporaryDir dir;
  RecordingUi ui;
  std::unique_ptr<TMyWindow> window;

 private:
  QString previous_;
};

// One line of three points drawn, then its middle point selected in select mode.
inline void lineWithMiddleSelected(WindowFixture& f) {
  f.drawLine({{100, 100}, {200, 150}, {300, 100}});
  f.window->runCommand(40002);
  f.click(200, 150);
  QCOMPARE(f.doc().curLine, 0);
  QCOMPARE(f.doc().curPoint, 1);
}

}  // namespace tovala::test
