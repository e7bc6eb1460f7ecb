#include <gtest/gtest.h>

#include <cmath>

#include "engine/lines_points.h"
#include "engine/pose.h"
#include "model/document.h"
#include "model/project_file.h"
#include "script/body_model.h"
#include "script/body_shape.h"
#include "script/line_programs.h"
#include "script/motion_prepare.h"
#include "script/pose_apply.h"

namespace tovala {
namespace {

const BodyShape& preset(const char* name) { return findBodyShapePreset(name)->shape; }

// A standard figure posed (left arm raised, right knee bent, turned a little), with a line of
// the user's added after its own and one outline drawn with a wider brush.
Document posedStandard() {
  installScriptHooks();
  Document doc;
  createBodyModel(doc);
  const int hair = appendLine(doc);
  for (int i = 0; i < 3; ++i) {
    const int p = addPoint(doc, hair);
    PointRecord& pt = doc.lines[size_t(hair)].points[size_t(p)];
    pt.vx = pt.v0x = float(480 + 20 * i);
    pt.vy = pt.v0y = 40;
  }
  doc.lines[40].points[1].pww = 5.0f;
  doc.lines[8].points[0].radz = 0.9f;
  doc.lines[8].points[1].rady = -0.5f;
  doc.lines[26].points[1].radx = 1.1f;
  doc.RadY = 0.3f;
  prepareMotion(doc);
  return doc;
}

double farthest(const Document& a, const Document& b, size_t lines) {
  double worst = 0;
  for (size_t l = 0; l < lines; ++l)
    for (size_t i = 0; i + 1 < a.lines[l].points.size(); ++i) {
      const PointRecord &p = a.lines[l].points[i], &q = b.lines[l].points[i];
      worst = std::max(worst, double(std::hypot(p.vx - q.vx, p.vy - q.vy)));
    }
  return worst;
}

// The posed figure takes another shape: the pose, the added line and the style stay, and the
// figure stands as a figure built in that shape and put in that pose.
TEST(BodyReshape, KeepsThePoseAndTheUsersLinesAndStyles) {
  Document doc = posedStandard();
  const Pose pose = capturePose(doc);
  const LineRecord hair = doc.lines[size_t(doc.lineCount() - 2)];
  ASSERT_TRUE(isBodyModelFigure(doc));
  ASSERT_EQ(reshapeBodyModel(doc, preset("chibi")), 1);
  EXPECT_EQ(capturePose(doc), pose);
  EXPECT_EQ(doc.lines[size_t(doc.lineCount() - 2)], hair);
  EXPECT_EQ(doc.lines[40].points[1].pww, 5.0f);

  Document chibi;
  createBodyModel(chibi, preset("chibi"));
  const size_t body = size_t(chibi.lineCount() - 1);
  for (size_t l = 0; l < body; ++l)
    for (size_t i = 0; i + 1 < chibi.lines[l].points.size(); ++i) {
      EXPECT_EQ(doc.lines[l].points[i].v0x, chibi.lines[l].points[i].v0x);
      EXPECT_EQ(doc.lines[l].points[i].v0y, chibi.lines[l].points[i].v0y);
    }
  applyPose(chibi, pose);
  EXPECT_LT(farthest(doc, chibi, body), 0.01);
  EXPECT_TRUE(isBodyModelFigure(doc));
}

// At rest a figure stays at rest, and going back to the standard shape gives the standard
// figure's places and outline shapes again.
TEST(BodyReshape, ThereAndBackAtRest) {
  installScriptHooks();
  Document doc, standard;
  createBodyModel(doc);
  createBodyModel(standard);
  ASSERT_EQ(reshapeBodyModel(doc, preset("model")), 1);
  EXPECT_GT(farthest(doc, standard, size_t(standard.lineCount() - 1)), 50);
  ASSERT_EQ(reshapeBodyModel(doc, BodyShape{}), 1);
  for (size_t l = 0; l + 1 < standard.lines.size(); ++l)
    for (size_t i = 0; i < standard.lines[l].points.size(); ++i) {
      const PointRecord &p = doc.lines[l].points[i], &q = standard.lines[l].points[i];
      ASSERT_TRUE(p.vx == q.vx && p.vy == q.vy && p.v0x == q.v0x && p.v0y == q.v0y) << l;
      ASSERT_EQ(p.params, q.params) << l << ":" << i;
    }
  for (size_t o = 0; o + 1 < standard.objects.size(); ++o)
    EXPECT_EQ(doc.objects[o].a, standard.objects[o].a);
}

TEST(BodyReshape, RefusesWhatIsNotABodyModelFigure) {
  installScriptHooks();
  Document empty;
  const auto before = writeProjectPayload(empty);
  EXPECT_FALSE(isBodyModelFigure(empty));
  EXPECT_EQ(reshapeBodyModel(empty, preset("chibi")), -1);
  EXPECT_EQ(writeProjectPayload(empty), before);

  // A figure with an outline point taken away is no longer the body model's.
  Document doc;
  createBodyModel(doc);
  doc.curLine = 40;
  ASSERT_EQ(deletePoint(doc, 0), 0);
  const auto cut = writeProjectPayload(doc);
  EXPECT_FALSE(isBodyModelFigure(doc));
  EXPECT_EQ(reshapeBodyModel(doc, preset("male")), -1);
  EXPECT_EQ(writeProjectPayload(doc), cut);
}

}  // namespace
}  // namespace tovala
