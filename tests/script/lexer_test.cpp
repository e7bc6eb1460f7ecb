// The lexer: token boundaries, look-ahead, negative literals, operand references and limits.

#include "script/script_messages.h"
#include "script/tables.h"
#include "script_fixture.h"

namespace tovala::script_test {
namespace {

struct Lexed {
  int result;
  std::vector<script::Token> tokens;
  std::string message;
};

class LexerTest : public ScriptTest {
 protected:
  Lexed lex(const std::string& source) {
    ScriptEngine e(doc);
    const int r = e.tokenize(source);
    return {r, e.tokens(), e.message()};
  }
  // The token texts, for compact comparisons.
  std::vector<std::string> texts(const std::string& source) {
    std::vector<std::string> out;
    for (const auto& t : lex(source).tokens) out.push_back(t.text);
    return out;
  }
};

using Texts = std::vector<std::string>;

TEST_F(LexerTest, TablesHaveTheirSizesAndTemplate) {
  EXPECT_EQ(script::kKeywords.size(), 98u);
  EXPECT_EQ(script::kVariables.size(), 77u);
  EXPECT_EQ(script::kKeywords[1].tokenClass, "nam");
  EXPECT_EQ(script::kKeywords[41].tokenClass, "end");
  EXPECT_EQ(script::kKeywords[64].text, "min");
  EXPECT_EQ(script::kKeywords[97].text, "ConnectDirectFD");
  EXPECT_EQ(script::kKeywords[97].code, 0x202002Cu);
  for (int i = 72; i < 77; ++i) EXPECT_TRUE(script::kVariables[size_t(i)].name.empty());
  EXPECT_EQ(script::findVariable(""), -1);
}

TEST_F(LexerTest, TwoCharacterOperatorsFormOnlyWhenAdjacent) {
  const Lexed a = lex("p[0]+=1");
  ASSERT_EQ(a.tokens.size(), 3u);
  EXPECT_EQ(a.tokens[0].flag, 0x10);
  EXPECT_EQ(a.tokens[1].text, "+=");
  EXPECT_EQ(a.tokens[1].tokenClass, "input");
  EXPECT_EQ(a.tokens[1].code, 0x2000001u);
  EXPECT_EQ(a.tokens[2].flag, 0x02);
  EXPECT_EQ(texts("p[0] + = 1"), (Texts{"p[]", "+", "=", "1"}));
  EXPECT_EQ(texts("a==b<=c!=d&&e||f>=g"),
            (Texts{"==", "<=", "!=", "&&", "||", ">="}));  // the single letters are dropped
  EXPECT_EQ(texts("if(x)do{"), (Texts{"if", "(", ")", "do", "{"}));
}

TEST_F(LexerTest, MinusBecomesPartOfALiteralOnlyWhereNoValuePrecedes) {
  const Lexed a = lex("x=-5;");
  ASSERT_EQ(a.tokens.size(), 3u);  // x is no variable name and is dropped
  EXPECT_EQ(a.tokens[1].text, "-5");
  EXPECT_EQ(a.tokens[1].code, bits(-5.0f));
  EXPECT_EQ(texts("(a)-5"), (Texts{"(", ")", "-", "5"}));
  EXPECT_EQ(texts("3-5"), (Texts{"3", "-", "5"}));
  EXPECT_EQ(texts("L[0]vx-1"), (Texts{"L[]vx", "-1"}));
  EXPECT_EQ(texts("L[0]vx - 1"), (Texts{"L[]vx", "-", "1"}));
  const Lexed b = lex("p[0]=-12.5;");
  EXPECT_EQ(b.tokens[2].code, bits(-12.5f));
  // "1e-5" stops at the minus: the literal 1 (written "1e"), minus, 5.
  EXPECT_EQ(texts("1e-5"), (Texts{"1e", "-", "5"}));
  EXPECT_EQ(lex("1.5e2").tokens[0].code, bits(150.0f));
}

TEST_F(LexerTest, OperandReferencesCarryTheirIndices) {
  EXPECT_EQ(lex("p[3]").tokens[0].code, 0x02000003u);
  EXPECT_EQ(lex("p[p[7]]").tokens[0].code, 0x02008007u);
  const Lexed a = lex("L[p[2]]P[1]vx");
  ASSERT_EQ(a.tokens.size(), 1u);
  EXPECT_EQ(a.tokens[0].flag, 0x1A);
  EXPECT_EQ(a.tokens[0].code, 0x80020110u);
  EXPECT_EQ(a.tokens[0].tokenClass, "param");
  EXPECT_EQ(a.tokens[0].text, "L[]P[]vx");
  EXPECT_EQ(lex("L[5]P[p[3]]param[p[4]]").tokens[0].code, 0x00058384u);
  EXPECT_EQ(lex("L[3]param[p[9]]").tokens[0].code, 0x00038009u);
  EXPECT_EQ(lex("L[3]crG").tokens[0].code, 0x00030062u);
  EXPECT_EQ(lex("RadZ").tokens[0].flag, 0x1E);
  EXPECT_EQ(lex("RadZ").tokens[0].code, 0x12u);
  // The largest indices that can be written.
  EXPECT_EQ(lex("L[32767]P[127]param[127]").tokens[0].code, 0x7FFF7F7Fu);
}

TEST_F(LexerTest, IndexLimitsAndBracketErrorsStopTheLexer) {
  const Lexed a = lex("p[0] = L[40000]vx;");
  EXPECT_EQ(a.result, -1);
  EXPECT_EQ(a.message, "L[40000]vx:変数の配列番号が大きすぎます(524287以下)。");
  EXPECT_EQ(a.tokens.size(), 2u);  // nothing after the failing token
  EXPECT_EQ(lex("L[0]P[200]vx").message, "L[0]P[200]vx:変数の配列番号が大きすぎます(127以下)。");
  EXPECT_EQ(lex("L[0]P[p[128]]vx").message,
            "L[0]P[p[128]]vx:変数の配列番号が大きすぎます(127以下)。");
  EXPECT_EQ(lex("L[0]param[32768]").message,
            "L[0]param[32768]:変数の配列番号が大きすぎます(524287以下)。");
  EXPECT_EQ(lex("p[32768]").message, "p[32768]:変数の配列番号が大きすぎます(524287以下)。");
  EXPECT_EQ(lex("L[1][2][3][4]x").message, "L[1][2][3][4]x:[]の数が多すぎます。");
  EXPECT_EQ(lex("p[p[p[1]]]").message, "p[p[p[1]]]:変数p[]の重複が多すぎます。");
  EXPECT_EQ(lex("p[1][2]").message, "p[1][2]:変数p[]の重複が多すぎます。");
  EXPECT_EQ(lex("L[x]vx").message, "L[x]vx:変数p[]に誤りがあります。");
  EXPECT_EQ(lex("L[]vx").message, "L[]vx:変数p[]に誤りがあります。");
}

TEST_F(LexerTest, UnknownWordsCommentsAndEmptySourcesProduceNothing) {
  EXPECT_TRUE(lex("foo").tokens.empty());
  EXPECT_EQ(lex("foo").result, 1);
  EXPECT_TRUE(lex("").tokens.empty());
  EXPECT_TRUE(lex("   \n\t").tokens.empty());
  EXPECT_EQ(texts("p[0] = 1; // the rest ; is ignored"), (Texts{"p[]", "=", "1", ";"}));
  EXPECT_EQ(texts("// only a comment"), Texts{});
  EXPECT_EQ(texts("1 /"), (Texts{"1", "/"}));
  EXPECT_EQ(texts("1//x\n2"), (Texts{"1", "2"}));
  // A NUL ends the source.
  EXPECT_EQ(texts(std::string("1;\0 2;", 6)), (Texts{"1", ";"}));
}

TEST_F(LexerTest, CarriageReturnIsAnOrdinaryCharacter) {
  // The identifier swallows the carriage return and is no longer a variable name.
  EXPECT_EQ(texts("L[0]vx\r = 1;"), (Texts{"=", "1", ";"}));
  EXPECT_EQ(texts("L[0]vx\n = 1;"), (Texts{"L[]vx", "=", "1", ";"}));
}

TEST_F(LexerTest, KeywordsAndLiteralsTakeTheirTableRecords) {
  const Lexed a = lex("param 2; while sin AllInit $$$ {");
  ASSERT_EQ(a.tokens.size(), 8u);
  EXPECT_EQ(a.tokens[0].tokenClass, "def");
  EXPECT_EQ(a.tokens[1].tokenClass, "nam");
  EXPECT_EQ(a.tokens[1].code, bits(2.0f));
  EXPECT_EQ(a.tokens[3].code, 0x10000u);
  EXPECT_EQ(a.tokens[4].code, 0x2010004u);
  EXPECT_EQ(a.tokens[4].tokenClass, "basef");
  EXPECT_EQ(a.tokens[5].code, 0x2020001u);
  EXPECT_EQ(a.tokens[5].tokenClass, "func");
  EXPECT_EQ(a.tokens[6].flag, 0x02);               // "$$$" finds the number template first
  EXPECT_EQ(lex("&").tokens[0].code, 0x2000005u);  // alone, & is the remainder operator
}

TEST_F(LexerTest, LexErrorIsShownAndNothingIsCompiled) {
  const int line = addLine({{0, 0, 0}});
  doc.curLine = line;
  ScriptEngine e(doc);
  e.setDumpPath("");
  EXPECT_EQ(e.lex("p[0] = L[0]P[500]vx;"), -1);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].caption, "エラー");
  EXPECT_EQ(ln(line).codeCount(), 1);  // the line keeps its empty program
  EXPECT_TRUE(e.codeList().empty());
}

}  // namespace
}  // namespace tovala::script_test
