// The undo ring in both kinds, the paint ring, the rescaling of the slots, the work-file
// command, and the question when a changed document is closed.

#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include <functional>

#include "model/project_file.h"
#include "shell/panels/objects/objects_panel.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {

struct State {
  std::vector<LineRecord> lines;
  std::vector<int32_t> order;
  bool operator==(const State&) const = default;
};
State stateOf(const Document& d) { return {d.lines, d.lineOrder}; }

// Where two states part, for the failure message.
QString difference(const State& a, const State& b) {
  if (a.order != b.order) return "line order";
  if (a.lines.size() != b.lines.size())
    return QString("line count %1 / %2").arg(a.lines.size()).arg(b.lines.size());
  for (size_t i = 0; i < a.lines.size(); ++i) {
    const LineRecord& x = a.lines[i];
    const LineRecord& y = b.lines[i];
    if (x == y) continue;
    if (x.points != y.points) return QString("points of line %1").arg(i);
    return QString("line %1 (nam %2/%3, rect %4/%5)")
        .arg(i)
        .arg(x.nam)
        .arg(y.nam)
        .arg(x.rectw)
        .arg(y.rectw);
  }
  return "same";
}

// Twenty-five edits through the mouse and the commands, each exactly one snapshot.
std::vector<std::function<void(WindowFixture&)>> twentyFiveEdits() {
  auto cmd = [](int id) { return [id](WindowFixture& f) { f.window->runCommand(id); }; };
  auto click = [](int x, int y) { return [x, y](WindowFixture& f) { f.click(x, y); }; };
  auto newLineAt = [](int x, int y) {
    return [x, y](WindowFixture& f) {
      f.window->runCommand(40003);
      f.click(x, y);
    };
  };
  return {
      click(100, 100),
      click(150, 120),
      click(200, 100),
      cmd(40012),
      newLineAt(300, 300),
      click(350, 320),
      click(400, 300),
      cmd(40014),
      [](WindowFixture& f) {
        f.window->runCommand(40002);
        f.drag({{350, 320}, {355, 330}, {360, 340}});
      },
      cmd(40008),
      newLineAt(500, 500),
      click(550, 520),
      cmd(40011),
      cmd(40033),
      [](WindowFixture& f) {
        f.ui.queueAnswer(Answer::Yes);
        f.window->runCommand(40004);
      },
      newLineAt(600, 100),
      click(650, 150),
      click(700, 100),
      cmd(40015),
      [](WindowFixture& f) {
        f.window->runCommand(40038);
        f.drag({{600, 200}, {700, 250}});
      },
      [](WindowFixture& f) {
        f.window->runCommand(40002);
        f.drag({{650, 225}, {640, 260}});
      },
      cmd(40013),
      cmd(40034),
      [](WindowFixture& f) {
        f.window->runCommand(40061);
        f.drag({{600, 200}, {650, 200}});
      },
      [](WindowFixture& f) {
        f.window->runCommand(40007);
        f.click(720, 300);
      },
  };
}

}  // namespace

class TestUndo : public QObject {
  Q_OBJECT

 private slots:
  void twentyFiveEditsThenUndoAndRedo() {
    WindowFixture f;
    std::vector<State> after{stateOf(f.doc())};
    for (auto& edit : twentyFiveEdits()) {
      const int index = f.window->undoRing().index();
      edit(f);
      QCOMPARE(f.window->undoRing().index(), (index + 1) % kUndoSlots);
      after.push_back(stateOf(f.doc()));
    }
    QCOMPARE(f.doc().lineCount(), 4);
    QCOMPARE(f.window->undoRing().undoCount(), 20);
    QCOMPARE(f.window->undoRing().index(), 5);

    // Twenty steps back, each restoring the lines and their order exactly; the 21st does nothing.
    for (int k = 1; k <= 20; ++k) {
      f.window->runCommand(40021);
      QVERIFY2(stateOf(f.doc()) == after[size_t(25 - k)],
               qPrintable(QString("undo %1: %2")
                              .arg(k)
                              .arg(difference(stateOf(f.doc()), after[size_t(25 - k)]))));
    }
    QCOMPARE(f.window->undoRing().undoCount(), 0);
    QVERIFY(!f.window->runCommand(40021));  // disabled now
    f.window->undo();
    QVERIFY(stateOf(f.doc()) == after[5]);

    for (int k = 6; k <= 25; ++k) {
      f.window->runCommand(40022);
      QVERIFY2(stateOf(f.doc()) == after[size_t(k)],
               qPrintable(QString("redo to %1: %2")
                              .arg(k)
                              .arg(difference(stateOf(f.doc()), after[size_t(k)]))));
    }
    QCOMPARE(f.window->undoRing().redoCount(), 0);
    f.window->redo();
    QVERIFY(stateOf(f.doc()) == after[25]);
  }

