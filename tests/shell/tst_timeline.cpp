// The timeline panel: keys from the figure's pose, scrubbing and playing that show the poses
// between them and leave the document as it was, the onion skin, and the animation file that
// is saved and opened with the project.

// The script engine has a member named like Qt's `emit` keyword: it comes before any Qt header.
#include "script/script_engine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>

#include "engine/animation_file.h"
#include "engine/param_splice.h"
#include "engine/reference.h"
#include "model/project_file.h"
#include "shell/panels/timeline/frame_strip.h"
#include "shell/panels/timeline/timeline.h"
#include "joint_figure.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::buildJointFigure;
using tovala::test::WindowFixture;

namespace {

// The joint figure with its joint selected; the references are the drawn positions.
void buildFigure(WindowFixture& f) {
  buildJointFigure(f);
  Document& d = f.doc();
  QCOMPARE(setReference(d, 0, -1), 1);
  d.curPoint = 0;
  f.window->runCommand(40002);
}

float& jointTurn(WindowFixture& f) { return f.doc().lines[0].points[0].radz; }

TimelinePanel& openPanel(WindowFixture& f) {
  f.window->runCommand(kCommandTimeline);
  return *static_cast<TimelinePanel*>(f.window->panel(PanelId::Timeline));
}

template <class W>
W* child(TimelinePanel& p, const char* name) {
  return p.findChild<W*>(QString::fromLatin1(name));
}

void goToFrame(TimelinePanel& p, int frame) { child<QSpinBox>(p, "frame")->setValue(frame); }

// Keys at frames 0 (joint straight) and 10 (joint turned by 1), the first one linear; the
// figure is left turned by 1.
void addTwoKeys(WindowFixture& f, TimelinePanel& p) {
  goToFrame(p, 0);
  jointTurn(f) = 0;
  child<QPushButton>(p, "addKey")->click();
  auto* easing = child<QComboBox>(p, "easing");
  easing->setCurrentIndex(easing->findText(QString::fromUtf8("直線")));
  emit easing->activated(easing->currentIndex());
  goToFrame(p, 10);
  // The figure shows frame 10 as the key at 0 gives it; a click on the canvas would end that.
  timelineOf(*f.window)->endPreview();
  jointTurn(f) = 1;
  child<QPushButton>(p, "addKey")->click();
}

// Press, move and release on the strip: above the key marks for a scrub, on them for a key.
QPoint stripPoint(FrameStrip& s, int frame, bool onKeys) {
  return {int(std::lround(s.xOf(frame))), onKeys ? (14 + s.height()) / 2 : 4};
}
void stripMove(FrameStrip& s, QPoint at) {
  QMouseEvent e(QEvent::MouseMove, at, s.mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                Qt::NoModifier);
  QCoreApplication::sendEvent(&s, &e);
}

QByteArray projectBytes(WindowFixture& f, const char* name) {
  const QString path = f.dir.filePath(name);
  if (!saveProject(f.doc(), path.toStdString(), true)) return {};
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QPointF pos(const Document& d, int line, int point) {
  const PointRecord& p = d.lines[size_t(line)].points[size_t(point)];
  return {p.vx, p.vy};
}

// Shows each message in a real modal box, as the editor's Ui does, closed by a timer after a
// while; keeps how deeply the boxes nested and what `whileShown` saw with each box open.
class ModalUi : public RecordingUi {
 public:
  void message(std::string_view text, std::string_view caption) override {
    RecordingUi::message(text, caption);
    deepest = std::max(deepest, ++depth);
    QMessageBox box(QMessageBox::Information, QString::fromUtf8(caption.data(), caption.size()),
                    QString::fromUtf8(text.data(), text.size()));
    QTimer::singleShot(250, &box, [&] {
      if (whileShown) whileShown();
      box.accept();
    });
    box.exec();
    --depth;
  }
  std::function<void()> whileShown;
  int depth = 0, deepest = 0;
};

// The joint line's program turns the joint, then writes a line the figure does not have: every
// frame it runs in reports an error.
void failTheJointProgram(WindowFixture& f) {
  Document& d = f.doc();
  d.curLine = 0;
  ScriptEngine e(d);
  e.setDumpPath("");
  QCOMPARE(e.lex("TPRotSel(); TPMoveSel(); L[40]vx = 1;"), 1);
}

}  // namespace

class TestTimeline : public QObject {
  Q_OBJECT

