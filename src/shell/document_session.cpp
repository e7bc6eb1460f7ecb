#include "shell/document_session.h"

#include <filesystem>
#include <system_error>

#include "engine/animation_file.h"
#include "platform/ui.h"
#include "shell/core_calls.h"

namespace tovala {

namespace {
constexpr const char* kAnimationCaption = "タイムライン";
}  // namespace

DocumentSession::DocumentSession() { setObjectName("documentSession"); }

// --- edits -----------------------------------------------------------------------------------

SnapshotResult DocumentSession::snapshot(std::string_view reason) {
  const SnapshotResult r = undo_.snapshot(doc_, reason, sideView_);
  switch (r) {
    case SnapshotResult::PaintStep:
      paint_.snapshot(doc_, doc_.curLine);
      setModified(true);
      break;
    case SnapshotResult::Written:
      // Undo's own snapshot keeps the present state for redo; it is no edit.
      if (reason != "OnUndo") setModified(true);
      break;
    case SnapshotResult::Skipped: break;
  }
  return r;
}

void DocumentSession::changed(Redraw redraw) {
  setModified(true);
  if (redraw == Redraw::All) {
    rebuild();
  } else if (redraw == Redraw::Selected) {
    refreshSelected();
  } else {
    emit redrawRequested();
  }
  emit edited();
}

void DocumentSession::resetUndo() {
  undo_.reset();
  paint_.reset();
  poses_.clear();
}

void DocumentSession::rebuild() {
  if (core().rebuildLayers) core().rebuildLayers(doc_);
  refreshSelected();
}

void DocumentSession::refreshSelected() {
  if (core().refreshSelected) core().refreshSelected(doc_);
  emit redrawRequested();
}

// --- the file ----------------------------------------------------------------------------------

void DocumentSession::setModified(bool modified) {
  if (modified_ == modified) return;
  modified_ = modified;
  emit modifiedChanged(modified);
}

void DocumentSession::setPath(std::string path) {
  path_ = std::move(path);
  emit pathChanged();
}

bool DocumentSession::open(const std::string& path) {
  emit aboutToReplace();
  if (!core().openProject || !core().openProject(doc_, path)) return false;
  resetUndo();
  undo_.justOpened = true;
  // The animation is the project's own file or none: a file beside another name, or one left
  // from an earlier figure of this name, is never read (saving keeps the pair in step).
  Animation read;
  bool refused = false;
  const std::string animPath = animationPathFor(path);
  std::error_code ec;
  if (std::filesystem::exists(animPath, ec)) {
    std::string reason;
    if (!loadAnimationFile(animPath, read, reason)) {
      ui().message(std::string(kAnimationReadFailed) + "\n" + reason, kAnimationCaption);
      read = Animation{};
      refused = true;
    }
  }
  replaceAnimation(std::move(read), refused);
  setModified(false);
  setPath(path);
  emit documentReplaced();
  return true;
}

bool DocumentSession::save(const std::string& path) {
  emit aboutToSave();
  if (!core().saveProject || !core().saveProject(doc_, path)) return false;
  // A damaged animation file that was refused stays for the user to mend while the document is
  // saved under its own name and the animation was not edited; under another name it is not
  // the project's, and an empty animation leaves no file there.
  if (!(animRefused_ && path == path_)) {
    std::string reason;
    if (!syncAnimationBeside(path, anim_, reason)) {
      ui().message(std::string(kAnimationWriteFailed) + "\n" + reason, kAnimationCaption);
      return false;
    }
    animRefused_ = false;
  }
  setModified(false);
  setPath(path);
  return true;
}

void DocumentSession::replaced(bool modified) {
  resetUndo();
  replaceAnimation(Animation{}, false);
  setModified(modified);
  setPath({});
  emit documentReplaced();
}

// --- the animation -----------------------------------------------------------------------------

void DocumentSession::animationChanged() {
  animRefused_ = false;
  setModified(true);
  emit animationEdited();
}

void DocumentSession::replaceAnimation(Animation anim, bool refused) {
  anim_ = std::move(anim);
  animRefused_ = refused;
  emit animationReplaced();
}

bool syncAnimationBeside(const std::string& projectPath, const Animation& anim,
                         std::string& reason) {
  const std::string path = animationPathFor(projectPath);
  if (!(anim == Animation{})) return saveAnimationFile(path, anim, reason);
  std::error_code ec;
  if (std::filesystem::remove(path, ec) || !ec) return true;
  reason = "削除できません: " + path;
  return false;
}

}  // namespace tovala
