#include <gtest/gtest.h>

#include "model/document.h"

namespace tovala {
namespace {

// Every array ends in its sentinel: lines, points, params, code, texts.
void expectSentinels(const Document& doc) {
  ASSERT_GE(doc.lineCount(), 1);
  EXPECT_EQ(doc.lineOrder.size(), doc.lines.size());
  for (const LineRecord& l : doc.lines) {
    ASSERT_FALSE(l.points.empty());
    EXPECT_EQ(l.points.back().mode, -1);
    EXPECT_EQ(l.params.back().key, kParamSentinelKey);
    EXPECT_FALSE(l.code.empty());
    for (const PointRecord& p : l.points) EXPECT_EQ(p.params.back().key, kParamSentinelKey);
  }
  ASSERT_FALSE(doc.texts.empty());
  EXPECT_EQ(doc.texts.back().key, -1);
}

LineRecord lineNumbered(const Document& doc, int32_t nam) {
  LineRecord l = doc.makeDefaultLine();
  l.nam = nam;
  return l;
}

TEST(Document, NewDocumentHoldsOnlySentinelsWithTheirDefaults) {
  Document doc;
  expectSentinels(doc);
  EXPECT_EQ(doc.lineCount(), 1);
  EXPECT_EQ(doc.isValidPick(0, 0), -1);
  EXPECT_EQ(doc.imageWidth, 1000);
  EXPECT_EQ(doc.imageHeight, 1200);
  EXPECT_EQ(doc.backColor, 0x00FFFEFDu);
  EXPECT_EQ(doc.lineOrder, std::vector<int32_t>{0});
  EXPECT_EQ(doc.imageKeys, std::vector<int32_t>{0});
  EXPECT_EQ(doc.objectCount(), 1);
  EXPECT_EQ(doc.objects[0].header[0], -1);
  EXPECT_EQ(doc.objects[0].header[4], 1);
  EXPECT_EQ(doc.objects[0].c[0], -1);
  EXPECT_EQ(doc.objects[0].name[0], 0x96);  // "名無し" in Shift-JIS
  EXPECT_EQ(doc.texts[0].text[0], ' ');

  const LineRecord& sentinel = doc.lines[0];
  EXPECT_EQ(sentinel.nam, 10000);
  EXPECT_EQ(sentinel.sel, 1);
  EXPECT_FLOAT_EQ(sentinel.bra, 1.98f);
  EXPECT_EQ(sentinel.spmin, 20);
  EXPECT_DOUBLE_EQ(sentinel.spdspx, 0.3);
  const PointRecord& p = Document::makeDefaultPoint();
  EXPECT_EQ(p.mode, -1);
  EXPECT_EQ(p.aux, -1);
  EXPECT_FLOAT_EQ(p.pwa, 230.0f);
  EXPECT_DOUBLE_EQ(p.spdspx, 0.0);

  // The work images exist at canvas size in the background colour, except scratch 3.
  for (int slot : {0, 1, 2, 4, 5, 6, 7}) {
    const ImageSlot* img = doc.workImages.image(slot);
    ASSERT_NE(img, nullptr) << slot;
    EXPECT_EQ(img->width, 1000);
    EXPECT_EQ(img->pixel(999, 1199), doc.backColor);
  }
  // The default brush gives a 2 x 2 kernel of weight 250.
  EXPECT_EQ(doc.workImages.kernel.width, 2);
  EXPECT_EQ(doc.workImages.kernel.weights, std::vector<int32_t>(4, 250));
}

TEST(Document, ValidPickChecksLineAndPointTogether) {
  Document doc;
  doc.lines.insert(doc.lines.begin(), lineNumbered(doc, 10001));
  doc.lines[0].points.insert(doc.lines[0].points.begin(), Document::makeDefaultPoint());
  EXPECT_EQ(doc.isValidPick(0, 0), 1);
  EXPECT_EQ(doc.isValidPick(0, 1), -1);  // the sentinel point
  EXPECT_EQ(doc.isValidPick(1, 0), -1);  // the sentinel line
  EXPECT_EQ(doc.isValidPick(-1, 0), -1);
  EXPECT_EQ(doc.isValidPick(0, -1), -1);
}

TEST(Document, NumbersTakeTheSmallestUnusedValue) {
  Document doc;
  // Lines numbered 10000 and 10002 (the sentinel counts, so give it 10003).
  doc.lines[0].nam = 10003;
  doc.lines.insert(doc.lines.begin(), lineNumbered(doc, 10002));
  doc.lines.insert(doc.lines.begin(), lineNumbered(doc, 10000));
  EXPECT_EQ(doc.nextLineNumber(), 10001);
  doc.lines[1].nam = 10001;  // now 10000, 10001 and 10003
  EXPECT_EQ(doc.nextLineNumber(), 10002);
  doc.lines[2].nam = 10002;
  EXPECT_EQ(doc.nextLineNumber(), 10003);

  LineRecord& l = doc.lines[0];
  l.points.assign(
      {Document::makeDefaultPoint(), Document::makeDefaultPoint(), Document::makeDefaultPoint()});
  l.points[0].nam = 10001;
  l.points[1].nam = 10000;
  l.points[2].nam = 10003;
  EXPECT_EQ(doc.nextPointNumber(0), 10002);
}

TEST(Document, SentinelPointCopiesThePreviousPointButNotItsPrograms) {
  Document doc;
  PointRecord prev = Document::makeDefaultPoint();
  prev.kind = 2000;
  prev.mode = 1;
  prev.vx = 12.5f;
  prev.pww = 3.0f;
  prev.spdspy = 0.7;
  prev.params.insert(prev.params.begin(), ParamEntry::ofInt(6, 0, 1));
  prev.code.insert(prev.code.begin(), CodeEntry{3, 4});
  PointRecord s = doc.makeSentinelPoint(prev, 10007);
  EXPECT_EQ(s.kind, -1);
  EXPECT_EQ(s.mode, -1);
  EXPECT_EQ(s.nam, 10007);
  EXPECT_FLOAT_EQ(s.vx, 12.5f);
  EXPECT_FLOAT_EQ(s.pww, 3.0f);
  EXPECT_DOUBLE_EQ(s.spdspy, 0.7);
  EXPECT_EQ(s.paramCount(), 1);
  EXPECT_EQ(s.codeCount(), 1);
}

TEST(Document, CopyLineIsDeep) {
  Document doc;
  LineRecord a = doc.makeDefaultLine();
  a.points.insert(a.points.begin(), Document::makeDefaultPoint());
  a.points[0].params.insert(a.points[0].params.begin(), ParamEntry::ofFloat(7, 1, 2.5f));
  LineRecord b;
  Document::copyLine(b, a);
  EXPECT_EQ(a, b);
  b.points[0].params[0].setFloat(9.0f);
  EXPECT_FLOAT_EQ(a.points[0].params[0].asFloat(), 2.5f);
}

TEST(Document, LookupsByNumberOrderImageAndText) {
  Document doc;
  doc.lines.insert(doc.lines.begin(), {lineNumbered(doc, 10005), lineNumbered(doc, 10006)});
  doc.lines.back().nam = 10007;
  doc.lineOrder = {2, 1, 0};
  EXPECT_EQ(doc.findLineByNumber(10005), 2);
  EXPECT_EQ(doc.findLineByNumber(10006), 1);
  EXPECT_EQ(doc.findLineByNumber(12345), -1);
  EXPECT_EQ(doc.findOrderPosition(0), 2);
  EXPECT_EQ(doc.findOrderPosition(9), -1);
  // The walk stops at the first order entry that is not a line index.
  doc.lineOrder = {7, 0, 1};
  EXPECT_EQ(doc.findLineByNumber(10005), -1);

  // An unknown image key finds the first image, not -1.
  doc.imageKeys = {4, 9, 10};
  EXPECT_EQ(doc.findImageByKey(9), 1);
  EXPECT_EQ(doc.findImageByKey(77), 0);
}

TEST(Document, StoreTextReplacesOrInsertsBeforeTheSentinel) {
  Document doc;
  TextRecord t;
  t.key = 10003;
  t.length = 200;  // cut to 128
  t.text[0] = 'A';
  doc.storeText(t);
  ASSERT_EQ(doc.textCount(), 2);
  EXPECT_EQ(doc.texts[0].key, 10003);
  EXPECT_EQ(doc.texts[0].length, 128);
  EXPECT_EQ(doc.texts.back().key, -1);
  EXPECT_EQ(doc.findText(10003), 0);
  EXPECT_EQ(doc.findText(42), -1);

  t.text[0] = 'B';
  t.length = 1;
  doc.storeText(t);
  ASSERT_EQ(doc.textCount(), 2);
  EXPECT_EQ(doc.texts[0].text[0], 'B');

  TextRecord u;
  u.key = 10004;
  doc.storeText(u);
  ASSERT_EQ(doc.textCount(), 3);
  EXPECT_EQ(doc.texts[1].key, 10004);
  EXPECT_EQ(doc.texts.back().key, -1);
}

TEST(Document, OrderUpkeepOnDeleteAndInsert) {
  Document doc;
  doc.lineOrder = {4, 2, 0, 1, 3, 5};
  doc.orderAfterDelete(2);
  EXPECT_EQ(doc.lineOrder, (std::vector<int32_t>{3, 0, 1, 2, 4}));

  // Inserting index 1 when it is already present appends the new last index.
  doc.lines.assign(6, doc.makeDefaultLine());
  doc.orderAfterInsert(1);
  EXPECT_EQ(doc.lineOrder.back(), 5);
  // Inserting an index that does not occur appends that index.
  doc.lineOrder = {0, 1, 2};
  doc.lines.assign(4, doc.makeDefaultLine());
  doc.orderAfterInsert(3);
  EXPECT_EQ(doc.lineOrder, (std::vector<int32_t>{0, 1, 2, 3}));
}

TEST(Document, NewCanvasKeepsALoadedUnderlayAndANewDocumentDropsIt) {
  Document doc;
  doc.create();
  ImageSlot& blank = *doc.workImages.slot(kUnderlayImage);
  EXPECT_EQ(blank.width, kDefaultImageWidth);
  // A picture loaded as the underlay (two colours, its own size).
  ASSERT_TRUE(doc.workImages.makeBlank(kUnderlayImage, 30, 20, 0x0000FF));
  doc.workImages.slot(kUnderlayImage)->setPixel(5, 5, 0x00FF00);
  const ImageSlot picture = *doc.workImages.slot(kUnderlayImage);
  doc.backColor = 0x123456;
  doc.imageWidth = 400;
  doc.recreateWorkImages();
  EXPECT_TRUE(*doc.workImages.slot(kUnderlayImage) == picture);
  EXPECT_EQ(doc.workImages.slot(kModelImage)->width, 400);

  // The blank underlay follows the canvas and its colour.
  doc.workImages.makeBlank(kUnderlayImage, 400, 1200, 0x123456);
  doc.backColor = 0x654321;
  doc.imageWidth = 500;
  doc.recreateWorkImages();
  EXPECT_EQ(doc.workImages.slot(kUnderlayImage)->width, 500);
  EXPECT_EQ(doc.workImages.slot(kUnderlayImage)->pixel(0, 0), 0x654321u);

  doc.workImages.slot(kUnderlayImage)->setPixel(1, 1, 0);
  doc.reset();
  EXPECT_EQ(doc.workImages.slot(kUnderlayImage)->pixel(1, 1), kDefaultBackColor);
}

TEST(Document, ClearAndResetRestoreANewDocument) {
  Document doc;
  doc.lines.insert(doc.lines.begin(), lineNumbered(doc, 10001));
  doc.lineOrder = {0, 1};
  doc.backColor = 0x123456;
  doc.markSize = 9;
  doc.modelScale = 2.0f;
  doc.VextX = 5;
  doc.edit.mode = 3;
  doc.curLine = 1;
  doc.clear();
  EXPECT_TRUE(doc.lines.empty());
  EXPECT_EQ(doc.edit.mode, 1);
  EXPECT_EQ(doc.curLine, 0);
  doc.reset();
  expectSentinels(doc);
  EXPECT_EQ(doc.lineCount(), 1);
  EXPECT_EQ(doc.backColor, kDefaultBackColor);
  EXPECT_EQ(doc.markSize, 4);
  EXPECT_FLOAT_EQ(doc.modelScale, 1.0f);
  EXPECT_FLOAT_EQ(doc.VextX, 0.0f);
  EXPECT_EQ(doc.workImages.image(1)->pixel(0, 0), kDefaultBackColor);
}

}  // namespace
}  // namespace tovala
