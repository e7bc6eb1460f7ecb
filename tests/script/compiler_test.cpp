// The compiler: exact code records for small snippets, jump patching, storing, the dump.

#include <filesystem>
#include <fstream>
#include <sstream>

#include "script_fixture.h"
#include "support/test_support.h"

namespace tovala::script_test {
namespace {

class CompilerTest : public ScriptTest {};

TEST_F(CompilerTest, AssignmentFormsEmitTheirRecords) {
  EXPECT_EQ(compile("param 3; p[0] = 1; p[1] += p[0];"),
            (CodeList{marker(3), ins(0x2000000), num(1), local(0), ins(0x2000001), local(1),
                      local(0), local(1), marker()}));
  // t = a op b
  EXPECT_EQ(compile("p[0] = p[1] * 2;"),
            (CodeList{marker(), ins(0x2000003), local(1), num(2), local(0), marker()}));
  // t = f(args) with a built-in and with a macro
  EXPECT_EQ(compile("p[0] = pow(2, 10);"), (CodeList{marker(), ins(0x2000000), ins(0x2010003),
                                                     num(2), num(10), local(0), marker()}));
  EXPECT_EQ(compile("p[0] = Distance(L[0]P[0]vx, L[0]P[1]vx);"), (CodeList{marker(),
                                                                           ins(0x2000000),
                                                                           ins(0x2020015),
                                                                           {0x1A, 0x00000010},
                                                                           {0x1A, 0x00000110},
                                                                           local(0),
                                                                           marker()}));
  // general expression: between calc records, commas left out
  EXPECT_EQ(compile("p[0] = 0 + max(1, 2) * 3;"),
            (CodeList{marker(), ins(0x10010), local(0), num(0), ins(0x2000001), ins(0x2010017),
                      ins(0x2010000), num(1), num(2), ins(0x2010001), ins(0x2000003), num(3),
                      ins(0x10010), marker()}));
  EXPECT_EQ(compile("p[0] = 1 + sin(1);"),
            (CodeList{marker(), ins(0x10010), local(0), num(1), ins(0x2000001), ins(0x2010004),
                      ins(0x2010000), num(1), ins(0x2010001), ins(0x10010), marker()}));
  // an empty expression (a statement must follow for the form to be recognised)
  EXPECT_EQ(compile("p[0] = ; p[1] = 2;"), (CodeList{marker(), ins(0x10010), local(0), ins(0x10010),
                                                     ins(0x2000000), num(2), local(1), marker()}));
  // statement calls
  EXPECT_EQ(compile("AllInit(); TPMove(L[1]P[2]vx);"),
            (CodeList{marker(), ins(0x2020001), ins(0x2020010), {0x1A, 0x00010210}, marker()}));
  EXPECT_EQ(lastCompile, 1);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(CompilerTest, IfElseJumpsIntoTheElseBlockAndOverIt) {
  EXPECT_EQ(compile("if (p[0] < 1) { p[0] = 2; } else { p[0] = 3; }"),
            (CodeList{marker(), ins(0x10000), ins(0x2000101), local(0), num(1), jump(), target(12),
                      ins(0x2000000), num(2), local(0), jump(), target(15), ins(0x2000000), num(3),
                      local(0), marker()}));
  EXPECT_EQ(
      compile("if (p[0] == 1 && (p[1] > 2 || p[2] != 3 !)) { }"),
      (CodeList{marker(), ins(0x10000), ins(0x2000100), local(0), num(1), ins(0x2000200),
                ins(0x2010000), ins(0x2000103), local(1), num(2), ins(0x2000201), ins(0x2000105),
                local(2), num(3), ins(0x2000300), ins(0x2010001), jump(), target(18), marker()}));
}

TEST_F(CompilerTest, LoopsJumpBackAndBreaksLeaveThem) {
  EXPECT_EQ(
      compile("do { p[0] += 1; } while (p[0] < 10);"),
      (CodeList{marker(), ins(0x2000001), local(0), num(1), local(0), ins(0x10000), ins(0x2000101),
                local(0), num(10), ins(0x2000300), jump(), target(1), marker()}));
  EXPECT_EQ(
      compile("param 1; while (p[0] < 5) { p[0] += 1; if (p[0] == 3) { break; } continue; }"),
      (CodeList{marker(1),      ins(0x10000),   ins(0x2000101), local(0), num(5),     jump(),
                target(23),     ins(0x2000001), local(0),       num(1),   local(0),   ins(0x10000),
                ins(0x2000100), local(0),       num(3),         jump(),   target(19), jump(),
                target(23),     jump(),         target(1),      jump(),   target(1),  marker()}));
  // for is a second word for while; continue in a do-loop goes to its condition
  EXPECT_EQ(compile("for (p[0] < 2) { p[0] += 1; }"),
            (CodeList{marker(), ins(0x10000), ins(0x2000101), local(0), num(2), jump(), target(13),
                      ins(0x2000001), local(0), num(1), local(0), jump(), target(1), marker()}));
  EXPECT_EQ(compile("do { continue; break; } while (p[0] < 1);"),
            (CodeList{marker(), jump(), target(5), jump(), target(12), ins(0x10000), ins(0x2000101),
                      local(0), num(1), ins(0x2000300), jump(), target(1), marker()}));
}

TEST_F(CompilerTest, JumpsOutsideLoopsEndTheProgramOrDoNothing) {
  EXPECT_EQ(compile("break;"), (CodeList{marker(), jump(), target(3), marker()}));
  EXPECT_EQ(compile("return; p[0] = 1;"),
            (CodeList{marker(), jump(), target(6), ins(0x2000000), num(1), local(0), marker()}));
  EXPECT_EQ(compile("continue; p[0] = 1;"),
            (CodeList{marker(), jump(), target(3), ins(0x2000000), num(1), local(0), marker()}));
  EXPECT_EQ(lastCompile, 1);
}

TEST_F(CompilerTest, NestingStopsAt128) {
  auto nested = [](int depth) {
    std::string s;
    for (int i = 0; i < depth; ++i) s += "if (1 == 1) {";
    for (int i = 0; i < depth; ++i) s += "}";
    return s;
  };
  compile(nested(127));
  EXPECT_EQ(lastCompile, 1);
  EXPECT_TRUE(ui.shown.empty());
  compile(nested(128));
  EXPECT_EQ(lastCompile, -1);
  ASSERT_FALSE(ui.shown.empty());
  EXPECT_EQ(ui.shown[0].text, "if:条件式の重複が限界128を超えています。");
  EXPECT_EQ(ui.shown[0].caption, "エラー");
}

TEST_F(CompilerTest, EveryErrorHasItsMessage) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"param;", ";:有効な文字が足りません。"},
      {"param p[0];", "p[]:ここは数字です。"},
      {"param 3 4", "4:ここは;です。"},
      {"p[0] 1 2 3;", "1:ここは代入です。"},
      {"p[0] = 1", "1:有効な文字が足りません。"},
      {"p[0] += 1 2;", "2:2文字代入は1項のみの計算です。"},
      {"p[0] += ( ;", "(:初めが変数の場合、次は必ず代入です。"},
      {"p[0] = ( ;", "(:代入の次は数か変数です。"},
      {"p[0] = ( + 1;", "(:/代入の次は数か変数です。"},
      {"p[0] = 1 + ( ;", "(:演算の次は数か変数です。"},
      {"p[0] = 1 +", "+:有効な文字が足りません。"},
      {"p[0] = sin(1) + 1;", "+:代入の次は基本関数が1つだけです。"},
      {"do p[0] = 1;", "p[]:doの後は必ず{です。"},
      {"sin(1) sin(2);", "sin:関数は重複できません。"},
      {"{ }", "{:使用できない文字列があります。"},
      {"}", "}:使用できない文字列があります。"},
      {"do { } p[0] = 1;", "}:使用できない文字列があります。"},
      {"if (1 == 1) { } else p[0] = 1;", "p[]:elseの次は必ず{です。"},
      {"while (1 == 1) { } else { }", "else:elseに対応するif文が見つかりません。"},
      {"if p[0] < 1) {", "p[]:条件式の初めは必ず(です。"},
      {"if (p[0] p[1]) {", "p[]:数か変数の次は必ず比較演算です。"},
      {"if (p[0] < ) {", "):比較演算の次は必ず数か変数です。"},
      {"if (! p[0] < 1) {", "!:否定の前は必ず数か変数か否定か括弧です。"},
      {"if (p[0] < 1 (p[1] < 2)) {", "(:(の前は必ず数か変数ではありません。"},
      {"if (p[0] < 1 && ) {", "):)の前は必ず数か変数か否定か括弧です。"},
      {"if (p[0] < 1 + ) {", "+:条件式内に不正な文字があります。"},
      {"if (p[0] < 1) p[0] = 1;", "p[]:条件式が終わったら必ず{です。"},
      {"if (p[0] < 1", "1:有効な文字が足りません。"},
      {"p[0] = 1 + 2 + { ;", "{:数、変数、演算、基本関数、() ,以外は使用不可です。"},
      {"p[0] = 1 + 2 (3);", "(:基本関数の後は常に'('です。"},
      {"p[0] = (1 + ) ;", "):演算か基本関数か(の後に)は来ません。"},
      {"p[0] = 1 + 2 3;", "3:数、変数、基本関数、)の後に数は来ません。"},
      {"p[0] = 1 + 2 p[1];", "p[]:数、変数、基本関数、)の後に変数は来ません。"},
      {"p[0] = 1 + * 2;", "*:演算,基本関数は続きません。"},
      {"p[0] = 1 + 2 sin(1);", "sin:数、変数、基本関数、)の後に基本関数は来ません。"},
      {"p[0] = 1 + , 2;", ",:演算、基本関数、(の後に,は来ません。"},
      {"p[0] = 1 + 2 + 3", "3:有効な文字が足りません。"},
      {"p[0] = (1 + 2 + 3;", ";:括弧が閉じていません。"},
      {"p[0] = 1 + 2 * sin;", "sin:基本関数の次は必ず(です。"},
      {"p[0] = 1 + AllInit();", "AllInit:数、変数、演算、基本関数、() ,以外は使用不可です。"},
      {"sin 1;", "1:(がありません。"},
      {"sin();", "):関数の中は必ず数か変数です。"},
      {"pow(1 2);", "2:数、変数の次は,です。"},
      {"sin(1, 2);", ",:関数の終わりに)がありません。"},
      {"sin(1", "1:有効な文字が足りません。"},
  };
  for (const auto& [source, message] : cases) {
    ui.reset();
    compile(source);
    EXPECT_EQ(lastCompile, -1) << source;
    ASSERT_FALSE(ui.shown.empty()) << source;
    EXPECT_EQ(ui.shown[0].text, message) << source;
    EXPECT_EQ(ui.shown[0].caption, "エラー") << source;
  }
}

