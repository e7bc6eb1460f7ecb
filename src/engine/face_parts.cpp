#include "engine/face_parts.h"

#include <cmath>

#include "model/document.h"

namespace tovala {

namespace {

//                              count  L   Lmax R   Rmax vM  vMax tilt tMax spanL spanR up  low
constexpr FaceSlots kEyeSlots{10, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1, -1};
constexpr FaceSlots kBrowSlots{8, 0, 1, 2, 3, 4, 5, 6, 7, -1, -1, -1, -1};
constexpr FaceSlots kLidSlots{10, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1, -1};  // an eye's run
constexpr FaceSlots kMouthSlots{8, 0, 1, -1, -1, 2, 3, 4, 5, 6, 7, -1, -1};
constexpr FaceSlots kNoseSlots{11, 0, 1, -1, -1, 2, 3, 4, 5, -1, -1, 9, 10};
constexpr FaceSlots kRightContourSlots{9, 0, 1, 2, 3, 4, 5, -1, -1, -1, -1, -1, -1};
constexpr FaceSlots kLeftContourSlots{12, 0, 1, 2, 3, 4, 5, -1, -1, -1, -1, 9, -1};
constexpr FaceSlots kRightEarSlots{9, 0, 1, -1, -1, 2, 3, 4, 5, -1, -1, 7, 8};
constexpr FaceSlots kLeftEarSlots{8, 0, 1, -1, -1, 2, 3, 4, 5, -1, -1, 6, 7};
constexpr FaceSlots kHeadSlots{2, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 1};
constexpr FaceSlots kOtherSlots{14, 0, 1, 2, 3, 4, 5, 7, 8, -1, -1, 12, 13};
constexpr FaceSlots kHairSlots{7, 0, 1, -1, -1, 0, 1, 2, -1, -1, -1, 5, 6};

// Proportion index -1 stands for "no offset".
constexpr FacePlacement kRecordParts[] = {
    {kLeftEye, 1, 2, 3, 4, 1, false},           // record 1
    {kRightEye, 1, 2, 3, 4, -1, false},         // 2
    {kRightBrow, 5, 6, 7, 8, -1, false},        // 3
    {kLeftBrow, 5, 6, 7, 8, 1, false},          // 4
    {kNose, -1, 9, 10, 11, 0, false},           // 5
    {kMouth, -1, 12, 13, 14, 0, false},         // 6
    {kRightContour, -1, 15, 16, 17, 0, false},  // 7
    {kLeftContour, -1, 15, 16, 17, 0, false},   // 8
    {kRightEar, 18, 19, 20, 21, -1, false},     // 11
    {kLeftEar, 18, 19, 20, 21, 1, false},       // 12
    {kRightLid, 22, 23, 24, 25, -1, false},     // 13
    {kLeftLid, 22, 23, 24, 25, 1, false},       // 14
};

constexpr FacePlacement kEyeArea[] = {
    {kRightHead, -1, 26, 27, 28, 0, true},
    {kLeftHead, -1, 26, 27, 28, 0, true},
    {kLeftLowerHair, 29, 30, 31, 32, 1, true},
    {kRightLowerHair, 29, 30, 31, 32, -1, true},
};
constexpr FacePlacement kHairStrand{kFirstHairStrand, -1, 33, 34, 35, 0, true};

}  // namespace

const FaceSlots& faceSlotsOf(int32_t number) {
  switch (number) {
    case kLeftEye:
    case kRightEye: return kEyeSlots;
    case kRightBrow:
    case kLeftBrow: return kBrowSlots;
    case kRightLid:
    case kLeftLid: return kLidSlots;
    case kNose: return kNoseSlots;
    case kMouth: return kMouthSlots;
    case kRightContour: return kRightContourSlots;
    case kLeftContour: return kLeftContourSlots;
    case kRightEar: return kRightEarSlots;
    case kLeftEar: return kLeftEarSlots;
    case kRightHead:
    case kLeftHead: return kHeadSlots;
    case kLeftLowerHair:
    case kRightLowerHair:
    case kOtherPart: return kOtherSlots;
    default: return kHairSlots;
  }
}

const FacePlacement& eyeAreaPlacement(int k) {
  return k >= 0 && k < kMinEyeAreaParts ? kEyeArea[k] : kHairStrand;
}

const FacePlacement* recordPlacement(int record) {
  if (record >= 1 && record <= 8) return &kRecordParts[record - 1];
  if (record >= 11 && record <= 14) return &kRecordParts[record - 3];
  return nullptr;
}

namespace {
struct Box {
  double w, h;
};
Box currentBox(const LineRecord& l) {
  float x0 = 0, x1 = 0, y0 = 0, y1 = 0;
  for (int i = 0; i + 1 < l.pointCount(); ++i) {
    const PointRecord& p = l.points[size_t(i)];
    if (i == 0) x0 = x1 = p.vx, y0 = y1 = p.vy;
    x0 = std::min(x0, p.vx), x1 = std::max(x1, p.vx);
    y0 = std::min(y0, p.vy), y1 = std::max(y1, p.vy);
  }
  return {faceOffsetUnit(double(x1) - x0), faceOffsetUnit(double(y1) - y0)};
}
}  // namespace

std::vector<ParamEntry> faceOffsetRun(const LineRecord& from, const LineRecord& to, int32_t key) {
  std::vector<ParamEntry> run;
  if (from.pointCount() != to.pointCount()) return run;
  const Box box = currentBox(from);
  for (int i = 0; i + 1 < from.pointCount(); ++i) {
    const PointRecord &a = from.points[size_t(i)], &b = to.points[size_t(i)];
    run.push_back(ParamEntry::ofFloat(key, 0, float((double(b.vx) - a.vx) / box.w)));
    run.push_back(ParamEntry::ofFloat(key, 0, float((double(b.vy) - a.vy) / box.h)));
  }
  return run;
}

void applyFaceOffsets(LineRecord& l, int32_t key) {
  const Box box = currentBox(l);
  size_t at = 0;
  while (at < l.params.size() && l.params[at].key != key) ++at;
  for (int i = 0; i + 1 < l.pointCount(); ++i, at += 2) {
    if (at + 1 >= l.params.size() || l.params[at].key != key || l.params[at + 1].key != key) return;
    const float dx = l.params[at].asFloat(), dy = l.params[at + 1].asFloat();
    if (!std::isfinite(dx) || !std::isfinite(dy)) continue;
    l.points[size_t(i)].vx += float(dx * box.w);
    l.points[size_t(i)].vy += float(dy * box.h);
  }
}

int lineWithNumber(const Document& doc, int32_t number) {
  for (int l = 0; l < doc.lineCount() - 1; ++l)
    if (doc.lines[size_t(l)].nam == number) return l;
  return -1;
}

bool pointWithNumber(const Document& doc, int32_t number, int& line, int& point) {
  for (int l = 0; l < doc.lineCount() - 1; ++l)
    for (int p = 0; p < doc.pointCount(l) - 1; ++p)
      if (doc.lines[size_t(l)].points[size_t(p)].nam == number) {
        line = l;
        point = p;
        return true;
      }
  return false;
}

}  // namespace tovala
