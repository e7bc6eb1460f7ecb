#include "shell/motion_exit.h"

#include "engine/reference.h"
#include "model/document.h"

namespace tovala {

void leaveMotionPose(Document& doc) {
  for (size_t l = 0; l + 1 < doc.lines.size(); ++l) {
    std::vector<PointRecord>& pts = doc.lines[l].points;
    if (pts.size() > 1 && pts[0].mode == -1) pts[0].mode = 0;
  }
  if (doc.lineCount() > 1) restoreReference(doc, 0, -1, true);
}

}  // namespace tovala