TEST_F(CompilerTest, OpenBlocksAndPendingJumpsAreReportedAndStillStored) {
  const int line = addLine({{0, 0, 0}});
  doc.curLine = line;
  ScriptEngine e(doc);
  e.setDumpPath("");
  EXPECT_EQ(e.lex("while (1 == 1) { break;"), -1);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].text, "{}が閉じていない");
  EXPECT_EQ(ui.shown[0].caption, "メッセージ");
  EXPECT_EQ(ui.shown[1].text, "jump命令が正確でない");
  // The loop's exit was never patched (0, the start marker, which ends a run); the pending
  // break points past the program and is stored as a jump to the end marker.
  EXPECT_EQ(ln(line).code, (CodeList{marker(), ins(0x10000), ins(0x2000100), num(1), num(1), jump(),
                                     target(0), jump(), target(9), marker()}));
  EXPECT_EQ(ln(line).codeChanged, 1);
}

TEST_F(CompilerTest, AnErrorStoresTheStatementsBeforeIt) {
  const int line = addLine({{0, 0, 0}});
  doc.curLine = line;
  ScriptEngine e(doc);
  e.setDumpPath("");
  EXPECT_EQ(e.lex("param 2; p[0] = 1; p[1] = 2 3 4; p[0] = 5;"), -1);
  EXPECT_EQ(ln(line).code, (CodeList{marker(2), ins(0x2000000), num(1), local(0), marker()}));
  // A failing if leaves neither its head nor an open block behind.
  ui.reset();
  EXPECT_EQ(e.lex("p[0] = 1; if (p[0] < ) { p[0] = 2; }"), -1);
  EXPECT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ln(line).code, (CodeList{marker(), ins(0x2000000), num(1), local(0), marker()}));
}

