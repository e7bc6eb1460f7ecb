#pragma once
// A cast: several figures in one document, as merging a figure's parts file into a document
// that holds the same figure leaves them, and the scope that keeps each figure's whole-document
// passes on its own lines.
//
// A figure's pose program is a line program whose first instruction calls AllInit (the body
// model's line 0 carries one): it resets every point, then poses, guides and outlines the whole
// document. A merged copy brings its own pose program on a line of the same number. The figures:
//   - a document whose pose programs do not repeat a number is one figure of all its lines;
//   - otherwise, walking the lines in index order, a pose program on a line with the same
//     number as the current figure's pose program starts the next figure, at the place in the
//     copy where the current figure started (the copy's first line, when that line has the
//     current figure's first line's number; else the pose program's own line). The last figure
//     runs to the end, so lines added afterwards belong to it.
// Figures are counted from 1 in index order wherever the user sees them.
//
// While a figure's programs run, the whole-document passes (AllInit, TPMoveAll, TPRotAll,
// MacroMove, MacroRot and their ...Sel forms, MakeAtariAll, MakeCLineAll, MakeOLineAll,
// ConnectOLineAll, FaceMoveAll, the joins that name lines by number) see only that figure's
// lines (passLines), so the next figure's passes cannot undo what this figure's joins did.
// Outside such a scope they see every line, exactly as without a cast.

#include <cstdint>
#include <vector>

namespace tovala {

class Document;
struct CodeEntry;

// Real lines first .. end - 1.
struct LineSpan {
  int first = 0;
  int end = 0;
  bool contains(int line) const { return line >= first && line < end; }
  bool operator==(const LineSpan&) const = default;
};

// Whether a line program is a figure's pose program (its first instruction calls AllInit).
bool isFigurePoseProgram(const std::vector<CodeEntry>& code);

// The document's figures in index order, into `out` (cleared first; reusing it allocates
// nothing once it has held as many). Always at least one span; one of every real line unless
// the document is a cast. A document without real lines gives one empty span.
void findFigures(const Document& doc, std::vector<LineSpan>& out);
std::vector<LineSpan> findFigures(const Document& doc);

// The index into `figures` of the figure holding `line`, or -1.
int figureOfLine(const std::vector<LineSpan>& figures, int line);

// The figure the selection names: the one holding the selected line (curLine), else the first.
int selectedFigure(const Document& doc, const std::vector<LineSpan>& figures);

// The real lines a whole-document pass visits now: the scoped figure's (clamped to the real
// lines) inside a PassScope for this document on this thread, else every real line.
LineSpan passLines(const Document& doc);

// True only inside a PassScope for `doc` when `line` lies outside the scoped figure: the
// operations on the selected joint leave it to the programs of the figure that holds it.
bool outsidePass(const Document& doc, int line);

// The first line in passLines(doc) whose number is `number`, or -1: the by-number look-ups of
// the whole-document passes, so a figure's passes reach its own lines of that number.
int findLineInPass(const Document& doc, int32_t number);

// Scopes the whole-document passes on `doc` to `lines` for this thread until destroyed (the
// previous scope comes back then). Each thread keeps its own, so figures posed on several
// threads, each on its own document, do not see each other's scopes.
class PassScope {
 public:
  PassScope(const Document& doc, LineSpan lines);
  ~PassScope();
  PassScope(const PassScope&) = delete;
  PassScope& operator=(const PassScope&) = delete;

 private:
  const Document* previousDoc_;
  LineSpan previousLines_;
};

}  // namespace tovala
