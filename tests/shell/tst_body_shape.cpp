// The 体型 dialog (sliders, number boxes, presets, the picture that follows them), the shape
// asked by 人体モデル作成 and kept beside the project, and 体型変更 as one undo step that keeps
// the pose.

// The script engine has a member named like Qt's `emit` keyword: it comes before any Qt header.
#include "script/script_engine.h"

#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include <filesystem>

#include "engine/pose.h"
#include "model/project_file.h"
#include "script/body_model.h"
#include "script/body_shape_file.h"
#include "script/line_programs.h"
#include "shell/panels/body_shape/body_shape_commands.h"
#include "shell/panels/body_shape/body_shape_dialog.h"
#include "shell/panels/body_shape/body_shape_keeper.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {

const BodyShape& preset(const char* name) { return findBodyShapePreset(name)->shape; }

// Answers the commands' shape question with `shape` and remembers what they started from.
struct ScriptedShape {
  explicit ScriptedShape(std::optional<BodyShape> answer) {
    setBodyShapeAsker([this, answer](const BodyShape& initial) {
      asked = initial;
      return answer;
    });
  }
  ~ScriptedShape() { setBodyShapeAsker(nullptr); }
  std::optional<BodyShape> asked;
};

std::vector<uint8_t> figureOf(const BodyShape& shape) {
  Document d;
  createBodyModel(d, shape);
  return writeProjectPayload(d);
}

}  // namespace

