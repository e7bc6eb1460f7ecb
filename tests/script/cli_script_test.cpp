// tovala-cli compile, run and exec on real project files.

#include <filesystem>

#include "model/project_file.h"
#include "script_fixture.h"
#include "support/test_support.h"

namespace tovala::script_test {
namespace {

class ScriptCli : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    addLine({{10, 20, 0}, {30, 40, 0}});
    addLine({{50, 60, 0}});
  }
  std::string save(const std::string& name) {
    EXPECT_TRUE(saveProject(doc, dir.file(name), true));
    return dir.file(name);
  }
  std::string script(const std::string& name, const std::string& text) {
    test::writeFileBytes(dir.file(name), std::vector<uint8_t>(text.begin(), text.end()));
    return dir.file(name);
  }
  Document load(const std::string& name) {
    Document d;
    d.ui = &ui;
    EXPECT_TRUE(loadProject(d, dir.file(name), true));
    return d;
  }
  test::CliResult cli(const std::vector<std::string>& args) {
    return test::runCli(args, dir.path().string());
  }
  test::TempDir dir;
};

TEST_F(ScriptCli, CompileStoresTheProgramOnTheLine) {
  const auto in = save("in.tov");
  const auto src = script("s.txt", "param 1; L[1]vx = 7;");
  const auto r = cli({"compile", in, "--line", "0", src, "-o", dir.file("out.tov")});
  EXPECT_EQ(r.status, 0) << r.err;
  const Document out = load("out.tov");
  EXPECT_EQ(out.lines[0].code,
            (CodeList{marker(1), ins(0x2000000), num(7), {0x1C, 0x00010010}, marker()}));
  EXPECT_EQ(out.lines[0].codeChanged, 1);
  EXPECT_EQ(out.lines[1].codeCount(), 1);
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "PreCom.txt"));
}

TEST_F(ScriptCli, CompileErrorsAreReportedAndWhatCompiledIsKept) {
  const auto in = save("in.tov");
  auto r = cli({"compile", in, "--line", "1", script("bad.txt", "p[0] = 1; p[0] = 1 2;"), "-o",
                dir.file("out.tov")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("エラー: 2:数、変数、基本関数、)の後に数は来ません。"), std::string::npos)
      << r.err;
  EXPECT_EQ(load("out.tov").lines[1].code.size(), 5u);
  // A program that compiles but does not validate.
  r = cli({"compile", in, "--line", "1", script("v.txt", "L[5]vx = 1;"), "-o", dir.file("v.tov")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("エラー: 線L[5]は存在しません。"), std::string::npos) << r.err;
  r = cli({"compile", in, "--line", "2", script("ok.txt", "p[0] = 1;"), "-o", dir.file("x.tov")});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "x.tov"));
  EXPECT_EQ(cli({"compile", in, script("ok.txt", "p[0] = 1;"), "-o", dir.file("x.tov")}).status, 2);
  EXPECT_EQ(
      cli({"compile", in, "--line", "one", dir.file("ok.txt"), "-o", dir.file("x.tov")}).status, 2);
}

TEST_F(ScriptCli, RunExecutesTheLinePrograms) {
  ln(0).code = compile("VextX = VextX + 5;");
  ln(1).code = compile("VextY = VextY + 1;");
  pt(1, 0).kind = 2000;
  const auto in = save("in.tov");
  auto r = cli({"run", in, "-o", dir.file("all.tov")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(load("all.tov").VextX, 5.0f);
  EXPECT_EQ(load("all.tov").VextY, 1.0f);
  r = cli({"run", in, "-o", dir.file("one.tov"), "--select", "1", "0"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(load("one.tov").VextX, 0.0f);
  EXPECT_EQ(load("one.tov").VextY, 1.0f);

  ln(0).code = compile("L[9]vx = 1;");
  const auto bad = save("bad.tov");
  r = cli({"run", bad, "-o", dir.file("none.tov")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("エラー: SetValue"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "none.tov"));
}

TEST_F(ScriptCli, ExecRunsAScratchProgramAndPrintsItsLocals) {
  ln(0).code = compile("VextX = 1;");
  const auto in = save("in.tov");
  const auto src = script("e.txt",
                          "param 4; p[0] = 1.5; p[1] = L[0]P[1]vy; p[2] = sqrt(-1); "
                          "L[1]vx = 9;");
  auto r = cli({"exec", in, src, "--locals", "-o", dir.file("out.tov")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "[1.5, 40, null, 0]\n");
  const Document out = load("out.tov");
  EXPECT_EQ(out.lines[1].vx, 9.0f);
  EXPECT_EQ(out.lines[0].code, ln(0).code);  // no line's program changed
  EXPECT_EQ(out.VextX, 0.0f);

  r = cli({"exec", in, script("f.txt", "param 1; p[0] = 2; p[0] = L[7]vx;"), "--locals"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "[2]\n");
  r = cli({"exec", in, script("g.txt", "p[0] = ;")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("エラー: ;:有効な文字が足りません。"), std::string::npos) << r.err;

  // A script without statements runs nothing, and says so.
  r = cli({"exec", in, script("h.txt", "  \n")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no statement"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tovala::script_test
