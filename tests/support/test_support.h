#pragma once
// Helpers shared by the test programs: scratch folders and running tovala-cli.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tovala::test {

// A fresh folder under the system's temporary folder, removed when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs tovala-cli with the arguments (each quoted for the shell) in `workDir`.
CliResult runCli(const std::vector<std::string>& args, const std::string& workDir = "");

std::vector<uint8_t> readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::vector<uint8_t>& data);

}  // namespace tovala::test
