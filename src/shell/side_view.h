#pragma once
// The side view: while Z is held the figure is shown from the side by exchanging every point's
// x and depth, so the mouse tools that edit x edit depth instead.

namespace tovala {

class Document;

// on: x := half the canvas width + z, z := x. off: x := z, z := x - half the canvas width.
void exchangeSideView(Document& doc, bool on);

}  // namespace tovala
