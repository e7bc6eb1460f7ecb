#include "script/body_tables.h"

#include <cmath>

namespace tovala::body {

P2 onBone(P2 a, P2 b, double t, double u) {
  const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
  if (len == 0) return a;
  return {a.x + t * dx + u * dy / len, a.y + t * dy - u * dx / len};
}

OutlinePlan profileOutline(const BodyTables& t, std::string id, int32_t from, int32_t to,
                           std::vector<std::pair<double, double>> profile, double alongExponent) {
  const P2 a = t.joint(from)->at, b = t.joint(to)->at;
  OutlinePlan o{std::move(id), from, to, false, alongExponent, {}};
  for (const auto& [along, across] : profile) o.rest.push_back(onBone(a, b, along, across));
  return o;
}

OutlinePlan mirroredOutline(const OutlinePlan& left, std::string id, int32_t from, int32_t to) {
  OutlinePlan r = left;
  r.id = std::move(id);
  r.from = from;
  r.to = to;
  for (P2& p : r.rest) p = mirrored(p);
  return r;
}

int BodyTables::outline(const std::string& id) const {
  for (size_t i = 0; i < outlines.size(); ++i)
    if (outlines[i].id == id) return int(i);
  return -1;
}

const JointPoint* BodyTables::joint(int32_t nam) const {
  for (const JointLine& l : lines)
    for (const JointPoint& p : l.points)
      if (p.nam == nam) return &p;
  return nullptr;
}

const BodyTables& bodyTables() {
  static const BodyTables tables = [] {
    BodyTables t;
    addSkeleton(t);
    // Limbs, hands and feet first: the trunk's outlines run through points of theirs.
    addLimbOutlines(t);
    addHandsAndFeet(t);
    addTrunkOutlines(t);
    addJoins(t);
    addObjects(t);
    return t;
  }();
  return tables;
}

}  // namespace tovala::body
