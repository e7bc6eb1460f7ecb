// The script archive reader on arbitrary bytes, imported into a scratch working folder: it must
// end, write only plain-named files and only into temp/, and leave nothing else behind. When
// none of the imported texts holds a carriage return (whose counting is the archive's own
// business), exporting what was imported and importing that again gives the same files.

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "model/document.h"
#include "model/file_io.h"
#include "script/script_files.h"

namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

// Made once per process and removed at its exit (never destroyed before that).
const fs::path& workDir() {
  static const fs::path* dir = [] {
    // tmpfs where there is one: every imported file is written with a flush.
    const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
    std::string name = (base / "tovala_fuzz_archive_XXXXXX").string();
    if (!::mkdtemp(name.data())) std::abort();
    return new fs::path(name);
  }();
  static const bool cleanup = std::atexit([] {
                                std::error_code ec;
                                fs::remove_all(*dir, ec);
                              }) == 0;
  (void)cleanup;
  return *dir;
}

tovala::Document& document() {
  static tovala::Document* doc = [] {
    auto* d = new tovala::Document;
    d->imageWidth = d->imageHeight = 8;
    d->recreateWorkImages();
    tovala::LineRecord l = d->makeDefaultLine();
    d->lines.insert(d->lines.end() - 1, l);
    d->lineOrder.push_back(1);
    return d;
  }();
  return *doc;
}

// What temp/ holds; aborts on anything the import must never leave there.
Files tempFiles() {
  Files files;
  for (const auto& e : fs::directory_iterator(workDir() / "temp")) {
    const std::string name = e.path().filename().string();
    if (!e.is_regular_file() || !tovala::isPlainFileName(name)) std::abort();
    const auto bytes = tovala::readWholeFile(e.path().string());
    if (!bytes) std::abort();
    files[name] = std::string(bytes->begin(), bytes->end());
  }
  return files;
}

void onlyInputAndTemp() {
  for (const auto& e : fs::directory_iterator(workDir())) {
    const std::string name = e.path().filename().string();
    if (name != "in.txt" && name != "out.txt" && name != "temp") std::abort();
  }
}

// The files an export carries: those whose extension is .txt in any case (a name such as
// ".txt" has none).
bool isScriptFile(const std::string& name) {
  std::string ext = fs::path(name).extension().string();
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".txt";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path& dir = workDir();
  fs::remove_all(dir / "temp");
  fs::remove(dir / "out.txt");
  if (!tovala::writeFileAtomic((dir / "in.txt").string(), std::span(data, size))) std::abort();
  tovala::Document& doc = document();
  if (!tovala::importScriptArchive(doc, dir, "in.txt")) {
    if (fs::exists(dir / "temp") && !tempFiles().empty()) std::abort();  // refused: nothing written
    onlyInputAndTemp();
    return 0;
  }
  Files imported = tempFiles();
  onlyInputAndTemp();
  for (const auto& [name, content] : imported)
    if (content.find('\r') != std::string::npos) return 0;

  // The export writes the selected line's text first, then every script file of temp/.
  const std::string selected = tovala::scriptFileName(doc.curLine, doc.curPoint).substr(5);
  const std::string current = imported.count(selected) ? imported[selected] : std::string();
  if (!tovala::exportScriptArchive(doc, dir, "out.txt", current)) std::abort();
  Files expected;
  for (const auto& [name, content] : imported)
    if (isScriptFile(name)) expected[name] = content;
  expected[selected] = current;
  fs::remove_all(dir / "temp");
  if (!tovala::importScriptArchive(doc, dir, "out.txt")) std::abort();
  if (tempFiles() != expected) std::abort();
  return 0;
}
