#include "engine/animation_file.h"

#include <algorithm>
#include <cstdint>

#include <nlohmann/json.hpp>

#include "engine/pose_file.h"
#include "model/file_io.h"

namespace tovala {

namespace {

using Json = nlohmann::json;

constexpr const char* kFormat = "tovala-animation";
constexpr int kVersion = 1;
constexpr const char* kEasingNames[2] = {"smooth", "linear"};

bool fail(std::string& reason, const std::string& where, const char* what) {
  reason = where + ": " + what;
  return false;
}

// An integer member within lo .. hi.
bool readInt(const Json& obj, const char* name, const std::string& where, int64_t lo, int64_t hi,
             int32_t& out, std::string& reason) {
  const auto it = obj.find(name);
  if (it == obj.end()) return fail(reason, where + name, "ありません");
  if (!it->is_number_integer()) return fail(reason, where + name, "整数ではありません");
  const bool huge = it->is_number_unsigned() && it->get<uint64_t>() > uint64_t(hi);
  const int64_t v = huge ? hi : it->get<int64_t>();
  if (huge || v < lo || v > hi) return fail(reason, where + name, "範囲外の値です");
  out = int32_t(v);
  return true;
}

bool readKey(const Json& j, const std::string& where, int32_t length, AnimationKey& out,
             std::string& reason) {
  if (!j.is_object()) return fail(reason, where, "オブジェクトではありません");
  const std::string prefix = where + ".";
  if (!readInt(j, "frame", prefix, 0, length - 1, out.frame, reason)) return false;
  const auto easing = j.find("easing");
  if (easing == j.end()) return fail(reason, prefix + "easing", "ありません");
  if (!easing->is_string()) return fail(reason, prefix + "easing", "文字列ではありません");
  const std::string name = easing->get<std::string>();
  if (name == kEasingNames[0])
    out.easing = Easing::Smooth;
  else if (name == kEasingNames[1])
    out.easing = Easing::Linear;
  else
    return fail(reason, prefix + "easing", "smooth でも linear でもありません");
  const auto pose = j.find("pose");
  if (pose == j.end()) return fail(reason, prefix + "pose", "ありません");
  std::string poseReason;
  if (!poseFromJson(pose->dump(), out.pose, poseReason))
    return reason = prefix + "pose." + poseReason, false;
  return true;
}

}  // namespace

std::string animationFault(const Animation& anim) {
  if (anim.fps < 1 || anim.fps > kMaxAnimationFps) return "fps: 範囲外の値です";
  if (anim.length < 1 || anim.length > kMaxAnimationLength) return "length: 範囲外の値です";
  if (anim.keys.size() > kMaxAnimationKeys) return "keys: キーが多すぎます";
  for (size_t n = 0; n < anim.keys.size(); ++n) {
    const AnimationKey& k = anim.keys[n];
    const std::string where = "keys[" + std::to_string(n) + "]";
    if (k.frame < 0 || k.frame >= anim.length) return where + ".frame: 範囲外の値です";
    if (n > 0 && anim.keys[n - 1].frame >= k.frame)
      return where + ".frame: キーがフレーム順に並んでいないか、同じフレームに二つあります";
    if (k.easing != Easing::Smooth && k.easing != Easing::Linear)
      return where + ".easing: 範囲外の値です";
    if (std::string fault = poseFault(k.pose); !fault.empty()) return where + ".pose." + fault;
  }
  return {};
}

std::string animationToJson(const Animation& anim) {
  std::string s = "{\n \"format\": \"";
  s += kFormat;
  s += "\",\n \"version\": " + std::to_string(kVersion) + ",\n";
  s += " \"fps\": " + std::to_string(anim.fps) + ",\n";
  s += " \"length\": " + std::to_string(anim.length) + ",\n";
  s += " \"keys\": [";
  for (size_t n = 0; n < anim.keys.size(); ++n) {
    const AnimationKey& k = anim.keys[n];
    s += n ? ",\n  {" : "\n  {";
    s += "\"frame\": " + std::to_string(k.frame) + ", \"easing\": \"";
    s += kEasingNames[k.easing == Easing::Linear ? 1 : 0];
    s += "\",\n   \"pose\": ";
    std::string pose = poseToJson(k.pose);
    while (!pose.empty() && pose.back() == '\n') pose.pop_back();
    for (char c : pose) {
      s += c;
      if (c == '\n') s += "   ";
    }
    s += '}';
  }
  s += anim.keys.empty() ? "]\n}\n" : "\n ]\n}\n";
  return s;
}

bool animationFromJson(std::string_view text, Animation& out, std::string& reason) {
  if (text.size() > kMaxAnimationFileBytes) return reason = "ファイルが大きすぎます", false;
  const Json doc = Json::parse(text.begin(), text.end(), nullptr, false);
  if (doc.is_discarded()) return reason = "JSONとして読めません", false;
  if (!doc.is_object()) return fail(reason, "/", "オブジェクトではありません");
  const auto format = doc.find("format");
  if (format == doc.end() || !format->is_string() || format->get<std::string>() != kFormat)
    return fail(reason, "format", "アニメーションファイルではありません");
  int32_t version = 0;
  if (!readInt(doc, "version", "", INT32_MIN, INT32_MAX, version, reason)) return false;
  if (version != kVersion) return fail(reason, "version", "この版には対応していません");

  Animation anim;
  if (!readInt(doc, "fps", "", 1, kMaxAnimationFps, anim.fps, reason) ||
      !readInt(doc, "length", "", 1, kMaxAnimationLength, anim.length, reason))
    return false;
  const auto keys = doc.find("keys");
  if (keys == doc.end() || !keys->is_array()) return fail(reason, "keys", "配列ではありません");
  if (keys->size() > kMaxAnimationKeys) return fail(reason, "keys", "キーが多すぎます");
  anim.keys.resize(keys->size());
  for (size_t n = 0; n < keys->size(); ++n)
    if (!readKey((*keys)[n], "keys[" + std::to_string(n) + "]", anim.length, anim.keys[n], reason))
      return false;
  std::stable_sort(anim.keys.begin(), anim.keys.end(),
                   [](const AnimationKey& a, const AnimationKey& b) { return a.frame < b.frame; });
  if (std::string fault = animationFault(anim); !fault.empty()) return reason = fault, false;
  if (!normalizeKeys(anim, kMaxAnimationJointValues))
    return fail(reason, "keys", "キーと関節の数が多すぎます");
  out = std::move(anim);
  return true;
}

bool loadAnimationFile(const std::string& path, Animation& out, std::string& reason) {
  const auto bytes = readWholeFile(path, kMaxAnimationFileBytes);
  if (!bytes) return reason = "読み込めないか、大きすぎるファイルです: " + path, false;
  const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  return animationFromJson(text, out, reason);
}

bool saveAnimationFile(const std::string& path, const Animation& anim, std::string& reason) {
  if (reason = animationFault(anim); !reason.empty()) return false;
  const std::string text = animationToJson(anim);
  const auto* data = reinterpret_cast<const uint8_t*>(text.data());
  if (!writeFileAtomic(path, std::span(data, text.size())))
    return reason = "書き込めません: " + path, false;
  return true;
}

std::string animationPathFor(const std::string& projectPath) {
  const size_t slash = projectPath.find_last_of("/\\");
  const size_t dot = projectPath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? projectPath.substr(0, dot) : projectPath) + ".tovanim";
}

}  // namespace tovala
