// tovala-cli: headless access to the Tovala core.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"

using namespace tovala::cli;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: tovala-cli COMMAND ARGS...  (tovala-cli help lists the commands)\n");
    return kExitUsage;
  }
  const std::string name = argv[1];
  const Command* command = findCommand(name);
  if (!command) {
    std::fprintf(stderr, "tovala-cli: unknown command '%s' (tovala-cli help lists the commands)\n",
                 name.c_str());
    return kExitUsage;
  }
  Args args(std::vector<std::string>(argv + 2, argv + argc));
  return command->run(args);
}
