// The property pages of "設定": texts and parsing in both displays, the selected line's and
// point's fields shown and written behind one undo step, refusals that change nothing, the entry
// lists, and the document page with its summary editor and the container's two codes.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <bit>

#include "modal_helper.h"
#include "model/messages.h"
#include "shell/panels/dialogs/input_dialogs.h"
#include "shell/panels/properties/property_page.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::whenModal;
using tovala::test::WindowFixture;

namespace {

struct Pages {
  SettingsPanel* settings;
  PropertyPage* line;
  PropertyPage* point;
  PropertyPage* environment;
};

Pages openSettings(WindowFixture& f) {
  f.window->runCommand(40051);
  auto* s = static_cast<SettingsPanel*>(f.window->panel(PanelId::Settings));
  return {s, qobject_cast<PropertyPage*>(s->page(0)), qobject_cast<PropertyPage*>(s->page(1)),
          qobject_cast<PropertyPage*>(s->page(2))};
}

QLineEdit* edit(PropertyPage* p, int id) { return qobject_cast<QLineEdit*>(p->control(id)); }
QComboBox* combo(PropertyPage* p, int id) { return qobject_cast<QComboBox*>(p->control(id)); }
QString text(PropertyPage* p, int id) { return edit(p, id)->text(); }

// Types into an edit and leaves it with Return, as the user does.
void enter(PropertyPage* p, int id, const QString& value) {
  QLineEdit* e = edit(p, id);
  e->setText(value);
  QTest::keyClick(e, Qt::Key_Return);
}

int undoCount(WindowFixture& f) { return f.window->undoRing().undoCount(); }

// Counts the calls of a BeforeWrite.
struct Counter {
  int calls = 0;
  BeforeWrite fn() {
    return [this](WriteNotice) { ++calls; };
  }
};

}  // namespace

class TestPropertyPanels : public QObject {
  Q_OBJECT

 private slots:
  void textsAndParsing() {
    QCOMPARE(showInt(10000, false), std::string("10000"));
    QCOMPARE(showInt(10000, true), std::string("2710"));
    QCOMPARE(showInt(5, true), std::string("0005"));
    QCOMPARE(showInt(-1, true), std::string("ffffffff"));
    QCOMPARE(showItem(7, false), std::string("0007"));
    QCOMPARE(showItem(26, true), std::string("001a"));
    QCOMPARE(readInt("2711", true), 10001);
    QCOMPARE(readInt("0x2711", true), 10001);
    QCOMPARE(readInt("ffffffff", true), -1);  // what "%04x" showed for -1 reads back
    QCOMPARE(readInt("1ffffffff", true), 0);  // beyond 32 bits
    QCOMPARE(readInt(" 12abc", false), 12);
    QCOMPARE(readInt("-7", false), -7);
    QCOMPARE(readInt("abc", false), 0);
    QCOMPARE(readInt("99999999999", false), 0);
    QVERIFY(!readIntIfAny(" x1", false));
    QVERIFY(!readIntIfAny("-", true));
    QCOMPARE(readIntIfAny("g", true), std::nullopt);
    QCOMPARE(readIntIfAny("0x", true), std::optional<int32_t>(0));  // the 0 before the x
    QCOMPARE(readReal(" 2.5x"), 2.5);
    QCOMPARE(readReal("inf"), 0.0);
    QCOMPARE(readReal("ff"), 0.0);  // reals are never hexadecimal
    QCOMPARE(showBits(std::bit_cast<uint32_t>(1.5f), false), std::string("1.5000"));
    QCOMPARE(showBits(0x3FC00000u, true), std::string("3fc00000"));
    QCOMPARE(readBits("1.5", false), 0x3FC00000u);
    QCOMPARE(readBits("3fc00000", true), 0x3FC00000u);
    QCOMPARE(readBits("1e300", false), 0u);  // no float holds it
  }