TEST_F(CompilerTest, NothingIsStoredWithoutAValidLine) {
  ScriptEngine e(doc);  // the document has only its sentinel line
  e.setDumpPath("");
  EXPECT_EQ(e.lex("p[0] = 1;"), 1);
  EXPECT_EQ(doc.lines[0].codeCount(), 1);
  EXPECT_EQ(e.program().size(), 5u);
}

TEST_F(CompilerTest, DumpListsTokensThenCode) {
  test::TempDir dir;
  const int line = addLine({{0, 0, 0}});
  doc.curLine = line;
  ScriptEngine e(doc);
  e.setDumpPath(dir.file("PreCom.txt"));
  ASSERT_EQ(e.lex("p[0] = 1;"), 1);
  const auto bytes = test::readFileBytes(dir.file("PreCom.txt"));
  const std::string dump(bytes.begin(), bytes.end());
  EXPECT_EQ(dump,
            "0000        p[]      param 10 02000000\n"
            "0001          =      input 20 02000000\n"
            "0002          1        nam 02 3f800000\n"
            "0003          ;          ; 00 00000000\n"
            "\n\n\n\n"
            "0000      start       mark ff 00000000\n"
            "0001          =      input 20 02000000\n"
            "0002          1        nam 02 3f800000\n"
            "0003        p[]      param 10 02000000\n"
            "0004        end       mark ff 00000000\n");

  ScriptEngine bad(doc);
  bad.setDumpPath(dir.file("missing/folder/PreCom.txt"));
  EXPECT_EQ(bad.lex("p[0] = 2;"), 1);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Miss Save!!");
  EXPECT_EQ(ui.shown[0].caption, "error");
  EXPECT_EQ(ln(line).code.size(), 5u);  // the program was stored all the same
}

}  // namespace
}  // namespace tovala::script_test
