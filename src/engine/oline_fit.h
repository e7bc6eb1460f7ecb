#pragma once
// "線自動": the decorative-line panel's automatic fit. Every real point of the selected line
// gets a run for the panel's method computed from where the point is now, so that placing the
// line again keeps its points where they were drawn (exactly for the polar and 3-D methods;
// the offset method snaps each point to the distance from its nearest reference point).

namespace tovala {

class Document;
struct OLineWork;

// Fits line `line` for the working list's method and references: method 0 takes the reference
// line from entry 1 and the sign point from entry 2; method 1 the reference, direction and sign
// points from entries 1 to 3 and the exponents from entries 7 and 11; method 2 the reference
// joint from entry 1. Each point's run (keys 150 .. 179) is replaced. Returns the number of
// points written, or -1 when the line or a reference is invalid, the list is too short, the
// method is 3, or the reference frame is degenerate (nothing changed).
int fitOLine(Document& doc, int line, const OLineWork& work);

}  // namespace tovala
