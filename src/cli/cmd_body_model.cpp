// body-model: the generated human body model, saved as a project.

#include "cli/command.h"
#include "model/document.h"
#include "model/project_file.h"
#include "platform/ui.h"
#include "script/body_model.h"
#include "script/line_programs.h"

namespace tovala::cli {
namespace {

int runBodyModel(Args& args) {
  const Command& self = *findCommand("body-model");
  const auto out = args.option("-o");
  std::vector<std::string> pos;
  if (!out || !args.positionals(pos) || !pos.empty()) return usage(self);
  installScriptHooks();
  HeadlessUi ui;
  Document doc;
  doc.ui = &ui;
  if (createBodyModel(doc) != 1) return kExitFailed;
  return saveProject(doc, *out, true) ? kExitOk : kExitFailed;
}

}  // namespace

TOVALA_CLI_COMMAND("body-model", "body-model -o OUT.tov", "the generated human body model",
                   "Builds the human body model as the editor's \"人体モデル作成\" does (a new "
                   "document: skeleton of joint lines, hit guides, outline lines, the controller "
                   "line 264 and the 77 body-part objects) and saves it as OUT.tov. The same "
                   "file results every time.",
                   runBodyModel);

}  // namespace tovala::cli
