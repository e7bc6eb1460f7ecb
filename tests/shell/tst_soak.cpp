// A long random session on the body model: points dragged, lines drawn and deleted, joints
// dragged in motion mode, undo and redo, poses applied, keys of the timeline edited and scrubbed,
// the project saved and opened again. After every operation the document keeps its sentinels and
// its line order; a scrub leaves the document as it was; every save reads back to the document
// and animation the window holds, and opening it in the window shows the same document.
//
// TOVALA_SOAK_OPS operations (200 by default) from the seed TOVALA_SOAK_SEED (1). The resident
// memory is reported every tenth of the run; with TOVALA_SOAK_GROWTH_MB set, it may grow by at
// most that much between the end of the first quarter (the warm-up) and the end.

// The script engine has a member named like Qt's `emit` keyword: it comes before any Qt header.
#include "script/script_engine.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/animation_file.h"
#include "engine/pose.h"
#include "model/project_file.h"
#include "shell/motion_mode.h"
#include "shell/panels/control/move_panel.h"
#include "shell/panels/pose/pose_panel_window.h"
#include "shell/panels/timeline/frame_strip.h"
#include "shell/panels/timeline/timeline.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {

int envInt(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::atoi(v) : fallback;
}

long residentKiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The document as its project file, uncompressed: what "the same document" means here.
QByteArray documentBytes(const Document& d, const QString& path) {
  if (!saveProject(d, path.toStdString(), false)) return {};
  return fileBytes(path);
}

// Empty when the document is sound; otherwise what is wrong with it.
std::string brokenInvariant(const Document& d) {
  if (d.lines.empty()) return "no sentinel line";
  const int n = d.lineCount() - 1;
  for (int i = 0; i <= n; ++i) {
    const LineRecord& l = d.lines[size_t(i)];
    if (l.points.empty()) return "line " + std::to_string(i) + " without its point sentinel";
    if (l.params.empty() || l.params.back().key != kParamSentinelKey)
      return "line " + std::to_string(i) + " without its parameter sentinel";
    if (l.code.empty()) return "line " + std::to_string(i) + " without its code sentinel";
  }
  if (int(d.lineOrder.size()) < n) return "line order shorter than the lines";
  std::vector<int> seen(size_t(n), 0);
  for (int pos = 0; pos < n; ++pos) {
    const int line = d.lineOrder[size_t(pos)];
    if (line < 0 || line >= n || seen[size_t(line)]++) return "line order not a permutation";
  }
  if (n > 0 && (d.curLine < 0 || d.curLine >= n)) return "selected line out of range";
  return {};
}

class Soak {
 public:
  Soak(WindowFixture& f, uint32_t seed) : f_(f), rng_(seed) {}

  void start() {
    QVERIFY(f_.window->runCommand(40050));  // 人体モデル作成
    QVERIFY(f_.doc().lineCount() > 10);
    f_.window->runCommand(kCommandTimeline);
    timeline_ = static_cast<TimelinePanel*>(f_.window->panel(PanelId::Timeline));
    QVERIFY(timeline_);
  }

  // One random operation, then the document's invariants.
  void step(int i) {
    const int pick = int(rng_() % 100);
    if (pick < 22) {
      editPoint();
    } else if (pick < 26) {
      drawOrDeleteLine();
    } else if (pick < 46) {
      dragJoint();
    } else if (pick < 60) {
      undoOrRedo();
    } else if (pick < 68) {
      applyRandomPose();
    } else if (pick < 84) {
      editKeys();
    } else if (pick < 92) {
      scrub();
    } else {
      saveAndReopen();
    }
    f_.ui.reset();  // the messages shown would otherwise pile up over a long run
    const std::string broken = brokenInvariant(f_.doc());
    QVERIFY2(broken.empty(), qPrintable(QString("operation %1: %2").arg(i).arg(broken.c_str())));
  }

