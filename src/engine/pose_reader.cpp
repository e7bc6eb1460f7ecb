#include "engine/pose_reader.h"

#include <cmath>

#include "engine/pose_file.h"

namespace tovala {

namespace {

constexpr const char* kFormat = "tovala-pose";
constexpr int kVersion = 1;
constexpr const char* kWholeNames[6] = {"VextX", "VextY", "VextZ", "RadX", "RadY", "RadZ"};
constexpr const char* kJointNames[8] = {"line", "point", "vdx", "radx",
                                        "vdy",  "rady",  "vdz", "radz"};
// "figure" names the figure of a cast a pose belongs to; it is kept for the reader to check.
constexpr const char* kOtherNames[4] = {"format", "version", "joints", "figure"};

bool isPoseMember(std::string_view name) {
  return isOneOf(name, kWholeNames) || isOneOf(name, kOtherNames);
}

bool fail(std::string& reason, const std::string& where, const char* name, const char* what) {
  reason = where + name + ": " + what;
  return false;
}

// A joint object into `out`; on a fault `reason` names it as "joints[N].FIELD: WHAT".
bool readJoint(const PoseJson& j, size_t index, JointPose& out, std::string& reason) {
  const std::string where = "joints[" + std::to_string(index) + "]";
  if (!j.is_object()) return fail(reason, where, "", "オブジェクトではありません");
  const char* what = intFault(j, "line", INT32_MIN, INT32_MAX, out.key.line);
  if (what) return fail(reason, where + ".", "line", what);
  if ((what = intFault(j, "point", INT32_MIN, INT32_MAX, out.key.point)))
    return fail(reason, where + ".", "point", what);
  // kJointNames pairs each movement with its rotation, the order the fields were always checked.
  for (size_t i = 0; i < 3; ++i) {
    if ((what = numberFault(j, kJointNames[2 + 2 * i], kMaxPoseMovement, out.vd[i])))
      return fail(reason, where + ".", kJointNames[2 + 2 * i], what);
    if ((what = numberFault(j, kJointNames[3 + 2 * i], kMaxPoseAngle, out.rad[i])))
      return fail(reason, where + ".", kJointNames[3 + 2 * i], what);
  }
  return true;
}

}  // namespace

const char* intFault(const PoseJson& obj, const char* name, int64_t lo, int64_t hi, int32_t& out) {
  const auto it = obj.find(name);
  if (it == obj.end()) return "ありません";
  if (!it->is_number_integer()) return "整数ではありません";
  const bool huge = it->is_number_unsigned() && it->get<uint64_t>() > uint64_t(hi);
  const int64_t v = huge ? hi : it->get<int64_t>();
  if (huge || v < lo || v > hi) return "範囲外の値です";
  out = int32_t(v);
  return nullptr;
}

const char* numberFault(const PoseJson& obj, const char* name, float bound, float& out) {
  const auto it = obj.find(name);
  if (it == obj.end()) return "ありません";
  if (!it->is_number()) return "数値ではありません";
  const double d = it->get<double>();
  if (!std::isfinite(d) || std::fabs(d) > double(bound)) return "範囲外の値です";
  out = float(d);
  return nullptr;
}

void PoseStream::restart() {
  name_.clear();
  inJoints_ = false;
  startJoints();
}

void PoseStream::startJoints() {
  count_ = 0;
  tooMany_ = false;
  fault_.clear();
  joints_.clear();
}

void PoseStream::noteFault(const std::string& fault) {
  if (fault_.empty()) fault_ = fault;
}

bool PoseStream::keep(int depth, JsonEvent event, const PoseJson& parsed) {
  const int level = depth - depth_;  // 1: the pose's members, 2: inside one, 3: inside a joint
  if (level == 1) return member(event, parsed);
  if (!inJoints_) return false;  // inside a member other than the joints: nothing is needed
  if (level == 2) return element(event, parsed);
  // A joint's own members; containers among them stay empty, so a field that should be a
  // number and is an array reads as such without keeping its contents.
  if (level == 3)
    return event != JsonEvent::key || isOneOf(parsed.get_ref<const std::string&>(), kJointNames);
  return false;
}

bool PoseStream::member(JsonEvent event, const PoseJson& parsed) {
  switch (event) {
    case JsonEvent::key:
      name_ = parsed.get_ref<const std::string&>();
      inJoints_ = false;
      // A member given twice takes its last value, as the tree does.
      if (name_ == "joints") startJoints();
      return isPoseMember(name_);
    case JsonEvent::array_start: inJoints_ = name_ == "joints"; return isPoseMember(name_);
    case JsonEvent::object_start:
    case JsonEvent::value: return isPoseMember(name_);
    default:  // the end of a member kept at its start
      return true;
  }
}

bool PoseStream::element(JsonEvent event, const PoseJson& parsed) {
  if (event == JsonEvent::object_end) {
    JointPose joint;
    std::string fault;
    if (readJoint(parsed, count_ - 1, joint, fault))
      joints_.push_back(joint);
    else
      noteFault(fault);
    return false;  // the joint is read; the tree need not hold it
  }
  if (event != JsonEvent::object_start && event != JsonEvent::array_start &&
      event != JsonEvent::value)
    return false;
  const size_t index = count_++;
  if (count_ > kMaxPoseJoints) tooMany_ = true;
  if (tooMany_ || !fault_.empty()) return false;  // the pose is refused already
  if (event == JsonEvent::object_start) return true;
  noteFault("joints[" + std::to_string(index) + "]: オブジェクトではありません");
  return false;
}

bool PoseStream::finish(const PoseJson& doc, Pose& out, std::string& reason) {
  if (!doc.is_object()) return fail(reason, "/", "", "オブジェクトではありません");
  const auto format = doc.find("format");
  if (format == doc.end() || !format->is_string() ||
      format->get_ref<const std::string&>() != kFormat)
    return fail(reason, "", "format", "ポーズファイルではありません");
  int32_t version = 0;
  if (const char* what = intFault(doc, "version", INT32_MIN, INT32_MAX, version))
    return fail(reason, "", "version", what);
  if (version != kVersion) return fail(reason, "", "version", "この版には対応していません");

  Pose pose;
  for (size_t i = 0; i < 6; ++i)
    if (const char* what = numberFault(doc, kWholeNames[i],
                                       i < 3 ? kMaxPoseMovement : kMaxPoseAngle, pose.whole[i]))
      return fail(reason, "", kWholeNames[i], what);
  // Optional: only a pose taken from a cast names its figure.
  if (doc.find("figure") != doc.end())
    if (const char* what = intFault(doc, "figure", 1, kMaxPoseFigure, pose.figure))
      return fail(reason, "", "figure", what);
  const auto joints = doc.find("joints");
  if (joints == doc.end() || !joints->is_array())
    return fail(reason, "", "joints", "配列ではありません");
  if (tooMany_) return fail(reason, "", "joints", "関節が多すぎます");
  if (!fault_.empty()) return reason = fault_, false;
  pose.joints = std::move(joints_);
  joints_.clear();
  if (std::string fault = poseFault(pose); !fault.empty()) return reason = fault, false;
  out = std::move(pose);
  return true;
}

}  // namespace tovala
