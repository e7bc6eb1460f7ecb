// The line list, the line filter, the image chooser, the text input, the generic input and
// selection dialogs, and the canvas size dialog's limit of what can be saved: row texts, choices
// through lineOrder, refusals, and the document changes with their undo steps.

#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QtTest>

#include "modal_helper.h"
#include "model/messages.h"
#include "model/project_file.h"
#include "platform/encoding.h"
#include "shell/panels/dialogs/image_dialog.h"
#include "shell/panels/dialogs/input_dialogs.h"
#include "shell/panels/dialogs/line_filter_dialog.h"
#include "shell/panels/control/line_list.h"
#include "shell/panels/properties/property_edits.h"
#include "shell/panels/dialogs/size_dialog.h"
#include "shell/panels/dialogs/text_input_dialog.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::whenModal;
using tovala::test::WindowFixture;

namespace {

LineListPanel& listOf(WindowFixture& f) {
  return *static_cast<LineListPanel*>(f.window->panel(PanelId::LineList));
}

// Three lines of two points each, line 2 selected.
void threeLines(WindowFixture& f) {
  f.drawLine({{100, 100}, {150, 120}});
  f.drawLine({{300, 300}, {350, 320}});
  f.drawLine({{500, 100}, {550, 120}});
  QCOMPARE(f.doc().lineCount(), 4);
}

QString rowText(WindowFixture& f, int row) { return listOf(f).list()->item(row)->text(); }

std::string repeat(const char* s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

}  // namespace

class TestSmallDialogs : public QObject {
  Q_OBJECT

 private slots:
  void lineListRowsFollowTheLineOrder() {
    WindowFixture f;
    LineListPanel& list = listOf(f);
    QVERIFY(list.isVisible());
    QCOMPARE(list.windowTitle(), QString::fromUtf8("線"));
    threeLines(f);
    Document& d = f.doc();
    d.lineOrder = {2, 0, 1, 3};
    d.lines[1].code.assign(3, CodeEntry{});  // a compiled program
    d.lines[0].kind = 4;
    list.refresh(true);
    QCOMPARE(list.list()->count(), 4);
    QCOMPARE(rowText(f, 0), QString::fromUtf8("   2    0 -:線       N:10002"));
    QCOMPARE(rowText(f, 1), QString::fromUtf8("   0    1 -:関節     N:10000"));
    QCOMPARE(rowText(f, 2), QString::fromUtf8("   1    2 *:線       N:10001"));
    QVERIFY(!list.list()->item(2)->isHidden());
    QVERIFY(list.list()->item(3)->isHidden());  // the end-of-list line is not offered
    // A changed kind shows on the next plain refresh although the line count is the same.
    d.lines[0].kind = 2;
    d.lines[0].cb = 7;
    list.refresh();
    QCOMPARE(rowText(f, 1), QString::fromUtf8("   0    1 -:画像   7 N:10000"));
    d.lines[0].kind = 1;
    QCOMPARE(QString::fromStdString(lineListRow(d, 1)),
             QString::fromUtf8("   0    1 -:塗り     N:10000"));
    d.lines[0].kind = 3;
    QCOMPARE(QString::fromStdString(lineListRow(d, 1)),
             QString::fromUtf8("   0    1 -:文字     N:10000"));
    // The current line's row is the one selected.
    QCOMPARE(list.list()->currentRow(), 0);
  }

