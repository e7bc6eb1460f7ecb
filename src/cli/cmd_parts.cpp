// parts-save, parts-merge: parts files written from and merged into projects.

#include <algorithm>
#include <cstdio>

#include "cli/command.h"
#include "model/document.h"
#include "model/parts_file.h"
#include "model/project_file.h"
#include "platform/ui.h"

namespace tovala::cli {
namespace {

// The positionals and the -o output of a command, or a usage error.
bool inputsAndOutput(Args& args, size_t inputs, std::vector<std::string>& pos, std::string& out) {
  auto o = args.option("-o");
  if (!o || !args.positionals(pos) || pos.size() != inputs) return false;
  out = *o;
  return true;
}

// "0,2,5" into line indices; false for anything else.
bool parseLineList(const std::string& text, std::vector<int>& lines) {
  size_t at = 0;
  while (at <= text.size()) {
    const size_t comma = std::min(text.find(',', at), text.size());
    const std::string item = text.substr(at, comma - at);
    if (item.empty() || item.find_first_not_of("0123456789") != std::string::npos ||
        item.size() > 9)
      return false;
    lines.push_back(std::stoi(item));
    at = comma + 1;
  }
  return true;
}

int runPartsSave(Args& args) {
  std::vector<std::string> pos;
  std::string out;
  const auto only = args.option("--lines");
  std::vector<int> chosen;
  if (!inputsAndOutput(args, 1, pos, out) || (only && !parseLineList(*only, chosen)))
    return usage(*findCommand("parts-save"));
  HeadlessUi ui;
  Document doc;
  doc.ui = &ui;
  if (!loadProject(doc, pos[0], true)) return kExitFailed;
  if (only) {
    for (LineRecord& l : doc.lines) l.sel = 0;
    for (int line : chosen) {
      if (!doc.isValidLine(line)) {
        std::fprintf(stderr, "parts-save: --lines: %d is not a line of %s\n", line, pos[0].c_str());
        return kExitFailed;
      }
      doc.lines[size_t(line)].sel = 1;
    }
  }
  return saveParts(doc, out, true) ? kExitOk : kExitFailed;
}

int runPartsMerge(Args& args) {
  std::vector<std::string> pos;
  std::string out;
  if (!inputsAndOutput(args, 2, pos, out)) return usage(*findCommand("parts-merge"));
  HeadlessUi ui;
  Document doc;
  doc.ui = &ui;
  if (!loadProject(doc, pos[0], true) || !loadParts(doc, pos[1], true) ||
      !saveProject(doc, out, true))
    return kExitFailed;
  return kExitOk;
}

}  // namespace

TOVALA_CLI_COMMAND("parts-save", "parts-save IN.tov -o OUT.tovp [--lines L,L,...]",
                   "writes a parts file from the lines whose sel is 1",
                   "Reads the project IN.tov and writes OUT.tovp: its lines whose sel is 1 "
                   "(the selection stored in the file), the table of all its lines, and all its "
                   "objects. Reading a project marks every line as selected, as the editor does, "
                   "so without --lines the parts file holds every line of IN.tov; --lines names "
                   "the line indices to store instead.",
                   runPartsSave);
TOVALA_CLI_COMMAND("parts-merge", "parts-merge IN.tov PARTS.tovp -o OUT.tov",
                   "merges a parts file into a project",
                   "Reads the project IN.tov, appends the lines of PARTS.tovp behind its lines "
                   "with their line references rewritten, adds the objects whose lines all came "
                   "along, and writes the result to OUT.tov. IN.tov is not changed.",
                   runPartsMerge);

}  // namespace tovala::cli
