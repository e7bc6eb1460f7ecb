#include "shell/shape_layout.h"

#include <cmath>
#include <vector>

#include "model/document.h"

namespace tovala {

namespace {

struct P {
  float x, y;
};

// Points spread along a closed path of corners: `n - 1` points shared among the sides, the
// first sides taking the remainder, and the last point back on the first corner. Returns, for
// each point, whether it sits on a corner.
std::vector<bool> alongSides(std::vector<PointRecord>& pts, int n, const std::vector<P>& corners) {
  const int sides = int(corners.size());
  const int per = (n - 1) / sides;
  const int extra = (n - 1) % sides;
  std::vector<bool> corner(size_t(n), false);
  int j = 0;
  for (int s = 0; s < sides; ++s) {
    const P a = corners[size_t(s)];
    const P b = corners[size_t((s + 1) % sides)];
    const int m = per + (s < extra ? 1 : 0);
    for (int i = 0; i < m; ++i, ++j) {
      pts[size_t(j)].vx = a.x + (b.x - a.x) * float(i) / float(m);
      pts[size_t(j)].vy = a.y + (b.y - a.y) * float(i) / float(m);
      corner[size_t(j)] = i == 0;
    }
  }
  pts[size_t(n - 1)].vx = corners[0].x;
  pts[size_t(n - 1)].vy = corners[0].y;
  corner[size_t(n - 1)] = true;
  return corner;
}

}  // namespace

int minimumPoints(Shape shape) {
  switch (shape) {
    case Shape::Straight: return 2;
    case Shape::Triangle: return 4;
    case Shape::Rectangle: return 5;
    case Shape::Ellipse: return 4;
  }
  return 2;
}

bool layoutShape(Document& doc, int line, Shape shape, int x0, int y0, int x1, int y1) {
  if (!doc.isValidLine(line)) return false;
  std::vector<PointRecord>& pts = doc.lines[size_t(line)].points;
  const int n = int(pts.size()) - 1;
  if (n < minimumPoints(shape)) return false;
  const float fx0 = float(x0), fy0 = float(y0), fx1 = float(x1), fy1 = float(y1);

  switch (shape) {
    case Shape::Straight:
      for (int j = 0; j < n; ++j) {
        pts[size_t(j)].vx = fx0 + (fx1 - fx0) * float(j) / float(n - 1);
        pts[size_t(j)].vy = fy0 + (fy1 - fy0) * float(j) / float(n - 1);
      }
      break;
    case Shape::Triangle:
      alongSides(pts, n, {{float((x0 + x1) / 2), fy0}, {fx0, fy1}, {fx1, fy1}});
      break;
    case Shape::Rectangle: {
      const std::vector<bool> corner =
          alongSides(pts, n, {{fx0, fy0}, {fx1, fy0}, {fx1, fy1}, {fx0, fy1}});
      for (int j = 0; j < n; ++j)
        if (corner[size_t(j)]) pts[size_t(j)].mode = 1;
      break;
    }
    case Shape::Ellipse: {
      const float cx = (fx0 + fx1) / 2, cy = (fy0 + fy1) / 2;
      const float rx = (fx1 - fx0) / 2, ry = (fy1 - fy0) / 2;
      for (int j = 0; j < n; ++j) {
        const double theta = double(j) * 6.2832 / double(n - 1);
        pts[size_t(j)].vx = cx + rx * float(std::cos(theta));
        pts[size_t(j)].vy = cy + ry * float(std::sin(theta));
        pts[size_t(j)].mode = 0;
      }
      break;
    }
  }
  return true;
}

}  // namespace tovala
