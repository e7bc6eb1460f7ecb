#pragma once
// Joint operations: a joint point's movement and rotation applied within its limits, the
// co-rotating points it turns, the undo of both, and the whole-model movement and rotation.
// These are what the line command programs call on every drag step (script names TPMove,
// TPRot, ...); each ...Sel form undoes the previous step's values before applying the new ones,
// so a drag moves the figure incrementally.
//
// Line and point arguments are indices. The joint operations return 1 when done and -1 when
// refused (bad index, not a joint line, too few parameters, no limits, no co-rotating points),
// changing nothing when refused except that TPRot keeps its clamped angles when the joint has
// no co-rotating points.

#include <array>

namespace tovala {

class Document;
struct PointRecord;

// A joint point's six rotation limits (x min, x max, y min, y max, z min, z max) as TPRot reads
// them; false when its parameter list holds none.
bool rotationLimits(const PointRecord& p, std::array<double, 6>& out);

int TPMove(Document& doc, int line, int point);
int TPRot(Document& doc, int line, int point);
int undoJointMove(Document& doc, int line, int point, float dx, float dy, float dz);
int undoJointRot(Document& doc, int line, int point, float ax, float ay, float az);

// The selected point (curLine, curPoint): undo the previous values, apply the current ones.
int TPMoveSel(Document& doc);
int TPRotSel(Document& doc);
// Every point of every line, in index order; points that are not joints are skipped.
int TPMoveAll(Document& doc);
int TPRotAll(Document& doc);

// The whole-model movement (VextX, VextY, VextZ) and rotation (RadX, RadY, RadZ, about the
// canvas centre) applied to every point, and their ...Sel forms that undo the previous values
// first. All report 0, as the script sees them.
int MacroMove(Document& doc);
int MacroRot(Document& doc);
int MacroMoveSel(Document& doc);
int MacroRotSel(Document& doc);

}  // namespace tovala
