#include "engine/motion_run.h"

namespace tovala {

namespace {
// One per process: everything runs on the user-interface thread.
LineProgramRunner gRunner = nullptr;
}  // namespace

void setLineProgramRunner(LineProgramRunner runner) { gRunner = runner; }

void runMotion(Document& doc, int line, int point) {
  if (gRunner) gRunner(doc, line, point);
}

}  // namespace tovala
