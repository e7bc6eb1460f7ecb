#pragma once
// Pictures of a figure in other poses, for the pose panel's list. The figure is copied once and
// each pose is applied to the copy, so the document the user edits is never touched.

#include <array>
#include <memory>
#include <vector>

#include <QImage>

#include "engine/pose.h"
#include "model/records.h"

namespace tovala {

class Document;

class PoseThumbnails {
 public:
  explicit PoseThumbnails(const Document& figure);
  ~PoseThumbnails();

  // The figure in `pose` (drawn as the canvas draws it, cut to the lines' extent), scaled to
  // fit a `size` x `size` square on the background colour.
  QImage draw(const Pose& pose, int size);

 private:
  std::unique_ptr<Document> copy_;
  std::vector<LineRecord> lines_;  // as the figure had them: every pose starts from these
  std::array<float, 6> whole_{};
};

}  // namespace tovala
