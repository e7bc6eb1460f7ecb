#include "engine/rotation.h"

#include <cmath>

namespace tovala {

Rotation Rotation::aboutX(double angle) {
  const double co = std::cos(angle), si = std::sin(angle);
  Rotation r;
  r.m_ = {{{1, 0, 0}, {0, co, si}, {0, -si, co}}};
  return r;
}

Rotation Rotation::aboutY(double angle) {
  const double co = std::cos(angle), si = std::sin(angle);
  Rotation r;
  r.m_ = {{{co, 0, -si}, {0, 1, 0}, {si, 0, co}}};
  return r;
}

Rotation Rotation::aboutZ(double angle) {
  const double co = std::cos(angle), si = std::sin(angle);
  Rotation r;
  r.m_ = {{{co, si, 0}, {-si, co, 0}, {0, 0, 1}}};
  return r;
}

Rotation Rotation::aboutAxis(const DVec3& a, double angle) {
  const double co = std::cos(angle), si = std::sin(angle), t = 1.0 - co;
  Rotation r;
  r.m_ = {{{co + a.x * a.x * t, a.x * a.y * t + a.z * si, a.x * a.z * t - a.y * si},
           {a.x * a.y * t - a.z * si, co + a.y * a.y * t, a.y * a.z * t + a.x * si},
           {a.x * a.z * t + a.y * si, a.y * a.z * t - a.x * si, co + a.z * a.z * t}}};
  return r;
}

Rotation Rotation::euler(double x, double y, double z) {
  return aboutX(x).then(aboutY(y)).then(aboutZ(z));
}

Rotation Rotation::fromColumns(const DVec3& x, const DVec3& y, const DVec3& z) {
  Rotation r;
  r.m_ = {{{x.x, y.x, z.x}, {x.y, y.y, z.y}, {x.z, y.z, z.z}}};
  return r;
}

Rotation Rotation::transposed() const {
  Rotation r;
  for (size_t i = 0; i < 3; ++i)
    for (size_t j = 0; j < 3; ++j) r.m_[i][j] = m_[j][i];
  return r;
}

DVec3 Rotation::apply(const DVec3& v) const {
  return {m_[0][0] * v.x + m_[0][1] * v.y + m_[0][2] * v.z,
          m_[1][0] * v.x + m_[1][1] * v.y + m_[1][2] * v.z,
          m_[2][0] * v.x + m_[2][1] * v.y + m_[2][2] * v.z};
}

Rotation Rotation::then(const Rotation& next) const {
  Rotation r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      r.m_[i][j] = next.m_[i][0] * m_[0][j] + next.m_[i][1] * m_[1][j] + next.m_[i][2] * m_[2][j];
  return r;
}

void rotatePointAbout(PointRecord& p, const DVec3& centre, const Rotation& r, bool position,
                      bool units) {
  if (position) setPosition(p, centre + r.apply(positionOf(p) - centre));
  if (units) {
    for (auto* u : {&p.unitX, &p.unitY, &p.unitZ})
      *u = toFloat3(centre + r.apply(toDVec(*u) - centre));
  }
}

}  // namespace tovala
