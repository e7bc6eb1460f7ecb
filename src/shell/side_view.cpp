#include "shell/side_view.h"

#include <utility>

#include "model/document.h"

namespace tovala {

void exchangeSideView(Document& doc, bool on) {
  const float half = float(doc.imageWidth) / 2;
  for (LineRecord& line : doc.lines) {
    for (PointRecord& p : line.points) {
      const float x = p.vx;
      const float z = p.vz;
      p.vx = on ? half + z : z;
      p.vz = on ? x : x - half;
    }
  }
}

}  // namespace tovala
