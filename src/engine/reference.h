#pragma once
// The reference pose and the operations that move or scale the whole model: setting and
// restoring the reference positions of a range of lines, checking that every line has one,
// translating every line, the origin command and the model scale.
//
// A line range names its first and last line; a negative bound counts from the end (-1 is the
// last real line), so 0 .. -1 is every line.

namespace tovala {

class Document;

inline constexpr float kMinModelScale = 0.01f;
inline constexpr float kMaxModelScale = 100.0f;

// Every point of the lines (sentinel points included): reference := position, movement and
// rotation := 0, axis tips := reference + model scale along X, Y and Z. 1 done, -1 bad range.
// While the whole figure is moved or turned (VextX .. RadZ not 0) the reference of a real point
// is its position with that movement and rotation taken out (the inverse of MacroMove and
// MacroRot), so that the motion preparation, which applies them to the reference, shows the
// point where it is now; the whole-figure values themselves stay.
int setReference(Document& doc, int first, int last);

// Every point of the lines: position := reference, axis tips rebuilt from it; movement and
// rotation := 0 unless `keepMotion`. 1 done, -1 bad range.
int restoreReference(Document& doc, int first, int last, bool keepMotion);

// 1 when every line of the range has a real point whose reference is not (0, 0, 0), -1 when
// some line has none (a line without real points fails), 0 for a bad range.
int checkReference(Document& doc, int first, int last);

// Moves the real points of every line (with their axis tips) by (dx, dy, dz).
void translateAll(Document& doc, float dx, float dy, float dz);

// Scale back to 1 when scaled, clear the whole-model movement, and move the figure so that the
// first point of line 0 sits on its reference. -1 in motion mode, with no lines, or when line 0
// has no point.
int moveToOrigin(Document& doc);

// Scales every real point (and joint axis tip) about the view origin by new / current scale and
// stores the new scale. -1 unless 0.01 <= scale <= 100.
int setModelScale(Document& doc, float scale);

// Back to the reference pose: whole-model movement and rotation 0, model scale 1, every point
// on its reference with its movement and rotation cleared.
void resetToReferencePose(Document& doc);

}  // namespace tovala
