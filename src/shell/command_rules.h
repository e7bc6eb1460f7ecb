#pragma once
// Small pieces the command groups share: the common enable rules, the edit wrapper that takes
// the snapshot and redraws, and the file dialog filters.

#include "platform/ui.h"
#include "shell/command_table.h"
#include "shell/main_window.h"

namespace tovala {

namespace filters {
inline constexpr const char* kProjectOpen = "TOVファイル|*.tov|すべてのファイル|*.*||";  // A
inline constexpr const char* kProjectSave = "TOVファイル|*.tov||";
inline constexpr const char* kProjectExt = "*.tov";
// Pictures are read by their content; the filters only sort the folder's files.
inline constexpr const char* kImage =  // B
    "画像ファイル|*.bmp;*.png;*.jpg;*.jpeg|BMPファイル|*.bmp|PNGファイル|*.png|"
    "JPEGファイル|*.jpg;*.jpeg|すべてのファイル|*.*||";
inline constexpr const char* kImageExt = "bmp";
inline constexpr const char* kBmp = "BMPファイル|*.bmp|すべてのファイル|*.*||";  // C
inline constexpr const char* kBmpExt = "*.bmp";
inline constexpr const char* kPng = "PNGファイル|*.png||";
inline constexpr const char* kPngExt = "*.png";
inline constexpr const char* kParts = "TOVパーツファイル|*.tovp||";  // D
inline constexpr const char* kPartsExt = "*.tovp";
inline constexpr const char* kFace = "TOVファイル|*.fmk|すべてのファイル|*.*||";  // E
inline constexpr const char* kFaceExt = "*.fmk";
}  // namespace filters

inline constexpr const char* kNoLineSelected = "線が選択されていません。";
inline constexpr const char* kNoLines = "線がありません。";

// Why a command is unavailable, shown as its menu item's tooltip.
inline constexpr const char* kInMotionReason =
    "動きモード中は使えません。「動きモード」を終えてから選んでください。";
inline constexpr const char* kNoLinesReason = "線がありません。";

inline CommandState enabledIf(bool on) { return {on, false}; }

inline CommandState unlessMotion(TMyWindow& w) {
  return w.motion() ? CommandState{false, false, kInMotionReason} : CommandState{};
}
// "disabled in motion or without lines"
inline CommandState linesNotMotion(TMyWindow& w) {
  if (w.motion()) return {false, false, kInMotionReason};
  if (!w.hasLines()) return {false, false, kNoLinesReason};
  return {};
}
// A panel toggle: usable once the panel exists, checked while it is shown.
inline CommandState panelToggle(TMyWindow& w, PanelId id) {
  return {w.panel(id) != nullptr, w.panelVisible(id)};
}

// A file dialog through the window's Ui; the chosen path, or nothing when cancelled.
std::optional<std::string> chooseFile(TMyWindow& w, bool save, const char* filter,
                                      const char* extension, const std::string& initial);

// Shows or hides a panel and refreshes it when shown.
void togglePanel(TMyWindow& w, PanelId id);

// Commands that edit the selected line: the edit under `name`, then the mode change with the
// current mode.
template <class Change>
void editSelected(TMyWindow& w, const char* name, Change change) {
  w.session().edit(name, change, Redraw::Selected);
  w.modeChange(w.doc().edit.mode, name);
}

}  // namespace tovala
