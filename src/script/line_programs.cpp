#include "script/line_programs.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <vector>

#include "engine/cast.h"
#include "engine/motion_run.h"
#include "model/document.h"
#include "script/script_engine.h"

namespace tovala {
namespace {

constexpr int kShortestProgram = 3;  // start marker, one instruction, end marker

// One per process, like the runner itself; atomic for the same reason (engine/motion_run.cpp).
std::atomic<uint64_t> gMotionBudget = script::kInstructionBudget;

void motionRunner(Document& doc, int line, int point) {
  runLinePrograms(doc, line, point, gMotionBudget.load(std::memory_order_relaxed));
}

}  // namespace

int runLinePrograms(Document& doc, int line, int point, uint64_t budget) {
  ScriptEngine engine(doc);
  engine.setInstructionBudget(budget);
  int failures = 0;
  // Reused from step to step, so a step allocates nothing for it.
  thread_local std::vector<LineSpan> figures;
  findFigures(doc, figures);
  const bool cast = figures.size() > 1;
  auto runLine = [&](int index) {
    if (!doc.isValidLine(index)) return;
    const CodeList& code = doc.lines[size_t(index)].code;
    if (code.size() < size_t(kShortestProgram)) return;
    // A figure of a cast runs its program as if it were alone: its whole-document passes stay
    // on its own lines, so they neither reset another figure's joined outline nor pose it.
    std::optional<PassScope> scope;
    if (cast) scope.emplace(doc, figures[size_t(std::max(figureOfLine(figures, index), 0))]);
    // run() works on its own copy, so the program may change the model freely.
    const int result = engine.run(code);
    if (result < 0 && engine.lastStop() != script::RunStop::None) ++failures;
  };

  if (doc.isValidPick(line, point) == 1 &&
      doc.lines[size_t(line)].points[size_t(point)].kind == kJointPointKind) {
    runLine(line);
    return failures;
  }
  // Positions 0 .. lineCount - 2 of lineOrder; an order entry that names no line is skipped.
  for (int pos = 0; pos < doc.lineCount() - 1 && size_t(pos) < doc.lineOrder.size(); ++pos) {
    runLine(doc.lineOrder[size_t(pos)]);
  }
  return failures;
}

int runLinePrograms(Document& doc) { return runLinePrograms(doc, doc.curLine, doc.curPoint); }

void installScriptHooks(uint64_t budget) {
  gMotionBudget.store(budget, std::memory_order_relaxed);
  setLineProgramRunner(&motionRunner);
}

}  // namespace tovala
