#pragma once
// Pre-decoded statements: the virtual machine's quick form of a statement it executes again
// (loop bodies, loop conditions). Decoding follows the record interpreter step by step without
// computing, so a decoded statement reads, computes and writes exactly what the interpreter
// would, in the same order; anything the decoder does not cover stays with the interpreter.

#include <cstdint>

#include "script/fields.h"

namespace tovala::script {

// A number, a local named directly (checked against the local count when decoded), a line or
// point field (its place in the record decoded; its line and point found in the model on every
// run) or any other variable, read through the general accessors at run time.
struct FastOperand {
  enum Kind : uint8_t { Number, Local, Field, Variable };
  Kind kind = Number;
  uint8_t flag = 0;
  FieldSlot slot;     // Field: the field within the record
  uint32_t code = 0;  // Number: its bits; Local: the local's index; otherwise the reference
};

enum class FastKind : uint8_t {
  Generic,  // left to the record interpreter
  Assign,   // [op][a]([b])[target]: = += -= *= /= %= and t = a op b
  Head,     // [head][cmp][a][b]{!}[jump][target]: a single comparison, maybe negated
  Jump,     // [jump][target]
  Calc,     // [calc][target] expression [calc]
};

// How a decoded statement executes: the general forms read and write through FastOperand;
// the specialised ones work on locals and numbers alone, which can neither fail nor touch the
// model (x, y, t are local indices, k the number).
enum class FastOp : uint8_t {
  Generic,  // back to the record interpreter
  Assign,
  Head,
  Jump,
  Calc,
  SetLocal,   // t = x
  SetNumber,  // t = k
  AddLocals,  // t = x + y
  AddNumber,  // t = x + k
  SubLocals,
  SubNumber,
  MulLocals,
  MulNumber,
  HeadLocals,  // compare x with y
  HeadNumber,  // compare x with k
};

// Where a chain of decoded statements continues: not yet known (or not decoded yet), or never
// a decoded statement (the main loop takes over).
inline constexpr int32_t kUnlinked = -1;
inline constexpr int32_t kNeverLinks = -2;

struct FastStatement {
  FastKind kind = FastKind::Generic;
  FastOp exec = FastOp::Generic;
  uint8_t mask = 0;  // HeadLocals, HeadNumber: compareMask of the comparison and its "!"
  uint32_t x = 0, y = 0, t = 0;
  float k = 0.0f;
  // The pool index of the decoded statement that runs after this one (Head: when the condition
  // holds) and of the one a jump or a failed condition leads to, found when first needed.
  int32_t nextLink = kUnlinked, jumpLink = kUnlinked;
  uint8_t nextCost = 1, jumpCost = 1;  // statements a link accounts for (2 past a folded jump)
  uint32_t op = 0;      // Assign: form 0..5; Head: comparison code
  bool negate = false;  // Head: an odd number of "!" follows the comparison
  FastOperand a, b, target;
  uint32_t next = 0;  // where the program continues (Head: when the condition holds)
  uint32_t jump = 0;  // Head: where it continues when the condition fails; Jump: target
  uint32_t rpnBegin = 0, rpnEnd = 0;  // Calc: the expression in postfix order
};

// One step of a decoded expression, in postfix order.
struct RpnOp {
  enum Code : uint8_t { Push, Add, Sub, Mul, Div, Rem, Neg, Builtin1, Builtin2 };
  Code code = Push;
  uint32_t builtin = 0;
  FastOperand operand;  // Push (a zero number for an empty expression)
};

// Most values a decoded expression holds at once; deeper expressions stay with the interpreter.
inline constexpr int kRpnStack = 32;

}  // namespace tovala::script
