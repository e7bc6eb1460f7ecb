#pragma once
// The editing modes the mouse works in (doc.edit.mode).

namespace tovala {

enum EditMode : int {
  kModeSelect = 0,
  kModeAddLine = 1,
  kModeAddPoint = 2,
  kModePaint = 3,
  kModeMotion = 5,
  kModeMoveAll = 6,
  kModeDeform = 7,
  kModeMovePoints = 8,
};

}  // namespace tovala
