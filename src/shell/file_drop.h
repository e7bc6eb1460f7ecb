#pragma once
// Files dropped on the window, as on every desktop: a project (.tov) is opened (unsaved changes
// are offered for saving first), a parts file (.tovp) is merged into the document, a picture
// (.bmp, .png, .jpg, .jpeg) becomes the underlay. Only the first file of a drop is taken; a
// drag of anything else is not accepted.

#include <string>

namespace tovala {

class TMyWindow;

enum class DroppedKind { None, Project, Parts, Picture };

// What a dropped file is, by its extension.
DroppedKind droppedKind(const std::string& path);

// Does what dropping `path` does; false when nothing was done (refused, cancelled, unreadable).
bool dropFile(TMyWindow& w, const std::string& path);

// What 部分読込 and 背景画像を読込む do with a chosen file, a dropped one too: the parts
// merged into the document, or the picture laid behind the figure as the underlay. False when
// the file was not read (its reader has told the user).
bool mergePartsFile(TMyWindow& w, const std::string& path);
bool layUnderlay(TMyWindow& w, const std::string& path);

// The window accepts drops from now on.
void installFileDrop(TMyWindow& w);

}  // namespace tovala
