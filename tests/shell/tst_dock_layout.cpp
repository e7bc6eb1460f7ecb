// The panels docked around the canvas: the first start fits the screen with nothing covering
// anything, the layout is kept between runs and can be reset, windows open on the screen and
// beside the figure. Run offscreen with the others, and under Xvfb with a window manager at
// 1366x768 and 1920x1080 (tests/shell/under_x.sh), where real frames and placement apply.

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>
#include <QtTest>

#include <QToolBar>

#include "shell/dock_layout.h"
#include "shell/menus.h"
#include "shell/window_chrome.h"
#include "shell/window_placement.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {

// Long enough for a window manager to frame and place what was just shown or moved.
constexpr int kSettleMs = 600;

QRect globalRect(const QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); }

QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// What the user sees of the window: the canvas and every shown dock, each on the screen and
// none over another.
void checkNothingCovered(TMyWindow& w) {
  const QRect screen = available();
  QVERIFY2(screen.contains(w.frameGeometry()),
           qPrintable(QString("window %1,%2 %3x%4 on a screen of %5x%6")
                          .arg(w.frameGeometry().x())
                          .arg(w.frameGeometry().y())
                          .arg(w.frameGeometry().width())
                          .arg(w.frameGeometry().height())
                          .arg(screen.width())
                          .arg(screen.height())));
  std::vector<QRect> shown{globalRect(w.canvas()->viewport())};
  for (int i = 0; i < int(PanelId::Count); ++i) {
    const Panel* p = w.panel(PanelId(i));
    if (p && p->isVisible()) shown.push_back(globalRect(p->dock()));
  }
  for (size_t i = 0; i < shown.size(); ++i) {
    QVERIFY(screen.contains(shown[i]));
    for (size_t j = i + 1; j < shown.size(); ++j) QVERIFY(!shown[i].intersects(shown[j]));
  }
}

}  // namespace

class TestDockLayout : public QObject {
  Q_OBJECT

 private slots:
  void rectanglesFitTheScreen() {
    const QRect screen(0, 0, 1366, 740);
    QCOMPARE(fitInto(QRect(100, 100, 800, 600), screen), QRect(100, 100, 800, 600));
    // Too tall: as tall as the screen, from its top. Off to the right: pulled back.
    QCOMPARE(fitInto(QRect(100, 300, 800, 900), screen), QRect(100, 0, 800, 740));
    QCOMPARE(fitInto(QRect(1200, 20, 400, 300), screen), QRect(966, 20, 400, 300));
    QCOMPARE(fitInto(QRect(-50, -50, 2000, 100), screen), QRect(0, 0, 1366, 100));
    // A laptop screen is taken whole; a large one gets a window in its middle.
    QCOMPARE(firstStartFrame(screen), screen);
    QCOMPARE(firstStartFrame(QRect(0, 0, 1920, 1050)), QRect(96, 52, 1728, 945));
  }

  // Beside the window when the screen has room there, else over the side of the canvas away
  // from the figure; pulled onto the screen either way.
  void dialogsStandBesideTheFigure() {
    const QRect screen(0, 0, 1366, 740);
    const QSize dialog(300, 200);
    const QRect canvas(380, 60, 980, 680);
    // A window leaving room on its right.
    QCOMPARE(besideCanvas(dialog, QRect(0, 0, 1000, 740), QRect(380, 60, 600, 680),
                          QRect(400, 80, 200, 300), screen),
             QRect(1000, 60, 300, 200));
    // The window fills the screen; the figure on the left of the canvas: against the screen's
    // right edge, level with the canvas's top.
    const QRect full(0, 0, 1366, 740);
    QCOMPARE(besideCanvas(dialog, full, canvas, QRect(400, 80, 300, 600), screen),
             QRect(1066, 60, 300, 200));
    // The figure on the right: against the left edge.
    QCOMPARE(besideCanvas(dialog, full, canvas, QRect(1000, 60, 350, 600), screen),
             QRect(0, 60, 300, 200));
    // A figure across the canvas's middle leaves its top right corner free.
    QCOMPARE(besideCanvas(dialog, full, canvas, QRect(200, 300, 1166, 300), screen),
             QRect(1066, 60, 300, 200));
    // A figure filling the canvas: the place covering least of it, still on the screen.
    const QRect placed = besideCanvas(QSize(300, 900), full, canvas, canvas, screen);
    QVERIFY(screen.contains(placed));
    QCOMPARE(placed.height(), 740);
  }

