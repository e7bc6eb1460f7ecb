#include "render/stroke_core.h"

#include <algorithm>

#include "render/spline.h"

namespace tovala {

namespace {

// One stroke's walk: its style, the segment being drawn and the spline through it.
class StrokeWalker {
 public:
  StrokeWalker(const LineRecord& line, const StrokeStyle& style, const StrokeOptions& options)
      : line_(line), style_(style), opt_(options) {
    const size_t n = line.points.size();
    for (auto* v : {&xs_, &ys_, &driftX_, &driftY_, &ww_, &hh_, &aa_}) v->reserve(n);
    segment_.reserve(n);
  }

  StrokeResult run(std::span<const int> points) {
    const PointRecord& first = line_.points[points.empty() ? 0 : size_t(points[0])];
    screen(first, result_.left, result_.top);
    result_.right = result_.left;
    result_.bottom = result_.top;

    size_t i = 0;
    while (i < points.size() && mode(points[i]) != -1) {
      size_t next = points.size();
      segment_.clear();
      for (size_t k = i; k < points.size(); ++k) {
        const int m = mode(points[k]);
        if (m == -1) {
          next = k;
          break;
        }
        if (m == 3) continue;
        segment_.push_back(points[k]);
        if (m == 1 && segment_.size() > 1) {
          next = k;  // the vertex also starts the next segment
          break;
        }
        if (m == 2) {
          next = k + 1;  // a split leaves a gap
          break;
        }
      }
      drawSegment();
      i = next;
    }
    if (touchedAny_) {
      result_.touched = {minX_ - reachX_ - 1, minY_ - reachY_ - 1, maxX_ + reachX_ + 2,
                         maxY_ + reachY_ + 2};
    }
    return result_;
  }

 private:
  int mode(int index) const { return line_.points[size_t(index)].mode; }

  void screen(const PointRecord& p, double& x, double& y) const {
    x = double(line_.w) * double(p.vx) + double(line_.vx);
    y = double(line_.h) * double(p.vy) + double(line_.vy);
  }

  void include(double x, double y) {
    if (x < result_.left) result_.left = x;
    if (x > result_.right) result_.right = x;
    if (y < result_.top) result_.top = y;
    if (y > result_.bottom) result_.bottom = y;
  }

  void touch(int x, int y) {
    if (!touchedAny_) {
      minX_ = maxX_ = x;
      minY_ = maxY_ = y;
      touchedAny_ = true;
      return;
    }
    minX_ = std::min(minX_, x);
    maxX_ = std::max(maxX_, x);
    minY_ = std::min(minY_, y);
    maxY_ = std::max(maxY_, y);
  }

  void kernelLine(int x0, int y0, int x1, int y1) {
    touch(x0, y0);
    touch(x1, y1);
    reachX_ = std::max(reachX_, opt_.raster->kernelWidth());
    reachY_ = std::max(reachY_, opt_.raster->kernelHeight());
    opt_.raster->kernelLine(x0, y0, x1, y1);
  }

  void taperedLine(const TaperEnd& a, const TaperEnd& b) {
    touch(a.x, a.y);
    touch(b.x, b.y);
    reachX_ = std::max({reachX_, stampSize(a.w), stampSize(b.w)});
    reachY_ = std::max({reachY_, stampSize(a.h), stampSize(b.h)});
    opt_.raster->taperedLine(a, b);
  }

  void record(int x, int y) {
    if (opt_.path) opt_.path->push_back({x, y});
  }

  void loadSegment() {
    xs_.clear();
    ys_.clear();
    driftX_.clear();
    driftY_.clear();
    ww_.clear();
    hh_.clear();
    aa_.clear();
    const int64_t span = int64_t(style_.spmax) - style_.spmin;
    for (int index : segment_) {
      const PointRecord& p = line_.points[size_t(index)];
      double x, y;
      screen(p, x, y);
      xs_.push_back(x);
      ys_.push_back(y);
      ww_.push_back(p.pww);
      hh_.push_back(p.pwh);
      aa_.push_back(p.pwa);
      if (style_.lmode == 1) {
        // Each point drifts by its own correction, spread over the passes.
        driftX_.push_back(span + 1 != 0 ? p.spdspx / double(span + 1) : 0.0);
        driftY_.push_back(span + 1 != 0 ? p.spdspy / double(span + 1) : 0.0);
      } else {
        driftX_.push_back(span > 0 ? style_.dspx / double(span) : 0.0);
        driftY_.push_back(span > 0 ? style_.dspy / double(span) : 0.0);
      }
    }
  }

