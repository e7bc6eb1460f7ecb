#pragma once
// Paint mode: painting with the mouse into the picture of the selected image line, only inside
// its shape, then showing the result at once.

namespace tovala {

class Document;

// One paint step on the selected image line: (x0, y0) is the previous canvas position, (x1, y1)
// the current one. A click (drag false) stamps once at the current position; a drag stamps a
// line from the previous position. The paint kernel of the user image store is blended in the
// pen colour into the line's picture wherever the mask left by the last drawing of the line
// (paint mode, drawFilledLine) holds the fill colour. Then the line is laid onto the selected
// layer again and the frame is composed.
void paintOnImageLine(Document& doc, int x0, int y0, int x1, int y1, bool drag);

}  // namespace tovala