  // How often the operations did what they were meant to: evidence the run exercised the editor.
  int saves = 0, reopened = 0, jointsMoved = 0, pointsMoved = 0, undone = 0, keysAdded = 0;

 private:
  int below(int n) { return n <= 0 ? 0 : int(rng_() % uint32_t(n)); }
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  Document& doc() { return f_.doc(); }
  Timeline& timeline() { return *timelineOf(*f_.window); }
  MovePanel& movePanel() { return *static_cast<MovePanel*>(f_.window->panel(PanelId::Move)); }

  void leaveMotion() {
    if (!f_.window->motion()) return;
    movePanel().button(below(2) ? 1 : 2)->click();  // keep the pose or restore it
    QVERIFY(!f_.window->motion());
  }

  // A random real point: its line and index, or false when the document has none.
  bool randomPoint(int& line, int& point, bool jointsOnly = false) {
    const int n = doc().lineCount() - 1;
    for (int tries = 0; tries < 50 && n > 0; ++tries) {
      line = below(n);
      const LineRecord& l = doc().lines[size_t(line)];
      if (l.pointCount() < 2) continue;
      point = below(l.pointCount() - 1);
      const int kind = l.points[size_t(point)].kind;
      if (!jointsOnly || kind == 1000 || kind == 2000) return true;
    }
    return false;
  }

  QPoint canvasPointOf(int line, int point) {
    const PointRecord& p = doc().lines[size_t(line)].points[size_t(point)];
    return {std::clamp(int(p.vx), 0, doc().imageWidth - 1),
            std::clamp(int(p.vy), 0, doc().imageHeight - 1)};
  }

  // Select mode: a point dragged a little, now and then deleted with the Delete key.
  void editPoint() {
    leaveMotion();
    f_.window->runCommand(40002);
    int line = 0, point = 0;
    if (!randomPoint(line, point)) return;
    const QPoint at = canvasPointOf(line, point);
    const QPoint by(between(1, 15), between(-15, 15));
    f_.drag({at, at + by});
    const Document& d = doc();
    if (d.isValidPick(d.curLine, d.curPoint) == 1 &&
        canvasPointOf(d.curLine, d.curPoint) != at)
      ++pointsMoved;
    if (below(8) == 0) f_.key(Qt::Key_Delete);
  }

  void drawOrDeleteLine() {
    leaveMotion();
    if (below(2)) {
      const QPoint a(between(50, 700), between(50, 500));
      f_.drawLine({a, a + QPoint(between(10, 60), between(-30, 30))});
      f_.window->runCommand(40002);
    } else if (doc().lineCount() > 30) {
      f_.window->runCommand(40002);
      int line = 0, point = 0;
      if (!randomPoint(line, point)) return;
      f_.click(canvasPointOf(line, point).x(), canvasPointOf(line, point).y());
      if (!f_.window->lineSelected()) return;
      f_.ui.queueAnswer(Answer::Yes);  // よろしいですか?
      f_.window->runCommand(40004);    // 線削除
    }
  }

  // Motion mode: a joint dragged with one of the four tools, by either button.
  void dragJoint() {
    if (!f_.window->motion()) {
      f_.window->runCommand(40002);
      f_.window->runCommand(40031);  // the reference question, if asked, is answered No
      if (!f_.window->motion()) return;
    }
    static constexpr std::array<int, 4> kTools{1047, 1048, 1049, 1050};
    movePanel().button(kTools[size_t(below(4))])->click();
    int line = 0, point = 0;
    if (!randomPoint(line, point, true)) return;
    const QPoint from = canvasPointOf(line, point);
    const QPoint to = from + QPoint(between(5, 40), between(-40, 40));
    const Pose before = capturePose(doc());
    if (below(3) == 0) {
      QTest::mousePress(f_.viewport(), Qt::RightButton, Qt::NoModifier, f_.at(from.x(), from.y()));
      f_.move(to.x(), to.y(), Qt::RightButton);
      QTest::mouseRelease(f_.viewport(), Qt::RightButton, Qt::NoModifier, f_.at(to.x(), to.y()));
    } else {
      f_.drag({from, (from + to) / 2, to});
    }
    if (!(capturePose(doc()) == before)) ++jointsMoved;
    if (below(4) == 0) leaveMotion();
  }

