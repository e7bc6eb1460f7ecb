#pragma once
// Motion mode, where a finished figure is posed: the command that enters it (OnModeExe) with its
// refusals and the question about missing reference positions, the preparation run on entering,
// the move panel's messages, the initial-pose command "初期値", and the mouse handler that turns
// drags on joints into new motion values.

#include <memory>

namespace tovala {

class ModeHandler;
class TMyWindow;

inline constexpr const char* kScaledModelRefusal = "拡大または縮小しているときは行えません。";
inline constexpr const char* kNoValidLine = "有効な線が選択されていません。";
inline constexpr const char* kNoReferenceQuestion =
    "動作の基本位置が設定されていない点があります。現在の位置を設定しますか？";
inline constexpr const char* kNoReferenceNotice =
    "動作の基準位置が設定されていない点があります。\n"
    "「基準」または「全て基準」で基準点を設定してください。";

// Command 40031.
void onModeExe(TMyWindow& w);
// Command 40046, in any mode: back to the reference pose at scale 1.
void initialPose(TMyWindow& w);

// The handler of editing mode 5 (modes/motion_mode.cpp).
std::unique_ptr<ModeHandler> makeMotionMode();

// Binds the two commands, the mode handler, the preparation and the move panel to the window.
void installMotionMode(TMyWindow& w);

}  // namespace tovala
