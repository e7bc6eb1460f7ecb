#include "engine/pose_file.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include <nlohmann/json.hpp>

#include "model/file_io.h"

namespace tovala {

namespace {

using Json = nlohmann::json;

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

// Reads the members the pose form needs, each checked, naming the first it cannot accept.
class Reader {
 public:
  explicit Reader(std::string& reason) : reason_(reason) {}

  bool fail(const std::string& where, const char* what) {
    reason_ = where + ": " + what;
    return false;
  }

  bool integer(const Json& obj, const char* name, const std::string& where, int32_t& out) {
    const auto it = obj.find(name);
    if (it == obj.end()) return fail(where + name, "ありません");
    if (!it->is_number_integer()) return fail(where + name, "整数ではありません");
    const bool isUnsigned = it->is_number_unsigned();
    const int64_t v = isUnsigned ? int64_t(std::min<uint64_t>(it->get<uint64_t>(), UINT32_MAX))
                                 : it->get<int64_t>();
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
      return fail(where + name, "範囲外の値です");
    out = int32_t(v);
    return true;
  }

  bool number(const Json& obj, const char* name, const std::string& where, float bound,
              float& out) {
    const auto it = obj.find(name);
    if (it == obj.end()) return fail(where + name, "ありません");
    if (!it->is_number()) return fail(where + name, "数値ではありません");
    const double d = it->get<double>();
    if (!std::isfinite(d) || std::fabs(d) > double(bound))
      return fail(where + name, "範囲外の値です");
    out = float(d);
    return true;
  }

 private:
  std::string& reason_;
};

bool readJoint(Reader& r, const Json& j, const std::string& where, JointPose& out) {
  if (!j.is_object()) return r.fail(where, "オブジェクトではありません");
  const std::string prefix = where + ".";
  if (!r.integer(j, "line", prefix, out.key.line) || !r.integer(j, "point", prefix, out.key.point))
    return false;
  for (int i = 0; i < 3; ++i)
    if (!r.number(j, kMoveNames[i], prefix, kMaxPoseMovement, out.vd[size_t(i)]) ||
        !r.number(j, kTurnNames[i], prefix, kMaxPoseAngle, out.rad[size_t(i)]))
      return false;
  return true;
}

}  // namespace

std::string poseFault(const Pose& pose) {
  if (pose.joints.size() > kMaxPoseJoints) return "joints: 関節が多すぎます";
  for (int i = 0; i < 6; ++i)
    if (!withinBound(pose.whole[size_t(i)], i < 3 ? kMaxPoseMovement : kMaxPoseAngle))
      return std::string(kWholeNames[i]) + ": 範囲外の値です";
  for (size_t n = 0; n < pose.joints.size(); ++n) {
    const JointPose& j = pose.joints[n];
    const std::string where = "joints[" + std::to_string(n) + "]";
    for (int i = 0; i < 3; ++i) {
      if (!withinBound(j.vd[size_t(i)], kMaxPoseMovement))
        return where + "." + kMoveNames[i] + ": 範囲外の値です";
      if (!withinBound(j.rad[size_t(i)], kMaxPoseAngle))
        return where + "." + kTurnNames[i] + ": 範囲外の値です";
    }
    // Poses are a few hundred joints at most; the pairwise check stays well under a millisecond.
    for (size_t m = 0; m < n; ++m)
      if (pose.joints[m].key == j.key) return where + ": 同じ線と点の番号が二度あります";
  }
  return {};
}

std::string poseToJson(const Pose& pose) {
  std::string s = "{\n \"format\": \"";
  s += kFormat;
  s += "\",\n \"version\": " + std::to_string(kVersion) + ",\n";
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
  if (text.size() > kMaxPoseFileBytes) return reason = "ファイルが大きすぎます", false;
  const Json doc = Json::parse(text.begin(), text.end(), nullptr, false);
  if (doc.is_discarded()) return reason = "JSONとして読めません", false;
  Reader r(reason);
  if (!doc.is_object()) return r.fail("/", "オブジェクトではありません");
  const auto format = doc.find("format");
  if (format == doc.end() || !format->is_string() || format->get<std::string>() != kFormat)
    return r.fail("format", "ポーズファイルではありません");
  int32_t version = 0;
  if (!r.integer(doc, "version", "", version)) return false;
  if (version != kVersion) return r.fail("version", "この版には対応していません");

  Pose pose;
  for (int i = 0; i < 6; ++i)
    if (!r.number(doc, kWholeNames[i], "", i < 3 ? kMaxPoseMovement : kMaxPoseAngle,
                  pose.whole[size_t(i)]))
      return false;
  const auto joints = doc.find("joints");
  if (joints == doc.end() || !joints->is_array()) return r.fail("joints", "配列ではありません");
  if (joints->size() > kMaxPoseJoints) return r.fail("joints", "関節が多すぎます");
  pose.joints.resize(joints->size());
  for (size_t n = 0; n < joints->size(); ++n)
    if (!readJoint(r, (*joints)[n], "joints[" + std::to_string(n) + "]", pose.joints[n]))
      return false;
  if (std::string fault = poseFault(pose); !fault.empty()) return reason = fault, false;
  out = std::move(pose);
  return true;
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
