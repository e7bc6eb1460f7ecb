#include "engine/face_builder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

#include "engine/objects.h"
#include "engine/param_splice.h"
#include "model/document.h"

namespace tovala {

const char* const kFaceObjectNames[kFaceObjectCount] = {
    "頭下髪左",    "頭下髪右",    "左耳",     "右耳",     "輪郭",        "左眉",
    "右眉",        "左まぶた",    "右まぶた", "左目",     "右目",        "頭髪",
    "前髪中左",    "前髪左 主髪", "前髪外左", "前髪中右", "前髪右 主髪", "前髪外右",
    "後髪左 主髪", "後髪右 主髪", "中髪左",   "中髪右"};

namespace {

// Colours (0x00BBGGRR) used when the file leaves one at 0.
constexpr uint32_t kSkin = 0x00C8DCF8;
constexpr uint32_t kHair = 0x00283448;
constexpr uint32_t kLash = 0x00283038;
constexpr uint32_t kEyeWhite = 0x00FFFFFF;
constexpr uint32_t kIris = 0x00304870;
constexpr uint32_t kPupil = 0x00201818;
constexpr uint32_t kHighlight = 0x00FFFFFF;
constexpr uint32_t kFeatureLine = 0x00384860;
constexpr uint32_t kMouthLine = 0x004858A8;
constexpr uint32_t kSoftLine = 0x006880A8;
// Iris and highlight boxes (xxyywwhh, percent of the eye): a large iris, a small light above
// its centre and to the side.
constexpr uint32_t kIrisSetting = 0x0000465A;
constexpr uint32_t kLightSetting = 0x0CF31818;
constexpr uint32_t kEyeSize = (6000u << 16) | 9500u;

// T2 words.
enum {
  kT2Skin,
  kT2Hair,
  kT2Brow,
  kT2Lash,
  kT2White,
  kT2Iris,
  kT2Light,
  kT2IrisSet,
  kT2LightSet,
  kT2EyeSize,
  kT2Mouth
};

constexpr double kDefaultHeadDepth = 0.9;  // head depth / half the face width
constexpr double kEarDepth = -0.2;         // ears sit behind the face's widest line
constexpr double kLowerHairDepth = -0.3;

uint32_t orDefault(uint32_t v, uint32_t fallback) { return v ? v : fallback; }
float orDefault(float v, float fallback) { return v != 0 && std::isfinite(v) ? v : fallback; }

int32_t rangeRef(int line, int point) {
  return line < 0 || point < 0
             ? -1
             : int32_t((uint32_t(line) << 16) | (uint32_t(point) << 8) | uint32_t(point & 0xFF));
}

// The extent of a part's rest positions, relative to the face centre.
struct Extent {
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
  int n = 0;
  double xc() const { return (xmin + xmax) / 2; }
  double yc() const { return (ymin + ymax) / 2; }
};

Extent measure(const LineRecord& l, const FaceFrame& f) {
  Extent e;
  for (int i = 0; i + 1 < l.pointCount(); ++i) {
    const double x = l.points[size_t(i)].v0x - f.cx, y = l.points[size_t(i)].v0y - f.cy;
    if (e.n++ == 0) {
      e.xmin = e.xmax = x;
      e.ymin = e.ymax = y;
    } else {
      e.xmin = std::min(e.xmin, x), e.xmax = std::max(e.xmax, x);
      e.ymin = std::min(e.ymin, y), e.ymax = std::max(e.ymax, y);
    }
  }
  return e;
}

// The point of `line` nearest to (x, y) on the canvas, or -1.
int nearestPoint(const Document& doc, int line, double x, double y) {
  if (line < 0) return -1;
  int best = -1;
  double bestD = 0;
  const LineRecord& l = doc.lines[size_t(line)];
  for (int i = 0; i + 1 < l.pointCount(); ++i) {
    const double d = std::hypot(l.points[size_t(i)].v0x - x, l.points[size_t(i)].v0y - y);
    if (best < 0 || d < bestD) best = i, bestD = d;
  }
  return best;
}

class Builder {
 public:
  Builder(Document& doc, const FaceData& d, const FaceFrame& f, const FaceAux& aux,
          std::span<const int> parts, int jl, int jp)
      : doc_(doc),
        d_(d),
        f_(f),
        aux_(aux),
        parts_(parts.begin(), parts.end()),
        jointRef_(int32_t((uint32_t(jl) << 16) | (uint32_t(jp) << 8))) {
    depth_ = d.P[kPropHeadDepth] >= 0.2f && d.P[kPropHeadDepth] <= 2.0f ? d.P[kPropHeadDepth]
                                                                        : kDefaultHeadDepth;
  }

