#pragma once
// ScriptEngine: lexer, compiler and virtual machine of the script language, bound to one
// document. Whoever compiles or runs a script builds an engine for that use and drops it after;
// the engine keeps only a pointer to the document plus the scratch state of its three stages.
//
//   lex(source) -> tokens -> compile() -> code list -> storeProgram() into the current line
//   run(code) executes a stored program; validate(line, point) checks one before it is trusted.
//
// Member functions are spread over lexer.cpp, compiler_*.cpp, vm.cpp, vm_fast.cpp, validate.cpp
// and variables.cpp, one phase per file.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/records.h"
#include "script/bytecode.h"
#include "script/fast_path.h"

namespace tovala {

class Document;

namespace script {

// Tokens, keyword and variable entries and the compiler's code records share this shape; only
// flag and code survive into a stored program, the class and text serve the dump.
struct Token {
  uint8_t flag = 0;
  uint32_t code = 0;
  std::string_view tokenClass;  // always one of the static class words
  std::string text;             // as written, at most 63 bytes

  CodeEntry entry() const { return CodeEntry{flag, code}; }
};

// Why a run stopped early.
enum class RunStop { None, Analyze, BadAccess, Budget };

inline constexpr uint64_t kInstructionBudget = 100'000'000;
inline constexpr int kStackLimit = 128;  // block and fix-up stacks
inline constexpr int kMaxTokenText = 63;

class ScriptEngine {
 public:
  explicit ScriptEngine(Document& doc);

  Document& document() const { return *doc_; }
  // The message of the last failing check (UTF-8). Lexing starts it as a full-width blank,
  // validation as a single blank.
  const std::string& message() const { return message_; }

  // --- lexer --------------------------------------------------------------------------------
  // Tokenises `source` and compiles it. A lexer error is shown (caption "エラー") and nothing is
  // compiled. Returns compile()'s result, or -1 after a lexer error.
  int lex(std::string_view source);
  // The lexer alone: 1 when the whole source was cut into tokens, -1 on error (message kept).
  int tokenize(std::string_view source);
  // One raw token: further source characters consumed (0 or 1), or -1 on error.
  int classify(std::string_view raw);
  // 1 when a variable token was appended, 0 when the name is unknown, -1 on error.
  int resolveIdentifier(std::string_view raw);
  // The tokens of the last lex; the end sentinel is not among them.
  const std::vector<Token>& tokens() const { return tokens_; }

  // --- compiler -----------------------------------------------------------------------------
  // Compiles the token list, shows the first error and the unclosed-block and pending-jump
  // reports, then stores and dumps what compiled. 1 when nothing was reported, else -1.
  int compile();
  int compileStatement();
  // Copies the code list into the current line (when it names a line and storing is on).
  void storeProgram();
  // Writes the token and code listing; false (after "Miss Save!!") when it cannot be written.
  bool dumpProgram(const std::string& path);
  const std::vector<Token>& codeList() const { return codeList_; }
  // The code list as stored: flag and code of every record.
  CodeList program() const;
  // Exec-style use: compile into program() only, leaving every line's program alone.
  void setStoreIntoLine(bool on) { storeIntoLine_ = on; }
  // Where compile() writes the dump ("PreCom.txt" in the current folder); "" writes none.
  void setDumpPath(std::string path) { dumpPath_ = std::move(path); }

  // --- virtual machine ------------------------------------------------------------------------
  // Runs a program: -1 without running when it has fewer than three records or no start marker;
  // -1 when it stopped early (message shown); 1 otherwise.
  int run(const CodeEntry* code, int count);
  int run(const CodeList& code) { return run(code.data(), int(code.size())); }
  // Checks the program of a line (or of its point, when `point` is a valid point of it).
  int validate(int line, int point);
  // The records the last run executed (its own copy, kept until the next run).
  const CodeList& lastProgram() const { return program_; }
  // The locals of the last run, kept until the next one.
  const std::vector<float>& locals() const { return locals_; }
  RunStop lastStop() const { return stop_; }
  uint64_t executedInstructions() const { return executed_; }
  void setInstructionBudget(uint64_t budget) { budget_ = budget; }
  // Whether statements that run again use their pre-decoded form (the default). Off, every
  // record is interpreted as it stands; both give the same results.
  void setFastPath(bool on) { fastPath_ = on; }
  // How many statements of the last run were decoded into a quick form.
  int decodedStatements() const;

  // --- model variables (variables.cpp) ------------------------------------------------------
  // Reads one operand record against the document and the current locals: 1 and the value, or
  // -1 and 0.0 (after the "GetValue" message) when an index names nothing.
  int readOperand(uint8_t flag, uint32_t code, float& value);
  // Writes a variable: 1 (a field code without a field writes nothing), or -1 after "SetValue"
  // when an index names nothing.
  int setValue(uint8_t flag, uint32_t code, float value);

 private:
  struct Block {
    int blockKind = -1;  // 0 if, 1 else, 2 for, 3 while, 4 do
    int head = -1;
    int exit = -1;
  };
  struct Fixup {
    int fixType = -1;  // 1 break, 2 continue
    int loopHead = -1;
    int targetIndex = -1;
  };

  // lexer.cpp
  bool parseIndex(std::string_view raw, std::string_view bracket, uint32_t& index, bool& indirect);
  void appendNumber(std::string_view raw);

