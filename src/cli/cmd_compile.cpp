// compile: a script compiled into one line's command program, as the script panel's "実行" does.

#include <charconv>
#include <string>

#include "cli/command.h"
#include "model/document.h"
#include "model/file_io.h"
#include "model/messages.h"
#include "model/project_file.h"
#include "platform/ui.h"
#include "script/script_engine.h"
#include "script/script_messages.h"

namespace tovala::cli {
namespace {

int runCompile(Args& args) {
  const Command& self = *findCommand("compile");
  const auto out = args.option("-o");
  const auto lineText = args.option("--line");
  std::vector<std::string> pos;
  if (!out || !lineText || !args.positionals(pos) || pos.size() != 2) return usage(self);
  int line = -1;
  const auto [end, ec] =
      std::from_chars(lineText->data(), lineText->data() + lineText->size(), line);
  if (ec != std::errc() || end != lineText->data() + lineText->size()) return usage(self);

  HeadlessUi ui;
  Document doc;
  doc.ui = &ui;
  if (!loadProject(doc, pos[0], true)) return kExitFailed;
  if (!doc.isValidLine(line)) {
    ui.message(script::msg::kNoLine, script::msg::kCaptionError);
    return kExitFailed;
  }
  const auto source = readWholeFile(pos[1]);
  if (!source) {
    ui.message(msg::kNoFile, msg::kCaptionErrorLower);
    return kExitFailed;
  }

  const int selected = doc.curLine;
  doc.curLine = line;
  ScriptEngine engine(doc);
  const int compiled =
      engine.lex(std::string_view(reinterpret_cast<const char*>(source->data()), source->size()));
  const int valid = engine.validate(line, -1);
  if (valid < 0) ui.message(engine.message(), script::msg::kCaptionError);
  doc.curLine = selected;
  // What compiled is stored even after an error, as in the editor.
  if (!saveProject(doc, *out, true)) return kExitFailed;
  return compiled > 0 && valid > 0 ? kExitOk : kExitFailed;
}

}  // namespace

TOVALA_CLI_COMMAND("compile", "compile IN.tov --line L SCRIPT.txt -o OUT.tov",
                   "compiles a script into line L's command program",
                   "Reads IN.tov, compiles SCRIPT.txt (Shift-JIS text; only its ASCII characters "
                   "have meaning) into the command program of line L and validates it, as the "
                   "script panel's run button does. Compiler and validation messages are printed "
                   "on stderr and the listing PreCom.txt is written in the current folder. "
                   "OUT.tov is written even when the compiler stopped at an error, holding the "
                   "statements before it; the exit status is then 1.",
                   runCompile);

}  // namespace tovala::cli