 private slots:
  // Scrubbing shows the pose between the keys, hits each key exactly and puts the figure back
  // when it ends; keys move by their marks, never onto another key.
  void scrubbingShowsThePosesBetweenKeys() {
    WindowFixture f;
    buildFigure(f);
    TimelinePanel& p = openPanel(f);
    addTwoKeys(f, p);
    Timeline& t = *timelineOf(*f.window);
    QCOMPARE(t.animation().keys.size(), size_t(2));
    QCOMPARE(t.animation().keys[0].easing, Easing::Linear);
    QVERIFY(f.window->modified());
    const QByteArray before = projectBytes(f, "before.tov");

    FrameStrip& s = *p.strip();
    QTest::mousePress(&s, Qt::LeftButton, Qt::NoModifier, stripPoint(s, 0, false));
    QVERIFY(t.previewing());
    QCOMPARE(jointTurn(f), 0.0f);
    stripMove(s, stripPoint(s, 5, false));
    QCOMPARE(p.currentFrame(), 5);
    QVERIFY(std::fabs(jointTurn(f) - 0.5f) < 1e-6);
    // The line program turned the joint's points with it: (400, 300) by 0.5 about (300, 300).
    const QPointF turned = pos(f.doc(), 0, 1);
    QVERIFY(std::fabs(turned.x() - (300 + 100 * std::cos(0.5))) < 1e-3);
    QVERIFY(std::fabs(turned.y() - (300 - 100 * std::sin(0.5))) < 1e-3);
    stripMove(s, stripPoint(s, 10, false));
    QCOMPARE(jointTurn(f), 1.0f);
    QTest::mouseRelease(&s, Qt::LeftButton, Qt::NoModifier, stripPoint(s, 10, false));
    QVERIFY(!t.previewing());
    QCOMPARE(projectBytes(f, "after.tov"), before);

    // The frame field and a click on a key's mark show their frame as well, until a click
    // outside the panel puts the figure back.
    goToFrame(p, 5);
    QVERIFY(t.previewing());
    QVERIFY(std::fabs(jointTurn(f) - 0.5f) < 1e-6);
    QTest::mouseClick(&s, Qt::LeftButton, Qt::NoModifier, stripPoint(s, 0, true));
    QCOMPARE(p.currentFrame(), 0);
    QCOMPARE(jointTurn(f), 0.0f);
    QVERIFY(t.previewing());
    f.click(10, 10);
    QVERIFY(!t.previewing());
    QCOMPARE(jointTurn(f), 1.0f);
    QCOMPARE(projectBytes(f, "stepped.tov"), before);

    // The mark at 10 dragged to 12; dragged onto the key at 0 it is refused and stays.
    QTest::mousePress(&s, Qt::LeftButton, Qt::NoModifier, stripPoint(s, 10, true));
    stripMove(s, stripPoint(s, 12, true));
    QTest::mouseRelease(&s, Qt::LeftButton, Qt::NoModifier, stripPoint(s, 12, true));
    QCOMPARE(t.animation().keys[1].frame, 12);
    QCOMPARE(p.currentFrame(), 12);
    QTest::mousePress(&s, Qt::LeftButton, Qt::NoModifier, stripPoint(s, 12, true));
    stripMove(s, stripPoint(s, 0, true));
    QTest::mouseRelease(&s, Qt::LeftButton, Qt::NoModifier, stripPoint(s, 0, true));
    QCOMPARE(f.ui.lastText(), std::string("移動先のフレームには既にキーがあります。"));
    QCOMPARE(t.animation().keys[0].frame, 0);
    QCOMPARE(t.animation().keys[1].frame, 12);

    // The onion skin draws the keys around frame 6 from a copy: something on the canvas, the
    // document untouched.
    goToFrame(p, 6);
    f.click(10, 10);
    QVERIFY(f.window->canvas()->onionSkin().isNull());
    child<QCheckBox>(p, "onion")->setChecked(true);
    const QImage& skin = f.window->canvas()->onionSkin();
    QCOMPARE(skin.size(), f.window->canvas()->picture().size());
    int covered = 0;
    for (int y = 0; y < skin.height(); ++y)
      for (int x = 0; x < skin.width(); ++x) covered += qAlpha(skin.pixel(x, y)) > 0;
    QVERIFY(covered > 100);
    QCOMPARE(projectBytes(f, "skin.tov"), before);
    // Drawing the figure again unchanged keeps the skin; an edit of the figure (the plain
    // line's colour) draws it again once the edits pause.
    const QImage drawn = skin;
    f.window->compose();
    QTest::qWait(400);
    QCOMPARE(f.window->canvas()->onionSkin().cacheKey(), drawn.cacheKey());
    f.doc().lines[1].cr = 0x00C000;
    f.window->rebuild();
    f.window->compose();
    QTRY_VERIFY_WITH_TIMEOUT(f.window->canvas()->onionSkin() != drawn, 2000);
    p.hide();
    QVERIFY(f.window->canvas()->onionSkin().isNull());

    // "図に適用" gives the figure the pose of the current frame as one undo step.
    p.show();
    goToFrame(p, 3);
    child<QPushButton>(p, "applyPose")->click();
    QVERIFY(std::fabs(jointTurn(f) - 0.25f) < 1e-6);
    f.window->undo();
    QCOMPARE(jointTurn(f), 1.0f);
  }

