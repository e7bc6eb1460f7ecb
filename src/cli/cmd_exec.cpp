// exec: a script compiled into a scratch program and run once against a project.

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "model/document.h"
#include "model/file_io.h"
#include "model/messages.h"
#include "model/project_file.h"
#include "platform/ui.h"
#include "script/script_engine.h"

namespace tovala::cli {
namespace {

void printLocals(const std::vector<float>& locals) {
  std::printf("[");
  for (size_t i = 0; i < locals.size(); ++i) {
    if (i) std::printf(", ");
    // JSON has no infinities or not-a-number values.
    if (std::isfinite(locals[i]))
      std::printf("%.9g", double(locals[i]));
    else
      std::printf("null");
  }
  std::printf("]\n");
}

bool parseInt(const std::string& text, int& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

int runExec(Args& args) {
  const Command& self = *findCommand("exec");
  const auto out = args.option("-o");
  const bool showLocals = args.flag("--locals");
  const auto select = args.optionN("--select", 2);
  std::vector<std::string> pos;
  if (!args.positionals(pos) || pos.size() != 2) return usage(self);
  int line = 0, point = 0;
  if (select && (!parseInt((*select)[0], line) || !parseInt((*select)[1], point)))
    return usage(self);

  HeadlessUi ui;
  Document doc;
  doc.ui = &ui;
  if (!loadProject(doc, pos[0], true)) return kExitFailed;
  // The macros that work on the selection (TPMoveSel, TPRotSel) see this line and point.
  if (select) {
    doc.curLine = line;
    doc.curPoint = point;
  }
  const auto source = readWholeFile(pos[1]);
  if (!source) {
    ui.message(msg::kNoFile, msg::kCaptionErrorLower);
    return kExitFailed;
  }
  ScriptEngine engine(doc);
  engine.setStoreIntoLine(false);
  if (engine.lex(std::string_view(reinterpret_cast<const char*>(source->data()), source->size())) <
      0) {
    return kExitFailed;
  }
  const CodeList program = engine.program();
  // The program is its start and end markers around the statements.
  if (program.size() < 3) {
    std::fprintf(stderr, "exec: the script holds no statement; nothing was run\n");
    return kExitFailed;
  }
  const int ran = engine.run(program);
  if (showLocals) printLocals(engine.locals());
  if (ran < 0) return kExitFailed;
  if (out && !saveProject(doc, *out, true)) return kExitFailed;
  return kExitOk;
}

}  // namespace

TOVALA_CLI_COMMAND("exec", "exec IN.tov SCRIPT.txt [-o OUT.tov] [--locals] [--select L P]",
                   "compiles a script into a scratch program and runs it once",
                   "Reads IN.tov, compiles SCRIPT.txt into a scratch program (no line's program "
                   "changes; PreCom.txt is written in the current folder) and runs it once "
                   "against the document. With -o the changed document is saved as OUT.tov. "
                   "--locals prints the program's local variables after the run as one JSON "
                   "array of numbers on stdout (a value that is not finite prints as null). "
                   "--select makes line L, point P the selection before the run (as clicking "
                   "it in the editor does). "
                   "A compiler error stops before the run, and a script without statements runs "
                   "nothing (both exit 1); a run that stops on an error (a bad "
                   "index, the instruction limit) exits 1 and writes nothing.",
                   runExec);

}  // namespace tovala::cli