  // The first undo saves the present state, so an immediate redo comes back to it; a new edit
  // ends the redo chain.
  void undoRedoAroundTheCurrentState() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 100}});
    const State two = stateOf(f.doc());
    f.click(300, 100);
    const State three = stateOf(f.doc());
    f.window->undo();
    QVERIFY(stateOf(f.doc()) == two);
    QCOMPARE(f.window->undoRing().redoCount(), 1);
    f.window->redo();
    QVERIFY(stateOf(f.doc()) == three);
    f.window->undo();
    f.click(250, 250);
    QCOMPARE(f.window->undoRing().redoCount(), 0);
  }

  void lineDeletionComesBackInPlace() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 100}});
    f.drawLine({{100, 300}, {200, 300}});
    f.drawLine({{100, 500}, {200, 500}});
    f.doc().curLine = 1;
    const State before = stateOf(f.doc());
    f.ui.queueAnswer(Answer::Yes);
    f.window->runCommand(40004);
    const State deleted = stateOf(f.doc());
    QCOMPARE(f.doc().lineCount(), 3);
    f.window->undo();
    QVERIFY(stateOf(f.doc()) == before);
    QCOMPARE(f.doc().curLine, 1);
    f.window->redo();
    QVERIFY(stateOf(f.doc()) == deleted);
  }

  void fileKindWritesNumberedSnapshots() {
    WindowFixture f;
    f.doc().fileUndo = 1;
    f.window->session().resetUndo();
    f.drawLine({{100, 100}, {200, 100}});
    const State one = stateOf(f.doc());
    // One file per press; a release writes nothing in this kind.
    QVERIFY(QFile::exists(f.dir.filePath("temp/undo000.tv0")));
    QVERIFY(QFile::exists(f.dir.filePath("temp/undo001.tv0")));
    QVERIFY(!QFile::exists(f.dir.filePath("temp/undo002.tv0")));
    f.click(300, 150);
    const State two = stateOf(f.doc());
    QCOMPARE(f.window->undoRing().index(), 3);
    f.window->undo();
    QVERIFY2(f.ui.shown.empty(), f.ui.lastText().c_str());
    QCOMPARE(f.window->undoRing().index(), 2);
    QCOMPARE(f.window->undoRing().redoCount(), 1);
    QCOMPARE(stateOf(f.doc()).lines.size(), one.lines.size());
    QCOMPARE(f.doc().pointCount(0), 3);               // two points and the sentinel
    QCOMPARE(f.doc().edit.mode, int(kModeAddPoint));  // the mode survives the read
    f.window->redo();
    QCOMPARE(f.doc().pointCount(0), 4);
    QCOMPARE(f.doc().lines[0].points[1].vx, two.lines[0].points[1].vx);
  }

  void paintRingKeepsFourSteps() {
    Document d;
    d.create();
    d.lines.insert(d.lines.begin(), d.makeDefaultLine());
    d.lineOrder = {0, 1};
    d.lines[0].rectw = 4;
    d.lines[0].recth = 3;
    d.newLineImage(0);
    auto pixel = [&] {
      return d.userImages.image(d.findImageByKey(int32_t(d.lines[0].cb)))->pixel(1, 1);
    };
    auto paint = [&](uint32_t c) {
      d.userImages.image(d.findImageByKey(int32_t(d.lines[0].cb)))->setPixel(1, 1, c);
    };
    PaintRing ring;
    ring.start(d, 0);
    for (uint32_t c = 1; c <= 6; ++c) {
      paint(c);
      ring.snapshot(d, 0);
    }
    QCOMPARE(ring.undoCount(), 4);
    for (uint32_t expected : {5u, 4u, 3u, 2u}) {
      QVERIFY(ring.undo(d, 0));
      QCOMPARE(pixel(), expected);
    }
    QVERIFY(!ring.undo(d, 0));
    QCOMPARE(pixel(), 2u);
    QVERIFY(ring.redo(d, 0));
    QCOMPARE(pixel(), 3u);
  }

  // Actions that change many lines, the whole-figure values or the settings come back exactly
  // (the saved bytes and the selection), in both kinds, and redo gives back the action's result.
  void wholeFigureActionsComeBackExactly() {
    for (const int fileKind : {0, 1}) {
      WindowFixture f;
      Document& d = f.doc();
      f.drawLine({{100, 100}, {200, 150}, {300, 100}});
      f.drawLine({{400, 300}, {450, 380}, {500, 300}});
      f.drawLine({{600, 500}, {800, 600}});  // at (640, 530)-(840, 630) once all moved,
                                             // then (645, 590)-(845, 690)
      d.fileUndo = fileKind;
      f.window->session().resetUndo();
      auto select = [&f](int line) {
        f.window->runCommand(40002);
        f.doc().curLine = line;
        f.doc().curPoint = 0;
      };
      // Each action with what prepares it (not a step of its own).
      struct Action {
        const char* name;
        std::function<void()> prepare, act;
      };
      const auto none = [] {};
      const std::vector<Action> actions = {
          {"all references", none,
           [&] { f.ui.queueAnswer(Answer::Yes), f.window->runCommand(40026); }},
          {"move all", none,
           [&] {
             f.window->runCommand(40059), f.drag({{300, 300}, {340, 330}});
           }},
          {"move flagged points",
           [&] {
             f.window->runCommand(40069);
             f.drag({{90, 90}, {480, 400}});  // flags points of the first two lines
           },
           [&] {
             f.window->runCommand(40068), f.drag({{300, 300}, {320, 310}});
           }},
          {"rotate", [&] { select(1); },
           [&] {
             f.window->runCommand(40061), f.drag({{470, 330}, {520, 300}});
           }},
          {"unselected line by its stroke", [&] { select(0); },
           [&] {
             f.drag({{740, 580}, {745, 640}});
           }},
          {"point of an unselected line", [&] { select(0); },
           [&] {
             f.drag({{845, 690}, {865, 720}});
           }},
          {"the selected line, pressed beside it", [&] { select(0); },
           [&] {
             f.drag({{20, 700}, {30, 720}});
           }},
          {"objects list", [&] { f.window->runCommand(40053); },
           [&] {
             f.ui.queueAnswer(Answer::Yes);
             static_cast<ObjectsPanel*>(f.window->panel(PanelId::Objects))->button(3)->click();
           }},
          {"enlarge", none, [&] { f.window->runCommand(40058); }},
          {"initial pose", none, [&] { f.window->runCommand(40046); }},
          {"origin",
           [&] {
             f.window->runCommand(40059), f.drag({{300, 300}, {310, 350}});
           },
           [&] { f.window->runCommand(40058), f.window->runCommand(40066); }},
      };
      for (const auto& [name, prepare, act] : actions) {
        prepare();
        const std::vector<uint8_t> before = writeProjectPayload(d);
        const int line = d.curLine;
        const int steps = f.window->undoRing().undoCount();
        act();
        const std::vector<uint8_t> after = writeProjectPayload(d);
        const QByteArray what = QByteArray(name) + (fileKind ? " (file kind)" : " (memory kind)");
        QVERIFY2(after != before, what);
        QVERIFY2(f.window->undoRing().undoCount() > steps, what);
        // The origin command in the list scales first: one step each.
        while (f.window->undoRing().undoCount() > steps) f.window->undo();
        QVERIFY2(writeProjectPayload(d) == before, what);
        if (!fileKind) QCOMPARE(d.curLine, line);
        while (f.window->undoRing().redoCount() > 0) f.window->redo();
        QVERIFY2(writeProjectPayload(d) == after, what);
      }
    }
  }

  // While Z shows the side view no step is taken, and a menu that opens then ends the side view.
  void sideViewRefusesStepsAndEndsAtAMenu() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 150}, {300, 100}});
    const std::vector<uint8_t> drawn = writeProjectPayload(f.doc());
    const int steps = f.window->undoRing().undoCount();
    QTest::keyPress(f.window.get(), Qt::Key_Z);
    QVERIFY(f.window->sideView());
    QVERIFY(!f.window->commands().state(*f.window, 40021).enabled);
    QTest::keyPress(f.window.get(), Qt::Key_Z, Qt::ControlModifier);  // Z still held
    f.window->undo();
    QCOMPARE(f.window->undoRing().undoCount(), steps);
    QVERIFY(f.window->sideView());
    QMenu* edit = nullptr;
    for (QMenu* m : f.window->findChildren<QMenu*>())
      if (m->title() == QString::fromUtf8("編集")) edit = m;
    QVERIFY(edit);
    emit edit->aboutToShow();
    QVERIFY(!f.window->sideView());
    QVERIFY(writeProjectPayload(f.doc()) == drawn);
    QVERIFY(f.window->commands().state(*f.window, 40021).enabled);

    // Snapshots are skipped in motion mode and in the side view.
    UndoRing ring;
    Document d;
    d.create();
    ring.init(d);
    d.edit.mode = kModeMotion;
    QCOMPARE(ring.snapshot(d, "x", false), SnapshotResult::Skipped);
    d.edit.mode = kModeSelect;
    QCOMPARE(ring.snapshot(d, "x", true), SnapshotResult::Skipped);
    QCOMPARE(ring.snapshot(d, "x", false), SnapshotResult::Written);
    QCOMPARE(ring.undo(d, true).stepped, false);
    QCOMPARE(ring.undoCount(), 1);
  }

  void deleteWorkFilesLeavesTheSnapshots() {
    WindowFixture f;
    for (const char* name :
         {"temp/1-0.txt", "temp/2-3.txt", "temp/undo000.tv0", "temp/keep.dat", "temp/notes.txt"}) {
      QFile file(f.dir.filePath(name));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("x");
    }
    f.window->runCommand(40032);
    QVERIFY(!QFile::exists(f.dir.filePath("temp/1-0.txt")));
    QVERIFY(!QFile::exists(f.dir.filePath("temp/2-3.txt")));
    QVERIFY(QFile::exists(f.dir.filePath("temp/notes.txt")));  // not a name the editor gives
    QVERIFY(QFile::exists(f.dir.filePath("temp/undo000.tv0")));
    QVERIFY(QFile::exists(f.dir.filePath("temp/keep.dat")));
  }

  void closingAChangedDocumentAsks() {
    WindowFixture f;
    QVERIFY(f.window->close());  // nothing changed: no question
    QVERIFY(f.ui.shown.empty());

    f.window->show();
    f.drawLine({{100, 100}, {200, 100}});
    f.ui.queueAnswer(Answer::Cancel);
    QVERIFY(!f.window->close());
    QCOMPARE(f.ui.lastText(), std::string("変更を保存しますか?"));
    // Yes, then a cancelled save dialog: still open.
    f.ui.queueAnswer(Answer::Yes);
    f.ui.queuePath(std::nullopt);
    QVERIFY(!f.window->close());
    // Yes and a name: saved, then closed; the file opens again with the same lines.
    const std::string path = f.dir.filePath("saved.tov").toStdString();
    f.ui.queueAnswer(Answer::Yes);
    f.ui.queuePath(path);
    QVERIFY(f.window->close());
    QVERIFY(!f.window->modified());
    const State saved = stateOf(f.doc());
    f.ui.queueAnswer(Answer::Yes);
    f.window->runCommand(40044);
    QVERIFY(f.window->openProject(path));
    QCOMPARE(stateOf(f.doc()).lines.size(), saved.lines.size());
    QCOMPARE(f.doc().lines[0].points[1].vx, 200.0f);
    QCOMPARE(f.doc().edit.mode, int(kModeSelect));
    // No closes without saving.
    f.window->show();
    f.click(300, 300);
    f.ui.queueAnswer(Answer::No);
    QVERIFY(f.window->close());
  }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
