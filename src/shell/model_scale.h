#pragma once
// The commands that scale or place the whole figure ("基本長", "伸縮指定", "一時拡大", "原点")
// and the point display switch. The scale arithmetic is kept in small functions of its own so
// the cycle and the accepted range can be checked without a window.

#include <string_view>

namespace tovala {

class TMyWindow;

// The temporary enlargement cycle: below 2 -> 2, from 2 up to 4 -> 4, 4 or more -> 1.
float nextEnlargement(float scale);
// Whether a model scale may be taken (0.01 .. 100).
bool acceptableScale(float scale);
// The number typed into "伸縮指定", read as the C library reads it: the leading number, 0 when
// there is none (so an empty or mistyped answer is refused by the range check).
float parseScale(std::string_view text);
// The point display style after `style`: 0 .. 6, then 0 again.
int nextPointStyle(int style);

// Changes the model scale to `scale` as one undo step: the whole-model movement and every point
// follow the factor about the view origin; then redraw. False, with nothing changed and no step,
// in motion mode, without lines, or for a scale outside 0.01 .. 100.
bool changeModelScale(TMyWindow& w, float scale);

void scaleBackCommand(TMyWindow& w);     // "基本長"
void scaleByInputCommand(TMyWindow& w);  // "伸縮指定"
void enlargeCommand(TMyWindow& w);       // "一時拡大"
void originCommand(TMyWindow& w);        // "原点", one undo step
// The figure back to scale 1 and onto its reference, without an undo step of its own (for
// callers that took theirs).
void moveFigureToOrigin(TMyWindow& w);
void pointStyleCommand(TMyWindow& w);  // "点表示切替"

}  // namespace tovala
