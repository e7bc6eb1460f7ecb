#include "engine/cast.h"

#include <algorithm>

#include "model/document.h"

namespace tovala {
namespace {

// The byte code's instruction records and the call of AllInit among them (script/bytecode.h,
// macro slot 1); the engine sits below the script layer, so the two words are repeated here.
constexpr uint8_t kInstructionFlag = 0x20;
constexpr uint32_t kAllInitCall = 0x02020001;

thread_local const Document* tScopedDoc = nullptr;
thread_local LineSpan tScopedLines;

int realLines(const Document& doc) { return std::max(doc.lineCount() - 1, 0); }

}  // namespace

bool isFigurePoseProgram(const std::vector<CodeEntry>& code) {
  // Past the start marker, the first instruction decides; punctuation has no meaning at run time.
  for (size_t i = 1; i + 1 < code.size(); ++i) {
    if (uint8_t(code[i].flag) != kInstructionFlag) continue;
    return code[i].code == kAllInitCall;
  }
  return false;
}

void findFigures(const Document& doc, std::vector<LineSpan>& out) {
  out.clear();
  const int lines = realLines(doc);
  int start = 0, root = -1;
  for (int l = 0; l < lines; ++l) {
    if (!isFigurePoseProgram(doc.lines[size_t(l)].code)) continue;
    if (root < 0) {
      root = l;
      continue;
    }
    if (doc.lines[size_t(l)].nam != doc.lines[size_t(root)].nam) continue;
    // A copy: it starts as far before its pose program as the current figure does before its own.
    const int copyStart = l - (root - start);
    const bool sameStart =
        copyStart > root && doc.lines[size_t(copyStart)].nam == doc.lines[size_t(start)].nam;
    const int next = sameStart ? copyStart : l;
    out.push_back({start, next});
    start = next;
    root = l;
  }
  out.push_back({start, lines});
}

std::vector<LineSpan> findFigures(const Document& doc) {
  std::vector<LineSpan> out;
  findFigures(doc, out);
  return out;
}

int figureOfLine(const std::vector<LineSpan>& figures, int line) {
  // Spans are in order and adjoin: the last one starting at or before the line.
  const auto after = std::upper_bound(figures.begin(), figures.end(), line,
                                      [](int l, const LineSpan& s) { return l < s.first; });
  if (after == figures.begin()) return -1;
  const int index = int(after - figures.begin()) - 1;
  return figures[size_t(index)].contains(line) ? index : -1;
}

int selectedFigure(const Document& doc, const std::vector<LineSpan>& figures) {
  return std::max(figureOfLine(figures, doc.curLine), 0);
}

LineSpan passLines(const Document& doc) {
  const int lines = realLines(doc);
  if (tScopedDoc != &doc) return {0, lines};
  return {std::min(tScopedLines.first, lines), std::min(tScopedLines.end, lines)};
}

bool outsidePass(const Document& doc, int line) {
  return tScopedDoc == &doc && !passLines(doc).contains(line);
}

int findLineInPass(const Document& doc, int32_t number) {
  if (tScopedDoc != &doc) return doc.findLineByNumber(number);
  // As findLineByNumber: the place in lineOrder of the first line with that number (it serves
  // as the line's index), but only lines of the scoped figure count.
  const LineSpan scope = passLines(doc);
  for (size_t pos = 0; pos < doc.lineOrder.size(); ++pos) {
    const int32_t index = doc.lineOrder[pos];
    if (index < 0 || index >= doc.lineCount()) return -1;
    if (scope.contains(index) && doc.lines[size_t(index)].nam == number) return int(pos);
  }
  return -1;
}

PassScope::PassScope(const Document& doc, LineSpan lines)
    : previousDoc_(tScopedDoc), previousLines_(tScopedLines) {
  tScopedDoc = &doc;
  tScopedLines = lines;
}

PassScope::~PassScope() {
  tScopedDoc = previousDoc_;
  tScopedLines = previousLines_;
}

}  // namespace tovala
