// pose: what entering motion mode does to a figure, on a file, optionally after applying a
// pose file and mirroring; pose-save: a figure's pose as a pose file.

#include "cli/command.h"
#include "cli/figure_option.h"
#include "engine/pose.h"
#include "engine/pose_file.h"
#include "model/document.h"
#include "model/messages.h"
#include "model/project_file.h"
#include "platform/ui.h"
#include "script/motion_prepare.h"

namespace tovala::cli {
namespace {

int runPose(Args& args) {
  const auto out = args.option("-o");
  const auto apply = args.option("--apply");
  const bool mirror = args.flag("--mirror");
  const FigureOption figure = takeFigureOption(args);
  std::vector<std::string> pos;
  if (!out || !figure.valid || !args.positionals(pos) || pos.size() != 1)
    return usage(*findCommand("pose"));
  HeadlessUi ui;
  Document doc(Canvas::kNone);  // nothing here draws
  doc.ui = &ui;
  if (!loadProject(doc, pos[0], true)) return kExitFailed;
  if (!documentHasFigure(figure, doc, "pose", pos[0])) return kExitFailed;
  // The figure of a cast the pose goes to: --figure, else the one the pose file names.
  int target = figureIndex(figure);
  if (apply) {
    Pose pose;
    std::string reason;
    if (!loadPoseFile(*apply, pose, reason)) {
      ui.message(std::string(kPoseReadFailed) + "\n" + reason, msg::kCaptionError);
      return kExitFailed;
    }
    if (figure.given) pose.figure = figure.number;
    target = poseFigure(doc, findFigures(doc), pose);
    if (const auto missing = setPoseValues(doc, pose); !missing.empty())
      ui.message(std::string(kPoseMissingNotice) + "\n" + listJointKeys(missing),
                 msg::kCaptionNotice);
  }
  if (mirror) {
    Pose pose = capturePose(doc, target);
    const MirrorPairs pairs = findMirrorPairs(doc, target);
    mirrorPose(pose, pairs);
    setPoseValues(doc, pose);
    if (!pairs.unpaired.empty())
      ui.message(std::string(kPoseUnpairedNotice) + "\n" + listJointKeys(pairs.unpaired),
                 msg::kCaptionNotice);
  }
  prepareMotion(doc);
  return saveProject(doc, *out, true) ? kExitOk : kExitFailed;
}

int runPoseSave(Args& args) {
  const auto out = args.option("-o");
  const FigureOption figure = takeFigureOption(args);
  std::vector<std::string> pos;
  if (!out || !figure.valid || !args.positionals(pos) || pos.size() != 1)
    return usage(*findCommand("pose-save"));
  HeadlessUi ui;
  Document doc(Canvas::kNone);  // nothing here draws
  doc.ui = &ui;
  if (!loadProject(doc, pos[0], true)) return kExitFailed;
  if (!documentHasFigure(figure, doc, "pose-save", pos[0])) return kExitFailed;
  std::string reason;
  if (savePoseFile(*out, capturePose(doc, figureIndex(figure)), reason)) return kExitOk;
  ui.message(std::string(kPoseWriteFailed) + "\n" + reason, msg::kCaptionError);
  return kExitFailed;
}

}  // namespace

TOVALA_CLI_COMMAND("pose", "pose IN.tov [--apply POSE.json] [--mirror] [--figure N] -o OUT.tov",
                   "the motion preparation of motion mode (reference positions, AllInit, "
                   "MacroMove, MacroRot, every joint's move and rotation), after applying a pose "
                   "file and mirroring the pose when asked",
                   "Reads IN.tov and poses it as entering motion mode does: every point goes back "
                   "to its reference position keeping its movement and rotation values, then "
                   "AllInit, MacroMove, MacroRot, TPMoveAll and TPRotAll run once, and a drag "
                   "that does not move, at the canvas point (0, 0), runs the line command "
                   "programs. The posed figure is saved as OUT.tov; messages the programs show "
                   "are printed on stderr.\n"
                   "--apply POSE.json first writes the pose file's values (see pose-save) into the "
                   "points it names and the whole-figure values; points it names that the figure "
                   "lacks are listed on stderr and skipped. A damaged pose file is refused (exit "
                   "1) and nothing is written.\n"
                   "--mirror then turns the pose into its mirror image: left and right joints, "
                   "paired by their reference positions about the figure's centre line, swap "
                   "values, and movement along x and rotations about y and z change sign; joints "
                   "without a partner are listed on stderr and keep their values.\n"
                   "--figure N addresses the N-th figure (from 1) of a cast, a document holding "
                   "several figures (docs/CLI.md, Casts): the pose file's values go to it whatever "
                   "figure the file names, and --mirror mirrors it. Without --figure a pose file "
                   "goes to the figure it names, else to the first figure, and --mirror mirrors "
                   "that figure. Each figure's line programs are scoped to its own lines. A "
                   "figure the document lacks is refused (exit 1).",
                   runPose);

TOVALA_CLI_COMMAND("pose-save", "pose-save IN.tov [--figure N] -o POSE.json",
                   "writes the figure's pose (every joint-line point's movement and rotation, "
                   "and the whole-figure values) as a pose file",
                   "Writes the movement (vdx, vdy, vdz) and rotation (radx, rady, radz) of every "
                   "point of every joint line of IN.tov, named by line and point number, and "
                   "VextX .. RadZ, as the JSON pose file POSE.json (docs/CLI.md, Pose files). "
                   "`pose IN.tov --apply POSE.json -o OUT.tov` puts a figure into that pose.\n"
                   "In a cast (docs/CLI.md, Casts) it writes the first figure's pose, or with "
                   "--figure N the N-th figure's (from 1), and the file names that figure "
                   "(\"figure\": N), so applying it poses the same figure.",
                   runPoseSave);

}  // namespace tovala::cli
