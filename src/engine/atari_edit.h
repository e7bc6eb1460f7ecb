#pragma once
// The hit-editing interaction (temporary mode 11): while the mouse hovers, the anchor of the
// joint's block-1 guide under it is found; dragging it changes that anchor's length for the
// view the joint panel shows, by a tenth of a pixel per pixel of horizontal movement. The
// joint panel's working values and list change; the joint's own list changes only when the
// panel is confirmed.

#include <cstdint>

#include "engine/atari.h"
#include "model/records.h"

namespace tovala {

class Document;

// The view whose length a drag edits: the first, second or third value of a group.
enum HitView : int { kHitViewFront = 0, kHitViewTop = 1, kHitViewSide = 2 };

// The group offset (5, 9, ..., 33) of the first anchor, in order 0 to 7, whose screen position
// lies within the mark size of (x, y) in x and in y, bounds included; the anchors are those of
// `block1` (the panel's working values) for joint (line, point). -1 when none is under the
// mouse or the guide cannot be computed.
int pickHitHandle(const Document& doc, int line, int point, const HitBlock& block1, int x, int y);

// One drag of a hit handle, from press to release.
struct HitHandleDrag {
  int group = -1;  // group offset, -1 when no handle is held
  int view = kHitViewFront;
  int pressX = 0;
  float pressValue = 0;
};

// Starts a drag of handle `group` (a result of pickHitHandle) at mouse x `pressX`.
HitHandleDrag beginHitDrag(const HitBlock& block1, int group, HitView view, int pressX);

// A drag step with the mouse at x: the held group's value for the drag's view becomes its
// press value + (x − press x) · 0.1, and the block-1 range (keys 100 .. 136) of `working` is
// rebuilt from `block1`. Returns false (nothing changed) when no handle is held.
bool dragHitHandle(const HitHandleDrag& drag, int x, HitBlock& block1, ParamList& working);

}  // namespace tovala
