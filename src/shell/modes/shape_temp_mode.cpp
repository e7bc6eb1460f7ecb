// Temporary modes 1 to 4: drag out a straight line, triangle, rectangle or ellipse and the
// selected line's points are laid out on it when the button is released.

#include "shell/main_window.h"
#include "shell/modes/mode_handler.h"
#include "shell/shape_layout.h"

namespace tovala {

namespace {

class ShapeTempMode : public TempModeHandler {
 public:
  explicit ShapeTempMode(Shape shape) : shape_(shape) {}

  void release(TMyWindow& w, CanvasPoint last, CanvasPoint press) override {
    w.session().edit("TempMode", [&](Document& d) {
      layoutShape(d, d.curLine, shape_, press.x, press.y, last.x, last.y);
      d.edit.tempMode = 0;
    }, Redraw::All);
  }

  void paintOverlay(TMyWindow& w, OverlayPainter& out) override {
    const MouseState& m = w.mouse();
    if (!m.leftDown) return;
    if (shape_ == Shape::Straight)
      out.line(m.press, m.current);
    else
      out.rect(m.press, m.current);
  }

 private:
  Shape shape_;
};

}  // namespace

std::unique_ptr<TempModeHandler> makeShapeTempMode(int shape) {
  return std::make_unique<ShapeTempMode>(Shape(shape));
}

}  // namespace tovala
