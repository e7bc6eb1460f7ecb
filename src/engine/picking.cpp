#include "engine/picking.h"

#include <algorithm>
#include <cmath>

#include "engine/drag_edit.h"
#include "engine/point_math.h"
#include "model/document.h"
#include "render/stroke.h"

namespace tovala {

int pickReach(const Document& doc) {
  const float zoom = doc.edit.viewZoom;
  if (!(zoom > 0.0f)) return doc.markSize;
  const double screen = std::ceil(kPickScreenPixels / double(zoom) - 1e-9);
  return std::max(doc.markSize, int(std::min(screen, 1e6)));
}

long long pickDistance(int px, int py, int x, int y, int reach) {
  if (!withinSquare(px, py, x, y, reach)) return -1;
  const long long dx = (long long)px - x, dy = (long long)py - y;
  return dx * dx + dy * dy;
}

bool pickFilterAccepts(const Document& doc, int line) {
  if (doc.edit.tempMode <= 0) return true;
  const LineRecord& l = doc.lines[size_t(line)];
  switch (doc.edit.pickFilter) {
    case 1: return l.kind == kJointLineKind;
    case 2: return l.mode == 100;
    case 3: return l.mode == 101;
    case 4: return l.category == 11;
    case 5: return l.category == 12;
    case 6: return line == doc.curLine;
    default: return true;
  }
}

int pickPointOfLine(const Document& doc, int x, int y, int line) {
  if (line < 0) line = doc.curLine;
  if (!doc.isValidLine(line) || !pickFilterAccepts(doc, line)) return -1;
  const LineRecord& l = doc.lines[size_t(line)];
  const int reach = pickReach(doc);
  int best = -1;
  long long bestDistance = 0;
  for (int p = 0; p < l.pointCount() - 1; ++p) {
    const PointRecord& pt = l.points[size_t(p)];
    const long long d = pickDistance(screenX(l, pt), screenY(l, pt), x, y, reach);
    if (d >= 0 && (best < 0 || d < bestDistance)) best = p, bestDistance = d;
  }
  return best;
}

namespace {

// The nearest axis tip of a joint point under (x, y): 1, 2 or 3 with its squared distance, or
// 0 when none is.
int axisTipAt(const Document& doc, const LineRecord& l, const PointRecord& p, int x, int y,
              int reach, long long& distance) {
  const double len = doc.edit.unitLength;
  const std::array<float, 3>* tips[3] = {&p.unitX, &p.unitY, &p.unitZ};
  int found = 0;
  for (int a = 0; a < 3; ++a) {
    const double tx = p.vx + len * ((*tips[a])[0] - p.vx);
    const double ty = p.vy + len * ((*tips[a])[1] - p.vy);
    const int sx = truncPixel(double(l.vx) + double(l.w) * tx);
    const int sy = truncPixel(double(l.vy) + double(l.h) * ty);
    const long long d = pickDistance(sx, sy, x, y, reach);
    if (d >= 0 && (!found || d < distance)) found = a + 1, distance = d;
  }
  return found;
}

}  // namespace

PointPick pickAnyPoint(const Document& doc, int x, int y, int type, int kind) {
  const int reach = pickReach(doc);
  PointPick best;
  long long bestDistance = 0;
  for (int li = 0; li < doc.lineCount() - 1; ++li) {
    const LineRecord& l = doc.lines[size_t(li)];
    if (type == kPickJointAxes && (l.sel == 0 || l.kind != kJointLineKind)) continue;
    if (type == kPickLineKind && l.kind != kind) continue;
    for (int pi = 0; pi < l.pointCount() - 1; ++pi) {
      const PointRecord& p = l.points[size_t(pi)];
      long long d = -1;
      int axis = 0;
      if (type == kPickJointAxes) {
        if (!(axis = axisTipAt(doc, l, p, x, y, reach, d))) continue;
      } else {
        if (type == kPickSelectedPoints && p.sel != 1) continue;
        d = pickDistance(screenX(l, p), screenY(l, p), x, y, reach);
      }
      if (d >= 0 && (!best.found() || d < bestDistance)) best = {li, pi, axis}, bestDistance = d;
    }
  }
  return best;
}

int brushHandleAt(const Document& doc, int x, int y) {
  if (doc.isValidPick(doc.curLine, doc.curPoint) < 0) return 0;
  const LineRecord& l = doc.lines[size_t(doc.curLine)];
  const PointRecord& p = l.points[size_t(doc.curPoint)];
  const double m = doc.markSize;
  const double cx = screenX(l, p), cy = screenY(l, p);
  const double hw = 2.0 * (m + 2.0 * p.pww), hh = 2.0 * (m + 2.0 * p.pwh);

  const bool nearLeft = std::fabs(x - (cx - hw)) <= m, nearRight = std::fabs(x - (cx + hw)) <= m;
  const bool nearTop = std::fabs(y - (cy - hh)) <= m, nearBottom = std::fabs(y - (cy + hh)) <= m;
  const bool nearX = nearLeft || nearRight, nearY = nearTop || nearBottom;
  if (nearX && nearY) return (nearLeft && nearTop) || (nearRight && nearBottom) ? 106 : 107;
  if (nearX && std::fabs(y - cy) <= hh) return 104;
  if (nearY && std::fabs(x - cx) <= hw) return 105;
  return 0;
}

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kBlack = 0x00000000;

// The style the line is drawn with, its brush widened by 2 so that a click just beside a thin
// stroke still finds it.
void widenStyle(const Document& doc, LineRecord& line) {
  if (doc.perLine == 0) {
    doc.applyDefaultStyle(line);
    line.lmode = 0;
  }
  line.brw += 2;
  line.brh += 2;
}

// Whether line `index`'s stroke covers pixel (x, y). Blending touches each pixel on its own,
// so only the pixel under the mouse needs to start white.
bool strokeCovers(Document& doc, int index, int x, int y) {
  // Fill, image and object drawing leave the scratch slot sized to their last box; picking
  // needs it canvas-sized so any canvas point can be tested.
  ImageSlot* scratch = doc.workImages.image(kScratchImage);
  if (!scratch || scratch->width != doc.imageWidth || scratch->height != doc.imageHeight) {
    doc.workImages.makeBlank(kScratchImage, doc.imageWidth, doc.imageHeight, kWhite);
    scratch = doc.workImages.image(kScratchImage);
  }
  if (!scratch || !scratch->contains(x, y)) return false;
  scratch->setPixel(x, y, kWhite);
  LineRecord& line = doc.lines[size_t(index)];
  LineRecord saved = line;
  widenStyle(doc, line);
  drawStroke(doc, index, kScratchImage, kBlack, kStrokeDrawMask, 1);
  line = std::move(saved);
  return scratch->pixel(x, y) != kWhite;
}

// A line with a single point draws no stroke, so that point stands for it; its range may not
// have been measured yet, so the point is tried before the range.
bool lineUnderMouse(Document& doc, int index, int x, int y) {
  const LineRecord& l = doc.lines[size_t(index)];
  if (l.pointCount() == 2 &&
      withinSquare(screenX(l, l.points[0]), screenY(l, l.points[0]), x, y, pickReach(doc)))
    return true;
  if (!(l.rectx < x && x < l.rectw && l.recty < y && y < l.recth)) return false;
  return strokeCovers(doc, index, x, y);
}

}  // namespace

int pickLine(Document& doc, int x, int y) {
  // Saved even on a miss, so a drag that follows starts from where the line is now.
  savePressLine(doc, x, y);
  if (doc.isValidLine(doc.curLine)) {
    const int p = pickPointOfLine(doc, x, y, doc.curLine);
    if (p >= 0) {
      doc.curPoint = p;
      doc.edit.subMode = kSubPointDrag;
      return doc.curLine;
    }
  }

  int hit = -1;
  for (int i = 0; i < doc.lineCount() - 1 && hit < 0; ++i)
    if (lineUnderMouse(doc, i, x, y)) hit = i;
  if (hit < 0) return -1;

  doc.curLine = hit;
  doc.edit.subMode = kSubLineDrag;
  savePressLine(doc, x, y);
  const int p = pickPointOfLine(doc, x, y, hit);
  if (p >= 0) {
    doc.curPoint = p;
    doc.edit.subMode = kSubPointDrag;
  }
  // Brush handles exist only where the per-point thickness is drawn.
  if (doc.lines[size_t(hit)].lmode == 1) {
    if (const int handle = brushHandleAt(doc, x, y)) doc.edit.subMode = handle;
  }
  return hit;
}

}  // namespace tovala
