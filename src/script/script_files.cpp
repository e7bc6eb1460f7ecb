#include "script/script_files.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <random>
#include <span>
#include <system_error>
#include <vector>

#include "model/document.h"
#include "model/file_io.h"
#include "platform/ui.h"
#include "script/script_messages.h"

namespace tovala {
namespace {

namespace fs = std::filesystem;
using script::msg::kCaptionError;

constexpr std::string_view kArchiveHeader = "Tovala";
constexpr size_t kLineLimit = 511;  // the longest line one read takes from the archive

std::span<const uint8_t> asBytes(std::string_view s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

fs::path resolve(const fs::path& workDir, const std::string& path) {
  const fs::path p(path);
  return p.is_absolute() ? p : workDir / p;
}

// One line of the archive as a line-reading call takes it: up to and including the line feed,
// at most kLineLimit characters.
std::string_view readLine(std::string_view data, size_t& pos) {
  const size_t start = pos;
  while (pos < data.size() && pos - start < kLineLimit) {
    if (data[pos++] == '\n') break;
  }
  return data.substr(start, pos - start);
}

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The first blank-delimited word of a line.
std::string_view firstWord(std::string_view line) {
  size_t b = 0;
  while (b < line.size() && isBlank(line[b])) ++b;
  size_t e = b;
  while (e < line.size() && !isBlank(line[e])) ++e;
  return line.substr(b, e - b);
}

// A decimal count as a number-reading call takes it; anything unreadable or negative is 0.
size_t readCount(std::string_view line) {
  std::string_view w = firstWord(line);
  if (!w.empty() && w[0] == '+') w.remove_prefix(1);
  size_t n = 0;
  for (char c : w) {
    if (c < '0' || c > '9') break;
    n = std::min<size_t>(n * 10 + size_t(c - '0'), size_t(1) << 40);
  }
  return n;
}

// The text-mode view of an archive: when its first line ends in CR LF, every CR LF is one line
// feed (a CR elsewhere stays); otherwise the bytes as they are.
std::string textModeView(std::string_view data) {
  const size_t firstFeed = data.find('\n');
  if (firstFeed == std::string_view::npos || firstFeed == 0 || data[firstFeed - 1] != '\r')
    return std::string(data);
  std::string view;
  view.reserve(data.size());
  for (size_t i = 0; i < data.size(); ++i) {
    if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') continue;
    view += data[i];
  }
  return view;
}

using ScriptFileList = std::vector<std::pair<std::string, std::string>>;

// The script files of the folder, by name, with their contents; nothing when it cannot be
// listed.
std::optional<ScriptFileList> listScriptFiles(const fs::path& folder) {
  ScriptFileList files;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return std::nullopt;
  for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string name = it->path().filename().string();
    std::string ext = it->path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](char c) { return char(std::tolower(uint8_t(c))); });
    // A name the archive could not carry back is left out rather than corrupting the entries
    // that follow it.
    if (ext != ".txt" || !isPlainFileName(name)) continue;
    const auto bytes = readWholeFile(it->path().string());
    if (!bytes) continue;
    files.emplace_back(name, std::string(bytes->begin(), bytes->end()));
  }
  if (ec) return std::nullopt;
  std::sort(files.begin(), files.end());
  return files;
}

// The archive of the files, with plain line feeds.
std::string archiveText(const ScriptFileList& files) {
  std::string out(kArchiveHeader);
  out += '\n';
  for (const auto& [name, content] : files)
    out += name + '\n' + std::to_string(content.size()) + '\n' + content;
  return out;
}

// A new, empty folder inside `folder` to write files in before they are moved beside its own.
std::optional<fs::path> makeStagingFolder(const fs::path& folder) {
  std::random_device rd;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const fs::path p = folder / (".tovala-import" + std::to_string(rd() % 1000000u));
    std::error_code ec;
    if (fs::create_directory(p, ec)) return p;
  }
  return std::nullopt;
}

}  // namespace

std::string scriptFileName(int line, int point) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "temp/%d-%d.txt", line, point);
  return buf;
}

bool isPlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name.find("..") != std::string_view::npos) return false;
  for (char c : name) {
    const auto u = uint8_t(c);
    if (c == '/' || c == '\\' || c == ':' || u <= 0x20 || u == 0x7F) return false;
  }
  return true;
}

