// The virtual machine's record interpreter: runs a stored program record by record, evaluating
// expressions and conditions directly on the records the compiler emitted. Statements that run
// again are handed to their pre-decoded form (vm_fast.cpp), which gives the same results.
//
// Every read of a record is bounds-checked (past the end reads as an end marker), nesting is
// limited, and a run stops after its instruction budget, so no program - compiled or loaded
// from a file - can read outside its array, overflow the stack or hang the editor.

#include <bit>
#include <cstring>

#include "model/document.h"
#include "platform/ui.h"
#include "script/builtins.h"
#include "script/macros.h"
#include "script/script_engine.h"
#include "script/script_messages.h"
#include "script/vm_ops.h"

namespace tovala::script {
namespace {

// Deepest nesting of expression, condition and call evaluation; far beyond any hand-written
// source, well below what the stack holds.
constexpr int kMaxDepth = 1000;

}  // namespace

bool ScriptEngine::begin(const CodeEntry* code, int count) {
  if (!code || count < 3 || uint8_t(code[0].flag) != kFlagMarker) return false;
  // Run a private copy: a macro may change the model, and with it the array the caller holds.
  // The same program run again (posing runs it on every mouse move) keeps its decoded
  // statements: they depend on the records alone, never on the model.
  const bool same = program_.size() == size_t(count) &&
                    std::memcmp(program_.data(), code, size_t(count) * sizeof(CodeEntry)) == 0;
  if (!same) {
    program_.assign(code, code + count);
    slots_.clear();
    pool_.clear();
    rpn_.clear();
  }
  prog_ = program_.data();
  count_ = uint32_t(count);
  localCount_ = localCountOf(code[0].code);
  locals_.assign(size_t(localCount_), 0.0f);
  if (fastPath_) slots_.resize(size_t(count), 0);
  pc_ = 1;
  depth_ = 0;
  executed_ = 0;
  stop_ = RunStop::None;
  return true;
}

int ScriptEngine::run(const CodeEntry* code, int count) {
  if (!begin(code, count)) return -1;
  if (fastPath_) {
    runFast();
  } else {
    while (running()) {
      if (!countInstruction() || !step()) break;
    }
  }
  return stop_ == RunStop::None ? 1 : -1;
}

void ScriptEngine::stopForBudget() { stop(RunStop::Budget, msg::kBudgetExceeded); }

bool ScriptEngine::countModelWork() {
  uint64_t points = 0;
  for (const LineRecord& line : doc_->lines) points += line.points.size();
  executed_ += points;
  if (executed_ <= budget_) return true;
  stopForBudget();
  return false;
}

void ScriptEngine::stop(RunStop why, const char* text) {
  if (stop_ != RunStop::None) return;
  stop_ = why;
  doc_->ui->message(text, msg::kCaptionError);
}

// Executes the next instruction; false when the run has to end.
bool ScriptEngine::step() {
  while (pc_ < count_ && uint8_t(prog_[pc_].flag) != kFlagInstruction) ++pc_;
  if (pc_ >= count_) {
    stop(RunStop::Analyze, msg::kAnalyze);
    return false;
  }
  switch (prog_[pc_].code) {
    case kCodeHead: {
      ++pc_;
      const int truth = evalCondition(kCodeJump);
      if (stop_ != RunStop::None) return false;
      if (pc_ + 1 >= count_) break;
      pc_ = truth == 0 ? prog_[pc_ + 1].code : pc_ + 2;
      return true;
    }
    case kCodeJump:
      if (pc_ + 1 >= count_) break;
      pc_ = prog_[pc_ + 1].code;
      return true;
    case kCodeCalc: {
      const uint32_t target = pc_ + 1;
      pc_ += 2;
      const float value = evalExpression(0);
      if (stop_ != RunStop::None || target >= count_) break;
      if (writeVariable(uint8_t(prog_[target].flag), prog_[target].code, value) < 0) {
        stop(RunStop::BadAccess, msg::kSetValue);
        return false;
      }
      // Continue behind the closing calc record, even when a malformed expression left
      // records unread.
      while (pc_ < count_ && !isInstruction(prog_[pc_], kCodeCalc)) ++pc_;
      if (pc_ >= count_) break;
      ++pc_;
      return true;
    }
    default: dispatch(); return stop_ == RunStop::None;
  }
  stop(RunStop::Analyze, msg::kAnalyze);
  return false;
}

// An instruction met by the main loop or read as a value: assignment forms store and yield
// their value, calls yield their result, anything else is skipped with no value.
float ScriptEngine::dispatch() {
  if (++depth_ > kMaxDepth) {
    stop(RunStop::Analyze, msg::kAnalyze);
    --depth_;
    return 0.0f;
  }
  const uint32_t code = at(pc_).code;
  const uint32_t index = codeIndex(code);
  float value = 0.0f;
  switch (codeGroup(code)) {
    case kGroupOperator:
      ++pc_;
      if (index > 5) break;
      {
        const float a = getValue();
        const float b = index == 0 ? 0.0f : getValue();
        if (stop_ != RunStop::None) break;
        value = assignmentValue(index, a, b);
        if (pc_ >= count_) {
          stop(RunStop::Analyze, msg::kAnalyze);
          break;
        }
        const CodeEntry& target = prog_[pc_++];
        if (float* local = directLocal(target)) {
          *local = value;
        } else if (writeVariable(uint8_t(target.flag), target.code, value) < 0) {
          stop(RunStop::BadAccess, msg::kSetValue);
        }
      }
      break;
    case kGroupBuiltin: value = callBuiltin(index); break;
    case kGroupMacro: value = callMacro(index); break;
    default: ++pc_; break;
  }
  --depth_;
  return value;
}

float ScriptEngine::callBuiltin(uint32_t index) {
  const int argc = builtinArgCount(index);
  ++pc_;
  float args[2] = {0.0f, 0.0f};
  for (int a = 0; a < argc && stop_ == RunStop::None; ++a) {
    const uint32_t before = pc_;
    const float v = getValue();
    if (pc_ == before) ++pc_;  // every argument takes at least its own record
    if (a < 2) args[a] = v;
  }
  if (argc < 0 || stop_ != RunStop::None) return 0.0f;
  return callBuiltinRoutine(index, args[0], args[1]);
}

float ScriptEngine::callMacro(uint32_t index) {
  const int argc = macroArgCount(index);
  ++pc_;
  if (argc < 0 || stop_ != RunStop::None) return 0.0f;
  if (pc_ + uint32_t(argc) > count_) {
    stop(RunStop::Analyze, msg::kAnalyze);
    return 0.0f;
  }
  const std::span<const CodeEntry> refs(prog_ + pc_, size_t(argc));
  pc_ += uint32_t(argc);
  // A macro without arguments works on the whole model: one instruction would let a loop of
  // them run for minutes within the budget.
  if (argc == 0 && !countModelWork()) return 0.0f;
  return callMacroRoutine(*doc_, index, refs);
}

// The operand at the counter: numbers and variables move the counter by one, instructions are
// dispatched, other records give 0 and leave the counter where it is.
float ScriptEngine::getValue() {
  const CodeEntry& e = at(pc_);
  const uint8_t flag = uint8_t(e.flag);
  if (flag == kFlagNumber) {
    ++pc_;
    return std::bit_cast<float>(e.code);
  }
  if (const float* local = directLocal(e)) {
    ++pc_;
    return *local;
  }
  if (isVariableFlag(flag)) {
    ++pc_;
    bool ok = true;
    const float v = readVariable(flag, e.code, ok);
    if (!ok) stop(RunStop::BadAccess, msg::kGetValue);
    return v;
  }
  if (flag == kFlagInstruction) return dispatch();
  return 0.0f;
}

// expression := term { (+|-) term } [")"] ; term := primary { (*|/|%) primary }
// Level 0 is additive, 1 multiplicative, 2 a primary alone.
float ScriptEngine::evalExpression(int level) {
  if (++depth_ > kMaxDepth) {
    stop(RunStop::Analyze, msg::kAnalyze);
    --depth_;
    return 0.0f;
  }
  float value = evalPrimary();
  if (level != 2) {
    for (;;) {
      const CodeEntry& e = at(pc_);
      if (uint8_t(e.flag) != kFlagInstruction || stop_ != RunStop::None) break;
      if (e.code == kCodeMul) {
        ++pc_;
        value *= evalExpression(2);
      } else if (e.code == kCodeDiv) {
        ++pc_;
        value = expressionDivide(value, evalExpression(2));
      } else if (e.code == kCodeRem) {
        ++pc_;
        value = expressionRemainder(value, evalExpression(2));
      } else {
        break;
      }
    }
  }
  if (level == 0) {
    for (;;) {
      const CodeEntry& e = at(pc_);
      if (uint8_t(e.flag) != kFlagInstruction || stop_ != RunStop::None) break;
      if (e.code == kCodeAdd) {
        ++pc_;
        value += evalExpression(1);
      } else if (e.code == kCodeSub) {
        ++pc_;
        value -= evalExpression(1);
      } else {
        break;
      }
    }
    if (isInstruction(at(pc_), kCodeClose)) ++pc_;
  }
  --depth_;
  return value;
}

float ScriptEngine::evalPrimary() {
  const CodeEntry& e = at(pc_);
  if (uint8_t(e.flag) != kFlagInstruction) return getValue();
  if (e.code == kCodeCalc) return 0.0f;  // empty expression: the closing calc record
  if (e.code == kCodeOpen) {
    ++pc_;
    return evalExpression(0);
  }
  if (codeGroup(e.code) == kGroupBuiltin) {
    const uint32_t index = codeIndex(e.code);
    const int argc = builtinArgCount(index);
    if (argc == 1) {
      // The argument is exactly the parenthesised group behind the function.
      ++pc_;
      const float x = evalExpression(2);
      return stop_ == RunStop::None ? callBuiltinRoutine(index, x, 0.0f) : 0.0f;
    }
    if (argc == 2) {
      // The comma is gone: the first group ends where the second operand starts.
      ++pc_;
      const float x = evalExpression(0);
      const float y = evalExpression(0);
      return stop_ == RunStop::None ? callBuiltinRoutine(index, x, y) : 0.0f;
    }
  }
  // A sign where an operand is expected applies to the primary behind it.
  if (e.code == kCodeSub) {
    ++pc_;
    return -evalExpression(2);
  }
  if (e.code == kCodeAdd) {
    ++pc_;
    return evalExpression(2);
  }
  return getValue();
}

// Conditions have no precedence: connectives apply left to right, and "!" negates the last
// truth value, or the whole result so far once a connective was seen.
int ScriptEngine::evalCondition(uint32_t terminator) {
  if (++depth_ > kMaxDepth) {
    stop(RunStop::Analyze, msg::kAnalyze);
    --depth_;
    return 0;
  }
  int result = 1, truth = 0, connectives = 0;
  uint32_t pending = 0;
  auto combine = [&] {
    if (pending == kCodeAnd)
      result = result && truth;
    else if (pending == kCodeOr)
      result = result || truth;
    else
      result = truth;
    pending = 0;
  };
  while (stop_ == RunStop::None) {
    if (pc_ >= count_) {
      stop(RunStop::Analyze, msg::kAnalyze);
      break;
    }
    const CodeEntry& e = prog_[pc_];
    const uint8_t flag = uint8_t(e.flag);
    if (flag == kFlagInstruction && e.code == terminator) break;
    if (isOperandFlag(flag)) {
      truth = getValue() != 0.0f;
      combine();
    } else if (flag != kFlagInstruction) {
      ++pc_;
    } else if (e.code == kCodeOpen) {
      ++pc_;
      truth = evalCondition(kCodeClose);
      ++pc_;
      combine();
    } else if (e.code >= kCodeEq && e.code <= kCodeNe) {
      const uint32_t op = e.code;
      ++pc_;
      const float a = getValue();
      const float b = getValue();
      truth = compare(op, a, b) ? 1 : 0;
      combine();
    } else if (e.code == kCodeAnd || e.code == kCodeOr) {
      pending = e.code;
      ++connectives;
      ++pc_;
    } else if (e.code == kCodeNot) {
      if (connectives == 0)
        truth = !truth;
      else
        result = !result;
      ++pc_;
    } else {
      ++pc_;
    }
  }
  --depth_;
  return connectives > 0 ? result : truth;
}

}  // namespace tovala::script
