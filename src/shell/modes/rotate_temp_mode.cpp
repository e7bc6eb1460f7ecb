// Temporary mode 20: the selected line turns about the pressed point, following the mouse like
// the hand of a dial whose twelve o'clock is straight up from the press.

#include <algorithm>
#include <cmath>

#include "engine/rotation.h"
#include "shell/main_window.h"
#include "shell/modes/mode_handler.h"

namespace tovala {

namespace {

// The angle at the press between the upward vertical and the way to the mouse; negative when
// the mouse is right of the press.
double dialAngle(CanvasPoint press, CanvasPoint current) {
  const double dx = current.x - press.x;
  const double dy = current.y - press.y;
  const double length = std::hypot(dx, dy);
  if (length == 0) return 0;
  const double angle = std::acos(std::clamp(-dy / length, -1.0, 1.0));
  return current.x > press.x ? -angle : angle;
}

class RotateTempMode : public TempModeHandler {
 public:
  void press(TMyWindow& w, CanvasPoint) override {
    Document& d = w.doc();
    Document::copyLine(d.edit.pressLine, d.lines[size_t(d.curLine)]);
  }

  void move(TMyWindow& w, CanvasPoint current, CanvasPoint press) override {
    Document& d = w.doc();
    LineRecord& line = d.lines[size_t(d.curLine)];
    if (d.edit.pressLine.points.size() != line.points.size()) return;
    Document::copyLine(line, d.edit.pressLine);
    const Rotation r = Rotation::aboutZ(dialAngle(press, current));
    const DVec3 centre{double(press.x), double(press.y), 0.0};
    for (size_t i = 0; i + 1 < line.points.size(); ++i)
      rotatePointAbout(line.points[i], centre, r, true, true);
    w.refreshSelected();
  }

  void release(TMyWindow& w, CanvasPoint, CanvasPoint) override { w.doc().edit.tempMode = 0; }

  void paintOverlay(TMyWindow& w, OverlayPainter& out) override {
    const MouseState& m = w.mouse();
    if (!m.leftDown) return;
    out.line({m.press.x, 0}, m.press);
    out.line(m.press, m.current);
  }
};

}  // namespace

std::unique_ptr<TempModeHandler> makeRotateTempMode() { return std::make_unique<RotateTempMode>(); }

}  // namespace tovala
