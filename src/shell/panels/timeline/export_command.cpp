#include "shell/panels/timeline/export_command.h"

#include <filesystem>

#include "shell/panels/export/export_dialog.h"

namespace tovala {

std::optional<AnimationExportOptions> exportOptionsForPath(const std::string& path) {
  AnimationExportOptions options;
  const ExportFormatInfo* format = formatForOutput(path, true);
  if (!format) return std::nullopt;
  options.format = format->format;
  options.path = path;
  const std::filesystem::path p(path);
  if (format->sequence && p.has_extension()) {
    // "walk.png" stands for walk_0001.png, walk_0002.png ... beside it.
    options.path = p.has_parent_path() ? p.parent_path().string() : std::string(".");
    options.baseName = p.stem().string();
  }
  return options;
}

void exportAnimationCommand(TMyWindow& w) { openExportDialog(w, ExportFormat::Gif, true); }

}  // namespace tovala
