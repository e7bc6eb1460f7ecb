#include "shell/motion_mode.h"

#include <array>
#include <utility>

#include "engine/motion_drag.h"
#include "engine/pose_history.h"
#include "engine/reference.h"
#include "platform/ui.h"
#include "script/motion_prepare.h"
#include "shell/main_window.h"
#include "shell/panels/control/move_panel.h"

// After the script engine's header, which has a member named like Qt's `emit`.
#include <QSettings>

namespace tovala {

namespace {

constexpr int kModeExe = 40031;
constexpr int kInitialPose = 40046;
constexpr int kPanelGap = 8;

constexpr const char* kToolSetting = "motion/tool";

// The tool chosen last, kept between runs; point rotation until one is chosen.
int rememberedTool(const TMyWindow& w) {
  const QSettings* s = w.settings();
  const int tool = s ? s->value(kToolSetting, int(kToolPointRotate)).toInt() : kToolPointRotate;
  return isMotionTool(tool) ? tool : kToolPointRotate;
}

// Some line has no real point, or only points whose reference is (0, 0, 0).
bool referenceMissing(Document& d) { return d.lineCount() > 1 && checkReference(d, 0, -1) == -1; }

// A view button: the whole figure turned to the preset and posed again, one step of the posing
// history when it changed.
void turnWholeFigure(TMyWindow& w, const std::array<float, 3>& rad) {
  Document& d = w.doc();
  if (d.RadX == rad[0] && d.RadY == rad[1] && d.RadZ == rad[2]) return;
  PoseValues before = capturePoseValues(d);
  d.RadX = rad[0];
  d.RadY = rad[1];
  d.RadZ = rad[2];
  const int line = d.curLine, point = d.curPoint;
  prepareMotion(d);
  d.curLine = line;
  d.curPoint = point;
  w.session().poseHistory().record(std::move(before));
  w.session().setModified(true);
  w.rebuild();
  w.refreshPanel(PanelId::Control);
  w.compose();
}

void onMoveMessage(TMyWindow& w, MovePanel& panel) {
  Document& d = w.doc();
  switch (panel.action) {
    case MovePanel::kLeaveKeepingPose:
      // Straight to select mode, past the mode change that would restore the reference pose.
      d.edit.mode = kModeSelect;
      w.showPanel(PanelId::Move, false);
      w.refreshPanel(PanelId::Control);
      w.refreshPanel(PanelId::LineList);
      w.session().rebuild();
      break;
    case MovePanel::kLeaveRestoringPose: w.setMode(kModeSelect, "OnTovLineSel"); break;
    default:
      if (std::array<float, 3> rad; viewPresetFor(panel.action, rad)) {
        turnWholeFigure(w, rad);
      } else if (const int tool = motionToolFor(panel.action)) {
        d.edit.subMode = tool;
        if (QSettings* s = w.settings()) s->setValue(kToolSetting, tool);
      }
      break;
  }
  panel.showTool();
}

}  // namespace

void onModeExe(TMyWindow& w) {
  Document& d = w.doc();
  if (d.modelScale != 1.0f) {
    w.ui().message(kScaledModelRefusal, "");
    return;
  }
  if (d.edit.mode == kModeMotion) {
    w.modeChange(kModeMotion, "OnModeExe");
    return;
  }
  if (!w.lineSelected()) {
    w.ui().message(kNoValidLine, "注意");
    return;
  }
  w.showPanel(PanelId::Objects, false);
  Answer reference = Answer::No;
  if (referenceMissing(d)) {
    reference = w.ui().ask(kNoReferenceQuestion, "メッセージ", Buttons::YesNoCancel);
    if (reference != Answer::Yes && reference != Answer::No) return;
  }
  // Posing takes no steps of its own, but the pose stays when the mode is left keeping it: the
  // figure as it was before the mode is one step, so undo brings it back whatever the pose.
  w.session().snapshot("OnModeExe");
  if (reference == Answer::Yes) {
    setReference(d, 0, -1);
    w.session().setModified(true);
  }
  const int previous = d.edit.mode;
  d.edit.mode = kModeMotion;
  d.edit.subMode = rememberedTool(w);
  // The posing history belongs to one stay in the mode.
  w.session().poseHistory().clear();
  w.showPanel(PanelId::Move, true);
  w.refreshPanel(PanelId::Move);
  w.modeChange(previous, "OnModeExe");
  w.compose();
}

void initialPose(TMyWindow& w) {
  Document& d = w.doc();
  // Without reference positions the reset would move points to (0, 0, 0): refuse it.
  if (referenceMissing(d)) {
    w.ui().message(kNoReferenceNotice, "メッセージ");
    return;
  }
  // No snapshot in motion mode, where the pose is not an edit.
  w.session().edit("OnTovInitial", resetToReferencePose, Redraw::All);
}

void installMotionMode(TMyWindow& w) {
  w.modes().add(kModeMotion, makeMotionMode());
  w.enterMotion = [](TMyWindow& win) {
    prepareMotion(win.doc());
    win.rebuild();
  };

  // The table already lists both commands with their rules; they get their operations here.
  CommandTable& table = w.commands();
  for (auto [id, run] : {std::pair<int, CommandHandler>{kModeExe, onModeExe},
                         std::pair<int, CommandHandler>{kInitialPose, initialPose}}) {
    Command c = table.find(id) ? *table.find(id) : Command{id};
    c.run = run;
    table.set(c);
  }

  auto* panel = new MovePanel(w.doc(), &w);
  QObject::connect(panel, &MovePanel::command, &w, [&w](int id) { w.runCommand(id); });
  w.setPanelHandler(PanelMessage::Move,
                    [&w](Panel& p) { onMoveMessage(w, static_cast<MovePanel&>(p)); });
  // Off the canvas: to the right of the control panel, which stands beside the window.
  if (const Panel* control = w.panel(PanelId::Control))
    panel->move(control->pos() + QPoint(control->width() + kPanelGap, 0));
  w.installPanel(panel, false);
}

}  // namespace tovala
