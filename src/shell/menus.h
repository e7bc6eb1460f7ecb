#pragma once
// The main menu "mainmenu" and the canvas context menu (resource 111), built from one
// declarative tree each. Items carry command identifiers; their state comes from the command
// table's rules every time a menu is about to show.

#include <functional>
#include <vector>

class QMenu;
class QMenuBar;
class QAction;

namespace tovala {

class CommandTable;

struct MenuNode {
  const char* text = nullptr;  // nullptr: a separator
  int id = 0;                  // 0 for a popup
  std::vector<MenuNode> children;
  bool initiallyChecked = false;
  bool initiallyGrayed = false;
  const char* shortcut = nullptr;  // a key sequence ("Ctrl+Shift+S") the item answers to
};

const std::vector<MenuNode>& mainMenuTree();
const std::vector<MenuNode>& contextMenuTree();

// Called for every command action of a menu that is about to show.
using StateUpdater = std::function<void(QAction* action, int id)>;
using Trigger = std::function<void(int id)>;

// Fills `bar` (or `menu`) from a tree. Each QAction gets the command identifier as its data;
// triggering it calls `trigger`, and every popup runs `update` over its own actions before it
// opens.
void buildMenuBar(QMenuBar* bar, const std::vector<MenuNode>& tree, const Trigger& trigger,
                  const StateUpdater& update);
void buildMenu(QMenu* menu, const std::vector<MenuNode>& tree, const Trigger& trigger,
               const StateUpdater& update);

// Adds the items of the commands that declare their own place (Command::menu), each at its path
// after the item it names; a popup missing from the bar is added at its end.
void placeDeclaredCommands(QMenuBar* bar, const CommandTable& table, const Trigger& trigger,
                           const StateUpdater& update);

// Every command action below a menu bar or menu, depth first.
std::vector<QAction*> commandActions(const QMenuBar* bar);
std::vector<QAction*> commandActions(const QMenu* menu);

}  // namespace tovala
