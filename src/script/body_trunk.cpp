// Outlines of the trunk and head: the two sides of the torso (from the neck over the shoulder,
// the armpit, the waist and the hip to the thigh), the crotch, the navel, the neck, the head,
// the breasts, and the shoulder caps and buttocks that bridge the joints to the limbs.

#include "script/body_tables.h"

namespace tovala::body {

namespace {

P2 firstOf(const BodyTables& t, const std::string& id) {
  return t.outlines[size_t(t.outline(id))].rest.front();
}

OutlinePlan through(std::string id, int32_t from, int32_t to, bool hitGuided, std::vector<P2> rest,
                    double sideDepth = 1.0) {
  return OutlinePlan{std::move(id), from, to, hitGuided, 0.25, std::move(rest), sideDepth};
}

void addMirrored(BodyTables& t, OutlinePlan left, int32_t rightFrom, int32_t rightTo) {
  std::string id = left.id;
  id.back() = 'R';
  t.outlines.push_back(left);
  t.outlines.push_back(mirroredOutline(left, id, rightFrom, rightTo));
}

}  // namespace

void addTrunkOutlines(BodyTables& t) {
  using namespace line;
  const int32_t neckBase = jointNumber(kSpine, 3), pelvis = jointNumber(kSpine, 0);
  const int32_t waist = jointNumber(kSpine, 1), chest = jointNumber(kSpine, 2);
  const int32_t headTop = jointNumber(kNeckHead, 2), chin = jointNumber(kNeckHead, 3);

  // Torso sides on the trunk's hit guide: seen from the side the trunk is about 0.62 as deep
  // as it is wide. From the neck over the trapezius to the armpit, then down to the hip, where
  // the buttock takes over.
  const P2 neckSide{522, 246}, trapezius{552, 254}, hipSide{598, 540};
  addMirrored(t,
              through("torsoL", neckBase, pelvis, true,
                      {neckSide,
                       trapezius,
                       {578, 280},
                       firstOf(t, "upperInnerL"),
                       {590, 362},
                       {585, 405},
                       {571, 450},
                       {578, 495},
                       hipSide},
                      0.62),
              neckBase, pelvis);
  // The crotch runs between the inner sides of the thighs.
  t.outlines.push_back(through(
      "crotch", jointNumber(kHipL, 1), jointNumber(kHipR, 1), false,
      {firstOf(t, "thighInnerL"), {505, 611}, {500, 613}, {495, 611}, firstOf(t, "thighInnerR")}));
  t.outlines.push_back(
      through("navel", waist, pelvis, true, {{495.5, 466}, {500, 472.5}, {504.5, 466}}, 0.62));

  // Neck: from the torso's top corner up under the jaw; it hangs from the neck base towards
  // the chin, so it leans as the neck and head turn.
  addMirrored(
      t, through("neckL", neckBase, chin, false, {neckSide, {520, 229}, {519, 214}, {521, 200}}),
      neckBase, chin);
  // Head: an oval on the head's hit guide, deeper than it is wide.
  addMirrored(t,
              through("headL", headTop, chin, true,
                      {{500, 60},
                       {528, 65},
                       {548, 82},
                       {557, 108},
                       {557, 138},
                       {551, 164},
                       {538, 188},
                       {520, 205},
                       {500, 214}},
                      1.1),
              headTop, chin);
  // Breasts: the curve under each, on the breast's hit guide.
  addMirrored(t,
              through("breastL", jointNumber(kChest, 0), chest, true,
                      {{528, 332}, {532, 357}, {548, 371}, {567, 367}, {579, 348}}),
              jointNumber(kChest, 1), chest);
  // Shoulder: from the trapezius to the top of the shoulder cap, where the upper arm's outer
  // side begins.
  addMirrored(t,
              through("shoulderL", jointNumber(kClavicleL, 0), jointNumber(kClavicleL, 1), false,
                      {trapezius, {590, 246}, firstOf(t, "upperOuterL")}),
              jointNumber(kClavicleR, 0), jointNumber(kClavicleR, 1));
  // Buttock: from the torso's hip on to the top of the thigh's outer side.
  addMirrored(t,
              through("buttockL", jointNumber(kHipL, 0), jointNumber(kHipL, 1), false,
                      {hipSide, {607, 570}, firstOf(t, "thighOuterL")}),
              jointNumber(kHipR, 0), jointNumber(kHipR, 1));
}

}  // namespace tovala::body
