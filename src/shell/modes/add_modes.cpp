// Modes 1 and 2: a press in add-line mode starts a new line and goes on as add-point mode, where
// every press appends a point at the mouse to the selected line.

#include "engine/lines_points.h"
#include "shell/main_window.h"
#include "shell/modes/mode_handler.h"

namespace tovala {

namespace {

int addPointAt(TMyWindow& w, CanvasPoint p) {
  Document& d = w.doc();
  if (addPoint(d, d.curLine) < 0) return -1;
  setPoint(d, d.curLine, -2, float(p.x), float(p.y), 0.0f);
  w.refreshSelected();
  return d.curLine;
}

class AddPointMode : public ModeHandler {
 public:
  int press(TMyWindow& w, CanvasPoint p) override { return addPointAt(w, p); }
  void drag(TMyWindow&, CanvasPoint, CanvasPoint, CanvasPoint) override {}
};

class AddLineMode : public ModeHandler {
 public:
  int press(TMyWindow& w, CanvasPoint p) override {
    Document& d = w.doc();
    appendLine(d);
    d.edit.mode = kModeAddPoint;
    // The new line sits where the sentinel was: every line before it is now behind it.
    w.rebuild();
    return addPointAt(w, p);
  }
  void drag(TMyWindow&, CanvasPoint, CanvasPoint, CanvasPoint) override {}
};

}  // namespace

std::unique_ptr<ModeHandler> makeAddLineMode() { return std::make_unique<AddLineMode>(); }
std::unique_ptr<ModeHandler> makeAddPointMode() { return std::make_unique<AddPointMode>(); }

}  // namespace tovala