  // Playing shows frames at the animation's speed; stopping it by the button, by a click on
  // the canvas or at the end of the animation leaves the document exactly as it was.
  void playingLeavesTheDocumentUnchanged() {
    WindowFixture f;
    buildFigure(f);
    TimelinePanel& p = openPanel(f);
    addTwoKeys(f, p);
    Timeline& t = *timelineOf(*f.window);
    const QByteArray before = projectBytes(f, "before.tov");
    const bool modified = f.window->modified();

    goToFrame(p, 0);
    child<QSpinBox>(p, "fps")->setValue(24);
    QCOMPARE(t.animation().fps, 24);
    auto* play = child<QPushButton>(p, "play");
    play->click();
    QVERIFY(t.playing());
    QTRY_VERIFY_WITH_TIMEOUT(p.currentFrame() >= 3, 2000);
    QVERIFY(jointTurn(f) > 0.0f);
    play->click();
    QVERIFY(!t.playing() && !t.previewing());
    QCOMPARE(projectBytes(f, "stopped.tov"), before);

    play->click();
    QTRY_VERIFY_WITH_TIMEOUT(jointTurn(f) > 0.0f, 2000);
    f.click(10, 10);
    QVERIFY(!t.playing() && !t.previewing());
    QCOMPARE(projectBytes(f, "clicked.tov"), before);

    // Without the loop playback ends by itself on the last frame.
    child<QCheckBox>(p, "loop")->setChecked(false);
    child<QSpinBox>(p, "length")->setValue(12);
    child<QSpinBox>(p, "fps")->setValue(kMaxAnimationFps);
    goToFrame(p, 0);
    play->click();
    QTRY_VERIFY_WITH_TIMEOUT(!t.playing(), 3000);
    QCOMPARE(p.currentFrame(), 11);
    QVERIFY(!t.previewing());
    QCOMPARE(projectBytes(f, "ended.tov"), before);
    QCOMPARE(f.window->modified(), modified);
  }

