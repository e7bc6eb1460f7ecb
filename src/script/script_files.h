#pragma once
// Script texts on disk: one text file per line and point in the working folder's "temp"
// ("temp/<line>-<point>.txt"), and the archive that carries all of them in one text file:
//
//   Tovala\n
//   <file name>\n<number of characters>\n<the characters>     (repeated, no separators)
//
// The format was written in text mode, so the counts are of the text-mode view: an archive whose
// header line ends in CR LF (written on a system whose text mode writes line feeds as CR LF) is
// read with every CR LF taken as one line feed. Archives written here use plain line feeds and
// carry every file byte for byte.
//
// Paths are taken relative to the working folder the editor hands over; the process's current
// folder is never changed. Failures are shown through doc.ui with the caption "エラー".

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovala {

class Document;
class Ui;

inline constexpr const char* kDefaultArchiveName = "notilescr.txt";
inline constexpr const char* kArchiveFilter = "ソースファイル|*.txt||";
inline constexpr const char* kArchiveExtension = "*.txt";

// "temp/<line>-<point>.txt".
std::string scriptFileName(int line, int point);

// The script text of the selected line and point in the script panel's form: 0xFF bytes and
// carriage returns dropped, every line feed turned into CR CR LF (the panel shows each as one
// line break; reading the file again drops the carriage returns, so a save and load keep the
// text). "" when there is no file; nothing when the selected line is no line.
std::optional<std::string> loadScriptText(const Document& doc,
                                          const std::filesystem::path& workDir);

// Writes `text` as it stands to the selected line and point's file. False after
// "ファイルの書込みに失敗しました。"; false without a message when the selection is no line.
bool saveScriptText(const Document& doc, const std::filesystem::path& workDir,
                    std::string_view text);

// Saves `currentText` first, then writes every temp/*.txt into the archive (in name order).
// A relative archive path is taken from the working folder. The archive is written atomically:
// on failure ("ファイルの書込みに失敗しました。") an existing archive is left as it was.
bool exportScriptArchive(const Document& doc, const std::filesystem::path& workDir,
                         const std::string& archive, std::string_view currentText);

// Writes every entry of the archive into temp/, replacing files of the same name and keeping the
// others. Refuses an archive whose first line does not start with "Tovala". An entry whose name
// is not a plain file name, or whose file cannot be written, is skipped with
// "有効なファイルではありません。"; its characters are still consumed so the entries after it
// are read correctly. The caller shows the selected text again (loadScriptText) afterwards.
bool importScriptArchive(const Document& doc, const std::filesystem::path& workDir,
                         const std::string& archive);

// True for a name that stays inside the folder it is joined to: not empty, no separators,
// drive colons, "..", blanks or control characters.
bool isPlainFileName(std::string_view name);

// --- the archive without the editor (tovala-cli archive-export, archive-import) --------------

struct ScriptArchiveEntry {
  std::string name;  // as stored: check with isPlainFileName before using it as a path
  std::string content;
};

// The archive of every script file (*.txt with a plain name) in `folder`, in name order; nothing
// when the folder cannot be listed.
std::optional<std::string> scriptArchiveOf(const std::filesystem::path& folder);

// The entries of an archive in file order; nothing when its first line does not start with
// "Tovala". A count beyond the end takes what is left; blank lines between entries are skipped.
std::optional<std::vector<ScriptArchiveEntry>> parseScriptArchive(std::string_view archive);

// Writes every entry into `folder` (made when missing), replacing files of the same name and
// keeping the others; a name given twice takes its last content. All or nothing: the files are
// written beside the folder's own first and moved in only when every one was written, so on
// failure (false) the folder is as it was. The names must already be plain file names.
bool writeScriptFiles(const std::vector<ScriptArchiveEntry>& entries,
                      const std::filesystem::path& folder);

}  // namespace tovala
