// archive-export, archive-import: the script panel's archive ("保存" and "読込") over a folder of
// script files, for batch jobs.

#include <cstdio>

#include "cli/command.h"
#include "model/file_io.h"
#include "platform/ui.h"
#include "script/script_files.h"
#include "script/script_messages.h"

namespace tovala::cli {
namespace {

using script::msg::kCaptionError;

int runExport(Args& args) {
  const auto out = args.option("-o");
  std::vector<std::string> pos;
  if (!out || !args.positionals(pos) || pos.size() != 1)
    return usage(*findCommand("archive-export"));
  const auto archive = scriptArchiveOf(pos[0]);
  if (!archive) {
    std::fprintf(stderr, "archive-export: cannot list the folder %s\n", pos[0].c_str());
    return kExitFailed;
  }
  HeadlessUi ui;
  const auto* bytes = reinterpret_cast<const uint8_t*>(archive->data());
  if (!writeFileAtomic(*out, {bytes, archive->size()})) {
    ui.message(script::msg::kWriteFailed, kCaptionError);
    return kExitFailed;
  }
  return kExitOk;
}

int runImport(Args& args) {
  std::vector<std::string> pos;
  if (!args.positionals(pos) || pos.size() != 2) return usage(*findCommand("archive-import"));
  HeadlessUi ui;
  const auto bytes = readWholeFile(pos[0]);
  if (!bytes) {
    ui.message(script::msg::kReadFailed, kCaptionError);
    return kExitFailed;
  }
  const auto entries =
      parseScriptArchive({reinterpret_cast<const char*>(bytes->data()), bytes->size()});
  if (!entries) {
    ui.message(script::msg::kNotValidFile, kCaptionError);
    return kExitFailed;
  }
  // Unlike the panel, which skips such an entry, a batch job gets the whole archive or nothing.
  for (const ScriptArchiveEntry& e : *entries) {
    if (!isPlainFileName(e.name)) {
      std::fprintf(stderr, "archive-import: \"%s\" is not a plain file name\n", e.name.c_str());
      ui.message(script::msg::kNotValidFile, kCaptionError);
      return kExitFailed;
    }
  }
  if (!writeScriptFiles(*entries, pos[1])) {
    ui.message(script::msg::kWriteFailed, kCaptionError);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

TOVALA_CLI_COMMAND("archive-export", "archive-export DIR -o FILE",
                   "writes the script files of a folder into one archive",
                   "Writes every script file of the folder DIR (the files named *.txt, in name "
                   "order; the editor keeps them in temp) into the archive FILE, as the script "
                   "panel's \"保存\" does: the line \"Tovala\", then for each file its name, its "
                   "length and its bytes, with line feeds as line ends. FILE is written "
                   "atomically.",
                   runExport);
TOVALA_CLI_COMMAND("archive-import", "archive-import FILE DIR",
                   "writes the script files of an archive into a folder",
                   "Writes every entry of the archive FILE into the folder DIR (made when "
                   "missing), replacing files of the same name and keeping the others, as the "
                   "script panel's \"読込\" does. Archives written with CR LF line ends are read "
                   "as text, their counts taken without the CRs. An archive whose first line does "
                   "not start with \"Tovala\", or with an entry name that is not a plain file name "
                   "(such as \"../x\"), is refused and nothing is written; so is one with an entry "
                   "that cannot be written.",
                   runImport);

}  // namespace tovala::cli
