#include "shell/panels/pose/pose_panel_window.h"

#include <QFileDialog>

#include <system_error>
#include <utility>
#include <vector>

#include "engine/pose.h"
#include "engine/pose_file.h"
#include "engine/pose_history.h"
#include "engine/reference.h"
#include "model/messages.h"
#include "platform/ui.h"
#include "script/pose_apply.h"
#include "shell/command_rules.h"
#include "shell/main_window.h"
#include "shell/motion_mode.h"
#include "shell/panels/dialogs/input_dialogs.h"
#include "shell/panels/pose/pose_panel.h"

namespace tovala {

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxPoseNameBytes = 100;

// Some line has no real point, or only points whose reference is (0, 0, 0): re-posing from the
// references would pull those points to the origin.
bool referenceMissing(Document& d) { return d.lineCount() > 1 && checkReference(d, 0, -1) == -1; }

void notice(TMyWindow& w, const char* heading, const std::vector<JointKey>& keys) {
  if (!keys.empty())
    w.ui().message(std::string(heading) + "\n" + listJointKeys(keys), msg::kCaptionNotice);
}

// The name typed for a new or renamed pose, checked; nothing when cancelled or refused.
std::optional<std::string> askPoseName(TMyWindow& w, const std::string& initial) {
  std::optional<std::string> name = askInput(&w, kPoseNamePrompt, initial);
  if (!name) return std::nullopt;
  if (!isPoseName(*name)) {
    w.ui().message(kBadPoseName, msg::kCaptionError);
    return std::nullopt;
  }
  return name;
}

void savePose(TMyWindow& w, PosePanel& panel) {
  if (!w.hasLines()) return w.ui().message(kNoFigure, msg::kCaptionNotice);
  // Movements are kept in scaled canvas units: a pose taken at another scale would not fit.
  if (w.doc().modelScale != 1.0f) return w.ui().message(kScaledModelRefusal, "");
  const std::optional<std::string> name = askPoseName(w, panel.selectedName());
  if (!name) return;
  const fs::path path = panel.pathOf(*name);
  std::error_code ec;
  if (fs::exists(path, ec) &&
      w.ui().ask(kReplacePose, msg::kCaptionConfirm, Buttons::YesNo) != Answer::Yes)
    return;
  fs::create_directories(panel.folder(), ec);
  std::string reason;
  if (!savePoseFile(path.string(), capturePose(w.doc()), reason)) {
    w.ui().message(std::string(kPoseWriteFailed) + "\n" + reason, msg::kCaptionError);
    return;
  }
  panel.refresh();
  panel.selectName(*name);
}

void applyChosen(TMyWindow& w, PosePanel& panel) {
  const std::string name = panel.selectedName();
  if (name.empty()) return w.ui().message(kNoPoseChosen, msg::kCaptionNotice);
  Pose pose;
  std::string reason;
  if (!loadPoseFile(panel.pathOf(name).string(), pose, reason)) {
    w.ui().message(std::string(kPoseReadFailed) + "\n" + reason, msg::kCaptionError);
    return;
  }
  applyPoseAsStep(w, pose, "OnTovPoseApply");
}

void deleteChosen(TMyWindow& w, PosePanel& panel) {
  const std::string name = panel.selectedName();
  if (name.empty()) return w.ui().message(kNoPoseChosen, msg::kCaptionNotice);
  const std::string question = "ポーズ「" + name + "」を削除しますか?";
  if (w.ui().ask(question, msg::kCaptionConfirm, Buttons::YesNo) != Answer::Yes) return;
  std::error_code ec;
  if (!fs::remove(panel.pathOf(name), ec)) w.ui().message(kPoseFileFailed, msg::kCaptionError);
  panel.refresh();
}

void renameChosen(TMyWindow& w, PosePanel& panel) {
  const std::string name = panel.selectedName();
  if (name.empty()) return w.ui().message(kNoPoseChosen, msg::kCaptionNotice);
  const std::optional<std::string> to = askPoseName(w, name);
  if (!to || *to == name) return;
  std::error_code ec;
  if (fs::exists(panel.pathOf(*to), ec)) return w.ui().message(kPoseExists, msg::kCaptionError);
  fs::rename(panel.pathOf(name), panel.pathOf(*to), ec);
  if (ec) w.ui().message(kPoseFileFailed, msg::kCaptionError);
  panel.refresh();
  panel.selectName(ec ? name : *to);
}

void chooseFolder(TMyWindow& w, PosePanel& panel) {
  const QString folder = QFileDialog::getExistingDirectory(
      &w, QString::fromUtf8("ポーズのフォルダ"), QString::fromStdString(panel.folder().string()));
  if (!folder.isEmpty()) panel.setFolder(folder.toStdString());
}

void onPoseMessage(TMyWindow& w, PosePanel& panel) {
  panel.setDefaultFolder(defaultPoseFolder(w));
  switch (panel.action) {
    case PosePanel::kSave: savePose(w, panel); break;
    case PosePanel::kApply: applyChosen(w, panel); break;
    case PosePanel::kDelete: deleteChosen(w, panel); break;
    case PosePanel::kRename: renameChosen(w, panel); break;
    case PosePanel::kChooseFolder: chooseFolder(w, panel); break;
    default: break;
  }
}

void togglePosePanel(TMyWindow& w) {
  if (auto* panel = static_cast<PosePanel*>(w.panel(PanelId::Pose)))
    panel->setDefaultFolder(defaultPoseFolder(w));
  togglePanel(w, PanelId::Pose);
}

// Mirroring changes the figure: as applying, outside the side view, with lines at scale 1.
CommandState mirrorRule(TMyWindow& w) {
  return {w.hasLines() && !w.sideView() && w.doc().modelScale == 1.0f, false};
}

}  // namespace