  void selectedLineAndPointShown() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    LineRecord& l = f.doc().lines[0];
    l.category = 6;
    l.mode = 100;
    l.sel = 7;
    l.cr = 0x00030201;
    l.points[1].mode = 2;
    Pages p = openSettings(f);
    QVERIFY(p.settings->isVisible());
    QCOMPARE(p.settings->currentTab(), 0);
    QCOMPARE(text(p.line, 1102), QString("0"));
    QCOMPARE(text(p.line, 1183), QString("1"));
    QCOMPARE(text(p.line, 1132), QString("3"));
    QCOMPARE(text(p.line, 1104), QString::number(l.nam));
    QCOMPARE(text(p.line, 1111), QString("6"));
    QCOMPARE(text(p.line, 1112), QString("1.00"));
    QCOMPARE(text(p.line, 1134), QString("2"));
    QCOMPARE(combo(p.line, 1107)->currentText(), QString("CLine"));
    QCOMPARE(combo(p.line, 1110)->currentText(), QString::fromUtf8("選択"));  // any non-zero
    QCOMPARE(combo(p.line, 1105)->currentText(), QString::fromUtf8("普通"));
    QCOMPARE(combo(p.line, 1105)->count(), 5);
    // The entry lists: the end markers.
    auto* params = qobject_cast<QListWidget*>(p.line->control(1106));
    QCOMPARE(params->count(), 1);
    QCOMPARE(params->item(0)->text(), QString("268435455"));

    p.settings->showTab(1);
    QCOMPARE(text(p.point, 1150), QString("200.00"));
    QCOMPARE(text(p.point, 1151), QString("150.00"));
    QCOMPARE(text(p.point, 1149), QString("-1"));
    QCOMPARE(combo(p.point, 1147)->currentText(), QString::fromUtf8("分割"));
    QCOMPARE(text(p.point, 1173), QString("230.00"));
    QVERIFY(!p.point->control(1179)->isEnabled());  // the point's commands are shown only

