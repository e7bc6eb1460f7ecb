#pragma once
// The paint undo ring: five copies of the picture being painted. One slot always holds the
// current picture, so at most four strokes can be taken back.

#include "model/image_store.h"

namespace tovala {

class Document;

inline constexpr int kPaintSlots = 5;

class PaintRing {
 public:
  PaintRing();

  void reset();
  // Entering paint mode: clears the ring and keeps the line's picture in slot 0.
  void start(const Document& doc, int line);
  // After each stroke: the picture goes into the next slot.
  void snapshot(const Document& doc, int line);
  // Copy a slot back into the line's picture; false when there is no step to take.
  bool undo(Document& doc, int line);
  bool redo(Document& doc, int line);

  int index() const { return index_; }
  int undoCount() const { return undoCount_; }
  int redoCount() const { return redoCount_; }

 private:
  void keep(const Document& doc, int line, int slot);
  void restore(Document& doc, int line, int slot) const;

  ImageStore images_;
  int index_ = 0;
  int undoCount_ = 0;
  int redoCount_ = 0;
};

}  // namespace tovala
