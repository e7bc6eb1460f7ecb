#pragma once
// Message texts and captions the model layer shows, shared by every place that shows them.

namespace tovala::msg {

inline constexpr const char* kCaptionErrorLower = "error";
inline constexpr const char* kCaptionError = "エラー";
inline constexpr const char* kCaptionConfirm = "確認";
inline constexpr const char* kCaptionNotice = "注意";
inline constexpr const char* kCaptionMessage = "メッセージ";
inline constexpr const char* kCaptionWarning = "警告!!";
inline constexpr const char* kCaptionErr = "err";

inline constexpr const char* kNoFile = "No File!!";
inline constexpr const char* kMissLoad = "Miss Load!!";
inline constexpr const char* kNotBitmap = "ビットマップではありません!!";
inline constexpr const char* kPictureUnreadable =
    "画像ファイルを読み込めません。壊れているか、対応していない種類の画像です。";
inline constexpr const char* kSaveFailed = "保存に失敗しました。";
inline constexpr const char* kNotHcFile = "この圧縮形式のファイルではありません!!";
inline constexpr const char* kReadFailed = "ファイルの読込みに失敗しました。";
inline constexpr const char* kWriteFailed = "ファイルの書出しに失敗しました。";
// Saving: what the HC container's 24-bit length cannot hold. The canvas size named is
// kLargestSquareCanvas (project_file.h, which checks the two agree).
inline constexpr const char* kCanvasTooLarge =
    "キャンバスが大きすぎます。保存できる大きさは幅×高さで2364×2364までです。";
inline constexpr const char* kTooLargeToSave =
    "データが大きすぎて保存できません。(16777215バイトまで)";

}  // namespace tovala::msg
