// The virtual machine's quick path. A statement position that runs a second time is decoded
// once into a FastStatement; later runs of it execute the decoded form, in this run and in later
// runs of the same program (begin() keeps them). Line and point fields are decoded to their
// place in the record; their line and point are looked up in the model on every run. The
// decoder walks the records exactly as the interpreter does (evalExpression, evalCondition,
// dispatch) but emits operations instead of values; it gives up (Generic) on anything outside the
// plain forms, so every program gives the same reads, writes, values and messages on either path.

#include <algorithm>
#include <bit>

#include "model/document.h"
#include "script/builtins.h"
#include "script/record_access.h"
#include "script/script_engine.h"
#include "script/script_messages.h"
#include "script/vm_ops.h"

namespace tovala::script {
namespace {

constexpr uint32_t kDecodedBit = 0x80000000u;
constexpr uint32_t kDecodeAfter = 2;  // runs of a position before it is decoded
constexpr int kMaxDecodeDepth = 64;

bool isCompare(uint32_t code) { return code >= kCodeEq && code <= kCodeNe; }

}  // namespace

// The main loop. A statement decoded into one of the quick forms starts a chain: decoded
// statements run one after another, each counted against the budget as the main loop counts it,
// until the program reaches a record the chain cannot take (an end marker, a statement not yet
// decoded or left to the interpreter), where the main loop takes over again.
void ScriptEngine::runFast() {
  while (running()) {
    if (!countInstruction()) break;
    uint32_t j = pc_;
    while (j < count_ && uint8_t(prog_[j].flag) != kFlagInstruction) ++j;
    if (j < count_) {
      uint32_t& slot = slots_[j];
      if (slot & kDecodedBit) {
        const uint32_t index = slot & ~kDecodedBit;
        if (pool_[index].kind != FastKind::Generic) {
          if (!runChain(index)) break;
          continue;
        }
      } else if (++slot == kDecodeAfter) {
        FastStatement f = decodeStatement(j);
        specialise(f);
        pool_.push_back(f);
        slot = kDecodedBit | uint32_t(pool_.size() - 1);
      }
    }
    if (!step()) break;
  }
}

int ScriptEngine::decodedStatements() const {
  return int(std::count_if(pool_.begin(), pool_.end(),
                           [](const FastStatement& f) { return f.kind != FastKind::Generic; }));
}

// --- decoding ----------------------------------------------------------------------------------

bool ScriptEngine::decodeOperand(uint32_t i, FastOperand& out) const {
  if (i >= count_) return false;
  const CodeEntry& e = prog_[i];
  const uint8_t flag = uint8_t(e.flag);
  out = FastOperand{};
  out.flag = flag;
  out.code = e.code;
  if (flag == kFlagNumber) return true;
  if (!isVariableFlag(flag)) return false;
  if (flag == kFlagLocal && !(e.code & kLocalIndirect) &&
      (e.code & 0x7FFF) < uint32_t(localCount_)) {
    out.kind = FastOperand::Local;
    out.code = e.code & 0x7FFF;
  } else if (flag == kFlagLineVar || flag == kFlagPointVar) {
    out.kind = FastOperand::Field;
    out.slot = fieldSlotOf(flag, e.code);
  } else {
    out.kind = FastOperand::Variable;
  }
  return true;
}

FastStatement ScriptEngine::decodeStatement(uint32_t j) {
  FastStatement f;
  const uint32_t code = prog_[j].code;
  if (codeGroup(code) == kGroupOperator && codeIndex(code) <= 5) {
    // dispatch(): the operands, then the record after them is the target.
    const uint32_t op = codeIndex(code);
    const uint32_t targetAt = j + (op == 0 ? 2 : 3);
    if (!decodeOperand(j + 1, f.a) || (op != 0 && !decodeOperand(j + 2, f.b))) return f;
    if (targetAt >= count_) return f;
    if (!decodeOperand(targetAt, f.target)) {
      // A target that is no variable is written nowhere; keep it with the interpreter.
      return f;
    }
    f.kind = FastKind::Assign;
    f.op = op;
    f.next = targetAt + 1;
  } else if (code == kCodeHead) {
    // evalCondition(): one comparison, any number of "!" before the jump record.
    if (j + 3 >= count_ || uint8_t(prog_[j + 1].flag) != kFlagInstruction ||
        !isCompare(prog_[j + 1].code) || !decodeOperand(j + 2, f.a) || !decodeOperand(j + 3, f.b)) {
      return f;
    }
    uint32_t i = j + 4;
    bool negate = false;
    for (; i < count_ && isInstruction(prog_[i], kCodeNot); ++i) negate = !negate;
    if (i + 1 >= count_ || !isInstruction(prog_[i], kCodeJump)) return f;
    f.kind = FastKind::Head;
    f.op = prog_[j + 1].code;
    f.negate = negate;
    f.jump = prog_[i + 1].code;
    f.next = i + 2;
  } else if (code == kCodeJump) {
    if (j + 1 >= count_) return f;
    f.kind = FastKind::Jump;
    f.jump = prog_[j + 1].code;
  } else if (code == kCodeCalc) {
    if (j + 1 >= count_ || !decodeOperand(j + 1, f.target)) return f;
    const size_t begin = rpn_.size();
    ExprDecode d{j + 2};
    if (!decodeExpression(d, 0) || d.most > kRpnStack || d.stack != 1 ||
        !isInstruction(at(d.p), kCodeCalc)) {
      rpn_.resize(begin);
      return f;
    }
    f.kind = FastKind::Calc;
    f.rpnBegin = uint32_t(begin);
    f.rpnEnd = uint32_t(rpn_.size());
    f.next = d.p + 1;
  }
  return f;
}

void ScriptEngine::emitRpn(ExprDecode& d, RpnOp op, int effect) {
  rpn_.push_back(op);
  d.stack += effect;
  d.most = std::max(d.most, d.stack);
}

// One operator loop of evalExpression: while the record is one of `ops`, its right operand
// (decoded at `operandLevel`) and then the operation.
bool ScriptEngine::decodeOperators(ExprDecode& d, int operandLevel,
                                   std::initializer_list<std::pair<uint32_t, RpnOp::Code>> ops) {
  for (;;) {
    const CodeEntry& e = at(d.p);
    if (uint8_t(e.flag) != kFlagInstruction) return true;
    const auto op =
        std::find_if(ops.begin(), ops.end(), [&](auto& o) { return o.first == e.code; });
    if (op == ops.end()) return true;
    ++d.p;
    if (!decodeExpression(d, operandLevel)) return false;
    emitRpn(d, RpnOp{op->second, 0, {}}, -1);
  }
}

// evalExpression(level) without the values: d.p moves as the interpreter's counter would,
// d.stack follows how many values the emitted operations hold.
bool ScriptEngine::decodeExpression(ExprDecode& d, int level) {
  if (++d.depth > kMaxDecodeDepth || !decodePrimary(d)) return false;
  if (level != 2 &&
      !decodeOperators(d, 2,
                       {{kCodeMul, RpnOp::Mul}, {kCodeDiv, RpnOp::Div}, {kCodeRem, RpnOp::Rem}})) {
    return false;
  }
  if (level == 0) {
    if (!decodeOperators(d, 1, {{kCodeAdd, RpnOp::Add}, {kCodeSub, RpnOp::Sub}})) return false;
    if (isInstruction(at(d.p), kCodeClose)) ++d.p;
  }
  --d.depth;
  return true;
}

bool ScriptEngine::decodePrimary(ExprDecode& d) {
  const CodeEntry& e = at(d.p);
  if (uint8_t(e.flag) != kFlagInstruction) {
    RpnOp push;
    if (!decodeOperand(d.p, push.operand)) return false;  // data records stay with the interpreter
    ++d.p;
    emitRpn(d, push, 1);
    return true;
  }
  if (e.code == kCodeCalc) {
    emitRpn(d, RpnOp{}, 1);  // the empty expression: 0
    return true;
  }
  if (e.code == kCodeOpen) {
    ++d.p;
    return decodeExpression(d, 0);
  }
  if (codeGroup(e.code) == kGroupBuiltin) {
    const uint32_t index = codeIndex(e.code);
    const int argc = builtinArgCount(index);
    if (argc == 1) {
      ++d.p;
      if (!decodeExpression(d, 2)) return false;
      emitRpn(d, RpnOp{RpnOp::Builtin1, index, {}}, 0);
      return true;
    }
    if (argc == 2) {
      ++d.p;
      if (!decodeExpression(d, 0) || !decodeExpression(d, 0)) return false;
      emitRpn(d, RpnOp{RpnOp::Builtin2, index, {}}, -1);
      return true;
    }
  }
  if (e.code == kCodeSub || e.code == kCodeAdd) {
    const bool negative = e.code == kCodeSub;
    ++d.p;
    if (!decodeExpression(d, 2)) return false;
    if (negative) emitRpn(d, RpnOp{RpnOp::Neg, 0, {}}, 0);
    return true;
  }
  return false;  // calls through dispatch (macros, assignment forms) stay with the interpreter
}

// The quick form of a decoded statement: locals and numbers alone get their own forms.
void ScriptEngine::specialise(FastStatement& f) {
  const auto local = [](const FastOperand& o) { return o.kind == FastOperand::Local; };
  const auto number = [](const FastOperand& o) { return o.kind == FastOperand::Number; };
  switch (f.kind) {
    case FastKind::Generic: f.exec = FastOp::Generic; return;
    case FastKind::Jump: f.exec = FastOp::Jump; return;
    case FastKind::Calc: f.exec = FastOp::Calc; return;
    case FastKind::Head:
      f.exec = FastOp::Head;
      if (!local(f.a) || !(local(f.b) || number(f.b))) return;
      f.x = f.a.code;
      f.y = f.b.code;
      f.k = std::bit_cast<float>(f.b.code);
      f.mask = compareMask(f.op, f.negate);
      f.exec = local(f.b) ? FastOp::HeadLocals : FastOp::HeadNumber;
      return;
    case FastKind::Assign: break;
  }
  f.exec = FastOp::Assign;
  if (!local(f.target)) return;
  f.t = f.target.code;
  if (f.op == 0) {
    if (local(f.a)) {
      f.exec = FastOp::SetLocal;
      f.x = f.a.code;
    } else if (number(f.a)) {
      f.exec = FastOp::SetNumber;
      f.k = std::bit_cast<float>(f.a.code);
    }
    return;
  }
  if (f.op > 3 || !local(f.a) || !(local(f.b) || number(f.b))) return;
  static constexpr FastOp kLocals[] = {FastOp::AddLocals, FastOp::SubLocals, FastOp::MulLocals};
  static constexpr FastOp kNumber[] = {FastOp::AddNumber, FastOp::SubNumber, FastOp::MulNumber};
  f.exec = local(f.b) ? kLocals[f.op - 1] : kNumber[f.op - 1];
  f.x = f.a.code;
  f.y = f.b.code;
  f.k = std::bit_cast<float>(f.b.code);
}

// What the main loop would run with its counter at `pc`: the pool index of a decoded statement
// in a quick form; kNeverLinks when it would end the run, report an error or hand the statement
// to the interpreter (none of which changes later); kUnlinked when that statement is not decoded
// yet.
int32_t ScriptEngine::linkTo(uint32_t pc) const {
  if (pc >= count_ || uint8_t(prog_[pc].flag) == kFlagMarker) return kNeverLinks;
  uint32_t j = pc;
  while (j < count_ && uint8_t(prog_[j].flag) != kFlagInstruction) ++j;
  if (j >= count_) return kNeverLinks;
  const uint32_t slot = slots_[j];
  if (!(slot & kDecodedBit)) return kUnlinked;
  const uint32_t index = slot & ~kDecodedBit;
  return pool_[index].kind == FastKind::Generic ? kNeverLinks : int32_t(index);
}

// --- execution -------------------------------------------------------------------------------

[[gnu::always_inline]] inline float ScriptEngine::readFast(const FastOperand& o) {
  if (o.kind == FastOperand::Number) return std::bit_cast<float>(o.code);
  if (o.kind == FastOperand::Local) return locals_[o.code];
  if (o.kind == FastOperand::Field) {
    if (void* record = fieldRecord(o.flag, o.code)) return readField(o.slot, record);
    stop(RunStop::BadAccess, msg::kGetValue);
    return 0.0f;
  }
  bool ok = true;
  const float v = readVariable(o.flag, o.code, ok);
  if (!ok) stop(RunStop::BadAccess, msg::kGetValue);
  return v;
}

[[gnu::always_inline]] inline bool ScriptEngine::writeFast(const FastOperand& o, float value) {
  if (o.kind == FastOperand::Local) {
    locals_[o.code] = value;
    return true;
  }
  if (o.kind == FastOperand::Number) return true;  // a number as target stores nothing
  if (o.kind == FastOperand::Field) {
    if (void* record = fieldRecord(o.flag, o.code)) {
      writeField(o.slot, record, value);
      return true;
    }
  } else if (writeVariable(o.flag, o.code, value) >= 0) {
    return true;
  }
  stop(RunStop::BadAccess, msg::kSetValue);
  return false;
}

// A link that leads to a decoded jump leads on to where the jump goes, when that is a decoded
// statement too: one step less for the chain, two statements for the budget.
void ScriptEngine::foldJump(int32_t& link, uint8_t& cost) {
  FastStatement& jump = pool_[uint32_t(link)];
  if (jump.exec != FastOp::Jump) return;
  if (jump.jumpLink == kUnlinked) jump.jumpLink = linkTo(jump.jump);
  if (jump.jumpLink < 0 || pool_[uint32_t(jump.jumpLink)].exec == FastOp::Jump) return;
  jump.jumpCost = 1;
  link = jump.jumpLink;
  cost = 2;
}

// Runs decoded statements from pool_[index] on; false when the run has stopped.
bool ScriptEngine::runChain(uint32_t index) {
  float* const loc = locals_.data();
  FastStatement* f = &pool_[index];
  // The count stays in a register; nothing the chain calls reads it.
  uint64_t executed = executed_;
  const uint64_t budget = budget_;
  const auto leave = [&](bool running) {
    executed_ = executed;
    return running;
  };
  for (;;) {
    bool holds = true;  // Head: the condition; Jump: false, so the jump is taken
    switch (f->exec) {
      case FastOp::SetLocal: loc[f->t] = loc[f->x]; break;
      case FastOp::SetNumber: loc[f->t] = f->k; break;
      case FastOp::AddLocals: loc[f->t] = loc[f->x] + loc[f->y]; break;
      case FastOp::AddNumber: loc[f->t] = loc[f->x] + f->k; break;
      case FastOp::SubLocals: loc[f->t] = loc[f->x] - loc[f->y]; break;
      case FastOp::SubNumber: loc[f->t] = loc[f->x] - f->k; break;
      case FastOp::MulLocals: loc[f->t] = loc[f->x] * loc[f->y]; break;
      case FastOp::MulNumber: loc[f->t] = loc[f->x] * f->k; break;
      case FastOp::HeadLocals: holds = compareByMask(f->mask, loc[f->x], loc[f->y]); break;
      case FastOp::HeadNumber: holds = compareByMask(f->mask, loc[f->x], f->k); break;
      case FastOp::Jump: holds = false; break;
      case FastOp::Assign: {
        const float a = readFast(f->a);
        const float b = f->op == 0 ? 0.0f : readFast(f->b);
        if (stop_ != RunStop::None) return leave(false);
        if (!writeFast(f->target, assignmentValue(f->op, a, b))) return leave(false);
        break;
      }
      case FastOp::Head: {
        const float a = readFast(f->a);
        const float b = readFast(f->b);
        if (stop_ != RunStop::None) return leave(false);
        holds = compare(f->op, a, b) != f->negate;
        break;
      }
      case FastOp::Calc: {
        const float value = evalRpn(f->rpnBegin, f->rpnEnd);
        if (stop_ != RunStop::None) return leave(false);
        if (!writeFast(f->target, value)) return leave(false);
        break;
      }
      case FastOp::Generic:  // chains never start at or link to one
        stop(RunStop::Analyze, msg::kAnalyze);
        return leave(false);
    }
    const uint32_t pc = holds ? f->next : f->jump;
    int32_t& link = holds ? f->nextLink : f->jumpLink;
    if (link == kUnlinked) {
      link = linkTo(pc);
      if (link >= 0) {
        (holds ? f->nextCost : f->jumpCost) = 1;
        foldJump(link, holds ? f->nextCost : f->jumpCost);
      }
    }
    if (link < 0) {
      pc_ = pc;
      return leave(true);
    }
    executed += holds ? f->nextCost : f->jumpCost;
    if (executed > budget) {
      // The statement the interpreter stops at is the first one past the budget.
      executed_ = budget + 1;
      pc_ = pc;
      stopForBudget();
      return false;
    }
    f = &pool_[uint32_t(link)];
  }
}

float ScriptEngine::evalRpn(uint32_t begin, uint32_t end) {
  float stack[kRpnStack];
  int top = 0;
  for (uint32_t i = begin; i < end; ++i) {
    const RpnOp& op = rpn_[i];
    switch (op.code) {
      case RpnOp::Push: stack[top++] = readFast(op.operand); break;
      case RpnOp::Add: --top, stack[top - 1] += stack[top]; break;
      case RpnOp::Sub: --top, stack[top - 1] -= stack[top]; break;
      case RpnOp::Mul: --top, stack[top - 1] *= stack[top]; break;
      case RpnOp::Div: --top, stack[top - 1] = expressionDivide(stack[top - 1], stack[top]); break;
      case RpnOp::Rem:
        --top, stack[top - 1] = expressionRemainder(stack[top - 1], stack[top]);
        break;
      case RpnOp::Neg: stack[top - 1] = -stack[top - 1]; break;
      case RpnOp::Builtin1:
        // After a failed read nothing more may happen (rand keeps its place in the sequence).
        stack[top - 1] =
            stop_ == RunStop::None ? callBuiltinRoutine(op.builtin, stack[top - 1], 0.0f) : 0.0f;
        break;
      case RpnOp::Builtin2:
        --top;
        stack[top - 1] = stop_ == RunStop::None
                             ? callBuiltinRoutine(op.builtin, stack[top - 1], stack[top])
                             : 0.0f;
        break;
    }
  }
  return stack[0];
}

}  // namespace tovala::script
