// Script text files and the archive: loading and saving, export and import round trips, and
// refusal of entries that would leave the temp folder.

#include <filesystem>

#include "script/script_files.h"
#include "script_fixture.h"
#include "support/test_support.h"

namespace tovala::script_test {
namespace {

namespace fs = std::filesystem;

class ScriptFiles : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    addLine({{0, 0, 0}});
    addLine({{0, 0, 0}, {1, 1, 1}, {2, 2, 2}});
    fs::create_directories(dir.path() / "temp");
  }
  std::string read(const std::string& relative) {
    const auto b = test::readFileBytes(dir.file(relative));
    return std::string(b.begin(), b.end());
  }
  void write(const std::string& relative, const std::string& text) {
    test::writeFileBytes(dir.file(relative), std::vector<uint8_t>(text.begin(), text.end()));
  }
  test::TempDir dir;
};

TEST_F(ScriptFiles, TextFilesAreNamedAfterLineAndPoint) {
  EXPECT_EQ(scriptFileName(3, 0), "temp/3-0.txt");
  doc.curLine = 1;
  doc.curPoint = 2;
  EXPECT_EQ(loadScriptText(doc, dir.path()), std::optional<std::string>(""));  // no file yet
  ASSERT_TRUE(saveScriptText(doc, dir.path(), "p[0] = 1;\r\n"));
  EXPECT_EQ(read("temp/1-2.txt"), "p[0] = 1;\r\n");
  write("temp/1-2.txt",
        "a\r\nb\n\xFF"
        "c");
  EXPECT_EQ(loadScriptText(doc, dir.path()), std::optional<std::string>("a\r\r\nb\r\r\nc"));
  // Saved as shown and loaded again: the same text.
  ASSERT_TRUE(saveScriptText(doc, dir.path(), *loadScriptText(doc, dir.path())));
  EXPECT_EQ(loadScriptText(doc, dir.path()), std::optional<std::string>("a\r\r\nb\r\r\nc"));
  doc.curLine = 2;  // the sentinel line: nothing is loaded or saved
  EXPECT_FALSE(loadScriptText(doc, dir.path()).has_value());
  EXPECT_FALSE(saveScriptText(doc, dir.path(), "x"));
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ScriptFiles, SaveFailureIsReported) {
  fs::remove_all(dir.path() / "temp");
  write("temp", "a file where the folder should be");
  EXPECT_FALSE(saveScriptText(doc, dir.path(), "x"));
  EXPECT_EQ(ui.lastText(), "ファイルの書込みに失敗しました。");
  EXPECT_EQ(ui.shown.back().caption, "エラー");
}

TEST_F(ScriptFiles, ArchiveRoundTrip) {
  doc.curLine = 0;
  doc.curPoint = 0;
  write("temp/1-2.txt", "bc");
  write("temp/notes.dat", "not a script");
  ASSERT_TRUE(exportScriptArchive(doc, dir.path(), "all.txt", "a"));
  EXPECT_EQ(read("all.txt"), "Tovala\n0-0.txt\n1\na1-2.txt\n2\nbc");

  fs::remove(dir.path() / "temp/0-0.txt");
  write("temp/1-2.txt", "changed");
  write("temp/5-5.txt", "kept");
  ASSERT_TRUE(importScriptArchive(doc, dir.path(), dir.file("all.txt")));
  EXPECT_EQ(read("temp/0-0.txt"), "a");
  EXPECT_EQ(read("temp/1-2.txt"), "bc");
  EXPECT_EQ(read("temp/5-5.txt"), "kept");
  EXPECT_TRUE(ui.shown.empty());
}

// An archive written with CR LF line ends (text mode on another system) counts the characters of
// its text-mode view, where CR LF is one line feed: the CRs are not part of the content.
TEST_F(ScriptFiles, ArchiveWithCrLfLineEndsImports) {
  write("crlf.txt", "Tovala\r\n0-0.txt\r\n1\r\na1-2.txt\r\n6\r\nb\r\nc\rd\r\n3-4.txt\r\n0\r\n");
  ASSERT_TRUE(importScriptArchive(doc, dir.path(), "crlf.txt"));
  EXPECT_EQ(read("temp/0-0.txt"), "a");
  EXPECT_EQ(read("temp/1-2.txt"), "b\nc\rd\n");  // a CR without LF stays
  EXPECT_EQ(read("temp/3-4.txt"), "");
  EXPECT_TRUE(ui.shown.empty());

  // The editor writes LF: a script whose own lines end in CR LF is carried byte for byte.
  write("temp/0-0.txt", "x\r\ny");
  fs::remove(dir.path() / "temp/1-2.txt");
  fs::remove(dir.path() / "temp/3-4.txt");
  doc.curLine = 1;
  ASSERT_TRUE(exportScriptArchive(doc, dir.path(), "lf.txt", ""));
  EXPECT_EQ(read("lf.txt"), "Tovala\n0-0.txt\n4\nx\r\ny1-0.txt\n0\n");
  write("temp/0-0.txt", "changed");
  ASSERT_TRUE(importScriptArchive(doc, dir.path(), "lf.txt"));
  EXPECT_EQ(read("temp/0-0.txt"), "x\r\ny");
}