  // A program that reports an error on every frame: playback stops at the first frame and the
  // message appears once, with the figure's own pose back and no frame drawn while it is open;
  // a scrub or the frame field says it once too. A message raised by anything else while
  // playing stops playback before its box opens. The document is never changed.
  void anErroringProgramStopsPlaybackAndIsToldOnce() {
    WindowFixture f;
    buildFigure(f);
    TimelinePanel& p = openPanel(f);
    addTwoKeys(f, p);
    Timeline& t = *timelineOf(*f.window);
    t.endPreview();
    failTheJointProgram(f);
    const QByteArray before = projectBytes(f, "before.tov");
    const bool modified = f.window->modified();
    const int undoSteps = f.window->undoRing().undoCount();
    ModalUi modal;
    f.doc().ui = &modal;
    bool stillPlaying = true, stillPreviewing = true;
    modal.whileShown = [&] {
      stillPlaying = t.playing();
      stillPreviewing = t.previewing();
    };
    auto* play = child<QPushButton>(p, "play");
    auto unchanged = [&](const char* name) {
      QCOMPARE(projectBytes(f, name), before);
      QCOMPARE(f.window->modified(), modified);
      QCOMPARE(f.window->undoRing().undoCount(), undoSteps);
      QCOMPARE(jointTurn(f), 1.0f);
    };

    goToFrame(p, 0);
    t.endPreview();
    modal.reset();
    child<QSpinBox>(p, "fps")->setValue(kMaxAnimationFps);
    play->click();
    QCOMPARE(modal.shown.size(), size_t(1));
    QCOMPARE(modal.lastText(), std::string("SetValue"));
    QCOMPARE(modal.deepest, 1);
    QVERIFY(!stillPlaying && !stillPreviewing);
    QVERIFY(!t.playing() && !t.previewing());
    QTest::qWait(100);
    QCOMPARE(modal.shown.size(), size_t(1));
    unchanged("played.tov");

    // A scrub across the strip: one message at its first frame, no frames after it.
    FrameStrip& s = *p.strip();
    modal.reset();
    QTest::mousePress(&s, Qt::LeftButton, Qt::NoModifier, stripPoint(s, 2, false));
    for (int frame : {4, 6, 8}) stripMove(s, stripPoint(s, frame, false));
    QTest::mouseRelease(&s, Qt::LeftButton, Qt::NoModifier, stripPoint(s, 8, false));
    QCOMPARE(modal.shown.size(), size_t(1));
    QVERIFY(!t.previewing());
    unchanged("scrubbed.tov");
    goToFrame(p, 3);
    goToFrame(p, 4);
    QCOMPARE(modal.shown.size(), size_t(2));
    QVERIFY(!t.previewing());
    unchanged("stepped.tov");

    // A working program again; while playing, another message opens: playback has stopped and
    // the figure is its own before the box shows, and stays so while it is open.
    {
      ScriptEngine e(f.doc());
      e.setDumpPath("");
      QCOMPARE(e.lex("TPRotSel(); TPMoveSel();"), 1);
    }
    const QByteArray working = projectBytes(f, "working.tov");
    goToFrame(p, 0);
    t.endPreview();
    modal.reset();
    play->click();
    QTRY_VERIFY_WITH_TIMEOUT(p.currentFrame() >= 2, 2000);
    QVERIFY(t.playing() && modal.shown.empty());
    stillPlaying = stillPreviewing = true;
    QTimer::singleShot(0, [&] { modal.message("ほかの知らせ", "メッセージ"); });
    QTRY_COMPARE_WITH_TIMEOUT(modal.shown.size(), size_t(1), 2000);
    QTRY_COMPARE_WITH_TIMEOUT(modal.depth, 0, 2000);
    QVERIFY(!stillPlaying && !stillPreviewing);
    QVERIFY(!t.playing());
    QCOMPARE(projectBytes(f, "interrupted.tov"), working);
    QCOMPARE(f.window->modified(), modified);
  }

