// The "命令" and "ヘルプ" menus, and the shared helpers of the command groups.

#include "shell/command_rules.h"
#include "shell/manual_window.h"
#include "shell/panels/script/line_program_dialog.h"
#include "shell/panels/script/param_dialog.h"
#include "shell/panels/script/script_panel.h"

namespace tovala {

std::optional<std::string> chooseFile(TMyWindow& w, bool save, const char* filter,
                                      const char* extension, const std::string& initial) {
  FileRequest request;
  request.save = save;
  request.filter = filter;
  request.defaultExtension = extension;
  request.initialName = initial;
  return w.ui().chooseFile(request);
}

void togglePanel(TMyWindow& w, PanelId id) {
  const bool show = !w.panelVisible(id);
  w.showPanel(id, show);
  if (show) w.refreshPanel(id);
}

namespace {
constexpr const char* kVersion = "トヴァラ Ver 0.53β\n\n現在開発中";
}

void addScriptAndHelpCommands(CommandTable& t) {
  // The script editor, motion mode, the line program and parameter dialogs come with their
  // panels.
  t.set({40029, "", openScriptPanel, [](TMyWindow& w) { return enabledIf(w.lineSelected()); }});
  t.set({40031, "OnModeExe", nullptr, [](TMyWindow& w) {
           return enabledIf(w.hasLines() && w.doc().modelScale == 1.0f);
         }});
  t.set({40028, "", openLineProgramDialog, nullptr});
  t.set({40047, "OnTovparamdlg", openParamDialog, nullptr});
  t.set({40065, "", [](TMyWindow& w) { w.ui().message(kVersion, "バージョン"); }, nullptr});
  t.set({kCommandManual, "", [](TMyWindow& w) { showManual(&w); }, nullptr, false, false,
         {"マニュアル", "ヘルプ", kMenuTop}});
  // Listed in the help menu without an operation.
  t.set({40027, "", nullptr, [](TMyWindow&) { return CommandState{false, false}; }});
  t.set({40048, "", nullptr, [](TMyWindow&) { return CommandState{false, false}; }});
}

}  // namespace tovala
