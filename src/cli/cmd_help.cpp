// help and version.

#include <cstdio>

#include "cli/command.h"
#include "cli/version.h"

namespace tovala::cli {
namespace {

int runHelp(Args& args) {
  std::vector<std::string> pos;
  if (!args.positionals(pos) || pos.size() > 1) return usage(*findCommand("help"));
  if (pos.empty()) {
    std::printf("tovala-cli %s: headless access to the Tovala core\n\n", kVersion);
    std::printf("usage: tovala-cli COMMAND ARGS...\n\ncommands:\n");
    for (const Command& c : commands()) std::printf("  %-12s %s\n", c.name, c.summary);
    std::printf("\n`tovala-cli help COMMAND` explains one command.\n"
                "Exit status: 0 done, 1 failed or refused, 2 bad usage.\n");
    return kExitOk;
  }
  const Command* c = findCommand(pos[0]);
  if (!c) {
    std::fprintf(stderr, "tovala-cli: unknown command '%s'\n", pos[0].c_str());
    return kExitUsage;
  }
  std::printf("usage: tovala-cli %s\n\n%s\n", c->synopsis, c->details);
  return kExitOk;
}

int runVersion(Args& args) {
  std::vector<std::string> pos;
  if (!args.positionals(pos) || !pos.empty()) return usage(*findCommand("version"));
  std::printf("tovala-cli %s\n", kVersion);
  return kExitOk;
}

}  // namespace

TOVALA_CLI_COMMAND("help", "help [COMMAND]", "lists the commands, or explains one",
                   "Without an argument lists every command; with one prints its usage and what "
                   "it does.",
                   runHelp);
TOVALA_CLI_COMMAND("version", "version", "prints the program's name and version",
                   "Prints `tovala-cli` and its version number.", runVersion);

}  // namespace tovala::cli