TEST_F(ScriptFiles, ImportChecksTheHeader) {
  write("long.txt", "Tovala and more\nx.txt\n2\nhi");
  EXPECT_TRUE(importScriptArchive(doc, dir.path(), "long.txt"));
  EXPECT_EQ(read("temp/x.txt"), "hi");
  write("lower.txt", "tovala\ny.txt\n2\nhi");
  EXPECT_FALSE(importScriptArchive(doc, dir.path(), "lower.txt"));
  EXPECT_EQ(ui.lastText(), "有効なファイルではありません。");
  EXPECT_FALSE(fs::exists(dir.path() / "temp/y.txt"));
  ui.reset();
  EXPECT_FALSE(importScriptArchive(doc, dir.path(), "missing.txt"));
  EXPECT_EQ(ui.lastText(), "ファイルの読込みに失敗しました。");
  ui.reset();
  EXPECT_FALSE(importScriptArchive(doc, dir.path(), "a"));  // too short a name: nothing happens
  doc.curLine = 5;
  EXPECT_FALSE(importScriptArchive(doc, dir.path(), "long.txt"));
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ScriptFiles, UnsafeNamesAreSkippedAndTheirCharactersConsumed) {
  const std::string absolute = dir.file("abs.txt");
  write("evil.txt", "Tovala\n../escape.txt\n3\nxyz" + absolute +
                        "\n4\n1234sub/in.txt\n2\n..C:drive.txt\n1\n?.\n0\nok.txt\n4\nfine");
  ASSERT_TRUE(importScriptArchive(doc, dir.path(), "evil.txt"));
  EXPECT_EQ(read("temp/ok.txt"), "fine");
  EXPECT_FALSE(fs::exists(dir.path() / "escape.txt"));
  EXPECT_FALSE(fs::exists(absolute));
  EXPECT_FALSE(fs::exists(dir.path() / "temp/sub"));
  EXPECT_FALSE(fs::exists(dir.path() / "temp/C:drive.txt"));
  ASSERT_EQ(ui.shown.size(), 5u);
  for (const auto& s : ui.shown) EXPECT_EQ(s.text, "有効なファイルではありません。");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "temp"), fs::directory_iterator()),
            1);
}

TEST_F(ScriptFiles, AnEntryThatCannotBeWrittenIsSkipped) {
  fs::create_directories(dir.path() / "temp/blocked.txt");  // a folder of that name
  write("a.txt", "Tovala\nblocked.txt\n5\nabcdeafter.txt\n3\nxyz");
  ASSERT_TRUE(importScriptArchive(doc, dir.path(), "a.txt"));
  EXPECT_EQ(ui.lastText(), "有効なファイルではありません。");
  EXPECT_EQ(read("temp/after.txt"), "xyz");
  // A count beyond the end takes what is left.
  write("b.txt", "Tovala\ncut.txt\n99\nshort");
  ASSERT_TRUE(importScriptArchive(doc, dir.path(), "b.txt"));
  EXPECT_EQ(read("temp/cut.txt"), "short");
}

TEST_F(ScriptFiles, ExportFailureLeavesNoArchive) {
  EXPECT_FALSE(exportScriptArchive(doc, dir.path(), "missing/folder/all.txt", "x"));
  EXPECT_EQ(ui.lastText(), "ファイルの書込みに失敗しました。");
  EXPECT_FALSE(fs::exists(dir.path() / "missing"));
  EXPECT_TRUE(isPlainFileName("3-0.txt"));
  EXPECT_FALSE(isPlainFileName("a b.txt"));
  EXPECT_FALSE(isPlainFileName(".."));
  EXPECT_FALSE(isPlainFileName("a\\b.txt"));
  EXPECT_FALSE(isPlainFileName(""));
}

}  // namespace
}  // namespace tovala::script_test
