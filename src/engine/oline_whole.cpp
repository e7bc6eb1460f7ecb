// The whole-line placement of decorative lines ("円形補"): the decorative points are spread
// along the runs of a reference line and pushed away from a centre point, like a bulge drawn
// outside a body outline. See placeWholeLine in oline.h for the sharing rule.

#include <vector>

#include "engine/oline.h"
#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "model/document.h"

namespace tovala {

namespace {

constexpr int kSplitMode = 2;
constexpr int kIgnoredMode = 3;

// The reference line's drawn points cut into runs: a run ends after a point of mode 2, as the
// stroke does; points of mode 3 are left out.
std::vector<std::vector<DVec3>> referenceRuns(const LineRecord& ref) {
  std::vector<std::vector<DVec3>> runs(1);
  for (int i = 0; i < ref.pointCount() - 1; ++i) {
    const PointRecord& p = ref.points[size_t(i)];
    if (p.mode == kIgnoredMode) continue;
    runs.back().push_back(positionOf(p));
    if (p.mode == kSplitMode) runs.emplace_back();
  }
  if (runs.back().empty()) runs.pop_back();
  return runs;
}

// The point at fraction f of the run's x-y length (z interpolated alike). A run of one point,
// or of no length, gives its first point.
DVec3 alongRun(const std::vector<DVec3>& run, double f) {
  double total = 0;
  for (size_t i = 1; i < run.size(); ++i) total += lengthXY(run[i] - run[i - 1]);
  if (total == 0) return run.front();
  double want = f * total;
  for (size_t i = 1; i < run.size(); ++i) {
    const DVec3 seg = run[i] - run[i - 1];
    const double len = lengthXY(seg);
    if (want <= len && len > 0) return run[i - 1] + seg * (want / len);
    want -= len;
  }
  return run.back();
}

}  // namespace

int placeWholeLine(Document& doc, int line) {
  if (!doc.isValidLine(line)) return -1;
  const ParamList& params = doc.lines[size_t(line)].params;
  const int refAt = findParam(params, kOLineLineRefKey);
  const int centreAt = findParam(params, kOLineCentreKey);
  const int distAt = findParam(params, kOLineThirdKey);
  if (refAt < 0 || centreAt < 0 || distAt < 0) return -1;
  const int refLine = params[size_t(refAt)].asInt() >> 16;
  const int32_t centreRef = params[size_t(centreAt)].asInt();
  if (!doc.isValidLine(refLine) || refLine == line || !isValidAxisRef(doc, centreRef)) return -1;

  const std::vector<std::vector<DVec3>> runs = referenceRuns(doc.lines[size_t(refLine)]);
  LineRecord& l = doc.lines[size_t(line)];
  const int n = l.pointCount() - 1;
  if (runs.empty() || n < 1) return -1;

  const double push = double(params[size_t(distAt)].asFloat()) * usableScale(doc.modelScale);
  const DVec3 centre = axisPosition(doc, centreRef);
  const int r = int(runs.size());
  // Point i goes to run i·r/n; the points of one run are consecutive.
  std::vector<int> count(size_t(r), 0);
  for (int i = 0; i < n; ++i) ++count[size_t(int64_t(i) * r / n)];

  int k = 0;  // index of the point within its run
  for (int i = 0; i < n; ++i) {
    const int j = int(int64_t(i) * r / n);
    if (i > 0 && j != int(int64_t(i - 1) * r / n)) k = 0;
    const int c = count[size_t(j)];
    DVec3 at = alongRun(runs[size_t(j)], double(2 * k + 1) / double(2 * c));
    const DVec3 away = at - centre;
    const double len = lengthXY(away);
    if (len > 0) at = at + DVec3{away.x / len, away.y / len, 0} * push;
    PointRecord& p = l.points[size_t(i)];
    setPosition(p, at);
    p.mode = k == c - 1 ? kSplitMode : 0;
    ++k;
  }
  return 1;
}

}  // namespace tovala