  // Rows name what they can: the body model's bones, the objects lines are drawn in.
  void lineListRowsNameTheirLines() {
    WindowFixture f;
    QVERIFY(f.window->runCommand(40050));  // 人体モデル作成
    Document& d = f.doc();
    LineListPanel& list = listOf(f);
    list.refresh(true);
    QCOMPARE(lineName(d, d.findLineByNumber(1)), std::string("背骨"));
    QCOMPARE(lineName(d, d.findLineByNumber(8)), std::string("左腕"));
    QCOMPARE(lineName(d, d.findLineByNumber(15)), std::string("右手親指"));
    QCOMPARE(lineName(d, d.findLineByNumber(31)), std::string("右足小指"));
    const int spine = d.findOrderPosition(d.findLineByNumber(1));
    QVERIFY(rowText(f, spine).endsWith(QString::fromUtf8("N:   1  背骨")));
    // An outline line takes the name of the object drawn with it.
    const ObjectRecord& arm = d.objects[4];
    QCOMPARE(sjisToUtf8(std::string_view(reinterpret_cast<const char*>(arm.name.data()))),
             std::string("左上腕"));
    QCOMPARE(lineName(d, arm.c[0]), std::string("左上腕"));
    int named = 0;
    for (int r = 0; r + 1 < int(d.lineOrder.size()); ++r)
      named += lineName(d, d.lineOrder[size_t(r)]).empty() ? 0 : 1;
    QVERIFY(named > 100);
    // A joint line numbered like a bone but outside its group is no bone; nothing is no line.
    d.lines[size_t(d.findLineByNumber(1))].category = 3;
    QCOMPARE(lineName(d, d.findLineByNumber(1)), std::string());
    QCOMPARE(lineName(d, -1), std::string());
  }

  void choosingARowSelectsThatLineWithAnUndoStep() {
    WindowFixture f;
    threeLines(f);
    Document& d = f.doc();
    d.lineOrder = {2, 0, 3, 1};  // the sentinel's entry is not the last row
    LineListPanel& list = listOf(f);
    list.refresh(true);
    const int steps = f.window->undoRing().undoCount();

    list.list()->setCurrentRow(1);  // as a click does
    QCOMPARE(d.curLine, 0);
    QCOMPARE(d.edit.mode, int(kModeSelect));
    QCOMPARE(f.window->undoRing().undoCount(), steps + 1);

    // The sentinel's row selects nothing; the last row still names a real line.
    list.chooseRow(2);
    QCOMPARE(d.curLine, 0);
    QCOMPARE(list.list()->currentRow(), 1);
    list.chooseRow(3);
    QCOMPARE(d.curLine, 1);
    list.chooseRow(9);
    QCOMPARE(d.curLine, 1);

    // Motion mode: nothing happens.
    d.edit.mode = kModeMotion;
    list.chooseRow(0);
    QCOMPARE(d.curLine, 1);

    // Painting: only image lines, with the message, and the row of the current line again.
    d.edit.mode = kModePaint;
    f.ui.reset();
    list.chooseRow(0);
    QCOMPARE(d.curLine, 1);
    QCOMPARE(f.ui.lastText(),
             std::string("ペイント時には、画像が関連付けられている線しか選択できません。"));
    QCOMPARE(list.list()->currentRow(), 3);
    d.lines[2].kind = 2;
    const int before = f.window->undoRing().undoCount();
    list.chooseRow(0);
    QCOMPARE(d.curLine, 2);
    QCOMPARE(f.window->undoRing().undoCount(), before);  // the paint ring, not a snapshot
    d.edit.mode = kModeSelect;

    // 40024 hides and shows the list.
    f.window->runCommand(40024);
    QVERIFY(!list.isVisible());
    f.window->runCommand(40024);
    QVERIFY(list.isVisible());
  }

  void lineFilterKeepsOnlyTheCheckedCategories() {
    LineRecord line;
    QVERIFY(lineInFilterItem(line, 0));
    QVERIFY(!lineInFilterItem(line, 1));
    QVERIFY(!lineInFilterItem(line, 11));
    const int categories[] = {11, 12, 6, 7, 8, 9, 10};
    for (int item = 4; item < kLineFilterItems; ++item) {
      line.category = categories[item - 4];
      for (int other = 1; other < kLineFilterItems; ++other)
        QCOMPARE(lineInFilterItem(line, other), other == item);
    }

    WindowFixture f;
    threeLines(f);
    Document& d = f.doc();
    d.lines[0].kind = 4;
    d.lines[1].mode = 100;
    d.lines[2].category = 11;
    auto choose = [&](std::vector<int> rows, bool ok) {
      auto seen = whenModal<LineFilterDialog>([rows, ok](LineFilterDialog& dlg) {
        QCOMPARE(dlg.windowTitle(), QString::fromUtf8("線の選択"));
        QCOMPARE(dlg.list()->item(2)->text(), QString("CLine"));
        for (int r : rows) dlg.list()->item(r)->setSelected(true);
        ok ? dlg.accept() : dlg.reject();
      });
      f.window->runCommand(40072);
      QVERIFY(*seen);
    };
    choose({1, 4}, true);  // "関節" and "顔"
    QCOMPARE(d.lines[0].sel, 1);
    QCOMPARE(d.lines[1].sel, 0);
    QCOMPARE(d.lines[2].sel, 1);
    choose({0}, false);  // cancelled: no change
    QCOMPARE(d.lines[1].sel, 0);
    choose({}, true);  // nothing checked: every line out
    for (int l = 0; l < 3; ++l) QCOMPARE(d.lines[size_t(l)].sel, 0);
    choose({0}, true);
    for (int l = 0; l < 3; ++l) QCOMPARE(d.lines[size_t(l)].sel, 1);
  }

