// Files as on every desktop: 名前を付けて保存 with its shortcut, the list of recent files kept
// between runs, files dropped on the window, and the reason a disabled menu item gives.

// The script engine has a member named like Qt's `emit` keyword: it comes before any Qt header.
#include "script/script_engine.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QtTest>

#include <filesystem>

#include "engine/animation_file.h"
#include "engine/pose.h"
#include "engine/reference.h"
#include "model/parts_file.h"
#include "shell/command_rules.h"
#include "shell/file_drop.h"
#include "shell/menus.h"
#include "shell/recent_files.h"
#include "joint_figure.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::buildJointFigure;
using tovala::test::WindowFixture;

namespace {

std::string path(WindowFixture& f, const char* name) { return f.dir.filePath(name).toStdString(); }
QString qpath(WindowFixture& f, const char* name) { return f.dir.filePath(name); }

void save(WindowFixture& f, int command, const std::string& name) {
  f.ui.queuePath(name);
  QVERIFY(f.window->runCommand(command));
  QVERIFY(!f.window->modified());
}

QAction* menuAction(WindowFixture& f, int id) {
  for (QAction* a : commandActions(f.window->menuBar()))
    if (a->data().toInt() == id) return a;
  return nullptr;
}

// Sends a drag of `file` over the window and drops it; whether the drag was accepted.
bool dropOn(WindowFixture& f, const QString& file) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(file)});
  const QPoint at = f.window->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(f.window.get(), &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(f.window.get(), &drop);
  return drop.isAccepted();
}

}  // namespace

class TestDesktopFiles : public QObject {
  Q_OBJECT

 private slots:
  // Ctrl+Shift+S asks for a name, proposing the document's own, and the project with its
  // animation lives under the new name from then on.
  void saveAsTakesTheProjectAndItsAnimationToANewName() {
    WindowFixture f;
    buildJointFigure(f);
    QCOMPARE(setReference(f.doc(), 0, -1), 1);
    Animation keys;
    AnimationKey key;
    key.pose = capturePose(f.doc());
    keys.keys = {key};
    f.window->session().animation() = keys;
    f.window->session().animationChanged();
    const std::string first = path(f, "first.tov");
    save(f, 40030, first);

    const std::string second = path(f, "second.tov");
    f.ui.queuePath(second);
    const int mode = f.doc().edit.mode;
    QVERIFY(mode != kModeSelect);
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keyClick(f.window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.ui.fileRequests.size(), size_t(2));
    QVERIFY(f.ui.fileRequests.back().save);
    QCOMPARE(f.ui.fileRequests.back().initialName, first);
    QCOMPARE(f.window->documentPath(), second);
    QVERIFY(f.window->windowTitle().startsWith("second.tov"));
    Animation read;
    std::string reason;
    QVERIFY2(loadAnimationFile(animationPathFor(second), read, reason), reason.c_str());
    QVERIFY(read == keys);
    // The shortcut did not also go to select mode, as Shift+S does.
    QCOMPARE(f.doc().edit.mode, mode);

    // In motion mode the item is disabled and says why; the command refuses.
    QVERIFY(f.window->runCommand(40031));
    QVERIFY(f.window->motion());
    QAction* saveAs = menuAction(f, kCommandSaveAs);
    QVERIFY(saveAs);
    QCOMPARE(saveAs->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    f.window->updateAction(saveAs, kCommandSaveAs);
    QVERIFY(!saveAs->isEnabled());
    QCOMPARE(saveAs->toolTip(), QString::fromUtf8(kInMotionReason));
    QAction* plainSave = menuAction(f, 40030);
    f.window->updateAction(plainSave, 40030);
    QCOMPARE(plainSave->toolTip(), QString::fromUtf8(kInMotionReason));
    QVERIFY(!f.window->runCommand(kCommandSaveAs));
  }

  void recentFilesKeepTheLastTenNewestFirst() {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("tovala.conf"), QSettings::IniFormat);
    RecentFiles recent;
    recent.setSettings(&settings);
    for (int i = 0; i < 12; ++i) recent.add(dir.filePath(QStringLiteral("p%1.tov").arg(i)));
    QCOMPARE(recent.paths().size(), qsizetype(RecentFiles::kMaxFiles));
    QCOMPARE(recent.paths().front(), dir.filePath("p11.tov"));
    QCOMPARE(recent.paths().back(), dir.filePath("p2.tov"));
    recent.add(dir.filePath("p5.tov"));  // again: to the front, once
    QCOMPARE(recent.paths().front(), dir.filePath("p5.tov"));
    QCOMPARE(recent.paths().count(dir.filePath("p5.tov")), qsizetype(1));
    QCOMPARE(recent.paths().size(), qsizetype(RecentFiles::kMaxFiles));

    // A later run reads the same list; entries whose files are gone can be taken off.
    RecentFiles later;
    later.setSettings(&settings);
    QCOMPARE(later.paths(), recent.paths());
    QFile kept(dir.filePath("p5.tov"));
    QVERIFY(kept.open(QIODevice::WriteOnly));
    kept.close();
    QCOMPARE(later.removeMissing(), RecentFiles::kMaxFiles - 1);
    QCOMPARE(later.paths(), QStringList{dir.filePath("p5.tov")});
    RecentFiles third;
    third.setSettings(&settings);
    QCOMPARE(third.paths(), later.paths());
  }

