#include "engine/face_move.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <vector>

#include "engine/cast.h"
#include "engine/face_parts.h"
#include "engine/param_splice.h"
#include "model/document.h"

namespace tovala {

namespace {

constexpr double kQuarterTurn = 1.5707963267948966;

// The joint's pose, taken once.
struct Pose {
  double cx0, cy0;  // rest centre (the joint's reference)
  double cx, cy;    // where the joint is now
  double turnSin, turnCos, nodSin, nodCos, rollSin, rollCos;
};

// The joint's frame, when something has turned it (its parents, or its own rotation applied
// by TPRot): the front axis (unitZ) leaning sideways is the turn, leaning down the nod, and the
// x axis the tilt. False while the frame is still the reference frame.
bool turnedFrame(const PointRecord& j, double scale, Pose& p) {
  const double s = scale > 0 ? scale : 1.0;
  auto axis = [&](const std::array<float, 3>& tip) {
    return std::array<double, 3>{(tip[0] - j.vx) / s, (tip[1] - j.vy) / s, (tip[2] - j.vz) / s};
  };
  const auto ux = axis(j.unitX), uy = axis(j.unitY), uz = axis(j.unitZ);
  // Only a frame of unit axes is a turned frame; tips left behind by a joint moved on its own
  // say nothing about its turn.
  constexpr double kEps = 1e-3;
  for (const auto& u : {ux, uy, uz})
    if (std::fabs(u[0] * u[0] + u[1] * u[1] + u[2] * u[2] - 1.0) > kEps) return false;
  if (std::fabs(uz[0]) < 1e-5 && std::fabs(uz[1]) < 1e-5 && std::fabs(ux[1]) < 1e-5) return false;
  p.turnSin = std::clamp(uz[0], -1.0, 1.0);
  p.turnCos = std::sqrt(1.0 - p.turnSin * p.turnSin);
  p.nodSin = std::clamp(uz[1], -1.0, 1.0);
  p.nodCos = std::sqrt(1.0 - p.nodSin * p.nodSin);
  const double roll = std::atan2(-ux[1], ux[0]);
  p.rollSin = std::sin(roll), p.rollCos = std::cos(roll);
  return true;
}

Pose poseOf(const PointRecord& j, double scale) {
  Pose p;
  p.cx0 = j.v0x, p.cy0 = j.v0y, p.cx = j.vx, p.cy = j.vy;
  if (turnedFrame(j, scale, p)) return p;
  // A positive y rotation turns the face's front towards smaller x, as a joint's rotation about
  // its Y axis turns the points in front of it; a positive x rotation lowers the front.
  const double turn = -std::clamp(double(j.rady), -kQuarterTurn, kQuarterTurn);
  const double nod = std::clamp(double(j.radx), -kQuarterTurn, kQuarterTurn);
  p.turnSin = std::sin(turn), p.turnCos = std::cos(turn);
  p.nodSin = std::sin(nod), p.nodCos = std::cos(nod);
  p.rollSin = std::sin(double(j.radz)), p.rollCos = std::cos(double(j.radz));
  return p;
}

// Places a point at offset (x, y) from the rest centre: tilted with the joint and carried to
// where the joint is.
void put(PointRecord& pt, const Pose& p, double x, double y) {
  pt.vx = float(p.cx + x * p.rollCos + y * p.rollSin);
  pt.vy = float(p.cy + y * p.rollCos - x * p.rollSin);
  pt.vz = pt.v0z;
}

std::vector<float> slotsOf(const LineRecord& l) {
  std::vector<float> run;
  const int at = findParam(l.params, kFaceSlotKey);
  for (size_t i = at < 0 ? l.params.size() : size_t(at);
       i < l.params.size() && l.params[i].key == kFaceSlotKey; ++i)
    run.push_back(l.params[i].asFloat());
  return run;
}

float slot(const std::vector<float>& run, int i) {
  return i >= 0 && size_t(i) < run.size() && std::isfinite(run[size_t(i)]) ? run[size_t(i)] : 0;
}

int32_t slotRef(const LineRecord& l, int i) {
  const int at = findParam(l.params, kFaceSlotKey);
  if (at < 0 || i < 0 || size_t(at + i) >= l.params.size()) return -1;
  const ParamEntry& e = l.params[size_t(at + i)];
  return e.key == kFaceSlotKey ? e.asInt() : -1;
}

double limited(double v, double limit) {
  limit = std::fabs(limit);
  return limit > 0 ? std::clamp(v, -limit, limit) : v;
}

struct Span {
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

Span restSpan(const LineRecord& l, const Pose& p) {
  Span s;
  bool first = true;
  for (int i = 0; i + 1 < l.pointCount(); ++i) {
    const double x = l.points[size_t(i)].v0x - p.cx0, y = l.points[size_t(i)].v0y - p.cy0;
    if (first) s = {x, x, y, y}, first = false;
    s.xmin = std::min(s.xmin, x), s.xmax = std::max(s.xmax, x);
    s.ymin = std::min(s.ymin, y), s.ymax = std::max(s.ymax, y);
  }
  return s;
}

// Eyes, brows, lids, nose, mouth, ears, the lower hair and the hair strands: each end travels
// sideways by its depth, the points between in proportion, and the part narrows with the turn.
void moveOrdinary(LineRecord& l, const FaceSlots& s, const Pose& p) {
  const std::vector<float> run = slotsOf(l);
  Span span = restSpan(l, p);
  if (s.spanLeft >= 0 && slot(run, s.spanRight) > slot(run, s.spanLeft))
    span.xmin = slot(run, s.spanLeft), span.xmax = slot(run, s.spanRight);
  const double left = limited(slot(run, s.leftMove) * p.turnSin, slot(run, s.leftMax));
  const double right =
      s.rightMove < 0 ? left : limited(slot(run, s.rightMove) * p.turnSin, slot(run, s.rightMax));
  const double lift = limited(slot(run, s.vMove) * p.nodSin, slot(run, s.vMax));
  const double tilt = limited(slot(run, s.tilt) * p.turnSin, slot(run, s.tiltMax));
  const double tc = std::cos(tilt), ts = std::sin(tilt);
  const double mx = (span.xmin + span.xmax) / 2, my = (span.ymin + span.ymax) / 2;
  const double width = span.xmax - span.xmin;
  for (int i = 0; i + 1 < l.pointCount(); ++i) {
    PointRecord& pt = l.points[size_t(i)];
    const double x = pt.v0x - p.cx0, y = pt.v0y - p.cy0;
    const double t = width > 0 ? std::clamp((x - span.xmin) / width, 0.0, 1.0) : 0.5;
    double nx = x * p.turnCos + left + (right - left) * t;
    double ny = y * p.nodCos + lift;
    if (tilt != 0) {
      const double rx = nx - mx, ry = ny - my;
      nx = mx + rx * tc + ry * ts;
      ny = my + ry * tc - rx * ts;
    }
    put(pt, p, nx, ny);
  }
}

// A line's per-point offsets under `key` (two entries per real point, x and y, in widths and
// heights of the line's rest box), as canvas offsets; points without entries get none.
std::vector<std::array<double, 2>> offsetsOf(const LineRecord& l, int32_t key, const Span& box) {
  std::vector<std::array<double, 2>> out(size_t(std::max(l.pointCount() - 1, 0)));
  const int at = findParam(l.params, key);
  if (at < 0) return out;
  const double w = faceOffsetUnit(box.xmax - box.xmin), h = faceOffsetUnit(box.ymax - box.ymin);
  for (size_t i = 0; i < out.size(); ++i)
    for (size_t k = 0; k < 2; ++k) {
      const size_t e = size_t(at) + 2 * i + k;
      if (e >= l.params.size() || l.params[e].key != key) return out;
      const float f = l.params[e].asFloat();
      out[i][k] = std::isfinite(f) ? f * (k == 0 ? w : h) : 0;
    }
  return out;
}

// A contour point goes towards its side view (key 103, the view at a full turn towards larger
// x) as the face turns that way, towards its mirror image as it turns the other way; the lower
// it sits, the more it follows a nod.
void moveContour(LineRecord& l, const FaceSlots& s, const Pose& p) {
  const std::vector<float> run = slotsOf(l);
  const Span span = restSpan(l, p);
  const double lift = limited(slot(run, s.vMove) * p.nodSin, slot(run, s.vMax));
  const auto side = offsetsOf(l, kFaceSideKey, span);
  const double reach = std::fabs(p.turnSin);
  for (int i = 0; i + 1 < l.pointCount(); ++i) {
    PointRecord& pt = l.points[size_t(i)];
    const double x = pt.v0x - p.cx0, y = pt.v0y - p.cy0;
    const double low = span.ymax > span.ymin ? (y - span.ymin) / (span.ymax - span.ymin) : 1.0;
    put(pt, p, x + side[size_t(i)][0] * p.turnSin,
        y * p.nodCos + lift * low + side[size_t(i)][1] * reach);
  }
}

// The part's correction sets, each added as far as the face has gone its set's way.
void addCorrections(LineRecord& l, const Pose& p) {
  const double reach[kFaceCorrectionSets] = {std::max(p.turnSin, 0.0), std::max(-p.turnSin, 0.0),
                                             std::max(p.nodSin, 0.0), std::max(-p.nodSin, 0.0)};
  const Span span = restSpan(l, p);
  for (int set = 1; set <= kFaceCorrectionSets; ++set) {
    const double weight = reach[set - 1];
    if (weight <= 0 || findParam(l.params, faceCorrectionKey(set)) < 0) continue;
    const auto off = offsetsOf(l, faceCorrectionKey(set), span);
    for (size_t i = 0; i < off.size(); ++i) {
      const double dx = off[i][0] * weight, dy = off[i][1] * weight;
      PointRecord& pt = l.points[i];
      pt.vx += float(dx * p.rollCos + dy * p.rollSin);
      pt.vy += float(dy * p.rollCos - dx * p.rollSin);
    }
  }
}

void moveRigid(LineRecord& l, const Pose& p) {
  for (int i = 0; i + 1 < l.pointCount(); ++i) {
    PointRecord& pt = l.points[size_t(i)];
    put(pt, p, pt.v0x - p.cx0, pt.v0y - p.cy0);
  }
}

// The hair strands whose upper connection point lies on head line `head`.
void moveStrandsOf(Document& doc, int head, const Pose& p) {
  const LineSpan lines = passLines(doc);
  for (int l = lines.first; l < lines.end; ++l) {
    LineRecord& line = doc.lines[size_t(l)];
    if (line.category != kHairCategory) continue;
    const int part = findParam(line.params, kFacePartKey);
    if (part < 0 || line.params[size_t(part)].asInt() < kFirstHairStrand) continue;
    const FaceSlots& s = faceSlotsOf(kFirstHairStrand);
    const int32_t upper = slotRef(line, s.upper);
    if (upper >= 0 && (upper >> 16) == head) {
      moveOrdinary(line, s, p);
      addCorrections(line, p);
    }
  }
}

}  // namespace

int faceMoveAll(Document& doc, int line, int point, int) {
  if (doc.isValidPick(line, point) < 0) return -1;
  const Pose pose = poseOf(doc.lines[size_t(line)].points[size_t(point)], doc.modelScale);
  for (int32_t number = kLeftEye; number <= kRightLowerHair; ++number) {
    const int index = findLineInPass(doc, number);
    if (!doc.isValidLine(index)) continue;
    LineRecord& part = doc.lines[size_t(index)];
    switch (number) {
      case kRightContour:
      case kLeftContour: moveContour(part, faceSlotsOf(number), pose); break;
      case kRightHead:
      case kLeftHead:
        moveRigid(part, pose);
        moveStrandsOf(doc, index, pose);
        break;
      case kLeftLowerHair:
      case kRightLowerHair: moveOrdinary(part, faceSlotsOf(kOtherPart), pose); break;
      default: moveOrdinary(part, faceSlotsOf(number), pose); break;
    }
    addCorrections(part, pose);
  }
  return 1;
}

}  // namespace tovala