class TestBodyShape : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { installScriptHooks(); }

  void presetsSlidersAndNumberBoxesAgreeAndThePictureFollows() {
    BodyShapeDialog dlg(BodyShape{}, "体型");
    QVERIFY(dlg.preview()->shape() == BodyShape{});
    QCOMPARE(dlg.preview()->figure().lineCount(), 184);

    // A preset sets every control; the picture follows once the event loop turns.
    dlg.presetButton(1)->click();  // ちび
    QCOMPARE(dlg.presetButton(1)->text(), QString("ちび"));
    QVERIFY(dlg.shape() == preset("chibi"));
    QCOMPARE(dlg.spinBox(0)->value(), 2.5);
    QCOMPARE(dlg.slider(0)->value(), 71);  // (2.5 - 2) / 7 of 1000 steps
    QTRY_VERIFY(dlg.preview()->shape() == preset("chibi"));

    // The slider's far end is the range's end; the number box shows it.
    dlg.slider(0)->setValue(1000);
    QCOMPARE(dlg.shape().heads, 9.0);
    QCOMPARE(dlg.spinBox(0)->value(), 9.0);
    // A typed value moves the slider; the box keeps to the range.
    dlg.spinBox(6)->setValue(1.15);  // 脚の長さ
    QCOMPARE(dlg.shape().legs, 1.15);
    QCOMPARE(dlg.slider(6)->value(), 750);
    dlg.spinBox(6)->setValue(5.0);
    QCOMPARE(dlg.shape().legs, 1.3);

    // A slider dragged through many steps builds the picture once, for where it stopped.
    QElapsedTimer t;
    t.start();
    for (int v = 0; v <= 1000; v += 50) dlg.slider(0)->setValue(v);
    QTRY_COMPARE(dlg.preview()->shape().heads, 9.0);
    qInfo("preview followed 21 slider steps in %lld ms (debug, sanitizers)", t.elapsed());
    const BodyShape shown = dlg.shape();
    QVERIFY(bodyShapeFault(shown).empty());
  }

  void bodyModelAsksTheShapeAndKeepsItBesideTheProject() {
    WindowFixture f;
    {
      ScriptedShape answer(preset("chibi"));
      QVERIFY(f.window->runCommand(40050));
      QVERIFY(answer.asked == BodyShape{});
    }
    QVERIFY(writeProjectPayload(f.doc()) == figureOf(preset("chibi")));
    QVERIFY(BodyShapeKeeper::of(f.window->session()).shape() == preset("chibi"));

    const std::string path = f.dir.filePath("chibi.tov").toStdString();
    QVERIFY(f.window->session().save(path));
    BodyShape kept;
    std::string reason;
    QVERIFY(loadBodyShapeFile(bodyShapePathFor(path), kept, reason));
    QVERIFY(kept == preset("chibi"));

    // Opened again, the shape comes with it; the next figure starts from it.
    f.ui.queueAnswer(Answer::Yes);
    QVERIFY(f.window->runCommand(40044));  // 新規作成
    QVERIFY(!BodyShapeKeeper::of(f.window->session()).shape());
    QVERIFY(f.window->session().open(path));
    QVERIFY(BodyShapeKeeper::of(f.window->session()).shape() == preset("chibi"));
    {
      ScriptedShape answer(std::nullopt);  // cancelled: nothing happens
      const auto before = writeProjectPayload(f.doc());
      f.window->runCommand(40050);
      QVERIFY(answer.asked == preset("chibi"));
      QVERIFY(writeProjectPayload(f.doc()) == before);
    }
  }

  // The shape goes with the project to a new name even when no shape command ran in this window.
  void saveAsCarriesTheShapeOfAnOpenedProject() {
    std::string path;
    WindowFixture maker;
    {
      ScriptedShape answer(preset("model"));
      QVERIFY(maker.window->runCommand(40050));
    }
    path = maker.dir.filePath("tall.tov").toStdString();
    QVERIFY(maker.window->session().save(path));

    WindowFixture f;
    QVERIFY(f.window->session().open(path));
    const std::string copy = f.dir.filePath("copy.tov").toStdString();
    QVERIFY(f.window->session().save(copy));
    BodyShape kept;
    std::string reason;
    QVERIFY2(loadBodyShapeFile(bodyShapePathFor(copy), kept, reason), reason.c_str());
    QVERIFY(kept == preset("model"));
  }

  void changingTheShapeKeepsThePoseInOneUndoStep() {
    WindowFixture f;
    QVERIFY(f.window->runCommand(40050));  // the standard figure (no dialog for a scripted Ui)
    Document& d = f.doc();
    d.lines[8].points[0].radz = 0.8f;   // left shoulder
    d.lines[20].points[1].radx = 0.7f;  // left knee
    const Pose pose = capturePose(d);
    const auto before = writeProjectPayload(d);
    const int steps = f.window->undoRing().undoCount();
    {
      ScriptedShape answer(preset("model"));
      QVERIFY(f.window->runCommand(kCommandBodyShape));
      QVERIFY(answer.asked == BodyShape{});
    }
    QVERIFY(capturePose(d) == pose);
    QVERIFY(d.lines[8].points[1].v0y < 444 - 20);  // the model's elbow is higher up
    QVERIFY(BodyShapeKeeper::of(f.window->session()).shape() == preset("model"));
    QCOMPARE(f.window->undoRing().undoCount(), steps + 1);
    QVERIFY(f.window->session().modified());
    f.window->undo();
    QVERIFY(writeProjectPayload(f.doc()) == before);
  }

  void changingTheShapeOfSomethingElseIsRefused() {
    WindowFixture f;
    QVERIFY(!bodyShapeRule(*f.window).enabled);
    QCOMPARE(bodyShapeRule(*f.window).reason, kNotABodyModel);
    ScriptedShape answer(preset("male"));
    const auto before = writeProjectPayload(f.doc());
    QVERIFY(!f.window->runCommand(kCommandBodyShape));  // the menu item is disabled
    changeBodyShapeCommand(*f.window);                  // and the handler says why
    QVERIFY(!answer.asked);
    QCOMPARE(f.ui.shown.size(), size_t(1));
    QCOMPARE(f.ui.shown[0].text, std::string(kNotABodyModel));
    QVERIFY(writeProjectPayload(f.doc()) == before);
  }
};

QTEST_MAIN(TestBodyShape)
#include "tst_body_shape.moc"
