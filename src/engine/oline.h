#pragma once
// Decorative lines (line mode 101, "OLine"): lines whose points are placed relative to points
// of other lines on every motion run: offset from a body line, on polar coordinates around a
// joint, in a joint's local 3-D frame, one step on from the previous point, spread along the
// runs of a reference line, or snapped to a connection point when a path test holds.
//
// The line's entry of key 100 says how the line is placed: 0 point by point (each point's run
// from key 150 names its method 100, 200, 300 or 400), 2 the whole line along a reference
// line, 181 the two-point connection line (ConnectOLine). Connection groups (keys 180, 181)
// are applied by ConnectOLine for the other values.

#include <cstdint>
#include <optional>

#include "engine/guide_geometry.h"
#include "model/records.h"

namespace tovala {

class Document;

inline constexpr int kOLineMode = 101;

// Line entries.
inline constexpr int32_t kOLineMethodKey = 100;
inline constexpr int32_t kOLinePointByPoint = 0;
inline constexpr int32_t kOLineWholeLine = 2;
inline constexpr int32_t kOLineTwoPoint = 181;
inline constexpr int32_t kOLineLineRefKey = 101;  // whole line: reference line; two-point: R
inline constexpr int32_t kOLineCentreKey = 102;   // whole line: centre; two-point: start A
inline constexpr int32_t kOLineThirdKey = 103;    // whole line: distance; two-point: end B

// Point runs.
inline constexpr int32_t kOLineRunKey = 150;  // f: the point's method
inline constexpr int32_t kOffsetMethod = 100;
inline constexpr int32_t kPolarMethod = 200;
inline constexpr int32_t kFrameMethod = 300;
inline constexpr int32_t kStepMethod = 400;
inline constexpr int32_t kOLineConnectKey = 180;
inline constexpr int32_t kOLineGroupKey = 181;

// An entry value that names a method or mode: stored as an integer, but a float holding the
// same whole number (as the property panel may write it) is read the same way.
int32_t methodCode(const ParamEntry& e);

// Places decorative line `line`. 1 done (points whose run is missing, too short or names an
// invalid reference stay); -1 when the line is not a decorative line, has no key-100 entry, or
// the whole-line method fails.
int MakeOLine(Document& doc, int line);
// MakeOLine on every line of mode 101, in index order; returns 0.
int MakeOLineAll(Document& doc);

// Places real point `point` of `line` by its run from key 150. False when it stays.
bool placeOLinePoint(Document& doc, int line, int point);

// The offset method's unit normal at reference `reference` (line, point, axis) with sign point
// `sign`: x-y length the model scale, z the model scale. Nothing when a reference is invalid.
std::optional<DVec3> offsetNormal(const Document& doc, int32_t reference, int32_t sign);

// The polar method's direction: (direction − reference) in x and y scaled to the model scale;
// nothing when the two coincide in x and y.
std::optional<DVec3> polarDirection(const DVec3& reference, const DVec3& direction, double scale);
// `u` turned by angle `a` in the x-y plane, in the sense the polar and circle placements use:
// (cos a·u.x + sin a·u.y, cos a·u.y − sin a·u.x).
DVec3 turnXY(const DVec3& u, double a);

// The whole-line method ("円形補", key 100 = 2). Line entries 101 (the reference line, in the
// high 16 bits), 102 (a centre point with axis) and 103 (a distance, unscaled). The reference
// line is split into runs after its points of mode 2 (points of mode 3 are left out, as the
// stroke leaves them out); decorative point i goes to run i·r/n of the r runs (n points), so
// points are shared out evenly and, with fewer points than runs, spread over them. The c points
// of a run sit at fractions (2k + 1) / 2c of its x-y length (one point: the middle; two: the
// quarters), each pushed away from the centre by the distance. Every decorative point's mode is
// cleared and the last point of each run gets mode 2, so the stroke breaks between runs.
// Returns 1, or -1 when an entry is missing or a reference is invalid.
int placeWholeLine(Document& doc, int line);

}  // namespace tovala
