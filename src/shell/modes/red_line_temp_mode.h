#pragma once
// Temporary mode 17: the red line. The edit tool copies the selected line into a scratch line
// that is drawn in red over the canvas; a press takes the red point under it, a drag moves that
// point, the release lets it go. The document is never touched: the edit stores the red line's
// shape when it is decided.

#include <memory>

#include "model/records.h"
#include "shell/modes/mode_handler.h"

namespace tovala {

class TMyWindow;

inline constexpr int kRedLineTempMode = 17;

struct RedLine {
  LineRecord line;             // the scratch copy; only its points and drawing style are used
  int held = -1;               // the point being dragged, -1 none
  float heldX = 0, heldY = 0;  // where it was at the press
};

std::unique_ptr<TempModeHandler> makeRedLineTempMode();

// The red line of the mode-17 handler registered in `w`, or null when there is none.
RedLine* redLineOf(TMyWindow& w);

// The scratch copy of `source` as the red line draws it: a one-pixel brush, ten passes and no
// drift, so the red line follows the points exactly.
LineRecord redLineCopy(const LineRecord& source);

}  // namespace tovala
