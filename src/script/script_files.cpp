#include "script/script_files.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
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

// The script files of the folder, by name, with their contents.
std::vector<std::pair<std::string, std::string>> listScriptFiles(const fs::path& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
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
  std::sort(files.begin(), files.end());
  return files;
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
  std::string out(kArchiveHeader);
  out += '\n';
  for (const auto& [name, content] : listScriptFiles(workDir / "temp")) {
    out += name + '\n' + std::to_string(content.size()) + '\n' + content;
  }
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
  const std::string_view data(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  size_t pos = 0;
  if (readLine(data, pos).substr(0, kArchiveHeader.size()) != kArchiveHeader) {
    doc.ui->message(script::msg::kNotValidFile, kCaptionError);
    return false;
  }
  const fs::path folder = workDir / "temp";
  std::error_code ec;
  fs::create_directories(folder, ec);
  while (pos < data.size()) {
    const std::string_view name = firstWord(readLine(data, pos));
    const size_t count = std::min(readCount(readLine(data, pos)), data.size() - pos);
    const std::string_view content = data.substr(pos, count);
    pos += count;
    if (name.empty() && count == 0) continue;  // a blank line between or after entries
    if (!isPlainFileName(name) ||
        !writeFileAtomic((folder / std::string(name)).string(), asBytes(content))) {
      doc.ui->message(script::msg::kNotValidFile, kCaptionError);
    }
  }
  return true;
}

}  // namespace tovala
