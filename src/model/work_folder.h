#pragma once
// Where the editor keeps its work files (undo snapshots and the script editor's per-line files,
// in a folder "temp"). Started from a shell in a project folder, that folder is the work root,
// so the files sit next to the project as they always have. Started from the desktop, the
// current folder is the home folder (or the root): creating "temp" there would put the editor's
// files, and the work-file command's deletions, into the user's own folders, so the per-user
// data folder is used instead.

#include <filesystem>
#include <string>
#include <string_view>

namespace tovala {

// `home` and `dataHome` are the values of HOME and XDG_DATA_HOME (empty when unset).
std::filesystem::path workRootFor(const std::filesystem::path& start, const std::string& home,
                                  const std::string& dataHome);
// The same for this process, from its current folder and environment.
std::filesystem::path workRootHere();

// The names the editor gives its own work files: "<line>-<point>.txt" of the script editor.
bool isScriptWorkFileName(std::string_view name);

}  // namespace tovala
