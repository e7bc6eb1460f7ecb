#pragma once
// Script texts on disk: one text file per line and point in the working folder's "temp"
// ("temp/<line>-<point>.txt"), and the archive that carries all of them in one text file:
//
//   Tovala\n
//   <file name>\n<number of characters>\n<the characters>     (repeated, no separators)
//
// Paths are taken relative to the working folder the editor hands over; the process's current
// folder is never changed. Failures are shown through doc.ui with the caption "エラー".

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tovala {

class Document;

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

}  // namespace tovala
