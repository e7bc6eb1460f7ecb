#pragma once
// Animation files: an animation as a JSON text kept next to its project (NAME.tovanim beside
// NAME.tov; the form is in docs/CLI.md, "Animation files").
//
//   {"format": "tovala-animation", "version": 1, "fps": 12, "length": 48,
//    "keys": [{"frame": 0, "easing": "smooth", "pose": {POSE FILE FORM}}, ...]}
//
// Each key's pose is written exactly as a pose file is (engine/pose_file.h), so a key can be
// cut out into a pose file and back. A reader takes all of a file or none of it: a damaged or
// out-of-bounds file is refused with a reason and the animation it was to fill keeps what it
// held.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/animation.h"
#include "model/json_bounds.h"

namespace tovala {

inline constexpr uint64_t kMaxAnimationFileBytes = uint64_t(64) << 20;
inline constexpr int32_t kMaxAnimationFps = 120;
inline constexpr int32_t kMaxAnimationLength = 100000;  // frames
inline constexpr size_t kMaxAnimationKeys = 10000;
// Joint values in all keys once every key names every joint (normalizeKeys).
inline constexpr size_t kMaxAnimationJointValues = size_t(1) << 21;
// What an animation file's text is held to before it is parsed: six levels (the file, its keys,
// a key, its pose, the pose's joints, a joint), and values enough for the keys and joints above
// with room for members a later version may add.
inline constexpr JsonLimits kAnimationJsonLimits{
    kMaxAnimationFileBytes, 6, kMaxAnimationKeys * 64 + kMaxAnimationJointValues * 18};

// Shown when an animation file cannot be read or written; the reason follows on the next line.
inline constexpr const char* kAnimationReadFailed = "アニメーションファイルを読み込めません。";
inline constexpr const char* kAnimationWriteFailed = "アニメーションファイルを保存できません。";

// Empty when the animation can be written and read back: fps 1 .. kMaxAnimationFps, length
// 1 .. kMaxAnimationLength, at most kMaxAnimationKeys keys at frames inside the animation in
// rising order, each pose without a fault (poseFault); otherwise the first fault.
std::string animationFault(const Animation& anim);

// The JSON text of an animation without faults.
std::string animationToJson(const Animation& anim);

// Parses an animation file's text into `out`. Keys may come in any order (they are sorted) and
// name different joints (they are normalized, engine/animation.h); refused (false, `reason`
// set, `out` untouched): text beyond kAnimationJsonLimits, text that is not JSON, a missing
// field or one of the wrong type, an unknown easing, two keys at one frame, more than
// kMaxAnimationJointValues joint values once normalized, or any fault. Time and memory are
// linear in the text: key poses are read as the parser meets them (engine/pose_reader.h).
bool animationFromJson(std::string_view text, Animation& out, std::string& reason);

// The file forms: the load refuses files over kMaxAnimationFileBytes; the save refuses an
// animation with a fault and writes atomically, so a failed save leaves the old file as it was.
bool loadAnimationFile(const std::string& path, Animation& out, std::string& reason);
bool saveAnimationFile(const std::string& path, const Animation& anim, std::string& reason);

// The animation file that goes with a project: its path with the extension replaced by
// ".tovanim" (added when it has none).
std::string animationPathFor(const std::string& projectPath);

}  // namespace tovala
