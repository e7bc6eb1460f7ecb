// The panels' places and the start-up panels' visibility, kept between runs, and never restored
// out of reach.

#include <QSettings>
#include <QtTest>

#include "shell/panel_memory.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

class TestPanelMemory : public QObject {
  Q_OBJECT

 private slots:
  void placesComeBackOnScreen() {
    const QRect desk(0, 0, 1000, 800);
    const QRect main(10, 10, 400, 300);
    // On screen, or with its title strip on screen: kept.
    QCOMPARE(onScreen(QRect(50, 60, 200, 100), desk, main), QRect(50, 60, 200, 100));
    QCOMPARE(onScreen(QRect(-150, 60, 200, 100), desk, main), QRect(-150, 60, 200, 100));
    // Gone off every screen: just right of the main window (its last column is 409), or the
    // corner when that is off too.
    QCOMPARE(onScreen(QRect(3000, 60, 200, 100), desk, main), QRect(410, 10, 200, 100));
    QCOMPARE(onScreen(QRect(50, -500, 200, 100), desk, QRect(900, 10, 200, 300)),
             QRect(0, 0, 200, 100));
  }

  // New panels stack down a column right of the main window, then left of it, never over it.
  void newPanelsStandBesideTheWindow() {
    const QRect desk(0, 0, 1000, 800);
    const QRect main(300, 50, 400, 300);  // columns 300..699
    const QSize size(200, 300);
    QCOMPARE(besideOwner(size, main, desk, {}), QPoint(700, 50));
    const std::vector<QRect> one{QRect(700, 50, 200, 300)};
    QCOMPARE(besideOwner(size, main, desk, one), QPoint(700, 350));
    // The right column is full: the left one.
    const std::vector<QRect> two{QRect(700, 50, 200, 300), QRect(700, 350, 200, 300)};
    QCOMPARE(besideOwner(size, main, desk, two), QPoint(100, 50));
    // No room either side: the right column's top, pulled onto the desktop.
    QCOMPARE(besideOwner(size, QRect(0, 0, 1000, 700), desk, {}), QPoint(800, 0));

    // A panel the window shows later takes such a place.
    WindowFixture f;
    f.window->setGeometry(0, 0, 200, 150);
    f.window->keepPanelsIn(nullptr);
    f.window->showPanel(PanelId::Paint, true);
    const QRect paint = f.window->panel(PanelId::Paint)->frameGeometry();
    QVERIFY(!paint.intersects(f.window->frameGeometry()));
  }

  void panelsAreKeptBetweenRuns() {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("panels.ini"), QSettings::IniFormat);
    QPoint placed;
    {
      WindowFixture f;
      f.window->keepPanelsIn(&settings);
      Panel* control = f.window->panel(PanelId::Control);
      control->move(120, 70);
      placed = control->pos();
      f.window->showPanel(PanelId::LineList, false);
      QVERIFY(f.window->close());
    }
    QCOMPARE(settings.value("panels/110/pos").toPoint(), placed);
    {
      WindowFixture f;
      f.window->keepPanelsIn(&settings);
      QCOMPARE(f.window->panel(PanelId::Control)->pos(), placed);
      QVERIFY(f.window->panelVisible(PanelId::Control));
      QVERIFY(!f.window->panelVisible(PanelId::LineList));
    }
    // A place no screen shows comes back where it can be reached.
    settings.setValue("panels/110/pos", QPoint(-20000, -20000));
    WindowFixture f;
    f.window->keepPanelsIn(&settings);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(area.contains(f.window->panel(PanelId::Control)->pos()));
    // Without settings nothing is kept or restored.
    f.window->keepPanelsIn(nullptr);
    f.window->panel(PanelId::Control)->move(300, 200);
    QVERIFY(f.window->close());
    QCOMPARE(settings.value("panels/110/pos").toPoint(), QPoint(-20000, -20000));
  }
};

QTEST_MAIN(TestPanelMemory)
#include "tst_panel_memory.moc"
