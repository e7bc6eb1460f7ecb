// A cast: several body models in one document (merged from a parts file), each posed as it
// poses alone, found as figures, and addressed by poses.

#include "engine/cast.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/face_reader.h"
#include "engine/face_sample.h"
#include "engine/pose.h"
#include "engine/pose_file.h"
#include "model/document.h"
#include "model/parts_file.h"
#include "script/body_model.h"
#include "script/line_programs.h"
#include "script/motion_prepare.h"
#include "script/pose_apply.h"
#include "script/script_engine.h"

namespace tovala {
namespace {

const Document& bodyModel() {
  static const Document* doc = [] {
    auto* d = new Document(Canvas::kNone);
    createBodyModel(*d);
    return d;
  }();
  return *doc;
}

int figureLines() { return bodyModel().lineCount() - 1; }

// The body model with `figures - 1` copies merged in from its own parts file.
Document makeCast(int figures) {
  Document doc = bodyModel();
  const std::vector<uint8_t> parts = writePartsPayload(doc);
  for (int i = 1; i < figures; ++i) EXPECT_TRUE(mergePartsPayload(doc, parts));
  return doc;
}

// A pose of its own for figure k: elbow, shoulder, knee and a batch joint moved, by amounts
// that differ from figure to figure; the whole-figure values are shared by every figure.
Pose poseFor(int k) {
  Pose pose;
  pose.whole = {12.25f, -4.0f, 0, 0, 0, 0.1f};
  pose.joints = {
      {{8, 801}, {0, 0, 0}, {0, -0.2f - 0.15f * float(k), 0}},
      {{14, 1400}, {0, 0, 0}, {0, 0, 0.3f + 0.1f * float(k)}},
      {{20, 2001}, {0, 0, 0}, {0.7f - 0.1f * float(k), 0, 0}},
      {{1, 100}, {2.0f * float(k), 1.5f, 0}, {0, 0, 0}},
  };
  return pose;
}

// The largest distance, over every point of figure `figure` of `cast`, from the same point of
// `alone`: positions and the three axis tips.
float largestDifference(const Document& cast, LineSpan figure, const Document& alone) {
  float worst = 0;
  auto note = [&](float a, float b) { worst = std::max(worst, std::fabs(a - b)); };
  for (int l = figure.first; l < figure.end; ++l) {
    const LineRecord& a = cast.lines[size_t(l)];
    const LineRecord& b = alone.lines[size_t(l - figure.first)];
    EXPECT_EQ(a.pointCount(), b.pointCount());
    for (int p = 0; p < std::min(a.pointCount(), b.pointCount()) - 1; ++p) {
      const PointRecord &x = a.points[size_t(p)], &y = b.points[size_t(p)];
      note(x.vx, y.vx), note(x.vy, y.vy), note(x.vz, y.vz);
      for (size_t i = 0; i < 3; ++i)
        note(x.unitX[i], y.unitX[i]), note(x.unitY[i], y.unitY[i]), note(x.unitZ[i], y.unitZ[i]);
    }
  }
  return worst;
}

TEST(Cast, EveryFigurePosesAsItDoesAlone) {
  for (const int count : {1, 2, 4}) {
    SCOPED_TRACE("figures: " + std::to_string(count));
    Document cast = makeCast(count);
    const std::vector<LineSpan> figures = findFigures(cast);
    ASSERT_EQ(figures.size(), size_t(count));
    for (int k = 0; k < count; ++k) {
      Pose pose = poseFor(k);
      pose.figure = count > 1 ? k + 1 : 0;
      EXPECT_TRUE(setPoseValues(cast, pose).empty());
    }
    prepareMotion(cast);
    // A drag step of the last figure's elbow afterwards, as motion mode runs it.
    const int last = figures.back().first;
    cast.lines[size_t(last + 8)].points[1].rady = -0.5f;
    EXPECT_EQ(runLinePrograms(cast, 0, 0), 0);

    for (int k = 0; k < count; ++k) {
      SCOPED_TRACE("figure " + std::to_string(k + 1));
      Document alone = bodyModel();
      applyPose(alone, poseFor(k));
      if (k == count - 1) {
        alone.lines[8].points[1].rady = -0.5f;
        runLinePrograms(alone, 0, 0);
      }
      EXPECT_LE(largestDifference(cast, figures[size_t(k)], alone), 0.01f);
    }
  }
}

// With one figure nothing is scoped: a step is exactly every program run in turn.
TEST(Cast, ALoneFigureRunsEveryProgramOverTheWholeDocument) {
  Document doc = bodyModel();
  setPoseValues(doc, poseFor(1));
  Document reference = doc;
  runLinePrograms(doc, 0, 0);
  ScriptEngine engine(reference);
  for (const int line : reference.lineOrder) {
    if (!reference.isValidLine(line) || reference.lines[size_t(line)].code.size() < 3) continue;
    const CodeList code = reference.lines[size_t(line)].code;
    engine.run(code);
  }
  EXPECT_TRUE(doc.lines == reference.lines);
}

TEST(Cast, FiguresStartWhereACopyOfAFigureStarts) {
  const int f = figureLines();
  EXPECT_EQ(findFigures(bodyModel()), (std::vector<LineSpan>{{0, f}}));
  EXPECT_EQ(findFigures(makeCast(3)), (std::vector<LineSpan>{{0, f}, {f, 2 * f}, {2 * f, 3 * f}}));
  EXPECT_EQ(findFigures(Document(Canvas::kNone)), (std::vector<LineSpan>{{0, 0}}));

  // A second pose program on a line of another number is part of the same figure.
  Document twice = bodyModel();
  twice.lines[40].code = twice.lines[0].code;
  EXPECT_EQ(findFigures(twice), (std::vector<LineSpan>{{0, f}}));

  // A figure whose pose program is not its first line: the copy starts at its own first line.
  Document moved = bodyModel();
  moved.lines[3].code = moved.lines[0].code;
  moved.lines[0].code = CodeList{CodeEntry{}};
  const std::vector<uint8_t> parts = writePartsPayload(moved);
  ASSERT_TRUE(mergePartsPayload(moved, parts));
  const std::vector<LineSpan> figures = findFigures(moved);
  EXPECT_EQ(figures, (std::vector<LineSpan>{{0, f}, {f, 2 * f}}));
  EXPECT_EQ(figureOfLine(figures, f - 1), 0);
  EXPECT_EQ(figureOfLine(figures, f), 1);
  EXPECT_EQ(figureOfLine(figures, 2 * f), -1);
}

// A face follows its own figure's head: the face's controller (FaceMoveAll) reaches the parts of
// the figure it belongs to, not the first face of the document.
TEST(Cast, EachFigureKeepsItsOwnFace) {
  Document withFace = bodyModel();
  ASSERT_EQ(loadFaceData(withFace, test::sampleFace().bytes()), 1);
  Document cast = withFace;
  ASSERT_TRUE(mergePartsPayload(cast, writePartsPayload(withFace)));
  const std::vector<LineSpan> figures = findFigures(cast);
  ASSERT_EQ(figures.size(), 2u);
  ASSERT_EQ(figures[1].first, withFace.lineCount() - 1);
  // Each head (line 2, point 10: the face's reference joint) turned its own way.
  auto headTurned = [](int k) {
    Pose pose = poseFor(k);
    pose.joints.push_back({{2, 10}, {0, 0, 0}, {0.1f, 0.3f - 0.5f * float(k), 0}});
    return pose;
  };
  for (int k = 0; k < 2; ++k) {
    Pose pose = headTurned(k);
    pose.figure = k + 1;
    setPoseValues(cast, pose);
  }
  prepareMotion(cast);
  for (int k = 0; k < 2; ++k) {
    SCOPED_TRACE("figure " + std::to_string(k + 1));
    Document alone = withFace;
    applyPose(alone, headTurned(k));
    EXPECT_LE(largestDifference(cast, figures[size_t(k)], alone), 0.01f);
  }
}

// Joint values of the left elbow (line 8, point 801) in figure `k` of a cast.
float elbowOf(const Document& doc, int k) {
  return doc.lines[size_t(k * figureLines() + 8)].points[1].rady;
}

TEST(Cast, PosesNameTheirFigureAndOtherwiseGoToTheSelectedOne) {
  const int f = figureLines();
  Document cast = makeCast(3);
  Pose pose;
  pose.joints = {{{8, 801}, {0, 0, 0}, {0, -0.4f, 0}}};

  // Named: the second figure, whatever is selected.
  pose.figure = 2;
  EXPECT_TRUE(setPoseValues(cast, pose).empty());
  EXPECT_EQ(elbowOf(cast, 0), 0.0f);
  EXPECT_EQ(elbowOf(cast, 1), -0.4f);
  EXPECT_EQ(elbowOf(cast, 2), 0.0f);

  // Not named, or named beyond the cast: the figure of the selected line.
  for (const int32_t figure : {0, 4}) {
    Document c = makeCast(3);
    c.curLine = 2 * f + 20;
    pose.figure = figure;
    setPoseValues(c, pose);
    EXPECT_EQ(elbowOf(c, 0), 0.0f);
    EXPECT_EQ(elbowOf(c, 2), -0.4f);
  }

  // A pose whose points only one figure has goes to that figure.
  Document renumbered = makeCast(3);
  renumbered.lines[size_t(f + 8)].nam = 9008;
  pose.joints[0].key = {9008, 801};
  pose.figure = 0;
  EXPECT_TRUE(setPoseValues(renumbered, pose).empty());
  EXPECT_EQ(elbowOf(renumbered, 1), -0.4f);

  // Taken from a cast, a pose names the figure it was taken from; from a lone figure, none.
  cast.curLine = f + 3;
  EXPECT_EQ(capturePose(cast).figure, 2);
  EXPECT_EQ(capturePose(cast).joints, capturePose(cast, 1).joints);
  EXPECT_EQ(capturePose(cast, 2).figure, 3);
  EXPECT_EQ(capturePose(bodyModel()).figure, 0);
  const Pose second = capturePose(cast, 1);
  ASSERT_EQ(second.joints.size(), capturePose(bodyModel()).joints.size());
  bool sawElbow = false;
  for (const JointPose& j : second.joints)
    if (j.key == JointKey{8, 801}) {
      sawElbow = true;
      EXPECT_EQ(j.rad[1], -0.4f);
    }
  EXPECT_TRUE(sawElbow);

  // Mirror partners are found within one figure, as they are for the figure alone.
  const MirrorPairs alone = findMirrorPairs(bodyModel());
  const MirrorPairs inCast = findMirrorPairs(cast, 1);
  EXPECT_EQ(inCast.pairs.size(), alone.pairs.size());
  EXPECT_EQ(inCast.unpaired, alone.unpaired);
  EXPECT_EQ(inCast.centreX, alone.centreX);
}

TEST(Cast, PoseFilesCarryTheFigureWhenTheyNameOne) {
  Pose pose;
  pose.joints = {{{8, 801}, {0, 0, 0}, {0, -0.4f, 0}}};
  // None named: the text has no figure at all, as before.
  EXPECT_EQ(poseToJson(pose).find("figure"), std::string::npos);
  pose.figure = 3;
  const std::string text = poseToJson(pose);
  EXPECT_NE(text.find("\"figure\": 3"), std::string::npos);
  Pose back;
  std::string reason;
  ASSERT_TRUE(poseFromJson(text, back, reason)) << reason;
  EXPECT_EQ(back, pose);

  const std::string plain = R"({"format": "tovala-pose", "version": 1, "VextX": 0, "VextY": 0,
    "VextZ": 0, "RadX": 0, "RadY": 0, "RadZ": 0, "joints": [])";
  ASSERT_TRUE(poseFromJson(plain + "}", back, reason)) << reason;
  EXPECT_EQ(back.figure, 0);
  for (const char* bad : {"0", "-1", "1.5", "\"2\"", "70000"}) {
    SCOPED_TRACE(bad);
    Pose untouched = pose;
    EXPECT_FALSE(poseFromJson(plain + ", \"figure\": " + bad + "}", untouched, reason));
    EXPECT_NE(reason.find("figure"), std::string::npos) << reason;
    EXPECT_EQ(untouched, pose);
  }
}

}  // namespace
}  // namespace tovala
