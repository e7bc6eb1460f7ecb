#pragma once
// The four rotations every joint and whole-model operation is built from, in double precision.
// They use the transpose of the usual right-handed matrices: about Z, for instance,
// x' = x·cos a + y·sin a and y' = y·cos a − x·sin a. Positions are stored back as f32 by the
// callers; doing the arithmetic in double keeps a rotate-and-undo round trip within rounding.

#include <array>
#include <cstddef>

#include "model/records.h"

namespace tovala {

struct DVec3 {
  double x = 0, y = 0, z = 0;

  DVec3 operator+(const DVec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  DVec3 operator-(const DVec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  DVec3 operator*(double f) const { return {x * f, y * f, z * f}; }
  DVec3 operator/(double f) const { return {x / f, y / f, z / f}; }
};

// A rotation with its cosines and sines taken once, for applying to many points.
class Rotation {
 public:
  Rotation() = default;  // the identity

  static Rotation aboutX(double angle);
  static Rotation aboutY(double angle);
  static Rotation aboutZ(double angle);
  // About an axis that is used as given, not normalised: the rotation is a true one only for a
  // unit axis, which the joints' unit vectors are.
  static Rotation aboutAxis(const DVec3& axis, double angle);
  // About X by x, then about Y by y, then about Z by z: the order a joint's angles turn in.
  static Rotation euler(double x, double y, double z);
  // The frame whose axes are x, y and z, taken as given: it maps the world axes onto them.
  static Rotation fromColumns(const DVec3& x, const DVec3& y, const DVec3& z);

  DVec3 apply(const DVec3& v) const;
  // This rotation followed by `next`.
  Rotation then(const Rotation& next) const;
  // The inverse of a true rotation.
  Rotation transposed() const;
  double at(int row, int column) const { return m_[std::size_t(row)][std::size_t(column)]; }

 private:
  std::array<std::array<double, 3>, 3> m_{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
};

inline DVec3 rotateX(const DVec3& v, double angle) { return Rotation::aboutX(angle).apply(v); }
inline DVec3 rotateY(const DVec3& v, double angle) { return Rotation::aboutY(angle).apply(v); }
inline DVec3 rotateZ(const DVec3& v, double angle) { return Rotation::aboutZ(angle).apply(v); }
inline DVec3 rotateAxis(const DVec3& v, const DVec3& axis, double angle) {
  return Rotation::aboutAxis(axis, angle).apply(v);
}

// Point fields as double vectors and back.
inline DVec3 toDVec(const std::array<float, 3>& a) { return {a[0], a[1], a[2]}; }
inline std::array<float, 3> toFloat3(const DVec3& v) {
  return {float(v.x), float(v.y), float(v.z)};
}
inline DVec3 positionOf(const PointRecord& p) { return {p.vx, p.vy, p.vz}; }
inline void setPosition(PointRecord& p, const DVec3& v) {
  p.vx = float(v.x);
  p.vy = float(v.y);
  p.vz = float(v.z);
}

// Turns a point about `centre`: its position when `position` is set, and its three unit-vector
// points when `units` is set.
void rotatePointAbout(PointRecord& p, const DVec3& centre, const Rotation& r, bool position,
                      bool units);

}  // namespace tovala
