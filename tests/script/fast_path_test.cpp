// The pre-decoded statements against the record interpreter: on thousands of generated
// programs - compiled sources and raw code arrays, well-formed or not - both must leave the same
// model, locals, messages, instruction count and random sequence.

#include <limits>
#include <random>

#include "codec/byte_io.h"
#include "model/record_io.h"

#include "script/builtins.h"
#include "script/vm_ops.h"
#include "script_fixture.h"

namespace tovala::script_test {
namespace {

// Builds random sources from the language's forms; indices are mostly valid, sometimes not.
class SourceGenerator {
 public:
  explicit SourceGenerator(uint32_t seed) : rng_(seed) {}

  std::string program() {
    std::string s = "param 4; ";
    const int n = pick(1, 6);
    for (int i = 0; i < n; ++i) s += statement(0);
    return s;
  }

 private:
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool chance(int percent) { return pick(1, 100) <= percent; }
  template <size_t N>
  const char* one(const char* const (&items)[N]) {
    return items[size_t(pick(0, int(N) - 1))];
  }

  std::string index(int hi) {
    if (chance(4)) return "p[" + std::to_string(pick(0, 3)) + "]";
    return std::to_string(chance(3) ? pick(hi + 1, hi + 3) : pick(0, hi));
  }
  std::string number() {
    static const char* const kNumbers[] = {"0",   "1",    "2", "3",   "-1",
                                           "0.5", "-2.5", "7", "100", "1e3"};
    return one(kNumbers);
  }
  std::string variable() {
    static const char* const kPoint[] = {"vx",   "vy",  "vz",    "radz",  "vdx",
                                         "kind", "pwa", "spmin", "spdspx"};
    static const char* const kLine[] = {"vx", "w", "kind", "crG", "cr", "brw", "spdspy", "rectx"};
    static const char* const kFixed[] = {"VextX", "VextY", "RadZ"};
    switch (pick(0, 6)) {
      case 0:
      case 1: return "p[" + index(3) + "]";
      case 2: return "L[" + index(1) + "]P[" + index(1) + "]" + one(kPoint);
      case 3: return "L[" + index(2) + "]" + one(kLine);
      case 4: return "L[0]P[" + index(1) + "]param[" + index(12) + "]";
      case 5: return "L[1]param[" + index(1) + "]";
      default: return one(kFixed);
    }
  }
  std::string operand() { return chance(50) ? number() : variable(); }
  std::string expression(int depth) {
    static const char* const kOps[] = {" + ", " - ", " * ", " / ", " % "};
    static const char* const kOne[] = {"sin",       "cos",  "abs",  "sqrt",
                                       "factorial", "step", "rand", "exp"};
    static const char* const kTwo[] = {"pow", "max", "min", "mod", "delta", "hypot", "log"};
    const int k = depth > 2 ? 0 : pick(0, 5);
    switch (k) {
      case 0:
      case 1: return operand();
      case 2: return "(" + expression(depth + 1) + one(kOps) + expression(depth + 1) + ")";
      case 3: return std::string(one(kOne)) + "(" + expression(depth + 1) + ")";
      case 4:
        return std::string(one(kTwo)) + "(" + expression(depth + 1) + ", " + expression(depth + 1) +
               ")";
      default: return expression(depth + 1) + one(kOps) + expression(depth + 1);
    }
  }
  std::string condition(int depth) {
    static const char* const kCmp[] = {" == ", " < ", " <= ", " > ", " >= ", " != "};
    std::string c = operand() + one(kCmp) + operand();
    if (depth < 2 && chance(30))
      c += std::string(chance(50) ? " && " : " || ") + condition(depth + 1);
    if (depth < 2 && chance(15)) c = "(" + c + ")";
    if (chance(15)) c += " !";
    return c;
  }
  std::string statement(int depth) {
    static const char* const kAssign[] = {" += ", " -= ", " *= ", " /= ", " %= "};
    static const char* const kOps[] = {" + ", " - ", " * ", " / ", " % "};
    const int k = depth > 1 ? pick(0, 3) : pick(0, 9);
    switch (k) {
      case 0: return variable() + " = " + operand() + "; ";
      case 1: return variable() + one(kAssign) + operand() + "; ";
      case 2: return variable() + " = " + operand() + one(kOps) + operand() + "; ";
      case 3: return variable() + " = 0 + " + expression(0) + "; ";
      case 4: {
        std::string s = "if (" + condition(0) + ") { " + statement(depth + 1) + "} ";
        if (chance(40)) s += "else { " + statement(depth + 1) + "} ";
        return s;
      }
      case 5: {
        const std::string c = "p[" + std::to_string(pick(0, 3)) + "]";
        return c + " = 0; while (" + c + " < " + std::to_string(pick(1, 30)) + ") { " +
               statement(depth + 1) + c + " += 1; " +
               (chance(20) ? "if (p[1] > 3) { break; } " : "") + "} ";
      }
      case 6: {
        const std::string c = "p[" + std::to_string(pick(0, 3)) + "]";
        return "do { " + statement(depth + 1) + c + " += 1; } while (" + c + " < " +
               std::to_string(pick(1, 20)) + "); ";
      }
      case 7: {
        static const char* const kMacros[] = {
            "TPMove(L[0]P[1]vx); ", "TPRot(L[0]P[0]vx); ",
            "TPMoveAll(); ",        "MacroMove(); ",
            "AllInit(); ",          "p[2] = Distance(L[0]P[0]vx, L[1]P[1]vx); "};
        return one(kMacros);
      }
      case 8:
        return variable() + " = " + std::string(chance(50) ? "sqrt(" : "rand(") + operand() + "); ";
      default: return chance(70) ? "p[3] = p[3] + 1; " : (chance(50) ? "continue; " : "return; ");
    }
  }

