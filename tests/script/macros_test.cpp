// Macros: measurements, AllInit, and the motion macros giving exactly what the engine
// operations give when called directly.

#include "script/macros.h"
#include "engine/joints.h"
#include "script_fixture.h"

namespace tovala::script_test {
namespace {

class MacrosTest : public ScriptTest {
 protected:
  // A two-joint arm on line 0 (joint points with limits, the first turning the second and a
  // plain line's points) and a plain line 1.
  static void buildArm(Document& d) {
    appendLine(d, {{100, 100, 0}, {150, 100, 0}}, 4);
    appendLine(d, {{150, 120, 0}, {170, 130, 0}}, 0);
    for (int j = 0; j < 2; ++j) {
      PointRecord& p = d.lines[0].points[size_t(j)];
      p.kind = 2000;
      ParamList params;
      const float limits[12] = {-50, 50, -50, 50, -50, 50, -3, 3, -3, 3, -3, 3};
      for (int k = 0; k < 12; ++k) params.push_back(ParamEntry::ofFloat(6 + k, 0, limits[k]));
      if (j == 0) {
        params.push_back(ParamEntry::ofInt(20, 0, 1));        // line 0, point 1
        params.push_back(ParamEntry::ofInt(20, 0, 0x10000));  // line 1, point 0
        params.push_back(ParamEntry::ofInt(20, 0, 0x10001));  // line 1, point 1
      }
      params.push_back(ParamEntry::sentinel());
      p.params = params;
    }
    PointRecord& a = d.lines[0].points[0];
    a.vdx = 70;  // beyond the limit: clamped to 50
    a.vdy = -5;
    a.radz = 0.5f;
    d.lines[0].points[1].rady = 0.25f;
    d.VextX = 3;
    d.VextY = -4;
    d.RadZ = 0.1f;
  }
};

TEST_F(MacrosTest, DistancesAndTriangleAreas) {
  addLine({{0, 0, 0}, {3, 4, 12}});
  EXPECT_EQ(value("p[0] = Distance(L[0]P[0]vx, L[0]P[1]vx);"), 13.0f);
  EXPECT_EQ(value("p[0] = Distance2D(L[0]P[0]kind, L[0]P[1]nam);"), 5.0f);  // fields don't matter
  EXPECT_EQ(value("p[0] = Distance(L[0]P[0]vx, L[0]P[2]vx);"), 0.0f);       // sentinel point
  EXPECT_EQ(value("p[0] = Distance(L[0]P[0]vx, L[7]P[0]vx);"), 0.0f);
  EXPECT_NEAR(value("p[0] = TriangleAreaXY(L[0]P[0]vx);"), 0.5f, 1e-6f);
  pt(0, 0).unitZ = {0, 2, 1};
  EXPECT_NEAR(value("p[0] = TriangleAreaXZ(L[0]P[0]vx);"), 1.0f, 1e-6f);  // x and y only
  EXPECT_EQ(value("p[0] = TriangleAreaYZ(L[0]P[0]vx);"), 0.0f);           // all on the y axis
  // Unit vectors along the view direction span no area.
  pt(0, 1).unitX = {3, 4, 13};
  pt(0, 1).unitY = {3, 4, 14};
  EXPECT_EQ(value("p[0] = TriangleAreaXY(L[0]P[1]vx);"), 0.0f);
  EXPECT_EQ(value("p[0] = TriangleAreaXY(L[0]P[9]vx);"), 0.0f);
}

TEST_F(MacrosTest, AllInitRestoresReferencesWithScaledUnitTips) {
  const int line = addLine({{10, 20, 30}, {1, 2, 3}});
  pt(line, 0).vx = 99;
  pt(line, 1).vz = -7;
  pt(line, 0).vdx = 4;  // movement and rotation stay
  PointRecord& sentinel = pt(line, 2);
  sentinel.vx = 55;
  doc.modelScale = 2;
  exec("AllInit();");
  EXPECT_EQ(pt(line, 0).vx, 10.0f);
  EXPECT_EQ(pt(line, 1).vz, 3.0f);
  EXPECT_EQ(pt(line, 0).vdx, 4.0f);
  EXPECT_EQ(pt(line, 0).unitX, (std::array<float, 3>{12, 20, 30}));
  EXPECT_EQ(pt(line, 0).unitY, (std::array<float, 3>{10, 22, 30}));
  EXPECT_EQ(pt(line, 1).unitZ, (std::array<float, 3>{1, 2, 5}));
  EXPECT_EQ(pt(line, 2).vx, 55.0f);  // sentinels are left alone
}

TEST_F(MacrosTest, MotionMacrosMatchTheEngineOperations) {
  Document direct;
  buildArm(direct);
  buildArm(doc);
  doc.curLine = direct.curLine = 0;
  doc.curPoint = direct.curPoint = 0;

  exec(
      "AllInit(); TPMoveAll(); TPRotAll(); MacroMove(); MacroRot(); TPMove(L[0]P[1]vx); "
      "TPRot(L[0]P[0]vx); TPMoveSel(); TPRotSel(); MacroMoveSel(); MacroRotSel();");
  EXPECT_EQ(lastRun, 1);
  script::callMacroRoutine(direct, 0x01, {});  // AllInit has no engine counterpart
  TPMoveAll(direct);
  TPRotAll(direct);
  MacroMove(direct);
  MacroRot(direct);
  TPMove(direct, 0, 1);
  TPRot(direct, 0, 0);
  TPMoveSel(direct);
  TPRotSel(direct);
  MacroMoveSel(direct);
  MacroRotSel(direct);
  EXPECT_EQ(doc.lines, direct.lines);
  // The pose really moved: the clamped joint movement and the rotations reached line 1.
  EXPECT_NE(ln(1).points[0].vx, 150.0f);
  EXPECT_EQ(ln(0).points[0].vdx, 50.0f);
}

TEST_F(MacrosTest, MacrosYieldZeroAndBadReferencesChangeNothing) {
  buildArm(doc);
  const auto before = doc.lines;
  EXPECT_EQ(value("param 1; p[0] = 5; p[0] = TPMove(L[9]P[0]vx);"), 0.0f);
  EXPECT_EQ(value("param 1; p[0] = 5; p[0] = TPRot(L[0]P[100]vx);"), 0.0f);
  EXPECT_EQ(doc.lines, before);
  // A reference through a local is taken as written: its line index is out of range.
  exec("param 1; TPMove(p[0]);");
  EXPECT_EQ(doc.lines, before);
  EXPECT_EQ(lastRun, 1);
  EXPECT_EQ(value("param 1; p[0] = 5; p[0] = TPMove(L[0]P[0]vx);"), 0.0f);
}

TEST_F(MacrosTest, EveryMacroYieldsZeroAndIgnoresMissingReferences) {
  // The arm has no hit blocks, connecting or decorative lines; every reference below names a
  // line that does not exist. Whatever operation a macro is bound to, nothing may change.
  buildArm(doc);
  const auto before = doc.lines;
  const char* kRef = "L[50]P[0]vx";
  auto refs = [&](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += (i ? ", " : "") + std::string(kRef);
    return s;
  };
  const std::vector<std::pair<const char*, int>> macros = {
      {"TPMove", 1},           {"TPRot", 1},
      {"MakeAtari", 1},        {"MakeCLine", 1},
      {"MakeAtariAll", 0},     {"MakeCLineAll", 0},
      {"ConnectDirect4", 4},   {"ConnectDirect8", 10},
      {"ConnectDirect8L", 10}, {"ConnectDirectF", 4},
      {"FaceMoveAll", 1},      {"MakeOLine", 1},
      {"MakeOLineAll", 0},     {"ConnectOLine", 1},
      {"ConnectOLineAll", 0},  {"ConnectDirect4D", 4},
      {"ConnectDirect8D", 10}, {"ConnectDirect8LD", 10},
      {"ConnectDirectFD", 4}};
  for (const auto& [name, argc] : macros) {
    const std::string source =
        std::string("param 1; p[0] = 7; p[0] = ") + name + "(" + refs(argc) + ");";
    EXPECT_EQ(value(source), 0.0f) << source;
    EXPECT_EQ(lastCompile, 1) << source;
    EXPECT_EQ(lastRun, 1) << source;
    EXPECT_EQ(doc.lines, before) << source;
  }
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(MacrosTest, TableHoldsThirtyThreeMacrosWithTheirArgumentCounts) {
  int slots = 0;
  for (uint32_t i = 0; i < 300; ++i) slots += script::macroArgCount(i) >= 0 ? 1 : 0;
  EXPECT_EQ(slots, 33);
  EXPECT_EQ(script::macroArgCount(0x02), -1);
  EXPECT_EQ(script::macroArgCount(0x14), -1);
  EXPECT_EQ(script::macroArgCount(0x2D), -1);
  EXPECT_EQ(script::macroArgCount(0x01), 0);
  EXPECT_EQ(script::macroArgCount(0x15), 2);
  EXPECT_EQ(script::macroArgCount(0x21), 10);
  EXPECT_EQ(script::macroArgCount(0x2B), 10);
  EXPECT_EQ(script::macroArgCount(0x2C), 4);
  // The ten-argument forms compile with ten references.
  compile(
      "ConnectDirect8(L[0]P[0]vx, L[0]P[1]vx, L[0]P[2]vx, L[0]P[3]vx, L[0]P[4]vx, "
      "L[0]P[5]vx, L[0]P[6]vx, L[0]P[7]vx, L[0]P[8]vx, L[0]P[9]vx);");
  EXPECT_EQ(lastCompile, 1);
}

}  // namespace
}  // namespace tovala::script_test
