#pragma once
// Direct connections: operations that rebuild the points of one outline line from anchor points
// on other lines, run by a controller line's program after the connecting lines have been
// recomputed, so that outline pieces computed separately per bone meet cleanly.
//
// Every operation takes references (line index, point index); the first names the line to
// rebuild (and, as said per operation, a point of it), the others are anchors whose positions
// are read. A reference to a line or point that does not exist makes the operation change
// nothing (-1). Only positions are written. `mode` is the selector byte of the script call.
//
// - connectDirect4 (target, joint, before, after): joins an outline at a bent joint. The target
//   is an end point of an outline piece beside joint J, whose bone runs from `before` through J
//   to `after`. The point moves to where the outlines of both bones meet: on the outer side of
//   the bend it keeps its distance r from J along the bisector; on the inner side it goes to
//   the crossing of the two outlines (r / sin(half the bend angle), at most 2.5 r). Pieces on
//   both sides of the joint that end at the same distance from J are thus moved to the same
//   point whichever runs first. The neighbouring points follow with a weight falling off
//   quadratically over `mode & 15` points (0: half the line) so the piece stays smooth.
// - connectDirect8 (target, a1 .. a9): the target line's points from the target point on are
//   spread evenly by length along a smooth curve (Catmull-Rom) through the anchors; an anchor
//   equal to the one before it is left out, so fewer than nine places can be given.
// - connectDirect8L: the same along straight segments between the anchors.
// - connectDirectF (target, from, corner, to): the target line's points from the target point on
//   are spread along a rounded corner from `from` to `to`: by `mode & 3`, 0 the quadratic curve
//   pulled toward `corner`, 1 the quadratic curve through `corner`, 2 one pulled half as far,
//   3 the two straight legs through `corner`.

#include <span>

namespace tovala {

class Document;

struct PointRef {
  int line = -1;
  int point = -1;
};

int connectDirect4(Document& doc, std::span<const PointRef> refs, int mode);
int connectDirect8(Document& doc, std::span<const PointRef> refs, int mode);
int connectDirect8L(Document& doc, std::span<const PointRef> refs, int mode);
int connectDirectF(Document& doc, std::span<const PointRef> refs, int mode);

// The script forms without "D" name lines by number: each reference's line number is looked up
// with findLineByNumber, whose result is used as the line index (among the lines of the figure
// being posed, engine/cast.h). False (and nothing to do) when a number is not found.
bool resolveLineNumbers(const Document& doc, std::span<PointRef> refs);

}  // namespace tovala
