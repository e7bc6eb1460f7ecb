#include "shell/command_table.h"

namespace tovala {

void CommandTable::set(const Command& command) { commands_[command.id] = command; }

const Command* CommandTable::find(int id) const {
  auto it = commands_.find(id);
  return it == commands_.end() ? nullptr : &it->second;
}

CommandState CommandTable::state(TMyWindow& window, int id) const {
  const Command* c = find(id);
  if (!c) return {false, false};
  // The rule runs even for a command still waiting for its panel: some rules also tidy up
  // (the paint rule hides the paint panel).
  CommandState s = c->rule ? c->rule(window) : CommandState{};
  if (!c->run) s.enabled = false;
  return s;
}

bool CommandTable::execute(TMyWindow& window, int id) const {
  const Command* c = find(id);
  if (!c || !c->run || !state(window, id).enabled) return false;
  c->run(window);
  return true;
}

bool CommandTable::press(TMyWindow& window, int id) const {
  const Command* c = find(id);
  if (c && c->run && c->explainsRefusal) {
    c->run(window);
    return true;
  }
  return execute(window, id);
}

std::vector<int> CommandTable::ids() const {
  std::vector<int> out;
  for (const auto& [id, c] : commands_) out.push_back(id);
  return out;
}

CommandTable buildCommandTable() {
  CommandTable table;
  addFileCommands(table);
  addEditCommands(table);
  addDrawLineCommands(table);
  addDrawPointCommands(table);
  addDrawFigureCommands(table);
  addViewCommands(table);
  addScriptAndHelpCommands(table);
  // "命令文" and "動きモード" tell the user why they refuse (no line selected, a scaled model);
  // the control panel's buttons reach those messages.
  for (int id : {40029, 40031}) {
    if (const Command* found = table.find(id)) {
      Command c = *found;
      c.explainsRefusal = true;
      table.set(c);
    }
  }
  return table;
}

}  // namespace tovala
