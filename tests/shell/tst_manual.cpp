// ヘルプ → マニュアル: the manual opens on its index, a chapter link followed from the keyboard
// shows that chapter, and a link to a heading scrolls to it.

#include <QScrollBar>
#include <QTextBrowser>
#include <QtTest>

#include "shell/command_table.h"
#include "shell/manual_window.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

class TestManual : public QObject {
  Q_OBJECT

 private slots:
  void opensOnTheIndexAndFollowsChapterLinks() {
    WindowFixture f;
    QVERIFY(f.window->runCommand(kCommandManual));
    auto* manual = f.window->findChild<ManualWindow*>(ManualWindow::kObjectName);
    QVERIFY(manual);
    QVERIFY(manual->isVisible());
    QTextBrowser* browser = manual->browser();
    QCOMPARE(browser->source(), QUrl("qrc:/manual/README.md"));
    QVERIFY(browser->toPlainText().contains(QString::fromUtf8("トヴァラ マニュアル")));

    // Tab selects the first link (はじめに), Return follows it.
    browser->setFocus();
    QTest::keyClick(browser, Qt::Key_Tab);
    QTest::keyClick(browser, Qt::Key_Return);
    QCOMPARE(browser->source(), QUrl("qrc:/manual/getting-started.md"));
    QVERIFY(browser->toPlainText().contains(QString::fromUtf8("線を描く")));

    // A link to a heading opens the chapter scrolled down to it.
    browser->setSource(QUrl(QString::fromUtf8("posing.md#動きモード")));
    QCOMPARE(browser->source().fileName(), QString("posing.md"));
    QVERIFY(browser->verticalScrollBar()->value() > 0);

    // Running the command again raises the same window, back on nothing else.
    QVERIFY(f.window->runCommand(kCommandManual));
    QCOMPARE(f.window->findChildren<ManualWindow*>().size(), qsizetype(1));
    manual->showIndex();
    QCOMPARE(browser->source(), QUrl("qrc:/manual/README.md"));
  }
};

QTEST_MAIN(TestManual)
#include "tst_manual.moc"
