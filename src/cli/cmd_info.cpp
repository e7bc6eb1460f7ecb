// info: a project's canvas and how much it holds.

#include <cstdio>

#include "cli/command.h"
#include "model/document.h"
#include "model/project_file.h"
#include "platform/ui.h"

namespace tovala::cli {
namespace {

int runInfo(Args& args) {
  std::vector<std::string> pos;
  if (!args.positionals(pos) || pos.size() != 1) return usage(*findCommand("info"));
  HeadlessUi ui;
  Document doc(Canvas::kNone);  // nothing here draws
  doc.ui = &ui;
  if (!loadProject(doc, pos[0], true)) return kExitFailed;
  int points = 0;
  for (int i = 0; i + 1 < doc.lineCount(); ++i) points += doc.pointCount(i) - 1;
  std::printf("canvas: %d x %d\n", doc.imageWidth, doc.imageHeight);
  std::printf("backColor: 0x%08x\n", doc.backColor);
  std::printf("lines: %d\n", doc.lineCount() - 1);
  std::printf("points: %d\n", points);
  std::printf("userImages: %d\n", doc.userImages.slotCount() - 1);
  std::printf("objects: %d\n", doc.objectCount() > 0 ? doc.objectCount() - 1 : 0);
  std::printf("texts: %d\n", doc.textCount() - 1);
  return kExitOk;
}

}  // namespace

TOVALA_CLI_COMMAND("info", "info FILE.tov",
                   "canvas size, background colour, counts of lines, points, user images, "
                   "objects, texts",
                   "Reads the project FILE.tov and prints its canvas size, background colour "
                   "(0x00BBGGRR) and the numbers of lines, points, user images, objects and texts, "
                   "one 'name: value' line each. Counts leave out the sentinel elements.",
                   runInfo);

}  // namespace tovala::cli
