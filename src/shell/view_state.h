#pragma once
// The window's view of the canvas: the zoom, the scroll offsets, the zoomed content size and the
// two scroll-bar records. Kept free of widgets so the scrolling rules can be checked on their own.

namespace tovala {

// One scroll bar as the window keeps it: the range runs from `min` to `max`, `page` is the
// visible part, `pos` the first visible pixel. The usable positions are min .. max - page.
struct ScrollRecord {
  int min = 0;
  int max = 100;
  int page = 200;
  int pos = 0;
};

enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, Thumb, Top, Bottom, End };

// Moves the record for one request (step = max / 10, a page being two steps), clamps the result
// to max - page and then to min, and returns the new position.
int applyScroll(ScrollRecord& record, ScrollRequest request, int thumb = 0);

struct CanvasPoint {
  int x = 0;
  int y = 0;
  bool operator==(const CanvasPoint&) const = default;
};

class ViewState {
 public:
  static constexpr float kMinZoom = 0.125f;
  static constexpr float kMaxZoom = 8.0f;

  float zoom = 1.0f;
  float scrollX = 0;
  float scrollY = 0;
  float contentWidth = 0;
  float contentHeight = 0;
  ScrollRecord horizontal;
  ScrollRecord vertical;

  // Doubling and halving within the limits; false when the limit was already reached. A zoom
  // between powers of two (after fitting) stops at the limit rather than passing it.
  bool zoomIn();
  bool zoomOut();
  static float zoomedIn(float zoom);
  static float zoomedOut(float zoom);
  // The largest zoom, within the limits, that shows the whole canvas in the client area.
  static float fitZoom(int canvasWidth, int canvasHeight, int clientWidth, int clientHeight);

  // Changes the zoom (held within the limits) so that the canvas point under the window point
  // (anchorX, anchorY) stays under it, as far as the scroll ranges allow. Both records are
  // sized to the new content and the client area, positions and offsets set to match.
  void zoomAbout(float newZoom, float anchorX, float anchorY, int canvasWidth, int canvasHeight,
                 int clientWidth, int clientHeight);

  // Window pixel to canvas pixel, given the document's view origin; truncated toward zero.
  CanvasPoint toCanvas(int windowX, int windowY, float originX, float originY) const;
  // Canvas pixel to window pixel, for overlays drawn on the window.
  float toWindowX(float canvasX) const { return canvasX * zoom - scrollX; }
  float toWindowY(float canvasY) const { return canvasY * zoom - scrollY; }

  // The content size of a canvas at the current zoom.
  void setContent(int canvasWidth, int canvasHeight);
  // Both records sized to the content and the client area, positions and offsets back to 0.
  void resetScrolling(int clientWidth, int clientHeight);
  // One scroll request on one axis; the offset follows the record's position.
  void scroll(bool horizontalAxis, ScrollRequest request, int thumb = 0);
};

}  // namespace tovala
