// The "表示" menu: showing and hiding the panels, and the underlay.

#include "shell/canvas_widget.h"
#include "shell/command_rules.h"

namespace tovala {

namespace {

bool selectedImageLine(TMyWindow& w) {
  return w.lineSelected() && w.doc().lines[size_t(w.doc().curLine)].kind == 2;
}

// Also tidies up: the paint panel has nothing to paint on unless an image line is selected.
CommandState paintRule(TMyWindow& w) {
  if (selectedImageLine(w)) return {true, w.panelVisible(PanelId::Paint)};
  w.showPanel(PanelId::Paint, false);
  return {false, false};
}

void toggleUnderlay(TMyWindow& w) {
  int& show = w.doc().showUnderlay;
  show = show == 0 ? 1 : 0;
  w.compose();
}

CommandState underlayRule(TMyWindow& w) {
  const int show = w.doc().showUnderlay;
  return {true, (show == 0 || show == 1) && show == 1};
}

// The panels that are shown only with lines and outside motion mode.
template <PanelId Id>
void toggleWithLines(TMyWindow& w) {
  if (w.motion() || !w.hasLines()) return;
  togglePanel(w, Id);
}
template <PanelId Id>
CommandState withLinesRule(TMyWindow& w) {
  if (w.motion() || !w.hasLines()) return {false, false};
  return panelToggle(w, Id);
}

// The dialog that sets up how the selected line moves: the joint panel for a joint line, the
// connecting-line or decorative-line panel for those lines. The mode change hides all three, so
// whether the command shows or hides is decided by what was shown before it.
void toggleMotionDialog(TMyWindow& w) {
  if (w.motion() || !w.pointSelected()) return;
  const LineRecord& line = w.doc().lines[size_t(w.doc().curLine)];
  PanelId id = PanelId::Count;
  if (line.kind == kJointLineKind)
    id = PanelId::Joint;
  else if (line.mode == 100)
    id = PanelId::CLine;
  else if (line.mode == 101)
    id = PanelId::OLine;
  const bool wasShown = id != PanelId::Count && w.panelVisible(id);
  w.setMode(kModeSelect, "");
  if (id == PanelId::Count || wasShown) return;
  w.showPanel(id, true);
  w.refreshPanel(id);
}

// The menu's zoom steps keep the middle of the view in place: the mouse is on the menu.
void zoomInAtCentre(TMyWindow& w) { w.canvas()->zoomStep(true, w.canvas()->viewportCentre()); }
void zoomOutAtCentre(TMyWindow& w) { w.canvas()->zoomStep(false, w.canvas()->viewportCentre()); }
void actualSize(TMyWindow& w) { w.canvas()->zoomAbout(1.0f, w.canvas()->viewportCentre()); }
void fitToWindow(TMyWindow& w) { w.canvas()->fitToWindow(); }

CommandState canZoomIn(TMyWindow& w) { return {w.view().zoom < ViewState::kMaxZoom, false}; }
CommandState canZoomOut(TMyWindow& w) { return {w.view().zoom > ViewState::kMinZoom, false}; }

}  // namespace

void addViewCommands(CommandTable& t) {
  t.set({40016, "OnTovaladlg", [](TMyWindow& w) { togglePanel(w, PanelId::Control); },
         [](TMyWindow& w) { return panelToggle(w, PanelId::Control); }, true});
  t.set({40024, "", [](TMyWindow& w) { togglePanel(w, PanelId::LineList); },
         [](TMyWindow& w) { return panelToggle(w, PanelId::LineList); }, true});
  t.set({40023, "OnPaintdlg", nullptr, paintRule, true});  // paint mode and its panel
  t.set({40042, "", toggleUnderlay, underlayRule, true});
  t.set({40045, "", toggleMotionDialog, [](TMyWindow& w) {  // the joint, CLine and OLine dialogs
           if (w.motion() || !w.hasLines()) return CommandState{false, false};
           return CommandState{true, w.panelVisible(PanelId::Joint)};
         }, true});
  t.set({40051, "", [](TMyWindow& w) { togglePanel(w, PanelId::Settings); },
         [](TMyWindow& w) { return panelToggle(w, PanelId::Settings); }, true});
  t.set({40052, "", toggleWithLines<PanelId::EditTool>, withLinesRule<PanelId::EditTool>, true});
  t.set({40053, "", toggleWithLines<PanelId::Objects>, withLinesRule<PanelId::Objects>, true});
  // The keys are the canvas's own (window_keys.cpp); the labels show them.
  t.set({kCommandZoomIn, "", zoomInAtCentre, canZoomIn, false, false,
         {"拡大\tCtrl++", "表示", kCommandTimeline, true}});
  t.set({kCommandZoomOut, "", zoomOutAtCentre, canZoomOut, false, false,
         {"縮小\tCtrl+-", "表示", kCommandZoomIn}});
  t.set({kCommandActualSize, "", actualSize, nullptr, false, false,
         {"100%\tCtrl+0", "表示", kCommandZoomOut}});
  t.set({kCommandFitToWindow, "", fitToWindow, nullptr, false, false,
         {"ウィンドウに合わせる", "表示", kCommandActualSize}});
}

}  // namespace tovala
