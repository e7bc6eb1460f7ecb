#include "engine/pose_file.h"

#include <cmath>
#include <cstdio>
#include <unordered_set>

#include "engine/pose_reader.h"
#include "model/file_io.h"
#include "model/json_bounds.h"

namespace tovala {

namespace {

constexpr const char* kFormat = "tovala-pose";
constexpr int kVersion = 1;
constexpr const char* kWholeNames[6] = {"VextX", "VextY", "VextZ", "RadX", "RadY", "RadZ"};
constexpr const char* kMoveNames[3] = {"vdx", "vdy", "vdz"};
constexpr const char* kTurnNames[3] = {"radx", "rady", "radz"};

bool withinBound(float v, float bound) { return std::isfinite(v) && std::fabs(v) <= bound; }

// Nine significant digits read back as the same float; a mirrored zero is written as 0.
void appendNumber(std::string& s, float v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", v == 0 ? 0.0 : double(v));
  s += text;
}

void appendField(std::string& s, const char* name, float v) {
  s += '"';
  s += name;
  s += "\": ";
  appendNumber(s, v);
}

}  // namespace

std::string poseFault(const Pose& pose) {
  if (pose.joints.size() > kMaxPoseJoints) return "joints: 関節が多すぎます";
  for (int i = 0; i < 6; ++i)
    if (!withinBound(pose.whole[size_t(i)], i < 3 ? kMaxPoseMovement : kMaxPoseAngle))
      return std::string(kWholeNames[i]) + ": 範囲外の値です";
  if (pose.figure < 0 || pose.figure > kMaxPoseFigure) return "figure: 範囲外の値です";
  std::unordered_set<uint64_t> seen;
  seen.reserve(pose.joints.size());
  for (size_t n = 0; n < pose.joints.size(); ++n) {
    const JointPose& j = pose.joints[n];
    auto where = [n] { return "joints[" + std::to_string(n) + "]"; };
    for (int i = 0; i < 3; ++i) {
      if (!withinBound(j.vd[size_t(i)], kMaxPoseMovement))
        return where() + "." + kMoveNames[i] + ": 範囲外の値です";
      if (!withinBound(j.rad[size_t(i)], kMaxPoseAngle))
        return where() + "." + kTurnNames[i] + ": 範囲外の値です";
    }
    if (!seen.insert(uint64_t(uint32_t(j.key.line)) << 32 | uint32_t(j.key.point)).second)
      return where() + ": 同じ線と点の番号が二度あります";
  }
  return {};
}

std::string poseToJson(const Pose& pose) {
  std::string s = "{\n \"format\": \"";
  s += kFormat;
  s += "\",\n \"version\": " + std::to_string(kVersion) + ",\n";
  if (pose.figure > 0) s += " \"figure\": " + std::to_string(pose.figure) + ",\n";
  for (int i = 0; i < 6; ++i) {
    s += ' ';
    appendField(s, kWholeNames[i], pose.whole[size_t(i)]);
    s += ",\n";
  }
  s += " \"joints\": [";
  for (size_t n = 0; n < pose.joints.size(); ++n) {
    const JointPose& j = pose.joints[n];
    s += n ? ",\n  {" : "\n  {";
    s += "\"line\": " + std::to_string(j.key.line) + ", \"point\": " + std::to_string(j.key.point);
    for (int i = 0; i < 3; ++i) appendField(s += ", ", kMoveNames[i], j.vd[size_t(i)]);
    for (int i = 0; i < 3; ++i) appendField(s += ", ", kTurnNames[i], j.rad[size_t(i)]);
    s += '}';
  }
  s += pose.joints.empty() ? "]\n}\n" : "\n ]\n}\n";
  return s;
}

bool poseFromJson(std::string_view text, Pose& out, std::string& reason) {
  if (reason = jsonLimitFault(text, kPoseJsonLimits); !reason.empty()) return false;
  PoseStream stream(0);
  const PoseJson doc = PoseJson::parse(
      text.begin(), text.end(),
      [&](int depth, JsonEvent event, PoseJson& parsed) {
        return depth == 0 || stream.keep(depth, event, parsed);
      },
      false);
  if (doc.is_discarded()) return reason = "JSONとして読めません", false;
  return stream.finish(doc, out, reason);
}

bool loadPoseFile(const std::string& path, Pose& out, std::string& reason) {
  const auto bytes = readWholeFile(path, kMaxPoseFileBytes);
  if (!bytes) return reason = "読み込めないか、大きすぎるファイルです: " + path, false;
  const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  return poseFromJson(text, out, reason);
}

bool savePoseFile(const std::string& path, const Pose& pose, std::string& reason) {
  if (reason = poseFault(pose); !reason.empty()) return false;
  const std::string text = poseToJson(pose);
  const auto* data = reinterpret_cast<const uint8_t*>(text.data());
  if (!writeFileAtomic(path, std::span(data, text.size())))
    return reason = "書き込めません: " + path, false;
  return true;
}

}  // namespace tovala
