#include "engine/reference.h"

#include "engine/lines_points.h"
#include "engine/point_math.h"
#include "engine/rotation.h"
#include "model/document.h"

namespace tovala {

namespace {

// Resolves a line range; false when it names no line or runs backwards.
bool resolveRange(const Document& doc, int& first, int& last) {
  const int count = doc.lineCount() - 1;  // real lines
  if (first < 0) first += count;
  if (last < 0) last += count;
  return first >= 0 && first <= last && last < count;
}

// The axis tips of a point at its reference: one model-scale unit along each world axis.
void resetUnits(PointRecord& p, float s) {
  p.unitX = {p.v0x + s, p.v0y, p.v0z};
  p.unitY = {p.v0x, p.v0y + s, p.v0z};
  p.unitZ = {p.v0x, p.v0y, p.v0z + s};
}

void clearMotion(PointRecord& p) {
  p.radx = p.rady = p.radz = 0;
  p.vdx = p.vdy = p.vdz = 0;
}

// Calls fn(point, real) for every point, sentinels included (`real` false), of the lines
// first..last with the axis tips rebuilt afterwards; -1 for a bad range.
template <typename Fn>
int forEachPointRebuildingUnits(Document& doc, int first, int last, Fn fn) {
  if (!resolveRange(doc, first, last)) return -1;
  const float s = float(usableScale(doc.modelScale));
  for (int l = first; l <= last; ++l) {
    std::vector<PointRecord>& points = doc.lines[size_t(l)].points;
    for (size_t i = 0; i < points.size(); ++i) {
      fn(points[i], i + 1 < points.size());
      resetUnits(points[i], s);
    }
  }
  return 1;
}

// The whole-model movement and rotation taken out of a position: the motion preparation puts
// every real point on its reference and then applies MacroMove (VextX, VextY, VextZ) and
// MacroRot (RadX, then RadY, then RadZ about the canvas centre), so the reference that shows a
// point where it is now is that position turned back (RadZ, RadY, RadX undone in that order)
// and moved back.
class WholeMotionUndo {
 public:
  explicit WholeMotionUndo(const Document& doc)
      : move_{doc.VextX, doc.VextY, doc.VextZ},
        centre_{doc.imageWidth * 0.5, doc.imageHeight * 0.5, 0.0},
        undo_(Rotation::aboutZ(-doc.RadZ)
                  .then(Rotation::aboutY(-doc.RadY))
                  .then(Rotation::aboutX(-doc.RadX))),
        active_(doc.VextX != 0 || doc.VextY != 0 || doc.VextZ != 0 || doc.RadX != 0 ||
                doc.RadY != 0 || doc.RadZ != 0) {}

  DVec3 apply(const DVec3& v) const {
    return active_ ? undo_.apply(v - centre_) + centre_ - move_ : v;
  }

 private:
  DVec3 move_, centre_;
  Rotation undo_;
  bool active_;
};

}  // namespace

int setReference(Document& doc, int first, int last) {
  const WholeMotionUndo unposed(doc);
  return forEachPointRebuildingUnits(doc, first, last, [&unposed](PointRecord& p, bool real) {
    // The sentinel point is never posed: its reference is where it is.
    const DVec3 ref = real ? unposed.apply(positionOf(p)) : positionOf(p);
    p.v0x = float(ref.x);
    p.v0y = float(ref.y);
    p.v0z = float(ref.z);
    clearMotion(p);
  });
}

int restoreReference(Document& doc, int first, int last, bool keepMotion) {
  return forEachPointRebuildingUnits(doc, first, last, [keepMotion](PointRecord& p, bool) {
    p.vx = p.v0x;
    p.vy = p.v0y;
    p.vz = p.v0z;
    if (!keepMotion) clearMotion(p);
  });
}

int checkReference(Document& doc, int first, int last) {
  if (!resolveRange(doc, first, last)) return 0;
  for (int l = first; l <= last; ++l) {
    const LineRecord& line = doc.lines[size_t(l)];
    bool set = false;
    for (int i = 0; i < line.pointCount() - 1 && !set; ++i) {
      const PointRecord& p = line.points[size_t(i)];
      set = p.v0x != 0 || p.v0y != 0 || p.v0z != 0;
    }
    if (!set) return -1;
  }
  return 1;
}

void translateAll(Document& doc, float dx, float dy, float dz) {
  for (int l = 0; l < doc.lineCount() - 1; ++l) {
    LineRecord& line = doc.lines[size_t(l)];
    for (int i = 0; i < line.pointCount() - 1; ++i) shiftPoint(line.points[size_t(i)], dx, dy, dz);
  }
}

int moveToOrigin(Document& doc) {
  if (doc.edit.mode == kModeMotion || doc.isValidPick(0, 0) < 0) return -1;
  if (doc.modelScale != 1.0f) setModelScale(doc, 1.0f);
  doc.VextX = doc.VextY = doc.VextZ = 0;
  const PointRecord& p = doc.lines[0].points[0];
  translateAll(doc, p.v0x - p.vx, p.v0y - p.vy, p.v0z - p.vz);
  return 1;
}

int setModelScale(Document& doc, float scale) {
  if (!(scale >= kMinModelScale && scale <= kMaxModelScale)) return -1;
  // A current scale that is not a usable number (damaged file) is replaced without scaling.
  const double f = double(scale) / usableScale(doc.modelScale);
  const Vec3 o = doc.edit.viewOrigin;
  const auto scaled = [&](float v, float origin) {
    return float(origin + f * (double(v) - origin));
  };
  for (int l = 0; l < doc.lineCount() - 1; ++l) {
    LineRecord& line = doc.lines[size_t(l)];
    const bool joint = line.kind == kJointLineKind;
    for (int i = 0; i < line.pointCount() - 1; ++i) {
      PointRecord& p = line.points[size_t(i)];
      p.vx = scaled(p.vx, o.x);
      p.vy = scaled(p.vy, o.y);
      p.vz = scaled(p.vz, o.z);
      if (!joint) continue;
      for (auto* u : {&p.unitX, &p.unitY, &p.unitZ}) {
        (*u)[0] = scaled((*u)[0], o.x);
        (*u)[1] = scaled((*u)[1], o.y);
        (*u)[2] = scaled((*u)[2], o.z);
      }
    }
  }
  doc.modelScale = scale;
  return 1;
}

void resetToReferencePose(Document& doc) {
  doc.RadX = doc.RadY = doc.RadZ = 0;
  doc.VextX = doc.VextY = doc.VextZ = 0;
  setModelScale(doc, 1.0f);
  restoreReference(doc, 0, -1, false);
}

}  // namespace tovala
