#pragma once
// The document being edited and everything that belongs to it: the figure, its animation, the
// undo rings, the file it came from and whether it has unsaved changes.
//
// Every change of the figure is one edit transaction: edit(label, change) takes the undo
// snapshot under `label`, applies the change, marks the document modified, redraws and tells the
// observers (edited()). Panels listen to the session instead of being refreshed by whoever made
// the change. The window composes the canvas when the session asks for it (redrawRequested()).
//
// The animation is part of the project: the session reads it with the project, writes it with
// the project (NAME.tovanim beside NAME.tov) and replaces it when the document is replaced, so
// the file beside a project is always that project's own animation.

#include <QObject>

#include <string>
#include <string_view>
#include <type_traits>

#include "engine/animation.h"
#include "engine/pose_history.h"
#include "model/document.h"
#include "shell/paint_ring.h"
#include "shell/undo_ring.h"

namespace tovala {

class Ui;

// What an edit redraws before the canvas is composed again.
enum class Redraw {
  None,      // the picture is unchanged (a setting the layers do not show)
  Selected,  // the selected line's layer and the model picture
  All,       // every layer: lines other than the selected one changed
};

class DocumentSession : public QObject {
  Q_OBJECT

 public:
  DocumentSession();

  Document& doc() { return doc_; }
  const Document& doc() const { return doc_; }
  Ui& ui() { return *doc_.ui; }
  UndoRing& undoRing() { return undo_; }
  PaintRing& paintRing() { return paint_; }
  // The steps of posing in motion mode, apart from the document's own ring.
  PoseHistory& poseHistory() { return poses_; }

  // --- edits -----------------------------------------------------------------------------------
  // One edit: the snapshot, `change(doc)`, the modified mark, the redraw and edited(). A change
  // that returns false refused and changed nothing: its snapshot is taken back, the mark is left
  // as it was, nothing is redrawn and false is returned.
  template <class Change>
  bool edit(std::string_view label, Change&& change, Redraw redraw = Redraw::Selected) {
    const bool wasModified = modified_;
    const SnapshotResult taken = snapshot(label);
    if constexpr (std::is_same_v<std::invoke_result_t<Change, Document&>, bool>) {
      if (!change(doc_)) {
        if (taken == SnapshotResult::Written) undo_.withdraw();
        setModified(wasModified);
        return false;
      }
    } else {
      change(doc_);
    }
    changed(redraw);
    return true;
  }
  // The end of an edit whose snapshot was taken before (a drag) or that takes none (a key of
  // the animation, posing in motion mode): the mark, the redraw, edited().
  void changed(Redraw redraw);
  // The undo snapshot alone, before a change that is still to come (a press of the mouse whose
  // drag will make it). Marks the document modified when a step was written.
  SnapshotResult snapshot(std::string_view reason);
  // Both rings and the posing history start again (a document replaced, the kind of snapshot
  // switched).
  void resetUndo();

  // Redraws without an edit: every layer or the selected one, then asks for the canvas.
  void rebuild();
  void refreshSelected();
  void requestRedraw() { emit redrawRequested(); }

  // The side view shows exchanged coordinates; no snapshot or step is taken while it is on.
  bool sideView() const { return sideView_; }
  void setSideViewFlag(bool on) { sideView_ = on; }

  // --- the file --------------------------------------------------------------------------------
  // Unsaved changes.
  bool modified() const { return modified_; }
  void setModified(bool modified);
  // The file the document was opened from or last saved to; "" for a document never saved.
  const std::string& path() const { return path_; }
  void setPath(std::string path);

  // Reads the project at `path` and the animation beside it; on failure (after the reader's
  // message) the document and animation are as they were. The window finishes the rest.
  bool open(const std::string& path);
  // Writes the project at `path` and makes the animation file beside it the document's own:
  // written when the animation holds anything, removed when it is empty. On success the
  // document is unmodified and `path` is its file.
  bool save(const std::string& path);
  // The document was replaced by one built here (new document, the body model): an empty
  // animation, no file, both rings again.
  void replaced(bool modified);

  // --- the animation ---------------------------------------------------------------------------
  Animation& animation() { return anim_; }
  const Animation& animation() const { return anim_; }
  // The animation was edited (keys, fps, length): modified mark and animationEdited().
  void animationChanged();
  // The file beside the project was damaged and refused when the project was opened: it is
  // kept (not written over) until the animation is edited or saved elsewhere.
  bool animationRefused() const { return animRefused_; }

 signals:
  // After every edit, undo and redo: panels show the document again.
  void edited();
  // After a new, opened or built document.
  void documentReplaced();
  // The canvas should be composed again.
  void redrawRequested();
  void modifiedChanged(bool modified);
  void pathChanged();
  // Before the document is written or replaced: a preview showing borrowed poses ends here, so
  // neither meets the figure in a pose that is not its own.
  void aboutToSave();
  void aboutToReplace();
  void animationReplaced();
  void animationEdited();

 private:
  void replaceAnimation(Animation anim, bool refused);

  Document doc_;
  UndoRing undo_;
  PaintRing paint_;
  PoseHistory poses_;
  Animation anim_;
  bool animRefused_ = false;
  std::string path_;
  bool modified_ = false;
  bool sideView_ = false;
};

// NAME.tovanim beside the project at `projectPath` made to hold `anim`: written when it differs
// from an empty animation, removed when it is empty. False, with the reason, when the file could
// not be written or the stale one removed.
bool syncAnimationBeside(const std::string& projectPath, const Animation& anim,
                         std::string& reason);

}  // namespace tovala
