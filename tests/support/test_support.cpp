#include "support/test_support.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <sys/wait.h>

namespace tovala::test {

TempDir::TempDir() {
  std::random_device rd;
  path_ = std::filesystem::temp_directory_path() /
          ("tovala-test-" + std::to_string(rd()) + std::to_string(rd()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

namespace {
std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') q += "'\\''";
    else q += c;
  }
  return q + "'";
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
}  // namespace

CliResult runCli(const std::vector<std::string>& args, const std::string& workDir) {
#ifdef TOVALA_CLI_PATH
  TempDir io;
  std::string cmd;
  if (!workDir.empty()) cmd += "cd " + quote(workDir) + " && ";
  cmd += quote(TOVALA_CLI_PATH);
  for (const auto& a : args) cmd += " " + quote(a);
  cmd += " >" + quote(io.file("out")) + " 2>" + quote(io.file("err"));
  int raw = std::system(cmd.c_str());
  CliResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = slurp(io.file("out"));
  r.err = slurp(io.file("err"));
  return r;
#else
  (void)args;
  (void)workDir;
  return {};
#endif
}

std::vector<uint8_t> readFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFileBytes(const std::string& path, const std::vector<uint8_t>& data) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

}  // namespace tovala::test
