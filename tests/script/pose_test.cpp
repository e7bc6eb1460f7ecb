// Poses on the body model: saved and applied, mirrored, and refused when a file is damaged.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "engine/pose.h"
#include "engine/pose_file.h"
#include "model/document.h"
#include "script/body_model.h"
#include "script/motion_prepare.h"
#include "script/pose_apply.h"
#include "support/test_support.h"
#include "support/body_model_fixture.h"

namespace tovala {
namespace {

// Body model line numbers: the left upper limb (shoulder 800, elbow 801, wrist 802, hand tip
// 803) and its right partner 1400 .. 1403; the knees 2001 and 2601.
constexpr int32_t kLeftArm = 8, kRightArm = 14;

const Document& bodyModel() { return test::sharedBodyModel(); }

PointRecord& jointOf(Document& doc, JointKey key) {
  int l = -1, p = -1;
  EXPECT_TRUE(findJoint(doc, key, l, p));
  return doc.lines[size_t(l)].points[size_t(p)];
}

// A pose with something in every kind of value, put through the preparation once so that every
// value already lies within its joint's limits.
Document posedFigure() {
  Document doc = bodyModel();
  jointOf(doc, {kLeftArm, 800}).radz = 0.8f;
  jointOf(doc, {kLeftArm, 801}).rady = -0.6f;
  jointOf(doc, {kRightArm, 1401}).radx = 0.3f;
  jointOf(doc, {20, 2001}).radx = 0.7f;
  jointOf(doc, {1, 100}).vdx = 6.5f;
  doc.VextX = 12.25f;
  doc.RadZ = 0.1f;
  prepareMotion(doc);
  return doc;
}

bool samePositions(const Document& a, const Document& b) {
  for (size_t l = 0; l < a.lines.size(); ++l)
    for (size_t p = 0; p < a.lines[l].points.size(); ++p) {
      const PointRecord &x = a.lines[l].points[p], &y = b.lines[l].points[p];
      if (x.vx != y.vx || x.vy != y.vy || x.vz != y.vz) return false;
    }
  return true;
}

TEST(Pose, SavedAndAppliedGivesBackEveryValueAndTheFigure) {
  const Document posed = posedFigure();
  const Pose pose = capturePose(posed);
  ASSERT_EQ(pose.joints.size(), 108u);  // every point of the 31 joint lines

  test::TempDir dir;
  std::string reason;
  ASSERT_TRUE(savePoseFile(dir.file("p.json"), pose, reason)) << reason;
  Pose read;
  ASSERT_TRUE(loadPoseFile(dir.file("p.json"), read, reason)) << reason;
  EXPECT_EQ(read, pose);

  // Onto a figure in another pose: joints the pose names all take its values.
  Document doc = bodyModel();
  jointOf(doc, {kRightArm, 1400}).radz = -1.0f;
  doc.VextY = 40;
  prepareMotion(doc);
  EXPECT_TRUE(applyPose(doc, read).empty());
  EXPECT_EQ(capturePose(doc), pose);
  EXPECT_TRUE(samePositions(doc, posed));
}

TEST(Pose, KeysTheDocumentLacksAreReportedAndTheRestApplied) {
  Document doc = bodyModel();
  Pose pose;
  pose.joints.push_back({{kLeftArm, 801}, {0, 0, 0}, {0, -0.5f, 0}});
  pose.joints.push_back({{9999, 1}, {1, 2, 3}, {0, 0, 0}});
  pose.joints.push_back({{kLeftArm, 12345}, {0, 0, 0}, {0, 0, 0}});
  const auto missing = applyPose(doc, pose);
  ASSERT_EQ(missing.size(), 2u);
  EXPECT_EQ(missing[0], (JointKey{9999, 1}));
  EXPECT_EQ(missing[1], (JointKey{kLeftArm, 12345}));
  EXPECT_EQ(jointOf(doc, {kLeftArm, 801}).rady, -0.5f);
  // Joints the pose does not name keep their values.
  EXPECT_EQ(jointOf(doc, {kRightArm, 1401}).rady, 0.0f);
}

TEST(PoseMirror, FindsEveryPairOfTheBodyModel) {
  const MirrorPairs m = findMirrorPairs(bodyModel());
  EXPECT_TRUE(m.unpaired.empty());
  EXPECT_FLOAT_EQ(m.centreX, 500.0f);
  auto partnerOf = [&](JointKey k) {
    for (const auto& p : m.pairs) {
      if (p.a == k) return p.b;
      if (p.b == k) return p.a;
    }
    return JointKey{-1, -1};
  };
  size_t covered = 0;
  for (const auto& p : m.pairs) covered += p.a == p.b ? 1 : 2;
  EXPECT_EQ(covered, 108u);
  for (int32_t i = 0; i < 4; ++i)  // shoulder .. hand tip, same place on the other arm
    EXPECT_EQ(partnerOf({kLeftArm, 800 + i}), (JointKey{kRightArm, 1400 + i}));
  EXPECT_EQ(partnerOf({20, 2001}), (JointKey{26, 2601}));  // knees
  EXPECT_EQ(partnerOf({7, 700}), (JointKey{7, 701}));      // the two ends of one line
  EXPECT_EQ(partnerOf({1, 100}), (JointKey{1, 100}));      // on the centre line
  // Two points share each hip position: each pairs with the one at its own place.
  EXPECT_EQ(partnerOf({5, 501}), (JointKey{6, 601}));
  EXPECT_EQ(partnerOf({20, 2000}), (JointKey{26, 2600}));
}

TEST(PoseMirror, SwapsAndFlipsAndTwiceGivesBackThePose) {
  const Pose pose = capturePose(posedFigure());
  const MirrorPairs pairs = findMirrorPairs(bodyModel());
  Pose once = pose;
  mirrorPose(once, pairs);
  auto find = [](const Pose& p, JointKey k) {
    for (const JointPose& j : p.joints)
      if (j.key == k) return j;
    return JointPose{};
  };
  // The left shoulder's raise is now the right shoulder's, the right elbow's turn the left's.
  EXPECT_EQ(find(once, {kRightArm, 1400}).rad[2], -find(pose, {kLeftArm, 800}).rad[2]);
  EXPECT_EQ(find(once, {kLeftArm, 801}).rad[0], find(pose, {kRightArm, 1401}).rad[0]);
  EXPECT_EQ(find(once, {1, 100}).vd[0], -find(pose, {1, 100}).vd[0]);
  EXPECT_EQ(once.whole[0], -pose.whole[0]);
  EXPECT_EQ(once.whole[5], -pose.whole[5]);
  Pose twice = once;
  mirrorPose(twice, pairs);
  EXPECT_EQ(twice, pose);

  // The figure in the mirrored pose is the posed figure's mirror image: every joint-line
  // point lands where its partner's mirror stands (the whole figure turns about the canvas
  // centre, which is the body model's centre line).
  const Document posed = posedFigure();
  Document mirrored = bodyModel();
  applyPose(mirrored, once);
  for (const auto& pr : pairs.pairs) {
    const PointRecord& a = jointOf(const_cast<Document&>(posed), pr.a);
    const PointRecord& b = jointOf(mirrored, pr.b);
    EXPECT_NEAR(b.vx, 2 * pairs.centreX - a.vx, 0.05) << pr.a.line << "/" << pr.a.point;
    EXPECT_NEAR(b.vy, a.vy, 0.05) << pr.a.line << "/" << pr.a.point;
  }
}

TEST(PoseFile, DamagedFilesAreRefusedAndThePoseKept) {
  const Pose good = capturePose(posedFigure());
  const std::string text = poseToJson(good);
  test::TempDir dir;
  const std::string bad[] = {
      text.substr(0, text.size() / 2),                         // cut short
      "[1, 2, 3]",                                             // not an object
      "{\"format\": \"tovala\", \"version\": 1}",              // another form
      R"({"format": "tovala-pose", "version": 2})",            // a later version
      R"({"format": "tovala-pose", "version": 1, "VextX": 0, "VextY": 0, "VextZ": 0,
          "RadX": 0, "RadY": 0, "RadZ": 1e9, "joints": []})",  // out of bounds
      R"({"format": "tovala-pose", "version": 1, "VextX": 0, "VextY": 0, "VextZ": 0,
          "RadX": 0, "RadY": 0, "RadZ": 0, "joints": [
          {"line": 8, "point": 800, "vdx": 0, "vdy": 0, "vdz": 0, "radx": 0, "rady": 0, "radz": 0},
          {"line": 8, "point": 800, "vdx": 0, "vdy": 0, "vdz": 0, "radx": 0, "rady": 0, "radz": 0}
          ]})",                                                // one key twice
      R"({"format": "tovala-pose", "version": 1, "VextX": 0, "VextY": 0, "VextZ": 0,
          "RadX": 0, "RadY": 0, "RadZ": 0, "joints": [
          {"line": 8.5, "point": 800, "vdx": 0, "vdy": 0, "vdz": 0, "radx": 0, "rady": 0, "radz": 0}
          ]})",                                                // a number that is no name
      R"({"format": "tovala-pose", "version": 1, "VextX": 0, "VextY": 0, "VextZ": 0,
          "RadX": 0, "RadY": 0, "RadZ": 0, "joints": [{"line": 8, "point": 800, "vdx": 0}]})",
  };
  for (const std::string& b : bad) {
    std::ofstream(dir.file("bad.json"), std::ios::binary) << b;
    Pose kept = good;
    std::string reason;
    EXPECT_FALSE(loadPoseFile(dir.file("bad.json"), kept, reason)) << b;
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(kept, good);
  }
  // A pose that could not be read back is not written, and the old file stays.
  std::string reason;
  ASSERT_TRUE(savePoseFile(dir.file("p.json"), good, reason));
  Pose broken = good;
  broken.joints[3].rad[1] = NAN;
  EXPECT_FALSE(savePoseFile(dir.file("p.json"), broken, reason));
  Pose read;
  ASSERT_TRUE(loadPoseFile(dir.file("p.json"), read, reason));
  EXPECT_EQ(read, good);
}

}  // namespace
}  // namespace tovala
