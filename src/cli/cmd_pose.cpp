// pose: what entering motion mode does to a figure, on a file.

#include "cli/command.h"
#include "model/document.h"
#include "model/project_file.h"
#include "platform/ui.h"
#include "script/motion_prepare.h"

namespace tovala::cli {
namespace {

int runPose(Args& args) {
  const auto out = args.option("-o");
  std::vector<std::string> pos;
  if (!out || !args.positionals(pos) || pos.size() != 1) return usage(*findCommand("pose"));
  HeadlessUi ui;
  Document doc(Canvas::kNone);  // nothing here draws
  doc.ui = &ui;
  if (!loadProject(doc, pos[0], true)) return kExitFailed;
  prepareMotion(doc);
  return saveProject(doc, *out, true) ? kExitOk : kExitFailed;
}

}  // namespace

TOVALA_CLI_COMMAND("pose", "pose IN.tov -o OUT.tov",
                   "the motion preparation of motion mode (reference positions, AllInit, "
                   "MacroMove, MacroRot, every joint's move and rotation)",
                   "Reads IN.tov and poses it as entering motion mode does: every point goes back "
                   "to its reference position keeping its movement and rotation values, then "
                   "AllInit, MacroMove, MacroRot, TPMoveAll and TPRotAll run once, and a drag "
                   "that does not move, at the canvas point (0, 0), runs the line command "
                   "programs. The posed figure is saved as OUT.tov; messages the programs show "
                   "are printed on stderr.",
                   runPose);

}  // namespace tovala::cli
