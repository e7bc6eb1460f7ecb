// animate: an animation file played on a project and written as a GIF, a WebP or PNG pictures.

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "cli/command.h"
#include "cli/export_options.h"
#include "cli/figure_option.h"
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
  // The earlier spelling of --background transparent.
  const bool transparent = args.flag("--transparent");
  const bool lossy = args.flag("--lossy");
  const FigureOption figure = takeFigureOption(args);
  PictureChoice choice;
  if (!takePictureOptions(args, "animate", choice)) return kExitUsage;
  std::vector<std::string> pos;
  if (!figure.valid || !args.positionals(pos) || pos.size() != 2 || !out) return usage(self);

  AnimationExportOptions options;
  // A PNG sequence goes into a folder; unlike the editor's export, a name ending in .png is no
  // sequence here, as the pictures are named after the animation file.
  const ExportFormatInfo* format = formatForOutput(*out, true);
  std::error_code ec;
  const bool folder =
      out->back() == '/' || out->back() == '\\' || std::filesystem::is_directory(*out, ec);
  if (!format || format->sequence != folder) {
    std::fprintf(stderr, "animate: the output must end in .gif or .webp, or be a folder\n");
    return kExitUsage;
  }
  options.format = format->format;
  if (fps && !parseWholeNumber(*fps, 1, kMaxAnimationFps, options.fps)) {
    std::fprintf(stderr, "animate: --fps takes a whole number from 1 to %d\n", kMaxAnimationFps);
    return kExitUsage;
  }
  options.path = *out;
  options.baseName = stem(pos[1]);
  options.scale = choice.scale;
  options.look = choice.look;
  if (transparent) options.look.transparent = true;
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
  if (!documentHasFigure(figure, *doc, "animate", pos[0])) return kExitFailed;
  if (figure.given)
    for (AnimationKey& key : anim.keys) key.pose.figure = figure.number;

  // Starting Qt costs more than drawing a figure: only characters need it.
  const std::unique_ptr<TextPainter> painter = textPainterFor(*doc, "animate");
  doc->textPainter = painter.get();

  if (choice.width) {
    options.width = choice.width;
    options.height = choice.height;
    fittedSize(doc->imageWidth, doc->imageHeight, options.width, options.height);
  }

  const AnimationProgress bar = isatty(STDERR_FILENO) ? AnimationProgress(drawBar) : nullptr;
  const ExportResult result = exportAnimation(*doc, anim, options, bar, reason);
  if (result == ExportResult::Done) return kExitOk;
  ui.message(std::string(kAnimationExportFailed) + "\n" + reason, msg::kCaptionError);
  return kExitFailed;
}

}  // namespace

TOVALA_CLI_COMMAND(
    "animate",
    "animate IN.tov ANIM.tovanim -o OUT.gif|OUT.webp|DIR/ [--fps N] [--scale S | --size WxH] "
    "[--view line|object] [--bones] [--background transparent|#RRGGBB] [--lossy] [--figure N]",
    "plays an animation file on a project and writes it as an animated GIF or WebP, or as PNG "
    "pictures",
    "Reads the project IN.tov and the animation file ANIM.tovanim (see docs/CLI.md, Animation "
    "files), puts the figure into the pose of every frame (between keys the poses are "
    "interpolated, then the line programs run as in motion mode) and draws each as "
    "export does: the figure without the editor's working marks, smooth at any size. The frames are drawn on every core and written, in order, to OUT: an "
    "animated GIF for .gif, an animated WebP for .webp, or for an existing folder (a path "
    "ending in / is always taken as one) one PNG per frame named ANIM_0001.png, ANIM_0002.png ... after the "
    "animation file's name. Both animations loop for ever.\n"
    "--fps N writes N frames a second over the animation's duration (the poses in between are "
    "interpolated). --scale, --size, --view, --bones and --background are those of export. "
    "--background transparent (or --transparent) leaves the background out: PNG and WebP keep "
    "each pixel's opacity, GIF makes pixels under half opaque transparent. --lossy compresses a "
    "WebP at a high quality instead of losslessly. Each frame's rand sequence starts from the "
    "frame's number, so the same export gives the same bytes on any number of cores.\n"
    "--figure N plays the animation on the N-th figure (from 1) of a cast (docs/CLI.md, Casts) "
    "whatever figure its keys name; without it the figure the first key names, else the first.\n"
    "A progress bar is drawn on stderr when it is a terminal. The output is written only when "
    "every frame is done; a damaged animation file or a failed export prints its reason (exit 1) "
    "and leaves nothing behind.",
    runAnimate);

}  // namespace tovala::cli
