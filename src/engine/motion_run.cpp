#include "engine/motion_run.h"

#include <atomic>

namespace tovala {

namespace {
// One per process. Atomic because an animation export poses document copies on several threads,
// each of which installs the (same) runner again.
std::atomic<LineProgramRunner> gRunner = nullptr;
}  // namespace

void setLineProgramRunner(LineProgramRunner runner) {
  gRunner.store(runner, std::memory_order_relaxed);
}

void runMotion(Document& doc, int line, int point) {
  if (const LineProgramRunner runner = gRunner.load(std::memory_order_relaxed))
    runner(doc, line, point);
}

}  // namespace tovala
