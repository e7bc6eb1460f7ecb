// 体型変更: a figure built as the body model takes another body shape in place. The figure of
// the new shape is built aside and its places are copied over line by line and point by point;
// what belongs to the user stays: the pose (every joint's movement and rotation, the
// whole-figure values), line and point styles, joint limits, object colours, and every line
// added after the figure's own. Poses and animations name joints by number, so they still fit.

#include "engine/cline.h"
#include "model/document.h"
#include "script/body_model.h"
#include "script/body_shape.h"
#include "script/motion_prepare.h"

namespace tovala {

namespace {

constexpr int kMotionEditMode = 5;

// Whether `doc` starts with the figure `fresh` holds: the same lines (number, kind, mode,
// points and their numbers) and the same objects.
bool sameFigure(const Document& doc, const Document& fresh) {
  if (doc.lineCount() < fresh.lineCount() || doc.objectCount() < fresh.objectCount()) return false;
  for (size_t l = 0; l + 1 < fresh.lines.size(); ++l) {
    const LineRecord &a = doc.lines[l], &b = fresh.lines[l];
    if (a.nam != b.nam || a.kind != b.kind || a.mode != b.mode || a.pointCount() != b.pointCount())
      return false;
    for (size_t i = 0; i + 1 < b.points.size(); ++i)
      if (a.points[i].nam != b.points[i].nam) return false;
  }
  for (size_t o = 0; o + 1 < fresh.objects.size(); ++o)
    if (doc.objects[o].c != fresh.objects[o].c || doc.objects[o].d != fresh.objects[o].d)
      return false;
  return true;
}

// Whether every joint of the figure stands at its reference position.
bool atRest(const Document& doc, const Document& fresh) {
  for (size_t l = 0; l + 1 < fresh.lines.size(); ++l) {
    if (doc.lines[l].kind != kJointLineKind) continue;
    for (const PointRecord& p : doc.lines[l].points)
      if (p.vx != p.v0x || p.vy != p.v0y || p.vz != p.v0z) return false;
  }
  return true;
}

}  // namespace

bool isBodyModelFigure(const Document& doc) {
  static const Document standard = [] {
    Document d(Canvas::kNone);
    createBodyModel(d);
    return d;
  }();
  return sameFigure(doc, standard);
}

int reshapeBodyModel(Document& doc, const BodyShape& shape) {
  Document fresh(Canvas::kNone);
  fresh.ui = doc.ui;
  createBodyModel(fresh, shape);
  if (!sameFigure(doc, fresh)) return -1;
  const bool posed = doc.edit.mode == kMotionEditMode || !atRest(doc, fresh);
  for (size_t l = 0; l + 1 < fresh.lines.size(); ++l) {
    LineRecord& line = doc.lines[l];
    const LineRecord& from = fresh.lines[l];
    for (size_t i = 0; i + 1 < from.points.size(); ++i) {
      PointRecord& p = line.points[i];
      const PointRecord& q = from.points[i];
      p.vx = q.vx, p.vy = q.vy, p.vz = q.vz;
      p.v0x = q.v0x, p.v0y = q.v0y, p.v0z = q.v0z;
      p.unitX = q.unitX, p.unitY = q.unitY, p.unitZ = q.unitZ;
      // An outline's parameters hold its shape against its bone, measured on the new body.
      if (line.mode == kCLineMode) {
        p.params = q.params;
        p.paramChanged = 1;
      }
    }
    if (line.mode == kCLineMode) line.paramChanged = 1;
  }
  // Each body part's depth offset was measured on the new body too (the joints it follows are
  // the same).
  for (size_t o = 0; o + 1 < fresh.objects.size(); ++o) doc.objects[o].a = fresh.objects[o].a;
  // A posed figure (in motion mode, or shown in a pose) shows its pose on the new body at once.
  if (posed) prepareMotion(doc);
  return 1;
}

}  // namespace tovala
