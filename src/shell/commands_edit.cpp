// The "編集" menu: undo and redo, the size and line filter dialogs, rotating and deforming.

#include "shell/command_rules.h"
#include "shell/panels/dialogs/line_filter_dialog.h"
#include "shell/panels/dialogs/size_dialog.h"

namespace tovala {

namespace {

// In motion mode the two walk the posing history.
CommandState undoRule(TMyWindow& w) {
  if (w.motion()) return enabledIf(w.session().poseHistory().undoCount() > 0 && !w.sideView());
  return enabledIf(w.undoRing().undoCount() != 0 && !w.sideView());
}
CommandState redoRule(TMyWindow& w) {
  if (w.motion()) return enabledIf(w.session().poseHistory().redoCount() > 0 && !w.sideView());
  return enabledIf(w.undoRing().redoCount() > 0 && !w.sideView());
}

// Turning the selected line about a pressed point: the snapshot is taken now, before the drag.
void rotateLine(TMyWindow& w) {
  if (w.motion()) return;
  w.doc().edit.tempMode = 20;
  w.session().snapshot("OnTovRotLinepoint");
  w.compose();
}

void deform(TMyWindow& w) {
  if (w.motion()) return;
  const int previous = w.doc().edit.mode;
  w.doc().edit.mode = kModeDeform;
  w.doc().edit.subMode = 0;
  w.modeChange(previous, "OnTovDeform");
}

}  // namespace

void addEditCommands(CommandTable& t) {
  t.set({40021, "OnUndo", [](TMyWindow& w) { w.undo(); }, undoRule});
  t.set({40022, "", [](TMyWindow& w) { w.redo(); }, redoRule});
  t.set({40043, "", canvasSizeCommand, unlessMotion});
  t.set({40072, "", lineFilterCommand, linesNotMotion});
  t.set({40061, "OnTovRotLinepoint", rotateLine, linesNotMotion});
  t.set({40062, "OnTovDeform", deform, linesNotMotion});
}

}  // namespace tovala
