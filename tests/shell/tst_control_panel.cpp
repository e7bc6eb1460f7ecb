// The control panel: its start-up state and fold, read back and apply through the window's
// message, the brush fields' two targets, the corrections and refusals of apply, the presets and
// the tool bar.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include <bit>

#include "shell/motion_mode.h"
#include "shell/panels/control/control_panel.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {

ControlPanel& panelOf(WindowFixture& f) {
  return *static_cast<ControlPanel*>(f.window->panel(PanelId::Control));
}
QLineEdit* edit(WindowFixture& f, int id) {
  return qobject_cast<QLineEdit*>(panelOf(f).control(id));
}
QComboBox* combo(WindowFixture& f, int id) {
  return qobject_cast<QComboBox*>(panelOf(f).control(id));
}

// Types into an edit and leaves it with Return, as the user does.
void enter(WindowFixture& f, int id, const QString& text) {
  QLineEdit* e = edit(f, id);
  e->setText(text);
  QTest::keyClick(e, Qt::Key_Return);
}

LineRecord& line0(WindowFixture& f) { return f.doc().lines[0]; }

}  // namespace

class TestControlPanel : public QObject {
  Q_OBJECT

 private slots:
  void startsBesideTheCanvasFoldedAndUnselected() {
    WindowFixture f;
    ControlPanel& p = panelOf(f);
    QVERIFY(p.isVisible());
    QCOMPARE(p.windowTitle(), QString::fromUtf8("メインメニュー"));
    // Without a line to read back, the panel keeps its initial selections.
    for (int id : {1003, 1004, 1012, 1014, 1024, 1025}) QCOMPARE(combo(f, id)->currentIndex(), 0);
    QCOMPARE(combo(f, 1023)->currentText(), QString::fromUtf8("綺麗"));
    QVERIFY(!p.commandButton(40023)->isEnabled());
    // A new document adds lines: "線の追加" is the pressed button.
    QVERIFY(p.commandButton(40003)->isChecked());
    QVERIFY(!p.commandButton(40002)->isChecked());

    // "↓" unfolds and folds by 210 pixels, keeping the top-left corner and the width.
    QVERIFY(p.folded());
    const QRect folded = p.geometry();
    auto* fold = qobject_cast<QPushButton*>(p.control(1002));
    fold->click();
    QVERIFY(!p.folded());
    QCOMPARE(p.geometry().height(), folded.height() + ControlPanel::kFoldHeight);
    QCOMPARE(p.geometry().topLeft(), folded.topLeft());
    QCOMPARE(p.geometry().width(), folded.width());
    QVERIFY(p.control(1015)->isVisible());
    fold->click();
    QCOMPARE(p.geometry(), folded);
    QVERIFY(!p.control(1015)->isVisible());
  }

  void readsTheSelectionBackAndAppliesWithAnUndoStep() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    QCOMPARE(edit(f, 1005)->text(), QString::number(line0(f).nam));
    QCOMPARE(edit(f, 1028)->text(), QString("200"));
    QCOMPARE(edit(f, 1029)->text(), QString("150"));
    QCOMPARE(combo(f, 1014)->currentIndex(), 1);                              // type 0
    QCOMPARE(qobject_cast<QSlider*>(panelOf(f).control(1026))->value(), 90);  // pwa 230

    // Components are clamped and non-numbers read as 0.
    const uint32_t before = line0(f).cr;
    const int undoBefore = f.window->undoRing().undoCount();
    edit(f, 1007)->setText("abc");
    edit(f, 1008)->setText("-4");
    enter(f, 1006, "300");
    QCOMPARE(line0(f).cr, 0x0000FFu);
    QCOMPARE(edit(f, 1006)->text(), QString("255"));
    QCOMPARE(f.window->undoRing().undoCount(), undoBefore + 1);
    f.window->undo();
    QCOMPARE(line0(f).cr, before);

