#pragma once
// Canvas input, one small handler per editing mode and per temporary mode, registered by mode
// number. The window routes each mouse event to the handler of the current mode; a mode without
// a handler ignores the mouse.

#include <map>
#include <memory>
#include <optional>

#include <Qt>

#include "shell/view_state.h"

class QPainter;

namespace tovala {

class TMyWindow;

// Canvas-to-window drawing for overlays: one-pixel lines and point marks over the canvas.
class OverlayPainter {
 public:
  OverlayPainter(QPainter& painter, const ViewState& view, float originX, float originY)
      : p_(painter), view_(view), ox_(originX), oy_(originY) {}

  void line(CanvasPoint a, CanvasPoint b);
  void rect(CanvasPoint a, CanvasPoint b);
  // A square mark of half-size `half` canvas pixels around (x, y), framed or filled.
  void mark(float x, float y, int half, unsigned colour, bool filled);
  QPainter& painter() { return p_; }

 private:
  float wx(float x) const { return view_.toWindowX(x - ox_); }
  float wy(float y) const { return view_.toWindowY(y - oy_); }

  QPainter& p_;
  const ViewState& view_;
  float ox_, oy_;
};

// An editing mode: what a press starts, what a drag with the left button does, which cursor
// hovering shows, and what it draws over the canvas.
class ModeHandler {
 public:
  virtual ~ModeHandler() = default;
  // The engine press; a line index, or a negative value when nothing was hit.
  virtual int press(TMyWindow& w, CanvasPoint p) = 0;
  virtual void drag(TMyWindow& w, CanvasPoint current, CanvasPoint press, CanvasPoint previous) = 0;
  virtual std::optional<Qt::CursorShape> hover(TMyWindow&, CanvasPoint) { return std::nullopt; }
  virtual void paintOverlay(TMyWindow&, OverlayPainter&) {}
};

// A temporary mode: a one-shot guided interaction that takes all mouse input while it runs. The
// window calls these only while the selected line and point are valid.
class TempModeHandler {
 public:
  virtual ~TempModeHandler() = default;
  virtual void press(TMyWindow&, CanvasPoint) {}
  virtual void move(TMyWindow&, CanvasPoint /*current*/, CanvasPoint /*press*/) {}
  virtual void release(TMyWindow&, CanvasPoint /*release*/, CanvasPoint /*press*/) {}
  virtual void paintOverlay(TMyWindow&, OverlayPainter&) {}
};

template <class Handler>
class HandlerTable {
 public:
  void add(int mode, std::unique_ptr<Handler> handler) { table_[mode] = std::move(handler); }
  Handler* find(int mode) const {
    auto it = table_.find(mode);
    return it == table_.end() ? nullptr : it->second.get();
  }
  bool has(int mode) const { return find(mode) != nullptr; }

 private:
  std::map<int, std::unique_ptr<Handler>> table_;
};

// The handlers the editor starts with (each in its own file).
std::unique_ptr<ModeHandler> makeSelectMode();        // 0
std::unique_ptr<ModeHandler> makeAddLineMode();       // 1
std::unique_ptr<ModeHandler> makeAddPointMode();      // 2
std::unique_ptr<ModeHandler> makeMoveAllMode();       // 6
std::unique_ptr<ModeHandler> makeDeformMode();        // 7
std::unique_ptr<ModeHandler> makeMovePointsMode();    // 8
std::unique_ptr<TempModeHandler> makeShapeTempMode(int shape);  // 1..4
std::unique_ptr<TempModeHandler> makeRotateTempMode();          // 20
std::unique_ptr<TempModeHandler> makeRangeSelectTempMode();     // 22

// The select press: picks the line and point under `p` and redraws when the selection moved;
// the line index, or negative when nothing was hit. Every mode uses it in the object view.
int selectAt(TMyWindow& w, CanvasPoint p);

// Point marks of every point (blue when flagged, red otherwise), the selected point again in
// the highlight colour; the overlay of range selection.
void paintAllPointMarks(TMyWindow& w, OverlayPainter& out);

}  // namespace tovala