  void imageChooserGeometry() {
    QCOMPARE(imageScrollMax(1), -2);
    QCOMPARE(clampFirstVisible(5, 2), 0);
    QCOMPARE(clampFirstVisible(-1, 9), 0);
    QCOMPARE(clampFirstVisible(8, 9), 6);
    QCOMPARE(thumbnailBox(1, 200, 100), (ThumbnailBox{115, 30, 100, 50}));
    QCOMPARE(thumbnailBox(0, 30, 60), (ThumbnailBox{30, 5, 50, 100}));
    QCOMPARE(thumbnailBox(2, 0, 0), ThumbnailBox{});
    QCOMPARE(imageAtClick(0, 2, 50, 60), 0);
    QCOMPARE(imageAtClick(0, 2, 150, 60), 1);
    QCOMPARE(imageAtClick(0, 2, 250, 60), -1);  // no third image
    QCOMPARE(imageAtClick(4, 9, 230, 60), 6);
    QCOMPARE(imageAtClick(0, 9, 0, 60), -1);
    QCOMPARE(imageAtClick(0, 9, 330, 60), -1);
    QCOMPARE(imageAtClick(0, 9, 50, 125), -1);
  }

  void imageChooserChoosesAndDeletes() {
    WindowFixture f;
    f.window->runCommand(40019);  // no lines yet
    QCOMPARE(f.ui.shown.back().text, std::string("線がありません。"));
    QCOMPARE(f.ui.shown.back().caption, std::string("エラー"));

    f.drawLine({{100, 100}, {160, 140}});
    f.drawLine({{300, 300}, {380, 340}});
    Document& d = f.doc();
    d.curLine = 0;
    f.window->runCommand(40017);
    d.curLine = 1;
    f.window->runCommand(40017);
    QCOMPARE(chooserImageCount(d), 2);
    const uint32_t key0 = uint32_t(d.imageKeys[0]);
    const uint32_t key1 = uint32_t(d.imageKeys[1]);
    QCOMPARE(d.lines[1].cb, key1);

    // Opens on the line's own picture; a click on the first cell chooses image 0.
    auto seen = whenModal<ImageDialog>([](ImageDialog& dlg) {
      QCOMPARE(dlg.selected(), 1);
      QCOMPARE(dlg.scrollBar()->maximum(), 0);
      dlg.setFirstVisible(3);
      QCOMPARE(dlg.firstVisible(), 0);
      dlg.clickAt(20, 50);
      dlg.accept();
    });
    const int steps = f.window->undoRing().undoCount();
    f.window->runCommand(40019);
    QVERIFY(*seen);
    QCOMPARE(d.lines[1].cb, key0);
    QCOMPARE(f.window->undoRing().undoCount(), steps + 1);
    f.window->runCommand(40021);
    QCOMPARE(d.lines[1].cb, key1);
    f.window->runCommand(40022);
    QCOMPARE(d.lines[1].cb, key0);

    // Deleting image 0, shown by both lines: No keeps it, Yes takes it from both lines.
    f.ui.queueAnswer(Answer::No);
    f.ui.queueAnswer(Answer::Yes);
    seen = whenModal<ImageDialog>([](ImageDialog& dlg) {
      QCOMPARE(dlg.selected(), 0);
      dlg.deleteSelected();
      QVERIFY(!dlg.deletedAny());
      dlg.deleteSelected();
      QVERIFY(dlg.deletedAny());
      dlg.reject();
    });
    f.ui.reset();
    f.window->runCommand(40019);
    QVERIFY(*seen);
    QCOMPARE(f.ui.shown.front().text,
             std::string("この画像は、0番目の線で使用されています。削除しますか?"));
    QCOMPARE(f.ui.shown.front().caption, std::string("確認"));
    QCOMPARE(chooserImageCount(d), 1);
    QCOMPARE(d.imageKeys[0], int32_t(key1));
    QCOMPARE(d.lines[0].kind, 0);
    QCOMPARE(d.lines[1].kind, 0);
  }

