#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/face_builder.h"
#include "engine/face_move.h"
#include "engine/face_reader.h"
#include "engine/face_sample.h"
#include "engine/objects.h"
#include "engine/param_splice.h"
#include "model/document.h"
#include "platform/ui.h"
#include "support/test_support.h"

namespace tovala {
namespace {

using test::FaceFile;

int lineOf(const Document& doc, int32_t nam) { return lineWithNumber(doc, nam); }

const LineRecord& partLine(const Document& doc, int32_t nam) {
  const int l = lineOf(doc, nam);
  EXPECT_GE(l, 0) << nam;
  return doc.lines[size_t(std::max(l, 0))];
}

// Mean and width of a part's points on the canvas.
struct Box {
  double minX = 1e9, maxX = -1e9, sumX = 0, sumY = 0;
  int n = 0;
  double cx() const { return sumX / n; }
  double cy() const { return sumY / n; }
  double width() const { return maxX - minX; }
};
Box boxOf(const LineRecord& l) {
  Box b;
  for (int i = 0; i + 1 < l.pointCount(); ++i) {
    const PointRecord& p = l.points[size_t(i)];
    b.minX = std::min(b.minX, double(p.vx));
    b.maxX = std::max(b.maxX, double(p.vx));
    b.sumX += p.vx;
    b.sumY += p.vy;
    ++b.n;
  }
  return b;
}

TEST(FaceReader, MinimalFileMakesTheSixteenPartsAndTheController) {
  Document doc;
  FaceFile f = test::sampleFace();
  f.eyeArea = 4;
  ASSERT_EQ(loadFaceData(doc, f.bytes()), 1);
  // 16 part lines and the controller, then the sentinel.
  ASSERT_EQ(doc.lineCount(), 18);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(doc.lines[size_t(i)].nam, 315 + i);
    EXPECT_EQ(doc.lines[size_t(i)].category, 11);
    EXPECT_EQ(doc.lines[size_t(i)].mode, 0);
  }
  const LineRecord& ctl = doc.lines[16];
  EXPECT_EQ(ctl.nam, 463);
  ASSERT_EQ(ctl.pointCount(), 2);
  // No point numbered 10 existed: the controller's point became the reference joint, at the
  // face's centre, turning itself.
  const PointRecord& joint = ctl.points[0];
  EXPECT_EQ(joint.nam, 10);
  EXPECT_EQ(joint.kind, 1000);
  EXPECT_FLOAT_EQ(joint.vx, 500.0f);
  EXPECT_FLOAT_EQ(joint.vy, 1200 * 0.2f + 150);
  const int co = findParam(joint.params, kCoRotationKey);
  ASSERT_GE(co, 0);
  EXPECT_EQ(joint.params[size_t(co)].asInt(), 16 << 16);
  ASSERT_EQ(ctl.codeCount(), 4);
  EXPECT_EQ(ctl.code[0], (CodeEntry{0xFF, 0}));
  EXPECT_EQ(ctl.code[1], (CodeEntry{0x20, 0x02020024}));
  EXPECT_EQ(ctl.code[2].code, uint32_t(16 << 16));
  EXPECT_EQ(ctl.code[3], (CodeEntry{0xFF, 0}));
  EXPECT_EQ(ctl.codeChanged, 1);
  EXPECT_EQ(doc.lineOrder.size(), doc.lines.size());
}

TEST(FaceReader, SamplesArePlacedByThePartsProportions) {
  Document doc;
  const FaceFile f = test::sampleFace();
  ASSERT_EQ(loadFaceData(doc, f.bytes()), 1);
  const double H = 300, W = H / 1.3, cx = 500, cy = 240 + 150;
  // The left eye's first sample (-1, 0.15): centre + (0.2 W, 0) + (-1 * 0.11 W, 0.15 * 0.055 H).
  const PointRecord& p = partLine(doc, kLeftEye).points[0];
  EXPECT_NEAR(p.vx, cx + 0.2 * W - 0.11 * W, 1e-3);
  EXPECT_NEAR(p.vy, cy + 0.15 * 0.055 * H, 1e-3);
  EXPECT_EQ(p.vx, p.v0x);  // the rest pose is where it was read
  // Left parts lie right of the centre, right parts left of it; the nose above the mouth.
  EXPECT_GT(boxOf(partLine(doc, kLeftEye)).cx(), cx);
  EXPECT_LT(boxOf(partLine(doc, kRightEye)).cx(), cx);
  EXPECT_GT(boxOf(partLine(doc, kLeftEar)).cx(), boxOf(partLine(doc, kLeftEye)).maxX);
  EXPECT_LT(boxOf(partLine(doc, kRightBrow)).cy(), boxOf(partLine(doc, kRightEye)).cy());
  EXPECT_LT(boxOf(partLine(doc, kNose)).cy(), boxOf(partLine(doc, kMouth)).cy());
  EXPECT_EQ(partLine(doc, kLeftEye).pointCount() - 1, 10);
  // Ten hair strands of category 12 follow the controller-less part lines.
  for (int n = 334; n <= 343; ++n) EXPECT_EQ(partLine(doc, n).category, 12);
}

TEST(FaceReader, EmptyPartsFromLine330OnAreRemoved) {
  Document doc;
  FaceFile f = test::sampleFace();
  f.shapes.erase(21);  // 330: every record of the part has a negative mode
  f.shapes.erase(20);  // 329 stays although empty: it comes before 330
  f.shapes.erase(27);  // 339 likewise, and it goes
  ASSERT_EQ(loadFaceData(doc, f.bytes()), 1);
  EXPECT_EQ(lineOf(doc, 330), -1);
  EXPECT_EQ(lineOf(doc, 339), -1);
  ASSERT_GE(lineOf(doc, 329), 0);
  EXPECT_EQ(partLine(doc, 329).pointCount(), 1);
  EXPECT_GE(lineOf(doc, 338), 0);
  EXPECT_EQ(objectPieceCount(doc.objects[17]), 0);  // 前髪外右 lost its line

  // Parts whose first point lands on the origin go too (a face of size 0 on a canvas of size
  // 0 puts every part there), but only from 330 on.
  Document doc2;
  doc2.faceRef = 0;
  doc2.imageWidth = 0;
  doc2.imageHeight = 0;
  ASSERT_EQ(loadFaceData(doc2, test::sampleFace().bytes()), 1);
  for (int n = 334; n <= 343; ++n) EXPECT_EQ(lineOf(doc2, n), -1) << n;
  EXPECT_EQ(lineOf(doc2, 330), -1);
  EXPECT_GE(lineOf(doc2, 329), 0);
  EXPECT_GE(lineOf(doc2, 463), 0);
}

TEST(FaceReader, AFaceOnAnExistingJointIsPlacedOnItAtHalfSize) {
  Document doc;
  LineRecord head = doc.makeDefaultLine();
  head.nam = 2;
  head.kind = 4;
  PointRecord j = Document::makeDefaultPoint();
  j.nam = 10;
  j.kind = 1000;
  j.mode = 0;
  j.vx = j.v0x = 300;
  j.vy = j.v0y = 200;
  head.points.insert(head.points.begin(), j);
  doc.lines.insert(doc.lines.begin(), head);
  doc.lineOrder = {0, 1};

  ASSERT_EQ(loadFaceData(doc, test::sampleFace().bytes()), 1);
  const LineRecord& ctl = partLine(doc, 463);
  EXPECT_EQ(ctl.points[0].nam, 10000);  // no second reference joint
  EXPECT_EQ(ctl.points[0].kind, 0);
  EXPECT_FLOAT_EQ(ctl.points[0].vx, 10);
  EXPECT_FLOAT_EQ(ctl.points[0].vy, 30);
  EXPECT_EQ(ctl.code[2].code, 0u);  // line 0, point 0
  // The face is centred on the joint at half the reference size.
  const Box c = boxOf(partLine(doc, kRightContour));
  EXPECT_NEAR(c.minX, 300 - 0.5 * 150 / 1.3, 1e-3);
  const Box chin = boxOf(partLine(doc, kLeftContour));
  EXPECT_NEAR(chin.minX, 300, 1e-3);
}

// A second face read into a document that has one: it removes only its own empty parts and
// builds its settings, looks, connections and objects from its own lines; the first face's
// lines and objects stay exactly as they were.
TEST(FaceReader, ASecondFaceBuildsOnItsOwnLines) {
  Document doc;
  ASSERT_EQ(loadFaceData(doc, test::sampleFace().bytes()), 1);
  const std::vector<LineRecord> first(doc.lines.begin(), doc.lines.end() - 1);
  const std::vector<ObjectRecord> firstObjects(doc.objects.begin(), doc.objects.end() - 1);
  const int base = int(first.size());

  FaceFile f = test::sampleFace();
  f.shapes.erase(21);  // its 330 is empty (the first face's is not)
  f.shapes.erase(27);  // and so is its 339
  f.P[3] = 0.15f;      // wider eyes than the first face's
  ASSERT_EQ(loadFaceData(doc, f.bytes()), 1);

  for (int i = 0; i < base; ++i) EXPECT_TRUE(doc.lines[size_t(i)] == first[size_t(i)]) << i;
  ASSERT_EQ(doc.objectCount(), 2 * kFaceObjectCount + 1);
  for (int i = 0; i < kFaceObjectCount; ++i)
    EXPECT_TRUE(doc.objects[size_t(i)] == firstObjects[size_t(i)]) << i;

  // This read's lines: the 26 parts less its two empty ones, then its controller.
  const auto lineOfSecond = [&](int32_t nam) {
    for (int l = base; l + 1 < doc.lineCount(); ++l)
      if (doc.lines[size_t(l)].nam == nam) return l;
    return -1;
  };
  ASSERT_EQ(doc.lineCount(), base + 26 - 2 + 1 + 1);
  EXPECT_EQ(lineOfSecond(330), -1);
  EXPECT_EQ(lineOfSecond(339), -1);
  EXPECT_EQ(doc.lines[size_t(doc.lineCount() - 2)].nam, kFaceController);
  EXPECT_GE(lineOf(doc, 330), 0);  // the first face's
  EXPECT_GE(lineOf(doc, 339), 0);

  // Its settings and looks are on its own lines, and their connections stay among them.
  const uint32_t plain = doc.makeDefaultLine().cr;
  for (int l = base; l + 2 < doc.lineCount(); ++l) {
    const LineRecord& line = doc.lines[size_t(l)];
    const int part = findParam(line.params, kFacePartKey);
    ASSERT_GE(part, 0) << line.nam;
    EXPECT_NE(line.cr, plain) << line.nam;
    const int32_t number = line.params[size_t(part)].asInt();
    const FaceSlots& slots = faceSlotsOf(number);
    const int run = findParam(line.params, kFaceSlotKey);
    for (int slot : {slots.upper, slots.lower}) {
      if (slot < 0) continue;
      const int32_t ref = line.params[size_t(run + slot)].asInt();
      if (ref < 0) continue;
      EXPECT_GE(ref >> 16, base) << line.nam << " slot " << slot;
    }
  }
  const LineRecord& leftContour = doc.lines[size_t(lineOfSecond(kLeftContour))];
  const int run = findParam(leftContour.params, kFaceSlotKey);
  EXPECT_EQ(leftContour.params[size_t(run + 9)].asInt() >> 16, lineOfSecond(kNose));
  const LineRecord& ear = doc.lines[size_t(lineOfSecond(kRightEar))];
  EXPECT_EQ(ear.params[size_t(findParam(ear.params, kFaceSlotKey) + 7)].asInt() >> 16,
            lineOfSecond(kRightContour));

  // Its 22 objects, in order, on its own lines; those of its empty parts have no piece.
  for (int i = 0; i < kFaceObjectCount; ++i) {
    const ObjectRecord& o = doc.objects[size_t(kFaceObjectCount + i)];
    EXPECT_EQ(objectName(o), kFaceObjectNames[i]);
    for (int k = 0; k < objectPieceCount(o); ++k) EXPECT_GE(o.c[size_t(k)], base) << i;
  }
  const ObjectRecord& outline = doc.objects[size_t(kFaceObjectCount + 4)];
  EXPECT_EQ(outline.c[0], lineOfSecond(kRightContour));
  EXPECT_EQ(outline.c[1], lineOfSecond(kLeftContour));
  EXPECT_EQ(objectPieceCount(doc.objects[size_t(kFaceObjectCount + 1)]), 0);   // 330
  EXPECT_EQ(objectPieceCount(doc.objects[size_t(kFaceObjectCount + 17)]), 0);  // 339
  EXPECT_EQ(doc.objects[size_t(kFaceObjectCount + 9)].c[0], lineOfSecond(kLeftEye));
}

TEST(FaceReader, RefusesCountsTheFileCannotHoldAndLeavesTheDocument) {
  const FaceFile good = test::sampleFace();
  auto refused = [](const std::vector<uint8_t>& bytes) {
    Document doc;
    RecordingUi ui;
    doc.ui = &ui;
    const auto before = doc.lines;
    const int r = loadFaceData(doc, bytes);
    return r == -1 && doc.lines == before && doc.objectCount() == 1 &&
           ui.lastText() == "読込が出来ません。" && ui.shown.back().caption == "エラー";
  };
  std::vector<uint8_t> bytes = good.bytes();
  EXPECT_TRUE(refused(std::vector<uint8_t>(bytes.begin(), bytes.end() - 1)));  // truncated
  EXPECT_TRUE(refused({}));
  FaceFile f = good;
  f.rowsOverride = 63;  // beyond a part line's points
  EXPECT_TRUE(refused(f.bytes()));
  f = good;
  f.rowsOverride = 20;  // plausible, but the file holds fewer rows
  EXPECT_TRUE(refused(f.bytes()));
  f = good;
  f.eyeArea = 3;
  EXPECT_TRUE(refused(f.bytes()));
  f = good;
  f.eyeAreaOverride = 15;  // one more eye-area part than the rows hold
  EXPECT_TRUE(refused(f.bytes()));
  f = good;
  f.eyeAreaOverride = 1000000;
  EXPECT_TRUE(refused(f.bytes()));
  f = good;
  f.extraWords = -2;
  EXPECT_TRUE(refused(f.bytes()));
  f = good;
  f.pairsOverride = 3;  // pairs announced but not present
  EXPECT_TRUE(refused(f.bytes()));
  f = good;
  f.pairsOverride = 0x7FFFFFFF;
  EXPECT_TRUE(refused(f.bytes()));

  test::TempDir dir;
  Document doc;
  RecordingUi ui;
  doc.ui = &ui;
  EXPECT_EQ(loadFaceData(doc, dir.file("missing.fmk")), -1);
  EXPECT_EQ(ui.lastText(), "読込が出来ません。");
  EXPECT_EQ(doc.lineCount(), 1);
}

TEST(FaceReader, ExtraWordsAndTuningPairsAreHonoured) {
  FaceFile f = test::sampleFace();
  f.extraWords = 3;
  // Tune the nose's sideways travel (slot 0) to 42.
  f.pairs.push_back({uint32_t(kNose << 8), std::bit_cast<uint32_t>(42.0f)});
  Document doc;
  ASSERT_EQ(loadFaceData(doc, f.bytes()), 1);
  const LineRecord& nose = partLine(doc, kNose);
  const int at = findParam(nose.params, kFaceSlotKey);
  ASSERT_GE(at, 0);
  EXPECT_FLOAT_EQ(nose.params[size_t(at)].asFloat(), 42.0f);
  EXPECT_EQ(nose.params[size_t(findParam(nose.params, kFacePartKey))].asInt(), kNose);
  EXPECT_EQ(partLine(doc, kLeftEye).pointCount() - 1, 10);
}

TEST(FaceBuilder, CreatesTheFaceObjectsInOrder) {
  Document doc;
  ASSERT_EQ(loadFaceData(doc, test::sampleFace().bytes()), 1);
  ASSERT_EQ(doc.objectCount(), kFaceObjectCount + 1);
  for (int i = 0; i < kFaceObjectCount; ++i) {
    EXPECT_EQ(objectName(doc.objects[size_t(i)]), kFaceObjectNames[i]);
    EXPECT_EQ(doc.objects[size_t(i)].header[kObjectNumber], 10000 + i);
    EXPECT_EQ(doc.objects[size_t(i)].header[kObjectMode], kObjectModeFace);
  }
  const ObjectRecord& outline = doc.objects[4];  // 輪郭: both contours, the second reversed
  EXPECT_EQ(outline.c[0], lineOf(doc, kRightContour));
  EXPECT_EQ(outline.c[1], lineOf(doc, kLeftContour));
  EXPECT_EQ(unpackPieceRule(outline.d[1]).d, kPieceBackward);
  EXPECT_EQ(objectPieceCount(outline), 2);
  const ObjectRecord& eye = doc.objects[9];
  EXPECT_TRUE(isEyeObject(eye));
  EXPECT_EQ(eye.c[0], lineOf(doc, kLeftEye));
  EXPECT_EQ(eyeItemText(eye, kEyeWhiteColour), "ffffff");
}

// A face read into an empty document, with its joint.
struct Face {
  Document doc;
  PointRecord* joint = nullptr;
  int jl = -1;
  Face() {
    loadFaceData(doc, test::sampleFace().bytes());
    jl = lineOf(doc, 463);
    joint = &doc.lines[size_t(jl)].points[0];
  }
  void move() { ASSERT_EQ(faceMoveAll(doc, jl, 0, 0), 1); }
};

TEST(FaceMove, RestPoseKeepsEveryPointOnItsReference) {
  Face f;
  f.move();
  for (const LineRecord& l : f.doc.lines)
    for (int i = 0; i + 1 < l.pointCount(); ++i) {
      EXPECT_NEAR(l.points[size_t(i)].vx, l.points[size_t(i)].v0x, 1e-3);
      EXPECT_NEAR(l.points[size_t(i)].vy, l.points[size_t(i)].v0y, 1e-3);
    }
  EXPECT_EQ(faceMoveAll(f.doc, 99, 0, 0), -1);
}

TEST(FaceMove, TurningShiftsTheFeaturesAndNarrowsTheFarSide) {
  Face f;
  const Box eyeL0 = boxOf(partLine(f.doc, kLeftEye)), eyeR0 = boxOf(partLine(f.doc, kRightEye));
  const Box nose0 = boxOf(partLine(f.doc, kNose)), mouth0 = boxOf(partLine(f.doc, kMouth));
  const Box temple0 = boxOf(partLine(f.doc, kRightContour));
  f.joint->rady = -0.6f;  // the face turns towards larger x
  f.move();
  const Box eyeL = boxOf(partLine(f.doc, kLeftEye)), eyeR = boxOf(partLine(f.doc, kRightEye));
  const Box nose = boxOf(partLine(f.doc, kNose)), mouth = boxOf(partLine(f.doc, kMouth));
  EXPECT_GT(eyeL.cx(), eyeL0.cx());
  EXPECT_GT(eyeR.cx(), eyeR0.cx());
  EXPECT_GT(mouth.cx(), mouth0.cx());
  // The nose stands out furthest, so it travels furthest.
  EXPECT_GT(nose.cx() - nose0.cx(), eyeL.cx() - eyeL0.cx());
  // The far eye narrows, the near eye keeps more of its width.
  EXPECT_LT(eyeL.width(), eyeL0.width() * 0.9);
  EXPECT_GT(eyeR.width(), eyeL.width());
  // The contour keeps the head's outline at the temple while the chin swings.
  const LineRecord& rc = partLine(f.doc, kRightContour);
  EXPECT_NEAR(rc.points[0].vx, rc.points[0].v0x, 1.0);
  EXPECT_GT(rc.points[6].vx - rc.points[6].v0x, 10);
  EXPECT_NEAR(temple0.minX, boxOf(rc).minX, 1.0);

  // A frame turned the same way (as the joints of a posed figure leave it) turns the face alike.
  std::vector<LineRecord> byAngle = f.doc.lines;
  f.joint->rady = 0;
  const float si = std::sin(0.6f), co = std::cos(0.6f);
  const float jx = f.joint->vx, jy = f.joint->vy, jz = f.joint->vz;
  f.joint->unitX = {jx + co, jy, jz - si};
  f.joint->unitY = {jx, jy + 1, jz};
  f.joint->unitZ = {jx + si, jy, jz + co};
  f.move();
  for (int n = kLeftEye; n <= kRightLid; ++n) {
    const LineRecord& a = partLine(f.doc, n);
    const LineRecord& b = byAngle[size_t(lineOf(f.doc, n))];
    for (int i = 0; i + 1 < a.pointCount(); ++i)
      EXPECT_NEAR(a.points[size_t(i)].vx, b.points[size_t(i)].vx, 1e-3) << n;
  }
  f.joint->unitX = {jx + 1, jy, jz};
  f.joint->unitZ = {jx, jy, jz + 1};

  // Turning the other way mirrors the travel.
  f.joint->rady = 0.6f;
  f.move();
  EXPECT_LT(boxOf(partLine(f.doc, kNose)).cx(), nose0.cx());
  EXPECT_LT(boxOf(partLine(f.doc, kRightEye)).width(), eyeR0.width() * 0.9);
}

// Two offsets per real point in widths and heights of the line's rest box, under `key`; the
// point `at` gets (dx, dy), the others 0.
void setOffsets(LineRecord& l, int32_t key, int at, float dx, float dy) {
  std::vector<ParamEntry> run;
  for (int i = 0; i + 1 < l.pointCount(); ++i) {
    run.push_back(ParamEntry::ofFloat(key, 0, i == at ? dx : 0));
    run.push_back(ParamEntry::ofFloat(key, 0, i == at ? dy : 0));
  }
  replaceKindRange(l, key, key, run);
}

double restWidth(const LineRecord& l, bool x) {
  double lo = 1e9, hi = -1e9;
  for (int i = 0; i + 1 < l.pointCount(); ++i) {
    const double v = x ? l.points[size_t(i)].v0x : l.points[size_t(i)].v0y;
    lo = std::min(lo, v), hi = std::max(hi, v);
  }
  return hi - lo;
}

TEST(FaceMove, SideViewAndCorrectionSetsMoveThePointsTheyName) {
  Face f;
  EXPECT_EQ(faceSlotsOf(kRightLid).count, 10);
  EXPECT_EQ(faceSlotsOf(kLeftLid).count, 10);
  int lidRun = 0;
  for (const ParamEntry& e : partLine(f.doc, kLeftLid).params) lidRun += e.key == kFaceSlotKey;
  EXPECT_EQ(lidRun, 10);

  // The contour's side view: at a full turn towards larger x the point sits at (dx, dy) boxes
  // from its rest place; a partial turn goes part of the way, the other side mirrors x.
  LineRecord& rc = f.doc.lines[size_t(lineOf(f.doc, kRightContour))];
  setOffsets(rc, kFaceSideKey, 3, 0.5f, 0.25f);
  const double w = restWidth(rc, true), h = restWidth(rc, false), s = std::sin(0.6);
  f.joint->rady = -0.6f;
  f.move();
  EXPECT_NEAR(rc.points[3].vx - rc.points[3].v0x, 0.5 * w * s, 1e-2);
  EXPECT_NEAR(rc.points[3].vy - rc.points[3].v0y, 0.25 * h * s, 1e-2);
  EXPECT_NEAR(rc.points[0].vx, rc.points[0].v0x, 1e-3);
  f.joint->rady = 0.6f;
  f.move();
  EXPECT_NEAR(rc.points[3].vx - rc.points[3].v0x, -0.5 * w * s, 1e-2);
  EXPECT_NEAR(rc.points[3].vy - rc.points[3].v0y, 0.25 * h * s, 1e-2);

  // Correction sets 1 .. 4 (keys 104 .. 107) add their offsets as the face turns towards
  // larger x, towards smaller x, nods down and nods up; nothing at rest.
  LineRecord& mouth = f.doc.lines[size_t(lineOf(f.doc, kMouth))];
  const double mw = restWidth(mouth, true), mh = restWidth(mouth, false);
  f.joint->rady = -0.6f;
  f.move();
  const LineRecord plain = mouth;
  setOffsets(mouth, faceCorrectionKey(1), 1, 0.1f, 0.2f);
  setOffsets(mouth, faceCorrectionKey(2), 2, 0.3f, 0.3f);  // the other side: no effect now
  f.move();
  EXPECT_NEAR(mouth.points[1].vx - plain.points[1].vx, 0.1 * mw * s, 1e-2);
  EXPECT_NEAR(mouth.points[1].vy - plain.points[1].vy, 0.2 * mh * s, 1e-2);
  EXPECT_NEAR(mouth.points[2].vx, plain.points[2].vx, 1e-3);
  setOffsets(mouth, faceCorrectionKey(3), 0, 0, 0.5f);
  f.joint->rady = 0;
  f.joint->radx = 0.4f;
  f.move();
  const LineRecord nodded = mouth;
  replaceKindRange(mouth, faceCorrectionKey(3), faceCorrectionKey(3), {});
  f.move();
  EXPECT_NEAR(nodded.points[0].vy - mouth.points[0].vy, 0.5 * mh * std::sin(0.4), 1e-2);
  f.joint->radx = 0;
  f.move();
  EXPECT_NEAR(mouth.points[1].vx, mouth.points[1].v0x, 1e-3);
}

TEST(FaceMove, NoddingTiltingAndMovingTheJoint) {
  Face f;
  const Box mouth0 = boxOf(partLine(f.doc, kMouth));
  f.joint->radx = 0.4f;
  f.move();
  EXPECT_GT(boxOf(partLine(f.doc, kMouth)).cy(), mouth0.cy());

  // Moving the joint carries the whole face; tilting turns it about the joint.
  f.joint->radx = 0;
  f.joint->vx += 30;
  f.joint->vy -= 20;
  f.move();
  EXPECT_NEAR(boxOf(partLine(f.doc, kMouth)).cx(), mouth0.cx() + 30, 1e-2);
  EXPECT_NEAR(boxOf(partLine(f.doc, kMouth)).cy(), mouth0.cy() - 20, 1e-2);
  f.joint->vx -= 30;
  f.joint->vy += 20;
  f.joint->radz = float(M_PI / 2);
  f.move();
  // A quarter roll: the mouth, below the joint, ends up beside it.
  const double dy0 = mouth0.cy() - f.joint->v0y;
  EXPECT_NEAR(boxOf(partLine(f.doc, kMouth)).cy(), f.joint->v0y, 1e-2);
  EXPECT_NEAR(std::fabs(boxOf(partLine(f.doc, kMouth)).cx() - f.joint->v0x), dy0, 1e-2);
  // Hair strands follow the head lines they hang from.
  const LineRecord& strand = partLine(f.doc, 335);
  EXPECT_GT(std::fabs(strand.points[0].vx - strand.points[0].v0x), 1.0);
}

}  // namespace
}  // namespace tovala
