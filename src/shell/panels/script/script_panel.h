#pragma once
// The script editor "スクリプト" (dialog 118): the script text of the selected line and point,
// kept in "temp/<line>-<point>.txt" under the working folder the window hands over. "OK" saves
// it, "実行" saves it and compiles it into the selected line, "読込" and "保存" bring in and
// write out every script text of the folder as one archive file. The panel is created hidden and
// shown by command 40029; while it is shown it follows the selection.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "shell/panel.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tovala {

class Document;
class TMyWindow;

// A script file's text as the editor shows it (UTF-8, line feeds only) from the form
// loadScriptText gives (Shift-JIS, carriage returns before each line feed).
std::string scriptTextForEditor(std::string_view fileText);
// The editor's text as it is saved and compiled: Shift-JIS.
std::string scriptTextForFile(std::string_view editorText);

class ScriptPanel : public Panel {
  Q_OBJECT

 public:
  ScriptPanel(Document& doc, QWidget* parent);

  // Takes the working folder, loads the selection's text and shows the panel.
  void showFor(const std::filesystem::path& workDir);
  // The selection changed: while shown, the new selection's text replaces the old one.
  void refresh() override;

  // The buttons' operations.
  bool saveText();
  void run();
  void importArchive();
  void exportArchive();

  QPlainTextEdit* editor() const { return editor_; }
  // Names the line and point the text belongs to: "線 0 (番号 1)・点 2 (番号 3)".
  QLabel* ownerLabel() const { return owner_; }
  QPushButton* button(const char* name) const;
  const std::string& archiveName() const { return archive_; }
  const std::filesystem::path& workDir() const { return workDir_; }

 signals:
  // The selected line's program was replaced by a compile.
  void compiled();

 private:
  void loadText();
  std::string fileText() const;
  bool chooseArchive(bool save);

  Document& doc_;
  std::filesystem::path workDir_;
  std::string archive_;
  // Whether the editor holds the text of the selected line and point: by index, which names the
  // file, and by number, which tells a line that took another's index after a deletion.
  bool showsSelection() const;

  int shownLine_ = -1;  // the line and point whose text the editor holds
  int shownPoint_ = -1;
  int32_t shownLineNumber_ = -1;
  int32_t shownPointNumber_ = -1;
  QPlainTextEdit* editor_ = nullptr;
  QLabel* owner_ = nullptr;
};

// Creates the panel hidden and connects it to the window.
void installScriptPanel(TMyWindow& w);
// Command 40029.
void openScriptPanel(TMyWindow& w);

}  // namespace tovala