  void textInputStoresTheLinesText() {
    const LogFont font = defaultTextFont();
    QCOMPARE(font[0], uint8_t(20));
    QCOMPARE(font[23], uint8_t(128));
    QCOMPARE(font[27], uint8_t(1));
    QCOMPARE(sjisToUtf8(std::string_view(reinterpret_cast<const char*>(font.data() + 28))),
             std::string("ＭＳ ゴシック"));
    // The chooser's font: a negative (character) height, weight and effects, Shift-JIS.
    QFont chosen(QStringLiteral("Probe Sans"));
    chosen.setPixelSize(30);
    chosen.setWeight(QFont::Bold);
    chosen.setItalic(true);
    chosen.setUnderline(true);
    const LogFont probe = logFontFrom(chosen);
    QCOMPARE(int32_t(probe[0] | probe[1] << 8 | probe[2] << 16 | uint32_t(probe[3]) << 24), -30);
    QCOMPARE(probe[16] | probe[17] << 8, 700);
    QCOMPARE(probe[20], uint8_t(1));
    QCOMPARE(probe[21], uint8_t(1));
    QCOMPARE(probe[22], uint8_t(0));
    QCOMPARE(probe[23], uint8_t(128));
    QCOMPARE(std::string(reinterpret_cast<const char*>(probe.data() + 28)),
             std::string("Probe Sans"));
    // 128 bytes at most, never half a character.
    TextRecord r = makeTextRecord(5, repeat("あ", 70), font, 0);
    QCOMPARE(r.length, 128);
    r = makeTextRecord(5, "a" + repeat("あ", 64), font, 0);
    QCOMPARE(r.length, 127);
    QCOMPARE(recordText(r), "a" + repeat("あ", 63));
    QCOMPARE(r.text[127], uint8_t(0));

    WindowFixture f;
    f.drawLine({{100, 100}, {200, 100}});
    Document& d = f.doc();
    QVERIFY(!f.window->commands().state(*f.window, 40035).enabled);
    d.lines[0].kind = 3;
    QVERIFY(f.window->commands().state(*f.window, 40035).enabled);
    auto seen = whenModal<TextInputDialog>([](TextInputDialog& dlg) {
      QCOMPARE(dlg.windowTitle(), QString::fromUtf8("文字入力"));
      QVERIFY(dlg.textEdit()->text().isEmpty());
      dlg.textEdit()->setText(QString::fromUtf8("顔だち"));
      dlg.accept();
    });
    f.window->runCommand(40035);
    QVERIFY(*seen);
    const int at = d.findText(d.lines[0].nam);
    QVERIFY(at >= 0 && at < d.textCount() - 1);
    QCOMPARE(d.texts[size_t(at)].length, 6);
    QCOMPARE(d.texts[size_t(at)].font, defaultTextFont());
    QCOMPARE(recordText(d.texts[size_t(at)]), std::string("顔だち"));

    // Opened again it shows the stored text; Cancel keeps it.
    seen = whenModal<TextInputDialog>([](TextInputDialog& dlg) {
      QCOMPARE(dlg.textEdit()->text(), QString::fromUtf8("顔だち"));
      dlg.textEdit()->setText("x");
      dlg.reject();
    });
    const int texts = d.textCount();
    f.window->runCommand(40035);
    QVERIFY(*seen);
    QCOMPARE(d.textCount(), texts);
    QCOMPARE(recordText(d.texts[size_t(at)]), std::string("顔だち"));
  }

