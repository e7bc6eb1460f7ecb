#pragma once
// Every user command of the editor, once: its identifier (40001-40072, and from 40101 for the
// commands added since), the handler's name (also the label of the undo snapshot it takes), the
// handler, the rule that decides whether its menu item is enabled and checked (and why not), and
// for an added command its label, menu place and shortcut. Each part of the editor declares its
// own commands in its own file; menus, the context menu and panel buttons all dispatch through
// execute().

#include <map>
#include <vector>

namespace tovala {

class TMyWindow;

struct CommandState {
  bool enabled = true;
  bool checked = false;
  // Why a disabled command cannot run now, for its menu item's tooltip; nullptr when the rule
  // gives none.
  const char* reason = nullptr;
};

using CommandHandler = void (*)(TMyWindow&);
using CommandRule = CommandState (*)(TMyWindow&);

inline constexpr int kMenuTop = -1;  // MenuPlace::after: the first item of its popup

// Where a command shows itself in the main menu. The original commands stand in the menu tree
// (menus.cpp) exactly as they always have; a command added since declares its place with itself.
struct MenuPlace {
  const char* label = nullptr;  // nullptr: no menu item of its own
  const char* path = nullptr;   // "ファイル/保存": the top menu, then popups
  int after = 0;                // the item it follows there; 0: at the end, kMenuTop: first
  bool separatorBefore = false;
  const char* shortcut = nullptr;  // a key sequence the item answers to, e.g. "Ctrl+Shift+S"
};

struct Command {
  int id = 0;
  const char* name = "";  // handler name, e.g. "OnTovLineSel"; "" when it has none
  // nullptr while the panel or dialog the command opens is not part of the editor yet: the item
  // is then shown disabled.
  CommandHandler run = nullptr;
  CommandRule rule = nullptr;  // nullptr: always enabled, never checked
  bool checkable = false;
  // The handler checks the conditions of its rule itself and says why it refuses, so a panel
  // button runs it even while the menu item is disabled.
  bool explainsRefusal = false;
  MenuPlace menu = {};
};

inline constexpr int kFirstCommand = 40001;
inline constexpr int kLastCommand = 40072;
// Commands added beyond that table take identifiers of their own from 40101, so every original
// identifier keeps its meaning.
inline constexpr int kFirstAddedCommand = 40101;
inline constexpr int kLastAddedCommand = 40199;
inline constexpr int kCommandZoomIn = 40101;
inline constexpr int kCommandZoomOut = 40102;
inline constexpr int kCommandActualSize = 40103;
inline constexpr int kCommandFitToWindow = 40104;
inline constexpr int kCommandExportPng = 40105;
inline constexpr int kCommandManual = 40106;  // ヘルプ: the user manual
inline constexpr int kCommandPosePanel = 40107;   // 表示: the pose panel
inline constexpr int kCommandPoseMirror = 40108;  // 命令: the pose mirrored left to right
inline constexpr int kCommandTimeline = 40109;         // 表示: the timeline panel
inline constexpr int kCommandExportAnimation = 40110;  // ファイル: アニメーション書出
inline constexpr int kCommandSaveAs = 40115;           // ファイル → 保存: 名前を付けて保存

class CommandTable {
 public:
  // Adds or replaces the entry for `command.id`.
  void set(const Command& command);
  const Command* find(int id) const;
  // The state its menu item gets when a menu opens.
  CommandState state(TMyWindow& window, int id) const;
  // Runs the handler when the command exists and is enabled; returns whether it ran.
  bool execute(TMyWindow& window, int id) const;
  // What a panel button carrying `id` does: as execute(), but a handler that explains its
  // refusal runs whatever the rule says.
  bool press(TMyWindow& window, int id) const;
  std::vector<int> ids() const;

 private:
  std::map<int, Command> commands_;
};

// The groups of the table, one per menu; each adds its entries.
void addFileCommands(CommandTable& table);
void addEditCommands(CommandTable& table);
void addDrawLineCommands(CommandTable& table);
void addDrawPointCommands(CommandTable& table);
void addDrawFigureCommands(CommandTable& table);
void addViewCommands(CommandTable& table);
void addScriptAndHelpCommands(CommandTable& table);

// The whole table.
CommandTable buildCommandTable();

}  // namespace tovala
