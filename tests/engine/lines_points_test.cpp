#include "engine/lines_points.h"

#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "platform/ui.h"

namespace tovala {
namespace {

using Order = std::vector<int32_t>;

TEST(LinesPoints, AppendToAnEmptyDocument) {
  Document doc;
  ASSERT_EQ(doc.lineCount(), 1);
  EXPECT_EQ(appendLine(doc), 0);
  EXPECT_EQ(doc.lineCount(), 2);
  EXPECT_EQ(doc.curLine, 0);
  EXPECT_EQ(doc.lineOrder, (Order{0, 1}));
  // The new sentinel is a default line with a number of its own and one sentinel point.
  const LineRecord& s = doc.lines[1];
  EXPECT_EQ(s.pointCount(), 1);
  EXPECT_EQ(s.points[0].mode, -1);
  EXPECT_NE(s.nam, doc.lines[0].nam);
  EXPECT_EQ(appendLine(doc), 1);
  EXPECT_EQ(doc.lineOrder, (Order{0, 1, 2}));
  EXPECT_EQ(doc.lines[1].nam, 10001);
  EXPECT_EQ(doc.lines[2].nam, 10002);
}

TEST(LinesPoints, TemplateLinesAreCopiedIntoTheNewLine) {
  Document doc;
  test::addLine(doc, {{1, 2}});
  LineRecord t = doc.lines[0];
  t.kind = 1;
  t.nam = 12345;
  EXPECT_EQ(appendLine(doc, &t), 1);
  EXPECT_EQ(doc.lines[1], t);
  EXPECT_EQ(doc.lines[2].kind, 0);  // the sentinel stays a fresh line
  EXPECT_EQ(doc.lines[2].pointCount(), 1);

  // Insertion shifts the lines above; the order gains the new last slot because 0 is taken.
  t.nam = 777;
  EXPECT_EQ(insertLine(doc, 0, &t), 0);
  EXPECT_EQ(doc.lines[0].nam, 777);
  EXPECT_EQ(doc.lines[2].kind, 1);
  EXPECT_EQ(doc.lineOrder, (Order{0, 1, 2, 3}));
  // A slot beyond the lines appends in front of the sentinel.
  EXPECT_EQ(insertLine(doc, 99), 3);
  EXPECT_EQ(doc.lineCount(), 5);
  EXPECT_EQ(doc.lines[4].pointCount(), 1);
  const auto before = doc.lines;
  EXPECT_EQ(insertLine(doc, -1), -1);
  EXPECT_TRUE(doc.lines == before);
}

TEST(LinesPoints, DeleteLineKeepsTheOrderInStep) {
  Document doc;
  for (int i = 0; i < 5; ++i) test::addLine(doc, {{float(i), 0}});
  ASSERT_EQ(doc.lineOrder, (Order{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(deleteLine(doc, 2), 2);
  EXPECT_EQ(doc.lineOrder, (Order{0, 1, 2, 3, 4}));
  EXPECT_EQ(doc.lineCount(), 5);
  EXPECT_EQ(doc.lines[2].points[0].vx, 3.0f);

  // A permuted order loses the deleted line's entry; higher entries drop by one.
  doc.lineOrder = {4, 2, 0, 1, 3};
  EXPECT_EQ(deleteLine(doc, 1), 1);
  EXPECT_EQ(doc.lineOrder, (Order{3, 1, 0, 2}));
}

TEST(LinesPoints, DeleteLineRefusals) {
  Document doc;
  EXPECT_EQ(deleteLine(doc, 0), -1);  // no lines
  test::addLine(doc, {{0, 0}});
  test::addLine(doc, {{1, 1}});
  doc.edit.mode = kModeMotion;
  const auto before = doc.lines;
  const auto order = doc.lineOrder;
  EXPECT_EQ(deleteLine(doc, 0), -1);
  doc.edit.mode = 0;
  doc.curLine = 7;
  EXPECT_EQ(deleteLine(doc, 9), -2);
  EXPECT_TRUE(doc.lines == before);
  EXPECT_EQ(doc.lineOrder, order);
  // An invalid index means the selected line.
  doc.curLine = 0;
  EXPECT_EQ(deleteLine(doc, -5), 0);
  EXPECT_EQ(doc.lines[0].points[0].vx, 1.0f);
}

TEST(LinesPoints, DeletingALineMissingFromTheOrderIsReportedAndRepaired) {
  Document doc;
  RecordingUi ui;
  doc.ui = &ui;
  for (int i = 0; i < 3; ++i) test::addLine(doc, {{float(i), 0}});
  doc.lineOrder = {0, 0, 2, 3};  // line 1 lost
  EXPECT_EQ(deleteLine(doc, 1), 1);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "線の命令実行順序の変数のエラー");
  EXPECT_EQ(ui.shown[0].caption, "エラー");
  // Still one entry per slot, each slot once.
  EXPECT_EQ(doc.lineOrder, (Order{0, 1, 2}));
}

TEST(LinesPoints, AddAndSetPoint) {
  Document doc;
  const int line = appendLine(doc);
  EXPECT_EQ(addPoint(doc, line), 0);
  EXPECT_EQ(setPoint(doc, line, -2, 5, 6, 0), 1);
  const LineRecord& l = doc.lines[size_t(line)];
  ASSERT_EQ(l.pointCount(), 2);
  EXPECT_EQ(l.points[0].kind, 0);
  EXPECT_EQ(l.points[0].mode, 0);
  EXPECT_EQ(l.points[0].vx, 5.0f);
  EXPECT_EQ(doc.curPoint, 0);
  // The new sentinel copies the point before it, with its own number and empty lists.
  const PointRecord& s = l.points[1];
  EXPECT_EQ(s.kind, -1);
  EXPECT_EQ(s.mode, -1);
  EXPECT_NE(s.nam, l.points[0].nam);
  EXPECT_EQ(s.paramCount(), 1);

  addPoint(doc, line);
  setPoint(doc, line, -2, 7, 8, 0);
  EXPECT_EQ(doc.lines[size_t(line)].points[1].vy, 8.0f);
  EXPECT_EQ(doc.curPoint, 1);

  const auto before = doc.lines;
  EXPECT_EQ(addPoint(doc, 1), -1);  // the sentinel line
  EXPECT_EQ(addPoint(doc, -1), -1);
  EXPECT_EQ(setPoint(doc, line, -1, 0, 0, 0), -1);  // the sentinel point
  EXPECT_EQ(setPoint(doc, line, 2, 0, 0, 0), -1);
  EXPECT_EQ(setPoint(doc, line, -9, 0, 0, 0), -1);
  EXPECT_TRUE(doc.lines == before);
}

TEST(LinesPoints, DeletePoint) {
  Document doc;
  test::addLine(doc, {{0, 0}});
  doc.curLine = 0;
  const auto one = doc.lines;
  EXPECT_EQ(deletePoint(doc, 0), -2);  // the last real point stays
  doc.curLine = 3;
  EXPECT_EQ(deletePoint(doc, 0), -1);
  doc.curLine = 0;
  doc.edit.mode = kModeMotion;
  EXPECT_EQ(deletePoint(doc, 0), -1);
  EXPECT_TRUE(doc.lines == one);
  doc.edit.mode = 0;

  test::addLine(doc, {{1, 0}, {2, 0}, {3, 0}});
  doc.curLine = 1;
  doc.curPoint = 1;
  EXPECT_EQ(deletePoint(doc, -1), 1);  // the selected point
  EXPECT_EQ(doc.lines[1].points[1].vx, 3.0f);
  EXPECT_EQ(deletePoint(doc, 40), 1);  // invalid: the last real point, now selected
  EXPECT_EQ(doc.curPoint, 1);
  EXPECT_EQ(doc.lines[1].pointCount(), 2);
  EXPECT_EQ(doc.lines[1].points[0].vx, 1.0f);
}

}  // namespace
}  // namespace tovala
