#include "engine/drag_edit.h"

#include <algorithm>
#include <cmath>

#include "engine/point_math.h"
#include "engine/reference.h"
#include "model/document.h"

namespace tovala {

namespace {

constexpr float kMinBrushFactor = 1.0f;
constexpr float kMaxBrushFactor = 40.0f;

LineRecord* selectedLine(Document& doc) {
  return doc.isValidLine(doc.curLine) ? &doc.lines[size_t(doc.curLine)] : nullptr;
}

PointRecord* selectedPoint(Document& doc) {
  if (doc.isValidPick(doc.curLine, doc.curPoint) < 0) return nullptr;
  return &doc.lines[size_t(doc.curLine)].points[size_t(doc.curPoint)];
}

// The brush factor that puts the handle box's edge at `distance` from the point.
float brushFactorFor(double distance, int markSize) {
  const double f = (distance - 2.0 * markSize) / 4.0;
  return float(std::clamp(f, double(kMinBrushFactor), double(kMaxBrushFactor)));
}

void dragBrushHandle(Document& doc, int x, int y) {
  PointRecord* p = selectedPoint(doc);
  if (!p) return;
  const LineRecord& l = doc.lines[size_t(doc.curLine)];
  const int m = doc.markSize;
  const int sub = doc.edit.subMode;
  if (sub == kSubBrushHeight) {
    p->pwh = brushFactorFor(std::fabs(double(y) - screenY(l, *p)), m);
    return;
  }
  const float width = brushFactorFor(std::fabs(double(x) - screenX(l, *p)), m);
  if (sub != kSubBrushWidth) {
    // Corners keep the press's aspect: the height follows the width in proportion.
    const LineRecord& saved = doc.edit.pressLine;
    if (size_t(doc.curPoint) < saved.points.size()) {
      const PointRecord& at = saved.points[size_t(doc.curPoint)];
      if (at.pww != 0) {
        const double h = double(at.pwh) * width / at.pww;
        p->pwh = float(std::clamp(h, double(kMinBrushFactor), double(kMaxBrushFactor)));
      }
    }
  }
  p->pww = width;
}

void dragLine(Document& doc, int x, int y) {
  LineRecord* l = selectedLine(doc);
  const auto& saved = doc.edit.pressPositions;
  if (!l || saved.size() + 1 < size_t(l->pointCount())) return;
  const float dx = float(x - doc.edit.pressX), dy = float(y - doc.edit.pressY);
  for (int i = 0; i < l->pointCount() - 1; ++i) {
    PointRecord& p = l->points[size_t(i)];
    const Vec3& s = saved[size_t(i)];
    movePointTo(p, s.x + dx, s.y + dy, p.vz);
  }
}

void dragPoint(Document& doc, int x, int y) {
  PointRecord* p = selectedPoint(doc);
  if (p) movePointTo(*p, float(x), float(y), p->vz);
}

// Puts the positions of the copied line back, when it still has the same points.
bool restorePressPositions(LineRecord& line, const LineRecord& saved) {
  if (saved.points.size() != line.points.size()) return false;
  for (size_t i = 0; i < line.points.size(); ++i) {
    line.points[i].vx = saved.points[i].vx;
    line.points[i].vy = saved.points[i].vy;
    line.points[i].vz = saved.points[i].vz;
  }
  return true;
}

}  // namespace

BoundingBox boundingBox(const LineRecord& line, bool references) {
  BoundingBox b;
  for (int i = 0; i < line.pointCount() - 1; ++i) {
    const PointRecord& p = line.points[size_t(i)];
    const float x = references ? p.v0x : p.vx, y = references ? p.v0y : p.vy;
    ++b.points;
    if (x < b.left) b.left = x, b.leftPoint = i;
    if (x > b.right) b.right = x, b.rightPoint = i;
    if (y < b.top) b.top = y, b.topPoint = i;
    if (y > b.bottom) b.bottom = y, b.bottomPoint = i;
  }
  b.width = b.right - b.left;
  b.height = b.bottom - b.top;
  b.cx = (b.left + b.right) / 2.0f;
  b.cy = (b.top + b.bottom) / 2.0f;
  return b;
}

void savePressLine(Document& doc, int x, int y) {
  doc.edit.pressX = x;
  doc.edit.pressY = y;
  doc.edit.pressPositions.clear();
  const LineRecord* l = selectedLine(doc);
  if (!l) return;
  for (const PointRecord& p : l->points) doc.edit.pressPositions.push_back({p.vx, p.vy, p.vz});
  Document::copyLine(doc.edit.pressLine, *l);
}

void dragSelection(Document& doc, int x, int y) {
  switch (doc.edit.subMode) {
    case kSubLineDrag: dragLine(doc, x, y); break;
    case kSubPointDrag: dragPoint(doc, x, y); break;
    case kSubBrushWidth:
    case kSubBrushHeight:
    case kSubBrushCornerA:
    case kSubBrushCornerB: dragBrushHandle(doc, x, y); break;
    default: break;
  }
}

void pressMoveAll(Document& doc, int x, int y) {
  doc.edit.pressX = x;
  doc.edit.pressY = y;
  doc.edit.pressWhole = {doc.VextX, doc.VextY, doc.VextZ, doc.RadX, doc.RadY, doc.RadZ};
}

void dragMoveAll(Document& doc, int x, int y) {
  translateAll(doc, -doc.VextX, -doc.VextY, -doc.VextZ);
  doc.VextX = doc.edit.pressWhole[0] + float(x - doc.edit.pressX);
  doc.VextY = doc.edit.pressWhole[1] + float(y - doc.edit.pressY);
  translateAll(doc, doc.VextX, doc.VextY, doc.VextZ);
}

void pressDeform(Document& doc, int x, int y) {
  doc.edit.pressX = x;
  doc.edit.pressY = y;
  // A press away from every handle must not resume the previous press's handle.
  doc.edit.subMode = 0;
  const LineRecord* l = selectedLine(doc);
  if (!l) return;
  Document::copyLine(doc.edit.pressLine, *l);
  const BoundingBox b = boundingBox(*l);
  if (b.empty()) return;
  const float h = b.width * 0.125f;
  const auto near = [h](float a, float edge) { return std::fabs(a - edge) < h; };
  const float fx = float(x), fy = float(y);
  // Later tests win, as the handles are listed from corners to edges.
  if ((near(fx, b.left) || near(fx, b.right)) && (near(fy, b.top) || near(fy, b.bottom)))
    doc.edit.subMode = kSubDeformCorner;
  if (fx > b.left + h && fx < b.right - h && (near(fy, b.top) || near(fy, b.bottom)))
    doc.edit.subMode = kSubDeformHeight;
  if (fy > b.top + h && fy < b.bottom - h && (near(fx, b.left) || near(fx, b.right)))
    doc.edit.subMode = kSubDeformWidth;
}

void dragDeform(Document& doc, int x, int y) {
  const int sub = doc.edit.subMode;
  if (sub != kSubDeformWidth && sub != kSubDeformHeight && sub != kSubDeformCorner) return;
  LineRecord* l = selectedLine(doc);
  if (!l || !restorePressPositions(*l, doc.edit.pressLine)) return;
  const BoundingBox b = boundingBox(*l);
  if (b.empty() || b.width == 0 || b.height == 0) return;
  // The ratio is taken as an absolute value: crossing the centre does not mirror the line.
  const double rx = std::fabs((double(x) - b.cx) / (double(b.left) - b.cx));
  const double ry = std::fabs((double(y) - b.cy) / (double(b.top) - b.cy));
  const bool scaleX = sub != kSubDeformHeight, scaleY = sub != kSubDeformWidth;
  const double fy = sub == kSubDeformCorner ? rx : ry;
  for (int i = 0; i < l->pointCount() - 1; ++i) {
    PointRecord& p = l->points[size_t(i)];
    if (scaleX) p.vx = float(b.cx + rx * (double(p.vx) - b.cx));
    if (scaleY) p.vy = float(b.cy + fy * (double(p.vy) - b.cy));
  }
}

void dragMoveSelectedPoints(Document& doc, int x, int y, int qx, int qy) {
  const float dx = float(x - qx), dy = float(y - qy);
  for (int l = 0; l < doc.lineCount() - 1; ++l) {
    LineRecord& line = doc.lines[size_t(l)];
    for (int i = 0; i < line.pointCount() - 1; ++i) {
      PointRecord& p = line.points[size_t(i)];
      if (p.sel == 1) shiftPoint(p, dx, dy, 0.0f);
    }
  }
}

}  // namespace tovala
