// The menu bar and context menu as built from the command table, and the enable and check rules
// run when a menu opens.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "shell/menus.h"
#include "menu_text.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;
using tovala::test::flattenMenu;

namespace {

QAction* actionFor(const std::vector<QAction*>& actions, int id) {
  for (QAction* a : actions)
    if (a->data().toInt() == id) return a;
  return nullptr;
}

QMenu* topMenu(QMenuBar* bar, const QString& title) {
  for (QAction* a : bar->actions())
    if (a->text() == title) return a->menu();
  return nullptr;
}

// Runs the rules of one menu as opening it would.
void openMenu(QMenu* menu) {
  QMetaObject::invokeMethod(menu, "aboutToShow");
  for (QAction* a : menu->actions())
    if (a->menu()) openMenu(a->menu());
}

}  // namespace

class TestMenus : public QObject {
  Q_OBJECT

 private slots:
  void windowAndMenuBarContents() {
    WindowFixture f;
    QCOMPARE(f.window->windowTitle(), QString("無題[*] - トヴァラ"));
    QMenuBar* bar = f.window->menuBar();
    QCOMPARE(bar->objectName(), QString("mainmenu"));
    QStringList titles;
    for (QAction* a : bar->actions()) titles << a->text();
    QCOMPARE(titles, QStringList({"ファイル", "編集", "描画", "表示", "命令", "ヘルプ"}));

    QStringList file;
    flattenMenu(topMenu(bar, "ファイル"), file);
    QCOMPARE(file.join(" "),
             QString("新規作成(40044) 読込> 普通読込(40001) 部分読込(40070) "
                     "顔画像データ読込み(40049) 背景画像を読込む(40041) < 最近使ったファイル> < "
                     "保存> 普通保存(40030) 名前を付けて保存(40115) "
                     "部分保存(40071) 画像保存(40063) PNG書出(40105) アニメーション書出(40110) < - "
                     "作業用ファイルを消す(40032) - "
                     "人体モデル作成(40050) 体型変更(40130) - 書き出し…(40140)"));

    QStringList edit;
    flattenMenu(topMenu(bar, "編集"), edit);
    QCOMPARE(edit.join("|"), QString("元に戻す Ctrl+Z(40021)|やり直し  Ctrl+Y(40022)|-|"
                                     "サイズ変更(40043)|線限定(40072)|-|回転(40061)|変形(40062)"));

    QStringList draw;
    flattenMenu(topMenu(bar, "描画"), draw);
    QCOMPARE(draw.join("|"),
             QString("線>|選択\tShift+S(40002)|追加\tShift+L(40003)|消去(40004)|塗り>|塗る(40014)|"
                     "塗らない(40015)|<|整形>|線(40038)|三角(40039)|四角(40040)|円(40037)|<|"
                     "透明にする(40033)|設定クリア(40034)|-|<|点>|選択(40006)|追加\tShift+P(40007)|"
                     "消去(40008)|接続>|曲線(40011)|頂点(40012)|分割(40013)|<|<|画像>|新規(40017)|"
                     "読込(40018)|選択(40019)|削除(40020)|<|全移動(40059)|点移動(40068)|"
                     "範囲選択(40069)|文字(40035)|基準(40025)|全て基準(40026)|原点(40066)|"
                     "初期値(40046)|伸縮>|基本長(40054)|一時拡大(40058)|伸縮指定(40055)|<|"
                     "点表示切替(40060)|オブジェクト表示(40064)"));

    QStringList view, script, help;
    flattenMenu(topMenu(bar, "表示"), view);
    flattenMenu(topMenu(bar, "命令"), script);
    flattenMenu(topMenu(bar, "ヘルプ"), help);
    QCOMPARE(view.join("|"), QString("メインダイアログ(40016)|線のリスト(40024)|ペイント(40023)|"
                                     "背景画像(40042)|動き設定(40045)|編集・設定(40051)|"
                                     "ステップ編集(40052)|オブジェクト編集(40053)|ポーズ(40107)|"
                                     "タイムライン(40109)|-|"
                                     "拡大\tCtrl++(40101)|縮小\tCtrl+-(40102)|100%\tCtrl+0(40103)|"
                                     "ウィンドウに合わせる(40104)|-|レイアウトを初期化(40150)"));
    QCOMPARE(script.join("|"), QString("スクリプト(40029)|動きモード(40031)|ポーズ反転(40108)|-|"
                                       "線の命令文(40028)|"
                                       "変数編集(40047)"));
    QCOMPARE(help.join("|"), QString("マニュアル(40106)|バージョン(40065)|-|"
                                     "線の確認(ErrLine.txt)(40027)|"
                                     "試験実行(PaintObj)(40048)"));

    QStringList context;
    flattenMenu(f.window->contextMenu(), context);
    QCOMPARE(context.join("|"),
             QString("線>|選択(40002)|追加(40003)|削除(40004)|塗り>|塗らない(40015)|塗る(40014)|<|"
                     "基準にする(40025)|<|点>|選択(40006)|追加(40007)|削除(40008)|接続>|曲線(40011)|"
                     "頂点(40012)|分割(40013)|<|<|画像>|新規(40017)|読込(40018)|選択(40019)|"
                     "削除(40020)|<|実行>|線の命令文(40028)|スクリプト(40029)|動きモード(40031)|<"));
  }

