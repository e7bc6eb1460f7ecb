// The "ファイル" menu: new, open and save of projects, parts and images (BMP save, PNG export),
// the underlay, the work files, and the body model.

#include <filesystem>
#include <system_error>

#include "engine/face_reader.h"
#include "model/work_folder.h"
#include "script/body_model.h"
#include "shell/command_rules.h"
#include "shell/core_calls.h"
#include "shell/file_drop.h"
#include "shell/panels/body_shape/body_shape_commands.h"
#include "shell/panels/export/export_dialog.h"

namespace tovala {

namespace {

constexpr const char* kNewQuestion = "編集を破棄し新規に作成します。よろしいですか？";

// What opening a project and making a new document share: the rings start again and the panels
// that showed the old document go away. The panels that show the document follow the session.
void afterReplace(TMyWindow& w) {
  w.session().resetUndo();
  w.clearMouse();
  w.showPanel(PanelId::Paint, false);
  w.showPanel(PanelId::Move, false);
  w.showPanel(PanelId::Script, false);
}

void newDocument(TMyWindow& w) {
  if (w.ui().ask(kNewQuestion, "注意", Buttons::YesNo) != Answer::Yes) return;
  emit w.session().aboutToReplace();
  afterReplace(w);
  w.doc().clear();
  w.doc().reset();
  w.session().replaced(false);  // the animation goes with the document
  w.rebuild();
  w.compose();
}

// Opening replaces the document: unsaved changes are offered for saving before the file is
// chosen, and Cancel leaves everything as it was.
void openProjectCommand(TMyWindow& w) {
  if (!w.offerSave()) return;
  auto path = chooseFile(w, false, filters::kProjectOpen, filters::kProjectExt, w.paths().project);
  if (!path) return;
  w.paths().project = *path;
  w.openProject(*path);
}

void saveProjectCommand(TMyWindow& w) { w.saveProjectAs(w.proposedProjectName()); }

// "名前を付けて保存" (Ctrl+Shift+S): the name is asked for, proposing the document's own; the
// document and its animation are saved under the new name, which becomes the document's file.
void saveAsCommand(TMyWindow& w) {
  if (w.motion()) return;
  w.saveProjectAs(w.proposedProjectName());
}

void loadPartsCommand(TMyWindow& w) {
  auto path = chooseFile(w, false, filters::kParts, filters::kPartsExt, w.paths().parts);
  if (!path) return;
  mergePartsFile(w, *path);
}

void savePartsCommand(TMyWindow& w) {
  auto path = chooseFile(w, true, filters::kParts, filters::kPartsExt, w.paths().parts);
  if (!path) return;
  w.paths().parts = *path;
  core().saveParts(w.doc(), *path);
}

// "顔画像データ読込み". Refused while posing, before a file is asked for and with nothing changed:
// a face is placed on the head joint's current position and its points take their positions as
// their references, so a face read onto the posed figure would rest where the pose put the head,
// and stay there when the mode restores the references; reading it properly would mean leaving
// the mode first, a mode change the user did not ask for. The message says what to do instead.
void loadFaceCommand(TMyWindow& w) {
  if (w.motion()) {
    w.ui().message(kFaceInMotionRefusal, "注意");
    return;
  }
  auto path = chooseFile(w, false, filters::kFace, filters::kFaceExt, w.paths().face);
  if (!path) return;
  w.paths().face = *path;
  w.clearMouse();
  if (loadFaceData(w.doc(), *path) == 1)
    w.session().changed(Redraw::All);
  else
    w.session().rebuild();
  w.setMode(kModeSelect, "OnMyopen");
}

// "人体モデル作成": the document becomes the ready-made figure, a new document with no file of
// its own yet.
void bodyModelCommand(TMyWindow& w) {
  if (w.motion() || !w.offerSave()) return;
  const auto shape = askNewBodyShape(w);
  if (!shape) return;
  emit w.session().aboutToReplace();
  afterReplace(w);
  createBodyModel(w.doc(), *shape);
  w.session().replaced(true);
  keepBodyShape(w, *shape);
  w.undoRing().justOpened = true;
  w.rebuild();
  w.setMode(kModeSelect, "OnTest");
  w.refreshPanel(PanelId::LineList);
}

void loadUnderlay(TMyWindow& w) {
  auto path = chooseFile(w, false, filters::kImage, filters::kImageExt, w.paths().image);
  if (!path) return;
  layUnderlay(w, *path);
}

void saveCanvasImage(TMyWindow& w) {
  auto path = chooseFile(w, true, filters::kBmp, filters::kBmpExt, "notitle.bmp");
  if (!path) return;
  w.doc().workImages.saveBmp(kModelImage, *path, w.ui());
}

// "PNG書出" and "書き出し...": the export dialog, with PNG chosen or with the last choices.
void exportPngCommand(TMyWindow& w) { openExportDialog(w, ExportFormat::Png, false); }

void exportCommand(TMyWindow& w) { openExportDialog(w, std::nullopt, false); }

// The script editor's per-line work files, by the names it gives them; the undo snapshots next
// to them and any other file the user keeps there stay.
void deleteWorkFiles(TMyWindow& w) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path temp = fs::path(w.paths().startFolder) / "temp";
  std::vector<fs::path> doomed;
  for (fs::directory_iterator it(temp, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec) && isScriptWorkFileName(it->path().filename().string()))
      doomed.push_back(it->path());
  }
  for (const fs::path& p : doomed) fs::remove(p, ec);
}

}  // namespace

bool TMyWindow::openProject(const std::string& path) {
  if (!session_.open(path)) return false;
  afterReplace(*this);
  undoRing().justOpened = true;
  refreshPanel(PanelId::Script);
  setMode(kModeSelect, "OnMyopen");
  rebuild();
  compose();
  update();
  return true;
}

void addFileCommands(CommandTable& t) {
  t.set({40044, "", newDocument, nullptr});
  t.set({40001, "OnMyopen", core().openProject ? openProjectCommand : nullptr, unlessMotion});
  t.set({40070, "", core().loadParts ? loadPartsCommand : nullptr, unlessMotion});
  t.set({40049, "OnMyopen", loadFaceCommand, nullptr});
  t.set({40041, "", loadUnderlay, nullptr});
  t.set({40030, "", core().saveProject ? saveProjectCommand : nullptr, linesNotMotion});
  t.set({40071, "", core().saveParts ? savePartsCommand : nullptr, linesNotMotion});
  t.set({kCommandSaveAs, "", core().saveProject ? saveAsCommand : nullptr, linesNotMotion, false,
         false, {"名前を付けて保存", "ファイル/保存", 40030, false, "Ctrl+Shift+S"}});
  t.set({40063, "", saveCanvasImage, nullptr});
  t.set({kCommandExportPng, "", exportPngCommand, nullptr, false, false,
         {"PNG書出", "ファイル/保存", 40063}});
  t.set({kCommandExport, "", exportCommand, [](TMyWindow& win) { return enabledIf(win.hasLines()); },
         false, false, {"書き出し…", "ファイル", 0, true}});
  t.set({40032, "", deleteWorkFiles, nullptr});
  t.set({40050, "OnTest", bodyModelCommand, nullptr});
  t.set({kCommandBodyShape, "OnBodyShape", changeBodyShapeCommand, bodyShapeRule, false, true,
         {"体型変更", "ファイル", 40050}});
}

}  // namespace tovala
