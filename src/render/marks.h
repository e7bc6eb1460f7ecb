#pragma once
// Marks drawn over the picture: squares around points and one-pixel lines, painted in plain
// colours (not blended). Positions are canvas pixels; everything clips to the image.

#include <cstdint>

#include "model/image_store.h"
#include "render/pixel_rect.h"

namespace tovala {

class Document;

inline constexpr uint32_t kMarkRed = 0x0000FF;
inline constexpr uint32_t kMarkBlue = 0xFF0000;
inline constexpr uint32_t kMarkGreen = 0x00FF00;
inline constexpr uint32_t kMarkGrey = 0x7D7D7D;

// The square from (x - half, y - half) to (x + half, y + half), both corners included: its
// border `pen` pixels wide (inside the square), or filled. Only pixels inside `clip` change.
void markSquare(ImageSlot& image, int x, int y, int half, uint32_t colour, bool filled,
                const PixelRect& clip = kAnywhere, int pen = 1);
// The border of the rectangle with half-width `halfW` and half-height `halfH` around (x, y).
void markFrame(ImageSlot& image, int x, int y, int halfW, int halfH, uint32_t colour,
               const PixelRect& clip = kAnywhere, int pen = 1);

// The point marks' half-size in canvas pixels: the document's markSize, and while the canvas
// is shown (viewZoom above 0) never less than kMarkScreenHalf window pixels, so a zoomed-out
// view still shows every point.
inline constexpr double kMarkScreenHalf = 4.0;
int markHalf(const Document& doc);
// The marks' border width in canvas pixels: at least one device pixel on the screen (window
// pixels times the device pixel ratio), so zooming out never drops a frame's edge.
int markPen(const Document& doc);
// A one-pixel line, both ends included.
void markLine(ImageSlot& image, int x0, int y0, int x1, int y1, uint32_t colour);

// A whole number (minus sign and digits) in a 3 x 5 pixel digit font, its top left corner at
// (left, top), on a patch of `backdrop` one pixel wider all round so it reads over any picture.
void markNumber(ImageSlot& image, int left, int top, int value, uint32_t colour, uint32_t backdrop);

// The point display styles the document's pointStyle chooses ("点表示切替" steps through them);
// a value outside 0 .. 6 draws as kPointSquares.
enum PointStyle : int {
  kPointSquares = 0,   // a red frame around each point, the selected point filled
  kPointNumbers = 1,   // the squares and each point's index beside it
  kPointDots = 2,      // a small dot for each point, the selected point a full square
  kPointPolygon = 3,   // the squares joined by one-pixel lines in point order
  kPointJoints = 4,    // only the joint points (batch joints blue) and the selected point
  kPointAllLines = 5,  // the squares, and grey frames on the points of every other shown line
  kPointNone = 6,      // no point marks
};
inline constexpr int kPointStyleCount = 7;

// The selected line's marks in the document's point style. In every style but kPointNone, in
// editing mode 0, a grey frame shows the brush of a tapered line's selected point. Nothing is
// drawn for the selected line when its sel is not 1.
void drawSelectedLineMarks(Document& doc, int slot);
// Motion mode's joint marks: blue squares on batch joint points, red on joint points, filled for
// the selected point.
void drawJointMarks(Document& doc, int slot);
// The point marks of lines first .. last (those whose sel is not 0): a blue frame for a point
// whose sel is 1, red otherwise, and the point (line, point) filled in `highlight`.
void drawPointMarks(Document& doc, int slot, int first, int last, int line, int point,
                    uint32_t highlight = kMarkGreen);

}  // namespace tovala
