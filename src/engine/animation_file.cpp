#include "engine/animation_file.h"

#include <algorithm>
#include <cstdint>

#include "engine/pose_file.h"
#include "engine/pose_reader.h"
#include "model/file_io.h"
#include "model/json_bounds.h"

namespace tovala {

namespace {

constexpr const char* kFormat = "tovala-animation";
constexpr int kVersion = 1;
constexpr const char* kEasingNames[2] = {"smooth", "linear"};
constexpr const char* kTopNames[5] = {"format", "version", "fps", "length", "keys"};
constexpr const char* kKeyNames[3] = {"frame", "easing", "pose"};

bool fail(std::string& reason, const std::string& where, const char* what) {
  reason = where + ": " + what;
  return false;
}

std::string keyWhere(size_t index) { return "keys[" + std::to_string(index) + "]"; }

// Reads an animation file as the parser meets it: the file's own members are kept in the tree,
// while each key object is read when the parser completes it (its pose's joints streamed
// through a PoseStream before that) and then dropped. A key's frame is checked against the
// length only at the end, since "length" may follow "keys".
class AnimationStream {
 public:
  bool keep(int depth, JsonEvent event, const PoseJson& parsed) {
    if (depth == 0) return true;
    if (depth == 1) return member(event, parsed);
    if (!inKeys_) return false;
    if (depth == 2) return element(event, parsed);
    if (depth == 3) return keyMember(event, parsed);
    return inPose_ && pose_.keep(depth, event, parsed);
  }

  bool finish(const PoseJson& doc, Animation& out, std::string& reason);

 private:
  bool member(JsonEvent event, const PoseJson& parsed) {
    if (event == JsonEvent::key) {
      name_ = parsed.get_ref<const std::string&>();
      inKeys_ = false;
      if (name_ == "keys") startKeys();  // the last of a member given twice counts
    } else if (event == JsonEvent::array_start) {
      inKeys_ = name_ == "keys";
    } else if (event == JsonEvent::object_end || event == JsonEvent::array_end) {
      return true;
    }
    return isOneOf(name_, kTopNames);
  }

  bool element(JsonEvent event, const PoseJson& parsed) {
    if (event == JsonEvent::object_end) {
      readKey(parsed);
      return false;
    }
    if (event != JsonEvent::object_start && event != JsonEvent::array_start &&
        event != JsonEvent::value)
      return false;
    const size_t index = count_++;
    if (count_ > kMaxAnimationKeys) tooMany_ = true;
    if (tooMany_ || !fault_.empty()) return false;
    if (event == JsonEvent::object_start) return true;
    fault_ = keyWhere(index) + ": オブジェクトではありません";
    return false;
  }

  bool keyMember(JsonEvent event, const PoseJson& parsed) {
    if (event == JsonEvent::key) {
      keyName_ = parsed.get_ref<const std::string&>();
      inPose_ = false;
    } else if (event == JsonEvent::object_start && keyName_ == "pose") {
      inPose_ = true;
      pose_.restart();
    } else if (event == JsonEvent::object_end || event == JsonEvent::array_end) {
      return true;
    }
    return isOneOf(keyName_, kKeyNames);
  }

  void startKeys() {
    count_ = 0;
    tooMany_ = false;
    fault_.clear();
    faultFrame_ = -1;
    keys_.clear();
  }

  // The key just completed, into keys_ or, when it has a fault, into fault_ and faultFrame_.
  void readKey(const PoseJson& j);

