// Mode 0, select: a press picks the line and point under the mouse; a drag moves the line or the
// point, or resizes the point's brush when a handle was hit.

#include "engine/drag_edit.h"
#include "engine/objects.h"
#include "engine/picking.h"
#include "shell/canvas_widget.h"
#include "shell/main_window.h"
#include "shell/modes/mode_handler.h"

namespace tovala {

namespace {

Qt::CursorShape handleCursor(int handle) {
  switch (handle) {
    case kSubBrushWidth: return Qt::SizeHorCursor;
    case kSubBrushHeight: return Qt::SizeVerCursor;
    case kSubBrushCornerA: return Qt::SizeFDiagCursor;
    default: return Qt::SizeBDiagCursor;
  }
}

class SelectMode : public ModeHandler {
 public:
  int press(TMyWindow& w, CanvasPoint p) override { return selectAt(w, p); }

  void drag(TMyWindow& w, CanvasPoint current, CanvasPoint, CanvasPoint) override {
    dragSelection(w.doc(), current.x, current.y);
    w.refreshSelected();
  }

  std::optional<Qt::CursorShape> hover(TMyWindow& w, CanvasPoint p) override {
    const Document& d = w.doc();
    if (d.edit.subMode == kSubModeNoHandles) return w.canvas()->viewport()->cursor().shape();
    if (!d.isValidLine(d.curLine) || d.lines[size_t(d.curLine)].lmode != 1) return std::nullopt;
    const int handle = brushHandleAt(d, p.x, p.y);
    if (handle < kSubBrushWidth || handle > kSubBrushCornerB) return std::nullopt;
    return handleCursor(handle);
  }
};

}  // namespace

// Shared with the other modes while the object view is on: a press only selects, and a new
// selection makes the object built from the selected line the current one.
int selectAt(TMyWindow& w, CanvasPoint p) {
  Document& d = w.doc();
  const int line = d.curLine;
  const int point = d.curPoint;
  const int hit = pickLine(d, p.x, p.y);
  if (d.objectView == 1 && (d.curLine != line || d.curPoint != point)) {
    const std::vector<int> objects = objectsUsingLine(d, d.curLine);
    if (!objects.empty()) selectObject(d, objects.front());
    w.rebuild();
  } else if (d.curLine != line) {
    w.rebuild();
  }
  return hit;
}

std::unique_ptr<ModeHandler> makeSelectMode() { return std::make_unique<SelectMode>(); }

}  // namespace tovala