    // Point fields; a value the user did not touch is written back unchanged, bit for bit.
    PointRecord& p = line0(f).points[1];
    p.vy = 150.123456f;
    f.window->refreshPanel(PanelId::Control);
    combo(f, 1012)->setCurrentIndex(2);
    QCOMPARE(p.kind, 2000);
    QCOMPARE(std::bit_cast<uint32_t>(p.vy), std::bit_cast<uint32_t>(150.123456f));
    enter(f, 1030, " 7.5xyz");
    QCOMPARE(p.vz, 7.5f);
    combo(f, 1014)->setCurrentIndex(0);
    QCOMPARE(p.mode, -1);

    // A stored value the combo has no item for survives an unrelated apply.
    line0(f).mode = 7;
    f.window->refreshPanel(PanelId::Control);
    QCOMPARE(combo(f, 1004)->currentIndex(), -1);
    enter(f, 1006, "12");
    QCOMPARE(line0(f).mode, 7);
    QCOMPARE(line0(f).cr & 0xFF, 12u);
    combo(f, 1004)->setCurrentIndex(2);
    QCOMPARE(line0(f).mode, 101);
  }

  // Coming back to the panel shows the document as it is now.
  void activationReadsBack() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    line0(f).cr = 0x00030201;
    line0(f).points[1].vx = 42;
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&panelOf(f), &activate);
    QCOMPARE(edit(f, 1006)->text(), QString("1"));
    QCOMPARE(edit(f, 1008)->text(), QString("3"));
    QCOMPARE(edit(f, 1028)->text(), QString("42"));
  }

  // While a point is dragged the coordinate fields follow it, step by step, before the release.
  void coordinatesFollowADrag() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 100}, {300, 100}});
    f.window->runCommand(40002);
    QTest::mousePress(f.viewport(), Qt::LeftButton, Qt::NoModifier, f.at(200, 100));
    QCOMPARE(f.doc().curPoint, 1);
    f.move(210, 130, Qt::LeftButton);
    QCOMPARE(edit(f, 1028)->text(), QString("210"));
    QCOMPARE(edit(f, 1029)->text(), QString("130"));
    f.move(235, 90, Qt::LeftButton);
    QCOMPARE(edit(f, 1028)->text(), QString("235"));
    QCOMPARE(edit(f, 1029)->text(), QString("90"));
    QCOMPARE(edit(f, 1013)->text(), QString::number(line0(f).points[1].nam));
    QTest::mouseRelease(f.viewport(), Qt::LeftButton, Qt::NoModifier, f.at(235, 90));
    QCOMPARE(line0(f).points[1].vx, 235.0f);
    QCOMPARE(edit(f, 1028)->text(), QString("235"));
  }

  void brushFieldsEditTheLineOrTheDefaults() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    const auto defaults = d.defBrush;
    enter(f, 1015, "7");
    QCOMPARE(line0(f).brw, 7.0f);
    QCOMPARE(d.defBrush, defaults);

    // Unchecking "個別線" applies without an undo step and the panel's values (the line's) become
    // the defaults; from then on the fields edit the defaults only.
    const int undoBefore = f.window->undoRing().undoCount();
    qobject_cast<QCheckBox*>(panelOf(f).control(1027))->click();
    QCOMPARE(d.perLine, 0);
    QCOMPARE(f.window->undoRing().undoCount(), undoBefore);
    QCOMPARE(d.defBrush[0], 7.0f);
    enter(f, 1015, "3");
    QCOMPARE(d.defBrush[0], 3.0f);
    QCOMPARE(line0(f).brw, 7.0f);
    QCOMPARE(f.window->undoRing().undoCount(), undoBefore);

    // Checking it again shows the line's own values.
    qobject_cast<QCheckBox*>(panelOf(f).control(1027))->click();
    QCOMPARE(d.perLine, 1);
    QCOMPARE(edit(f, 1015)->text(), QString("7"));
    QCOMPARE(line0(f).brw, 7.0f);
  }

  void lineShapeGuards() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    edit(f, 1019)->setText("5");
    enter(f, 1020, "9");
    QCOMPARE(line0(f).spmax, 5);
    QCOMPARE(line0(f).spmin, 5);
    QCOMPARE(edit(f, 1020)->text(), QString("5"));
    edit(f, 1019)->setText("0");
    enter(f, 1020, "0");
    QCOMPARE(line0(f).spmax, 1);
    QCOMPARE(line0(f).spmin, 1);
    QCOMPARE(edit(f, 1019)->text(), QString("1"));
  }

  void opacitySliderFollowsLineVariation() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    auto* slider = qobject_cast<QSlider*>(panelOf(f).control(1026));
    QVERIFY(!slider->isEnabled());
    combo(f, 1024)->setCurrentIndex(1);
    QCOMPARE(line0(f).lmode, 1);
    QVERIFY(slider->isEnabled());
    slider->setValue(100);
    QCOMPARE(line0(f).points[1].pwa, 255.0f);
    slider->setValue(0);
    QCOMPARE(line0(f).points[1].pwa, 0.0f);
  }

  void imageKindNeedsAUserImage() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    combo(f, 1003)->setCurrentIndex(2);
    QCOMPARE(line0(f).kind, 0);
    QCOMPARE(combo(f, 1003)->currentIndex(), 0);
    QCOMPARE(f.ui.shown.back().caption, std::string("警告!!"));
    QCOMPARE(f.ui.lastText(), std::string(kNoImageToChoose));

    // A fill line opens the fill colour; a text line the "文字" button.
    combo(f, 1003)->setCurrentIndex(1);
    QCOMPARE(line0(f).kind, 1);
    QVERIFY(edit(f, 1009)->isEnabled());
    enter(f, 1010, "128");
    QCOMPARE(line0(f).cb, 0x00008000u);
    combo(f, 1003)->setCurrentIndex(3);
    QVERIFY(panelOf(f).commandButton(40035)->isEnabled());
    QVERIFY(!edit(f, 1009)->isEnabled());
  }

  void paintModeKeepsTheImageLine() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Document& d = f.doc();
    d.appendUserImage();
    line0(f).kind = 2;
    line0(f).cb = uint32_t(d.imageKeys[0]);
    f.window->refreshPanel(PanelId::Control);
    QVERIFY(panelOf(f).commandButton(40023)->isEnabled());
    // An image line keeps its image key in cb whatever the fill boxes say.
    enter(f, 1009, "77");
    QCOMPARE(line0(f).cb, uint32_t(d.imageKeys[0]));

    d.edit.mode = kModePaint;
    f.ui.reset();
    combo(f, 1003)->setCurrentIndex(0);
    QCOMPARE(line0(f).kind, 2);
    QCOMPARE(combo(f, 1003)->currentIndex(), 2);
    QCOMPARE(f.ui.lastText(), std::string(kPaintKeepsImage));
  }

  void applyIsRefusedInMotionMode() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    f.doc().edit.mode = kModeMotion;
    const uint32_t before = line0(f).cr;
    const int undoBefore = f.window->undoRing().undoCount();
    enter(f, 1006, "99");
    QCOMPARE(line0(f).cr, before);
    QCOMPARE(f.ui.lastText(), std::string("実行モード"));
    QCOMPARE(f.window->undoRing().undoCount(), undoBefore);
  }

  void presets() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    QComboBox* preset = combo(f, 1023);
    emit preset->activated(2);  // "普通"
    QCOMPARE(line0(f).spmin, 20);
    QCOMPARE(line0(f).spmax, 20);
    QCOMPARE(line0(f).bra, 1.5f);
    QCOMPARE(line0(f).brk, -1.0f);
    QCOMPARE(edit(f, 1017)->text(), QString("1.5"));

    enter(f, 1015, "1");
    enter(f, 1016, "3");
    emit preset->activated(3);  // "綺麗": the width rises to 2, the height stays 3
    QCOMPARE(line0(f).brw, 2.0f);
    QCOMPARE(line0(f).brh, 3.0f);
    QCOMPARE(line0(f).spmin, 20);
    QCOMPARE(line0(f).spmax, 40);
    QCOMPARE(line0(f).bra, 1.98f);

    // With "個別線" off a preset sets the defaults.
    qobject_cast<QCheckBox*>(panelOf(f).control(1027))->click();
    emit preset->activated(0);  // "最高速"
    QCOMPARE(f.doc().defSpMin, 3);
    QCOMPARE(f.doc().defSpMax, 3);
    QCOMPARE(line0(f).spmax, 40);
  }

  // Every tool-bar button explains itself; those of the dragging tools say what a drag does.
  void toolTipsSayWhatADragDoes() {
    WindowFixture f;
    ControlPanel& p = panelOf(f);
    for (int id : {40002, 40003, 40007, 40069, 40068, 40059, 40062, 40061, 40058, 40046, 40066,
                   40023, 40035, 40025, 40026, 40029, 40031}) {
      QVERIFY(p.commandButton(id));
      QVERIFY2(!p.commandButton(id)->toolTip().isEmpty(), qPrintable(QString::number(id)));
    }
    for (int id : {40002, 40069, 40068, 40059, 40062, 40061, 40031})
      QVERIFY2(p.commandButton(id)->toolTip().contains(QString::fromUtf8("ドラッグ")),
               qPrintable(QString::number(id)));
    QVERIFY(p.commandButton(40068)->toolTip().contains(QString::fromUtf8("範囲選択した点")));
  }

  void toolBarRunsCommandsAndShowsTheMode() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 150}});
    ControlPanel& p = panelOf(f);
    p.commandButton(40059)->click();  // "全移動"
    QCOMPARE(f.doc().edit.mode, int(kModeMoveAll));
    QVERIFY(p.commandButton(40059)->isChecked());
    QVERIFY(!p.commandButton(40003)->isChecked());
    // Clicking the pressed button again leaves it pressed: the mode decides.
    p.commandButton(40059)->click();
    QVERIFY(p.commandButton(40059)->isChecked());
    p.commandButton(40002)->click();
    QCOMPARE(f.doc().edit.mode, int(kModeSelect));
    QVERIFY(p.commandButton(40002)->isChecked());
    QVERIFY(!p.commandButton(40059)->isChecked());
    // A command-only button is never shown pressed.
    p.commandButton(40069)->click();
    QCOMPARE(f.doc().edit.tempMode, 22);
    QVERIFY(!p.commandButton(40069)->isChecked());
  }

  // A button whose command the menu shows disabled still reaches the handler's refusal.
  void buttonsReachTheRefusalsOfDisabledCommands() {
    WindowFixture f;
    ControlPanel& p = panelOf(f);
    QVERIFY(!f.window->commands().state(*f.window, 40029).enabled);
    p.commandButton(40029)->click();  // "命令文" without a line
    QCOMPARE(f.ui.lastText(), std::string(kNoValidLine));

    f.drawLine({{100, 100}, {200, 150}});
    f.doc().modelScale = 2.0f;
    QVERIFY(!f.window->commands().state(*f.window, 40031).enabled);
    f.ui.reset();
    p.commandButton(40031)->click();  // "動きモード" on a scaled model
    QCOMPARE(f.ui.lastText(), std::string(kScaledModelRefusal));
    QVERIFY(f.doc().edit.mode != kModeMotion);
  }

  // "新規作成" shows the new document: its mode and its "個別線".
  void newDocumentIsShownAfterTheClear() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 150}});
    ControlPanel& p = panelOf(f);
    p.commandButton(40002)->click();
    auto* perLine = qobject_cast<QCheckBox*>(p.control(1027));
    perLine->click();
    QCOMPARE(f.doc().perLine, 0);
    f.ui.queueAnswer(Answer::Yes);
    QVERIFY(f.window->runCommand(40044));
    QCOMPARE(f.doc().lineCount(), 1);
    QVERIFY(p.commandButton(40003)->isChecked());
    QVERIFY(!p.commandButton(40002)->isChecked());
    QVERIFY(perLine->isChecked());
  }
};

QTEST_MAIN(TestControlPanel)
#include "tst_control_panel.moc"
