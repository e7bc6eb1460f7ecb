// Autosave and recovery: the copy in the work folder holds the document and its animation as
// they are, never touches the user's file, goes when the document is saved or the editor exits,
// and is offered, then opened as a modified document under its own name, by the next editor.

// The script engine has a member named like Qt's `emit` keyword: it comes before any Qt header.
#include "script/script_engine.h"

#include <QAction>
#include <QFile>
#include <QInputDialog>
#include <QSettings>
#include <QPushButton>
#include <QtTest>

#include <filesystem>

#include "engine/animation_file.h"
#include "model/project_file.h"
#include "shell/autosave.h"
#include "shell/document_session.h"
#include "shell/panels/control/move_panel.h"
#include "shell/panels/timeline/timeline.h"
#include "modal_helper.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;
namespace fs = std::filesystem;

namespace {

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The document as an uncompressed project file.
QByteArray documentBytes(const Document& d, const QString& path) {
  return saveProject(d, path.toStdString(), false) ? fileBytes(path) : QByteArray();
}

RecoveryFiles filesOf(WindowFixture& f) { return {fs::path(f.dir.path().toStdString()) / "temp"}; }

// Two lines and a key at frame 0: a modified document with an animation.
void edit(WindowFixture& f) {
  f.drawLine({{100, 100}, {200, 150}, {300, 100}});
  f.drawLine({{120, 300}, {260, 320}});
  f.window->runCommand(40002);
  f.window->runCommand(kCommandTimeline);
  f.window->panel(PanelId::Timeline)->findChild<QPushButton*>("addKey")->click();
  QVERIFY(f.window->modified());
  QCOMPARE(f.window->session().animation().keys.size(), size_t(1));
}

// The copy's files set aside and put back: what an editor killed before its exit leaves.
struct Crash {
  explicit Crash(const RecoveryFiles& files) : files(files) {
    for (const fs::path& p : paths()) kept.push_back(fileBytes(QString::fromStdString(p.string())));
  }
  void restore() const {
    for (size_t i = 0; i < kept.size(); ++i) {
      QFile out(QString::fromStdString(paths()[i].string()));
      if (kept[i].isEmpty() || !out.open(QIODevice::WriteOnly)) continue;
      out.write(kept[i]);
    }
  }
  std::vector<fs::path> paths() const {
    return {files.project(), animationPathFor(files.project().string()), files.note()};
  }
  RecoveryFiles files;
  std::vector<QByteArray> kept;
};

}  // namespace

class TestAutosave : public QObject {
  Q_OBJECT

 private slots:
  // The copy is the document and animation as they are, written only with unsaved changes and
  // never over the user's file; a save removes it, and so does a clean exit.
  void theCopyHoldsTheUnsavedDocument() {
    WindowFixture f;
    Autosave autosave(*f.window, filesOf(f).folder);
    QVERIFY(autosave.owner());
    QVERIFY(!autosave.saveNow());  // nothing to keep yet
    QVERIFY(!autosave.hasCopy());
    edit(f);
    QVERIFY(autosave.saveNow());
    const RecoveryFiles files = filesOf(f);
    Document read;
    QVERIFY(loadProject(read, files.project().string(), true));
    QCOMPARE(documentBytes(read, f.dir.filePath("read.tv0")),
             documentBytes(f.doc(), f.dir.filePath("held.tv0")));
    Animation anim;
    std::string reason;
    QVERIFY2(loadAnimationFile(animationPathFor(files.project().string()), anim, reason),
             reason.c_str());
    QVERIFY(anim == f.window->session().animation());
    QVERIFY(fileBytes(QString::fromStdString(files.note().string())).isEmpty());  // untitled
    QVERIFY(std::abs(autosave.copyTime().secsTo(QDateTime::currentDateTime())) < 60);

    // Saved under a name: the copy goes; the next change is copied with the name beside it,
    // and the user's file stays as saved.
    const QString project = f.dir.filePath("mine.tov");
    f.ui.queuePath(project.toStdString());
    QVERIFY(f.window->saveProjectAs(project.toStdString()));
    QVERIFY(!autosave.hasCopy());
    QVERIFY(!QFile::exists(QString::fromStdString(animationPathFor(files.project().string()))));
    const QByteArray saved = fileBytes(project);
    f.drawLine({{400, 400}, {450, 420}});
    QVERIFY(autosave.saveNow());
    QCOMPARE(fileBytes(project), saved);
    QCOMPARE(fileBytes(QString::fromStdString(files.note().string())), project.toUtf8());

    // A preview shows borrowed poses: no copy of those is taken.
    Timeline& t = *timelineOf(*f.window);
    f.window->panel(PanelId::Timeline)->findChild<QPushButton*>("play")->click();
    if (t.previewing()) QVERIFY(!autosave.saveNow());
    t.endPreview();

    // Motion mode holds posed points (saving is refused there): the copy waits until it ends.
    f.drawLine({{500, 500}, {560, 520}});
    f.ui.queueAnswer(Answer::Yes);
    QVERIFY(f.window->runCommand(40031));
    QVERIFY(f.window->motion());
    QVERIFY(!autosave.saveNow());
    static_cast<MovePanel*>(f.window->panel(PanelId::Move))->button(2)->click();  // restore
    QVERIFY(!f.window->motion());
    QVERIFY(autosave.saveNow());

    // A second editor in the same folder neither writes a copy nor offers one.
    {
      Autosave second(*f.window, files.folder);
      QVERIFY(!second.owner());
      QVERIFY(!second.saveNow());
      QVERIFY(!second.offerRecovery());
    }
    QVERIFY(autosave.hasCopy());  // and leaves the owner's alone when it goes
  }

