#include "shell/panels/joint/joint_panel_work.h"

#include <cstdio>

#include "engine/cline_capture.h"
#include "engine/guide_geometry.h"
#include "engine/point_math.h"
#include "model/document.h"

namespace tovala {

namespace {

constexpr const char* kLimitLabels[12] = {"x移動の最小値 ", "x移動の最大値 ", "y移動の最小値値 ",
                                          "y移動の最大値 ", "z移動の最小値 ", "z移動の最大値 ",
                                          "x回転の最小値 ", "x回転の最大値 ", "y回転の最小値 ",
                                          "y回転の最大値 ", "z回転の最小値 ", "z回転の最大値 "};
constexpr const char* kCoRotationLabel = "共回転点 ";
constexpr const char* kUnknownLabel = "不明 ";

std::string format(const char* fmt, auto... args) {
  char buf[96];
  std::snprintf(buf, sizeof buf, fmt, args...);
  return buf;
}

// The limits as the joint operations read them: the entry of key 6 and the five after it, the
// entry of key 12 and the five after it; limits without an entry keep the panel's values.
void readRanges(const ParamList& list, double scale, JointRanges& ranges) {
  for (const int32_t key : {kJointFirstKey, kRotationFirstKey}) {
    const int first = findParam(list, key);
    if (first < 0) continue;
    const size_t base = key == kJointFirstKey ? 0 : 6;
    for (size_t i = 0; i < 6 && size_t(first) + i + 1 < list.size(); ++i) {
      const float f = list[size_t(first) + i].asFloat();
      ranges[base + i] = base == 0 ? float(double(f) * scale) : f;
    }
  }
}

}  // namespace

JointLoad loadJointWork(const Document& doc, int line, int point, JointWork& work) {
  if (!doc.isValidLine(line)) return JointLoad::BadLine;
  if (doc.isValidPick(line, point) != 1) return JointLoad::BadPoint;
  const PointRecord& p = doc.lines[size_t(line)].points[size_t(point)];
  const double scale = usableScale(doc.modelScale);
  if (p.params.size() <= 1) {
    work.list = {ParamEntry::sentinel()};
    replaceJointRange(doc, kJointFirstKey, work);
  } else {
    work.list = p.params;
  }
  readRanges(work.list, scale, work.ranges);
  for (int b = 1; b <= kHitBlockCount; ++b)
    work.blocks[size_t(b - 1)] = readHitBlock(work.list, b).value_or(HitBlock{});

  const int partner = findParam(work.list, 101);
  work.partnerLine = partner < 0 ? line : refLine(work.list[size_t(partner)].asInt());
  work.partnerPoint = partner < 0 ? point + 1 : refPoint(work.list[size_t(partner)].asInt());
  const int direction = findParam(work.list, 104);
  if (direction < 0) {
    work.directionLine = line;
    work.directionPoint = point;
    work.directionAxis = 0;
  } else {
    const int32_t ref = work.list[size_t(direction)].asInt();
    work.directionLine = axisRefLine(ref);
    work.directionPoint = axisRefPoint(ref);
    work.directionAxis = axisRefAxis(ref);
  }
  return JointLoad::Done;
}

void replaceJointRange(const Document& doc, int first, JointWork& work) {
  if (first == kJointFirstKey) {
    const auto e = jointRangeEntries(work.ranges, doc.modelScale);
    replaceKindRange(work.list, kJointFirstKey, kJointLastKey, e);
  } else if (first == kCoRotationKey) {
    const auto e = coRotationEntries(doc);
    replaceKindRange(work.list, kCoRotationKey, kCoRotationKey, e);
  } else if (first >= 100 && first < 11000 && first % 100 == 0) {
    const int b = first / 100;
    // Blocks past the ninth have no values of their own in the panel; they are written with
    // the defaults, as a new block would be.
    const HitBlock block = b <= kHitBlockCount ? work.blocks[size_t(b - 1)] : HitBlock{};
    const auto e = hitBlockEntries(b, block);
    replaceKindRange(work.list, first, first + kHitBlockEntries - 1, e);
  }
}

void storeGuideRefs(JointWork& work) {
  work.block1().partner = packPointRef(work.partnerLine, work.partnerPoint);
  work.block1().direction =
      packAxisRef(work.directionLine, work.directionPoint, work.directionAxis);
}

std::string jointEntryText(const ParamEntry& e) {
  const int32_t k = e.key;
  if (k <= 0) return kUnknownLabel;
  if (k >= kJointFirstKey && k <= kJointLastKey)
    return format("%s%4.4f", kLimitLabels[k - kJointFirstKey], double(e.asFloat()));
  if (k == kCoRotationKey)
    return format("%sL:%d P:%d", kCoRotationLabel, refLine(e.asInt()), refPoint(e.asInt()));
  if (k >= 100 && k < 1000) {
    const std::string label = hitEntryLabel(k);
    if (label.empty()) return {};
    const int o = k % 100;
    // The mode and the partner are shown by their labels alone; the rest with their values.
    if (o == 0) return label;
    if (o == 1) return label + format(" L:%d P:%d", refLine(e.asInt()), refPoint(e.asInt()));
    if (o == 4)
      return label + format("L:%d P:%d A:%d", axisRefLine(e.asInt()), axisRefPoint(e.asInt()),
                            axisRefAxis(e.asInt()));
    return label + format("%4.4f", double(e.asFloat()));
  }
  if (k >= 1000) return format("種類:%d", k);
  return {};
}

std::vector<std::string> jointListing(const ParamList& list) {
  if (list.size() <= 1) return {kNothingListed};
  std::vector<std::string> out;
  out.reserve(list.size());
  for (const ParamEntry& e : list) out.push_back(jointEntryText(e));
  return out;
}

std::vector<std::string> coRotationItems(const ParamList& list) {
  std::vector<std::string> out;
  for (const ParamEntry& e : list)
    if (e.key == kCoRotationKey)
      out.push_back(format("回転 L:%3d , P:%3d", refLine(e.asInt()), refPoint(e.asInt())));
  if (out.empty()) out.push_back(kNothingListed);
  return out;
}

}  // namespace tovala
