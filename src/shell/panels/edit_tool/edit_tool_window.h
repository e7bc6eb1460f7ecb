#pragma once
// The window's side of the edit tool: the state it keeps for an open edit, the handler of the
// tool's messages (start, decide with or without storing, point display), and the temporary
// modes the tool's interactions run in.

#include <memory>

#include "shell/modes/mode_handler.h"

namespace tovala {

class TMyWindow;
class EditToolPanel;

inline constexpr const char* kEditToolUndoLabel = "OnTovEditTool";
inline constexpr const char* kConfirmEdit = "現在の状態で確定します。";
inline constexpr const char* kNoCorrectionSet = "補正の番号は1から4です。";

// Creates the tool hidden, registers its handler and its temporary modes.
void installEditTool(TMyWindow& w);

// Temporary modes 12 (pick a point), 13 (pick a joint's axis tip) and 14 (toggle the flags of
// joint-line points inside a dragged rectangle; the mode stays until the edit ends).
std::unique_ptr<TempModeHandler> makePointPickTempMode();
std::unique_ptr<TempModeHandler> makeAxisPickTempMode();
std::unique_ptr<TempModeHandler> makeCoRotationTempMode();
// Temporary mode 15: a press picks a joint point, then an anchor of its stored hit guide (the
// first press of an edit only starts the pick at line 0, point 0).
std::unique_ptr<TempModeHandler> makeHitPointTempMode();
// Temporary mode 19: presses pick a start and an end point by turns.
std::unique_ptr<TempModeHandler> makeTwoPointTempMode();

}  // namespace tovala
