#include "script/builtins.h"

#include <array>
#include <bit>
#include <cmath>

#include "script/bytecode.h"

namespace tovala::script {
namespace {

using Routine = float (*)(float x, float y);

struct Slot {
  int argCount;
  Routine routine;
};

// The generator behind "rand": a linear congruential sequence of 15-bit values from seed 1.
// One per thread, so the frames an animation export draws side by side do not share it.
thread_local uint32_t randomState = 1;

int nextRandom() {
  randomState = randomState * 214013u + 2531011u;
  return int((randomState >> 16) & 0x7FFF);
}

float factorial(float x, float) {
  const int32_t n = truncToInt(x);
  if (n < 0) return float(n);
  // 34! and above hold 2^32 as a factor, so their 32-bit product is 0: stop there rather than
  // loop up to two billion times.
  if (n >= 34) return 0.0f;
  uint32_t product = 1;
  for (int32_t i = 2; i <= n; ++i) product *= uint32_t(i);
  return float(std::bit_cast<int32_t>(product));
}

float power(float x, float y) { return float(std::pow(double(x), double(y))); }
float sine(float x, float) { return float(std::sin(double(x))); }
float cosine(float x, float) { return float(std::cos(double(x))); }
float tangent(float x, float) { return float(std::tan(double(x))); }
float sineH(float x, float) { return float(std::sinh(double(x))); }
float cosineH(float x, float) { return float(std::cosh(double(x))); }
float tangentH(float x, float) { return float(std::tanh(double(x))); }
float arcSine(float x, float) { return float(std::asin(double(x))); }
float arcCosine(float x, float) { return float(std::acos(double(x))); }
float arcTangent(float x, float) { return float(std::atan(double(x))); }
float squareRoot(float x, float) { return float(std::sqrt(double(x))); }
float naturalLog(float x, float) { return float(std::log(double(x))); }
float exponential(float x, float) { return float(std::exp(double(x))); }
float step(float x, float) { return x >= 0.0f ? 1.0f : 0.0f; }
float absolute(float x, float) { return std::fabs(x); }

float random(float x, float) {
  const float scale = std::bit_cast<float>(uint32_t(0x38000100));  // 3.0518509E-05
  return float(nextRandom()) * scale * x;
}

float delta(float x, float y) { return (-y < x && x < y) ? 1.0f : 0.0f; }
float modulo(float x, float y) { return float(std::fmod(double(x), double(y))); }
float logarithm(float x, float y) { return float(std::log10(double(y)) / std::log10(double(x))); }
float hypotenuse(float x, float y) {
  return float(std::sqrt(double(x) * double(x) + double(y) * double(y)));
}
float maximum(float x, float y) { return x > y ? x : y; }
float minimum(float x, float y) { return x < y ? x : y; }

constexpr std::array<Slot, kBuiltinSlots> kTable{{
    {-1, nullptr},     // 0x00 "("
    {-1, nullptr},     // 0x01 ")"
    {1, factorial},    // 0x02
    {2, power},        // 0x03
    {1, sine},         // 0x04
    {1, cosine},       // 0x05
    {1, tangent},      // 0x06
    {1, sineH},        // 0x07
    {1, cosineH},      // 0x08
    {1, tangentH},     // 0x09
    {1, arcSine},      // 0x0A
    {1, arcCosine},    // 0x0B
    {1, arcTangent},   // 0x0C
    {1, squareRoot},   // 0x0D
    {1, naturalLog},   // 0x0E
    {1, exponential},  // 0x0F
    {1, step},         // 0x10
    {1, absolute},     // 0x11
    {1, random},       // 0x12
    {2, delta},        // 0x13
    {2, modulo},       // 0x14
    {2, logarithm},    // 0x15
    {2, hypotenuse},   // 0x16
    {2, maximum},      // 0x17
    {2, minimum},      // 0x18
}};

}  // namespace

int builtinArgCount(uint32_t index) { return index < kTable.size() ? kTable[index].argCount : -1; }

float callBuiltinRoutine(uint32_t index, float x, float y) {
  if (index >= kTable.size() || !kTable[index].routine) return 0.0f;
  return kTable[index].routine(x, y);
}

void resetRandomSequence() { randomState = 1; }

uint32_t randomSequenceState() { return randomState; }

void setRandomSequenceState(uint32_t state) { randomState = state; }

}  // namespace tovala::script
