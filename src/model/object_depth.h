#pragma once
// The depth of an object: how near the viewer it lies, for drawing the objects back to front
// (or front to back) in object view. Larger values are nearer. The renderer recomputes every
// object's depth (header word 6) before it orders them.
//
// By mode:
// - normal: the mean z of every point its pieces draw;
// - face: the z of its reference point (header word 5, with its axis position), so a face's
//   parts keep to the joint that carries them;
// - several points plus / minus: the mean z of the points listed (as line * 65536 + point) in
//   the first n values of the first value list, n being the mode's top byte.
// The first value after the integers of the first value list (value 0 for the other modes) is
// an offset, added (subtracted for several points minus), so parts at the same depth can be
// stacked on purpose. An object that refers to no valid point keeps depth 0 plus the offset.

#include "model/records.h"

namespace tovala {

class Document;

float objectDepth(const Document& doc, const ObjectRecord& o);

// Stores objectDepth in header word 6 of every object but the sentinel.
void updateObjectDepths(Document& doc);

}  // namespace tovala
