#include "engine/atari_edit.h"

#include <cstdlib>

#include "engine/param_splice.h"
#include "model/document.h"

namespace tovala {

namespace {

constexpr int kEditedBlock = 1;
constexpr float kValuePerPixel = 0.1f;

bool validGroup(int group) {
  return group >= hitGroupOffset(0) && group <= hitGroupOffset(kHitAnchorCount - 1) &&
         (group - hitGroupOffset(0)) % 4 == 0;
}

}  // namespace

int pickHitHandle(const Document& doc, int line, int point, const HitBlock& block1, int x, int y) {
  HitGuide guide;
  if (!computeHitGuide(doc, line, point, block1, guide)) return -1;
  // Anchors are shown where a point of the joint line at that position would be.
  const LineRecord& l = doc.lines[size_t(line)];
  const int m = doc.markSize;
  for (int k = 0; k < kHitAnchorCount; ++k) {
    const DVec3& a = guide.anchors[size_t(k)];
    const int ax = int(l.vx + l.w * a.x), ay = int(l.vy + l.h * a.y);
    if (std::abs(ax - x) <= m && std::abs(ay - y) <= m) return hitGroupOffset(k);
  }
  return -1;
}

HitHandleDrag beginHitDrag(const HitBlock& block1, int group, HitView view, int pressX) {
  HitHandleDrag drag;
  if (!validGroup(group) || view < kHitViewFront || view > kHitViewSide) return drag;
  drag.group = group;
  drag.view = view;
  drag.pressX = pressX;
  drag.pressValue = block1.at(group + view);
  return drag;
}

bool dragHitHandle(const HitHandleDrag& drag, int x, HitBlock& block1, ParamList& working) {
  if (!validGroup(drag.group)) return false;
  block1.at(drag.group + drag.view) = drag.pressValue + float(x - drag.pressX) * kValuePerPixel;
  const std::vector<ParamEntry> entries = hitBlockEntries(kEditedBlock, block1);
  replaceKindRange(working, 100 * kEditedBlock, 100 * kEditedBlock + kHitBlockEntries - 1, entries);
  return true;
}

}  // namespace tovala
