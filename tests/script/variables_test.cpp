// Model variables: every field code reads and writes its field with the right conversion, and
// indices that name nothing are refused.

#include <functional>

#include "script_fixture.h"

namespace tovala::script_test {
namespace {

class VariablesTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    addLine({{1, 2, 3}, {4, 5, 6}}, 4);
    addLine({{7, 8, 9}});
  }
};

TEST_F(VariablesTest, WorkedConversions) {
  EXPECT_EQ(value("p[0] = L[0]kind;"), 4.0f);
  exec("L[0]kind = 2.9;");
  EXPECT_EQ(ln(0).kind, 2);
  exec("L[0]kind = -2.9;");
  EXPECT_EQ(ln(0).kind, -2);
  exec("L[0]kind = 1e20;");  // out of the integer range: saturates
  EXPECT_EQ(ln(0).kind, 2147483647);

  ln(0).cr = 0;
  exec("L[0]crG = 300;");
  EXPECT_EQ(ln(0).cr, 0x00012C00u);
  ln(0).cr = 0x00ABCDEF;  // blue AB, green CD, red EF
  const auto c = exec("param 3; p[0] = L[0]crR; p[1] = L[0]crG; p[2] = L[0]crB;");
  EXPECT_EQ(c, (std::vector<float>{239, 205, 171}));
  exec("L[0]crR = 1.9;");
  EXPECT_EQ(ln(0).cr, 0x00ABCD01u);
  ln(0).cb = 0x00000000;
  exec("L[0]cbG = -1;");  // carries into the bytes above
  EXPECT_EQ(ln(0).cb, 0xFFFFFF00u);

  exec("param 3; p[2] = 1; L[p[2]]vx = 5;");
  EXPECT_EQ(ln(1).vx, 5.0f);
  EXPECT_EQ(ln(0).vx, 0.0f);

  exec("L[0]P[0]spdspx = 0.1;");
  EXPECT_EQ(pt(0, 0).spdspx, double(0.1f));
  pt(0, 1).spdspy = 0.3;
  EXPECT_EQ(value("p[0] = L[0]P[1]spdspy;"), 0.3f);

  exec("VextX = VextX + 10;");
  exec("VextX = VextX + 10;");
  EXPECT_EQ(doc.VextX, 20.0f);
}

TEST_F(VariablesTest, ColourWordsCopyBitForBit) {
  for (uint32_t colour : {0x00123456u, 0xFFFFFFFFu, 0x7F800001u, 0x00000001u}) {
    ln(0).cr = colour;
    ln(1).cr = 0;
    exec("L[1]cr = L[0]cr;");
    EXPECT_EQ(ln(1).cr, colour);
    exec("L[1]cb = L[0]cr;");
    EXPECT_EQ(ln(1).cb, colour);
  }
}

struct FieldCase {
  uint32_t code;
  std::function<double(const PointRecord&)> point;
  std::function<double(const LineRecord&)> line;
  bool integer;  // the field holds an integer (for the line: a colour byte or an i32)
};

