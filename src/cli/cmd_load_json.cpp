// load-json: a project built from the JSON form.

#include <cstdio>

#include "cli/command.h"
#include "cli/json_form.h"
#include "model/document.h"
#include "model/file_io.h"
#include "model/project_file.h"
#include "platform/ui.h"

namespace tovala::cli {
namespace {

int runLoadJson(Args& args) {
  const auto out = args.option("-o");
  std::vector<std::string> pos;
  if (!out || !args.positionals(pos) || pos.size() != 1) return usage(*findCommand("load-json"));
  const auto text = readWholeFile(pos[0], kJsonFormLimits.maxBytes);
  if (!text) {
    std::fprintf(stderr, "load-json: cannot read %s (or it is over %zu MiB)\n", pos[0].c_str(),
                 kJsonFormLimits.maxBytes >> 20);
    return kExitFailed;
  }
  Json form;
  std::string error;
  const std::string_view textView(reinterpret_cast<const char*>(text->data()), text->size());
  if (!parseJsonForm(textView, form, error)) {
    std::fprintf(stderr, "load-json: %s: %s\n", pos[0].c_str(), error.c_str());
    return kExitFailed;
  }
  HeadlessUi ui;
  Document doc;
  doc.ui = &ui;
  if (!documentFromJson(form, doc, error)) {
    std::fprintf(stderr, "load-json: %s\n", error.c_str());
    return kExitFailed;
  }
  return saveProject(doc, *out, true) ? kExitOk : kExitFailed;
}

}  // namespace

TOVALA_CLI_COMMAND("load-json", "load-json IN.json -o OUT.tov",
                   "builds a document from the JSON form and saves it as a project",
                   "Reads the JSON form written by dump and saves the document it describes as "
                   "the project OUT.tov. Missing fields take their defaults; \"bmp\" in a user "
                   "image or the underlay loads that BMP file, otherwise a blank picture of the "
                   "given size in the background colour stands in. A form that cannot be accepted "
                   "is refused with a message naming the field, and OUT.tov is not written.",
                   runLoadJson);

}  // namespace tovala::cli