  void settings();
  void looks();
  void objects();

 private:
  double z(double x, double y) const { return faceDepthAt(f_, depth_, x, y); }
  // This face's part line numbered `number`, or -1.
  int lineOf(int32_t number) const {
    for (int line : parts_)
      if (doc_.lines[size_t(line)].nam == number) return line;
    return -1;
  }
  double headDepth() const { return depth_ * f_.width * 0.5; }
  // Canvas position of an auxiliary sample (face units: -1 .. 1 across the face), or false.
  bool auxAt(const FaceSample& s, double& x, double& y) const {
    if (s.mode < 0) return false;
    x = f_.cx + s.x * f_.width * 0.5;
    y = f_.cy + s.y * f_.height * 0.5;
    return true;
  }
  void storeRun(int line, int32_t part, std::vector<uint32_t> run,
                const std::vector<ParamEntry>& side);
  std::vector<uint32_t> ordinaryRun(int32_t number, const Extent& e, double move, double lift);
  std::vector<ParamEntry> contourSides(const LineRecord& l) const;
  int32_t connection(const std::array<int32_t, 3>& t) const;
  void addObject(int nameIndex, int32_t drawType, uint32_t colour, float offset,
                 std::initializer_list<std::pair<int32_t, int>> pieces);

  Document& doc_;
  const FaceData& d_;
  FaceFrame f_;
  FaceAux aux_;
  std::vector<int> parts_;  // the lines this read created, in index order
  int32_t jointRef_;
  double depth_;
};

std::vector<uint32_t> Builder::ordinaryRun(int32_t number, const Extent& e, double move,
                                           double lift) {
  const FaceSlots& s = faceSlotsOf(number);
  std::vector<uint32_t> run(size_t(s.count), 0);
  auto put = [&](int slot, double v) {
    if (slot >= 0) run[size_t(slot)] = std::bit_cast<uint32_t>(float(v));
  };
  const double reach = f_.width * 0.5, rise = f_.height * 0.5;
  // Parts that move as one take `move`; the others take the depth of each end.
  put(s.leftMove, s.rightMove < 0 ? move : z(e.xmin, e.yc()));
  put(s.leftMax, reach);
  put(s.rightMove, z(e.xmax, e.yc()));
  put(s.rightMax, reach);
  put(s.vMove, lift);
  put(s.vMax, rise);
  put(s.spanLeft, e.xmin);
  put(s.spanRight, e.xmax);
  for (int slot : {s.upper, s.lower})
    if (slot >= 0) run[size_t(slot)] = uint32_t(-1);
  return run;
}

// The contour's side view, two entries per real point (face_parts.h): at a full turn a point
// swings sideways by its depth on the head, so points at the face's edge (no depth) stay on the
// head's outline while the chin swings with the features; no point moves up or down.
std::vector<ParamEntry> Builder::contourSides(const LineRecord& l) const {
  std::vector<ParamEntry> out;
  const double full = std::max(headDepth(), 1e-6);
  double x0 = 0, x1 = 0;
  for (int i = 0; i + 1 < l.pointCount(); ++i) {
    const double x = l.points[size_t(i)].v0x;
    x0 = i == 0 ? x : std::min(x0, x), x1 = i == 0 ? x : std::max(x1, x);
  }
  const double width = faceOffsetUnit(x1 - x0);
  for (int i = 0; i + 1 < l.pointCount(); ++i) {
    const double x = l.points[size_t(i)].v0x - f_.cx, y = l.points[size_t(i)].v0y - f_.cy;
    const double zz = z(x, y);
    out.push_back(ParamEntry::ofFloat(kFaceSideKey, 0, float(zz / full * zz / width)));
    out.push_back(ParamEntry::ofFloat(kFaceSideKey, 0, 0.0f));
  }
  return out;
}

void Builder::storeRun(int line, int32_t part, std::vector<uint32_t> run,
                       const std::vector<ParamEntry>& side) {
  // Tuning pairs from the file: (part << 8 | slot, value).
  for (const auto& t : d_.t7)
    if (int32_t(t[0] >> 8) == part && (t[0] & 0xFF) < run.size()) run[t[0] & 0xFF] = t[1];
  std::vector<ParamEntry> entries;
  entries.push_back(ParamEntry::ofInt(kFacePartKey, 0, part));
  entries.push_back(ParamEntry::ofFloat(kFaceRefKey, 0, doc_.faceRef));
  for (uint32_t v : run) entries.push_back({kFaceSlotKey, 0, v});
  entries.insert(entries.end(), side.begin(), side.end());
  replaceKindRange(doc_.lines[size_t(line)], kFacePartKey, kFaceSideKey, entries);
}

int32_t Builder::connection(const std::array<int32_t, 3>& t) const {
  if (t[2] == 0) return -1;
  // A part of this face first; a number that is not one of its parts names a line of the
  // document (the figure the face sits on).
  int line = lineOf(t[0]);
  if (line < 0) line = lineWithNumber(doc_, t[0]);
  if (line < 0 || t[1] < 0 || t[1] >= doc_.pointCount(line) - 1) return -1;
  return rangeRef(line, t[1]);
}

void Builder::settings() {
  const int nose = lineOf(kNose);
  for (int line : parts_) {
    const LineRecord& l = doc_.lines[size_t(line)];
    const int32_t number = l.nam;
    if (l.category == kFaceCategory && number >= kLeftEye && number <= kRightLowerHair) {
      const Extent e = measure(l, f_);
      const double centre = z(e.xc(), e.yc());
      if (number == kRightContour || number == kLeftContour) {
        std::vector<uint32_t> run(size_t(faceSlotsOf(number).count), 0);
        run[4] = std::bit_cast<uint32_t>(float(headDepth() * 0.6));  // the chin follows a nod
        run[5] = std::bit_cast<uint32_t>(float(f_.height * 0.5));
        if (number == kLeftContour) run[9] = uint32_t(rangeRef(nose, nose >= 0 ? 0 : -1));
        storeRun(line, number, run, contourSides(l));
        continue;
      }
      double move = centre, lift = centre;
      if (number == kNose) move = lift = centre + d_.P[kPropNoseHeight] * f_.width;
      if (number == kRightEar || number == kLeftEar) move = lift = kEarDepth * headDepth();
      if (number == kLeftLowerHair || number == kRightLowerHair)
        move = lift = kLowerHairDepth * headDepth();
      const int32_t part =
          number == kLeftLowerHair || number == kRightLowerHair ? kOtherPart : number;
      std::vector<uint32_t> run = ordinaryRun(part, e, move, lift);
      const FaceSlots& s = faceSlotsOf(part);
      if (number == kNose) {
        run[6] = run[7] = std::bit_cast<uint32_t>(1.0f);  // width and height kept
        run[size_t(s.upper)] = uint32_t(rangeRef(line, 0));
        run[size_t(s.lower)] = uint32_t(rangeRef(line, l.pointCount() - 2));
      }
      if (number == kRightEar || number == kLeftEar) {
        const int contour = lineOf(number == kRightEar ? kRightContour : kLeftContour);
        run[size_t(s.upper)] = uint32_t(
            rangeRef(contour, nearestPoint(doc_, contour, f_.cx + e.xc(), f_.cy + e.ymin)));
        run[size_t(s.lower)] = uint32_t(
            rangeRef(contour, nearestPoint(doc_, contour, f_.cx + e.xc(), f_.cy + e.ymax)));
      }
      if (number == kRightHead || number == kLeftHead) {
        // Upper: the head line's point nearest the crown; lower: where it meets the contour.
        double x = f_.cx, y = f_.cy - f_.height * 0.5;
        auxAt(aux_.crown, x, y);
        run[0] = uint32_t(rangeRef(line, nearestPoint(doc_, line, x, y)));
        const int contour = lineOf(number == kRightHead ? kRightContour : kLeftContour);
        run[1] = uint32_t(rangeRef(contour, contour >= 0 ? 0 : -1));
      }
      storeRun(line, part, run, {});
    } else if (l.category == kHairCategory && number >= kFirstHairStrand) {
      const int k = number - 330;
      const Extent e = measure(l, f_);
      double depth = z(e.xc(), e.yc());
      if (number == 340 || number == 341) depth = -0.6 * headDepth();  // back hair
      if (number == 342 || number == 343) depth = -0.3 * headDepth();  // middle hair
      std::vector<uint32_t> run = ordinaryRun(number, e, depth, depth);
      int32_t upper = size_t(k) < d_.t3.size() ? connection(d_.t3[size_t(k)]) : -1;
      if (upper < 0) {
        // Hang the strand from the nearer head line: front hair from the point nearest the
        // parting, other strands from the point nearest their own top.
        double x = f_.cx + e.xc(), y = f_.cy + e.ymin;
        if (number < 340) auxAt(aux_.parting, x, y);
        const int head = lineOf(x < f_.cx ? kRightHead : kLeftHead);
        upper = rangeRef(head, nearestPoint(doc_, head, x, y));
      }
      run[5] = uint32_t(upper);
      run[6] = uint32_t(size_t(k) < d_.t4.size() ? connection(d_.t4[size_t(k)]) : -1);
      storeRun(line, number, run, {});
    }
  }
}

void Builder::looks() {
  const uint32_t hair = orDefault(d_.t2[kT2Hair], kHair);
  for (int line : parts_) {
    LineRecord& l = doc_.lines[size_t(line)];
    const int32_t n = l.nam;
    if (l.category == kFaceCategory && n >= kLeftEye && n <= kRightLowerHair) {
      switch (n) {
        case kLeftEye:
        case kRightEye: l.cr = orDefault(d_.t2[kT2Lash], kLash); break;
        case kRightBrow:
        case kLeftBrow: l.cr = orDefault(d_.t2[kT2Brow], hair); break;
        case kRightLid:
        case kLeftLid: l.cr = orDefault(d_.t2[kT2Lash], kLash); break;
        case kMouth: l.cr = orDefault(d_.t2[kT2Mouth], kMouthLine); break;
        case kNose: l.cr = kSoftLine; break;
        case kRightContour:
        case kLeftContour:
        case kRightEar:
        case kLeftEar: l.cr = kFeatureLine; break;
        default: l.cr = hair; break;
      }
      const float width = orDefault(std::bit_cast<float>(d_.t5[size_t(n - kLeftEye)]), 0.0f);
      if (width > 0 && width <= 40) l.brw = l.brh = width;
    } else if (l.category == kHairCategory && n >= kFirstHairStrand) {
      const size_t k = size_t(n - 330);
      l.cr = k < d_.t1.size() && d_.t1[k] ? uint32_t(d_.t1[k]) : hair;
    }
  }
  // A face read onto a figure takes the figure's skin unless the file names its own.
  doc_.skinColor = orDefault(d_.t2[kT2Skin], orDefault(doc_.skinColor, kSkin));
}

void Builder::addObject(int nameIndex, int32_t drawType, uint32_t colour, float offset,
                        std::initializer_list<std::pair<int32_t, int>> pieces) {
  ObjectRecord o;
  setObjectName(o, kFaceObjectNames[nameIndex]);
  o.header[kObjectDrawType] = drawType;
  o.header[kObjectColour] = int32_t(colour);
  o.header[kObjectMode] = kObjectModeFace;
  o.header[kObjectReference] = jointRef_;
  o.a[0] = std::bit_cast<int32_t>(offset);
  int slot = 0;
  for (const auto& [number, rule] : pieces) {
    const int line = lineOf(number);
    if (line < 0) continue;
    const int last = std::max(doc_.pointCount(line) - 2, 0);
    o.c[size_t(slot)] = line;
    o.d[size_t(slot)] = packPieceRule(
        {0, rule == kPieceBackward ? last : 0, rule == kPieceBackward ? 0 : last, rule});
    ++slot;
  }
  if (isEyeObject(o)) {
    const uint32_t eye[] = {orDefault(d_.t2[kT2White], kEyeWhite),
                            orDefault(d_.t2[kT2Iris], kIris),
                            orDefault(d_.t2[kT2EyeSize], kEyeSize),
                            orDefault(d_.t2[kT2IrisSet], kIrisSetting),
                            kPupil,
                            orDefault(d_.t2[kT2LightSet], kLightSetting),
                            orDefault(d_.t2[kT2Light], kHighlight)};
    for (int i = 0; i < 7; ++i) o.d[size_t(3 + i)] = int32_t(eye[i]);
  }
  tovala::addObject(doc_, o);
}

void Builder::objects() {
  const uint32_t skin = doc_.skinColor;
  const uint32_t hair = orDefault(d_.t2[kT2Hair], kHair);
  const uint32_t brow = orDefault(d_.t2[kT2Brow], hair);
  const uint32_t lash = orDefault(d_.t2[kT2Lash], kLash);
  auto off = [&](int i, float fallback) {
    return orDefault(std::bit_cast<float>(d_.t6[size_t(i)]), fallback);
  };
  // The face in front of whatever head it sits on, the hair mass and the back hair behind it.
  const float front = off(0, 10), back = off(1, -25), middle = off(2, -15), lower = off(3, -20),
              head = off(4, -10);
  const int32_t fill = kDrawFilled | kShapeNormal;
  const int32_t eye = kDrawFilled | kShapeEye;
  addObject(0, fill, hair, lower, {{kLeftLowerHair, kPieceForward}});
  addObject(1, fill, hair, lower, {{kRightLowerHair, kPieceForward}});
  addObject(2, fill, skin, -3, {{kLeftEar, kPieceForward}});
  addObject(3, fill, skin, -3, {{kRightEar, kPieceForward}});
  addObject(4, fill, skin, 5, {{kRightContour, kPieceForward}, {kLeftContour, kPieceBackward}});
  addObject(5, fill, brow, 7, {{kLeftBrow, kPieceForward}});
  addObject(6, fill, brow, 7, {{kRightBrow, kPieceForward}});
  addObject(7, fill, lash, 8, {{kLeftLid, kPieceForward}});
  addObject(8, fill, lash, 8, {{kRightLid, kPieceForward}});
  addObject(9, eye, orDefault(d_.t2[kT2White], kEyeWhite), 6, {{kLeftEye, kPieceForward}});
  addObject(10, eye, orDefault(d_.t2[kT2White], kEyeWhite), 6, {{kRightEye, kPieceForward}});
  addObject(11, fill, hair, head, {{kRightHead, kPieceForward}, {kLeftHead, kPieceBackward}});
  for (int i = 0; i < 6; ++i) addObject(12 + i, fill, hair, front, {{334 + i, kPieceForward}});
  addObject(18, fill, hair, back, {{340, kPieceForward}});
  addObject(19, fill, hair, back, {{341, kPieceForward}});
  addObject(20, fill, hair, middle, {{342, kPieceForward}});
  addObject(21, fill, hair, middle, {{343, kPieceForward}});
}

}  // namespace

double faceDepthAt(const FaceFrame& f, double headDepth, double x, double y) {
  const double rx = f.width * 0.5, ry = f.height * 0.6;
  if (rx <= 0 || ry <= 0) return 0;
  const double q = 1.0 - (x / rx) * (x / rx) - (y / ry) * (y / ry);
  return headDepth * rx * std::sqrt(std::max(0.0, q));
}

void buildFace(Document& doc, const FaceData& data, const FaceFrame& frame, const FaceAux& aux,
               std::span<const int> partLines, int jointLine, int jointPoint) {
  Builder b(doc, data, frame, aux, partLines, jointLine, jointPoint);
  b.settings();
  b.looks();
  b.objects();
}

}  // namespace tovala
