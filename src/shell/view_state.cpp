#include "shell/view_state.h"

#include <algorithm>
#include <cmath>

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

float ViewState::zoomedIn(float z) { return std::min(z * 2, kMaxZoom); }
float ViewState::zoomedOut(float z) { return std::max(z / 2, kMinZoom); }

bool ViewState::zoomIn() {
  if (zoom >= kMaxZoom) return false;
  zoom = zoomedIn(zoom);
  return true;
}

bool ViewState::zoomOut() {
  if (zoom <= kMinZoom) return false;
  zoom = zoomedOut(zoom);
  return true;
}

float ViewState::fitZoom(int canvasWidth, int canvasHeight, int clientWidth, int clientHeight) {
  if (canvasWidth <= 0 || canvasHeight <= 0 || clientWidth <= 0 || clientHeight <= 0) return 1.0f;
  float z =
      std::min(float(clientWidth) / float(canvasWidth), float(clientHeight) / float(canvasHeight));
  // The quotient may round up; the content must not come out a fraction larger than the client.
  while (z > kMinZoom && (float(canvasWidth) * z > float(clientWidth) ||
                          float(canvasHeight) * z > float(clientHeight)))
    z = std::nextafter(z, 0.0f);
  return std::clamp(z, kMinZoom, kMaxZoom);
}

void ViewState::zoomAbout(float newZoom, float anchorX, float anchorY, int canvasWidth,
                          int canvasHeight, int clientWidth, int clientHeight) {
  // The canvas point under the anchor, relative to the view origin, which zooming leaves alone.
  const float canvasX = (anchorX + scrollX) / zoom;
  const float canvasY = (anchorY + scrollY) / zoom;
  zoom = std::clamp(newZoom, kMinZoom, kMaxZoom);
  setContent(canvasWidth, canvasHeight);
  horizontal = {0, int(contentWidth), clientWidth, 0};
  vertical = {0, int(contentHeight), clientHeight, 0};
  // Scroll positions are whole pixels: rounding keeps the point within half a window pixel.
  scroll(true, ScrollRequest::Thumb, int(std::lround(canvasX * zoom - anchorX)));
  scroll(false, ScrollRequest::Thumb, int(std::lround(canvasY * zoom - anchorY)));
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