  std::mt19937 rng_;
};

class FastPathTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    addLine({{10, 20, 0}, {30, 40, 5}, {50, 45, 0}}, 4);
    addLine({{5, 6, 7}, {8, 9, 10}});
    addLine({{1, 1, 1}});
    for (int j = 0; j < 2; ++j) {
      PointRecord& p = pt(0, j);
      p.kind = 2000;
      ParamList params;
      for (int k = 0; k < 12; ++k)
        params.push_back(ParamEntry::ofFloat(6 + k, 0, k % 2 ? 40.0f : -40.0f));
      params.push_back(ParamEntry::ofInt(20, 0, 2));
      params.push_back(ParamEntry::ofInt(20, 0, 0x10000));
      params.push_back(ParamEntry::sentinel());
      p.params = params;
      p.vdx = 3;
      p.radz = 0.2f;
    }
    ln(1).params.insert(ln(1).params.begin(), ParamEntry::ofFloat(3, 0, 2.5f));
    pristine = doc.lines;
  }

  struct Outcome {
    int result;
    uint64_t executed;
    std::vector<float> locals;
    std::vector<uint8_t> lines;  // as written to files: every field bit for bit
    std::array<float, 6> whole;
    std::vector<std::string> messages;
    float nextRandom;
  };

  void resetModel() {
    doc.lines = pristine;
    doc.VextX = doc.VextY = doc.VextZ = doc.RadX = doc.RadY = doc.RadZ = 0;
    ui.reset();
    script::resetRandomSequence();
  }

  // `warm`: the engine has run the program once before (and so keeps what it decoded then),
  // as when posing runs the same program on every mouse move.
  Outcome runOnce(const CodeList& code, bool fast, bool warm = false) {
    ScriptEngine e(doc);
    e.setFastPath(fast);
    e.setInstructionBudget(3000);
    if (warm) {
      resetModel();
      e.run(code);
    }
    resetModel();
    Outcome o;
    o.result = e.run(code);
    decoded += e.decodedStatements();
    o.executed = e.executedInstructions();
    o.locals = e.locals();
    ByteWriter w;
    for (const LineRecord& l : doc.lines) writeLine(w, l);
    o.lines = w.take();
    o.whole = {doc.VextX, doc.VextY, doc.VextZ, doc.RadX, doc.RadY, doc.RadZ};
    o.messages = texts();
    o.nextRandom = script::callBuiltinRoutine(0x12, 1.0f, 0.0f);
    return o;
  }

  // Values compared bit for bit, so that not-a-number results count as equal to themselves.
  static std::vector<uint32_t> bitsOf(const std::vector<float>& v) {
    std::vector<uint32_t> out;
    for (float f : v) out.push_back(bits(f));
    return out;
  }

  void expectSame(const CodeList& code, const std::string& label) {
    const Outcome slow = runOnce(code, false);
    expectSameOutcome(slow, runOnce(code, true), label);
    expectSameOutcome(slow, runOnce(code, true, true), label + " (second run)");
    ++compared;
  }

