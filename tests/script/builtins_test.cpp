// Built-in functions: known answers through every way of calling them.

#include <bit>
#include <cmath>

#include "script/builtins.h"
#include "script_fixture.h"

namespace tovala::script_test {
namespace {

class BuiltinsTest : public ScriptTest {};

TEST_F(BuiltinsTest, FactorialWrapsIn32Bits) {
  EXPECT_EQ(value("p[0] = factorial(5);"), 120.0f);
  EXPECT_EQ(value("p[0] = factorial(0);"), 1.0f);
  EXPECT_EQ(value("p[0] = factorial(-3);"), -3.0f);
  EXPECT_EQ(value("p[0] = factorial(2.9);"), 2.0f);
  EXPECT_EQ(value("p[0] = factorial(13);"), 1932053504.0f);   // 13! mod 2^32
  EXPECT_EQ(value("p[0] = factorial(33);"), -2147483648.0f);  // 2^31 times an odd number
  EXPECT_EQ(value("p[0] = factorial(34);"), 0.0f);
  EXPECT_EQ(value("p[0] = factorial(2000000000);"), 0.0f);  // at once, not by counting
}

TEST_F(BuiltinsTest, KnownAnswers) {
  EXPECT_EQ(value("p[0] = pow(2, 10);"), 1024.0f);
  EXPECT_EQ(value("p[0] = 1 + pow(2, 3);"), 9.0f);
  EXPECT_NEAR(value("p[0] = log(2, 8);"), 3.0f, 1e-6f);
  EXPECT_EQ(value("p[0] = mod(-7, 3);"), -1.0f);
  EXPECT_EQ(value("p[0] = mod(7.5, 2);"), 1.5f);
  EXPECT_EQ(value("p[0] = delta(0.5, 1);"), 1.0f);
  EXPECT_EQ(value("p[0] = delta(1, 1);"), 0.0f);
  EXPECT_EQ(value("p[0] = delta(-0.5, 1);"), 1.0f);
  EXPECT_EQ(value("p[0] = step(0);"), 1.0f);
  EXPECT_EQ(value("p[0] = step(-0.1);"), 0.0f);
  EXPECT_EQ(value("param 2; p[1] = sqrt(-1); p[0] = step(p[1]);"), 0.0f);
  EXPECT_EQ(value("p[0] = abs(-2.5);"), 2.5f);
  EXPECT_EQ(value("p[0] = hypot(3, 4);"), 5.0f);
  EXPECT_EQ(value("p[0] = max(1, 2);"), 2.0f);
  EXPECT_EQ(value("p[0] = min(1, 2);"), 1.0f);
  EXPECT_EQ(value("p[0] = sqrt(16);"), 4.0f);
  EXPECT_EQ(value("p[0] = sin(0);"), 0.0f);
  EXPECT_EQ(value("p[0] = cos(0);"), 1.0f);
  EXPECT_EQ(value("p[0] = tan(0);"), 0.0f);
  EXPECT_EQ(value("p[0] = sinh(0);"), 0.0f);
  EXPECT_EQ(value("p[0] = cosh(0);"), 1.0f);
  EXPECT_EQ(value("p[0] = tanh(0);"), 0.0f);
  EXPECT_EQ(value("p[0] = asin(1);"), float(std::asin(1.0)));
  EXPECT_EQ(value("p[0] = acos(1);"), 0.0f);
  EXPECT_EQ(value("p[0] = atan(1);"), float(std::atan(1.0)));
  EXPECT_EQ(value("p[0] = ln(1);"), 0.0f);
  EXPECT_EQ(value("p[0] = exp(0);"), 1.0f);
  EXPECT_NEAR(value("p[0] = 0 + ln(exp(2));"), 2.0f, 1e-6f);
  EXPECT_EQ(value("p[0] = 0 + max(3, 8) - min(3, 8);"), 5.0f);
  EXPECT_EQ(lastRun, 1);
}

TEST_F(BuiltinsTest, RandFollowsItsFixedSequence) {
  const float scale = std::bit_cast<float>(uint32_t(0x38000100));
  script::resetRandomSequence();
  const auto first = exec("param 3; p[0] = rand(10); p[1] = rand(10); p[2] = rand(10);");
  EXPECT_EQ(first[0], 41.0f * scale * 10.0f);
  EXPECT_EQ(first[1], 18467.0f * scale * 10.0f);
  EXPECT_EQ(first[2], 6334.0f * scale * 10.0f);
  // The sequence continues across runs and starts over only with a new start of the program.
  const auto more = exec("param 1; p[0] = rand(10);");
  EXPECT_EQ(more[0], 26500.0f * scale * 10.0f);
  script::resetRandomSequence();
  EXPECT_EQ(exec("param 1; p[0] = rand(10);")[0], first[0]);
  for (int i = 0; i < 200; ++i) {
    const float r = script::callBuiltinRoutine(0x12, 10.0f, 0.0f);
    EXPECT_GE(r, 0.0f);
    EXPECT_LE(r, 10.0f);
  }
}

TEST_F(BuiltinsTest, TableHoldsTheArgumentCounts) {
  EXPECT_EQ(script::builtinArgCount(0x00), -1);
  EXPECT_EQ(script::builtinArgCount(0x01), -1);
  EXPECT_EQ(script::builtinArgCount(0x02), 1);
  EXPECT_EQ(script::builtinArgCount(0x03), 2);
  EXPECT_EQ(script::builtinArgCount(0x12), 1);
  EXPECT_EQ(script::builtinArgCount(0x13), 2);
  EXPECT_EQ(script::builtinArgCount(0x18), 2);
  EXPECT_EQ(script::builtinArgCount(0x19), -1);
  EXPECT_EQ(script::builtinArgCount(0xFFFF), -1);
  EXPECT_EQ(script::callBuiltinRoutine(0x01, 1.0f, 1.0f), 0.0f);
}

}  // namespace
}  // namespace tovala::script_test
