// The main window's side of the control panel: its answer to message 0x401 and the panel's
// place beside the canvas.

#include "model/brush_kernel.h"
#include "shell/main_window.h"
#include "shell/panels/control/control_panel.h"

namespace tovala {

namespace {

constexpr const char* kSnapshotReason = "GetTovalaDlg";
constexpr int kBesideCanvas = 800;  // the panel starts this far right of the window

void onControlMessage(TMyWindow& w, ControlPanel& panel) {
  Document& d = w.doc();
  ControlValues& v = panel.values();
  bool changed = false;
  switch (panel.action) {
    case kControlReadBack: panel.showDocument(); return;
    case kControlPerLine:
      d.perLine = v.perLine;
      // Back to each line's own brush: the panel shows the selected line's values first, so
      // applying them changes nothing.
      if (d.perLine == 1) panel.showDocument();
      changed = applyControlValues(d, v, w.ui(), nullptr);
      d.workImages.kernel = buildKernel(d.defBrush[0], d.defBrush[1], d.defBrush[2], d.defBrush[3]);
      break;
    default:
      changed = applyControlValues(d, v, w.ui(), [&w] { w.session().snapshot(kSnapshotReason); });
      break;
  }
  // The apply may have corrected fields (kind, line shape); show what was stored.
  panel.showValues();
  // The snapshot, when one was due, was taken inside the apply, after its checks.
  if (changed)
    w.session().changed(Redraw::All);
  else
    w.session().rebuild();
}

}  // namespace

void installControlPanel(TMyWindow& w) {
  auto* panel = new ControlPanel(w.doc(), &w);
  QObject::connect(panel, &ControlPanel::command, &w, [&w](int id) { w.commands().press(w, id); });
  w.setPanelHandler(PanelMessage::Control,
                    [&w](Panel& p) { onControlMessage(w, static_cast<ControlPanel&>(p)); });
  panel->move(w.pos() + QPoint(kBesideCanvas, 0));
  w.installPanel(panel, true);
  panel->initialise();
  // The panel shows the selection as every edit, undo and redo leaves it.
  QObject::connect(&w.session(), &DocumentSession::edited, panel, &ControlPanel::refresh);
  QObject::connect(&w.session(), &DocumentSession::documentReplaced, panel, &ControlPanel::refresh);
}

}  // namespace tovala
