#pragma once
// Draws single characters for text lines. The core hands over the Shift-JIS bytes of one
// character and the 60-byte LOGFONTA the user chose; a front end renders it with real fonts.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tovala {

using LogFont = std::array<uint8_t, 60>;

// A character rendered as a coverage mask: `alpha[y * width + x]` is 0..255, top-down rows.
// Pixel (0, 0) is the top-left of the character cell, which text output places at the given
// position; `advance` is how far the next character of a string starts to the right.
struct GlyphMask {
  int width = 0;
  int height = 0;
  int advance = 0;
  std::vector<uint8_t> alpha;
};

class TextPainter {
 public:
  virtual ~TextPainter() = default;
  // Renders one character (one or two Shift-JIS bytes). Returns an empty mask when the
  // character cannot be drawn.
  virtual GlyphMask renderGlyph(std::span<const uint8_t> sjisChar, const LogFont& font) = 0;
};

}  // namespace tovala
