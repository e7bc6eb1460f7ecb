#include "engine/joints.h"

#include <algorithm>
#include <array>

#include "engine/cast.h"
#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "engine/rotation.h"
#include "model/document.h"

namespace tovala {

namespace {

constexpr int32_t kMoveLimitKey = 6;

// The point when the indices lie within the arrays (the sentinels pass), its line is a joint
// line and its parameter list holds more than `minParams` entries; otherwise nullptr.
PointRecord* jointPoint(Document& doc, int line, int point, int minParams) {
  if (line < 0 || line >= doc.lineCount()) return nullptr;
  LineRecord& l = doc.lines[size_t(line)];
  if (point < 0 || point >= l.pointCount() || l.kind != kJointLineKind) return nullptr;
  PointRecord& p = l.points[size_t(point)];
  return p.paramCount() > minParams ? &p : nullptr;
}

// The six limits stored from the entry of `key` on: min, max for x, y and z.
bool readLimits(const ParamList& list, int32_t key, std::array<double, 6>& out) {
  const int at = findParam(list, key);
  if (at < 0 || size_t(at) + 6 > list.size()) return false;
  for (size_t i = 0; i < 6; ++i) out[i] = list[size_t(at) + i].asFloat();
  return true;
}

// Minimum first, then maximum, so a minimum above its maximum loses.
float clampLimits(float v, double lo, double hi) {
  return float(std::min(std::max(double(v), lo), hi));
}

// Turns the joint's co-rotating points (its key-20 run). The joint itself, when listed, turns
// only its unit vectors, about the world axes; every other target turns about the joint's local
// axes, taken once before anything moves, with its unit vectors when it sits on a joint line.
// `undo` applies the inverse sequence. -1 when the joint lists no co-rotating point.
int turnCoRotating(Document& doc, int line, int point, double rx, double ry, double rz, bool undo) {
  PointRecord& joint = doc.lines[size_t(line)].points[size_t(point)];
  const int first = findParam(joint.params, kCoRotationKey);
  if (first < 0) return -1;

  const DVec3 centre = positionOf(joint);
  const double s = usableScale(doc.modelScale);
  const DVec3 ax = (toDVec(joint.unitX) - centre) / s;
  const DVec3 ay = (toDVec(joint.unitY) - centre) / s;
  const DVec3 az = (toDVec(joint.unitZ) - centre) / s;

  Rotation self, local;
  if (!undo) {
    self = Rotation::aboutX(rx).then(Rotation::aboutY(ry)).then(Rotation::aboutZ(rz));
    local = Rotation::aboutAxis(ax, rx)
                .then(Rotation::aboutAxis(ay, ry))
                .then(Rotation::aboutAxis(az, rz));
  } else {
    self = Rotation::aboutZ(-rz).then(Rotation::aboutY(-ry)).then(Rotation::aboutX(-rx));
    local = Rotation::aboutAxis(az, -rz)
                .then(Rotation::aboutAxis(ay, -ry))
                .then(Rotation::aboutAxis(ax, -rx));
  }

  // Only point fields change below, never a parameter list, so walking the joint's list while
  // turning targets (the joint included) is safe.
  const ParamList& list = joint.params;
  for (size_t i = size_t(first); i < list.size() && list[i].key == kCoRotationKey; ++i) {
    const int32_t ref = list[i].asInt();
    const int tLine = refLine(ref), tPoint = refPoint(ref);
    if (tLine < 0 || tLine >= doc.lineCount()) continue;
    LineRecord& target = doc.lines[size_t(tLine)];
    if (tPoint >= target.pointCount()) continue;
    PointRecord& tp = target.points[size_t(tPoint)];
    if (tLine == line && tPoint == point)
      rotatePointAbout(tp, centre, self, false, true);
    else
      rotatePointAbout(tp, centre, local, true, target.kind == kJointLineKind);
  }
  return 1;
}

// Calls fn(point, onJointLine) for every real point of the lines the whole-document passes
// visit (every real line, or the figure being posed).
template <typename Fn>
void forEachRealPoint(Document& doc, Fn fn) {
  const LineSpan lines = passLines(doc);
  for (int l = lines.first; l < lines.end; ++l) {
    LineRecord& line = doc.lines[size_t(l)];
    const bool joint = line.kind == kJointLineKind;
    for (int p = 0; p < line.pointCount() - 1; ++p) fn(line.points[size_t(p)], joint);
  }
}

void moveWhole(Document& doc, float dx, float dy, float dz) {
  forEachRealPoint(doc, [&](PointRecord& p, bool joint) {
    if (joint) {
      shiftPoint(p, dx, dy, dz);
    } else {
      p.vx += dx;
      p.vy += dy;
      p.vz += dz;
    }
  });
}

void rotateWhole(Document& doc, const Rotation& r) {
  const DVec3 centre{doc.imageWidth * 0.5, doc.imageHeight * 0.5, 0.0};
  forEachRealPoint(
      doc, [&](PointRecord& p, bool joint) { rotatePointAbout(p, centre, r, true, joint); });
}

}  // namespace

bool rotationLimits(const PointRecord& p, std::array<double, 6>& out) {
  return p.paramCount() > 11 && readLimits(p.params, kRotationFirstKey, out);
}

int TPMove(Document& doc, int line, int point) {
  PointRecord* p = jointPoint(doc, line, point, 5);
  std::array<double, 6> lim;
  if (!p || !readLimits(p->params, kMoveLimitKey, lim)) return -1;
  const double s = doc.modelScale;
  p->vdx = clampLimits(p->vdx, lim[0] * s, lim[1] * s);
  p->vdy = clampLimits(p->vdy, lim[2] * s, lim[3] * s);
  p->vdz = clampLimits(p->vdz, lim[4] * s, lim[5] * s);
  shiftPoint(*p, p->vdx, p->vdy, p->vdz);
  return 1;
}

int TPRot(Document& doc, int line, int point) {
  PointRecord* p = jointPoint(doc, line, point, 11);
  std::array<double, 6> lim;
  if (!p || !readLimits(p->params, kRotationFirstKey, lim)) return -1;
  p->radx = clampLimits(p->radx, lim[0], lim[1]);
  p->rady = clampLimits(p->rady, lim[2], lim[3]);
  p->radz = clampLimits(p->radz, lim[4], lim[5]);
  return turnCoRotating(doc, line, point, p->radx, p->rady, p->radz, false);
}

int undoJointMove(Document& doc, int line, int point, float dx, float dy, float dz) {
  PointRecord* p = jointPoint(doc, line, point, 5);
  if (!p) return -1;
  shiftPoint(*p, -dx, -dy, -dz);
  return 1;
}

int undoJointRot(Document& doc, int line, int point, float ax, float ay, float az) {
  if (!jointPoint(doc, line, point, 11)) return -1;
  return turnCoRotating(doc, line, point, ax, ay, az, true);
}

// The selected joint is posed by the programs of the figure that holds it.
int TPMoveSel(Document& doc) {
  if (outsidePass(doc, doc.curLine)) return 0;
  const PointMotion& prev = doc.edit.prevMotion;
  undoJointMove(doc, doc.curLine, doc.curPoint, prev.vdx, prev.vdy, prev.vdz);
  TPMove(doc, doc.curLine, doc.curPoint);
  return 0;
}

int TPRotSel(Document& doc) {
  if (outsidePass(doc, doc.curLine)) return 0;
  const PointMotion& prev = doc.edit.prevMotion;
  undoJointRot(doc, doc.curLine, doc.curPoint, prev.radx, prev.rady, prev.radz);
  TPRot(doc, doc.curLine, doc.curPoint);
  return 0;
}

int TPMoveAll(Document& doc) {
  const LineSpan lines = passLines(doc);
  for (int l = lines.first; l < lines.end; ++l)
    for (int p = 0; p < doc.pointCount(l) - 1; ++p) TPMove(doc, l, p);
  return 0;
}

int TPRotAll(Document& doc) {
  const LineSpan lines = passLines(doc);
  for (int l = lines.first; l < lines.end; ++l)
    for (int p = 0; p < doc.pointCount(l) - 1; ++p) TPRot(doc, l, p);
  return 0;
}

int MacroMove(Document& doc) {
  moveWhole(doc, doc.VextX, doc.VextY, doc.VextZ);
  return 0;
}

int MacroRot(Document& doc) {
  rotateWhole(
      doc,
      Rotation::aboutX(doc.RadX).then(Rotation::aboutY(doc.RadY)).then(Rotation::aboutZ(doc.RadZ)));
  return 0;
}

int MacroMoveSel(Document& doc) {
  const auto& prev = doc.edit.prevWhole;
  moveWhole(doc, -prev[0], -prev[1], -prev[2]);
  return MacroMove(doc);
}

int MacroRotSel(Document& doc) {
  const auto& prev = doc.edit.prevWhole;
  rotateWhole(
      doc,
      Rotation::aboutZ(-prev[5]).then(Rotation::aboutY(-prev[4])).then(Rotation::aboutX(-prev[3])));
  return MacroRot(doc);
}

}  // namespace tovala