TEST_F(VariablesTest, EveryFieldCodeRoundTrips) {
  using P = const PointRecord&;
  using L = const LineRecord&;
  const std::vector<FieldCase> cases = {
      {0x01, [](P p) { return p.kind; }, [](L l) { return l.kind; }, true},
      {0x02, [](P p) { return p.nam; }, [](L l) { return l.nam; }, true},
      {0x03, [](P p) { return p.mode; }, [](L l) { return l.mode; }, true},
      {0x04, [](P p) { return p.sel; }, [](L l) { return l.lmode; }, true},
      {0x05, [](P p) { return p.aux; }, [](L l) { return l.imgmode; }, true},
      {0x06, nullptr, [](L l) { return l.sel; }, true},
      {0x07, nullptr, [](L l) { return l.category; }, true},
      {0x0A, nullptr, [](L l) { return l.w; }, false},
      {0x0B, nullptr, [](L l) { return l.h; }, false},
      {0x0C, nullptr, [](L l) { return l.depth; }, false},
      {0x10, [](P p) { return p.vx; }, [](L l) { return l.vx; }, false},
      {0x11, [](P p) { return p.vy; }, [](L l) { return l.vy; }, false},
      {0x12, [](P p) { return p.vz; }, [](L l) { return l.vz; }, false},
      {0x20, [](P p) { return p.v0x; }, [](L l) { return l.v0x; }, false},
      {0x21, [](P p) { return p.v0y; }, [](L l) { return l.v0y; }, false},
      {0x22, [](P p) { return p.v0z; }, [](L l) { return l.v0z; }, false},
      {0x30, [](P p) { return p.radx; }, [](L l) { return l.radx; }, false},
      {0x31, [](P p) { return p.rady; }, [](L l) { return l.rady; }, false},
      {0x32, [](P p) { return p.radz; }, [](L l) { return l.radz; }, false},
      {0x40, [](P p) { return p.vdx; }, [](L l) { return l.vdx; }, false},
      {0x41, [](P p) { return p.vdy; }, [](L l) { return l.vdy; }, false},
      {0x42, [](P p) { return p.vdz; }, [](L l) { return l.vdz; }, false},
      {0x50, [](P p) { return p.unitX[0]; }, [](L l) { return l.rectx; }, false},
      {0x51, [](P p) { return p.unitX[1]; }, [](L l) { return l.recty; }, false},
      {0x52, [](P p) { return p.unitX[2]; }, [](L l) { return l.rectw; }, false},
      {0x53, nullptr, [](L l) { return l.recth; }, false},
      {0x60, [](P p) { return p.unitY[0]; }, nullptr, false},
      {0x61, [](P p) { return p.unitY[1]; }, nullptr, false},
      {0x61, nullptr, [](L l) { return l.cr & 0xFF; }, true},
      {0x62, [](P p) { return p.unitY[2]; }, nullptr, false},
      {0x62, nullptr, [](L l) { return (l.cr >> 8) & 0xFF; }, true},
      {0x63, nullptr, [](L l) { return (l.cr >> 16) & 0xFF; }, true},
      {0x70, [](P p) { return p.unitZ[0]; }, nullptr, false},
      {0x71, [](P p) { return p.unitZ[1]; }, nullptr, false},
      {0x71, nullptr, [](L l) { return l.cb & 0xFF; }, true},
      {0x72, [](P p) { return p.unitZ[2]; }, nullptr, false},
      {0x72, nullptr, [](L l) { return (l.cb >> 8) & 0xFF; }, true},
      {0x73, nullptr, [](L l) { return (l.cb >> 16) & 0xFF; }, true},
      {0xA0, [](P p) { return p.pww; }, [](L l) { return l.brw; }, false},
      {0xA1, [](P p) { return p.pwh; }, [](L l) { return l.brh; }, false},
      {0xA2, [](P p) { return p.pwa; }, [](L l) { return l.bra; }, false},
      {0xA3, [](P p) { return p.pwk; }, [](L l) { return l.brk; }, false},
      {0xB0, [](P p) { return p.spmin; }, [](L l) { return l.spmin; }, true},
      {0xB1, [](P p) { return p.spmax; }, [](L l) { return l.spmax; }, true},
      {0xB2, [](P p) { return p.spdspx; }, [](L l) { return l.spdspx; }, false},
      {0xB3, [](P p) { return p.spdspy; }, [](L l) { return l.spdspy; }, false},
  };
  ScriptEngine e(doc);
  for (const FieldCase& c : cases) {
    const float written = 7.75f;
    const double expected = c.integer ? 7.0 : 7.75;
    float read = 0;
    if (c.point) {
      const uint32_t ref = 0x00010000u | c.code;  // L[1]P[0]
      ASSERT_EQ(e.setValue(0x1A, ref, written), 1) << std::hex << c.code;
      EXPECT_EQ(c.point(pt(1, 0)), expected) << std::hex << c.code;
      ASSERT_EQ(e.readOperand(0x1A, ref, read), 1);
      EXPECT_EQ(read, float(expected)) << std::hex << c.code;
    }
    if (c.line) {
      const uint32_t ref = 0x00010000u | c.code;  // L[1]
      ln(1).cr = ln(1).cb = 0;
      ASSERT_EQ(e.setValue(0x1C, ref, written), 1) << std::hex << c.code;
      EXPECT_EQ(c.line(ln(1)), expected) << std::hex << c.code;
      ASSERT_EQ(e.readOperand(0x1C, ref, read), 1);
      EXPECT_EQ(read, float(expected)) << std::hex << c.code;
    }
  }
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(VariablesTest, UnknownFieldCodesReadZeroAndWriteNothing) {
  ScriptEngine e(doc);
  const LineRecord before = ln(0);
  float read = 1;
  for (uint32_t code : {0x00u, 0x08u, 0x13u, 0x54u, 0x80u, 0xB4u, 0xFFu}) {
    EXPECT_EQ(e.setValue(0x1C, code, 9.0f), 1);
    EXPECT_EQ(e.readOperand(0x1C, code, read), 1);
    EXPECT_EQ(read, 0.0f);
  }
  for (uint32_t code : {0x06u, 0x53u, 0x63u, 0x73u}) {
    EXPECT_EQ(e.setValue(0x1A, code, 9.0f), 1);
  }
  EXPECT_EQ(ln(0), before);
  EXPECT_TRUE(ui.shown.empty());  // a missing field is no index error
}

TEST_F(VariablesTest, ParametersAndFixedVariables) {
  ln(0).params = {ParamEntry::ofFloat(6, 0, 1.5f), ParamEntry::sentinel()};
  pt(0, 1).params = {ParamEntry::ofInt(20, 0, 0x10002), ParamEntry::sentinel()};
  EXPECT_EQ(value("p[0] = L[0]param[0];"), 1.5f);
  EXPECT_EQ(bits(value("p[0] = L[0]P[1]param[0];")), 0x10002u);  // the raw word as a float
  exec("param 1; L[0]P[1]param[p[0]] = 3.5;");
  EXPECT_EQ(pt(0, 1).params[0].asFloat(), 3.5f);
  EXPECT_EQ(pt(0, 1).params[0].key, 20);  // only the value changes
  exec("L[0]param[1] = 2;");              // the sentinel entry counts as an entry
  EXPECT_EQ(ln(0).params[1].asFloat(), 2.0f);
  EXPECT_EQ(ln(0).params[1].key, kParamSentinelKey);
  exec("L[0]param[2] = 1;");
  EXPECT_EQ(ui.lastText(), "SetValue");
  ui.reset();
  exec("param 1; p[0] = L[0]P[0]param[1];");
  EXPECT_EQ(ui.lastText(), "GetValue");

  ScriptEngine e(doc);
  const uint32_t codes[] = {0x00, 0x01, 0x02, 0x10, 0x11, 0x12};
  float* fields[] = {&doc.VextX, &doc.VextY, &doc.VextZ, &doc.RadX, &doc.RadY, &doc.RadZ};
  for (int i = 0; i < 6; ++i) {
    ASSERT_EQ(e.setValue(0x1E, codes[i], float(i) + 0.5f), 1);
    EXPECT_EQ(*fields[i], float(i) + 0.5f);
    float read = 0;
    e.readOperand(0x1E, codes[i], read);
    EXPECT_EQ(read, float(i) + 0.5f);
  }
}

TEST_F(VariablesTest, IndicesThatNameNothingAreRefusedWithNothingChanged) {
  ScriptEngine e(doc);
  const auto linesBefore = doc.lines;
  float read = 5;
  // Line 2 is the sentinel line; point 2 of line 0 its sentinel point.
  EXPECT_EQ(e.readOperand(0x1C, 0x00020010, read), -1);
  EXPECT_EQ(read, 0.0f);
  EXPECT_EQ(ui.lastText(), "GetValue");
  EXPECT_EQ(e.setValue(0x1A, 0x00000210, 1.0f), -1);
  EXPECT_EQ(ui.lastText(), "SetValue");
  EXPECT_EQ(e.setValue(0x1D, 0x00000005, 1.0f), -1);
  EXPECT_EQ(e.setValue(0x1B, 0x00000105, 1.0f), -1);
  // Indirect indices need a local: there is none before a run.
  EXPECT_EQ(e.setValue(0x1C, 0x80000010, 1.0f), -1);
  EXPECT_EQ(e.setValue(0x10, 0x02000000, 1.0f), -1);
  EXPECT_EQ(doc.lines, linesBefore);
  EXPECT_EQ(ui.shown.size(), 6u);
}

}  // namespace
}  // namespace tovala::script_test
