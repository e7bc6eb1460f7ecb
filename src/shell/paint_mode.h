#pragma once
// Paint mode (editing mode 3): painting with the mouse into the picture of the selected image
// line, with the paint panel choosing brush and pen colour and its own undo ring of pictures.

#include <memory>

namespace tovala {

class ModeHandler;
class PaintPanel;
class TMyWindow;

// Sub-mode while painting.
inline constexpr int kSubModePaint = 200;

// "ペイント" (40023): paint mode on the selected image line; nothing on any other line.
void onPaintdlg(TMyWindow& w);
// The window's answer to the paint panel: the brush and pen colour go to the document.
void applyPaintPanel(TMyWindow& w, const PaintPanel& panel);
// The mouse in mode 3: a press stamps once, a drag paints from the previous point.
std::unique_ptr<ModeHandler> makePaintMode();

// Registers the mode, the command's operation and the hidden panel.
void installPaintMode(TMyWindow& w);

}  // namespace tovala