  PoseStream pose_{3};
  std::string name_, keyName_;  // the member of the file, and of a key, being read
  bool inKeys_ = false;         // the file's member is "keys" and its value an array
  bool inPose_ = false;         // the key's member is "pose" and its value an object
  size_t count_ = 0;            // keys met so far
  bool tooMany_ = false;        // more than kMaxAnimationKeys of them
  std::string fault_;           // the first key that could not be read; later ones are skipped
  int32_t faultFrame_ = -1;     // that key's frame, when it was read
  std::vector<AnimationKey> keys_;
};

void AnimationStream::readKey(const PoseJson& j) {
  const size_t index = count_ - 1;
  const std::string where = keyWhere(index) + ".";
  AnimationKey key;
  auto refuse = [&](const std::string& what) {
    fault_ = where + what;
    faultFrame_ = key.frame;
  };
  key.frame = -1;
  if (const char* what = intFault(j, "frame", 0, kMaxAnimationLength - 1, key.frame))
    return refuse(std::string("frame: ") + what);
  const auto easing = j.find("easing");
  if (easing == j.end()) return refuse("easing: ありません");
  if (!easing->is_string()) return refuse("easing: 文字列ではありません");
  const std::string& name = easing->get_ref<const std::string&>();
  if (name == kEasingNames[0])
    key.easing = Easing::Smooth;
  else if (name == kEasingNames[1])
    key.easing = Easing::Linear;
  else
    return refuse("easing: smooth でも linear でもありません");
  const auto pose = j.find("pose");
  if (pose == j.end()) return refuse("pose: ありません");
  std::string poseReason;
  if (!pose_.finish(*pose, key.pose, poseReason)) return refuse("pose." + poseReason);
  keys_.push_back(std::move(key));
}

bool AnimationStream::finish(const PoseJson& doc, Animation& out, std::string& reason) {
  if (!doc.is_object()) return fail(reason, "/", "オブジェクトではありません");
  const auto format = doc.find("format");
  if (format == doc.end() || !format->is_string() ||
      format->get_ref<const std::string&>() != kFormat)
    return fail(reason, "format", "アニメーションファイルではありません");
  int32_t version = 0;
  if (const char* what = intFault(doc, "version", INT32_MIN, INT32_MAX, version))
    return fail(reason, "version", what);
  if (version != kVersion) return fail(reason, "version", "この版には対応していません");

  Animation anim;
  if (const char* what = intFault(doc, "fps", 1, kMaxAnimationFps, anim.fps))
    return fail(reason, "fps", what);
  if (const char* what = intFault(doc, "length", 1, kMaxAnimationLength, anim.length))
    return fail(reason, "length", what);
  const auto keys = doc.find("keys");
  if (keys == doc.end() || !keys->is_array()) return fail(reason, "keys", "配列ではありません");
  if (tooMany_) return fail(reason, "keys", "キーが多すぎます");
  // Keys in file order: those read, then the one refused, each frame within the length first.
  for (size_t n = 0; n < keys_.size(); ++n)
    if (keys_[n].frame >= anim.length)
      return fail(reason, keyWhere(n) + ".frame", "範囲外の値です");
  if (!fault_.empty()) {
    if (faultFrame_ >= anim.length)
      return fail(reason, keyWhere(keys_.size()) + ".frame", "範囲外の値です");
    return reason = fault_, false;
  }
  anim.keys = std::move(keys_);
  keys_.clear();
  std::stable_sort(anim.keys.begin(), anim.keys.end(),
                   [](const AnimationKey& a, const AnimationKey& b) { return a.frame < b.frame; });
  if (std::string fault = animationFault(anim); !fault.empty()) return reason = fault, false;
  if (!normalizeKeys(anim, kMaxAnimationJointValues))
    return fail(reason, "keys", "キーと関節の数が多すぎます");
  out = std::move(anim);
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
  if (reason = jsonLimitFault(text, kAnimationJsonLimits); !reason.empty()) return false;
  AnimationStream stream;
  const PoseJson doc = PoseJson::parse(
      text.begin(), text.end(),
      [&](int depth, JsonEvent event, PoseJson& parsed) {
        return stream.keep(depth, event, parsed);
      },
      false);
  if (doc.is_discarded()) return reason = "JSONとして読めません", false;
  return stream.finish(doc, out, reason);
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
