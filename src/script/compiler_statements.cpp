// The compiler's statement level: the driver, the statement forms, blocks and jumps. Every
// routine starts at the cursor (cur_) and leaves it on the last token it used.

#include "model/document.h"
#include "platform/ui.h"
#include "script/script_engine.h"
#include "script/script_messages.h"

namespace tovala::script {
namespace {

bool isOperand(const Token& t) { return isOperandFlag(t.flag); }
bool isWord(const Token& t, std::string_view word) {
  return t.tokenClass == "loop" && t.text == word;
}

}  // namespace

// program := { ";" | statement } ; the start and end markers frame what compiled.
int ScriptEngine::compile() {
  codeList_.clear();
  blocks_.fill(Block{});
  fixups_.fill(Fixup{});
  blockCount_ = 0;
  fixupCount_ = 0;
  emitRecord(kFlagMarker, 0, "mark", "start");

  int result = 1;
  for (cur_ = 0; cur_ < tokens_.size(); ++cur_) {
    if (tokens_[cur_].tokenClass == ";") continue;
    const size_t mark = codeList_.size();
    if (compileStatement() < 0) {
      // Keep only whole statements: the failing one leaves no half-built records behind.
      codeList_.resize(mark);
      doc_->ui->message(message_, msg::kCaptionError);
      result = -1;
      break;
    }
  }
  emitRecord(kFlagMarker, 0, "mark", "end");
  if (blockCount_ > 0) {
    doc_->ui->message(msg::kBlocksOpen, msg::kCaptionMessage);
    result = -1;
  }
  if (fixupCount_ > 0) {
    doc_->ui->message(msg::kJumpsPending, msg::kCaptionMessage);
    result = -1;
  }
  clampTargets();
  storeProgram();
  if (!dumpPath_.empty()) dumpProgram(dumpPath_);
  return result;
}

int ScriptEngine::compileStatement() {
  const Token& first = tok(cur_);
  if (first.tokenClass == "def") return compileParam();
  if (isVariableFlag(first.flag)) return compileAssignment();
  if (isWord(first, "if")) return compileHead(0, "iffalse", "ifjump");
  if (isWord(first, "for")) return compileHead(2, "forfalse", "forjump");
  if (isWord(first, "while")) return compileHead(3, "whilefalse", "whilejump");
  if (isWord(first, "do")) return compileDo();
  if (first.tokenClass == "}") return compileClose();
  if (first.tokenClass == "jump") return compileJump();
  if (first.tokenClass == "basef" || first.tokenClass == "func") return compileStatementCall();
  return fail(first, msg::kUnusable);
}

// "param" N ";" : the number of locals, kept in the start marker.
int ScriptEngine::compileParam() {
  if (!hasToken(cur_ + 2)) return fail(tokens_.back(), msg::kNotEnoughTokens);
  const Token& count = tok(cur_ + 1);
  if (count.flag != kFlagNumber) return fail(count, msg::kNumberRequired);
  if (tok(cur_ + 2).tokenClass != ";") return fail(tok(cur_ + 2), msg::kSemicolonRequired);
  codeList_[0].code = uint32_t(truncToInt(std::bit_cast<float>(count.code)));
  cur_ += 2;
  return 1;
}

// t op= v ;  |  t = v ;  |  t = f(args) ;  |  t = a op b ;  |  t = expression ;
int ScriptEngine::compileAssignment() {
  const Token& target = tok(cur_);
  if (!hasToken(cur_ + 3)) return fail(tokens_.back(), msg::kNotEnoughTokens);
  const Token& assign = tok(cur_ + 1);
  if (assign.tokenClass != "input") return fail(assign, msg::kAssignmentRequired);
  const Token& value = tok(cur_ + 2);
  const Token& fourth = tok(cur_ + 3);

  if (assign.text.size() == 2) {
    if (!isOperand(value)) return fail(value, msg::kVariableNeedsAssignment);
    if (fourth.tokenClass != ";") return fail(fourth, msg::kCompoundSingleTerm);
    emit(assign);
    emit(target);
    emit(value);
    emit(target);
    cur_ += 3;
    return 1;
  }
  if (fourth.tokenClass == ";") {
    if (!isOperand(value)) return fail(value, msg::kValueAfterAssignment);
    emit(assign);
    emit(value);
    emit(target);
    cur_ += 3;
    return 1;
  }
  if (value.tokenClass == "basef" || value.tokenClass == "func") {
    emit(assign);
    const int close = compileCall(cur_ + 2);
    if (close < 0) return -1;
    if (tok(size_t(close) + 1).tokenClass != ";") {
      return fail(tok(size_t(close) + 1), msg::kSingleCallAfterAssignment);
    }
    emit(target);
    cur_ = size_t(close) + 1;
    return 1;
  }
  if (fourth.tokenClass == "operate") {
    if (!hasToken(cur_ + 5)) return fail(tokens_.back(), msg::kNotEnoughTokens);
    if (tok(cur_ + 5).tokenClass == ";") {
      if (!isOperand(value)) return fail(value, msg::kValueBeforeOperator);
      if (!isOperand(tok(cur_ + 4))) return fail(tok(cur_ + 4), msg::kValueAfterOperator);
      emit(fourth);
      emit(value);
      emit(tok(cur_ + 4));
      emit(target);
      cur_ += 5;
      return 1;
    }
  }
  return compileExpression(cur_ + 2);
}

// if|while|for "(" condition ")" "{" : the head record, the condition, the jump out.
int ScriptEngine::compileHead(int kind, const char* falseText, const char* jumpText) {
  const Token& head = tok(cur_);
  if (blockCount_ + 1 >= kStackLimit) return pushBlock(kind, -1, -1, head);
  const int headIndex = emit(head);
  const int brace = compileCondition(cur_ + 1, 0);
  if (brace < 0) return -1;
  const int exit = emitJumpPair(falseText, jumpText, 0);
  pushBlock(kind, headIndex, exit, head);
  cur_ = size_t(brace);
  return 1;
}

// "do" "{" : the loop body starts at the next record.
int ScriptEngine::compileDo() {
  const Token& word = tok(cur_);
  if (tok(cur_ + 1).tokenClass != "{") return fail(tok(cur_ + 1), msg::kBraceAfterDo);
  const int here = int(codeList_.size());
  if (pushBlock(4, here, here, word) < 0) return -1;
  cur_ += 1;
  return 1;
}

// "}" closes the innermost block; "} else {" and "} while (condition)" continue it.
int ScriptEngine::compileClose() {
  const Token& brace = tok(cur_);
  if (blockCount_ == 0) return fail(brace, msg::kUnusable);
  const Block top = blocks_[size_t(blockCount_ - 1)];
  const Token& next = tok(cur_ + 1);
  if (isWord(next, "else") && top.blockKind != 0) return fail(next, msg::kElseWithoutIf);

  switch (top.blockKind) {
    case 2:
    case 3: {
      emitJumpPair("loopend", "loopjump", uint32_t(top.head));
      const uint32_t after = uint32_t(codeList_.size());
      patch(top.exit, after);
      patchFixups(1, top.head, after);
      blocks_[size_t(--blockCount_)] = Block{};
      return 1;
    }
    case 0: return closeIf(top);
    case 1:
      patch(top.head, uint32_t(codeList_.size()));
      blocks_[size_t(--blockCount_)] = Block{};
      return 1;
    case 4:
      if (!isWord(next, "while")) return fail(brace, msg::kUnusable);
      return closeDoLoop(top);
    default: return fail(brace, msg::kUnusable);
  }
}

int ScriptEngine::closeIf(const Block& top) {
  const Token& next = tok(cur_ + 1);
  if (!isWord(next, "else")) {
    patch(top.exit, uint32_t(codeList_.size()));
    blocks_[size_t(--blockCount_)] = Block{};
    return 1;
  }
  if (tok(cur_ + 2).tokenClass != "{") return fail(tok(cur_ + 2), msg::kBraceAfterElse);
  // The true branch jumps over the else-block; the false branch enters it.
  const int skip = emitJumpPair("else", "elsejump", 0);
  patch(top.exit, uint32_t(codeList_.size()));
  blocks_[size_t(--blockCount_)] = Block{};
  if (pushBlock(1, skip, skip, next) < 0) return -1;
  cur_ += 2;
  return 1;
}

// "}" "while" "(" condition ")" : repeat the body while the condition holds. The condition is
// negated so that the jump back is taken exactly when it is true.
int ScriptEngine::closeDoLoop(const Block& top) {
  patchFixups(2, top.head, uint32_t(codeList_.size()));
  emit(tok(cur_ + 1));
  const int close = compileCondition(cur_ + 2, 1);
  if (close < 0) return -1;
  emitRecord(kFlagInstruction, kCodeNot, "not", "!");
  emitJumpPair("dofalse", "dojump", uint32_t(top.head));
  patchFixups(1, top.head, uint32_t(codeList_.size()));
  blocks_[size_t(--blockCount_)] = Block{};
  cur_ = size_t(close);
  return 1;
}

// "return" | "break" | "continue"
int ScriptEngine::compileJump() {
  const Token& word = tok(cur_);
  if (word.text == "return") {
    emitJumpPair("return", "returnjump", 0xFFFFFFFFu);
    return 1;
  }
  int loop = -1;
  for (int b = blockCount_ - 1; b >= 0 && loop < 0; --b) {
    if (blocks_[size_t(b)].blockKind >= 2) loop = b;
  }
  const int loopKind = loop >= 0 ? blocks_[size_t(loop)].blockKind : -1;
  const int loopHead = loop >= 0 ? blocks_[size_t(loop)].head : -1;

  if (word.text == "break") {
    // Without an enclosing loop the target stays past the end: store makes it the end marker.
    const int target = emitJumpPair("break", "breakjump", 0xFFFFFFFFu);
    if (loop >= 0) return pushFixup(1, loopHead, target, word);
    return 1;
  }
  if (loopKind == 2 || loopKind == 3) {
    emitJumpPair("continue", "continuejump", uint32_t(loopHead));
    return 1;
  }
  if (loopKind == 4) {
    const int target = emitJumpPair("continue", "continuejump", 0);
    return pushFixup(2, loopHead, target, word);
  }
  const int target = emitJumpPair("continue", "continuejump", 0);
  patch(target, uint32_t(target + 1));
  return 1;
}

// f "(" args ")" ";" as a statement.
int ScriptEngine::compileStatementCall() {
  const int close = compileCall(cur_);
  if (close < 0) return -1;
  if (tok(size_t(close) + 1).tokenClass != ";")
    return fail(tok(size_t(close) + 1), msg::kNoChaining);
  cur_ = size_t(close) + 1;
  return 1;
}

}  // namespace tovala::script