  void undoOrRedo() {
    if (below(4) == 0) leaveMotion();
    for (int n = between(1, 3); n > 0; --n) {
      const int steps = f_.window->undoRing().undoCount();
      below(3) ? f_.window->undo() : f_.window->redo();
      undone += f_.window->undoRing().undoCount() != steps;
    }
  }

  // The figure's own pose with a few joints turned, applied as the pose panel applies one.
  void applyRandomPose() {
    Pose pose = capturePose(doc());
    if (pose.joints.empty()) return;
    for (int n = between(1, 4); n > 0; --n) {
      JointPose& j = pose.joints[size_t(below(int(pose.joints.size())))];
      j.rad[size_t(below(3))] = float(between(-150, 150)) / 100.0f;
    }
    applyPoseAsStep(*f_.window, pose, "OnPosePanel");
  }

  template <class W>
  W* child(const char* name) {
    return timeline_->findChild<W*>(QString::fromLatin1(name));
  }
  void goToFrame(int frame) { child<QSpinBox>("frame")->setValue(frame); }

  void editKeys() {
    const int length = timeline().animation().length;
    goToFrame(below(length));
    switch (below(7)) {
      case 0:
      case 1: {
        const size_t keys = timeline().animation().keys.size();
        child<QPushButton>("addKey")->click();
        keysAdded += timeline().animation().keys.size() > keys;
        break;
      }
      case 2: child<QPushButton>("deleteKey")->click(); break;
      case 3: {
        auto* easing = child<QComboBox>("easing");
        if (!easing->isEnabled()) break;
        easing->setCurrentIndex(below(easing->count()));
        emit easing->activated(easing->currentIndex());
        break;
      }
      case 4: child<QSpinBox>("fps")->setValue(between(6, 30)); break;
      case 5: child<QSpinBox>("length")->setValue(between(10, 60)); break;
      default: {
        auto* b = child<QPushButton>(below(2) ? "undoKey" : "redoKey");
        if (b->isEnabled()) b->click();
        break;
      }
    }
    timeline().endPreview();
  }

  // Dragging across the strip shows frames on the figure and leaves the document as it was.
  void scrub() {
    leaveMotion();
    timeline().endPreview();
    const QByteArray before = documentBytes(doc(), f_.dir.filePath("scrub-before.tv0"));
    FrameStrip& s = *timeline_->strip();
    const int length = timeline().animation().length;
    auto at = [&](int frame) { return QPoint(int(std::lround(s.xOf(frame))), 4); };
    QTest::mousePress(&s, Qt::LeftButton, Qt::NoModifier, at(below(length)));
    for (int n = between(1, 4); n > 0; --n) {
      const QPoint p = at(below(length));
      QMouseEvent e(QEvent::MouseMove, p, s.mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                    Qt::NoModifier);
      QCoreApplication::sendEvent(&s, &e);
    }
    QTest::mouseRelease(&s, Qt::LeftButton, Qt::NoModifier, at(below(length)));
    QVERIFY(!timeline().previewing());
    QCOMPARE(documentBytes(doc(), f_.dir.filePath("scrub-after.tv0")), before);
  }

