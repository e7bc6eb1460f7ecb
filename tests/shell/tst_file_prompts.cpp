// Unsaved work is never dropped silently: replacing the document asks the close question first,
// its save proposes the document's own file, and the title shows the file and a modified mark.

#include <QFile>
#include <QtTest>

#include "shell_fixture.h"

using namespace tovala;
using namespace tovala::test;

namespace {

const std::string kSaveQuestion = "変更を保存しますか?";

QString title(const char* name) {
  return QString::fromUtf8(name) + QString::fromUtf8("[*] - トヴァラ");
}

// Saves the document through "普通保存" under `path`.
void saveAs(WindowFixture& f, const std::string& path) {
  f.ui.queuePath(path);
  QVERIFY(f.window->runCommand(40030));
  QVERIFY(!f.window->modified());
}

int questionsAsked(const RecordingUi& ui) {
  int n = 0;
  for (const RecordingUi::Shown& s : ui.shown) n += s.question && s.text == kSaveQuestion;
  return n;
}

}  // namespace

class TestFilePrompts : public QObject {
  Q_OBJECT

 private slots:
  // "人体モデル作成" over unsaved work: Cancel changes nothing, No replaces without saving, Yes
  // saves and then replaces, and a cancelled save keeps the work. Unchanged work is not asked.
  void bodyModelAsksFirst() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 120}});
    QVERIFY(f.window->modified());

    f.ui.queueAnswer(Answer::Cancel);
    f.window->runCommand(40050);
    QCOMPARE(f.ui.lastText(), kSaveQuestion);
    QCOMPARE(f.ui.shown.back().caption, std::string("確認"));
    QCOMPARE(f.doc().lineCount(), 2);
    QVERIFY(f.ui.fileRequests.empty());
    QVERIFY(f.window->modified());

    f.ui.queueAnswer(Answer::Yes);
    f.ui.queuePath(std::nullopt);  // the save dialog cancelled: the work stays
    f.window->runCommand(40050);
    QCOMPARE(f.doc().lineCount(), 2);
    QCOMPARE(f.ui.fileRequests.size(), size_t(1));
    QVERIFY(f.ui.fileRequests.back().save);

    const std::string path = f.dir.filePath("mine.tov").toStdString();
    f.ui.queueAnswer(Answer::Yes);
    f.ui.queuePath(path);
    f.window->runCommand(40050);
    QVERIFY(f.doc().lineCount() > 150);
    QVERIFY(QFile::exists(QString::fromStdString(path)));
    QVERIFY(f.window->openProject(path));  // what was saved is the drawing, not the model
    QCOMPARE(f.doc().lineCount(), 2);
    QCOMPARE(f.doc().lines[0].points[1].vx, 200.0f);

    // Nothing changed since opening: no question.
    f.ui.reset();
    f.window->runCommand(40050);
    QCOMPARE(questionsAsked(f.ui), 0);
    QVERIFY(f.doc().lineCount() > 150);

    // No: replaced, nothing written.
    QVERIFY(f.window->openProject(path));
    f.drawLine({{300, 300}, {400, 300}});
    QCOMPARE(f.doc().lineCount(), 3);
    f.ui.reset();
    f.ui.queueAnswer(Answer::No);
    f.window->runCommand(40050);
    QCOMPARE(questionsAsked(f.ui), 1);
    QVERIFY(f.ui.fileRequests.empty());
    QVERIFY(f.doc().lineCount() > 150);
    QVERIFY(f.window->openProject(path));
    QCOMPARE(f.doc().lineCount(), 2);
  }

  // "普通読込" asks before its file dialog; Cancel shows no dialog, No opens, Yes saves first.
  void openAsksFirst() {
    WindowFixture f;
    const std::string other = f.dir.filePath("other.tov").toStdString();
    f.drawLine({{100, 100}, {200, 120}});
    saveAs(f, other);
    f.drawLine({{300, 300}, {400, 300}});  // a second line, unsaved
    QCOMPARE(f.doc().lineCount(), 3);
    f.ui.reset();

    f.ui.queueAnswer(Answer::Cancel);
    f.window->runCommand(40001);
    QCOMPARE(f.ui.lastText(), kSaveQuestion);
    QVERIFY(f.ui.fileRequests.empty());
    QCOMPARE(f.doc().lineCount(), 3);

    f.ui.queueAnswer(Answer::No);
    f.ui.queuePath(other);
    f.window->runCommand(40001);
    QCOMPARE(f.ui.fileRequests.size(), size_t(1));
    QVERIFY(!f.ui.fileRequests.back().save);
    QCOMPARE(f.doc().lineCount(), 2);
    QVERIFY(!f.window->modified());

    // Yes: the save dialog, then the open dialog; the saved file holds the edit.
    f.drawLine({{300, 300}, {400, 300}});
    const std::string copy = f.dir.filePath("copy.tov").toStdString();
    f.ui.reset();
    f.ui.queueAnswer(Answer::Yes);
    f.ui.queuePath(copy);
    f.ui.queuePath(other);
    f.window->runCommand(40001);
    QCOMPARE(f.ui.fileRequests.size(), size_t(2));
    QVERIFY(f.ui.fileRequests[0].save);
    QVERIFY(!f.ui.fileRequests[1].save);
    QCOMPARE(f.doc().lineCount(), 2);
    QVERIFY(f.window->openProject(copy));
    QCOMPARE(f.doc().lineCount(), 3);
  }

  // The save behind the question proposes the document's own file, not the last name typed
  // (here a file that failed to open), and the default name for a document never saved.
  void saveProposesTheDocumentsOwnFile() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 120}});
    f.ui.queueAnswer(Answer::Yes);
    f.ui.queuePath(std::nullopt);
    QVERIFY(!f.window->close());
    QCOMPARE(f.ui.fileRequests.back().initialName, std::string("noname.tov"));

    const std::string mine = f.dir.filePath("mine.tov").toStdString();
    saveAs(f, mine);
    const std::string junk = f.dir.filePath("notes.tov").toStdString();
    {
      QFile file(QString::fromStdString(junk));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("not a project");
    }
    f.ui.queuePath(junk);
    f.window->runCommand(40001);  // refused with a message; the document stays
    QCOMPARE(f.window->documentPath(), mine);
    QCOMPARE(f.doc().lineCount(), 2);

    f.drawLine({{300, 300}, {400, 300}});
    f.ui.queueAnswer(Answer::Yes);
    f.ui.queuePath(std::nullopt);
    QVERIFY(!f.window->close());
    QCOMPARE(f.ui.fileRequests.back().initialName, mine);
    // The same for a replacing command.
    f.ui.queueAnswer(Answer::Yes);
    f.ui.queuePath(std::nullopt);
    f.window->runCommand(40050);
    QCOMPARE(f.ui.fileRequests.back().initialName, mine);
    QCOMPARE(f.doc().lineCount(), 3);
    // And for the save command itself.
    f.ui.queuePath(std::nullopt);
    f.window->runCommand(40030);
    QCOMPARE(f.ui.fileRequests.back().initialName, mine);
  }

  // The title names the file, or "無題", and Qt's modified mark follows unsaved changes.
  void titleShowsFileAndMark() {
    WindowFixture f;
    QCOMPARE(f.window->windowTitle(), title("無題"));
    QVERIFY(!f.window->isWindowModified());
    f.drawLine({{100, 100}, {200, 120}});
    QVERIFY(f.window->isWindowModified());

    const std::string path = f.dir.filePath("figure.tov").toStdString();
    saveAs(f, path);
    QCOMPARE(f.window->windowTitle(), title("figure.tov"));
    QVERIFY(!f.window->isWindowModified());
    f.drawLine({{300, 300}, {400, 300}});
    QVERIFY(f.window->isWindowModified());

    f.ui.queueAnswer(Answer::No);  // the save question
    f.window->runCommand(40050);
    QCOMPARE(f.window->windowTitle(), title("無題"));
    QVERIFY(f.window->isWindowModified());  // the new figure is not saved anywhere

    f.ui.queueAnswer(Answer::No);
    f.ui.queuePath(path);
    f.window->runCommand(40001);
    QCOMPARE(f.window->windowTitle(), title("figure.tov"));
    QVERIFY(!f.window->isWindowModified());

    f.ui.queueAnswer(Answer::Yes);  // "編集を破棄し新規に作成します。"
    f.window->runCommand(40044);
    QCOMPARE(f.window->windowTitle(), title("無題"));
    QVERIFY(!f.window->isWindowModified());
  }
};

QTEST_MAIN(TestFilePrompts)
#include "tst_file_prompts.moc"
