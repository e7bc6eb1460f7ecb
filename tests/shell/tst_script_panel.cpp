// The script editor, the line program dialog "線の命令文" and the parameter dialog "変数": row
// texts and entry reading as known answers, the list buttons' rules, and each window driven
// through its command with the document, the undo ring and the script files checked after.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <bit>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/encoding.h"
#include "shell/panels/script/line_program_dialog.h"
#include "shell/panels/script/param_dialog.h"
#include "shell/panels/script/script_panel.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;
namespace fs = std::filesystem;

namespace {

constexpr CodeEntry kMarker{0xFF, 0};
CodeEntry number(float f) { return {0x02, std::bit_cast<uint32_t>(f)}; }
const ParamEntry kSentinel = ParamEntry::sentinel();

// Runs `act` on the modal dialog `open` shows, then makes sure it is closed.
template <class D>
bool withModal(const std::function<void()>& open, const std::function<void(D&)>& act) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
    if (!d) return;
    seen = true;
    act(*d);
    if (d->isVisible()) d->reject();
  });
  open();
  QCoreApplication::processEvents();  // the check runs even when nothing opened
  return seen;
}

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
void writeFile(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

ScriptPanel& scriptPanel(WindowFixture& f) {
  return *static_cast<ScriptPanel*>(f.window->panel(PanelId::Script));
}
fs::path tempDir(WindowFixture& f) { return fs::path(f.dir.path().toStdString()) / "temp"; }

}  // namespace

class TestScriptPanel : public QObject {
  Q_OBJECT

 private slots:
  void programRowsAndEditTexts() {
    // Names are right-aligned in twelve Shift-JIS bytes.
    QCOMPARE(programRowText(kMarker), std::string("      区切り:ff-00000000"));
    QCOMPARE(programRowText(number(1.5f)), std::string("  浮動少数型:02-3fc00000"));
    QCOMPARE(programRowText({0x10, 0x02000003}), std::string("   局所変数p:10-02000003"));
    QCOMPARE(programRowText({0x01, 7}), std::string("    自然数型:01-00000007"));
    QCOMPARE(programRowText({0x20, 0x2000001}), std::string("           +:20-02000001"));
    // A variable record carries its indices in the code: it is listed under the first
    // variable of its flag. An unknown flag is an error row.
    QCOMPARE(programEntryName({0x1C, 0x00030001}), std::string("L[]kind"));
    QCOMPARE(programEntryName({0x1B, 0x12345678}), std::string("L[]P[]param[]"));
    QCOMPARE(programRowText({0x33, 1}), std::string("      エラー:33-00000001"));

    // The edits show each code in the form it is read back.
    QCOMPARE(programFlagText(number(1.5f)), std::string("02"));
    QCOMPARE(programCodeText(number(1.5f)), std::string("1.5"));
    QCOMPARE(programCodeText({0x10, 0x02000003}), std::string("33554435"));
    QCOMPARE(programCodeText({0x1C, 0x30001}), std::string("00030001"));

    // The combo rows: the four kinds, all 77 variable slots, all 98 keywords.
    const auto& words = commandWords();
    QCOMPARE(int(words.size()), 4 + 77 + 98);
    QCOMPARE(words[0].name, std::string("区切り"));
    QCOMPARE(words[2].name, std::string("浮動少数型"));
    QCOMPARE(words[4].name, std::string("L[]P[]kind"));
    QCOMPARE(words[4 + 77].name, std::string("param"));
    QCOMPARE(commandWordRowFor("区切り"), 0);
    QCOMPARE(words[size_t(commandWordRowFor("+="))].name, std::string("+="));
    QCOMPARE(commandWordRowFor("エラー"), -1);
  }

  void programEntriesReadPerFlag() {
    QCOMPARE(readProgramEntry("02", "1.5"), std::optional(number(1.5f)));
    QCOMPARE(readProgramEntry("10", "12"), std::optional(CodeEntry{0x10, 12}));
    QCOMPARE(readProgramEntry(" 1c", "00030001 "), std::optional(CodeEntry{0x1C, 0x30001}));
    QCOMPARE(readProgramEntry("20", "2000001"), std::optional(CodeEntry{0x20, 0x2000001}));
    QCOMPARE(readProgramEntry("ff", "0"), std::optional(kMarker));
    // Unreadable text gives nothing rather than a 0.
    using Texts = std::pair<const char*, const char*>;
    for (auto [flag, code] :
         {Texts{"zz", "0"}, Texts{"100", "0"}, Texts{"--", "----"}, Texts{"02", "3fc00000"},
          Texts{"1c", "xyz"}, Texts{"10", "1.5"}, Texts{"1a", "123456789"}}) {
      QVERIFY2(!readProgramEntry(flag, code), flag);
    }
    // Whatever the edits show reads back to the same entry.
    for (CodeEntry e : {number(0.1f), number(-2.5e7f), CodeEntry{0x10, 0x02000003},
                        CodeEntry{0x1D, 0xFFFFFFFF}, CodeEntry{0x1E, 0x12}, kMarker}) {
      QCOMPARE(readProgramEntry(programFlagText(e), programCodeText(e)), std::optional(e));
    }
  }

