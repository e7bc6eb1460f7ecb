#include "shell/paint_ring.h"

#include <algorithm>

#include "model/document.h"

namespace tovala {

namespace {
// The user image an image line shows, or nullptr.
const ImageSlot* lineImage(const Document& doc, int line) {
  if (!doc.isValidLine(line)) return nullptr;
  return doc.userImages.image(doc.findImageByKey(int32_t(doc.lines[size_t(line)].cb)));
}
}  // namespace

PaintRing::PaintRing() { images_.initStore(kPaintSlots); }

void PaintRing::reset() {
  index_ = 0;
  undoCount_ = 0;
  redoCount_ = 0;
}

void PaintRing::keep(const Document& doc, int line, int slot) {
  ImageSlot* dst = images_.slot(slot);
  const ImageSlot* src = lineImage(doc, line);
  if (dst && src) *dst = *src;
}

void PaintRing::restore(Document& doc, int line, int slot) const {
  const ImageSlot* src = images_.image(slot);
  if (!src || !doc.isValidLine(line)) return;
  ImageSlot* dst = doc.userImages.image(doc.findImageByKey(int32_t(doc.lines[size_t(line)].cb)));
  // Only a picture of the same size goes back: the line may have been given another image.
  if (dst && dst->width == src->width && dst->height == src->height) *dst = *src;
}

void PaintRing::start(const Document& doc, int line) {
  reset();
  keep(doc, line, 0);
}

void PaintRing::snapshot(const Document& doc, int line) {
  index_ = (index_ + 1) % kPaintSlots;
  redoCount_ = 0;
  undoCount_ = std::min(undoCount_ + 1, kPaintSlots - 1);
  keep(doc, line, index_);
}

bool PaintRing::undo(Document& doc, int line) {
  if (undoCount_ <= 0) {
    undoCount_ = 0;
    return false;
  }
  index_ = (index_ - 1 + kPaintSlots) % kPaintSlots;
  undoCount_ = std::max(undoCount_ - 1, 0);
  redoCount_ += 1;
  restore(doc, line, index_);
  return true;
}

bool PaintRing::redo(Document& doc, int line) {
  if (redoCount_ == 0) return false;
  undoCount_ += 1;
  redoCount_ -= 1;
  index_ = (index_ + 1) % kPaintSlots;
  restore(doc, line, index_);
  return true;
}

}  // namespace tovala
