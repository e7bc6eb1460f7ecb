// The virtual machine: arithmetic levels, division and remainder rules, conditions without
// precedence, jumps, the instruction budget and refusal of malformed programs.

#include <bit>

#include "script_fixture.h"

namespace tovala::script_test {
namespace {

class VmTest : public ScriptTest {};

TEST_F(VmTest, ProgramsNeedAStartMarkerAndThreeRecords) {
  ScriptEngine e(doc);
  const CodeList three{marker(), ins(0x2020001), marker()};  // AllInit
  EXPECT_EQ(e.run(three), 1);
  EXPECT_EQ(e.run(three.data(), 2), -1);
  EXPECT_EQ(e.run(CodeList{{0x20, 0}, ins(0x2020001), marker()}), -1);
  EXPECT_TRUE(ui.shown.empty());
  // A program without any instruction runs past its end.
  EXPECT_EQ(e.run(CodeList{marker(), num(1), marker()}), -1);
  EXPECT_EQ(ui.lastText(), "Analyze");
}

TEST_F(VmTest, ExpressionsHaveThreeLevels) {
  EXPECT_EQ(value("p[0] = 2 + 3 * 4;"), 14.0f);
  EXPECT_EQ(value("p[0] = (2 + 3) * 4;"), 20.0f);
  EXPECT_EQ(value("p[0] = 10 - 4 - 3;"), 3.0f);
  EXPECT_EQ(value("p[0] = 100 / 10 / 5;"), 2.0f);
  EXPECT_EQ(value("p[0] = 2 * 3 + 4 * 5;"), 26.0f);
  EXPECT_EQ(value("p[0] = 1 + 2 * (3 + 4) - 5;"), 10.0f);
  EXPECT_EQ(value("p[0] = ((1 + 2) * (3 + 4)) * 2;"), 42.0f);
  EXPECT_EQ(value("param 2; p[0] = 1 + ;  p[1] = 0;"), 1.0f);  // a missing operand is 0
  EXPECT_EQ(value("param 2; p[0] = 5; p[0] = ; p[1] = 0;"), 0.0f);
  EXPECT_EQ(value("param 2; p[1] = 5; p[0] = -p[1] + 1;"), -4.0f);
}

TEST_F(VmTest, FunctionsInsideExpressions) {
  EXPECT_EQ(value("p[0] = 1 + pow(2, 3);"), 9.0f);
  EXPECT_EQ(value("p[0] = 0 + pow(2, 3) * 2;"), 16.0f);
  EXPECT_EQ(value("p[0] = 1 + max(1, 2) * 3;"), 7.0f);
  EXPECT_EQ(value("p[0] = 2 * sqrt(16) + 1;"), 9.0f);
  // A one-argument function takes exactly its parenthesised group: the operators after it
  // belong to the enclosing expression.
  EXPECT_EQ(value("p[0] = 1 + cos(0) * 2;"), 3.0f);
  EXPECT_EQ(value("p[0] = 1 + (abs(-1) + 1) * 2;"), 5.0f);
  EXPECT_EQ(value("p[0] = 1 + sqrt(max(9, 4)) - 1;"), 3.0f);
  EXPECT_EQ(value("p[0] = 1 + pow(1 + 1, 2 + 1);"), 9.0f);
}

TEST_F(VmTest, DivisionAndRemainderRules) {
  const float tiny = std::bit_cast<float>(uint32_t(0x33D6BF95));
  EXPECT_EQ(value("p[0] = 7 / 0 + 0;"), 7.0f / tiny);
  EXPECT_EQ(value("p[0] = 7 / 0;"), 0.0f);
  EXPECT_EQ(value("p[0] = 7 % 0 + 0;"), 0.0f);
  EXPECT_EQ(value("p[0] = -7 % 2 + 0;"), -1.0f);
  EXPECT_EQ(value("p[0] = 7.9 % 2.5 + 0;"), 1.0f);
  EXPECT_EQ(value("p[0] = 7 % 0;"), 0.0f);
  EXPECT_EQ(value("p[0] = -7 % 2;"), -1.0f);
  EXPECT_EQ(value("p[0] = 7.9 % 2.5;"), 1.0f);
  EXPECT_EQ(value("p[0] = 7 & 4 + 0;"), 3.0f);  // & and | are the remainder too
  EXPECT_EQ(value("p[0] = 9 | 5;"), 4.0f);
  // Divisors that truncate to 0 (or -1 against the smallest integer) give 0 instead of a trap.
  EXPECT_EQ(value("p[0] = 7 % 0.5 + 0;"), 0.0f);
  EXPECT_EQ(value("p[0] = 7 % 0.5;"), 0.0f);
  EXPECT_EQ(value("p[0] = -2147483648 % -1 + 0;"), 0.0f);
  EXPECT_EQ(value("param 2; p[1] = 6; p[1] /= 4; p[0] = p[1];"), 1.5f);
  EXPECT_EQ(value("param 2; p[0] = 6; p[0] -= 1; p[0] *= 3;"), 15.0f);
  EXPECT_EQ(value("param 2; p[0] = 7; p[0] %= 4;"), 3.0f);
}

TEST_F(VmTest, ConditionsRunLeftToRightWithPostfixNegation) {
  // ((p0 < 1) || (p0 > 5)) && (p1 == 0): false with p0 = 0, p1 = 1 (with && binding tighter it
  // would be true).
  EXPECT_EQ(exec("param 3; p[1] = 1; if (p[0] < 1 || p[0] > 5 && p[1] == 0) { p[2] = 1; }")[2],
            0.0f);
  EXPECT_EQ(exec("param 3; p[1] = 0; if (p[0] < 1 || p[0] > 5 && p[1] == 0) { p[2] = 1; }")[2],
            1.0f);
  EXPECT_EQ(exec("param 2; p[0] = 3; if (p[0] == 0 !) { p[1] = 1; }")[1], 1.0f);
  EXPECT_EQ(exec("param 2; if (p[0] == 0 !) { p[1] = 1; }")[1], 0.0f);
  // After a connective the negation turns the whole result so far.
  EXPECT_EQ(exec("param 2; if (p[0] == 0 && p[0] < 1 !) { p[1] = 1; }")[1], 0.0f);
  EXPECT_EQ(exec("param 2; if (p[0] == 1 || (p[0] == 0 && p[0] < 1)) { p[1] = 1; }")[1], 1.0f);
  EXPECT_EQ(exec("param 2; if ((p[0] == 1 !) !) { p[1] = 1; }")[1], 0.0f);
  // Comparisons with a not-a-number: < and <= are "not >=" and "not >".
  const auto nan = exec(
      "param 6; p[0] = sqrt(-1); if (p[0] < 1) { p[1] = 1; } if (p[0] <= 1) { p[2] = 1; }"
      "if (p[0] > 1) { p[3] = 1; } if (p[0] >= 1) { p[4] = 1; } if (p[0] != p[0]) { p[5] = 1; }");
  EXPECT_EQ(nan[1], 1.0f);
  EXPECT_EQ(nan[2], 1.0f);
  EXPECT_EQ(nan[3], 0.0f);
  EXPECT_EQ(nan[4], 0.0f);
  EXPECT_EQ(nan[5], 1.0f);
}

TEST_F(VmTest, LoopsAndJumps) {
  EXPECT_EQ(value("param 2; p[1] = 1; while (p[1] <= 5) { p[0] += p[1]; p[1] += 1; }"), 15.0f);
  EXPECT_EQ(value("param 2; p[0] = 1; p[1] = 5; for (p[1] > 1) { p[0] *= p[1]; p[1] -= 1; }"),
            120.0f);
  EXPECT_EQ(value("param 1; do { p[0] += 1; } while (p[0] < 10);"), 10.0f);
  EXPECT_EQ(value("param 1; do { p[0] += 1; } while (p[0] < 0);"), 1.0f);  // runs once
  EXPECT_EQ(value("param 1; while (p[0] < 100) { p[0] += 1; if (p[0] == 7) { break; } }"), 7.0f);
  EXPECT_EQ(
      exec("param 2; while (p[0] < 10) { p[0] += 1; if (p[0] > 3) { continue; } p[1] += 1; }")[1],
      3.0f);
  EXPECT_EQ(
      exec("param 2; do { p[0] += 1; if (p[0] > 3) { continue; } p[1] += 1; } while (p[0] < 10);")
          [1],
      3.0f);
  EXPECT_EQ(value("param 1; if (p[0] == 0) { p[0] = 1; } else { p[0] = 2; }"), 1.0f);
  EXPECT_EQ(value("param 1; p[0] = 5; if (p[0] == 0) { p[0] = 1; } else { p[0] = 2; }"), 2.0f);
  EXPECT_EQ(value("param 1; p[0] = 1; return; p[0] = 2;"), 1.0f);
  EXPECT_EQ(value("param 1; p[0] = 1; break; p[0] = 2;"), 1.0f);
  EXPECT_EQ(value("param 1; p[0] = 1; continue; p[0] = 2;"), 2.0f);
  EXPECT_EQ(lastRun, 1);
}

TEST_F(VmTest, EndlessLoopStopsAtTheBudgetKeepingItsChanges) {
  const int line = addLine({{0, 0, 0}});
  const auto locals = exec("param 1; L[0]vx = 5; while (1 == 1) { p[0] += 1; }", 10000);
  EXPECT_EQ(lastRun, -1);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "スクリプトの実行回数が上限を超えました。");
  EXPECT_EQ(ui.shown[0].caption, "エラー");
  EXPECT_EQ(ln(line).vx, 5.0f);
  // Three instructions per turn: the loop ran until the budget ended it.
  EXPECT_GT(locals[0], 3300.0f);
  EXPECT_LT(locals[0], 3340.0f);
  // A run that finishes within the budget is untouched by it.
  ui.reset();
  EXPECT_EQ(value("param 1; while (p[0] < 100) { p[0] += 1; }"), 100.0f);
  EXPECT_EQ(lastRun, 1);
  EXPECT_TRUE(ui.shown.empty());
}

// A macro without arguments works on the whole model, so it weighs on the budget by the
// model's size: a loop of them ends as soon as a loop of plain statements would.
TEST_F(VmTest, WholeModelMacrosWeighOnTheBudgetByTheModel) {
  for (int i = 0; i < 100; ++i) addLine({{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}});
  const auto locals = exec("param 1; while (1 == 1) { p[0] += 1; TPMoveAll(); }", 10000);
  EXPECT_EQ(lastRun, -1);
  EXPECT_EQ(ui.lastText(), "スクリプトの実行回数が上限を超えました。");
  // 600 point records (the sentinels included) and a few instructions per turn.
  EXPECT_GE(locals[0], 15.0f);
  EXPECT_LE(locals[0], 17.0f);
}

TEST_F(VmTest, BadIndicesStopTheRunWithTheirMessage) {
  addLine({{1, 2, 3}});
  EXPECT_EQ(value("param 1; p[0] = 9; p[0] = L[5]vx;"), 9.0f);
  EXPECT_EQ(lastRun, -1);
  EXPECT_EQ(ui.lastText(), "GetValue");
  ui.reset();
  exec("param 1; L[3]vx = 1; p[0] = 2;");
  EXPECT_EQ(lastRun, -1);
  EXPECT_EQ(ui.lastText(), "SetValue");
  EXPECT_EQ(ui.shown.size(), 1u);
  ui.reset();
  EXPECT_EQ(exec("param 2; p[1] = 7; p[0] = L[p[1]]vx;")[0], 0.0f);
  EXPECT_EQ(ui.lastText(), "GetValue");
  ui.reset();
  exec("param 2; p[0] = 5; p[1] = p[p[0]];");
  EXPECT_EQ(ui.lastText(), "GetValue");
  ui.reset();
  exec("param 2; p[0] = -1; p[p[0]] = 1;");
  EXPECT_EQ(ui.lastText(), "SetValue");
  ui.reset();
  EXPECT_EQ(exec("param 2; p[0] = 1; p[1] = p[p[0]] + L[0]P[p[0]]vy;")[1],
            0.0f);  // point 1 missing
  EXPECT_EQ(ui.lastText(), "GetValue");
  ui.reset();
  EXPECT_EQ(exec("param 2; p[1] = L[p[0]]P[p[0]]vy;")[1], 2.0f);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(VmTest, MalformedProgramsEndSafely) {
  ScriptEngine e(doc);
  // A condition that never meets its jump record.
  EXPECT_EQ(e.run(CodeList{marker(), ins(0x10000), ins(0x2000100), num(1), num(1), marker()}), -1);
  // A jump pair cut off at the end, a target far outside the program.
  EXPECT_EQ(e.run(CodeList{marker(), num(0), jump()}), -1);
  EXPECT_EQ(e.run(CodeList{marker(), jump(), target(0x7FFFFFFF), marker()}), 1);
  // A macro whose arguments run past the end.
  EXPECT_EQ(e.run(CodeList{marker(), ins(0x2020015), num(1)}), -1);
  // Parentheses nested deeper than any source needs.
  CodeList deep{marker(), ins(0x10010), local(0)};
  for (int i = 0; i < 5000; ++i) deep.push_back(ins(0x2010000));
  deep.push_back(num(1));
  deep.push_back(ins(0x10010));
  deep.push_back(marker());
  EXPECT_EQ(e.run(deep), -1);
  EXPECT_EQ(ui.lastText(), "Analyze");
  // Leftover records after an expression are skipped up to its closing calc record.
  EXPECT_EQ(value("param 2; p[0] = 1 ) + ( 2; p[1] = 3;"), 1.0f);
  EXPECT_EQ(exec("param 2; p[0] = 1 ) + ( 2; p[1] = 3;")[1], 3.0f);
}

TEST_F(VmTest, LocalCountComesFromTheStartMarker) {
  ScriptEngine e(doc);
  EXPECT_EQ(e.run(CodeList{marker(0), ins(0x2020001), marker()}), 1);
  EXPECT_EQ(e.locals().size(), 1u);
  EXPECT_EQ(e.run(CodeList{marker(7), ins(0x2020001), marker()}), 1);
  EXPECT_EQ(e.locals().size(), 7u);
  EXPECT_EQ(e.run(CodeList{marker(0xFFFFFFFB), ins(0x2020001), marker()}), 1);  // -5
  EXPECT_EQ(e.locals().size(), 1u);
  EXPECT_EQ(e.run(CodeList{marker(0x7FFFFFFF), ins(0x2020001), marker()}), 1);
  EXPECT_EQ(e.locals().size(), 32768u);
}

}  // namespace
}  // namespace tovala::script_test