  // Every identifier a menu offers has an entry in the table, and nothing else is in it.
  void tableCoversMenus() {
    WindowFixture f;
    std::vector<int> menuIds;
    for (QAction* a : commandActions(f.window->menuBar())) menuIds.push_back(a->data().toInt());
    for (QAction* a : commandActions(f.window->contextMenu())) menuIds.push_back(a->data().toInt());
    for (int id : menuIds) QVERIFY2(f.window->commands().find(id), qPrintable(QString::number(id)));
    for (int id : f.window->commands().ids()) {
      QVERIFY((id >= kFirstCommand && id <= kLastCommand) ||
              (id >= kFirstAddedCommand && id <= kLastAddedCommand));
      QVERIFY2(std::find(menuIds.begin(), menuIds.end(), id) != menuIds.end(),
               qPrintable(QString::number(id)));
    }
  }

  void rulesOnAnEmptyDocument() {
    WindowFixture f;
    QMenuBar* bar = f.window->menuBar();
    for (QAction* a : bar->actions()) openMenu(a->menu());
    const std::vector<QAction*> actions = commandActions(bar);
    for (int id : {40059, 40060, 40061, 40062, 40066, 40068, 40069, 40054, 40055, 40058})
      QVERIFY2(!actionFor(actions, id)->isEnabled(), qPrintable(QString::number(id)));
    for (int id : {40002, 40003, 40004, 40006, 40007, 40008})
      QVERIFY2(actionFor(actions, id)->isEnabled(), qPrintable(QString::number(id)));
    // Nothing to undo yet; the help items that have no operation stay grey.
    QVERIFY(!actionFor(actions, 40021)->isEnabled());
    QVERIFY(!actionFor(actions, 40022)->isEnabled());
    QVERIFY(!actionFor(actions, 40027)->isEnabled());
    QVERIFY(!actionFor(actions, 40048)->isEnabled());
    QVERIFY(!actionFor(actions, 40030)->isEnabled());  // nothing to save

    // The harmless ones run on an empty document without touching it.
    for (int id : {40004, 40008}) f.window->runCommand(id);
    QCOMPARE(f.doc().lineCount(), 1);
    QCOMPARE(f.ui.lastText(), std::string("線が選択されていません。"));
  }

