#include "shell/paint_mode.h"

#include "engine/edit_modes.h"
#include "model/brush_kernel.h"
#include "shell/main_window.h"
#include "shell/modes/mode_handler.h"
#include "shell/panels/paint/paint_panel.h"

namespace tovala {

namespace {

constexpr int kPaintCommand = 40023;
constexpr int kImageKind = 2;

bool imageLineSelected(TMyWindow& w) {
  return w.lineSelected() && w.doc().lines[size_t(w.doc().curLine)].kind == kImageKind;
}

}  // namespace

void onPaintdlg(TMyWindow& w) {
  if (!imageLineSelected(w)) return;
  Document& d = w.doc();
  const int previous = d.edit.mode;
  d.edit.mode = kModePaint;
  d.edit.subMode = kSubModePaint;
  // Drawn again in mode 3, the line leaves the mask that keeps paint inside its shape.
  w.refreshSelected();
  w.showPanel(PanelId::Paint, true);
  w.session().paintRing().start(d, d.curLine);
  w.modeChange(previous, "OnPaintdlg");
}

void applyPaintPanel(TMyWindow& w, const PaintPanel& panel) {
  if (panel.action < 0) return;  // the start-up notification
  Document& d = w.doc();
  const PaintBrush& b = panel.brush();
  d.userImages.kernel = buildKernel(float(int(b.w)), float(int(b.h)), b.a, b.k);
  d.penColor = penColourOf(panel.red(), panel.green(), panel.blue());
}

void installPaintMode(TMyWindow& w) {
  w.modes().add(kModePaint, makePaintMode());
  CommandTable& table = w.commands();
  Command c = table.find(kPaintCommand) ? *table.find(kPaintCommand) : Command{kPaintCommand};
  c.run = onPaintdlg;
  table.set(c);

  auto* panel = new PaintPanel(&w);
  w.setPanelHandler(PanelMessage::Paint,
                    [&w](Panel& p) { applyPaintPanel(w, static_cast<PaintPanel&>(p)); });
  w.installPanel(panel, false);
  panel->notifyWindow(PaintPanel::kInitial);
}

}  // namespace tovala
