#pragma once
// "アニメーション書出" (ファイル → 保存): the export dialog (panels/export) with an animated GIF
// chosen, and what a chosen path asks of an animation export.

#include <optional>
#include <string>

#include "export/animation_export.h"

namespace tovala {

class TMyWindow;

// What a chosen path asks for: the format, the file or folder written, and the pictures' base
// name for a sequence (a name ending in .png stands for NAME_0001.png ... in its folder).
// Nothing for a path of another kind.
std::optional<AnimationExportOptions> exportOptionsForPath(const std::string& path);

void exportAnimationCommand(TMyWindow& w);

}  // namespace tovala
