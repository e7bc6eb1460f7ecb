#include "model/work_folder.h"

#include <cstdlib>

namespace tovala {

namespace fs = std::filesystem;

namespace {
bool sameFolder(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  if (fs::equivalent(a, b, ec)) return true;
  // Folders that do not exist (or cannot be reached) compare by name, trailing slash or not.
  return (a / "").lexically_normal() == (b / "").lexically_normal();
}

std::string environment(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

bool allDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}
}  // namespace

fs::path workRootFor(const fs::path& start, const std::string& home, const std::string& dataHome) {
  const bool shared = start.empty() || start == start.root_path() ||
                      (!home.empty() && sameFolder(start, fs::path(home)));
  if (!shared) return start;
  // The data folder as the base directory convention gives it; a relative value is ignored.
  if (!dataHome.empty() && fs::path(dataHome).is_absolute()) return fs::path(dataHome) / "tovala";
  if (!home.empty()) return fs::path(home) / ".local" / "share" / "tovala";
  return start;
}

fs::path workRootHere() {
  std::error_code ec;
  const fs::path start = fs::current_path(ec);
  return workRootFor(ec ? fs::path() : start, environment("HOME"), environment("XDG_DATA_HOME"));
}

bool isScriptWorkFileName(std::string_view name) {
  constexpr std::string_view kExtension = ".txt";
  if (name.size() <= kExtension.size() ||
      name.substr(name.size() - kExtension.size()) != kExtension)
    return false;
  const std::string_view stem = name.substr(0, name.size() - kExtension.size());
  const size_t dash = stem.find('-');
  if (dash == std::string_view::npos) return false;
  std::string_view point = stem.substr(dash + 1);
  if (!point.empty() && point.front() == '-') point.remove_prefix(1);  // "%d" of a negative point
  return allDigits(stem.substr(0, dash)) && allDigits(point);
}

}  // namespace tovala
