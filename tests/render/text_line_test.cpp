// Text lines: characters on the points through the TextPainter, lead bytes, the shadow.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/text_painter.h"
#include "render/frame.h"
#include "render/text_line.h"
#include "render_fixtures.h"

namespace tovala {
namespace {

using test::addLine;
using test::smallDocument;

// Draws every character as a solid block 3 wide and 2 high with an advance of 4, and
// remembers the bytes it was given.
class BlockPainter : public TextPainter {
 public:
  GlyphMask renderGlyph(std::span<const uint8_t> sjis, const LogFont&) override {
    calls.emplace_back(sjis.begin(), sjis.end());
    return {3, 2, 4, std::vector<uint8_t>(6, 255)};
  }
  std::vector<std::vector<uint8_t>> calls;
};

TextRecord textFor(int32_t key, std::vector<uint8_t> bytes, int32_t colour) {
  TextRecord t;
  t.key = key;
  t.length = int32_t(bytes.size());
  t.color = colour;
  std::memcpy(t.text.data(), bytes.data(), bytes.size());
  return t;
}

TEST(TextLine, OneCharacterPerPointLeadBytesTakeTwo) {
  auto doc = smallDocument();
  BlockPainter painter;
  doc->textPainter = &painter;
  const int line = addLine(*doc, {{5.7f, 4}, {20, 10}, {40, 30}}, 3);
  // "あいう" in Shift-JIS: three two-byte characters.
  doc->storeText(
      textFor(doc->lines[size_t(line)].nam, {0x82, 0xA0, 0x82, 0xA2, 0x82, 0xA4}, 0x0000FF));
  const PixelRect touched = drawTextLine(*doc, line, kFrontLayer);
  ASSERT_EQ(painter.calls.size(), 3u);
  EXPECT_EQ(painter.calls[2], (std::vector<uint8_t>{0x82, 0xA4}));
  const ImageSlot& img = *doc->workImages.image(kFrontLayer);
  // Each character's cell starts at its point, truncated; the line's own position is not used.
  EXPECT_EQ(img.pixel(5, 4), 0x0000FFu);
  EXPECT_EQ(img.pixel(7, 5), 0x0000FFu);
  EXPECT_EQ(img.pixel(8, 5), kDefaultBackColor);
  EXPECT_EQ(img.pixel(40, 30), 0x0000FFu);
  EXPECT_EQ(touched, (PixelRect{5, 4, 43, 32}));

  // Two points: the first two characters. Single bytes and a lone lead byte at the end.
  painter.calls.clear();
  const int two = addLine(*doc, {{1, 1}, {9, 9}}, 3);
  doc->storeText(textFor(doc->lines[size_t(two)].nam, {0x82, 0xA0, 0x82, 0xA2, 0x82, 0xA4}, 0));
  drawTextLine(*doc, two, kFrontLayer);
  EXPECT_EQ(painter.calls.size(), 2u);
  painter.calls.clear();
  const int mixed = addLine(*doc, {{1, 1}, {9, 9}, {20, 20}, {30, 30}}, 3);
  doc->storeText(textFor(doc->lines[size_t(mixed)].nam, {'A', 0x82, 0xA0, 0x82}, 0));
  drawTextLine(*doc, mixed, kFrontLayer);
  ASSERT_EQ(painter.calls.size(), 3u);
  EXPECT_EQ(painter.calls[0], (std::vector<uint8_t>{'A'}));
  EXPECT_EQ(painter.calls[1], (std::vector<uint8_t>{0x82, 0xA0}));
  EXPECT_EQ(painter.calls[2], (std::vector<uint8_t>{0x82}));
}

TEST(TextLine, WithoutRecordOrPainterOnlyTheStroke) {
  auto doc = smallDocument();
  BlockPainter painter;
  const int line = addLine(*doc, {{5, 5}, {30, 20}}, 3);
  // As the line of the frame: the stroke is drawn, no character.
  doc->textPainter = &painter;
  doc->curLine = line + 1;
  rebuildLayers(*doc);
  EXPECT_TRUE(painter.calls.empty());
  EXPECT_NE(doc->workImages.image(kBackLayer)->pixel(15, 12), kDefaultBackColor);
  // With a record but no painter nothing more is drawn either.
  doc->storeText(textFor(doc->lines[size_t(line)].nam, {'A', 'B'}, 0xFF));
  doc->textPainter = nullptr;
  EXPECT_TRUE(drawTextLine(*doc, line, kFrontLayer).empty());
}

TEST(TextLine, ShadowFirstInBlackOnePixelAcrossAndDown) {
  auto doc = smallDocument();
  BlockPainter painter;
  ImageSlot& img = *doc->workImages.image(kFrontLayer);
  const uint8_t ab[] = {'A', 'B'};
  LogFont font{};
  drawText(img, painter, 10, 10, ab, font, 0x00FF00, true);
  EXPECT_EQ(painter.calls.size(), 4u);
  EXPECT_EQ(img.pixel(10, 10), 0x00FF00u);
  EXPECT_EQ(img.pixel(13, 12), 0x000000u);  // shadow of the first block's corner
  EXPECT_EQ(img.pixel(14, 11), 0x00FF00u);  // the second character, 4 to the right
  EXPECT_EQ(img.pixel(17, 12), 0x000000u);
}

}  // namespace
}  // namespace tovala