  void drawSegment() {
    const size_t c = segment_.size();
    if (c < 2) return;
    loadSegment();
    if (c == 2)
      drawStraight();
    else
      drawPasses();
  }

  // Two points: the straight line, once per pass, without drift.
  void drawStraight() {
    include(xs_[0], ys_[0]);
    include(xs_[1], ys_[1]);
    const int x0 = toPixel(xs_[0]), y0 = toPixel(ys_[0]);
    const int x1 = toPixel(xs_[1]), y1 = toPixel(ys_[1]);
    record(x0, y0);
    record(x1, y1);
    if (!opt_.raster) return;
    const int64_t repeats = int64_t(style_.spmax) - style_.spmin + 1;
    for (int64_t r = 0; r < repeats; ++r) {
      if (style_.lmode == 1)
        taperedLine({x0, y0, ww_[0], hh_[0], aa_[0]}, {x1, y1, ww_[1], hh_[1], aa_[1]});
      else
        kernelLine(x1, y1, x0, y0);
    }
  }

  int interval(int cursor, double t) const {
    return opt_.binarySearch ? spline_.intervalOf(t) : spline_.advance(cursor, t);
  }

  // Width, height and weight at parameter t in `iv`, held to what a stamp can take.
  TaperEnd taperAtParam(int iv, double t, int x, int y) const {
    double h = spline_.param(iv + 1) - spline_.param(iv);
    if (h == 0) h = 0.0001;
    const double f = (t - spline_.param(iv)) / h;
    const size_t i = size_t(iv);
    TaperEnd e{x, y, ww_[i] + (ww_[i + 1] - ww_[i]) * f, hh_[i] + (hh_[i + 1] - hh_[i]) * f,
               aa_[i] + (aa_[i + 1] - aa_[i]) * f};
    if (e.w < 1) e.w = 1;
    if (e.h < 1) e.h = 1;
    e.k = std::clamp(e.k, 0.0, 255.0);
    return e;
  }

  void drawPasses() {
    const int64_t c = int64_t(segment_.size());
    for (int64_t p = style_.spmin; p <= style_.spmax; ++p) {
      spline_.build(xs_, ys_);
      const int64_t n = (c - 1) * p - 1;
      double prevX = xs_[0], prevY = ys_[0];
      int cursor = 0, cursorEnd = 0;
      for (int64_t j = 0; n >= 1 && j <= n; ++j) {
        const double t = double(j) / double(n);
        cursor = interval(cursor, t);
        double x, y;
        spline_.evaluate(cursor, t, x, y);
        include(x, y);
        const int px = toPixel(prevX), py = toPixel(prevY), cx = toPixel(x), cy = toPixel(y);
        record(cx, cy);
        if (opt_.raster) {
          if (style_.lmode == 1) {
            const double tEnd = t + 1.0 / double(n);
            cursorEnd = interval(cursorEnd, tEnd);
            taperedLine(taperAtParam(cursor, t, px, py), taperAtParam(cursorEnd, tEnd, cx, cy));
          } else {
            kernelLine(px, py, cx, cy);
          }
        }
        prevX = x;
        prevY = y;
      }
      for (size_t k = 0; k < xs_.size(); ++k) {
        xs_[k] += driftX_[k];
        ys_[k] += driftY_[k];
      }
    }
  }

  const LineRecord& line_;
  const StrokeStyle& style_;
  const StrokeOptions& opt_;
  StrokeResult result_;
  std::vector<int> segment_;
  std::vector<double> xs_, ys_, driftX_, driftY_, ww_, hh_, aa_;
  ParametricSpline spline_;
  bool touchedAny_ = false;
  int minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0, reachX_ = 0, reachY_ = 0;
};

}  // namespace

StrokeResult runStroke(const LineRecord& line, std::span<const int> points,
                       const StrokeStyle& style, const StrokeOptions& options) {
  return StrokeWalker(line, style, options).run(points);
}

std::vector<int> wholeLine(const LineRecord& line) {
  std::vector<int> indices;
  const int real = int(line.points.size()) - 1;
  indices.reserve(size_t(std::max(real, 0)));
  for (int i = 0; i < real; ++i) indices.push_back(i);
  return indices;
}

}  // namespace tovala
