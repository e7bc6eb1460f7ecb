#pragma once
// The undo ring: twenty snapshots taken before each edit, either as copies of the figure held in
// memory (memory kind, the default) or as whole-document project files in the work folder (file
// kind, chosen by the document's fileUndo). Undo and redo walk the same ring. Qt-free, so the
// walk can be checked against documents directly.
//
// A memory snapshot holds the whole figure (ModelState), not only the selected line: moving the
// whole figure, turning, scaling, dragging a line that was not selected yet or changing the
// objects touch many lines at once, and a step must give all of them back. Unchanged pictures
// are shared between snapshots, so a step costs the copy of the lines and small records.
//
// A memory step that is undone keeps the figure as it was after the edit in its own slot, and
// redo puts that back: each step undoes and redoes itself and all twenty slots hold steps back.
// The file kind saves the present state into the ring before its first step back instead, as
// redo there reads the next file.

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "model/document.h"
#include "model/model_state.h"

namespace tovala {

inline constexpr int kUndoSlots = 20;

struct UndoSlot {
  ModelState before;  // the figure before the edit
  ModelState after;   // the figure after it, kept when the step is undone, for redo
};

// The operations the ring needs from the layers below, handed in by the window.
struct UndoOps {
  // The plain project form, one file; each returns false after showing its own message.
  std::function<bool(const Document&, const std::string& path)> saveFile;
  std::function<bool(Document&, const std::string& path)> loadFile;
};

enum class SnapshotResult { Skipped, Written, PaintStep };

// What an undo or redo step did, so the window can finish it (selection update, redraw).
struct StepResult {
  bool stepped = false;
  bool selectLineMode = false;  // a line was removed: the window runs OnTovLineSel
  bool canvasChanged = false;   // canvas size or background colour: work images again
};

class UndoRing {
 public:
  UndoRing();

  void setOps(UndoOps ops) { ops_ = std::move(ops); }
  // The folder the file snapshots go to (the work folder).
  void setFolder(std::filesystem::path folder) { folder_ = std::move(folder); }
  const std::filesystem::path& folder() const { return folder_; }

  // Every slot emptied, counters to 0.
  void init(const Document& doc);
  // Counters to 0 (opening, new document, switching the kind).
  void reset();

  // Takes the snapshot for `reason` before an edit. The editing mode and the side view decide
  // whether one is taken; PaintStep asks the caller for a paint snapshot instead.
  SnapshotResult snapshot(Document& doc, std::string_view reason, bool sideView);
  // Takes back the latest snapshot (a click that turned out to hit nothing).
  void withdraw();

  // Both refuse while the side view is shown: its exchanged coordinates are not the figure.
  StepResult undo(Document& doc, bool sideView);
  StepResult redo(Document& doc, bool sideView);

  int index() const { return index_; }
  int undoCount() const { return undoCount_; }
  int redoCount() const { return redoCount_; }
  bool justOpened = false;

  const UndoSlot& slot(int i) const { return slots_[size_t(i)]; }
  std::string slotPath(int i) const;

 private:
  void advance();
  int stepBack() const;
  StepResult undoFromFile(Document& doc);
  StepResult undoFromMemory(Document& doc);
  StepResult redoFromMemory(Document& doc);

  std::array<UndoSlot, kUndoSlots> slots_;
  ModelStateCapture capture_;
  int index_ = 0;
  int undoCount_ = 0;
  int redoCount_ = 0;
  UndoOps ops_;
  std::filesystem::path folder_ = "temp";
};

}  // namespace tovala
