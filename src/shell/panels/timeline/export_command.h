#pragma once
// "アニメーション書出" (ファイル → 保存): the timeline's animation written as an animated GIF, an
// animated WebP or a sequence of PNG pictures, with or without a transparent background. The
// file is asked for first (a name ending in .png asks for a sequence NAME_0001.png ... in its
// folder; an existing folder, one named frame_0001.png ...), then the background; the frames
// are drawn on every core while a progress dialog shows how far it got and can stop it.

#include <optional>
#include <string>

#include "export/animation_export.h"

namespace tovala {

class TMyWindow;

// What a chosen path asks for: the format, the file or folder written, and the pictures' base
// name for a sequence. Nothing for a path of another kind.
std::optional<AnimationExportOptions> exportOptionsForPath(const std::string& path);

void exportAnimationCommand(TMyWindow& w);

}  // namespace tovala