    // Without a valid selection the line and point pages show nothing and write nothing.
    f.doc().curPoint = 9;
    p.point->refresh();
    QCOMPARE(text(p.point, 1150), QString());
    const LineRecord before = f.doc().lines[0];
    QVERIFY(!writeFieldText(f.doc(), PropertyTarget::Line, 1115, "5", false, nullptr).changed);
    QVERIFY(!writeFieldChoice(f.doc(), PropertyTarget::Point, 1147, 0, nullptr).changed);
    QVERIFY(f.doc().lines[0] == before);
  }

  void editsApplyWithOneUndoStep() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Pages p = openSettings(f);
    LineRecord& l = f.doc().lines[0];
    const int undoBefore = undoCount(f);
    enter(p.line, 1115, "12.5");
    QCOMPARE(l.vx, 12.5f);
    QCOMPARE(undoCount(f), undoBefore + 1);
    QCOMPARE(text(p.line, 1115), QString("12.50"));
    f.window->undo();
    QCOMPARE(l.vx, 0.0f);

    // Leaving a field as shown writes nothing: no rounding to two places, no undo step.
    l.points[1].vy = 150.123456f;
    p.settings->showTab(1);
    const int steps = undoCount(f);
    enter(p.point, 1151, text(p.point, 1151));
    QCOMPARE(std::bit_cast<uint32_t>(l.points[1].vy), std::bit_cast<uint32_t>(150.123456f));
    QCOMPARE(undoCount(f), steps);
    // Text that gives the stored value is no change either.
    enter(p.point, 1151, "150.123456");
    QCOMPARE(undoCount(f), steps);

    // Double fields, and unparsable text reading 0.
    enter(p.point, 1177, "0.75");
    QCOMPARE(l.points[1].spdspx, 0.75);
    enter(p.point, 1146, "xyz");
    QCOMPARE(l.points[1].nam, 0);
    QCOMPARE(undoCount(f), steps + 2);

    // Combos write the item's value.
    combo(p.point, 1147)->setCurrentIndex(0);
    QCOMPARE(l.points[1].mode, -1);
    combo(p.point, 1147)->setCurrentIndex(4);
    QCOMPARE(l.points[1].mode, 3);
    l.points[1].kind = 2000;
    p.point->refresh();
    QCOMPARE(combo(p.point, 1145)->currentIndex(), -1);
    combo(p.point, 1145)->setCurrentIndex(0);
    QCOMPARE(l.points[1].kind, 0);
    p.settings->showTab(0);
    combo(p.line, 1107)->setCurrentIndex(2);
    QCOMPARE(l.mode, 101);
    // An image line without an image and a text line without a text still draw.
    combo(p.line, 1105)->setCurrentIndex(2);
    QCOMPARE(l.kind, 2);
    combo(p.line, 1105)->setCurrentIndex(3);
    combo(p.line, 1105)->setCurrentIndex(4);
    QCOMPARE(l.kind, 4);
    QCOMPARE(undoCount(f), steps + 9);
  }

  void hexDisplay() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Pages p = openSettings(f);
    LineRecord& l = f.doc().lines[0];
    l.nam = 10000;
    l.points[1].mode = -1;
    p.settings->hexBox()->setChecked(true);
    QVERIFY(p.line->hex() && p.point->hex() && p.environment->hex());
    QCOMPARE(text(p.line, 1104), QString("2710"));
    enter(p.line, 1104, "2711");
    QCOMPARE(l.nam, 10001);
    // Colour bytes take the low byte of what is typed; the other bytes stay.
    l.cr = 0x00ABCDEF;
    p.line->refresh();
    QCOMPARE(text(p.line, 1133), QString("00ef"));
    enter(p.line, 1133, "12c");
    QCOMPARE(l.cr, 0x00ABCD2Cu);
    // Reals stay decimal.
    enter(p.line, 1116, "10");
    QCOMPARE(l.vy, 10.0f);
    p.settings->showTab(1);
    QCOMPARE(text(p.point, 1149), QString("ffffffff"));
    p.settings->showTab(2);
    QCOMPARE(text(p.environment, 1186), QString("03e8"));

    p.settings->hexBox()->setChecked(false);
    p.settings->showTab(0);
    QCOMPARE(text(p.line, 1104), QString("10001"));
    enter(p.line, 1135, "300");  // decimal: 300 keeps 44
    QCOMPARE(l.cr >> 16, 44u);
  }

  void entryLists() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Pages p = openSettings(f);
    LineRecord& l = f.doc().lines[0];
    auto* replace = qobject_cast<QPushButton*>(p.line->control(1147));
    auto* insert = qobject_cast<QPushButton*>(p.line->control(1148));
    auto* remove = qobject_cast<QPushButton*>(p.line->control(1149));
    const int steps = undoCount(f);

    // Nothing happens without a selection.
    edit(p.line, 1143)->setText("5");
    insert->click();
    QCOMPARE(l.paramCount(), 1);

    p.line->selectEntry(EntryList::Params, 0);
    QCOMPARE(text(p.line, 1143), QString::number(kParamSentinelKey));
    QCOMPARE(text(p.line, 1146), QString("0.0000"));
    // The end marker is neither replaced nor deleted.
    edit(p.line, 1143)->setText("5");
    replace->click();
    remove->click();
    QVERIFY(l.params == ParamList{ParamEntry::sentinel()});
    QCOMPARE(undoCount(f), steps);

    edit(p.line, 1143)->setText("5");
    edit(p.line, 1145)->setText("1");
    edit(p.line, 1146)->setText("2.5");
    insert->click();
    QCOMPARE(l.paramCount(), 2);
    QVERIFY(l.params[0] == ParamEntry::ofFloat(5, 1, 2.5f));
    QVERIFY(l.params[1] == ParamEntry::sentinel());
    QCOMPARE(l.paramChanged, 1);
    QCOMPARE(undoCount(f), steps + 1);
    QCOMPARE(p.line->entryRow(), 1);  // still the entry it was on
    // Entries are not re-sorted.
    p.line->selectEntry(EntryList::Params, 0);
    edit(p.line, 1143)->setText("9");
    insert->click();
    QCOMPARE(l.params[0].key, 9);
    QCOMPARE(l.params[1].key, 5);
    p.line->selectEntry(EntryList::Params, 1);
    edit(p.line, 1146)->setText("7");
    replace->click();
    QVERIFY(l.params[1] == ParamEntry::ofFloat(5, 1, 7.0f));
    remove->click();
    QCOMPARE(l.paramCount(), 2);
    QCOMPARE(l.params[0].key, 9);
    f.window->undo();
    QCOMPARE(l.paramCount(), 3);

    // An integer value shows as 0.0000; rewriting k with f untouched keeps its bits.
    l.params[0] = ParamEntry::ofInt(7, 0, 65537);
    p.line->selectEntry(EntryList::Params, 0);
    QCOMPARE(text(p.line, 1146), QString("0.0000"));
    edit(p.line, 1143)->setText("8");
    replace->click();
    QVERIFY(l.params[0] == ParamEntry::ofInt(8, 0, 65537));
    edit(p.line, 1146)->setText("0");
    replace->click();
    QVERIFY(l.params[0] == ParamEntry::ofInt(8, 0, 0));

    // Commands: the flag in n, the word in f (its bits in hexadecimal); k is off.
    p.settings->hexBox()->setChecked(true);
    p.line->selectEntry(EntryList::Code, 0);
    QVERIFY(!edit(p.line, 1143)->isEnabled());
    edit(p.line, 1145)->setText("1ff");
    edit(p.line, 1146)->setText("deadbeef");
    insert->click();
    QCOMPARE(l.codeCount(), 2);
    QVERIFY(l.code[0] == (CodeEntry{0xFF, 0xDEADBEEFu}));
    QCOMPARE(l.codeChanged, 1);
    auto* code = qobject_cast<QListWidget*>(p.line->control(1144));
    QCOMPARE(code->item(0)->text(), QString("deadbeef"));

    // The point page edits the point's own list.
    p.settings->showTab(1);
    p.point->selectEntry(EntryList::Params, 0);
    edit(p.point, 1182)->setText("6");
    edit(p.point, 1183)->setText("0");
    edit(p.point, 1181)->setText("3f800000");
    qobject_cast<QPushButton*>(p.point->control(1185))->click();
    QVERIFY(l.points[1].params[0] == ParamEntry::ofFloat(6, 0, 1.0f));
    QCOMPARE(l.paramCount(), 3);
  }

  void summaryEditor() {
    Document d;
    d.create();
    QCOMPARE(summaryItems(d)[0], std::string("画像幅:1000"));
    QCOMPARE(summaryItems(d)[2], std::string("背景色:(R 253,G 254,B 255)"));
    QCOMPARE(summaryItems(d)[3], std::string("後ろから描画:"));
    QCOMPARE(summaryPrompt(kSummaryHeight), std::string("画像の高さ"));
    QVERIFY(!summaryAsks(kSummaryOrder));

    Counter c;
    // Sizes are kept to 10 .. 10000; a canvas the project file cannot hold (10000 x 1200) is
    // refused with the largest size.
    SummaryResult r = editSummary(d, kSummaryWidth, "20000", c.fn());
    QCOMPARE(d.imageWidth, 1000);
    QVERIFY(!r.write.changed);
    QCOMPARE(r.message, std::string(msg::kCanvasTooLarge));
    r = editSummary(d, kSummaryWidth, "5", c.fn());
    QCOMPARE(d.imageWidth, 10);
    QVERIFY(r.write.notice == WriteNotice::Canvas);
    QVERIFY(r.message.empty());
    editSummary(d, kSummaryHeight, "20000", c.fn());  // 10 x 10000 fits
    QCOMPARE(d.imageHeight, 10000);
    editSummary(d, kSummaryHeight, "1200", c.fn());
    editSummary(d, kSummaryBack, "300,-5,12", c.fn());
    QCOMPARE(d.backColor, 0x000C00FFu);
    QCOMPARE(summaryValue(d, kSummaryBack), std::string("255,0,12"));
    QCOMPARE(c.calls, 4);
    // Answers without a number, or a colour short of three, change nothing.
    for (const char* bad : {"", "abc", "-"}) {
      QVERIFY(!editSummary(d, kSummaryHeight, bad, c.fn()).write.changed);
    }
    QVERIFY(!editSummary(d, kSummarySkin, "12,34", c.fn()).write.changed);
    QVERIFY(!editSummary(d, kSummarySkin, "1;2;3", c.fn()).write.changed);
    QCOMPARE(d.imageHeight, 1200);
    QCOMPARE(d.skinColor, 0u);
    QCOMPARE(c.calls, 4);
    editSummary(d, kSummarySkin, " 1, 2, 3", c.fn());
    QCOMPARE(d.skinColor, 0x00030201u);
    // The drawing order toggles with its message.
    r = editSummary(d, kSummaryOrder, "", c.fn());
    QCOMPARE(d.frontToBack, 1);
    QCOMPARE(r.message, std::string(kDrawFromFront));
    r = editSummary(d, kSummaryOrder, "", c.fn());
    QCOMPARE(d.frontToBack, 0);
    QCOMPARE(r.message, std::string(kDrawFromBack));
  }

  void environmentPage() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    Pages p = openSettings(f);
    p.settings->showTab(2);
    Document& d = f.doc();
    QCOMPARE(text(p.environment, 1188), QString("253"));

    // The canvas size: kept to 10 .. 10000, unreadable text refused; the work images follow.
    enter(p.environment, 1186, "300");
    QCOMPARE(d.imageWidth, 300);
    QCOMPARE(d.workImages.slot(kUnderlayImage)->width, 300);
    // One step, undone with the work images following the size back.
    f.window->undo();
    QCOMPARE(d.imageWidth, 1000);
    QCOMPARE(d.workImages.slot(kDisplayImage)->width, 1000);
    f.window->redo();
    QCOMPARE(d.imageWidth, 300);
    QCOMPARE(d.workImages.slot(kDisplayImage)->width, 300);
    enter(p.environment, 1187, "abc");
    QCOMPARE(d.imageHeight, 1200);
    QCOMPARE(text(p.environment, 1187), QString("1200"));
    enter(p.environment, 1187, "0");
    QCOMPARE(d.imageHeight, 10);
    QCOMPARE(d.workImages.slot(kDisplayImage)->height, 10);
    enter(p.environment, 1190, "0");
    QCOMPARE(d.backColor, 0x0000FEFDu);
    QCOMPARE(d.workImages.slot(kUnderlayImage)->pixel(0, 0), 0x0000FEFDu);

    // Both controls of objectView show the same field.
    combo(p.environment, 1195)->setCurrentIndex(1);
    QCOMPARE(d.objectView, 1);
    QVERIFY(qobject_cast<QCheckBox*>(p.environment->control(1212))->isChecked());
    qobject_cast<QCheckBox*>(p.environment->control(1212))->click();
    QCOMPARE(d.objectView, 0);
    QCOMPARE(combo(p.environment, 1195)->currentIndex(), 0);

    // "戻す切替" starts both undo rings again instead of taking a step.
    QVERIFY(undoCount(f) > 0);
    qobject_cast<QCheckBox*>(p.environment->control(1215))->click();
    QCOMPARE(d.fileUndo, 1);
    QCOMPARE(undoCount(f), 0);
    QVERIFY(f.window->undoRing().justOpened);

    // The summary list: a double click opens "入力" with the prompt and the current value.
    auto* summary = p.environment->findChild<QListWidget*>("1213");
    QCOMPARE(summary->count(), 5);
    summary->setCurrentRow(0);
    auto seen = whenModal<InputDialog>([](InputDialog& dlg) {
      QCOMPARE(dlg.promptEdit()->text(), QString::fromUtf8("画像の幅"));
      QCOMPARE(dlg.answerEdit()->text(), QString("300"));
      dlg.answerEdit()->setText("20000");
      dlg.accept();
    });
    emit summary->itemDoubleClicked(summary->item(0));
    QVERIFY(*seen);
    QCOMPARE(d.imageWidth, 10000);
    QCOMPARE(d.workImages.slot(kDisplayImage)->width, 10000);
    QCOMPARE(summary->item(0)->text(), QString::fromUtf8("画像幅:10000"));
    QCOMPARE(summary->currentRow(), 0);  // kept through the refill
    // Cancel leaves the field.
    seen = whenModal<InputDialog>([](InputDialog& dlg) {
      dlg.answerEdit()->setText("50");
      dlg.reject();
    });
    emit summary->itemDoubleClicked(summary->item(1));
    QVERIFY(*seen);
    QCOMPARE(d.imageHeight, 10);
    // The drawing order needs no input box, and says what it did.
    emit summary->itemDoubleClicked(summary->item(3));
    QCOMPARE(d.frontToBack, 1);
    QCOMPARE(f.ui.lastText(), std::string(kDrawFromFront));
    QCOMPARE(summary->item(3)->text(), QString::fromUtf8("前から描画:"));
  }
};

QTEST_MAIN(TestPropertyPanels)
#include "tst_property_panels.moc"
