#pragma once
// The parametric natural cubic spline a stroke follows: the parameter grows with the chord
// length from point to point and is scaled to run from 0 to 1; x(t) and y(t) are natural cubic
// splines (second derivative 0 at both ends) through the points.

#include <span>
#include <vector>

namespace tovala {

class ParametricSpline {
 public:
  // Builds the tables for the points (at least 2). Reuses its storage between builds.
  void build(std::span<const double> xs, std::span<const double> ys);

  int count() const { return int(t_.size()); }
  double param(int i) const { return t_[size_t(i)]; }

  // The interval holding t: the first i with t <= param(i + 1), kept within 0 .. count - 2.
  int intervalOf(double t) const;
  // The same answer found by walking on from `interval`, for parameters that only grow.
  int advance(int interval, double t) const {
    const int lastInterval = count() - 2;
    while (interval < lastInterval && !(t <= t_[size_t(interval) + 1])) ++interval;
    return interval;
  }

  // The point at t, which lies in `interval`:
  // value_i + d ((v_(i+1) - v_i) / h - h (2 s_i + s_(i+1)) + d (3 s_i + d (s_(i+1) - s_i) / h)).
  // Inline: strokes evaluate it some 600 times per point.
  void evaluate(int interval, double t, double& x, double& y) const {
    const size_t i = size_t(interval);
    const double d = t - t_[i], h = h_[i];
    const Cubic& a = cx_[i];
    const Cubic& b = cy_[i];
    x = a.v + d * (a.b + d * (a.c + d * a.ds / h));
    y = b.v + d * (b.b + d * (b.c + d * b.ds / h));
  }

 private:
  // Per interval, the parts of the cubic that do not depend on t (same operations, same
  // values as evaluating them in full every time).
  struct Cubic {
    double v, b, c, ds;  // value_i, first-order term, 3 s_i, s_(i+1) - s_i
  };
  void prepare(const std::vector<double>& v, const std::vector<double>& s,
               std::vector<Cubic>& out) const;

  std::vector<double> t_, x_, y_;
  std::vector<double> sx_, sy_;  // second derivatives divided by 6
  std::vector<double> diag_;     // elimination scratch
  std::vector<double> h_;        // interval lengths
  std::vector<Cubic> cx_, cy_;
};

}  // namespace tovala
