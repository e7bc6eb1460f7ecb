#include <gtest/gtest.h>

#include <bit>

#include "engine/objects.h"
#include "model/document.h"
#include "model/object_depth.h"
#include "platform/ui.h"

namespace tovala {
namespace {

// A document with `lines` lines of `points` points each, point i of line l at (i, l, z).
Document docWithLines(int lines, int points, float z = 0) {
  Document doc;
  doc.lines.clear();
  doc.lineOrder.clear();
  for (int l = 0; l <= lines; ++l) {
    LineRecord line = doc.makeDefaultLine();
    line.nam = l;
    line.points.clear();
    const int n = l < lines ? points : 0;
    for (int i = 0; i <= n; ++i) {
      PointRecord p = Document::makeDefaultPoint();
      p.mode = i < n ? 0 : -1;
      p.vx = float(i);
      p.vy = float(l);
      p.vz = z + float(i);
      line.points.push_back(p);
    }
    doc.lines.push_back(line);
    doc.lineOrder.push_back(l);
  }
  return doc;
}

ObjectRecord objectWithLines(std::initializer_list<int> lines) {
  ObjectRecord o;
  int i = 0;
  for (int l : lines) o.c[size_t(i++)] = l;
  return o;
}

TEST(Objects, AddNumbersFromTenThousandAndKeepsTheSentinelLast) {
  Document doc;
  ObjectRecord o;
  ASSERT_EQ(o.header[kObjectNumber], -1);
  EXPECT_EQ(addObject(doc, o), 0);
  EXPECT_EQ(doc.objects[0].header[kObjectNumber], 10000);
  EXPECT_EQ(addObject(doc, o), 1);
  EXPECT_EQ(doc.objects[1].header[kObjectNumber], 10001);
  EXPECT_EQ(doc.objectCount(), 3);
  EXPECT_EQ(doc.objects.back().header[kObjectNumber], -1);  // the sentinel

  // A freed number is taken again; a record that has a number keeps it.
  ASSERT_EQ(deleteObject(doc, 0), 1);
  EXPECT_EQ(nextObjectNumber(doc), 10000);
  o.header[kObjectNumber] = 12345;
  addObject(doc, o);
  EXPECT_EQ(doc.objects[1].header[kObjectNumber], 12345);

  // The sentinel and indices beyond it are never deleted or rewritten.
  EXPECT_EQ(deleteObject(doc, doc.objectCount() - 1), -1);
  EXPECT_EQ(deleteObject(doc, -1), -1);
  EXPECT_EQ(rewriteObject(doc, 7, o), -1);
  EXPECT_EQ(doc.objectCount(), 3);
}

TEST(Objects, PanelCommandsAskFirstAndNoChangesNothing) {
  Document doc;
  RecordingUi ui;
  doc.ui = &ui;
  setObjectName(doc.scratchObject, "左目");
  ui.queueAnswer(Answer::No);
  EXPECT_EQ(addCurrentObjectAsked(doc), 0);
  EXPECT_EQ(doc.objectCount(), 1);
  EXPECT_EQ(ui.lastText(), "現在のオブジェクトを追加します。よろしいですか?");

  ui.queueAnswer(Answer::Yes);
  EXPECT_EQ(addCurrentObjectAsked(doc), 1);
  ASSERT_EQ(doc.objectCount(), 2);
  EXPECT_EQ(objectName(doc.objects[0]), "左目");
  EXPECT_EQ(doc.scratchObject.header[kObjectNumber], 10000);

  // Rewrite copies the current object over the selected one; delete removes it.
  doc.scratchObject.header[kObjectColour] = 0x123456;
  ui.queueAnswer(Answer::Yes);
  EXPECT_EQ(rewriteSelectedObjectAsked(doc), 1);
  EXPECT_EQ(doc.objects[0].header[kObjectColour], 0x123456);
  ui.queueAnswer(Answer::No);
  EXPECT_EQ(deleteSelectedObjectAsked(doc), 0);
  EXPECT_EQ(doc.objectCount(), 2);
  ui.queueAnswer(Answer::Yes);
  EXPECT_EQ(deleteSelectedObjectAsked(doc), 1);
  EXPECT_EQ(doc.objectCount(), 1);
}

TEST(Objects, BackupRestoreFreshAndSelect) {
  Document doc;
  ObjectRecord a;
  a.header[kObjectColour] = 7;
  addObject(doc, a);
  doc.scratchObject.header[kObjectColour] = 99;
  ASSERT_EQ(selectObject(doc, 0), 1);
  EXPECT_EQ(doc.scratchObject.header[kObjectColour], 7);
  restoreCurrentObject(doc);
  EXPECT_EQ(doc.scratchObject.header[kObjectColour], 99);  // as before the selection
  freshCurrentObject(doc);
  EXPECT_EQ(doc.scratchObject, ObjectRecord{});
  restoreCurrentObject(doc);
  EXPECT_EQ(doc.scratchObject.header[kObjectColour], 99);
  EXPECT_EQ(selectObject(doc, 1), -1);  // the sentinel is not selectable
}

TEST(Objects, PieceRulesFollowThePickedRange) {
  Document doc = docWithLines(2, 5);  // last real point 4
  ObjectRecord o;
  EXPECT_EQ(addObjectPiece(doc, o, 0, 0, 0, 4), 0);
  EXPECT_EQ(unpackPieceRule(o.d[0]).d, kPieceForward);
  EXPECT_EQ(addObjectPiece(doc, o, 1, 1, 4, 0), 1);
  EXPECT_EQ(unpackPieceRule(o.d[1]).d, kPieceBackward);
  EXPECT_EQ(addObjectPiece(doc, o, 2, 1, 3, 1), 2);
  const PieceRange r = unpackPieceRule(o.d[2]);
  EXPECT_EQ(r.d, kPieceRange);
  EXPECT_EQ(r.b, 3);
  EXPECT_EQ(r.c, 1);
  EXPECT_EQ(addObjectPiece(doc, o, 3, 0, 2, 2), 3);
  EXPECT_EQ(unpackPieceRule(o.d[3]).d, kPiecePoint);
  // A slot past the used ones appends right after them.
  EXPECT_EQ(addObjectPiece(doc, o, 40, 0, 1, 2), 4);
  EXPECT_EQ(objectPieceCount(o), 5);
  // Invalid picks and eye objects take nothing.
  EXPECT_EQ(addObjectPiece(doc, o, 0, 2, 0, 0), -1);
  EXPECT_EQ(addObjectPiece(doc, o, 0, 0, 0, 5), -1);
  ObjectRecord eye;
  eye.header[kObjectDrawType] = kShapeEye | kDrawFilled;
  EXPECT_EQ(addObjectPiece(doc, eye, 0, 0, 0, 4), -1);
  EXPECT_EQ(objectPieceCount(eye), 0);
}

TEST(Objects, RemovingAPieceMovesTheLaterOnesUp) {
  ObjectRecord o = objectWithLines({5, 6, 7});
  o.d[0] = 0x00010203;
  o.d[1] = 0x00020304;
  o.d[2] = 0x00030405;
  ASSERT_EQ(removeObjectPiece(o, 0), 1);
  EXPECT_EQ(objectPieceCount(o), 2);
  EXPECT_EQ(o.c[0], 6);
  EXPECT_EQ(o.c[1], 7);
  EXPECT_EQ(o.c[2], -1);
  EXPECT_EQ(o.d[0], 0x00020304);
  EXPECT_EQ(o.d[1], 0x00030405);
  EXPECT_EQ(o.c[kObjectEntries - 1], -1);
  EXPECT_EQ(o.d[kObjectEntries - 1], 0);
  EXPECT_EQ(removeObjectPiece(o, kObjectEntries), -1);
}

TEST(Objects, SearchFindsObjectsByLineOrSaysNoneAndKeepsTheCurrentObject) {
  Document doc = docWithLines(4, 2);
  RecordingUi ui;
  doc.ui = &ui;
  addObject(doc, objectWithLines({0, 2}));
  addObject(doc, objectWithLines({1}));
  addObject(doc, objectWithLines({2, 3}));
  EXPECT_EQ(searchObjectsByLine(doc, 2), (std::vector<int>{0, 2}));
  EXPECT_TRUE(ui.shown.empty());

  doc.scratchObject.header[kObjectColour] = 42;
  EXPECT_TRUE(searchObjectsByLine(doc, 3 + 10).empty());
  EXPECT_EQ(ui.lastText(), "選択している線を使用しているオブジェクトは見つかりませんでした。");
  EXPECT_EQ(doc.scratchObject.header[kObjectColour], 42);
  // A line listed after the end of an object's pieces does not count.
  ObjectRecord stale = objectWithLines({0});
  stale.c[2] = 3;
  addObject(doc, stale);
  EXPECT_EQ(objectsUsingLine(doc, 3), (std::vector<int>{2}));
}

TEST(Objects, EyeItemsRoundTripThroughTheirTextForms) {
  ObjectRecord eye;
  eye.header[kObjectDrawType] = kShapeEye;
  EXPECT_TRUE(setEyeItem(eye, kEyeWhiteColour, "f0e0d0"));
  EXPECT_EQ(eyeItemText(eye, kEyeWhiteColour), "f0e0d0");
  EXPECT_TRUE(setEyeItem(eye, kEyeIrisSetting, "fe020a0c"));
  EXPECT_EQ(eye.d[size_t(eyeItemWord(kEyeIrisSetting))], int32_t(0xfe020a0c));
  EXPECT_TRUE(setEyeItem(eye, kEyeWidth, "0.75"));
  EXPECT_TRUE(setEyeItem(eye, kEyeHeight, "0.5"));
  // Width and height share one word, each x 10000.
  EXPECT_EQ(eye.d[5], int32_t((7500u << 16) | 5000u));
  EXPECT_EQ(eyeItemText(eye, kEyeWidth), "0.750000");
  EXPECT_TRUE(setEyeItem(eye, kEyeHeight, "3"));  // clamped to 1
  EXPECT_EQ(eyeItemText(eye, kEyeHeight), "1.000000");
  EXPECT_EQ(eyeItemText(eye, kEyeWidth), "0.750000");
  // Bad text and non-eye objects store nothing.
  const ObjectRecord before = eye;
  EXPECT_FALSE(setEyeItem(eye, kEyeLightColour, "zz"));
  EXPECT_FALSE(setEyeItem(eye, kEyeWidth, "0.5x"));
  EXPECT_FALSE(setEyeItem(eye, kEyeItemCount, "1"));
  EXPECT_EQ(eye, before);
  ObjectRecord plain;
  EXPECT_FALSE(setEyeItem(plain, kEyeWhiteColour, "ffffff"));

  Document doc;
  RecordingUi ui;
  doc.ui = &ui;
  EXPECT_EQ(firstEyeObject(doc), -1);
  EXPECT_EQ(ui.lastText(), "目に設定しているオブジェクトはありません。");
  addObject(doc, ObjectRecord{});
  addObject(doc, eye);
  EXPECT_EQ(firstEyeObject(doc), 1);
}

TEST(Objects, NamesAreStoredAsShiftJisCutAtWholeCharacters) {
  ObjectRecord o;
  EXPECT_EQ(objectName(o), "名無し");
  setObjectName(o, "左手人差指第三");  // 7 characters, 14 bytes
  EXPECT_EQ(objectName(o), "左手人差指第三");
  setObjectName(o, "前髪左 主髪あいう");  // would be 17 bytes: the last character is dropped
  EXPECT_EQ(objectName(o), "前髪左 主髪あい");
}

TEST(ObjectDepth, FollowsTheModeOfTheObject) {
  Document doc = docWithLines(3, 4, 10.0f);  // point i has z 10 + i
  ObjectRecord whole = objectWithLines({0, 1});
  whole.d[1] = packPieceRule({0, 1, 2, kPieceRange});  // points 1..2 of line 1
  // Line 0: z 10..13 (mean 11.5), line 1 points 1, 2: z 11, 12.
  EXPECT_FLOAT_EQ(objectDepth(doc, whole), (10 + 11 + 12 + 13 + 11 + 12) / 6.0f);
  whole.a[0] = std::bit_cast<int32_t>(5.0f);  // offset
  EXPECT_FLOAT_EQ(objectDepth(doc, whole), (10 + 11 + 12 + 13 + 11 + 12) / 6.0f + 5.0f);

  ObjectRecord face;
  face.header[kObjectMode] = kObjectModeFace;
  face.header[kObjectReference] = (2 << 16) | (3 << 8) | 0;
  EXPECT_FLOAT_EQ(objectDepth(doc, face), 13.0f);
  doc.lines[2].points[3].unitZ = {0, 0, 20.0f};
  face.header[kObjectReference] = (2 << 16) | (3 << 8) | 6;  // mirrored Z tip: 2 * 13 - 20
  EXPECT_FLOAT_EQ(objectDepth(doc, face), 6.0f);

  ObjectRecord several;
  several.header[kObjectMode] = int32_t(kObjectModeSeveralMinus | (2u << 24));
  several.a[0] = (0 << 16) | 0;  // z 10
  several.a[1] = (1 << 16) | 2;  // z 12
  several.a[2] = std::bit_cast<int32_t>(1.0f);
  EXPECT_FLOAT_EQ(objectDepth(doc, several), 11.0f - 1.0f);
  several.a[1] = (9 << 16) | 2;  // no such line: only the valid point counts
  EXPECT_FLOAT_EQ(objectDepth(doc, several), 10.0f - 1.0f);

  addObject(doc, whole);
  addObject(doc, face);
  updateObjectDepths(doc);
  EXPECT_FLOAT_EQ(std::bit_cast<float>(doc.objects[1].header[kObjectDepth]), 6.0f);
  EXPECT_EQ(doc.objects.back().header[kObjectDepth], 0);  // the sentinel is left alone
}

}  // namespace
}  // namespace tovala
