#include "cli/command.h"

#include <algorithm>
#include <cstdio>

namespace tovala::cli {

namespace {
std::vector<Command>& registry() {
  static std::vector<Command> all;
  return all;
}
}  // namespace

bool Args::flag(const std::string& name) {
  auto it = std::find(args_.begin(), args_.end(), name);
  if (it == args_.end()) return false;
  args_.erase(it);
  return true;
}

std::optional<std::string> Args::option(const std::string& name) {
  auto values = optionN(name, 1);
  if (!values) return std::nullopt;
  return (*values)[0];
}

std::optional<std::vector<std::string>> Args::optionN(const std::string& name, size_t count) {
  auto it = std::find(args_.begin(), args_.end(), name);
  if (it == args_.end()) return std::nullopt;
  const size_t at = size_t(it - args_.begin());
  if (at + count >= args_.size()) {
    error_ = true;
    args_.erase(args_.begin() + long(at), args_.end());
    return std::nullopt;
  }
  std::vector<std::string> values(args_.begin() + long(at) + 1, args_.begin() + long(at + 1 + count));
  args_.erase(args_.begin() + long(at), args_.begin() + long(at + 1 + count));
  return values;
}

bool Args::positionals(std::vector<std::string>& out) const {
  out.clear();
  for (const std::string& a : args_) {
    // A lone "-" and negative numbers are values, not options.
    const bool looksLikeOption = a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9');
    if (looksLikeOption) return false;
    out.push_back(a);
  }
  return !error_;
}

bool registerCommand(const Command& command) {
  registry().push_back(command);
  std::sort(registry().begin(), registry().end(),
            [](const Command& a, const Command& b) { return std::string(a.name) < b.name; });
  return true;
}

const std::vector<Command>& commands() { return registry(); }

const Command* findCommand(const std::string& name) {
  for (const Command& c : registry())
    if (name == c.name) return &c;
  return nullptr;
}

int usage(const Command& command) {
  std::fprintf(stderr, "usage: tovala-cli %s\n", command.synopsis);
  return kExitUsage;
}

}  // namespace tovala::cli
