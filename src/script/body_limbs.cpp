// Outlines of the upper and lower arms and legs: an outer and an inner side each, hung on the
// bone between two joints. Widths at a joint are the same on both bones it joins, so the
// controller's joins meet there.

#include "script/body_tables.h"

namespace tovala::body {

namespace {

// Adds the left outline and its mirror image; right ids end in "R" instead of "L".
void addPair(BodyTables& t, const std::string& stem, int32_t from, int32_t to,
             std::vector<std::pair<double, double>> profile) {
  t.outlines.push_back(profileOutline(t, stem + "L", from, to, std::move(profile)));
  t.outlines.push_back(
      mirroredOutline(t.outlines.back(), stem + "R", from + kRightLimbShift, to + kRightLimbShift));
}

}  // namespace

void addLimbOutlines(BodyTables& t) {
  using namespace line;
  const int32_t shoulder = jointNumber(kArmL, 0), elbow = jointNumber(kArmL, 1),
                wrist = jointNumber(kArmL, 2);
  const int32_t hip = jointNumber(kLegL, 0), knee = jointNumber(kLegL, 1),
                ankle = jointNumber(kLegL, 2);
  // Upper arm: the outer side starts on top of the shoulder cap, the inner side at the armpit.
  addPair(
      t, "upperOuter", shoulder, elbow,
      {{-0.1, 18}, {-0.05, 28}, {0.05, 33.5}, {0.33, 33}, {0.58, 29.5}, {0.82, 26.5}, {1.0, 25}});
  addPair(t, "upperInner", shoulder, elbow,
          {{0.3, -29}, {0.5, -28.5}, {0.7, -25.5}, {0.87, -23.5}, {1.0, -23}});
  // Forearm: full below the elbow, slim at the wrist.
  addPair(t, "foreOuter", elbow, wrist, {{0, 25}, {0.2, 27.5}, {0.45, 25}, {0.75, 20}, {1.0, 17}});
  addPair(t, "foreInner", elbow, wrist,
          {{0, -23}, {0.22, -25.5}, {0.47, -22}, {0.76, -17.5}, {1.0, -15}});
  // Thigh: the outer side from the hip, the inner side from the crotch.
  addPair(t, "thighOuter", hip, knee, {{0.12, 57}, {0.3, 55}, {0.55, 47}, {0.8, 37}, {1.0, 30}});
  addPair(t, "thighInner", hip, knee,
          {{0.13, -44}, {0.3, -41}, {0.55, -36}, {0.8, -30}, {1.0, -27}});
  // Shin: the calf below the knee, narrowing to the ankle.
  addPair(t, "shinOuter", knee, ankle, {{0, 30}, {0.18, 33}, {0.42, 30}, {0.72, 23}, {1.0, 20}});
  addPair(t, "shinInner", knee, ankle,
          {{0, -27}, {0.2, -31}, {0.45, -27}, {0.75, -20}, {1.0, -18}});
}

}  // namespace tovala::body
