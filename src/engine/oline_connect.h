#pragma once
// Connections of decorative lines: the two-point connection line ("2点接続線", line key 100 =
// 181), whose points are placed between a start and an end like a connecting line's, and the
// connection groups of single points (run from key 180), which snap a point to a connection
// point when a path test holds.
//
// A point's groups are its entries of key 181, in order. A group starts at sub 11 (snap to a
// point: line, point, axis) or sub 12 (snap onto a line: line, first, last; "円形補接続");
// the entries up to the next start are its conditions:
//   101  line, start, end: the path from the point to its target must not cross that polyline
//   102  the same packing: the path must cross it
//   110  direction reference (line, point, axis): with it the target and this point define a
//        direction D→T used by the entries below
//   111  same-side point: the point must lie on the same side of D→T as this one
//   112  opposite-side point: the point must lie on the other side
//   120 / 121  minimum / maximum x-y distance from the point to its target (unscaled)
//   122 / 123  minimum / maximum sine of the turn from D→T to T→point
// Of the crossing tests 101 and 102 the last one in the group decides (go on when it fails,
// even if an earlier one passed); every other condition must hold as well. A group without
// conditions always snaps. A group with at most one crossing test therefore snaps exactly when
// all its conditions hold. The first group that snaps moves the point and ends its run.
// Conditions that need a direction reference are not tested without one.

#include <cstdint>

#include "engine/guide_geometry.h"

namespace tovala {

class Document;

// Condition and group subs of key-181 entries.
inline constexpr int32_t kConnectToPoint = 11;
inline constexpr int32_t kConnectToLine = 12;
inline constexpr int32_t kMustNotCross = 101;
inline constexpr int32_t kMustCross = 102;
inline constexpr int32_t kDirectionRef = 110;
inline constexpr int32_t kSameSidePoint = 111;
inline constexpr int32_t kOppositeSidePoint = 112;
inline constexpr int32_t kMinDistance = 120;
inline constexpr int32_t kMaxDistance = 121;
inline constexpr int32_t kMinSine = 122;
inline constexpr int32_t kMaxSine = 123;

// Places line `line`'s connections. 1 done; -1 when the line is not a decorative line, has no
// key-100 entry, or is a two-point line whose three line entries are not 101, 102, 103 in
// order after the key-100 entry, or name invalid points.
int ConnectOLine(Document& doc, int line);
// ConnectOLine on every line of mode 101, in index order; returns 0.
int ConnectOLineAll(Document& doc);

// Whether the x-y segment a→b properly crosses the polyline of line `polyline` between points
// `first` and `last` (segments first→first+1 up to last, never past the last real point).
// Touching at an end does not count, so a path ending on the polyline does not cross it.
bool crossesPolyline(const Document& doc, const DVec3& a, const DVec3& b, int polyline, int first,
                     int last);

// The point of line `polyline` between points `first` and `last` nearest to `p` in x and y (z
// interpolated along the segment). False when the line or `first` is not valid.
bool nearestOnPolyline(const Document& doc, const DVec3& p, int polyline, int first, int last,
                       DVec3& out);

}  // namespace tovala
