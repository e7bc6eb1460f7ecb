#pragma once
// What the main window shows around its canvas besides the menus and docks: the toolbar of
// everyday commands, the command that puts the default layout back, and the debugging items
// of ヘルプ, shown only when the editor was started with --debug.

#include <vector>

class QToolBar;

namespace tovala {

class TMyWindow;

inline constexpr int kCommandResetLayout = 40150;  // 表示: レイアウトを初期化

// The toolbar's commands, in order; 0 is a separator.
const std::vector<int>& toolbarCommands();

// Declares the window's own commands (レイアウトを初期化); called before the menus are built.
void addWindowCommands(TMyWindow& w);
// The toolbar, built from the command table once the menus exist: each button shows the
// desktop theme's icon (or the editor's own), says its command and shortcut in its tooltip and
// follows the command's rule.
QToolBar* installToolbar(TMyWindow& w);
// Shows or hides 線の確認(ErrLine.txt) and 試験実行(PaintObj), which do nothing for a user.
void showDebugCommands(TMyWindow& w, bool shown);

}  // namespace tovala