  void rulesFollowTheDocument() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 120}, {300, 100}});
    QMenuBar* bar = f.window->menuBar();
    for (QAction* a : bar->actions()) openMenu(a->menu());
    const std::vector<QAction*> actions = commandActions(bar);
    for (int id : {40059, 40061, 40062, 40068, 40069, 40021, 40030, 40038})
      QVERIFY2(actionFor(actions, id)->isEnabled(), qPrintable(QString::number(id)));
    // Three points: a triangle needs four, a rectangle five.
    QVERIFY(!actionFor(actions, 40039)->isEnabled());
    QVERIFY(!actionFor(actions, 40040)->isEnabled());
    QVERIFY(!actionFor(actions, 40037)->isEnabled());
    QVERIFY(!actionFor(actions, 40020)->isEnabled());  // not an image line

    // Scaled: motion mode may not start.
    f.doc().modelScale = 2.0f;
    QVERIFY(!f.window->commands().state(*f.window, 40031).enabled);
    f.doc().modelScale = 1.0f;

    // The underlay item shows its switch.
    QAction* underlay = actionFor(actions, 40042);
    QVERIFY(!underlay->isChecked());
    f.window->runCommand(40042);
    openMenu(topMenu(bar, "表示"));
    QVERIFY(underlay->isChecked());
    QCOMPARE(f.doc().showUnderlay, 1);
  }

  // Opening "表示" without an image line selected hides the paint panel.
  void paintRuleHidesThePaintPanel() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 120}});
    auto* paint = new Panel(PanelId::Paint, PanelMessage::Paint, f.window.get());
    f.window->installPanel(paint, true);
    QVERIFY(paint->isVisible());
    openMenu(topMenu(f.window->menuBar(), "表示"));
    QVERIFY(!paint->isVisible());
  }

  // A panel toggle is disabled until its panel exists, then shows and hides it.
  void panelTogglesWaitForTheirPanel() {
    WindowFixture f;
    if (!f.window->panel(PanelId::Settings))
      QVERIFY(!f.window->commands().state(*f.window, 40051).enabled);
    auto* settings = new Panel(PanelId::Settings, PanelMessage::Settings, f.window.get());
    f.window->installPanel(settings, true);
    CommandState s = f.window->commands().state(*f.window, 40051);
    QVERIFY(s.enabled && s.checked);
    QVERIFY(f.window->runCommand(40051));
    QVERIFY(!settings->isVisible());
    QVERIFY(!f.window->commands().state(*f.window, 40051).checked);
  }

  // The panel message reaches the handler the window has for it, with the panel's action code.
  void panelMessagesReachTheirHandler() {
    WindowFixture f;
    struct Probe : Panel {
      using Panel::Panel;
      void fire(int code) { request(code); }
    };
    auto* probe = new Probe(PanelId::LineList, PanelMessage::LineList, f.window.get());
    f.window->installPanel(probe, false);
    int seen = 0;
    f.window->setPanelHandler(PanelMessage::LineList, [&](Panel& p) { seen = p.action; });
    probe->fire(7);
    QCOMPARE(seen, 7);
  }

  void versionAndQuestions() {
    WindowFixture f;
    f.window->runCommand(40065);
    QCOMPARE(f.ui.shown.back().caption, std::string("バージョン"));
    QCOMPARE(f.ui.shown.back().text, std::string("トヴァラ Ver 0.53β\n\n現在開発中"));

    // New document: No keeps the drawing, Yes discards it and returns to add-line mode.
    f.drawLine({{100, 100}, {200, 120}});
    f.ui.queueAnswer(Answer::No);
    f.window->runCommand(40044);
    QCOMPARE(f.ui.shown.back().text, std::string("編集を破棄し新規に作成します。よろしいですか？"));
    QCOMPARE(f.ui.shown.back().caption, std::string("注意"));
    QCOMPARE(f.doc().lineCount(), 2);
    f.ui.queueAnswer(Answer::Yes);
    f.window->runCommand(40044);
    QCOMPARE(f.doc().lineCount(), 1);
    QCOMPARE(f.doc().edit.mode, int(kModeAddLine));
    QCOMPARE(f.window->undoRing().undoCount(), 0);

    // Deleting a line asks first.
    f.drawLine({{100, 100}, {200, 120}});
    f.ui.queueAnswer(Answer::No);
    f.window->runCommand(40004);
    QCOMPARE(f.doc().lineCount(), 2);
    QCOMPARE(f.ui.shown.back().caption, std::string("確認"));
    QCOMPARE(f.ui.shown.back().text,
             std::string("線の削除は、動きなどに影響を与える場合があります。本当に削除しますか? "));
    f.ui.queueAnswer(Answer::Yes);
    f.window->runCommand(40004);
    QCOMPARE(f.doc().lineCount(), 1);
    QCOMPARE(f.doc().edit.mode, int(kModeSelect));
  }

  void bodyModelReplacesTheDocument() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 120}});
    QVERIFY(f.window->runCommand(40050));
    QVERIFY(f.doc().lineCount() > 150);  // skeleton, outline and controller lines
    QCOMPARE(f.doc().edit.mode, int(kModeSelect));
    QCOMPARE(f.window->undoRing().undoCount(), 0);
    QVERIFY(f.window->undoRing().justOpened);
    // The figure shows: the model picture is no longer blank.
    const ImageSlot* model = f.doc().workImages.image(kModelImage);
    int inked = 0;
    for (int y = 0; y < model->height; y += 4)
      for (int x = 0; x < model->width; x += 4) inked += model->pixel(x, y) != f.doc().backColor;
    QVERIFY(inked > 100);
  }

  // A file command asks with its filter and remembers the chosen name; cancelling does nothing.
  void fileDialogsUseTheirFilters() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 120}});
    f.ui.queuePath(std::nullopt);
    f.window->runCommand(40030);
    QCOMPARE(f.ui.fileRequests.back().filter, std::string("TOVファイル|*.tov||"));
    QCOMPARE(f.ui.fileRequests.back().initialName, std::string("noname.tov"));
    QVERIFY(f.ui.fileRequests.back().save);
    f.ui.queuePath(std::nullopt);
    f.window->runCommand(40001);
    QCOMPARE(f.ui.fileRequests.back().filter, std::string("TOVファイル|*.tov|すべてのファイル|*.*||"));
    f.ui.queuePath(std::nullopt);
    f.window->runCommand(40063);
    QCOMPARE(f.ui.fileRequests.back().initialName, std::string("notitle.bmp"));
    QCOMPARE(f.ui.fileRequests.back().filter, std::string("BMPファイル|*.bmp|すべてのファイル|*.*||"));
  }
};

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"
