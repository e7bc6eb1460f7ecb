#include "shell/undo_ring.h"

#include <algorithm>
#include <cstdio>

namespace tovala {

namespace {
constexpr std::string_view kReleaseReason = "OnLButtonUp";
constexpr int kPaintMode = 3;
constexpr int kUnusedMode = 4;  // no editing mode has this number; kept out as before
constexpr int kMotionMode = 5;
}  // namespace

UndoRing::UndoRing() = default;

void UndoRing::init(const Document&) {
  for (UndoSlot& s : slots_) s = UndoSlot{};
  capture_.forget();
  reset();
  justOpened = false;
}

void UndoRing::reset() {
  index_ = 0;
  undoCount_ = 0;
  redoCount_ = 0;
}

std::string UndoRing::slotPath(int i) const {
  char name[16];
  std::snprintf(name, sizeof name, "undo%03d.tv0", i);
  return (folder_ / name).string();
}

void UndoRing::advance() {
  redoCount_ = 0;
  index_ = (index_ + 1) % kUndoSlots;
  undoCount_ = std::min(undoCount_ + 1, kUndoSlots);
}

int UndoRing::stepBack() const {
  int i = index_ - 1;
  if (i < 0) i += kUndoSlots;
  return i % kUndoSlots;
}

SnapshotResult UndoRing::snapshot(Document& doc, std::string_view reason, bool sideView) {
  if (sideView) return SnapshotResult::Skipped;
  const int mode = doc.edit.mode;
  if (mode == kMotionMode || mode == kUnusedMode) return SnapshotResult::Skipped;
  const bool release = reason == kReleaseReason;

  if (doc.fileUndo == 1) {
    if (release) return SnapshotResult::Skipped;
    // A failed write has shown its message; the ring moves on regardless, as a later undo of
    // that slot reports the missing file in turn.
    if (ops_.saveFile) ops_.saveFile(doc, slotPath(index_));
    advance();
    justOpened = false;
    return SnapshotResult::Written;
  }

  if (mode == kPaintMode) return release ? SnapshotResult::PaintStep : SnapshotResult::Skipped;
  if (release) return SnapshotResult::Skipped;

  UndoSlot& s = slots_[size_t(index_)];
  capture_.capture(doc, s.before);
  s.after.present = false;
  justOpened = false;
  advance();
  return SnapshotResult::Written;
}

void UndoRing::withdraw() {
  index_ = index_ == 0 ? kUndoSlots - 1 : index_ - 1;
  undoCount_ = std::max(undoCount_ - 1, 0);
}

StepResult UndoRing::undo(Document& doc, bool sideView) {
  if (sideView || undoCount_ == 0) return {};
  if (doc.fileUndo != 1) return undoFromMemory(doc);
  if (redoCount_ == 0) {
    // Save the present state first so that a redo can come back to it. The index may become -1
    // here; the step below wraps it.
    if (snapshot(doc, "OnUndo", sideView) == SnapshotResult::Written) {
      index_ -= 1;
      undoCount_ -= 1;
    }
  }
  return undoFromFile(doc);
}

StepResult UndoRing::undoFromFile(Document& doc) {
  index_ = stepBack();
  if (ops_.loadFile) ops_.loadFile(doc, slotPath(index_));
  undoCount_ = std::max(undoCount_ - 1, 0);
  redoCount_ += 1;
  if (!doc.isValidLine(doc.curLine)) doc.curLine = 0;
  return {true, false, false};
}

namespace {
StepResult stepTo(Document& doc, const ModelState& state) {
  const RestoreResult r = restoreModelState(doc, state);
  return {true, r.lineCountChange < 0, r.canvasChanged};
}
}  // namespace

StepResult UndoRing::undoFromMemory(Document& doc) {
  index_ = stepBack();
  UndoSlot& s = slots_[size_t(index_)];
  capture_.capture(doc, s.after);
  const StepResult result = stepTo(doc, s.before);
  undoCount_ = std::max(undoCount_ - 1, 0);
  redoCount_ += 1;
  return result;
}

StepResult UndoRing::redo(Document& doc, bool sideView) {
  if (sideView || redoCount_ == 0) return {};
  if (doc.fileUndo != 1) return redoFromMemory(doc);
  undoCount_ += 1;
  redoCount_ -= 1;
  index_ = (index_ + 1) % kUndoSlots;
  if (ops_.loadFile) ops_.loadFile(doc, slotPath(index_));
  if (!doc.isValidLine(doc.curLine)) doc.curLine = 0;
  return {true, false, false};
}

StepResult UndoRing::redoFromMemory(Document& doc) {
  const StepResult result = stepTo(doc, slots_[size_t(index_)].after);
  index_ = (index_ + 1) % kUndoSlots;
  undoCount_ += 1;
  redoCount_ -= 1;
  return result;
}

}  // namespace tovala
