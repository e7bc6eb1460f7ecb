#pragma once
// Structural edits of the model: appending, inserting and deleting lines (keeping lineOrder in
// step) and adding, deleting and placing points. Every array keeps its trailing sentinel: a new
// line is the former sentinel line, a new point the former sentinel point.
//
// Results follow the engine's convention: an index or 1 when done, a negative code when
// refused, and nothing changes when an operation refuses.

#include "engine/edit_modes.h"

namespace tovala {

class Document;
struct LineRecord;

// The sentinel line becomes a new line (a copy of `templateLine` when given) and a fresh default
// line the new sentinel; lineOrder gains the new index. The new line becomes the selected line.
// Returns its index.
int appendLine(Document& doc, const LineRecord* templateLine = nullptr);

// A fresh line (or a copy of `templateLine`) at `slot`, the lines from there on shifted up; a
// slot beyond the last line appends. lineOrder gains one entry: `slot` when no entry holds it,
// else the new last slot index. Returns the slot, or -1 for a negative slot.
int insertLine(Document& doc, int slot, const LineRecord* templateLine = nullptr);

// Deletes line `index` (an invalid index means the selected line). Returns the deleted index;
// -1 in motion mode or when the document has no line, -2 when no valid line is named. A
// lineOrder without an entry for the line is reported with a message and repaired.
int deleteLine(Document& doc, int index);

// Grows line `line` by one point: the former sentinel becomes a real point and a new sentinel
// follows it. Returns the new point's index, or -1 for an invalid line.
int addPoint(Document& doc, int line);

// Deletes point `index` of the selected line (-1: the selected point; an invalid index means
// the last real point, which becomes the selected point). Returns the deleted index; -1 in
// motion mode or without a valid selected line, -2 when the line has fewer than two real points.
int deletePoint(Document& doc, int index);

// Places point `point` of `line` (a negative index counts from the end: -2 is the last real
// point) at (x, y, z) as a normal point (kind 0, mode 0) and selects it. 1 done, -1 refused.
int setPoint(Document& doc, int line, int point, float x, float y, float z);

}  // namespace tovala
