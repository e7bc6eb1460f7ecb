#include "shell/undo_ring.h"

#include <algorithm>
#include <cstdio>

namespace tovala {

namespace {
constexpr std::string_view kReleaseReason = "OnLButtonUp";
constexpr std::string_view kDeleteReason = "OnTovLineDel";
constexpr std::string_view kPressReason = "OnLButtonDown";
constexpr int kAddLineMode = 1;
constexpr int kPaintMode = 3;
constexpr int kMotionMode = 5;

void scaleAbout(float& x, float& y, float& z, float f, const Vec3& o) {
  x = o.x + f * (x - o.x);
  y = o.y + f * (y - o.y);
  z = o.z + f * (z - o.z);
}
}  // namespace

UndoRing::UndoRing() = default;

void UndoRing::init(const Document& doc) {
  for (UndoSlot& s : slots_) s = UndoSlot{0, kLineChanged, doc.makeDefaultLine(), {}, {}};
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

void UndoRing::record(Document& doc, int line, int action) {
  UndoSlot& s = slots_[size_t(index_)];
  s.line = line;
  s.action = action;
  // An index outside the array (nothing selected) keeps a blank line, which no step applies.
  if (line >= 0 && line < doc.lineCount())
    Document::copyLine(s.copy, doc.lines[size_t(line)]);
  else
    s.copy = doc.makeDefaultLine();
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
  if (mode == kMotionMode || mode == 4) return SnapshotResult::Skipped;
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

  if (justOpened && mode == kAddLineMode) {
    if (release) return SnapshotResult::Skipped;
    record(doc, doc.lineCount() - 1, kLineAdded);
    redoCount_ = 0;
    justOpened = false;
    undoCount_ += 1;
    index_ = (index_ + 1) % kUndoSlots;
    return SnapshotResult::Written;
  }

  if (mode == kPaintMode) return release ? SnapshotResult::PaintStep : SnapshotResult::Skipped;
  if (release) return SnapshotResult::Skipped;

  if (reason == kPressReason && mode == kAddLineMode && doc.objectView == 0) {
    // The press appends a line in the sentinel's place: record that slot, so undo removes the
    // new line itself whichever line was selected before.
    record(doc, doc.lineCount() - 1, kLineAdded);
  } else {
    record(doc, doc.curLine, reason == kDeleteReason ? kLineDeleted : kLineChanged);
  }
  advance();
  return SnapshotResult::Written;
}

void UndoRing::withdraw() {
  index_ = index_ == 0 ? kUndoSlots - 1 : index_ - 1;
  undoCount_ = std::max(undoCount_ - 1, 0);
}

StepResult UndoRing::undo(Document& doc, bool sideView) {
  if (undoCount_ == 0) return {};
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
  return {true, false};
}

StepResult UndoRing::undoFromMemory(Document& doc) {
  index_ = stepBack();
  UndoSlot& s = slots_[size_t(index_)];
  const int g = s.line;
  const bool present = g >= 0 && g < doc.lineCount();
  StepResult result{true, false};
  switch (s.action) {
    case kLineDeleted:
      if (ops_.insertLine) ops_.insertLine(doc, g, s.copy);
      break;
    case kLineAdded:
      if (present) Document::copyLine(s.redoCopy, doc.lines[size_t(g)]);
      if (g + 1 < doc.lineCount()) Document::copyLine(s.redoSentinel, doc.lines[size_t(g + 1)]);
      if (ops_.deleteLine && doc.isValidLine(g)) ops_.deleteLine(doc, g);
      // The line that follows is the sentinel again: give it back its former self.
      if (g < doc.lineCount()) Document::copyLine(doc.lines[size_t(g)], s.copy);
      result.selectLineMode = true;
      break;
    default:
      if (present) {
        Document::copyLine(s.redoCopy, doc.lines[size_t(g)]);
        Document::copyLine(doc.lines[size_t(g)], s.copy);
      }
      break;
  }
  undoCount_ = std::max(undoCount_ - 1, 0);
  redoCount_ += 1;
  doc.curLine = g;
  return result;
}

StepResult UndoRing::redo(Document& doc) {
  if (redoCount_ == 0) return {};
  if (doc.fileUndo != 1) return redoFromMemory(doc);
  undoCount_ += 1;
  redoCount_ -= 1;
  index_ = (index_ + 1) % kUndoSlots;
  if (ops_.loadFile) ops_.loadFile(doc, slotPath(index_));
  if (!doc.isValidLine(doc.curLine)) doc.curLine = 0;
  return {true, false};
}

StepResult UndoRing::redoFromMemory(Document& doc) {
  const UndoSlot& s = slots_[size_t(index_)];
  const int g = s.line;
  StepResult result{true, false};
  switch (s.action) {
    case kLineDeleted:
      if (ops_.deleteLine && doc.isValidLine(g)) ops_.deleteLine(doc, g);
      result.selectLineMode = true;
      break;
    case kLineAdded:
      if (ops_.insertLine) ops_.insertLine(doc, g, s.redoCopy);
      if (g + 1 < doc.lineCount()) Document::copyLine(doc.lines[size_t(g + 1)], s.redoSentinel);
      break;
    default:
      if (g >= 0 && g < doc.lineCount()) Document::copyLine(doc.lines[size_t(g)], s.redoCopy);
      break;
  }
  index_ = (index_ + 1) % kUndoSlots;
  undoCount_ += 1;
  redoCount_ -= 1;
  doc.curLine = s.action == kLineDeleted ? 0 : g;
  return result;
}

void UndoRing::scaleSlots(float factor, const Vec3& origin) {
  // The copies redo puts back follow the model too, or a redo after scaling would bring back a
  // line of the old size.
  for (UndoSlot& s : slots_)
    for (LineRecord* line : {&s.copy, &s.redoCopy}) {
      const bool joint = line->kind == kJointLineKind;
      for (size_t i = 0; i + 1 < line->points.size(); ++i) {
        PointRecord& p = line->points[i];
        scaleAbout(p.vx, p.vy, p.vz, factor, origin);
        if (!joint) continue;
        for (auto* u : {&p.unitX, &p.unitY, &p.unitZ}) scaleAbout((*u)[0], (*u)[1], (*u)[2], factor, origin);
      }
    }
}

}  // namespace tovala
