#pragma once
// The motion run a drag step ends with: the line command programs re-run so that everything
// that depends on the dragged joint follows it. The programs are run by the script layer, which
// sits above the engine, so it installs its runner here at start-up.

namespace tovala {

class Document;

// Runs the command programs for a drag on point `point` of line `line` (the drag's selection).
using LineProgramRunner = void (*)(Document& doc, int line, int point);

// Installs the runner; nullptr removes it.
void setLineProgramRunner(LineProgramRunner runner);

// Calls the installed runner; does nothing when none is installed.
void runMotion(Document& doc, int line, int point);

}  // namespace tovala