  void programButtonsKeepTheStartMarkerFirst() {
    const CodeEntry a{0x20, 0x2000000}, x{0x10, 1}, y{0x10, 2};
    ProgramEdit edit;
    edit.rows = {kMarker, a, kMarker};
    const CodeList before = edit.rows;
    QVERIFY(!edit.insert(x) && !edit.rewrite(x) && !edit.remove());  // nothing selected
    edit.selected = 0;
    QVERIFY(!edit.insert(x));
    QCOMPARE(edit.rows, before);
    // Inserting before row 1 keeps the selection on the entry it was on.
    edit.selected = 1;
    QVERIFY(edit.insert(x) && edit.insert(y));
    QCOMPARE(edit.rows, (CodeList{kMarker, x, y, a, kMarker}));
    QCOMPARE(edit.selected, 3);
    QVERIFY(edit.rewrite(number(2)));
    QCOMPARE(edit.rows[3], number(2));
    edit.selected = 4;
    QVERIFY(edit.remove());
    QCOMPARE(edit.selected, 3);  // the new last row
    QCOMPARE(edit.rows, (CodeList{kMarker, x, y, number(2)}));
  }

  void lineProgramDialogEditsAndStoresWithUndo() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    LineRecord& line = f.doc().lines[0];
    QCOMPARE(line.code.size(), size_t(1));

    // A line without a program starts from its two markers; cancel leaves the line alone.
    QVERIFY(withModal<LineProgramDialog>([&] { f.window->runCommand(40028); },
                                         [&](LineProgramDialog& d) {
                                           QCOMPARE(d.list()->count(), 2);
                                           QCOMPARE(d.list()->item(1)->text(),
                                                    QString::fromUtf8("      区切り:ff-00000000"));
                                           QCOMPARE(d.flagEdit()->text(), QString("--"));
                                           QCOMPARE(d.codeEdit()->text(), QString("----"));
                                           d.selectRow(1);
                                           d.codeEdit()->setText("5");
                                           d.flagEdit()->setText("10");
                                           d.insertButton()->click();
                                           QCOMPARE(d.list()->count(), 3);
                                           d.reject();
                                         }));
    QCOMPARE(line.code.size(), size_t(1));