  void expectSameOutcome(const Outcome& slow, const Outcome& fast, const std::string& label) {
    EXPECT_EQ(slow.result, fast.result) << label;
    EXPECT_EQ(slow.executed, fast.executed) << label;
    EXPECT_EQ(bitsOf(slow.locals), bitsOf(fast.locals)) << label;
    EXPECT_EQ(slow.messages, fast.messages) << label;
    EXPECT_EQ(bits(slow.nextRandom), bits(fast.nextRandom)) << label;
    EXPECT_EQ(bitsOf({slow.whole.begin(), slow.whole.end()}),
              bitsOf({fast.whole.begin(), fast.whole.end()}))
        << label;
    EXPECT_TRUE(slow.lines == fast.lines) << label;
  }

  std::vector<LineRecord> pristine;
  int compared = 0;
  int decoded = 0;
};

TEST_F(FastPathTest, CompiledProgramsGiveTheSameResults) {
  SourceGenerator gen(20240607);
  int ranLong = 0, compiled = 0;
  for (int i = 0; i < 600; ++i) {
    const std::string source = gen.program();
    ui.reset();
    const CodeList code = compile(source);
    compiled += lastCompile == 1 ? 1 : 0;
    const Outcome o = runOnce(code, true);
    ranLong += o.executed > 20 && o.result == 1 ? 1 : 0;
    expectSame(code, source);
    if (HasFailure()) break;
  }
  // Most compile, and enough of them loop to completion for the decoded forms to matter.
  EXPECT_GT(compiled, 500);
  EXPECT_GT(ranLong, 150);
  EXPECT_GT(decoded, 1000);
}

TEST_F(FastPathTest, RawCodeArraysGiveTheSameResults) {
  std::mt19937 rng(77);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const std::vector<CodeEntry> pieces = {
      num(0),
      num(1),
      num(2.5f),
      num(-3),
      local(0),
      local(1),
      local(2),
      local(9),
      {0x10, 0x02008001},
      {0x1A, 0x00000110},
      {0x1A, 0x00010010},
      {0x1A, 0x80010110},
      {0x1C, 0x00000010},
      {0x1C, 0x00020062},
      {0x1D, 0x00010000},
      {0x1B, 0x00000002},
      {0x1E, 0x00},
      ins(0x10000),
      ins(0x10001),
      ins(0x10010),
      ins(0x2000000),
      ins(0x2000001),
      ins(0x2000002),
      ins(0x2000003),
      ins(0x2000004),
      ins(0x2000005),
      ins(0x2000101),
      ins(0x2000104),
      ins(0x2000105),
      ins(0x2000200),
      ins(0x2000201),
      ins(0x2000300),
      ins(0x2010000),
      ins(0x2010001),
      ins(0x2010004),
      ins(0x2010003),
      ins(0x2010012),
      ins(0x2020015),
      ins(0x2020010),
      ins(0x2020001),
      {0x00, 0},
      {0x05, 1},
      marker(),
  };
  auto piece = [&] { return pieces[size_t(pick(0, int(pieces.size()) - 1))]; };
  auto operand = [&] {
    const CodeEntry plain[] = {num(2),
                               num(-0.5f),
                               local(0),
                               local(1),
                               local(3),
                               {0x1A, 0x00000110},
                               {0x1C, 0x00010010},
                               {0x1E, 0x11},
                               {0x10, 0x02008002}};
    const CodeEntry odd[] = {{0x1A, 0x00050110},   // no such line
                             {0x1A, 0x00000510},   // no such point
                             {0x1A, 0x000001FF},   // no such field
                             {0x1A, 0x000080B2},   // point from local 0, a double field
                             {0x1C, 0x80010062},   // line from local 1, a colour byte
                             {0x1C, 0x00010060}};  // a whole colour word
    if (pick(0, 9) == 0) return odd[pick(0, int(std::size(odd)) - 1)];
    return plain[pick(0, int(std::size(plain)) - 1)];
  };
  for (int i = 0; i < 1500; ++i) {
    CodeList code{marker(uint32_t(pick(0, 4)))};
    const int n = pick(1, 8);
    for (int k = 0; k < n; ++k) {
      // Statement shapes the decoder knows, each record sometimes swapped for a random one.
      CodeList shape;
      switch (pick(0, 4)) {
        case 0:
          shape = {ins(0x2000000 + uint32_t(pick(0, 5))), operand(), operand(), operand()};
          break;
        case 1:
          shape = {ins(0x10000), ins(0x2000100 + uint32_t(pick(0, 5))), operand(), operand()};
          for (int b = pick(0, 2); b > 0; --b) shape.push_back(ins(0x2000300));
          shape.push_back(jump());
          shape.push_back(target(uint32_t(pick(0, 40))));
          break;
        case 2:
          shape = {ins(0x10010),   operand(),      operand(), ins(0x2000001 + uint32_t(pick(0, 4))),
                   ins(0x2010004), ins(0x2010000), operand(), ins(0x2010001),
                   ins(0x10010)};
          break;
        case 3: shape = {piece(), piece(), piece()}; break;
        default: shape = {jump(), target(uint32_t(pick(1, 40)))}; break;
      }
      for (CodeEntry& e : shape) {
        if (pick(0, 14) == 0) e = piece();
      }
      code.insert(code.end(), shape.begin(), shape.end());
    }
    if (pick(0, 1)) {
      code.push_back(jump());
      code.push_back(target(1));
    }
    code.push_back(marker());
    expectSame(code, "array " + std::to_string(i));
    if (HasFailure()) break;
  }
  EXPECT_GT(decoded, 200);
}

