#pragma once
// Posing in motion mode: a press picks the joint point under the mouse and records where the
// drag starts from; each drag step turns the mouse offset into new joint or whole-model values
// by the chosen tool and re-runs the motion so the command programs apply them. Also the
// rectangle toggle by which co-rotating points are chosen.

namespace tovala {

class Document;

// The motion tools (sub-modes of motion mode).
enum MotionTool : int {
  kToolWholeMove = 300,
  kToolWholeRotate = 301,
  kToolPointMove = 320,
  kToolPointRotate = 321,
  kToolIK = 322,  // reaching: engine/ik.h
  kToolAim = 323,  // aiming a limb at the mouse: engine/aim.h
};

inline constexpr double kRadiansPerPixel = 0.01;
inline constexpr double kMaxDragAngle = 3.1416;
inline constexpr int kDepthDragAxis = 2;  // edit.dragAxis while the right button drags

// Selects the last joint point (kind 1000 or 2000), in line and point order, under (x, y) and
// takes the press copies: the whole-model values, and the movement and rotation of every point
// of the selected line. With no joint point under the mouse the selection stays.
void motionPress(Document& doc, int x, int y);

// One drag step with the mouse at (x, y): keeps the previous values, sets the new ones by the
// tool in edit.subMode (depth while edit.dragAxis is 2), then runs the motion.
void motionDrag(Document& doc, int x, int y);

// For every line whose sel is not 0, whose kind is `kind` (-100: any) and that has a point:
// every point strictly inside x1 < x < x2, y1 < y < y2 gets sel := value, or has its sel flipped
// when value < 0. Returns how many points it touched.
int toggleSelectionInRect(Document& doc, int x1, int y1, int x2, int y2, int value, int kind);

}  // namespace tovala
