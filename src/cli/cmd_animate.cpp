// animate: an animation file played on a project and written as a GIF, a WebP or PNG pictures.

#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>

#include "cli/command.h"
#include "cli/text_fonts.h"
#include "engine/animation_file.h"
#include "export/animation_export.h"
#include "model/document.h"
#include "model/messages.h"
#include "model/project_file.h"
#include "platform/ui.h"

namespace tovala::cli {
namespace {

constexpr int kBarWidth = 30;

// A whole decimal number within lo .. hi, nothing else.
bool parseNumber(std::string_view text, int lo, int hi, int& out) {
  int v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || v < lo || v > hi) return false;
  out = v;
  return true;
}

// "WxH", each side 1 .. the largest picture side.
bool parseSize(const std::string& text, int32_t& width, int32_t& height) {
  const size_t x = text.find_first_of("xX");
  return x != std::string::npos &&
         parseNumber(std::string_view(text).substr(0, x), 1, ImageStore::kMaxSide, width) &&
         parseNumber(std::string_view(text).substr(x + 1), 1, ImageStore::kMaxSide, height);
}

// The file name without folder and extension: the PNG pictures' base name.
std::string stem(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name.empty() ? "frame" : name;
}

// "[##########....]  12/48" redrawn in place.
bool drawBar(int done, int total) {
  const int filled = total ? done * kBarWidth / total : kBarWidth;
  std::fprintf(stderr, "\r[%.*s%.*s] %d/%d", filled, "##############################",
               kBarWidth - filled, "..............................", done, total);
  if (done == total) std::fputc('\n', stderr);
  std::fflush(stderr);
  return true;
}

int runAnimate(Args& args) {
  const Command& self = *findCommand("animate");
  const auto out = args.option("-o");
  const auto fps = args.option("--fps");
  const auto size = args.option("--size");
  const bool transparent = args.flag("--transparent");
  const bool lossy = args.flag("--lossy");
  std::vector<std::string> pos;
  if (!args.positionals(pos) || pos.size() != 2 || !out) return usage(self);

  AnimationExportOptions options;
  if (!animationFormatForPath(*out, options.format)) {
    std::fprintf(stderr, "animate: the output must end in .gif or .webp, or be a folder\n");
    return kExitUsage;
  }
  if (fps && !parseNumber(*fps, 1, kMaxAnimationFps, options.fps)) {
    std::fprintf(stderr, "animate: --fps takes a whole number from 1 to %d\n", kMaxAnimationFps);
    return kExitUsage;
  }
  if (size && !parseSize(*size, options.width, options.height)) {
    std::fprintf(stderr, "animate: --size takes WIDTHxHEIGHT, for example 500x600\n");
    return kExitUsage;
  }
  options.path = *out;
  options.baseName = stem(pos[1]);
  options.transparent = transparent;
  options.lossless = !lossy;

  HeadlessUi ui;
  auto doc = std::make_unique<Document>(Canvas::kNone);  // the workers' copies get the canvas
  doc->ui = &ui;
  if (!loadProject(*doc, pos[0], true)) return kExitFailed;
  Animation anim;
  std::string reason;
  if (!loadAnimationFile(pos[1], anim, reason)) {
    ui.message(std::string(kAnimationReadFailed) + "\n" + reason, msg::kCaptionError);
    return kExitFailed;
  }

  // Starting Qt costs more than drawing a figure: only characters need it.
  const std::unique_ptr<TextPainter> painter = textPainterFor(*doc, "animate");
  doc->textPainter = painter.get();

  const AnimationProgress bar = isatty(STDERR_FILENO) ? AnimationProgress(drawBar) : nullptr;
  const ExportResult result = exportAnimation(*doc, anim, options, bar, reason);
  if (result == ExportResult::Done) return kExitOk;
  ui.message(std::string(kAnimationExportFailed) + "\n" + reason, msg::kCaptionError);
  return kExitFailed;
}

}  // namespace

TOVALA_CLI_COMMAND(
    "animate",
    "animate IN.tov ANIM.tovanim -o OUT.gif|OUT.webp|DIR/ [--fps N] [--size WxH] "
    "[--transparent] [--lossy]",
    "plays an animation file on a project and writes it as an animated GIF or WebP, or as PNG "
    "pictures",
    "Reads the project IN.tov and the animation file ANIM.tovanim (see docs/CLI.md, Animation "
    "files), puts the figure into the pose of every frame (between keys the poses are "
    "interpolated, then the line programs run as in motion mode) and draws each as the editor's "
    "model picture. The frames are drawn on every core and written, in order, to OUT: an "
    "animated GIF for .gif, an animated WebP for .webp, or for an existing folder (a path "
    "ending in / is always taken as one) one PNG per frame named ANIM_0001.png, ANIM_0002.png ... after the "
    "animation file's name. Both animations loop for ever.\n"
    "--fps N writes N frames a second over the animation's duration (the poses in between are "
    "interpolated). --size WxH resamples the pictures to W x H. --transparent leaves the "
    "background out: PNG and WebP keep each pixel's opacity, GIF makes pixels under half opaque "
    "transparent. --lossy compresses a WebP at a high quality instead of losslessly.\n"
    "A progress bar is drawn on stderr when it is a terminal. The output is written only when "
    "every frame is done; a damaged animation file or a failed export prints its reason (exit 1) "
    "and leaves nothing behind.",
    runAnimate);

}  // namespace tovala::cli
