#include "engine/edit_press.h"

#include "engine/drag_edit.h"
#include "engine/lines_points.h"
#include "engine/motion_drag.h"
#include "engine/picking.h"
#include "model/document.h"

namespace tovala {

namespace {

int pressAddPoint(Document& doc, int x, int y) {
  const int line = doc.curLine;
  if (addPoint(doc, line) < 0) return -1;
  setPoint(doc, line, -2, float(x), float(y), 0.0f);
  return line;
}

}  // namespace

int enginePress(Document& doc, int x, int y) {
  doc.edit.pressX = x;
  doc.edit.pressY = y;
  switch (doc.edit.mode) {
    case kModeSelect: return pickLine(doc, x, y);
    case kModeAddLine:
      appendLine(doc);
      doc.edit.mode = kModeAddPoint;
      return pressAddPoint(doc, x, y);
    case kModeAddPoint: return pressAddPoint(doc, x, y);
    case kModeMotion: motionPress(doc, x, y); return -1;
    case kModeMoveAll: pressMoveAll(doc, x, y); return -1;
    case kModeDeform: pressDeform(doc, x, y); return -1;
    default: return -1;
  }
}

void engineDrag(Document& doc, int x, int y, int qx, int qy) {
  switch (doc.edit.mode) {
    case kModeSelect: dragSelection(doc, x, y); break;
    case kModeMotion: motionDrag(doc, x, y); break;
    case kModeMoveAll: dragMoveAll(doc, x, y); break;
    case kModeDeform: dragDeform(doc, x, y); break;
    case kModeMovePoints: dragMoveSelectedPoints(doc, x, y, qx, qy); break;
    default: break;
  }
}

}  // namespace tovala