  // Each key edit is one step of the panel's undo: 元に戻す and Ctrl+Z in the panel take it
  // back, やり直し and Ctrl+Y do it again, and a new edit drops what was undone.
  void keyEditsAreUndoneInThePanel() {
    WindowFixture f;
    buildFigure(f);
    TimelinePanel& p = openPanel(f);
    addTwoKeys(f, p);
    Timeline& t = *timelineOf(*f.window);
    QCOMPARE(t.undoCount(), 3);  // a key, its easing, a key
    const Animation two = t.animation();
    FrameStrip& s = *p.strip();
    QTest::mouseClick(&s, Qt::LeftButton, Qt::NoModifier, stripPoint(s, 10, true));
    QVERIFY(t.previewing());
    child<QPushButton>(p, "deleteKey")->click();
    auto* fps = child<QSpinBox>(p, "fps");
    fps->setValue(30);
    child<QSpinBox>(p, "length")->setValue(two.length + 5);
    const Animation edited = t.animation();
    QCOMPARE(t.undoCount(), 6);
    QCOMPARE(jointTurn(f), 0.0f);  // frame 10 shown as the one key left gives it

    // Ctrl+Z in the fps field undoes the length, not the field's text.
    QApplication::setActiveWindow(&p);
    fps->setFocus();
    QVERIFY(fps->hasFocus());
    QTest::keyClick(fps, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(t.animation().length, two.length);
    QCOMPARE(t.animation().fps, 30);
    QCOMPARE(fps->value(), 30);
    auto* undo = child<QPushButton>(p, "undoKey");
    undo->click();
    undo->click();
    QVERIFY(t.animation() == two);
    QCOMPARE(child<QSpinBox>(p, "fps")->value(), two.fps);
    // The figure shows frame 10 as the keys give it again.
    QCOMPARE(jointTurn(f), 1.0f);
    for (int i = 0; i < 3; ++i) QTest::keyClick(fps, Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(t.animation() == edited);
    QVERIFY(!child<QPushButton>(p, "redoKey")->isEnabled());

    undo->click();
    child<QSpinBox>(p, "fps")->setValue(12);
    QCOMPARE(t.redoCount(), 0);
    QCOMPARE(t.animation().length, two.length);
    t.endPreview();
    // Undoing every edit leaves no keys; nothing further to undo.
    while (undo->isEnabled()) undo->click();
    QVERIFY(t.animation().keys.empty());
    QCOMPARE(t.undoCount(), 0);
  }

  // The animation is written beside the project when it is saved and read when it is opened;
  // a damaged file is refused with a message and left as it is for the next save.
  void theAnimationFileGoesWithTheProject() {
    WindowFixture f;
    buildFigure(f);
    TimelinePanel& p = openPanel(f);
    addTwoKeys(f, p);
    Timeline& t = *timelineOf(*f.window);
    const Animation saved = t.animation();
    const std::string project = f.dir.filePath("walk.tov").toStdString();
    const std::string beside = f.dir.filePath("walk.tovanim").toStdString();
    f.ui.queuePath(project);
    QVERIFY(f.window->runCommand(40030));
    QVERIFY(!f.window->modified());
    Animation read;
    std::string reason;
    QVERIFY2(loadAnimationFile(beside, read, reason), reason.c_str());
    QVERIFY(read == saved);

    goToFrame(p, 0);
    child<QPushButton>(p, "deleteKey")->click();
    QCOMPARE(t.animation().keys.size(), size_t(1));
    QVERIFY(f.window->modified());
    QVERIFY(f.window->openProject(project));
    QVERIFY(t.animation() == saved);
    f.ui.queueAnswer(Answer::Yes);  // 新規作成: the animation goes with the document
    QVERIFY(f.window->runCommand(40044));
    QVERIFY(t.animation().keys.empty());

    {
      QFile damaged(QString::fromStdString(beside));
      QVERIFY(damaged.open(QIODevice::WriteOnly));
      damaged.write("{\"format\": \"tovala-animation\", \"version\": 1, \"fps\": 0");
    }
    f.ui.reset();
    QVERIFY(f.window->openProject(project));
    QVERIFY(f.ui.lastText().starts_with(kAnimationReadFailed));
    QVERIFY(t.animation().keys.empty());
    f.ui.queuePath(project);
    QVERIFY(f.window->runCommand(40030));
    QFile kept(QString::fromStdString(beside));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QVERIFY(kept.readAll().endsWith("\"fps\": 0"));
  }
};

QTEST_MAIN(TestTimeline)
#include "tst_timeline.moc"