  // Saved and opened projects come first in ファイル → 最近使ったファイル; a missing one is greyed
  // and can be removed; choosing one opens it.
  void theRecentMenuOpensAndGreysOut() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 100}});
    const std::string a = path(f, "a.tov"), b = path(f, "b.tov");
    save(f, 40030, a);
    save(f, 40030, b);
    RecentFiles* recent = recentFilesOf(*f.window);
    QVERIFY(recent);
    QCOMPARE(recent->paths(), (QStringList{qpath(f, "b.tov"), qpath(f, "a.tov")}));
    QMenu* menu = f.window->menuBar()->findChild<QMenu*>("recentMenu");
    QVERIFY(menu);

    QVERIFY(QFile::remove(qpath(f, "b.tov")));
    fillRecentMenu(*f.window, menu);
    const QList<QAction*> items = menu->actions();
    QVERIFY(items.size() >= 4);
    QVERIFY(items[0]->text().contains("b.tov"));
    QVERIFY(!items[0]->isEnabled());
    QVERIFY(items[0]->toolTip().contains(QString::fromUtf8("見つかりません")));
    QVERIFY(items[1]->text().contains("a.tov"));
    QVERIFY(items[1]->isEnabled());

    // Unsaved work is offered for saving before the chosen file replaces it.
    f.drawLine({{100, 200}, {200, 200}});
    QVERIFY(f.window->modified());
    f.ui.queueAnswer(Answer::No);
    items[1]->trigger();
    QCOMPARE(f.window->documentPath(), a);
    QCOMPARE(f.doc().lineCount(), 2);
    QVERIFY(!f.ui.shown.empty() && f.ui.shown.back().question);

    menu->findChild<QAction*>("recentRemoveMissing")->trigger();
    QCOMPARE(recent->paths(), QStringList{qpath(f, "a.tov")});
  }

  void droppedFilesOpenMergeOrLay() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 100}});
    f.drawLine({{100, 200}, {200, 200}});
    const std::string project = path(f, "two.tov");
    save(f, 40030, project);
    const std::string parts = path(f, "two.tovp");
    QVERIFY(saveParts(f.doc(), parts, true));
    QImage picture(40, 30, QImage::Format_RGB888);
    picture.fill(Qt::red);
    QVERIFY(picture.save(qpath(f, "under.png")));
    QFile text(qpath(f, "notes.txt"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.close();

    // Anything else is not taken.
    QVERIFY(!dropOn(f, qpath(f, "notes.txt")));

    QVERIFY(dropOn(f, qpath(f, "under.png")));
    QCOMPARE(f.doc().showUnderlay, 1);
    QVERIFY(f.window->modified());

    const int lines = f.doc().lineCount();
    QVERIFY(dropOn(f, qpath(f, "two.tovp")));
    QVERIFY(f.doc().lineCount() > lines);
    const int merged = f.doc().lineCount();

    // A project would replace unsaved work: Cancel keeps it, No lets it go.
    f.ui.queueAnswer(Answer::Cancel);
    QVERIFY(dropOn(f, qpath(f, "two.tov")));
    QCOMPARE(f.doc().lineCount(), merged);
    QVERIFY(f.window->modified());
    f.ui.queueAnswer(Answer::No);
    QVERIFY(dropOn(f, qpath(f, "two.tov")));
    QCOMPARE(f.doc().lineCount(), 3);
    QVERIFY(!f.window->modified());
    QCOMPARE(f.window->documentPath(), project);
  }
};

QTEST_MAIN(TestDesktopFiles)
#include "tst_desktop_files.moc"
