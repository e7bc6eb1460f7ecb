#pragma once
// Pose files: a pose as a small JSON text (its form is in docs/CLI.md, "Pose files").
//
//   {"format": "tovala-pose", "version": 1,
//    "VextX": 0, "VextY": 0, "VextZ": 0, "RadX": 0, "RadY": 0, "RadZ": 0,
//    "joints": [{"line": 8, "point": 801, "vdx": 0, "vdy": 0, "vdz": 0,
//                "radx": 0, "rady": 0.5, "radz": -0.25}, ...]}
//
// A pose taken from a cast also names its figure ("figure": N after "version", engine/pose.h).
// Every value is written so that it reads back as the same single-precision number. A reader
// takes all of a file or none of it: a damaged or out-of-bounds file is refused with a reason
// and the pose it was to fill keeps what it held.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/pose.h"
#include "model/json_bounds.h"

namespace tovala {

inline constexpr uint64_t kMaxPoseFileBytes = uint64_t(4) << 20;
inline constexpr size_t kMaxPoseJoints = 65536;
inline constexpr float kMaxPoseMovement = 1.0e6f;  // |vdx|.., |VextX|.., canvas units
inline constexpr float kMaxPoseAngle = 100.0f;     // |radx|.., |RadX|.., radians
// What a pose file's text is held to before it is parsed: the form nests three deep (the file,
// its joints, a joint) and has nine values a joint; twice that leaves room for members a later
// version may add.
inline constexpr JsonLimits kPoseJsonLimits{kMaxPoseFileBytes, 3, kMaxPoseJoints * 18 + 256};

// Shown when a pose file cannot be read or written; the reason follows on the next line.
inline constexpr const char* kPoseReadFailed = "ポーズファイルを読み込めません。";
inline constexpr const char* kPoseWriteFailed = "ポーズファイルを保存できません。";

// Empty when the pose can be written and read back: at most kMaxPoseJoints joints, no key
// twice, every value finite and within the bounds above; otherwise the first fault.
std::string poseFault(const Pose& pose);

// The JSON text of a pose without faults, one joint a line.
std::string poseToJson(const Pose& pose);

// Parses a pose file's text into `out`. Refuses (false, `reason` set, `out` untouched) text
// beyond kPoseJsonLimits, text that is not JSON, lacks a field, has a field of the wrong type,
// or has a fault. Time and memory are linear in the text (engine/pose_reader.h).
bool poseFromJson(std::string_view text, Pose& out, std::string& reason);

// The file forms of the two: the load refuses files over kMaxPoseFileBytes; the save refuses a
// pose with a fault and writes atomically, so a failed save leaves the old file as it was.
bool loadPoseFile(const std::string& path, Pose& out, std::string& reason);
bool savePoseFile(const std::string& path, const Pose& pose, std::string& reason);

}  // namespace tovala