  // compiler_statements.cpp
  int compileParam();
  int compileAssignment();
  int compileHead(int kind, const char* falseText, const char* jumpText);
  int compileDo();
  int compileClose();
  int compileJump();
  int compileStatementCall();
  int closeDoLoop(const Block& top);
  int closeIf(const Block& top);
  // compiler_expressions.cpp
  int compileCondition(size_t open, int noBrace);
  int compileExpression(size_t first);
  int compileCall(size_t function);

  // compiler helpers (compiler_store.cpp)
  const Token& tok(size_t i) const { return i < tokens_.size() ? tokens_[i] : endToken_; }
  bool hasToken(size_t i) const { return i < tokens_.size(); }
  int emit(const Token& t);
  int emitRecord(uint8_t flag, uint32_t code, std::string_view cls, std::string_view text);
  int emitJumpPair(std::string_view jumpText, std::string_view targetText, uint32_t target);
  void patch(int index, uint32_t target);
  int pushBlock(int kind, int head, int exit, const Token& at);
  int pushFixup(int type, int head, int target, const Token& at);
  void patchFixups(int type, int head, uint32_t target);
  int fail(const Token& at, std::string_view text);
  int fail(std::string_view tokenText, std::string_view text);
  void clampTargets();

  // vm.cpp
  bool begin(const CodeEntry* code, int count);
  void stop(RunStop why, const char* text);
  bool step();
  // The main loop's test: not stopped, and no end marker at the counter.
  bool running() const {
    return stop_ == RunStop::None && pc_ < count_ && uint8_t(prog_[pc_].flag) != kFlagMarker;
  }
  // Counts one instruction against the budget; false (and the run stopped) past it.
  bool countInstruction() {
    if (++executed_ <= budget_) return true;
    stopForBudget();
    return false;
  }
  void stopForBudget();
  // Counts a whole-model macro against the budget: one instruction per point record.
  bool countModelWork();
  float evalExpression(int level);
  float evalPrimary();
  int evalCondition(uint32_t terminator);
  float dispatch();
  float getValue();
  float callBuiltin(uint32_t index);
  float callMacro(uint32_t index);
  const CodeEntry& at(uint32_t i) const { return i < count_ ? prog_[i] : kPastEnd; }
  // The local a record names directly, when it exists: the common case, kept off the general
  // variable path.
  float* directLocal(const CodeEntry& e) {
    const uint32_t i = e.code & 0x7FFF;
    if (uint8_t(e.flag) != kFlagLocal || (e.code & kLocalIndirect) || i >= uint32_t(localCount_)) {
      return nullptr;
    }
    return &locals_[i];
  }

  // vm_fast.cpp
  void runFast();
  bool runChain(uint32_t index);
  int32_t linkTo(uint32_t pc) const;
  void foldJump(int32_t& link, uint8_t& cost);
  static void specialise(FastStatement& f);
  bool decodeOperand(uint32_t i, FastOperand& out) const;
  FastStatement decodeStatement(uint32_t j);
  struct ExprDecode {
    uint32_t p = 0;  // the record the interpreter's counter would be on
    int depth = 0, stack = 0, most = 0;
  };
  bool decodeExpression(ExprDecode& d, int level);
  bool decodePrimary(ExprDecode& d);
  bool decodeOperators(ExprDecode& d, int operandLevel,
                       std::initializer_list<std::pair<uint32_t, RpnOp::Code>> ops);
  void emitRpn(ExprDecode& d, RpnOp op, int effect);
  float readFast(const FastOperand& o);
  bool writeFast(const FastOperand& o, float value);
  float evalRpn(uint32_t begin, uint32_t end);

  // variables.cpp
  bool localAsIndex(uint32_t local, int& out) const;
  LineRecord* resolveLine(uint32_t code) const;
  PointRecord* resolvePoint(LineRecord& line, uint32_t code) const;
  void* fieldRecord(uint8_t flag, uint32_t code) const;
  ParamEntry* resolveParam(uint8_t flag, uint32_t code, LineRecord& line, PointRecord* point) const;
  // `ok` turns false only when an index names nothing.
  float readVariable(uint8_t flag, uint32_t code, bool& ok);
  // 1 written; 0 nothing to write (not a variable, or a field code without a field); -1 an
  // index names nothing.
  int writeVariable(uint8_t flag, uint32_t code, float value);

  // validate.cpp
  int validateEntry(const CodeEntry& e, int locals);

  static constexpr CodeEntry kPastEnd{kFlagMarker, 0};

  Document* doc_;
  std::string message_;

  // lexer state
  std::vector<Token> tokens_;
  Token endToken_;

  // compiler state
  std::vector<Token> codeList_;
  std::array<Block, kStackLimit> blocks_{};
  int blockCount_ = 0;
  std::array<Fixup, kStackLimit> fixups_{};
  int fixupCount_ = 0;
  size_t cur_ = 0;
  bool storeIntoLine_ = true;
  std::string dumpPath_ = "PreCom.txt";

  // run state
  std::vector<CodeEntry> program_;
  const CodeEntry* prog_ = nullptr;
  uint32_t count_ = 0;
  uint32_t pc_ = 0;
  std::vector<float> locals_;
  int localCount_ = 0;
  int depth_ = 0;
  uint64_t executed_ = 0;
  uint64_t budget_ = kInstructionBudget;
  RunStop stop_ = RunStop::None;

  // pre-decoded statements of the current run
  bool fastPath_ = true;
  std::vector<uint32_t> slots_;  // per record: times run, or kDecodedBit | index into pool_
  std::vector<FastStatement> pool_;
  std::vector<RpnOp> rpn_;
};

}  // namespace script

using script::ScriptEngine;

}  // namespace tovala
