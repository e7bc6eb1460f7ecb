// run: the line command programs run once, as after one motion step.

#include <charconv>
#include <string>

#include "cli/command.h"
#include "model/document.h"
#include "model/project_file.h"
#include "platform/ui.h"
#include "script/line_programs.h"

namespace tovala::cli {
namespace {

bool parseInt(const std::string& text, int& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

int runRun(Args& args) {
  const Command& self = *findCommand("run");
  const auto out = args.option("-o");
  const auto select = args.optionN("--select", 2);
  std::vector<std::string> pos;
  if (!out || !args.positionals(pos) || pos.size() != 1) return usage(self);
  int line = 0, point = 0;
  if (select && (!parseInt((*select)[0], line) || !parseInt((*select)[1], point)))
    return usage(self);

  HeadlessUi ui;
  Document doc;
  doc.ui = &ui;
  if (!loadProject(doc, pos[0], true)) return kExitFailed;
  if (select) {
    doc.curLine = line;
    doc.curPoint = point;
  }
  if (runLinePrograms(doc) > 0) return kExitFailed;
  return saveProject(doc, *out, true) ? kExitOk : kExitFailed;
}

}  // namespace

TOVALA_CLI_COMMAND("run", "run IN.tov -o OUT.tov [--select L P]",
                   "runs the line command programs once (as one motion step does)",
                   "Reads IN.tov and runs the line command programs once: only line L's program "
                   "when point P of line L is a joint point (kind 2000), otherwise every line's "
                   "program in the order of lineOrder. --select makes line L, point P the "
                   "selection first (without it the selection is line 0, point 0, as after "
                   "opening a project). Messages the programs show are printed on stderr; when a "
                   "program stopped on an error the exit status is 1 and nothing is written.",
                   runRun);

}  // namespace tovala::cli