  // On a timer: copies come at the interval while there are changes; 0 writes none.
  void theTimerWritesAtTheInterval() {
    WindowFixture f;
    // The window's child, as installAutosave makes it: it goes with the window.
    auto& autosave = *new Autosave(*f.window, filesOf(f).folder);
    autosave.setInterval(0);
    edit(f);
    QTest::qWait(150);
    QVERIFY(!autosave.hasCopy());
    autosave.setInterval(40);
    QTRY_VERIFY_WITH_TIMEOUT(autosave.hasCopy(), 3000);
    // Exiting cleanly removes it.
    const RecoveryFiles files = filesOf(f);
    f.window.reset();
    QVERIFY(!fs::exists(files.project()));
    QVERIFY(!fs::exists(files.note()));
  }

  // The interval is kept in the settings (2 minutes when none is kept, 0 off) and chosen with
  // ファイル → 自動保存の間隔…; TOVALA_AUTOSAVE_MS overrides it for tests.
  void theIntervalIsASetting() {
    WindowFixture f;
    QSettings settings(f.dir.filePath("tovala.ini"), QSettings::IniFormat);
    const QByteArray variable = qgetenv("TOVALA_AUTOSAVE_MS");
    qunsetenv("TOVALA_AUTOSAVE_MS");
    auto intervalWith = [&](const QVariant& minutes) {
      if (minutes.isValid()) settings.setValue("autosave/minutes", minutes);
      else settings.remove("autosave/minutes");
      std::unique_ptr<Autosave> a(installAutosave(*f.window, &settings));
      return a->interval();
    };
    QCOMPARE(intervalWith(QVariant()), kDefaultAutosaveMinutes * 60000);
    QCOMPARE(intervalWith(0), 0);
    QCOMPARE(intervalWith(5), 5 * 60000);
    QCOMPARE(intervalWith(-3), 0);
    QCOMPARE(intervalWith(1000), kMostAutosaveMinutes * 60000);
    qputenv("TOVALA_AUTOSAVE_MS", "250");
    QCOMPARE(intervalWith(5), 250);
    qunsetenv("TOVALA_AUTOSAVE_MS");

    Autosave* autosave = installAutosave(*f.window, &settings);
    const QList<QAction*> items = f.window->findChildren<QAction*>("autosaveInterval");
    QVERIFY(!items.isEmpty());
    auto seen = tovala::test::whenModal<QInputDialog>([](QInputDialog& d) {
      d.setIntValue(7);
      d.accept();
    });
    items.back()->trigger();
    QVERIFY(*seen);
    QCOMPARE(autosave->interval(), 7 * 60000);
    QCOMPARE(settings.value("autosave/minutes").toInt(), 7);
    if (!variable.isEmpty()) qputenv("TOVALA_AUTOSAVE_MS", variable);
  }

  // A copy left behind is offered once at the next start: Yes opens it as the same-named,
  // modified document with its animation; No removes it.
  void aCopyLeftBehindIsRecovered() {
    WindowFixture f;
    const RecoveryFiles files = filesOf(f);
    QByteArray edited;
    Animation anim;
    const QString project = f.dir.filePath("walk.tov");
    {
      auto& first = *new Autosave(*f.window, files.folder);
      edit(f);
      f.ui.queuePath(project.toStdString());
      QVERIFY(f.window->saveProjectAs(project.toStdString()));
      f.drawLine({{500, 500}, {560, 540}});
      QVERIFY(first.saveNow());
      edited = documentBytes(f.doc(), f.dir.filePath("edited.tv0"));
      anim = f.window->session().animation();
      const Crash crash(files);
      f.window.reset();
      crash.restore();
    }
    // The next editor, started in the same folder.
    f.window = std::make_unique<TMyWindow>(&f.ui);
    f.window->show();
    QVERIFY(fs::exists(files.project()));
    Autosave autosave(*f.window, files.folder);
    f.ui.reset();
    f.ui.queueAnswer(Answer::Yes);
    QVERIFY(autosave.offerRecovery());
    QVERIFY(QString::fromStdString(f.ui.lastText()).startsWith(QString::fromUtf8(kRecoveryQuestion)));
    QVERIFY(QString::fromStdString(f.ui.lastText())
                .contains(autosave.copyTime().toString("yyyy/MM/dd HH:mm:ss")));
    QCOMPARE(documentBytes(f.doc(), f.dir.filePath("recovered.tv0")), edited);
    QVERIFY(f.window->session().animation() == anim);
    QVERIFY(f.window->modified());
    QCOMPARE(QString::fromStdString(f.window->session().path()), project);
    QVERIFY(autosave.hasCopy());  // kept until the recovered document is saved

    // Declined: the copy goes and the document stays as it is.
    f.ui.queueAnswer(Answer::No);
    QVERIFY(!autosave.offerRecovery());
    QVERIFY(!autosave.hasCopy());
    QVERIFY(!autosave.offerRecovery());  // nothing is offered twice
  }
};

QTEST_MAIN(TestAutosave)
#include "tst_autosave.moc"