    line.code = {kMarker, {0x20, 0x2000000}, number(1.5f), {0x10, 0x02000000}, kMarker};
    const CodeList original = line.code;
    const int undoBefore = f.window->undoRing().undoCount();
    QVERIFY(withModal<LineProgramDialog>([&] { f.window->runCommand(40028); },
                                         [&](LineProgramDialog& d) {
                                           QCOMPARE(d.list()->count(), 5);
                                           // Selecting a row shows it in the combo and edits.
                                           d.selectRow(2);
                                           QCOMPARE(d.words()->currentText(),
                                                    QString::fromUtf8("浮動少数型"));
                                           QCOMPARE(d.flagEdit()->text(), QString("02"));
                                           QCOMPARE(d.codeEdit()->text(), QString("1.5"));
                                           // A combo choice fills the edits.
                                           d.words()->setCurrentIndex(commandWordRowFor("L[]vx"));
                                           emit d.words()->activated(d.words()->currentIndex());
                                           QCOMPARE(d.flagEdit()->text(), QString("1c"));
                                           QCOMPARE(d.codeEdit()->text(), QString("00000010"));
                                           d.flagEdit()->setText("02");
                                           d.codeEdit()->setText("-0.25");
                                           d.rewriteButton()->click();
                                           d.selectRow(0);
                                           d.insertButton()->click();  // refused at the start
                                           d.selectRow(3);
                                           d.deleteButton()->click();
                                           QCOMPARE(d.list()->currentRow(), 3);
                                           d.accept();
                                         }));
    QCOMPARE(line.code, (CodeList{kMarker, {0x20, 0x2000000}, number(-0.25f), kMarker}));
    QCOMPARE(line.codeChanged, 1);
    QCOMPARE(f.window->undoRing().undoCount(), undoBefore + 1);
    QVERIFY(f.ui.shown.empty());  // the edited program passes the check
    f.window->undo();
    QCOMPARE(f.doc().lines[0].code, original);
  }

  void motionModeOpensNeither() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    f.ui.queueAnswer(Answer::Yes);
    QVERIFY(f.window->runCommand(40031));
    QVERIFY(f.window->motion());
    QVERIFY(!withModal<LineProgramDialog>([&] { f.window->runCommand(40028); },
                                          [](LineProgramDialog&) {}));
    f.window->runCommand(40029);
    QVERIFY(!f.window->panelVisible(PanelId::Script));
  }

  void paramRowsAndEntries() {
    QCOMPARE(paramRowText(kSentinel, false, false), std::string("L:268435455,-1,0.0000"));
    QCOMPARE(paramRowText(kSentinel, true, true), std::string("P:268435455,-1,00000000"));
    const ParamEntry e = ParamEntry::ofFloat(7, 2, 1.5f);
    QCOMPARE(paramRowText(e, true, false), std::string("P:0007,02,1.5000"));
    QCOMPARE(paramRowText(e, false, true), std::string("L:0007,02,3fc00000"));
    QCOMPARE(paramValueText(e, false), std::string("1.5000"));

    QCOMPARE(readParamEntry("7", "2", "1.5", false), std::optional(e));
    QCOMPARE(readParamEntry("7", "2", "3fc00000", true), std::optional(e));
    QCOMPARE(readParamEntry("-3", "-1", "ffffffff", true),
             std::optional(ParamEntry{-3, -1, 0xFFFFFFFFu}));
    QVERIFY(!readParamEntry("x", "2", "1", false));
    QVERIFY(!readParamEntry("7", "", "1", false));
    QVERIFY(!readParamEntry("7", "2", "3fc00000", false));
    QVERIFY(!readParamEntry("7", "2", "1.5", true));

    // The delete button keeps one row; a list that lost its sentinel gets it back at the end.
    ParamEdit edit;
    edit.rows = {kSentinel};
    edit.selected = 0;
    QVERIFY(!edit.erase());
    QVERIFY(edit.insert(e));
    QCOMPARE(edit.rows, (ParamList{e, kSentinel}));
    QCOMPARE(withSentinel({e}), (ParamList{e, kSentinel}));
    QCOMPARE(withSentinel({e, kSentinel}), (ParamList{e, kSentinel}));
    QCOMPARE(withSentinel({}), (ParamList{kSentinel}));
  }

  void paramDialogReplacesLineOrPointParamsWithUndo() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    LineRecord& line = f.doc().lines[0];
    const ParamEntry five = ParamEntry::ofFloat(5, 0, 2.0f);
    line.params = {five, kSentinel};
    line.points[1].params = {ParamEntry::ofInt(9, 1, 0x11), kSentinel};
    const ParamList pointBefore = line.points[1].params;

    // Cancel changes nothing.
    const int undoBefore = f.window->undoRing().undoCount();
    QVERIFY(withModal<ParamDialog>([&] { f.window->runCommand(40047); },
                                   [](ParamDialog& d) { d.button("cancel")->click(); }));
    QCOMPARE(f.window->undoRing().undoCount(), undoBefore);

    QVERIFY(withModal<ParamDialog>(
        [&] { f.window->runCommand(40047); },
        [&](ParamDialog& d) {
          QCOMPARE(d.windowTitle(), QString::fromUtf8("変数"));
          QCOMPARE(d.list()->count(), 2);
          QCOMPARE(d.list()->item(1)->text(), QString("L:268435455,-1,0.0000"));
          d.selectRow(0);
          QCOMPARE(d.valueEdit()->text(), QString("2.0000"));
          d.valueEdit()->setText("3.25");
          d.button("rewrite")->click();
          d.selectRow(1);
          d.kindEdit()->setText("8");
          d.namEdit()->setText("1");
          d.valueEdit()->setText("4");
          d.button("insert")->click();
          // Unreadable edits leave the copy alone.
          d.valueEdit()->setText("four");
          d.button("insert")->click();
          QCOMPARE(d.list()->count(), 3);
          // The hexadecimal display shows and reads the bits.
          d.button("display")->click();
          QCOMPARE(d.list()->item(0)->text(), QString("L:0005,00,40500000"));
          QCOMPARE(d.list()->currentRow(), 2);
          QCOMPARE(d.valueEdit()->text(), QString("00000000"));
          d.button("ok")->click();
        }));
    QCOMPARE(line.params, (ParamList{ParamEntry::ofFloat(5, 0, 3.25f), ParamEntry::ofFloat(8, 1, 4),
                                     kSentinel}));
    QCOMPARE(line.paramChanged, 1);
    QCOMPARE(line.points[1].params, pointBefore);
    QCOMPARE(f.window->undoRing().undoCount(), undoBefore + 1);
    f.window->undo();
    QCOMPARE(f.doc().lines[0].params, (ParamList{five, kSentinel}));

    // "線<->点" edits the selected point's list; deleting its sentinel does not lose it.
    QVERIFY(withModal<ParamDialog>([&] { f.window->runCommand(40047); },
                                   [&](ParamDialog& d) {
                                     d.button("linePoint")->click();
                                     QVERIFY(d.pointMode());
                                     QCOMPARE(d.list()->item(0)->text(),
                                              QString("P:0009,01,0.0000"));
                                     d.selectRow(1);
                                     d.button("delete")->click();
                                     d.button("delete")->click();  // one row is kept
                                     QCOMPARE(d.list()->count(), 1);
                                     d.button("ok")->click();
                                   }));
    LineRecord& after = f.doc().lines[0];
    QCOMPARE(after.points[1].params, pointBefore);
    QCOMPARE(after.points[1].paramChanged, 1);
    QCOMPARE(after.params, (ParamList{five, kSentinel}));
  }

  void scriptPanelFollowsTheSelection() {
    WindowFixture f;
    // Without a line there is nothing to edit.
    openScriptPanel(*f.window);
    QCOMPARE(f.ui.lastText(), std::string("有効な線が選択されていません。"));
    QCOMPARE(f.ui.shown.back().caption, std::string("注意"));
    QVERIFY(!f.window->panelVisible(PanelId::Script));

    lineWithMiddleSelected(f);
    ScriptPanel& panel = scriptPanel(f);
    QCOMPARE(panel.windowTitle(), QString::fromUtf8("スクリプト"));
    // A file with carriage returns and a Japanese comment shows as plain lines.
    writeFile(tempDir(f) / "0-1.txt", scriptTextForFile("p[0] = 1;\r\n// 角度\r\n"));
    QVERIFY(f.window->runCommand(40029));
    QVERIFY(panel.isVisible());
    QCOMPARE(panel.editor()->toPlainText(), QString::fromUtf8("p[0] = 1;\n// 角度\n"));
    const LineRecord& line = f.doc().lines[0];
    QCOMPARE(
        panel.ownerLabel()->text(),
        QString::fromUtf8("線 0 (番号 %1)・点 1 (番号 %2)").arg(line.nam).arg(line.points[1].nam));

    // Typing survives a click that keeps the selection; another point shows its own (absent)
    // text.
    panel.editor()->setPlainText("typed");
    f.click(200, 150);
    QCOMPARE(panel.editor()->toPlainText(), QString("typed"));
    // The label names the line and point by index (as the file is) and by number.
    f.doc().lines[0].nam = 7;
    f.doc().lines[0].points[2].nam = 12;
    f.click(300, 100);
    QCOMPARE(f.doc().curPoint, 2);
    QCOMPARE(panel.editor()->toPlainText(), QString());
    QCOMPARE(panel.ownerLabel()->text(), QString::fromUtf8("線 0 (番号 7)・点 2 (番号 12)"));

    // OK writes the text in Shift-JIS and closes the panel.
    panel.editor()->setPlainText(QString::fromUtf8("p[1] = 2; // 右\n"));
    panel.button("ok")->click();
    QVERIFY(!panel.isVisible());
    QCOMPARE(readFile(tempDir(f) / "0-2.txt"), scriptTextForFile("p[1] = 2; // 右\n"));
  }

  // Whatever moves the selection (a deletion, undo, a change the panel was not told of), OK never
  // writes one line's text into another line's file.
  void scriptPanelNeverWritesIntoAnotherLinesFile() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 150}});
    f.drawLine({{100, 300}, {200, 350}});
    writeFile(tempDir(f) / "0-0.txt", "zero");
    Document& d = f.doc();
    d.curLine = 1;
    d.curPoint = 0;
    QVERIFY(f.window->runCommand(40029));
    ScriptPanel& panel = scriptPanel(f);
    panel.editor()->setPlainText("for line one");
    f.ui.queueAnswer(Answer::Yes);
    QVERIFY(f.window->runCommand(40004));  // the selection falls back to line 0
    QCOMPARE(panel.editor()->toPlainText(), QString("zero"));
    f.window->undo();
    QCOMPARE(d.curLine, 1);
    QCOMPARE(panel.editor()->toPlainText(), QString());

    panel.editor()->setPlainText("for line one");
    d.curLine = 0;  // moved without a redraw
    panel.button("ok")->click();
    QCOMPARE(readFile(tempDir(f) / "0-0.txt"), std::string("zero"));
    QCOMPARE(panel.editor()->toPlainText(), QString("zero"));
    QVERIFY(panel.isVisible());
  }

  void runCompilesIntoTheLineAndReportsErrors() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    f.window->runCommand(40029);
    ScriptPanel& panel = scriptPanel(f);
    f.window->session().setModified(false);
    panel.editor()->setPlainText("param 2; p[0] = 1;\np[1] = 2 3 4; p[0] = 5;");
    panel.button("run")->click();
    QCOMPARE(f.ui.lastText(), std::string("3:数、変数、基本関数、)の後に数は来ません。"));
    QCOMPARE(f.ui.shown.back().caption, std::string("エラー"));
    // The statements before the error are stored; the text is saved and the listing written.
    QCOMPARE(f.doc().lines[0].code,
             (CodeList{{0xFF, 2}, {0x20, 0x2000000}, number(1), {0x10, 0x02000000}, kMarker}));
    QVERIFY(f.window->modified());
    QVERIFY(fs::exists(tempDir(f).parent_path() / "PreCom.txt"));
    QCOMPARE(readFile(tempDir(f) / "0-1.txt"),
             std::string("param 2; p[0] = 1;\np[1] = 2 3 4; p[0] = 5;"));

    // A program that reads a line that does not exist compiles but fails its check.
    f.ui.reset();
    panel.editor()->setPlainText("param 1; p[0] = L[5]vx;");
    panel.button("run")->click();
    QCOMPARE(f.ui.shown.size(), size_t(1));
    QCOMPARE(f.ui.lastText(), std::string("線L[5]は存在しません。"));
    f.ui.reset();
    panel.editor()->setPlainText("param 1; p[0] = L[0]vx;");
    panel.button("run")->click();
    QVERIFY(f.ui.shown.empty());
    QCOMPARE(f.doc().lines[0].code.size(), size_t(5));
  }

  void archiveGoesOutAndComesBackThroughTheButtons() {
    WindowFixture f;
    lineWithMiddleSelected(f);
    writeFile(tempDir(f) / "0-0.txt", "a");
    writeFile(tempDir(f) / "1-2.txt", "bc");
    f.window->runCommand(40029);
    ScriptPanel& panel = scriptPanel(f);
    panel.editor()->setPlainText("xyz");

    // "保存": the current text is saved first, then every script file goes into the archive.
    const std::string archive = (fs::path(f.dir.path().toStdString()) / "all.txt").string();
    f.ui.queuePath(archive);
    panel.button("save")->click();
    QCOMPARE(f.ui.fileRequests.back().save, true);
    QCOMPARE(f.ui.fileRequests.back().filter, std::string("ソースファイル|*.txt||"));
    QCOMPARE(f.ui.fileRequests.back().initialName, std::string("notilescr.txt"));
    QCOMPARE(readFile(archive), std::string("Tovala\n0-0.txt\n1\na0-1.txt\n3\nxyz1-2.txt\n2\nbc"));
    QCOMPARE(panel.archiveName(), archive);

    // "読込" brings the files back and shows the selection's text again.
    for (const char* name : {"0-0.txt", "0-1.txt", "1-2.txt"}) fs::remove(tempDir(f) / name);
    panel.editor()->setPlainText("changed");
    f.ui.queuePath(archive);
    panel.button("load")->click();
    QCOMPARE(f.ui.fileRequests.back().save, false);
    QCOMPARE(f.ui.fileRequests.back().initialName, archive);
    QCOMPARE(readFile(tempDir(f) / "0-0.txt"), std::string("a"));
    QCOMPARE(readFile(tempDir(f) / "1-2.txt"), std::string("bc"));
    QCOMPARE(panel.editor()->toPlainText(), QString("xyz"));

    // A cancelled dialog does nothing; a file not starting "Tovala" is refused unread.
    panel.editor()->setPlainText("kept");
    panel.button("load")->click();
    QCOMPARE(panel.editor()->toPlainText(), QString("kept"));
    const std::string wrong = (fs::path(f.dir.path().toStdString()) / "wrong.txt").string();
    writeFile(wrong, "tovala\n0-0.txt\n1\nz");
    f.ui.queuePath(wrong);
    panel.button("load")->click();
    QCOMPARE(f.ui.lastText(), std::string("有効なファイルではありません。"));
    QCOMPARE(readFile(tempDir(f) / "0-0.txt"), std::string("a"));
    QCOMPARE(panel.editor()->toPlainText(), QString("kept"));
  }
};

QTEST_MAIN(TestScriptPanel)
#include "tst_script_panel.moc"
