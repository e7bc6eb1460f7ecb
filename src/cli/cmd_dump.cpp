// dump: the whole document as JSON.

#include <cstdio>

#include "cli/command.h"
#include "cli/json_form.h"
#include "model/document.h"
#include "model/file_io.h"
#include "model/project_file.h"
#include "platform/ui.h"

namespace tovala::cli {
namespace {

int runDump(Args& args) {
  const auto out = args.option("-o");
  const auto images = args.option("--images");
  std::vector<std::string> pos;
  if (!args.positionals(pos) || pos.size() != 1) return usage(*findCommand("dump"));
  HeadlessUi ui;
  Document doc(Canvas::kNone);  // nothing here draws
  doc.ui = &ui;
  if (!loadProject(doc, pos[0], true)) return kExitFailed;
  Json form;
  std::string error;
  if (!documentToJson(doc, form, error, images.value_or(""))) {
    std::fprintf(stderr, "dump: %s\n", error.c_str());
    return kExitFailed;
  }
  const std::string text = form.dump(1) + "\n";
  if (!out) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
  }
  if (!writeFileAtomic(*out,
                       std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()))) {
    std::fprintf(stderr, "dump: cannot write %s\n", out->c_str());
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

TOVALA_CLI_COMMAND("dump", "dump FILE.tov [-o OUT.json] [--images DIR]",
                   "the whole document as JSON",
                   "Reads the project FILE.tov and prints the whole document in the JSON form "
                   "(stdout, or OUT.json written atomically). Every record is included with its "
                   "sentinel; floats read back exactly. Pictures appear as size and CRC-32; with "
                   "--images DIR (an existing folder) each picture is also written there as a "
                   "BMP file named in its entry's \"bmp\", so that load-json rebuilds the same "
                   "project byte for byte.",
                   runDump);

}  // namespace tovala::cli
