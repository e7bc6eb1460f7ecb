#pragma once
// tovala-cli's commands. Each command lives in its own file and registers itself with
// TOVALA_CLI_COMMAND, so adding one never touches another command's code.

#include <optional>
#include <string>
#include <vector>

namespace tovala::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// The arguments after the command name, with helpers for the usual option shapes.
class Args {
 public:
  explicit Args(std::vector<std::string> args) : args_(std::move(args)) {}

  // Removes "--name" and reports whether it was there.
  bool flag(const std::string& name);
  // Removes "--name VALUE" (or "-n VALUE") and returns VALUE; sets an error when VALUE is missing.
  std::optional<std::string> option(const std::string& name);
  // Removes "--name V1 V2 ..." with a fixed number of values.
  std::optional<std::vector<std::string>> optionN(const std::string& name, size_t count);
  // What is left once every option was taken: the positional arguments. Fails (usage) on any
  // leftover "-x" that no option took.
  bool positionals(std::vector<std::string>& out) const;
  bool hasError() const { return error_; }

 private:
  std::vector<std::string> args_;
  bool error_ = false;
};

struct Command {
  const char* name;
  const char* synopsis;  // "render IN.tov -o OUT.bmp|OUT.png [--display] ..."
  const char* summary;   // one line
  const char* details;   // the text of `help COMMAND`
  int (*run)(Args& args);
};

bool registerCommand(const Command& command);
const std::vector<Command>& commands();
const Command* findCommand(const std::string& name);

// Prints "usage: tovala-cli SYNOPSIS" on stderr and returns kExitUsage.
int usage(const Command& command);

}  // namespace tovala::cli

#define TOVALA_CLI_CONCAT2(a, b) a##b
#define TOVALA_CLI_CONCAT(a, b) TOVALA_CLI_CONCAT2(a, b)
#define TOVALA_CLI_COMMAND(...)                                                      \
  static const bool TOVALA_CLI_CONCAT(registered_, __LINE__) [[maybe_unused]] =     \
      ::tovala::cli::registerCommand(::tovala::cli::Command{__VA_ARGS__})
