#pragma once
// Bresenham lines for the stamping primitives, able to start part-way so that the steps which
// cannot reach an image are never walked.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace tovala {

// A Bresenham line as major/minor axes. Step k sits at major0 + majorStep * k and at
// minor0 + minorStep * floor((2 k rise + length) / (2 length)): the nearest pixel, ties rounded
// away from the start.
struct LineWalk {
  bool xMajor;
  int64_t major0, minor0;
  int majorStep, minorStep;
  int64_t length, rise;

  LineWalk(int x0, int y0, int x1, int y1) {
    const int64_t dx = std::llabs(int64_t(x1) - x0), dy = std::llabs(int64_t(y1) - y0);
    xMajor = dx >= dy;
    major0 = xMajor ? x0 : y0;
    minor0 = xMajor ? y0 : x0;
    majorStep = (xMajor ? x1 >= x0 : y1 >= y0) ? 1 : -1;
    minorStep = (xMajor ? y1 >= y0 : x1 >= x0) ? 1 : -1;
    length = xMajor ? dx : dy;
    rise = xMajor ? dy : dx;
  }

  // The steps whose major coordinate lies in lo..hi, as [first, last]; false when none.
  bool stepsWithin(int64_t lo, int64_t hi, int64_t& first, int64_t& last) const {
    if (majorStep > 0) {
      first = lo - major0;
      last = hi - major0;
    } else {
      first = major0 - hi;
      last = major0 - lo;
    }
    first = std::max<int64_t>(first, 0);
    last = std::min(last, length);
    return first <= last;
  }

  // Calls f(x, y, k) for the steps first..last.
  template <class F>
  void walk(int64_t first, int64_t last, F&& f) const {
    const int64_t twoLength = 2 * length, twoRise = 2 * rise;
    // State at step `first`; dividing only when the walk starts part-way (divisions are slow
    // next to the short lines strokes are made of).
    int64_t q = 0, r = length;
    if (first > 0) {
      const int64_t num = 2 * first * rise + length;
      q = num / twoLength;
      r = num % twoLength;
    }
    for (int64_t k = first; k <= last; ++k) {
      const int major = int(major0 + majorStep * k), minor = int(minor0 + minorStep * q);
      if (xMajor)
        f(major, minor, k);
      else
        f(minor, major, k);
      r += twoRise;
      if (r >= twoLength) {
        r -= twoLength;
        ++q;
      }
    }
  }
};

}  // namespace tovala
