#include "render/text_line.h"

#include <algorithm>

#include "model/document.h"
#include "platform/encoding.h"

namespace tovala {

namespace {

// The length in bytes of the character starting at `at` of a text of `length` bytes.
size_t charLength(std::span<const uint8_t> text, size_t at) {
  return isSjisLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
}

PixelRect blendGlyph(ImageSlot& image, const GlyphMask& glyph, int x, int y, uint32_t colour) {
  const int w = glyph.width, h = glyph.height;
  if (w <= 0 || h <= 0 || glyph.alpha.size() < size_t(w) * size_t(h)) return {};
  const PixelRect area =
      PixelRect{x, y, x + w, y + h}.intersected(PixelRect::ofSize(image.width, image.height));
  const uint32_t c[3] = {(colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF};
  for (int row = area.top; row < area.bottom; ++row) {
    const uint8_t* a = glyph.alpha.data() + size_t(row - y) * size_t(w) + size_t(area.left - x);
    uint8_t* p = image.row(row) + 3 * area.left;
    for (int col = area.left; col < area.right; ++col, ++a, p += 3) {
      const uint32_t cover = *a;
      if (cover == 0) continue;
      for (int b = 0; b < 3; ++b) p[b] = uint8_t((cover * c[b] + (255 - cover) * p[b] + 127) / 255);
    }
  }
  return area;
}

PixelRect writeString(ImageSlot& image, TextPainter& painter, int x, int y,
                      std::span<const uint8_t> sjis, const LogFont& font, uint32_t colour) {
  PixelRect touched;
  for (size_t at = 0; at < sjis.size();) {
    const size_t n = charLength(sjis, at);
    const GlyphMask glyph = painter.renderGlyph(sjis.subspan(at, n), font);
    touched = touched.united(blendGlyph(image, glyph, x, y, colour));
    x += glyph.advance;
    at += n;
  }
  return touched;
}

}  // namespace

PixelRect drawText(ImageSlot& image, TextPainter& painter, int x, int y,
                   std::span<const uint8_t> sjis, const LogFont& font, uint32_t colour,
                   bool shadow) {
  if (!image.present) return {};
  PixelRect touched;
  if (shadow) touched = writeString(image, painter, x + 1, y + 1, sjis, font, 0x000000);
  return touched.united(writeString(image, painter, x, y, sjis, font, colour));
}

PixelRect drawTextLine(Document& doc, int lineIndex, int layerSlot) {
  return drawTextLine(doc, lineIndex, doc.workImages.image(layerSlot));
}

PixelRect drawTextLine(Document& doc, int lineIndex, ImageSlot* layer) {
  if (!doc.isValidLine(lineIndex) || !doc.textPainter) return {};
  const LineRecord& line = doc.lines[size_t(lineIndex)];
  const int record = doc.findText(line.nam);
  if (line.sel == 0 || !layer || record < 0 || record >= doc.textCount() - 1) return {};
  const TextRecord& text = doc.texts[size_t(record)];
  const std::span<const uint8_t> bytes(text.text.data(),
                                       size_t(std::clamp(text.length, 0, kTextBytes)));
  const int chars = std::min<int>(int(bytes.size()), line.pointCount() - 1);
  PixelRect touched;
  size_t at = 0;
  for (int k = 0; k < chars && at < bytes.size(); ++k) {
    const size_t n = charLength(bytes, at);
    const PointRecord& p = line.points[size_t(k)];
    touched =
        touched.united(drawText(*layer, *doc.textPainter, toPixel(p.vx), toPixel(p.vy),
                                bytes.subspan(at, n), text.font, uint32_t(text.color), false));
    at += n;
  }
  return touched;
}

}  // namespace tovala
