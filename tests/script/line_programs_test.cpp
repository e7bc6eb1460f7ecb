// Line command programs: which programs run, in which order, with fresh locals each time.

#include "script/line_programs.h"
#include "engine/motion_run.h"
#include "script_fixture.h"

namespace tovala::script_test {
namespace {

class LinePrograms : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    for (int i = 0; i < 3; ++i) addLine({{0, 0, 0}, {1, 1, 1}});
    // Each line appends its digit to VextX, so the order of the runs shows in the result.
    for (int i = 0; i < 3; ++i) store(i, "VextX = VextX * 10 + " + std::to_string(i + 1) + ";");
  }
  void store(int line, const std::string& source) {
    doc.curLine = line;
    ScriptEngine e(doc);
    e.setDumpPath("");
    ASSERT_EQ(e.lex(source), 1);
  }
};

TEST_F(LinePrograms, EveryLineRunsInLineOrder) {
  doc.lineOrder = {2, 0, 1, 3};
  EXPECT_EQ(runLinePrograms(doc, 0, 0), 0);
  EXPECT_EQ(doc.VextX, 312.0f);
  doc.VextX = 0;
  doc.lineOrder = {1, 2, 0, 3};
  runLinePrograms(doc, 0, 0);
  EXPECT_EQ(doc.VextX, 231.0f);
}

TEST_F(LinePrograms, AJointPointRunsOnlyItsLine) {
  pt(1, 1).kind = 2000;
  runLinePrograms(doc, 1, 1);
  EXPECT_EQ(doc.VextX, 2.0f);
  doc.VextX = 0;
  pt(1, 1).kind = 1000;  // a batch joint point runs them all
  runLinePrograms(doc, 1, 1);
  EXPECT_EQ(doc.VextX, 123.0f);
  doc.VextX = 0;
  pt(1, 1).kind = 2000;
  doc.curLine = 1;
  doc.curPoint = 1;
  runLinePrograms(doc);
  EXPECT_EQ(doc.VextX, 2.0f);
}

TEST_F(LinePrograms, ShortProgramsAndBadOrderEntriesAreSkipped) {
  ln(1).code = {marker(), marker()};
  ln(2).code = {CodeEntry{}};
  doc.lineOrder = {0, 7, 1, -1, 2};  // entries that name no line are passed over
  runLinePrograms(doc, -1, -1);
  EXPECT_EQ(doc.VextX, 1.0f);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(LinePrograms, EachRunStartsWithFreshLocals) {
  store(0, "param 1; p[0] += 1; VextY = VextY + p[0];");
  runLinePrograms(doc, 0, 0);
  runLinePrograms(doc, 0, 0);
  EXPECT_EQ(doc.VextY, 2.0f);
}

TEST_F(LinePrograms, FailedRunsAreCountedAndTheOthersStillRun) {
  store(1, "L[40]vx = 1;");
  EXPECT_EQ(runLinePrograms(doc, 0, 0), 1);
  EXPECT_EQ(doc.VextX, 13.0f);
  EXPECT_EQ(ui.lastText(), "SetValue");
}

TEST_F(LinePrograms, TheEngineReachesThemThroughTheHook) {
  setLineProgramRunner(nullptr);
  runMotion(doc, 0, 0);
  EXPECT_EQ(doc.VextX, 0.0f);
  installScriptHooks();
  runMotion(doc, 0, 0);
  EXPECT_EQ(doc.VextX, 123.0f);
  setLineProgramRunner(nullptr);
}

}  // namespace
}  // namespace tovala::script_test
