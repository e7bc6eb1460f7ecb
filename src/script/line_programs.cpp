#include "script/line_programs.h"

#include <atomic>

#include "engine/motion_run.h"
#include "model/document.h"
#include "script/pass_memo.h"
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
  // Reused from step to step; a step's programs never start another step.
  thread_local PassMemo memo;
  memo.reset();
  auto runLine = [&](int index) {
    if (!doc.isValidLine(index)) return;
    const CodeList& code = doc.lines[size_t(index)].code;
    if (code.size() < size_t(kShortestProgram)) return;
    if (memo.replay(doc, code)) return;
    // run() works on its own copy, so the program may change the model freely.
    const int result = engine.run(code);
    if (result < 0 && engine.lastStop() != script::RunStop::None) ++failures;
    // `code` may be gone: the program can have changed the lines.
    memo.ran(doc, engine.lastProgram(), result == 1);
  };

  if (doc.isValidPick(line, point) == 1 &&
      doc.lines[size_t(line)].points[size_t(point)].kind == kJointPointKind) {
    runLine(line);
    return failures;
  }
  memo.arm(doc);
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