  // A canvas the project file cannot hold is refused up front, naming the largest size; the side
  // range is still judged first, width before height.
  void canvasSizeDialogRefusesWhatCannotBeSaved() {
    QCOMPARE(canvasSizeRefusal(2365, 2365), msg::kCanvasTooLarge);
    QCOMPARE(canvasSizeRefusal(10000, 560), msg::kCanvasTooLarge);
    QVERIFY(canvasSizeRefusal(10000, 559) == nullptr);
    QVERIFY(canvasSizeRefusal(kLargestSquareCanvas, kLargestSquareCanvas) == nullptr);
    QCOMPARE(canvasSizeRefusal(5, 10000), "この幅には変更できません。(10～10000まで)");
    QCOMPARE(canvasSizeRefusal(10000, 10001), "この高さには変更できません。(10～10000まで)");

    WindowFixture f;
    Document& d = f.doc();
    auto seen = whenModal<SizeDialog>([](SizeDialog& dlg) {
      dlg.widthEdit()->setText("3000");
      dlg.heightEdit()->setText("3000");
      dlg.accept();
    });
    f.window->runCommand(40043);
    QVERIFY(*seen);
    QCOMPARE(f.ui.shown.back().text, std::string(msg::kCanvasTooLarge));
    QCOMPARE(d.imageWidth, kDefaultImageWidth);
    QCOMPARE(d.imageHeight, kDefaultImageHeight);
    QCOMPARE(d.workImages.slot(kDisplayImage)->width, kDefaultImageWidth);

    // The size fields of the page "環境" refuse the same way (1000 x 1200 canvas, width 5000).
    f.drawLine({{100, 100}, {150, 120}});
    PropertyRequest field;
    field.target = PropertyTarget::Document;
    field.id = 1186;
    field.text = "5000";
    const PropertyOutcome o = applyPropertyRequest(d, field, nullptr);
    QVERIFY(!o.write.changed);
    QCOMPARE(o.message, std::string(msg::kCanvasTooLarge));
    QCOMPARE(d.imageWidth, kDefaultImageWidth);
    field.text = "2000";
    QVERIFY(applyPropertyRequest(d, field, nullptr).write.changed);
    QCOMPARE(d.imageWidth, 2000);
  }

  void inputAndSelectionDialogs() {
    QCOMPARE(fitSelectionItem(repeat("あ", 40)), repeat("あ", 31));
    QCOMPARE(fitSelectionItem("a" + repeat("あ", 40)), "a" + repeat("あ", 31));
    SelectionDialog many;
    for (int i = 0; i < kMaxSelectionItems; ++i) QVERIFY(many.addItem(std::to_string(i)));
    QVERIFY(!many.addItem("one too many"));
    QCOMPARE(many.itemCount(), kMaxSelectionItems);

    auto seen = whenModal<SelectionDialog>([](SelectionDialog& dlg) {
      QCOMPARE(dlg.promptEdit()->text(), QString::fromUtf8(kDefaultSelectionPrompt));
      dlg.list()->setCurrentRow(2);
      dlg.accept();
    });
    QVERIFY(askSelection(nullptr, "", {"a", "b", "c"}) == std::optional<int>(2));
    QVERIFY(*seen);
    whenModal<SelectionDialog>([](SelectionDialog& dlg) { dlg.accept(); });
    QVERIFY(!askSelection(nullptr, "", {"a"}));  // nothing chosen

    seen = whenModal<InputDialog>([](InputDialog& dlg) {
      QCOMPARE(dlg.windowTitle(), QString::fromUtf8("入力"));
      QCOMPARE(dlg.promptEdit()->text(), QString::fromUtf8("幅"));
      QVERIFY(dlg.promptEdit()->isReadOnly());
      QCOMPARE(dlg.answerEdit()->text(), QString("12"));
      dlg.answerEdit()->setText("34");
      dlg.accept();
    });
    QVERIFY(askInput(nullptr, "幅", "12") == std::optional<std::string>("34"));
    QVERIFY(*seen);
    whenModal<InputDialog>([](InputDialog& dlg) { dlg.reject(); });
    QVERIFY(!askInput(nullptr, "", "12"));
  }
};

QTEST_MAIN(TestSmallDialogs)
#include "tst_small_dialogs.moc"
