#include "script/motion_prepare.h"

#include <cstdint>
#include <span>

#include "engine/motion_drag.h"
#include "engine/reference.h"
#include "model/document.h"
#include "script/line_programs.h"
#include "script/macros.h"

namespace tovala {

namespace {

// The built-ins the preparation runs, by their place in the macro table, so that it does
// exactly what a script calling them would.
constexpr uint32_t kAllInit = 0x01;
constexpr uint32_t kMacroRot = 0x03;
constexpr uint32_t kMacroMove = 0x04;
constexpr uint32_t kTPMoveAll = 0x1A;
constexpr uint32_t kTPRotAll = 0x1B;

void runBuiltin(Document& doc, uint32_t index) {
  script::callMacroRoutine(doc, index, std::span<const CodeEntry>());
}

}  // namespace

void prepareMotion(Document& doc, uint64_t budget) {
  installScriptHooks(budget);
  // Positions from the references; the movement and rotation values are what is re-applied.
  if (doc.lineCount() > 1) restoreReference(doc, 0, -1, true);
  runBuiltin(doc, kAllInit);
  runBuiltin(doc, kMacroMove);
  runBuiltin(doc, kMacroRot);
  runBuiltin(doc, kTPMoveAll);
  runBuiltin(doc, kTPRotAll);
  // A drag that does not move: its values equal the press values, so the programs' ...Sel
  // operations undo and redo the same step, and everything they compute is brought up to date.
  motionPress(doc, 0, 0);
  motionDrag(doc, 0, 0);
}

}  // namespace tovala