std::optional<std::string> loadScriptText(const Document& doc, const fs::path& workDir) {
  if (!doc.isValidLine(doc.curLine)) return std::nullopt;
  const auto bytes = readWholeFile((workDir / scriptFileName(doc.curLine, doc.curPoint)).string());
  std::string text;
  if (!bytes) return text;
  for (uint8_t b : *bytes) {
    if (b == 0xFF || b == '\r') continue;
    if (b == '\n') text += "\r\r";
    text += char(b);
  }
  return text;
}

bool saveScriptText(const Document& doc, const fs::path& workDir, std::string_view text) {
  if (!doc.isValidLine(doc.curLine)) return false;
  std::error_code ec;
  fs::create_directories(workDir / "temp", ec);
  const fs::path file = workDir / scriptFileName(doc.curLine, doc.curPoint);
  if (!writeFileAtomic(file.string(), asBytes(text))) {
    doc.ui->message(script::msg::kWriteFailed, kCaptionError);
    return false;
  }
  return true;
}

bool exportScriptArchive(const Document& doc, const fs::path& workDir, const std::string& archive,
                         std::string_view currentText) {
  saveScriptText(doc, workDir, currentText);
  // No temp folder yet: an archive with no files.
  const std::string out = archiveText(listScriptFiles(workDir / "temp").value_or(ScriptFileList{}));
  if (!writeFileAtomic(resolve(workDir, archive).string(), asBytes(out))) {
    doc.ui->message(script::msg::kWriteFailed, kCaptionError);
    return false;
  }
  return true;
}

bool importScriptArchive(const Document& doc, const fs::path& workDir, const std::string& archive) {
  if (archive.size() < 2 || !doc.isValidLine(doc.curLine)) return false;
  const auto bytes = readWholeFile(resolve(workDir, archive).string());
  if (!bytes) {
    doc.ui->message(script::msg::kReadFailed, kCaptionError);
    return false;
  }
  const auto entries = parseScriptArchive(
      std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
  if (!entries) {
    doc.ui->message(script::msg::kNotValidFile, kCaptionError);
    return false;
  }
  const fs::path folder = workDir / "temp";
  std::error_code ec;
  fs::create_directories(folder, ec);
  for (const ScriptArchiveEntry& e : *entries) {
    if (!isPlainFileName(e.name) ||
        !writeFileAtomic((folder / e.name).string(), asBytes(e.content))) {
      doc.ui->message(script::msg::kNotValidFile, kCaptionError);
    }
  }
  return true;
}

std::optional<std::string> scriptArchiveOf(const fs::path& folder) {
  const auto files = listScriptFiles(folder);
  if (!files) return std::nullopt;
  return archiveText(*files);
}

std::optional<std::vector<ScriptArchiveEntry>> parseScriptArchive(std::string_view archive) {
  const std::string view = textModeView(archive);
  const std::string_view data = view;
  size_t pos = 0;
  if (readLine(data, pos).substr(0, kArchiveHeader.size()) != kArchiveHeader) return std::nullopt;
  std::vector<ScriptArchiveEntry> entries;
  while (pos < data.size()) {
    const std::string_view name = firstWord(readLine(data, pos));
    const size_t count = std::min(readCount(readLine(data, pos)), data.size() - pos);
    const std::string_view content = data.substr(pos, count);
    pos += count;
    if (name.empty() && count == 0) continue;  // a blank line between or after entries
    entries.push_back({std::string(name), std::string(content)});
  }
  return entries;
}

bool writeScriptFiles(const std::vector<ScriptArchiveEntry>& entries, const fs::path& folder) {
  std::map<std::string, std::string_view> files;  // the last content of each name
  for (const ScriptArchiveEntry& e : entries) {
    if (!isPlainFileName(e.name)) return false;
    files[e.name] = e.content;
  }
  std::error_code ec;
  const bool made = !fs::exists(folder, ec) && fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) return false;
  // A folder where a file is to go cannot be replaced: refused before anything is written.
  bool ok = true;
  for (const auto& [name, content] : files) {
    const fs::path target = folder / name;
    if (fs::exists(target, ec) && !fs::is_regular_file(target, ec)) ok = false;
  }
  const auto staging = ok ? makeStagingFolder(folder) : std::nullopt;
  ok = ok && staging;
  for (auto it = files.begin(); ok && it != files.end(); ++it)
    ok = writeFileAtomic((*staging / it->first).string(), asBytes(it->second));
  for (auto it = files.begin(); ok && it != files.end(); ++it) {
    fs::rename(*staging / it->first, folder / it->first, ec);
    ok = !ec;
  }
  if (staging) fs::remove_all(*staging, ec);
  if (!ok && made) fs::remove(folder, ec);
  return ok;
}

}  // namespace tovala
