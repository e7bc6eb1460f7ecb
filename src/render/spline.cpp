#include "render/spline.h"

#include <cmath>

namespace tovala {

void ParametricSpline::build(std::span<const double> xs, std::span<const double> ys) {
  const size_t c = xs.size();
  t_.assign(c, 0.0);
  x_.assign(xs.begin(), xs.end());
  y_.assign(ys.begin(), ys.end());
  sx_.assign(c, 0.0);
  sy_.assign(c, 0.0);
  diag_.assign(c, 0.0);
  h_.clear();
  if (c < 2) return;

  for (size_t i = 1; i < c; ++i) {
    double dx = x_[i] - x_[i - 1], dy = y_[i] - y_[i - 1];
    // Coincident points still get a step, so the parameter keeps growing.
    if (dx == 0 && dy == 0) dx = dy = 0.1;
    t_[i] = t_[i - 1] + std::sqrt(dx * dx + dy * dy);
  }
  const double total = t_[c - 1];
  for (size_t i = 1; i < c; ++i) t_[i] /= total;

  // Tridiagonal system for the inner points; the end values stay 0 (natural spline).
  // Row i: h[i-1] s[i-1] + 2 (h[i-1] + h[i]) s[i] + h[i] s[i+1] = slope[i] - slope[i-1].
  for (size_t i = 1; i + 1 < c; ++i) {
    const double hPrev = t_[i] - t_[i - 1], h = t_[i + 1] - t_[i];
    double d = 2 * (hPrev + h);
    double rx = (x_[i + 1] - x_[i]) / h - (x_[i] - x_[i - 1]) / hPrev;
    double ry = (y_[i + 1] - y_[i]) / h - (y_[i] - y_[i - 1]) / hPrev;
    if (i > 1) {
      const double f = hPrev / diag_[i - 1];
      d -= f * hPrev;
      rx -= f * sx_[i - 1];
      ry -= f * sy_[i - 1];
    }
    diag_[i] = d;
    sx_[i] = rx;
    sy_[i] = ry;
  }
  for (size_t i = c - 2; i >= 1; --i) {
    const double h = t_[i + 1] - t_[i];
    sx_[i] = (sx_[i] - h * sx_[i + 1]) / diag_[i];
    sy_[i] = (sy_[i] - h * sy_[i + 1]) / diag_[i];
  }
  h_.resize(c - 1);
  for (size_t i = 0; i + 1 < c; ++i) h_[i] = t_[i + 1] - t_[i];
  prepare(x_, sx_, cx_);
  prepare(y_, sy_, cy_);
}

void ParametricSpline::prepare(const std::vector<double>& v, const std::vector<double>& s,
                               std::vector<Cubic>& out) const {
  out.resize(h_.size());
  for (size_t i = 0; i < h_.size(); ++i) {
    const double h = h_[i];
    out[i] = {v[i], (v[i + 1] - v[i]) / h - h * (2 * s[i] + s[i + 1]), 3 * s[i], s[i + 1] - s[i]};
  }
}

int ParametricSpline::intervalOf(double t) const {
  int lo = 0, hi = count() - 2;
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (t <= t_[size_t(mid) + 1])
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo;
}

}  // namespace tovala
