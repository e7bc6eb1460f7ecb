#pragma once
// Text lines (kind 3): after their stroke, one character of the line's text stands on each point.
// Characters come from the front end's TextPainter as coverage masks and are blended in here.

#include <cstdint>
#include <span>

#include "model/image_store.h"
#include "platform/text_painter.h"
#include "render/pixel_rect.h"

namespace tovala {

class Document;

// Writes a Shift-JIS string with its cell's top-left at (x, y), character after character, with
// a transparent background. With `shadow` the string is first written in black one pixel right
// and down. Returns the pixels it may have changed.
PixelRect drawText(ImageSlot& image, TextPainter& painter, int x, int y,
                   std::span<const uint8_t> sjis, const LogFont& font, uint32_t colour,
                   bool shadow);

// The characters of text line `line` on its points, into work image `layer`: character k at
// point k's own position (the line's scale and position are not applied), as many characters as
// the text has or the line has points. Nothing without a text record or a TextPainter.
PixelRect drawTextLine(Document& doc, int line, int layer);
PixelRect drawTextLine(Document& doc, int line, ImageSlot* layer);

}  // namespace tovala
