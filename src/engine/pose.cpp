#include "engine/pose.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "model/document.h"

namespace tovala {

namespace {

// How far a mirrored reference position may lie from its partner's, in canvas units: the
// generator's and the user's symmetric figures agree far more closely, and joints of one
// figure are not this close to each other sideways.
constexpr float kPairTolerance = 0.5f;

bool isJointLine(const LineRecord& line) { return line.kind == kJointLineKind; }

template <class Fn>
void forEachJointPoint(const Document& doc, LineSpan lines, Fn&& fn) {
  for (int l = lines.first; l < lines.end; ++l) {
    const LineRecord& line = doc.lines[size_t(l)];
    if (!isJointLine(line)) continue;
    for (int p = 0; p < line.pointCount() - 1; ++p) fn(l, p);
  }
}

JointKey keyOf(const Document& doc, int l, int p) {
  return {doc.lines[size_t(l)].nam, doc.lines[size_t(l)].points[size_t(p)].nam};
}

JointPose* findInPose(Pose& pose, JointKey key) {
  for (JointPose& j : pose.joints)
    if (j.key == key) return &j;
  return nullptr;
}

// Movement along x and turns about y and z change sign under a left-right mirror; a turn about
// x, the mirror plane's normal, is the same turn in the mirror image.
void mirrorValues(JointPose& j) {
  j.vd[0] = -j.vd[0];
  j.rad[1] = -j.rad[1];
  j.rad[2] = -j.rad[2];
}

// One joint-line point as the pairing sees it.
struct Candidate {
  JointKey key;
  float x, y, z;   // reference position
  int index;       // place in its line
  int lineLength;  // the line's point count
  bool onCentre;
};

std::vector<Candidate> candidates(const Document& doc, LineSpan lines) {
  std::vector<Candidate> c;
  forEachJointPoint(doc, lines, [&](int l, int p) {
    const LineRecord& line = doc.lines[size_t(l)];
    const PointRecord& pt = line.points[size_t(p)];
    c.push_back({keyOf(doc, l, p), pt.v0x, pt.v0y, pt.v0z, p, line.pointCount(), false});
  });
  return c;
}

// The best partner of c[i] among `all`, or -1: within the tolerance of its mirrored position;
// itself when on the centre line; else the same place in a line of the same length first, the
// nearest next, the first in order last.
int bestPartner(const std::vector<Candidate>& all, size_t i, float centreX) {
  const Candidate& a = all[i];
  if (a.onCentre) return int(i);
  const float mx = 2 * centreX - a.x;
  int best = -1;
  bool bestMatchesShape = false;
  float bestDistance = 0;
  for (size_t j = 0; j < all.size(); ++j) {
    const Candidate& b = all[j];
    if (j == i || b.onCentre) continue;
    const float dx = std::fabs(b.x - mx), dy = std::fabs(b.y - a.y), dz = std::fabs(b.z - a.z);
    if (dx > kPairTolerance || dy > kPairTolerance || dz > kPairTolerance) continue;
    const bool matchesShape = b.index == a.index && b.lineLength == a.lineLength;
    const float distance = dx + dy + dz;
    if (best < 0 || (matchesShape && !bestMatchesShape) ||
        (matchesShape == bestMatchesShape && distance < bestDistance)) {
      best = int(j);
      bestMatchesShape = matchesShape;
      bestDistance = distance;
    }
  }
  return best;
}

// The lines of figure `figure` of the document, the selected figure when it names none.
LineSpan figureLines(const Document& doc, int figure) {
  const std::vector<LineSpan> figures = findFigures(doc);
  if (figure < 0 || size_t(figure) >= figures.size()) figure = selectedFigure(doc, figures);
  return figures[size_t(figure)];
}

int keysFound(const Document& doc, LineSpan lines, const Pose& pose) {
  int found = 0, l = 0, p = 0;
  for (const JointPose& j : pose.joints) found += findJoint(doc, lines, j.key, l, p) ? 1 : 0;
  return found;
}

}  // namespace

std::string listJointKeys(const std::vector<JointKey>& keys, size_t shown) {
  std::string s;
  for (size_t i = 0; i < keys.size() && i < shown; ++i) {
    if (i) s += "、";
    s += "線 " + std::to_string(keys[i].line) + " 点 " + std::to_string(keys[i].point);
  }
  if (keys.size() > shown) s += " ほか " + std::to_string(keys.size() - shown) + " 点";
  return s;
}

bool findJoint(const Document& doc, JointKey key, int& line, int& point) {
  return findJoint(doc, LineSpan{0, doc.lineCount() - 1}, key, line, point);
}

bool findJoint(const Document& doc, LineSpan lines, JointKey key, int& line, int& point) {
  for (int l = std::max(lines.first, 0); l < std::min(lines.end, doc.lineCount() - 1); ++l) {
    const LineRecord& ln = doc.lines[size_t(l)];
    if (ln.nam != key.line || !isJointLine(ln)) continue;
    for (int p = 0; p < ln.pointCount() - 1; ++p) {
      if (ln.points[size_t(p)].nam == key.point) {
        line = l;
        point = p;
        return true;
      }
    }
  }
  return false;
}

Pose capturePose(const Document& doc, int figure) {
  Pose pose;
  pose.whole = {doc.VextX, doc.VextY, doc.VextZ, doc.RadX, doc.RadY, doc.RadZ};
  const std::vector<LineSpan> figures = findFigures(doc);
  if (figure < 0 || size_t(figure) >= figures.size()) figure = selectedFigure(doc, figures);
  const LineSpan lines = figures[size_t(figure)];
  if (figures.size() > 1) pose.figure = figure + 1;
  forEachJointPoint(doc, lines, [&](int l, int p) {
    int firstLine = 0, firstPoint = 0;
    const JointKey key = keyOf(doc, l, p);
    // Only the first point of a key: the one findJoint, and so setPoseValues, reaches.
    if (!findJoint(doc, lines, key, firstLine, firstPoint) || firstLine != l || firstPoint != p)
      return;
    const PointRecord& pt = doc.lines[size_t(l)].points[size_t(p)];
    pose.joints.push_back({key, {pt.vdx, pt.vdy, pt.vdz}, {pt.radx, pt.rady, pt.radz}});
  });
  return pose;
}

int poseFigure(const Document& doc, const std::vector<LineSpan>& figures, const Pose& pose) {
  if (figures.size() <= 1) return 0;
  if (pose.figure >= 1 && size_t(pose.figure) <= figures.size()) return pose.figure - 1;
  const int selected = selectedFigure(doc, figures);
  int best = selected, bestFound = keysFound(doc, figures[size_t(selected)], pose);
  for (size_t f = 0; f < figures.size(); ++f) {
    const int found = keysFound(doc, figures[f], pose);
    if (found > bestFound) best = int(f), bestFound = found;
  }
  return best;
}

std::vector<JointKey> setPoseValues(Document& doc, const Pose& pose) {
  std::vector<JointKey> missing;
  // Reused from call to call: a player sets a pose every frame.
  thread_local std::vector<LineSpan> figures;
  findFigures(doc, figures);
  const LineSpan lines = figures[size_t(poseFigure(doc, figures, pose))];
  for (const JointPose& j : pose.joints) {
    int l = 0, p = 0;
    if (!findJoint(doc, lines, j.key, l, p)) {
      missing.push_back(j.key);
      continue;
    }
    PointRecord& pt = doc.lines[size_t(l)].points[size_t(p)];
    pt.vdx = j.vd[0], pt.vdy = j.vd[1], pt.vdz = j.vd[2];
    pt.radx = j.rad[0], pt.rady = j.rad[1], pt.radz = j.rad[2];
  }
  const auto& w = pose.whole;
  doc.VextX = w[0], doc.VextY = w[1], doc.VextZ = w[2];
  doc.RadX = w[3], doc.RadY = w[4], doc.RadZ = w[5];
  return missing;
}

MirrorPairs findMirrorPairs(const Document& doc, int figure) {
  MirrorPairs out;
  std::vector<Candidate> all = candidates(doc, figureLines(doc, figure));
  if (all.empty()) return out;
  double sum = 0;
  for (const Candidate& c : all) sum += c.x;
  out.centreX = float(sum / double(all.size()));
  for (Candidate& c : all) c.onCentre = std::fabs(c.x - out.centreX) <= kPairTolerance;

  std::vector<int> partner(all.size());
  for (size_t i = 0; i < all.size(); ++i) partner[i] = bestPartner(all, i, out.centreX);
  for (size_t i = 0; i < all.size(); ++i) {
    const int j = partner[i];
    if (j < 0 || partner[size_t(j)] != int(i)) {
      out.unpaired.push_back(all[i].key);
    } else if (size_t(j) >= i) {  // each pair once
      out.pairs.push_back({all[i].key, all[size_t(j)].key});
    }
  }
  return out;
}

void mirrorPose(Pose& pose, const MirrorPairs& pairs) {
  for (const MirrorPairs::Pair& pair : pairs.pairs) {
    JointPose* a = findInPose(pose, pair.a);
    JointPose* b = pair.a == pair.b ? nullptr : findInPose(pose, pair.b);
    // A side the pose does not name stays unnamed on the other side after the swap.
    if (a && b) {
      std::swap(a->vd, b->vd);
      std::swap(a->rad, b->rad);
    } else if (a && !(pair.a == pair.b)) {
      a->key = pair.b;
    } else if (b) {
      b->key = pair.a;
    }
    if (a) mirrorValues(*a);
    if (b) mirrorValues(*b);
  }
  pose.whole[0] = -pose.whole[0];
  pose.whole[4] = -pose.whole[4];
  pose.whole[5] = -pose.whole[5];
}

}  // namespace tovala
