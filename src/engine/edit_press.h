#pragma once
// The engine's side of a left press and of each drag step on the canvas, chosen by the editing
// mode: 0 select, 1 add a line, 2 add a point, 5 motion, 6 move all, 7 deform, 8 move the
// flagged points. Paint mode (3) and the temporary modes are the shell's.

#include "engine/edit_modes.h"

namespace tovala {

class Document;

// Returns the line the press selected or added a point to, or -1 when nothing was hit (the
// shell withdraws the undo snapshot of a select-mode press that hit nothing). In mode 1 a new
// line is appended, the mode becomes 2 and the press adds the line's first point.
int enginePress(Document& doc, int x, int y);

// One drag step with the mouse at (x, y), coming from (qx, qy).
void engineDrag(Document& doc, int x, int y, int qx, int qy);

}  // namespace tovala
