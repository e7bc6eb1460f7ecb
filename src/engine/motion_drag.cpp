#include "engine/motion_drag.h"

#include <algorithm>

#include "engine/motion_run.h"
#include "engine/picking.h"
#include "engine/point_math.h"
#include "model/document.h"

namespace tovala {

namespace {

bool isJointPointKind(int kind) { return kind == kBatchJointPointKind || kind == kJointPointKind; }

float clampAngle(double a) { return float(std::clamp(a, -kMaxDragAngle, kMaxDragAngle)); }

PointMotion motionOf(const PointRecord& p) { return {p.vdx, p.vdy, p.vdz, p.radx, p.rady, p.radz}; }

// The selected point when it is a joint point, else nullptr.
PointRecord* selectedJoint(Document& doc) {
  if (doc.isValidPick(doc.curLine, doc.curPoint) < 0) return nullptr;
  PointRecord& p = doc.lines[size_t(doc.curLine)].points[size_t(doc.curPoint)];
  return isJointPointKind(p.kind) ? &p : nullptr;
}

void dragWhole(Document& doc, double dx, double dy, bool depth) {
  const auto& press = doc.edit.pressWhole;
  if (doc.edit.subMode == kToolWholeMove) {
    if (depth) {
      doc.VextZ = float(press[2] + dy);
    } else {
      doc.VextX = float(press[0] + dx);
      doc.VextY = float(press[1] + dy);
    }
  } else if (depth) {
    doc.RadZ = clampAngle(press[5] + dy * kRadiansPerPixel);
  } else {
    doc.RadX = clampAngle(press[3] + dy * kRadiansPerPixel);
    doc.RadY = clampAngle(press[4] - dx * kRadiansPerPixel);
  }
}

// Point tools start from the movement and rotation the point had at the press. Limits are not
// applied here: TPMove and TPRot clamp when the programs run.
void dragJoint(Document& doc, double dx, double dy, bool depth) {
  PointRecord* p = selectedJoint(doc);
  const auto& saved = doc.edit.pressMotions;
  if (!p || size_t(doc.curPoint) >= saved.size()) return;
  const PointMotion& at = saved[size_t(doc.curPoint)];
  if (doc.edit.subMode == kToolPointMove) {
    if (depth) {
      p->vdz = float(at.vdz + dy);
    } else {
      p->vdx = float(at.vdx + dx);
      p->vdy = float(at.vdy + dy);
    }
  } else if (depth) {
    p->radz = clampAngle(at.radz + dy * kRadiansPerPixel);
  } else {
    p->radx = clampAngle(at.radx + dy * kRadiansPerPixel);
    p->rady = clampAngle(at.rady - dx * kRadiansPerPixel);
  }
}

}  // namespace

void motionPress(Document& doc, int x, int y) {
  EditState& e = doc.edit;
  e.pressX = x;
  e.pressY = y;
  e.pressWhole = {doc.VextX, doc.VextY, doc.VextZ, doc.RadX, doc.RadY, doc.RadZ};

  // The nearest joint point within reach; of equally near ones the last in line and point order.
  const int reach = pickReach(doc);
  long long best = -1;
  for (int l = 0; l < doc.lineCount() - 1; ++l) {
    const LineRecord& line = doc.lines[size_t(l)];
    for (int i = 0; i < line.pointCount() - 1; ++i) {
      const PointRecord& p = line.points[size_t(i)];
      if (!isJointPointKind(p.kind)) continue;
      const long long d = pickDistance(screenX(line, p), screenY(line, p), x, y, reach);
      if (d >= 0 && (best < 0 || d <= best)) {
        best = d;
        doc.curLine = l;
        doc.curPoint = i;
      }
    }
  }

  e.pressMotions.clear();
  if (!doc.isValidLine(doc.curLine)) return;
  for (const PointRecord& p : doc.lines[size_t(doc.curLine)].points)
    e.pressMotions.push_back(motionOf(p));
  if (doc.isValidPick(doc.curLine, doc.curPoint) > 0)
    e.prevMotion = motionOf(doc.lines[size_t(doc.curLine)].points[size_t(doc.curPoint)]);
}

void motionDrag(Document& doc, int x, int y) {
  EditState& e = doc.edit;
  e.prevWhole = {doc.VextX, doc.VextY, doc.VextZ, doc.RadX, doc.RadY, doc.RadZ};
  if (doc.isValidPick(doc.curLine, doc.curPoint) > 0)
    e.prevMotion = motionOf(doc.lines[size_t(doc.curLine)].points[size_t(doc.curPoint)]);

  const double dx = double(x) - e.pressX, dy = double(y) - e.pressY;
  const bool depth = e.dragAxis == kDepthDragAxis;
  switch (e.subMode) {
    case kToolWholeMove:
    case kToolWholeRotate: dragWhole(doc, dx, dy, depth); break;
    case kToolPointMove:
    case kToolPointRotate: dragJoint(doc, dx, dy, depth); break;
    default: break;
  }
  runMotion(doc, doc.curLine, doc.curPoint);
}

int toggleSelectionInRect(Document& doc, int x1, int y1, int x2, int y2, int value, int kind) {
  int touched = 0;
  for (int l = 0; l < doc.lineCount() - 1; ++l) {
    LineRecord& line = doc.lines[size_t(l)];
    if (line.sel == 0 || (kind != -100 && line.kind != kind) || line.pointCount() < 2) continue;
    // The sentinel point is included: it carries the last point's position and its flag is what
    // the next added point starts with.
    for (PointRecord& p : line.points) {
      const int px = screenX(line, p), py = screenY(line, p);
      if (!(x1 < px && px < x2 && y1 < py && py < y2)) continue;
      p.sel = value < 0 ? (p.sel == 0 ? 1 : 0) : value;
      ++touched;
    }
  }
  return touched;
}

}  // namespace tovala
