#pragma once
// Every user command of the editor, once: its identifier (40001-40072, and from 40101 for the
// commands added since), the handler's name (also the label of the undo snapshot it takes), the
// handler, and the rule that decides whether its menu item is enabled and checked. Menus, the
// context menu and panel buttons all dispatch through execute().

#include <map>
#include <vector>

namespace tovala {

class TMyWindow;

struct CommandState {
  bool enabled = true;
  bool checked = false;
};

using CommandHandler = void (*)(TMyWindow&);
using CommandRule = CommandState (*)(TMyWindow&);

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