bool isPoseName(const std::string& name) {
  if (name.empty() || name.size() > kMaxPoseNameBytes || name[0] == '.') return false;
  for (const unsigned char c : name)
    if (c < 0x20 || c == 0x7F ||
        std::string_view("/\\:*?\"<>|").find(char(c)) != std::string_view::npos)
      return false;
  return true;
}

fs::path defaultPoseFolder(TMyWindow& w) {
  const std::string& project = w.documentPath();
  const fs::path beside =
      project.empty() ? fs::path(w.paths().startFolder) : fs::path(project).parent_path();
  return beside / "poses";
}

bool applyPoseAsStep(TMyWindow& w, const Pose& pose, const char* reason) {
  Document& d = w.doc();
  if (!w.hasLines() || w.sideView()) return false;
  if (d.modelScale != 1.0f) {
    w.ui().message(kScaledModelRefusal, "");
    return false;
  }
  if (referenceMissing(d)) {
    w.ui().message(kNoReferenceNotice, msg::kCaptionMessage);
    return false;
  }
  const std::vector<LineRecord> lines = d.lines;
  const std::array<float, 6> whole{d.VextX, d.VextY, d.VextZ, d.RadX, d.RadY, d.RadZ};
  const int line = d.curLine, point = d.curPoint;
  std::vector<JointKey> missing;
  auto pose_ = [&](Document& doc) {
    missing = applyPose(doc, pose);
    return doc.lines != lines || whole != std::array<float, 6>{doc.VextX, doc.VextY, doc.VextZ,
                                                               doc.RadX,  doc.RadY,  doc.RadZ};
  };
  // In motion mode posing is no edit of the document: no step of its undo ring and no modified
  // mark, but a step of the posing history when the figure changed.
  if (w.motion()) {
    PoseValues before = capturePoseValues(d);
    if (pose_(d)) w.session().poseHistory().record(std::move(before));
  } else
    w.session().edit(reason, pose_, Redraw::All);
  if (d.curLine != line || d.curPoint != point) w.selectionChanged(line, point);
  w.rebuild();
  w.compose();
  w.refreshPanel(PanelId::Control);
  notice(w, kPoseMissingNotice, missing);
  return true;
}

void mirrorCurrentPose(TMyWindow& w) {
  Document& d = w.doc();
  if (!w.hasLines()) return;
  Pose pose = capturePose(d);
  const MirrorPairs pairs = findMirrorPairs(d);
  mirrorPose(pose, pairs);
  if (applyPoseAsStep(w, pose, "OnTovPoseMirror")) notice(w, kPoseUnpairedNotice, pairs.unpaired);
}

void installPosePanel(TMyWindow& w) {
  auto* panel = new PosePanel(w.doc(), &w);
  panel->setDefaultFolder(defaultPoseFolder(w));
  w.setPanelHandler(PanelMessage::Pose,
                    [&w](Panel& p) { onPoseMessage(w, static_cast<PosePanel&>(p)); });
  w.installPanel(panel, false);

  CommandTable& table = w.commands();
  table.set({kCommandPosePanel, "", togglePosePanel,
             [](TMyWindow& win) { return panelToggle(win, PanelId::Pose); }, true, false,
             {"ポーズ", "表示", 40053}});
  table.set({kCommandPoseMirror, "OnTovPoseMirror", mirrorCurrentPose, mirrorRule, false, false,
             {"ポーズ反転", "命令", 40031}});
}

}  // namespace tovala
