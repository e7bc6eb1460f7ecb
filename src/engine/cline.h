#pragma once
// Connecting lines (line mode 100, "CLine"): lines whose points are recomputed on every motion
// run from two anchors on other lines, so the stroke follows the joints. The shape is stored
// per point in three views (front XY, top XZ, side YZ) and blended by how a reference joint
// faces the viewer. A line holds up to nine shape blocks; the first whose conditions (bone
// length ratio, start point rotation) hold is used.
//
// Line entries of block b (B = 100·b, sub 0): B start mark; B+1 point base · 65536 + display
// method (0 hit-guided, 1 circle); B+2 start and B+3 end (line · 65536 + point · 256 + anchor);
// B+4 side sign (f32, hit mode) or circle-sign reference (circle mode); B+10; B+11 / B+12 length
// ratio limits; B+13 .. B+18 start point rotation limits (optional).
// Point entries: a run of nine from B+50: the point's index, then eight values, B+51 in hit mode
// (along front, top, side, exponent; across front, top, side, exponent) or B+52 in circle mode
// (radius ..., angle ...).

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/guide_geometry.h"
#include "model/records.h"

namespace tovala {

class Document;

inline constexpr int kCLineMode = 100;
inline constexpr int kCLineBlockCount = 9;
inline constexpr int kCLineHitMethod = 0;
inline constexpr int kCLineCircleMethod = 1;
inline constexpr int kCLineRunValues = 8;
// Anchor 8 ("点座標") names the point's own position; 0..7 name hit-guide anchors (hit mode)
// or axis positions (circle mode).
inline constexpr int kPointAnchor = 8;

// The block a connecting line uses, decoded.
struct CLineBlock {
  int block = 1;            // 1..9
  int32_t base = 100;       // B
  int32_t pointBase = 100;  // base of the point runs (B+50 ...)
  int method = kCLineHitMethod;
  int32_t start = 0, end = 0;  // packed line, point, anchor
  ParamEntry direction;        // B+4 as stored
};

// The first block of the line whose conditions hold, or nothing. A missing block, a block with
// fewer than six entries after its start mark, or an invalid start or end point ends the
// search; only a failed condition moves it on to the next block.
std::optional<CLineBlock> selectCLineBlock(const Document& doc, const LineRecord& line);

// The two ends a block draws between and the weights its views blend with.
struct CLineEnds {
  DVec3 start, end;
  ViewWeights weights;
};
// The ends of `block` as MakeCLine takes them (hit mode: the start point's hit-guide anchors
// when it has a guide; circle mode: axis positions). False when start or end is invalid.
bool clineEnds(const Document& doc, const CLineBlock& block, CLineEnds& out);

// The point run of a block in a point's list: the entry of key pointBase + 50 followed by its
// eight values (keys pointBase + 51 or + 52). nullptr when the point has no complete run.
const ParamEntry* findCLineRun(const ParamList& list, int32_t pointBase);

// The angle factor of circle mode: the start point's hit-guide value 11031, 1 without one.
double clineAngleFactor(const Document& doc, const CLineBlock& block);

// Recomputes connecting line `line`. 1 done; -1 when the line is not a connecting line or no
// block applies (the points stay).
int MakeCLine(Document& doc, int line);
// MakeCLine on every line of mode 100, in index order; returns 0.
int MakeCLineAll(Document& doc);

// The automatic set-up of block `block` used by the editor's connection tools: default line
// entries and, for every real point, a run holding its index and the values 0, 0, 0, 0.5,
// 0, 0, 0, 0.5. Makes the line a connecting line. -1 for a bad line or block.
int setupCLineBlock(Document& doc, int line, int block);

// Makes the kinds of every point run of `block` match its display method (B+51 hit mode, B+52
// circle mode). -1 for a bad line or a missing block.
int forceCLineRunKinds(Document& doc, int line, int block);

}  // namespace tovala
