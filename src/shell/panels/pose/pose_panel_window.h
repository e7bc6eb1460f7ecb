#pragma once
// The window's side of poses: the pose panel's requests (save, apply, delete, rename, choose
// the folder), the commands ポーズ (40107, shows or hides the panel) and ポーズ反転 (40108), and
// applying a pose as one undo step.

#include <filesystem>
#include <string>

namespace tovala {

class TMyWindow;
struct Pose;

inline constexpr const char* kPoseNamePrompt = "ポーズの名前を入力してください";
inline constexpr const char* kBadPoseName =
    "この名前は使えません。(空の名前、. で始まる名前、/ \\ : * ? \" < > | を含む名前、"
    "100バイトを超える名前は使えません)";
inline constexpr const char* kPoseExists = "同じ名前のポーズがあります。";
inline constexpr const char* kReplacePose = "同じ名前のポーズがあります。置き換えますか?";
inline constexpr const char* kNoPoseChosen = "ポーズが選ばれていません。";
inline constexpr const char* kNoFigure = "ポーズを取る図がありません。";
inline constexpr const char* kPoseFileFailed = "ポーズファイルを変更できませんでした。";

// A name a pose file can take: not empty, at most 100 bytes, not starting with '.', none of
// / \ : * ? " < > | and no control characters, so it is one plain file name everywhere.
bool isPoseName(const std::string& name);

// `poses` beside the document's file, or in the start folder for a document never saved.
std::filesystem::path defaultPoseFolder(TMyWindow& w);

// Writes `pose` into the figure and re-poses it, as one undo step named `reason` when it
// changes the document (none in motion mode, where posing is not an edit). Refuses, with the
// motion mode's messages, a scaled model and a figure without reference positions. Points the
// pose names that the figure lacks are reported after applying. False when refused.
bool applyPoseAsStep(TMyWindow& w, const Pose& pose, const char* reason);

// Command 40108: the current pose mirrored left to right (joints without a partner reported).
void mirrorCurrentPose(TMyWindow& w);

// Creates the pose panel and binds its message and the two commands.
void installPosePanel(TMyWindow& w);

}  // namespace tovala
