#pragma once
// The posing history of motion mode: each drag and each pose applied while the figure is posed is
// one step, undone and redone without touching the document's own undo ring. A step holds only
// the values a pose is made of, the movement and rotation of every point of every joint line
// and the whole figure's movement and rotation; the positions follow from them when the figure
// is posed again.

#include <array>
#include <cstddef>
#include <deque>
#include <vector>

#include "model/document.h"

namespace tovala {

struct PoseValues {
  std::array<float, 6> whole{};      // VextX, VextY, VextZ, RadX, RadY, RadZ
  std::vector<int> lines;            // the joint lines, by index
  std::vector<int> counts;           // their point counts, sentinel included
  std::vector<PointMotion> motions;  // every point of those lines, line after line
};
bool sameValues(const PoseValues& a, const PoseValues& b);

// The document's pose values.
PoseValues capturePoseValues(const Document& doc);
// Writes them back (positions untouched). Refused, with nothing changed, when the document's
// joint lines are no longer the ones they were taken from.
bool restorePoseValues(Document& doc, const PoseValues& values);

class PoseHistory {
 public:
  static constexpr size_t kSteps = 50;

  void clear();
  size_t undoCount() const { return undo_.size(); }
  size_t redoCount() const { return redo_.size(); }

  // A step was taken from `before`: it can be undone; nothing is left to redo. Past kSteps
  // the oldest step is forgotten.
  void record(PoseValues before);
  // The values to go back to, with `current` kept to redo; false when there is nothing.
  bool undo(PoseValues current, PoseValues& out);
  bool redo(PoseValues current, PoseValues& out);

 private:
  std::deque<PoseValues> undo_, redo_;
};

}  // namespace tovala
