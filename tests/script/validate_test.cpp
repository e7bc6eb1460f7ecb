// Validation of stored programs: markers, flags, instruction codes, field codes and direct
// indices, each failure with its message.

#include "script_fixture.h"

namespace tovala::script_test {
namespace {

class ValidateTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    addLine({{0, 0, 0}, {1, 1, 1}});  // line 0: two points, sentinel-only parameter lists
    addLine({});                      // line 1: no points
  }

  // Validates line 0 holding `body` between markers; "ok" or the message.
  std::string check(const CodeList& body, uint32_t locals = 2) {
    CodeList code{marker(locals)};
    code.insert(code.end(), body.begin(), body.end());
    code.push_back(marker());
    ln(0).code = code;
    ScriptEngine e(doc);
    return e.validate(0, -1) == 1 ? "ok" : e.message();
  }
};

TEST_F(ValidateTest, EveryEntryKindIsChecked) {
  const std::vector<std::pair<CodeEntry, std::string>> cases = {
      {num(1), "ok"},
      {target(123456), "ok"},
      {{0x00, 77}, "ok"},
      {local(1), "ok"},
      {local(2), "局所変数p[2]が正しくありません。"},
      {{0x10, 0x02008005}, "局所変数p[5]が正しくありません。"},
      {{0x1A, 0x00000110}, "ok"},
      {{0x1A, 0x00050010}, "線L[5]は存在しません。"},
      {{0x1C, 0x00010010}, "線L[1]は存在しません。"},  // a line without points
      {{0x1C, 0x00020010}, "線L[2]は存在しません。"},  // the sentinel line
      {{0x1A, 0x00000510}, "点L[0]P[5]は存在しません。"},
      {{0x1A, 0x00000210}, "点L[0]P[2]は存在しません。"},  // the sentinel point
      {{0x1A, 0x00000104}, "線L[0]P[1]の固定変数に誤りがあります。"},
      {{0x1A, 0x00000150}, "線L[0]P[1]の固定変数に誤りがあります。"},
      {{0x1A, 0x80050010}, "局所変数p[5]が正しくありません。"},
      {{0x1A, 0x80017F10}, "ok"},  // the point of an indirect line is known only at run time
      {{0x1A, 0x00008510}, "局所変数p[5]が正しくありません。"},
      {{0x1B, 0x00000000}, "ok"},  // the sentinel entry
      {{0x1B, 0x00000001}, "点L[0]P[0]param[1]は存在しません。"},
      {{0x1B, 0x00000085}, "局所変数p[5]が正しくありません。"},
      {{0x1C, 0x00000073}, "ok"},
      {{0x1C, 0x00000007}, "線L[0]の固定変数に誤りがあります。"},
      {{0x1D, 0x00000003}, "点L[0]param[3]は存在しません。"},
      {{0x1D, 0x00008001}, "ok"},
      {{0x1D, 0x00008002}, "局所変数p[2]が正しくありません。"},
      {{0x1E, 0x12}, "ok"},
      {{0x1E, 0x03}, "マクロ変数に誤りがあります。"},
      {ins(0x2010000), "ok"},
      {ins(0x10010), "ok"},
      {ins(0x2000006), "関数の表記が正しくありません。"},
      {ins(0x2020002), "関数の表記が正しくありません。"},  // an empty macro slot
      {{0x05, 0}, "5:不正なフラグがあります。"},
      {{0xFF, 0}, "ff:不正なフラグがあります。"},
      {{0x102, 0}, "ok"},  // only the low byte of a flag counts
  };
  for (const auto& [entry, expected] : cases) {
    EXPECT_EQ(check({entry}), expected) << std::hex << entry.flag << " " << entry.code;
  }
  // Without "param" one local exists.
  EXPECT_EQ(check({local(0)}, 0), "ok");
  EXPECT_EQ(check({local(1)}, 0), "局所変数p[1]が正しくありません。");
  // The first failure is the one reported.
  EXPECT_EQ(check({num(1), {0x1E, 0x04}, local(9)}), "マクロ変数に誤りがあります。");
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ValidateTest, LinesMarkersAndPointPrograms) {
  ScriptEngine e(doc);
  EXPECT_EQ(e.validate(2, 0), -1);
  EXPECT_EQ(e.message(), "線が存在しません。");
  EXPECT_EQ(e.validate(-1, 0), -1);
  EXPECT_EQ(e.validate(0, -1), -1);  // the line has only its sentinel code entry
  EXPECT_EQ(e.message(), "初めの命令に0xFFがありません。");
  ln(0).code = {marker(), ins(0x2020001), ins(0x2020001)};
  EXPECT_EQ(e.validate(0, -1), -1);
  EXPECT_EQ(e.message(), "初めの命令に0xFFがありません。");

  // A valid point index selects the point's own program.
  ln(0).code = {marker(), ins(0x2020001), marker()};
  pt(0, 1).code = {marker(), {0x05, 0}, marker()};
  EXPECT_EQ(e.validate(0, -1), 1);
  EXPECT_EQ(e.message(), " ");
  EXPECT_EQ(e.validate(0, 1), -1);
  EXPECT_EQ(e.message(), "5:不正なフラグがあります。");
  EXPECT_EQ(e.validate(0, 2), 1);  // the sentinel point: back to the line's program
}

TEST_F(ValidateTest, CompiledProgramsValidate) {
  doc.curLine = 0;
  ScriptEngine e(doc);
  e.setDumpPath("");
  ASSERT_EQ(e.lex("param 3; p[2] = 1; while (p[0] < 3) { L[0]P[p[0]]vx = L[0]P[1]vy * 2 + "
                  "sin(p[1]); p[0] += 1; if (VextX > 1 !) { L[p[2]]param[0] = 1; } } "
                  "p[1] = Distance(L[0]P[0]vx, L[0]P[1]vx); AllInit();"),
            1);
  EXPECT_EQ(e.validate(0, -1), 1);
}

}  // namespace
}  // namespace tovala::script_test
