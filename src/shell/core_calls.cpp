#include "shell/core_calls.h"

#include "engine/lines_points.h"
#include "shell/main_window.h"

namespace tovala {

CoreCalls& core() {
  static CoreCalls calls;
  return calls;
}

void installCoreCalls(TMyWindow& window) {
  UndoOps ops;
  ops.insertLine = [](Document& d, int at, const LineRecord& line) { insertLine(d, at, &line); };
  ops.deleteLine = [](Document& d, int line) { deleteLine(d, line); };
  window.undoRing().setOps(std::move(ops));
}

}  // namespace tovala
