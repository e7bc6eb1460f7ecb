#include "engine/pose_history.h"

#include <utility>

namespace tovala {

namespace {

bool sameMotion(const PointMotion& a, const PointMotion& b) {
  return a.vdx == b.vdx && a.vdy == b.vdy && a.vdz == b.vdz && a.radx == b.radx &&
         a.rady == b.rady && a.radz == b.radz;
}

}  // namespace

bool sameValues(const PoseValues& a, const PoseValues& b) {
  if (a.whole != b.whole || a.lines != b.lines || a.counts != b.counts ||
      a.motions.size() != b.motions.size())
    return false;
  for (size_t i = 0; i < a.motions.size(); ++i)
    if (!sameMotion(a.motions[i], b.motions[i])) return false;
  return true;
}

PoseValues capturePoseValues(const Document& doc) {
  PoseValues v;
  v.whole = {doc.VextX, doc.VextY, doc.VextZ, doc.RadX, doc.RadY, doc.RadZ};
  for (int l = 0; l < doc.lineCount() - 1; ++l) {
    const LineRecord& line = doc.lines[size_t(l)];
    if (line.kind != kJointLineKind) continue;
    v.lines.push_back(l);
    v.counts.push_back(line.pointCount());
    for (const PointRecord& p : line.points)
      v.motions.push_back({p.vdx, p.vdy, p.vdz, p.radx, p.rady, p.radz});
  }
  return v;
}

bool restorePoseValues(Document& doc, const PoseValues& values) {
  if (values.lines.size() != values.counts.size()) return false;
  size_t total = 0;
  for (size_t i = 0; i < values.lines.size(); ++i) {
    const int l = values.lines[i];
    if (!doc.isValidLine(l) || doc.lines[size_t(l)].kind != kJointLineKind ||
        doc.lines[size_t(l)].pointCount() != values.counts[i])
      return false;
    total += size_t(values.counts[i]);
  }
  if (total != values.motions.size()) return false;
  size_t k = 0;
  for (int l : values.lines)
    for (PointRecord& p : doc.lines[size_t(l)].points) {
      const PointMotion& m = values.motions[k++];
      p.vdx = m.vdx;
      p.vdy = m.vdy;
      p.vdz = m.vdz;
      p.radx = m.radx;
      p.rady = m.rady;
      p.radz = m.radz;
    }
  doc.VextX = values.whole[0];
  doc.VextY = values.whole[1];
  doc.VextZ = values.whole[2];
  doc.RadX = values.whole[3];
  doc.RadY = values.whole[4];
  doc.RadZ = values.whole[5];
  return true;
}

void PoseHistory::clear() {
  undo_.clear();
  redo_.clear();
}

void PoseHistory::record(PoseValues before) {
  undo_.push_back(std::move(before));
  if (undo_.size() > kSteps) undo_.pop_front();
  redo_.clear();
}

bool PoseHistory::undo(PoseValues current, PoseValues& out) {
  if (undo_.empty()) return false;
  out = std::move(undo_.back());
  undo_.pop_back();
  redo_.push_back(std::move(current));
  return true;
}

bool PoseHistory::redo(PoseValues current, PoseValues& out) {
  if (redo_.empty()) return false;
  out = std::move(redo_.back());
  redo_.pop_back();
  undo_.push_back(std::move(current));
  return true;
}

}  // namespace tovala
