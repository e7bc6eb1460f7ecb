// The compiler's sub-grammars: conditions, general expressions and calls. Each takes the index
// of its first token and returns the index of its last one, or -1 with the message set.

#include "script/builtins.h"
#include "script/macros.h"
#include "script/script_engine.h"
#include "script/script_messages.h"

namespace tovala::script {
namespace {

bool isOperand(const Token& t) { return isOperandFlag(t.flag); }
bool closesValue(const Token& t) {
  return isOperand(t) || t.tokenClass == "not" || t.tokenClass == ")";
}

// States of the expression check: what the previous token was.
enum ExprState {
  kStart,
  kAfterNumber,
  kAfterVariable,
  kAfterOperator,
  kAfterFunction,
  kAfterOpen,
  kAfterClose,
  kAfterComma
};

}  // namespace

// "(" { value cmp value | "&&" | "||" | "!" | "(" | ")" } ")" [ "{" ]
// Comparisons are emitted operator first: [cmp][x][y]. The outer parentheses are not emitted.
int ScriptEngine::compileCondition(size_t open, int noBrace) {
  if (!hasToken(open)) return fail(tokens_.back(), msg::kNotEnoughTokens);
  if (tok(open).tokenClass != "(") return fail(tok(open), msg::kConditionOpen);
  int depth = 1;
  size_t previous = open;
  size_t i = open + 1;
  for (;;) {
    if (!hasToken(i)) return fail(tokens_.back(), msg::kNotEnoughTokens);
    const Token& t = tok(i);
    if (isOperand(t)) {
      if (!hasToken(i + 2)) return fail(tokens_.back(), msg::kNotEnoughTokens);
      if (tok(i + 1).tokenClass != "compare") return fail(tok(i + 1), msg::kCompareAfterValue);
      if (!isOperand(tok(i + 2))) return fail(tok(i + 2), msg::kValueAfterCompare);
      emit(tok(i + 1));
      emit(t);
      emit(tok(i + 2));
      previous = i + 2;
      i += 3;
      continue;
    }
    if (t.tokenClass == "condition") {
      emit(t);
    } else if (t.tokenClass == "not") {
      if (!closesValue(tok(previous))) return fail(t, msg::kBeforeNot);
      emit(t);
    } else if (t.tokenClass == "(") {
      if (isOperand(tok(previous))) return fail(t, msg::kBeforeOpen);
      emit(t);
      ++depth;
    } else if (t.tokenClass == ")") {
      if (!closesValue(tok(previous))) return fail(t, msg::kBeforeClose);
      if (--depth == 0) break;
      emit(t);
    } else {
      return fail(t, msg::kBadConditionToken);
    }
    previous = i++;
  }
  if (noBrace) return int(i);
  if (tok(i + 1).tokenClass != "{") return fail(tok(i + 1), msg::kBraceAfterCondition);
  return int(i + 1);
}

// t "=" expression ";" : checked token by token, then emitted between two calc records with the
// commas left out. The cursor ends on the ";".
int ScriptEngine::compileExpression(size_t first) {
  struct Rule {
    unsigned errorStates;  // bit s set: the token may not follow state s
    const char* text;
  };
  auto bits = [](std::initializer_list<int> states) {
    unsigned b = 0;
    for (int s : states) b |= 1u << s;
    return b;
  };
  const Rule openRule{bits({kAfterNumber, kAfterVariable, kAfterClose}), msg::kOpenAfterFunction};
  const Rule closeRule{bits({kAfterOperator, kAfterFunction, kAfterOpen}), msg::kCloseAfter};
  const Rule numberRule{bits({kAfterNumber, kAfterVariable, kAfterFunction, kAfterClose}),
                        msg::kNumberAfter};
  const Rule variableRule{numberRule.errorStates, msg::kVariableAfter};
  const Rule operatorRule{bits({kAfterOperator, kAfterFunction}), msg::kOperatorAfter};
  const Rule functionRule{numberRule.errorStates, msg::kFunctionAfter};
  const Rule commaRule{bits({kAfterOperator, kAfterFunction, kAfterOpen}), msg::kCommaAfter};

  int state = kStart;
  int depth = 0;
  size_t i = first;
  for (;; ++i) {
    if (!hasToken(i)) return fail(tokens_.back(), msg::kNotEnoughTokens);
    const Token& t = tok(i);
    if (t.tokenClass == ";") break;
    const Rule* rule = nullptr;
    int next = state;
    if (t.flag == kFlagNumber) {
      rule = &numberRule, next = kAfterNumber;
    } else if (isVariableFlag(t.flag)) {
      rule = &variableRule, next = kAfterVariable;
    } else if (t.tokenClass == "operate") {
      rule = &operatorRule, next = kAfterOperator;
    } else if (t.tokenClass == "basef") {
      rule = &functionRule, next = kAfterFunction;
    } else if (t.tokenClass == "(") {
      rule = &openRule, next = kAfterOpen;
    } else if (t.tokenClass == ")") {
      rule = &closeRule, next = kAfterClose;
    } else if (t.tokenClass == ",") {
      rule = &commaRule, next = kAfterComma;
    } else {
      return fail(t, msg::kExpressionToken);
    }
    if (rule->errorStates & (1u << state)) return fail(t, rule->text);
    if (next == kAfterOpen) ++depth;
    if (next == kAfterClose) --depth;
    state = next;
  }
  if (depth != 0) return fail(tok(i), msg::kParenthesesOpen);

  const size_t end = i;
  emitRecord(kFlagInstruction, kCodeCalc, "calc", "calc");
  emit(tok(cur_));
  for (size_t j = first; j < end; ++j) {
    const Token& t = tok(j);
    if (t.tokenClass == ",") continue;
    if (t.tokenClass == "basef" && tok(j + 1).tokenClass != "(") {
      return fail(t, msg::kFunctionNeedsOpen);
    }
    emit(t);
  }
  emitRecord(kFlagInstruction, kCodeCalc, "calc", "calc");
  cur_ = end;
  return 1;
}

// f "(" [ value { "," value } ] ")" with exactly the function's number of arguments, each a
// number or a variable. Emits [f][args]; returns the index of the ")".
int ScriptEngine::compileCall(size_t function) {
  const Token& f = tok(function);
  const bool builtin = f.tokenClass == "basef";
  const uint32_t index = codeIndex(f.code);
  if (index >= uint32_t(builtin ? kBuiltinSlots : kMacroSlots))
    return fail(f, msg::kNoSuchFunction);
  const int argc = builtin ? builtinArgCount(index) : macroArgCount(index);
  if (argc < 0 || argc > kMaxCallArgs) return fail(f, msg::kBadFunctionArgs);
  emit(f);

  size_t i = function + 1;
  if (!hasToken(i)) return fail(tokens_.back(), msg::kNotEnoughTokens);
  if (tok(i).tokenClass != "(") return fail(tok(i), msg::kMissingOpen);
  ++i;
  for (int a = 0; a < argc; ++a) {
    if (a > 0) {
      if (!hasToken(i)) return fail(tokens_.back(), msg::kNotEnoughTokens);
      if (tok(i).tokenClass != ",") return fail(tok(i), msg::kCommaRequired);
      ++i;
    }
    if (!hasToken(i)) return fail(tokens_.back(), msg::kNotEnoughTokens);
    if (!isOperand(tok(i))) return fail(tok(i), msg::kArgumentValue);
    emit(tok(i++));
  }
  if (!hasToken(i)) return fail(tokens_.back(), msg::kNotEnoughTokens);
  if (tok(i).tokenClass != ")") return fail(tok(i), msg::kMissingClose);
  return int(i);
}

}  // namespace tovala::script