  // Saved under one of a few names, then read back apart from the window: the same document
  // and the same animation; now and then the window opens it again and shows the same.
  void saveAndReopen() {
    leaveMotion();
    timeline().endPreview();
    const QString path = f_.dir.filePath(QString("soak%1.tov").arg(below(3)));
    f_.ui.queuePath(path.toStdString());
    if (!f_.window->saveProjectAs(path.toStdString())) {
      QFAIL(qPrintable("save failed: " + QString::fromStdString(f_.ui.lastText())));
    }
    ++saves;
    QVERIFY(!f_.window->modified());
    const QByteArray held = documentBytes(doc(), f_.dir.filePath("held.tv0"));
    Document read;
    QVERIFY(loadProject(read, path.toStdString(), true));
    QCOMPARE(documentBytes(read, f_.dir.filePath("read.tv0")), held);
    const Animation& anim = timeline().animation();
    const std::string animPath = animationPathFor(path.toStdString());
    Animation readAnim;
    std::string reason;
    if (anim.keys.empty()) {
      QVERIFY(!QFile::exists(QString::fromStdString(animPath)) ||
              (loadAnimationFile(animPath, readAnim, reason) && readAnim.keys.empty()));
    } else {
      QVERIFY2(loadAnimationFile(animPath, readAnim, reason), reason.c_str());
      QVERIFY(readAnim == anim);
    }
    if (below(3) == 0) {
      const Animation kept = anim;
      QVERIFY(f_.window->openProject(path.toStdString()));
      ++reopened;
      QCOMPARE(documentBytes(doc(), f_.dir.filePath("opened.tv0")), held);
      QVERIFY(timeline().animation() == kept);
      QVERIFY(!f_.window->modified());
    }
  }

  WindowFixture& f_;
  std::mt19937 rng_;
  TimelinePanel* timeline_ = nullptr;
};

}  // namespace

class TestSoak : public QObject {
  Q_OBJECT

 private slots:
  void randomSessionOnTheBodyModel() {
    const int ops = envInt("TOVALA_SOAK_OPS", 200);
    const uint32_t seed = uint32_t(envInt("TOVALA_SOAK_SEED", 1));
    const int growthLimitMb = envInt("TOVALA_SOAK_GROWTH_MB", 0);
    WindowFixture f;
    Soak soak(f, seed);
    soak.start();
    if (QTest::currentTestFailed()) return;
    const int every = std::max(1, ops / 10);
    long afterWarmUp = 0;
    QElapsedTimer clock;
    clock.start();
    for (int i = 1; i <= ops; ++i) {
      soak.step(i);
      if (QTest::currentTestFailed()) {
        qWarning("seed %u failed at operation %d", seed, i);
        return;
      }
      if (i % every == 0 || i == ops) {
        const long rss = residentKiB();
        std::printf("soak: %d operations, %ld KiB resident, %d lines, %.1f s\n", i, rss,
                    f.doc().lineCount() - 1, double(clock.elapsed()) / 1000.0);
        std::fflush(stdout);
      }
      if (i == ops / 4) afterWarmUp = residentKiB();
    }
    std::printf("soak: %d saves, %d opened again, %d joint drags and %d point drags that moved, "
                "%d undo or redo steps, %d keys added\n",
                soak.saves, soak.reopened, soak.jointsMoved, soak.pointsMoved, soak.undone,
                soak.keysAdded);
    if (ops >= 100) {
      QVERIFY(soak.saves > 0 && soak.reopened > 0);
      QVERIFY(soak.jointsMoved > 0 && soak.pointsMoved > 0);
      QVERIFY(soak.undone > 0 && soak.keysAdded > 0);
    }
    if (growthLimitMb > 0 && afterWarmUp > 0) {
      const long grown = residentKiB() - afterWarmUp;
      QVERIFY2(grown <= long(growthLimitMb) * 1024,
               qPrintable(QString("resident memory grew by %1 KiB after the warm-up").arg(grown)));
    }
  }
};

int main(int argc, char** argv) {
  // QtTest ends a test function after five minutes; a long run takes about a fifth of a second an
  // operation in the sanitizer build.
  if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT")) {
    const int ops = envInt("TOVALA_SOAK_OPS", 200);
    qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(std::max(300000LL, ops * 1000LL)));
  }
  QApplication app(argc, argv);
  TestSoak test;
  QTEST_SET_MAIN_SOURCE_PATH
  return QTest::qExec(&test, argc, argv);
}
#include "tst_soak.moc"
