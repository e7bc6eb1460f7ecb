#include "render/stroke_core.h"

#include <algorithm>

#include "render/spline.h"

namespace tovala {

namespace {

// Bounding box of real positions, grown by comparisons only (so it starts where it is told).
struct RealBox {
  double left = 0, top = 0, right = 0, bottom = 0;
  void add(double x, double y) {
    if (x < left) left = x;
    if (x > right) right = x;
    if (y < top) top = y;
    if (y > bottom) bottom = y;
  }
};

// Bounding box of the stamp centres.
struct PixelBox {
  bool any = false;
  int left = 0, top = 0, right = 0, bottom = 0;
  void add(int x, int y) {
    if (!any) {
      left = right = x;
      top = bottom = y;
      any = true;
      return;
    }
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
};

// One stroke's walk: its style, the segment being drawn and the spline through it.
class StrokeWalker {
 public:
  StrokeWalker(const LineRecord& line, const StrokeStyle& style, const StrokeOptions& options)
      : line_(line),
        style_(style),
        opt_(options),
        originX_(options.position ? options.position->vx : line.vx),
        originY_(options.position ? options.position->vy : line.vy) {
    const size_t n = line.points.size();
    for (auto* v : {&xs_, &ys_, &driftX_, &driftY_, &ww_, &hh_, &aa_}) v->reserve(n);
    segment_.reserve(n);
  }

  StrokeResult run(std::span<const int> points) {
    const PointRecord& first = line_.points[points.empty() ? 0 : size_t(points[0])];
    screen(first, box_.left, box_.top);
    box_.right = box_.left;
    box_.bottom = box_.top;
    if (opt_.raster && style_.lmode != 1) {
      reachX_ = opt_.raster->kernelWidth();
      reachY_ = opt_.raster->kernelHeight();
    }

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
    StrokeResult result{box_.left, box_.top, box_.right, box_.bottom, {}};
    if (hit_.any) {
      result.touched = {hit_.left - reachX_ - 1, hit_.top - reachY_ - 1, hit_.right + reachX_ + 2,
                        hit_.bottom + reachY_ + 2};
    }
    return result;
  }

 private:
  int mode(int index) const { return line_.points[size_t(index)].mode; }

  void screen(const PointRecord& p, double& x, double& y) const {
    x = double(line_.w) * double(p.vx) + double(originX_);
    y = double(line_.h) * double(p.vy) + double(originY_);
  }

  void kernelLine(int x0, int y0, int x1, int y1) {
    hit_.add(x0, y0);
    hit_.add(x1, y1);
    opt_.raster->kernelLine(x0, y0, x1, y1);
  }

  void taperedLine(const TaperEnd& a, const TaperEnd& b) {
    hit_.add(a.x, a.y);
    hit_.add(b.x, b.y);
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
    box_.add(xs_[0], ys_[0]);
    box_.add(xs_[1], ys_[1]);
    const int x0 = toPixel(xs_[0]), y0 = toPixel(ys_[0]);
    const int x1 = toPixel(xs_[1]), y1 = toPixel(ys_[1]);
    record(x0, y0);
    record(x1, y1);
    if (!opt_.raster) return;
    // Every blend moves a byte toward the colour and never past it, so after 255 repeats of the
    // same stamps no byte can change any more: the ceiling gives the same pixels as any larger
    // count.
    const int64_t repeats =
        std::min<int64_t>(int64_t(style_.spmax) - style_.spmin + 1, kMaxStrokePasses);
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

  // The spline passes. Kept tight: this loop runs some 600 times per point of a line.
  void drawPasses() {
    const int64_t c = int64_t(segment_.size());
    StrokeRaster* const raster = opt_.raster;
    const bool tapered = style_.lmode == 1;
    // Passes below 1 sample nothing; only their drift counts, applied here at once.
    const int64_t first = std::max<int64_t>(style_.spmin, 1);
    const int64_t last = std::min<int64_t>(style_.spmax, first + kMaxStrokePasses - 1);
    if (first > last) return;
    if (const int64_t skipped = first - style_.spmin; skipped > 0) {
      for (size_t k = 0; k < xs_.size(); ++k) {
        xs_[k] += driftX_[k] * double(skipped);
        ys_[k] += driftY_[k] * double(skipped);
      }
    }
    RealBox box = box_;
    PixelBox hit = hit_;
    for (int64_t p = first; p <= last; ++p) {
      spline_.build(xs_, ys_);
      const int64_t n = (c - 1) * std::min<int64_t>(p, kMaxStrokePasses) - 1;
      int px = toPixel(xs_[0]), py = toPixel(ys_[0]);
      if (raster && n >= 1) hit.add(px, py);
      int cursor = 0, cursorEnd = 0;
      for (int64_t j = 0; n >= 1 && j <= n; ++j) {
        const double t = double(j) / double(n);
        cursor = interval(cursor, t);
        double x, y;
        spline_.evaluate(cursor, t, x, y);
        box.add(x, y);
        const int cx = toPixel(x), cy = toPixel(y);
        record(cx, cy);
        if (raster) {
          hit.add(cx, cy);
          if (tapered) {
            const double tEnd = t + 1.0 / double(n);
            cursorEnd = interval(cursorEnd, tEnd);
            const TaperEnd a = taperAtParam(cursor, t, px, py);
            const TaperEnd b = taperAtParam(cursorEnd, tEnd, cx, cy);
            reachX_ = std::max({reachX_, stampSize(a.w), stampSize(b.w)});
            reachY_ = std::max({reachY_, stampSize(a.h), stampSize(b.h)});
            raster->taperedLine(a, b);
          } else {
            raster->kernelLine(px, py, cx, cy);
          }
        }
        px = cx;
        py = cy;
      }
      for (size_t k = 0; k < xs_.size(); ++k) {
        xs_[k] += driftX_[k];
        ys_[k] += driftY_[k];
      }
    }
    box_ = box;
    hit_ = hit;
  }

  const LineRecord& line_;
  const StrokeStyle& style_;
  const StrokeOptions& opt_;
  const float originX_, originY_;  // the line's position
  RealBox box_;
  PixelBox hit_;
  std::vector<int> segment_;
  std::vector<double> xs_, ys_, driftX_, driftY_, ww_, hh_, aa_;
  ParametricSpline spline_;
  int reachX_ = 0, reachY_ = 0;
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
