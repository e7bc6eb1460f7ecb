#include "shell/panels/timeline/export_command.h"

#include <QApplication>
#include <QProgressDialog>

#include <filesystem>

#include "platform/ui.h"
#include "shell/command_rules.h"
#include "shell/panels/timeline/timeline.h"

namespace tovala {

namespace {

constexpr const char* kCaption = "アニメーション書出";
constexpr const char* kFilter = "GIFアニメーション|*.gif|WebPアニメーション|*.webp|PNG連番|*.png||";
constexpr const char* kNoKeys =
    "アニメーションにキーがありません。\nタイムラインの「キー追加」で図のポーズをキーにしてください"
    "。";
constexpr const char* kUnknownForm =
    "書き出す形式が分かりません。\n名前の最後を .gif、.webp または .png にしてください。";
constexpr const char* kTransparencyQuestion =
    "背景を透明にして書き出しますか？\n「いいえ」を選ぶと、背景の色もそのまま書き出します。";

}  // namespace

std::optional<AnimationExportOptions> exportOptionsForPath(const std::string& path) {
  AnimationExportOptions options;
  const ExportFormatInfo* format = formatForOutput(path, true);
  if (!format) return std::nullopt;
  options.format = format->format;
  options.path = path;
  const std::filesystem::path p(path);
  if (format->sequence && p.has_extension()) {
    // "walk.png" stands for walk_0001.png, walk_0002.png ... beside it.
    options.path = p.has_parent_path() ? p.parent_path().string() : std::string(".");
    options.baseName = p.stem().string();
  }
  return options;
}

void exportAnimationCommand(TMyWindow& w) {
  Timeline* timeline = timelineOf(w);
  if (!timeline) return;
  timeline->endPreview();
  if (!w.hasLines()) {
    w.ui().message(kNoLines, kCaption);
    return;
  }
  const Animation& anim = timeline->animation();
  if (anim.keys.empty()) {
    w.ui().message(kNoKeys, kCaption);
    return;
  }
  const std::optional<std::string> path = chooseFile(w, true, kFilter, "gif", "notitle.gif");
  if (!path) return;
  std::optional<AnimationExportOptions> options = exportOptionsForPath(*path);
  if (!options) {
    w.ui().message(kUnknownForm, kCaption);
    return;
  }
  const Answer background = w.ui().ask(kTransparencyQuestion, kCaption, Buttons::YesNoCancel);
  if (background != Answer::Yes && background != Answer::No) return;
  options->look.transparent = background == Answer::Yes;

  const int total = exportFrameCount(anim, options->fps);
  QProgressDialog progress(QString::fromUtf8("アニメーションを書き出しています..."),
                           QString::fromUtf8("中止"), 0, total, &w);
  progress.setObjectName("exportProgress");
  progress.setWindowTitle(QString::fromUtf8(kCaption));
  // Modal to the panels too: the document must not change while the frames are drawn.
  progress.setWindowModality(Qt::ApplicationModal);
  progress.setMinimumDuration(300);
  progress.setValue(0);
  std::string reason;
  const ExportResult result = exportAnimation(
      w.doc(), anim, *options,
      [&progress](int done, int) {
        progress.setValue(done);
        // A modal progress dialog handles its events in setValue; the cancel button is read
        // after them.
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
      },
      reason);
  progress.reset();
  if (result == ExportResult::Failed)
    w.ui().message(std::string(kAnimationExportFailed) + "\n" + reason, kCaption);
}

}  // namespace tovala