  void firstStartShowsTheCanvasAndTheStartPanels() {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("layout.ini"), QSettings::IniFormat);
    WindowFixture f;
    f.window->keepPanelsIn(&settings);
    QTest::qWait(kSettleMs);
    QVERIFY(f.window->panelVisible(PanelId::Control));
    QVERIFY(f.window->panelVisible(PanelId::LineList));
    for (PanelId id : {PanelId::Settings, PanelId::Joint, PanelId::Timeline, PanelId::Script})
      QVERIFY(!f.window->panelVisible(id));
    // The control panel's column is left of the canvas and shows the panel whole.
    const Panel* control = f.window->panel(PanelId::Control);
    QVERIFY(globalRect(control->dock()).right() < globalRect(f.viewport()).left());
    QVERIFY(control->dock()->width() >= control->minimumWidth());
    checkNothingCovered(*f.window);
    // Panels opened later join the docks without covering the canvas.
    f.window->showPanel(PanelId::Settings, true);
    f.window->showPanel(PanelId::Timeline, true);
    QTest::qWait(kSettleMs);
    QVERIFY(f.window->panelVisible(PanelId::Settings));
    checkNothingCovered(*f.window);
  }

  // Closing a dock is the panel's Cancel; its command in 表示 brings it back.
  void docksCloseAndComeBack() {
    WindowFixture f;
    Panel* list = f.window->panel(PanelId::LineList);
    QVERIFY(list->dock() && list->dock()->isVisible());
    list->dock()->close();
    QVERIFY(!f.window->panelVisible(PanelId::LineList));
    QVERIFY(f.window->runCommand(40024));
    QVERIFY(f.window->panelVisible(PanelId::LineList));
    // A panel's own close hides its dock.
    f.window->showPanel(PanelId::Settings, true);
    QVERIFY(f.window->panel(PanelId::Settings)->dock()->isVisible());
    f.window->panel(PanelId::Settings)->reject();
    QVERIFY(!f.window->panel(PanelId::Settings)->dock()->isVisible());
    // Tabbed docks: showing one brings its tab to the front.
    f.window->showPanel(PanelId::Settings, true);
    f.window->showPanel(PanelId::Objects, true);
    QVERIFY(f.window->panelVisible(PanelId::Objects));
    f.window->showPanel(PanelId::Settings, true);
    QVERIFY(f.window->panelVisible(PanelId::Settings));
  }

  void layoutIsKeptBetweenRunsAndReset() {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("layout.ini"), QSettings::IniFormat);
    QSize size;
    {
      WindowFixture f;
      f.window->keepPanelsIn(&settings);
      QTest::qWait(kSettleMs);
      f.window->showPanel(PanelId::LineList, false);
      f.window->showPanel(PanelId::Timeline, true);
      f.window->resize(f.window->size() - QSize(60, 40));
      QTest::qWait(kSettleMs);
      size = f.window->size();
      QVERIFY(f.window->close());
    }
    QVERIFY(settings.contains("window/state"));
    {
      WindowFixture f;
      f.window->keepPanelsIn(&settings);
      QTest::qWait(kSettleMs);
      QCOMPARE(f.window->size(), size);
      QVERIFY(!f.window->panelVisible(PanelId::LineList));
      QVERIFY(f.window->panelVisible(PanelId::Timeline));
      QVERIFY(f.window->panelVisible(PanelId::Control));
      resetLayout(*f.window);
      QTest::qWait(kSettleMs);
      QVERIFY(f.window->panelVisible(PanelId::LineList));
      QVERIFY(!f.window->panelVisible(PanelId::Timeline));
      checkNothingCovered(*f.window);
    }
    // A state from another version of the docks, or damaged, leaves the default.
    settings.setValue("window/state", QByteArray("not a state"));
    WindowFixture f;
    f.window->keepPanelsIn(&settings);
    QTest::qWait(kSettleMs);
    QVERIFY(f.window->panelVisible(PanelId::LineList));
    checkNothingCovered(*f.window);
  }

  // A floating dock or a dialog is never left off the screen or taller than it.
  void windowsOpenOnTheScreen() {
    WindowFixture f;
    f.window->keepPanelsIn(nullptr);
    QTest::qWait(kSettleMs);
    f.drawLine({{100, 100}, {200, 300}, {300, 100}});
    f.window->showPanel(PanelId::Settings, true);
    QDockWidget* dock = f.window->panel(PanelId::Settings)->dock();
    dock->setFloating(true);
    dock->move(-30000, -30000);
    dock->hide();
    dock->show();
    QTest::qWait(kSettleMs);
    QVERIFY(available().contains(dock->frameGeometry()));

    QDialog dialog(f.window.get());
    auto* layout = new QVBoxLayout(&dialog);
    auto* tall = new QWidget;
    tall->setMinimumSize(100, 50);
    layout->addWidget(tall);
    dialog.resize(200, available().height() + 500);
    dialog.show();
    QTest::qWait(kSettleMs);
    QVERIFY(available().contains(dialog.frameGeometry()));
    const QRect figure = figureOnScreen(*f.window);
    QVERIFY(!figure.isEmpty());
    QVERIFY(!dialog.frameGeometry().intersects(figure));
  }

  // The toolbar runs the commands of the table, says each one's name and key, and follows the
  // rules; the debugging items of ヘルプ stay hidden without --debug.
  void toolbarAndMenus() {
    WindowFixture f;
    auto* bar = f.window->findChild<QToolBar*>("toolbar");
    QVERIFY(bar);
    std::map<int, QAction*> byId;
    for (QAction* a : bar->actions())
      if (!a->isSeparator()) byId[a->data().toInt()] = a;
    QCOMPARE(int(byId.size()), 11);
    for (const auto& [id, a] : byId) QVERIFY2(!a->icon().isNull(), qPrintable(a->text()));
    QCOMPARE(byId[40021]->toolTip(), QString::fromUtf8("元に戻す (Ctrl+Z)"));
    QCOMPARE(byId[kCommandZoomIn]->toolTip(), QString::fromUtf8("拡大 (Ctrl++)"));
    QCOMPARE(byId[40044]->toolTip(), QString::fromUtf8("新規作成"));
    byId[kCommandZoomIn]->trigger();
    QCOMPARE(f.window->view().zoom, 2.0f);
    // Nothing to undo: the button is disabled, and enabled once a line is drawn.
    QTest::qWait(400);
    QVERIFY(!byId[40021]->isEnabled());
    byId[kCommandFitToWindow]->trigger();
    f.drawLine({{100, 100}, {200, 200}});
    QTest::qWait(400);
    QVERIFY(byId[40021]->isEnabled());

    int debugItems = 0;
    bool reset = false;
    for (QAction* a : commandActions(f.window->menuBar())) {
      const int id = a->data().toInt();
      if (id == 40027 || id == 40048) debugItems += a->isVisible() ? 10 : 1;
      if (id == kCommandResetLayout) reset = a->text() == QString::fromUtf8("レイアウトを初期化");
    }
    QCOMPARE(debugItems, 2);
    QVERIFY(reset);
    showDebugCommands(*f.window, true);
    for (QAction* a : commandActions(f.window->menuBar()))
      if (a->data().toInt() == 40048) QVERIFY(a->isVisible());
  }
};

QTEST_MAIN(TestDockLayout)
#include "tst_dock_layout.moc"
