// The document session: one edit is one undo step, one modified mark and one notice to the
// observers (none of them when the change refuses), and the animation file beside a project is
// always that project's own: written with it, removed when the animation is empty, carried to a
// new name, never taken from a file an earlier figure of the name left behind.

// The script engine has a member named like Qt's `emit` keyword: it comes before any Qt header.
#include "script/script_engine.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <filesystem>

#include "engine/animation_file.h"
#include "engine/pose.h"
#include "engine/reference.h"
#include "joint_figure.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::buildJointFigure;
using tovala::test::WindowFixture;

namespace {

// An animation of two keys of the figure as it stands, the second with the joint turned.
Animation twoKeys(Document& d) {
  Animation a;
  a.fps = 24;
  a.length = 30;
  AnimationKey first;
  first.frame = 0;
  first.pose = capturePose(d);
  AnimationKey second = first;
  second.frame = 20;
  second.easing = Easing::Linear;
  a.keys = {first, second};
  return a;
}

void setAnimation(WindowFixture& f, Animation a) {
  f.window->session().animation() = std::move(a);
  f.window->session().animationChanged();
}

std::string path(WindowFixture& f, const char* name) { return f.dir.filePath(name).toStdString(); }

bool exists(const std::string& p) {
  std::error_code ec;
  return std::filesystem::exists(p, ec);
}

Animation readBeside(const std::string& project) {
  Animation read;
  std::string reason;
  if (!loadAnimationFile(animationPathFor(project), read, reason)) qWarning("%s", reason.c_str());
  return read;
}

// "普通保存" under `name`, answered by the recording Ui.
void saveAs(WindowFixture& f, const std::string& name) {
  f.ui.queuePath(name);
  QVERIFY(f.window->runCommand(40030));
  QVERIFY(!f.window->modified());
}

}  // namespace

class TestDocumentSession : public QObject {
  Q_OBJECT

 private slots:
  void anEditIsOneStepOneMarkOneNotice() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 150}});
    DocumentSession& s = f.window->session();
    s.setModified(false);
    QSignalSpy edited(&s, &DocumentSession::edited);
    const int steps = s.undoRing().undoCount();

    QVERIFY(s.edit("OnTovLinePaint1", [](Document& d) { d.lines[0].kind = 1; }));
    QCOMPARE(f.doc().lines[0].kind, 1);
    QCOMPARE(s.undoRing().undoCount(), steps + 1);
    QVERIFY(s.modified());
    QVERIFY(f.window->isWindowModified());
    QCOMPARE(edited.count(), 1);

    // A change that refuses leaves no step, no mark and no notice.
    s.setModified(false);
    QVERIFY(!s.edit("OnTovLinePaint0", [](Document&) { return false; }));
    QCOMPARE(s.undoRing().undoCount(), steps + 1);
    QVERIFY(!s.modified());
    QCOMPARE(edited.count(), 1);

    // The step undoes the edit, and the line list shows the document the undo left.
    f.window->undo();
    QCOMPARE(f.doc().lines[0].kind, 0);
    QCOMPARE(edited.count(), 2);
  }

  void theSideFileIsTheProjectsOwn() {
    WindowFixture f;
    buildJointFigure(f);
    QCOMPARE(setReference(f.doc(), 0, -1), 1);
    const Animation keys = twoKeys(f.doc());
    setAnimation(f, keys);
    const std::string walk = path(f, "walk.tov");
    saveAs(f, walk);
    QVERIFY(readBeside(walk) == keys);

    // The animation emptied and saved: no file is left to pair with the project.
    setAnimation(f, Animation{});
    saveAs(f, walk);
    QVERIFY(!exists(animationPathFor(walk)));
    QVERIFY(f.window->openProject(walk));
    QVERIFY(f.window->session().animation() == Animation{});

    // A new figure saved over a name that had an animation takes none of it.
    setAnimation(f, keys);
    saveAs(f, walk);
    QVERIFY(exists(animationPathFor(walk)));
    f.ui.queueAnswer(Answer::Yes);  // 新規作成
    QVERIFY(f.window->runCommand(40044));
    QVERIFY(f.window->session().animation() == Animation{});
    f.drawLine({{100, 100}, {200, 100}});
    saveAs(f, walk);
    QVERIFY(!exists(animationPathFor(walk)));
    QVERIFY(f.window->openProject(walk));
    QCOMPARE(f.doc().lineCount(), 2);
    QVERIFY(f.window->session().animation() == Animation{});
  }

  void aNewNameTakesTheAnimationAlong() {
    WindowFixture f;
    buildJointFigure(f);
    QCOMPARE(setReference(f.doc(), 0, -1), 1);
    const Animation keys = twoKeys(f.doc());
    setAnimation(f, keys);
    const std::string first = path(f, "first.tov");
    saveAs(f, first);
    QVERIFY(f.window->openProject(first));
    QVERIFY(f.window->session().animation() == keys);

    const std::string second = path(f, "second.tov");
    saveAs(f, second);
    QVERIFY(readBeside(second) == keys);
    QVERIFY(readBeside(first) == keys);
    QCOMPARE(f.window->documentPath(), second);
  }

  // A damaged file beside the project is refused on opening and kept while the project is saved
  // under its own name; under another name it is nobody's, and none is written there.
  void aRefusedFileStaysOnlyUnderItsOwnName() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 100}});
    const std::string own = path(f, "own.tov");
    saveAs(f, own);
    const std::string damagedText = "{\"format\": \"tovala-animation\", \"version\": 1";
    {
      QFile damaged(QString::fromStdString(animationPathFor(own)));
      QVERIFY(damaged.open(QIODevice::WriteOnly));
      damaged.write(damagedText.c_str());
    }
    const std::string other = path(f, "other.tov");
    {
      QFile stale(QString::fromStdString(animationPathFor(other)));
      QVERIFY(stale.open(QIODevice::WriteOnly));
      stale.write(damagedText.c_str());
    }
    f.ui.reset();
    QVERIFY(f.window->openProject(own));
    QVERIFY(f.ui.lastText().starts_with(kAnimationReadFailed));
    QVERIFY(f.window->session().animationRefused());

    saveAs(f, own);
    QFile kept(QString::fromStdString(animationPathFor(own)));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll().toStdString(), damagedText);

    saveAs(f, other);
    QVERIFY(!exists(animationPathFor(other)));
    QVERIFY(!f.window->session().animationRefused());
  }
};

QTEST_MAIN(TestDocumentSession)
#include "tst_document_session.moc"
