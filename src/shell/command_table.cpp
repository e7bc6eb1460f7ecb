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
  return table;
}

}  // namespace tovala