// Loops of the specialised forms that run into the budget (3000): shifting the loop by one
// statement at a time puts the stop on every statement of the body, the folded jump included;
// a not-a-number counter makes "<" and "<=" hold forever.
TEST_F(FastPathTest, ChainsStopWhereTheInterpreterStops) {
  const char* const loops[] = {
      "while (p[0] < 100000) { p[1] += p[0]; p[0] += 1; }",
      "while (p[0] != 0 - 1) { p[1] = p[1] * 1.5; p[2] = p[0]; p[0] = p[0] - 1 + 2; }",
      "p[2] = sqrt(0 - 1); while (p[2] < 5) { p[0] += 1; }",
      "p[2] = sqrt(0 - 1); while (p[2] <= p[1] !) { p[0] += 1; } p[3] = 9;",
      "do { p[0] += 1; p[1] -= p[0]; } while (p[0] >= 0);",
  };
  for (const char* loop : loops) {
    std::string prologue;
    for (int shift = 0; shift < 4; ++shift, prologue += "p[3] = p[3] + 1; ") {
      const std::string source = "param 4; " + prologue + loop;
      expectSame(compile(source), source);
    }
  }
  // A comparison's answer on every ordering, not-a-number included, is the interpreter's.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float values[] = {-1.0f, 0.0f, 2.0f, nan};
  for (uint32_t op = 0x2000100; op <= 0x2000105; ++op)
    for (const bool negate : {false, true})
      for (const float a : values)
        for (const float b : values)
          EXPECT_EQ(script::compareByMask(script::compareMask(op, negate), a, b),
                    script::compare(op, a, b) != negate)
              << std::hex << op << " " << negate << " " << a << " " << b;
}

// What a run decoded is kept for the next run of the same program, but never used for another
// program, and its fields are looked up in the model as it stands when it runs.
TEST_F(FastPathTest, DecodedStatementsFollowTheModelAndTheProgram) {
  const CodeList loop = compile("param 1; while (p[0] < 3) { L[2]vx = L[2]vx + 1; p[0] += 1; }");
  const CodeList other = compile("param 1; while (p[0] < 3) { L[1]vx = L[1]vx + 2; p[0] += 1; }");
  ASSERT_EQ(loop.size(), other.size());
  ScriptEngine e(doc);
  ln(2).vx = 0;
  ASSERT_EQ(e.run(loop), 1);
  EXPECT_GT(e.decodedStatements(), 0);
  EXPECT_EQ(ln(2).vx, 3.0f);

  // Same length, other records: nothing of the first program's decoding applies.
  ln(1).vx = 0;
  ASSERT_EQ(e.run(other), 1);
  EXPECT_EQ(ln(1).vx, 6.0f);
  EXPECT_EQ(ln(2).vx, 3.0f);

  // The line the decoded statement names is gone by the next run: refused, as the interpreter does.
  ASSERT_EQ(e.run(loop), 1);
  EXPECT_EQ(ln(2).vx, 6.0f);
  doc.lines.erase(doc.lines.begin() + 2);
  doc.lineOrder.pop_back();
  ui.reset();
  EXPECT_EQ(e.run(loop), -1);
  EXPECT_EQ(texts(), std::vector<std::string>{"GetValue"});
}

}  // namespace
}  // namespace tovala::script_test
