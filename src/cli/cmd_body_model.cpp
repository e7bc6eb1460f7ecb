// body-model: the generated human body model, saved as a project, in the standard proportions,
// a preset's or those of a body shape file.

#include <cstdio>

#include "cli/command.h"
#include "model/document.h"
#include "model/messages.h"
#include "model/project_file.h"
#include "platform/ui.h"
#include "script/body_model.h"
#include "script/body_shape.h"
#include "script/body_shape_file.h"
#include "script/line_programs.h"

namespace tovala::cli {
namespace {

int runBodyModel(Args& args) {
  const Command& self = *findCommand("body-model");
  const auto out = args.option("-o");
  const auto presetName = args.option("--preset");
  const auto shapePath = args.option("--shape");
  std::vector<std::string> pos;
  if (!out || !args.positionals(pos) || !pos.empty() || (presetName && shapePath))
    return usage(self);
  HeadlessUi ui;
  BodyShape shape;
  if (presetName) {
    const BodyShapePreset* preset = findBodyShapePreset(*presetName);
    if (!preset) {
      std::fprintf(stderr,
                   "unknown preset: %s (標準 ちび 子供 女性 男性 モデル, or standard "
                   "chibi child female male model)\n",
                   presetName->c_str());
      return kExitUsage;
    }
    shape = preset->shape;
  }
  if (std::string reason; shapePath && !loadBodyShapeFile(*shapePath, shape, reason)) {
    ui.message(std::string(kBodyShapeReadFailed) + "\n" + reason, msg::kCaptionError);
    return kExitFailed;
  }
  installScriptHooks();
  Document doc;
  doc.ui = &ui;
  if (createBodyModel(doc, shape) != 1) return kExitFailed;
  if (!saveProject(doc, *out, true)) return kExitFailed;
  // The shape goes beside the project, so the editor's 体型変更 knows what the figure was made as.
  if (std::string reason; !saveBodyShapeFile(bodyShapePathFor(*out), shape, reason)) {
    ui.message(std::string(kBodyShapeWriteFailed) + "\n" + reason, msg::kCaptionError);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

TOVALA_CLI_COMMAND("body-model", "body-model [--preset NAME | --shape SHAPE.json] -o OUT.tov",
                   "the generated human body model",
                   "Builds the human body model as the editor's \"人体モデル作成\" does (a new "
                   "document: skeleton of joint lines, hit guides, outline lines, the controller "
                   "line 264 and the 77 body-part objects) and saves it as OUT.tov, with its body "
                   "shape beside it as OUT.tovshape. Without options the figure has the standard "
                   "proportions; --preset takes a preset's (標準 ちび 子供 女性 男性 モデル, or "
                   "standard chibi child female male model), --shape a body shape file's. Every "
                   "body has the same lines, points, joints and objects, so a pose or animation "
                   "fits all of them. The same files result every time.",
                   runBodyModel);

}  // namespace tovala::cli
