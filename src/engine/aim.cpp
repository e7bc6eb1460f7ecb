#include "engine/aim.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/motion_drag.h"
#include "engine/point_math.h"

namespace tovala {

namespace {

// The squared distance from (x, y) to the segment a-b.
double segmentDistance2(double x, double y, double ax, double ay, double bx, double by) {
  const double ux = bx - ax, uy = by - ay, len2 = ux * ux + uy * uy;
  double t = len2 > 0 ? ((x - ax) * ux + (y - ay) * uy) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  const double dx = ax + t * ux - x, dy = ay + t * uy - y;
  return dx * dx + dy * dy;
}

IkChain carrierOf(const Document& doc, int line, int point) {
  return findIkChain(doc, line, point, 1);
}

// The point nearest the press that a joint carries, as aimPress describes it.
IkChain pickLimb(const Document& doc, int x, int y) {
  for (int l = doc.lineCount() - 2; l >= 0; --l) {
    const LineRecord& line = doc.lines[size_t(l)];
    for (int i = line.pointCount() - 2; i >= 0; --i) {
      const PointRecord& p = line.points[size_t(i)];
      if (!withinSquare(screenX(line, p), screenY(line, p), x, y, doc.markSize)) continue;
      IkChain c = carrierOf(doc, l, i);
      if (c.count > 0) return c;
    }
  }

  int bestLine = -1, bestPoint = -1;
  double best = double(kAimBoneReach) * kAimBoneReach;
  for (int l = 0; l < doc.lineCount() - 1; ++l) {
    const LineRecord& line = doc.lines[size_t(l)];
    if (line.kind != kJointLineKind) continue;
    for (int i = 0; i + 1 < line.pointCount() - 1; ++i) {
      const PointRecord& a = line.points[size_t(i)];
      const PointRecord& b = line.points[size_t(i + 1)];
      const double d = segmentDistance2(x, y, screenX(line, a), screenY(line, a), screenX(line, b),
                                        screenY(line, b));
      if (d <= best) {
        best = d;
        bestLine = l;
        bestPoint = i;
      }
    }
  }
  if (bestLine < 0) return IkChain{};
  IkChain fallback;
  for (const auto& [end, other] : {std::pair{bestPoint + 1, bestPoint}, {bestPoint, bestPoint + 1}}) {
    IkChain c = carrierOf(doc, bestLine, end);
    if (c.count == 0) continue;
    if (c.joints[0][0] == bestLine && c.joints[0][1] == other) return c;
    if (fallback.count == 0) fallback = c;
  }
  return fallback;
}

}  // namespace

AimGrip aimPress(Document& doc, int x, int y) {
  EditState& e = doc.edit;
  e.pressX = x;
  e.pressY = y;
  e.pressWhole = {doc.VextX, doc.VextY, doc.VextZ, doc.RadX, doc.RadY, doc.RadZ};
  AimGrip grip;
  grip.chain = pickLimb(doc, x, y);
  grip.pressY = y;
  if (grip.chain.count == 0) return grip;
  doc.curLine = grip.chain.line;
  doc.curPoint = grip.chain.point;
  const auto& j = grip.chain.joints[0];
  const PointRecord& joint = doc.lines[size_t(j[0])].points[size_t(j[1])];
  grip.pressJoint = {joint.vdx, joint.vdy, joint.vdz, joint.radx, joint.rady, joint.radz};
  grip.limb = positionOf(doc.lines[size_t(grip.chain.line)].points[size_t(grip.chain.point)]) -
              positionOf(joint);
  return grip;
}

void aimDrag(Document& doc, const AimGrip& grip, int x, int y) {
  const IkChain& chain = grip.chain;
  if (chain.count == 0 || doc.isValidPick(chain.line, chain.point) < 0) return;
  if (doc.edit.dragAxis != kDepthDragAxis) {
    ikDrag(doc, chain, x, y);  // one joint: the limb turns until it points at the mouse
    return;
  }
  const auto& j = chain.joints[0];
  if (doc.isValidPick(j[0], j[1]) < 0) return;
  const double across = std::hypot(grip.limb.x, grip.limb.y);
  if (across <= 0) return;
  const std::array<PointMotion, kMaxIkChain> before = chainMotions(doc, chain);
  doc.edit.prevWhole = {doc.VextX, doc.VextY, doc.VextZ, doc.RadX, doc.RadY, doc.RadZ};
  // Each step starts from the press, as the rotation tool's do.
  PointRecord& joint = doc.lines[size_t(j[0])].points[size_t(j[1])];
  joint.radx = grip.pressJoint.radx;
  joint.rady = grip.pressJoint.rady;
  joint.radz = grip.pressJoint.radz;
  const DVec3 axis{-grip.limb.y / across, grip.limb.x / across, 0};
  const double angle = std::clamp((y - grip.pressY) * kRadiansPerPixel, -kMaxDragAngle, kMaxDragAngle);
  turnJointInPicture(doc, j[0], j[1], Rotation::aboutAxis(axis, -angle));
  applyChainTurns(doc, chain, before);
}

}  // namespace tovala
