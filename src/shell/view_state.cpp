#include "shell/view_state.h"

#include <algorithm>

namespace tovala {

int applyScroll(ScrollRecord& r, ScrollRequest request, int thumb) {
  const int step = r.max / 10;
  int pos = r.pos;
  switch (request) {
    case ScrollRequest::LineUp: pos -= step; break;
    case ScrollRequest::LineDown: pos += step; break;
    case ScrollRequest::PageUp: pos -= 2 * step; break;
    case ScrollRequest::PageDown: pos += 2 * step; break;
    case ScrollRequest::Thumb: pos = thumb; break;
    case ScrollRequest::Top: pos = r.min; break;
    case ScrollRequest::Bottom: pos = r.max - r.page; break;
    case ScrollRequest::End: break;
  }
  // Upper bound first, so a content smaller than the page lands on the minimum.
  pos = std::min(pos, r.max - r.page);
  pos = std::max(pos, r.min);
  r.pos = pos;
  return pos;
}

bool ViewState::zoomIn() {
  if (zoom >= kMaxZoom) return false;
  zoom *= 2;
  return true;
}

bool ViewState::zoomOut() {
  if (zoom <= kMinZoom) return false;
  zoom /= 2;
  return true;
}

CanvasPoint ViewState::toCanvas(int windowX, int windowY, float originX, float originY) const {
  return {int((float(windowX) + scrollX) / zoom + originX),
          int((float(windowY) + scrollY) / zoom + originY)};
}

void ViewState::setContent(int canvasWidth, int canvasHeight) {
  contentWidth = float(canvasWidth) * zoom;
  contentHeight = float(canvasHeight) * zoom;
}

void ViewState::resetScrolling(int clientWidth, int clientHeight) {
  horizontal = {0, int(contentWidth), clientWidth, 0};
  vertical = {0, int(contentHeight), clientHeight, 0};
  scrollX = 0;
  scrollY = 0;
}

void ViewState::scroll(bool horizontalAxis, ScrollRequest request, int thumb) {
  ScrollRecord& r = horizontalAxis ? horizontal : vertical;
  const int pos = applyScroll(r, request, thumb);
  (horizontalAxis ? scrollX : scrollY) = float(pos);
}

}  // namespace tovala
