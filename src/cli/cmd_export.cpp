// export: the figure of a project as a picture people use, in any still format of the format
// table.

#include <cstdio>
#include <memory>

#include "cli/command.h"
#include "cli/export_options.h"
#include "cli/text_fonts.h"
#include "export/picture_export.h"
#include "model/document.h"
#include "model/messages.h"
#include "model/project_file.h"
#include "platform/ui.h"

namespace tovala::cli {
namespace {

constexpr const char* kExportFailed = "画像を書き出せません。";

int runExport(Args& args) {
  const Command& self = *findCommand("export");
  const auto out = args.option("-o");
  const bool lossy = args.flag("--lossy");
  PictureChoice choice;
  if (!takePictureOptions(args, "export", choice)) return kExitUsage;
  std::vector<std::string> pos;
  if (!args.positionals(pos) || pos.size() != 1 || !out) return usage(self);
  const ExportFormatInfo* format = formatForOutput(*out, false);
  if (!format) {
    std::fprintf(stderr, "export: the output must end in .png, .jpg, .bmp, .gif or .webp\n");
    return kExitUsage;
  }
  if (choice.look.transparent && !format->transparency) {
    std::fprintf(stderr, "export: a .%s picture has no transparency\n",
                 std::string(format->extension).c_str());
    return kExitUsage;
  }

  HeadlessUi ui;
  auto doc = std::make_unique<Document>(Canvas::kNone);  // the drawer makes its own canvas
  doc->ui = &ui;
  if (!loadProject(*doc, pos[0], true)) return kExitFailed;
  // Starting Qt costs more than drawing a figure: only characters need it.
  const std::unique_ptr<TextPainter> painter = textPainterFor(*doc, "export");
  doc->textPainter = painter.get();

  PictureExportOptions options;
  options.format = format->format;
  options.path = *out;
  options.scale = choice.scale;
  options.look = choice.look;
  options.lossless = !lossy;
  if (choice.width) {
    options.width = choice.width;
    options.height = choice.height;
    fittedSize(doc->imageWidth, doc->imageHeight, options.width, options.height);
  }
  std::string reason;
  if (exportPicture(*doc, options, reason)) return kExitOk;
  ui.message(std::string(kExportFailed) + "\n" + reason, msg::kCaptionError);
  return kExitFailed;
}

}  // namespace

TOVALA_CLI_COMMAND(
    "export",
    "export IN.tov -o OUT.png|OUT.jpg|OUT.bmp|OUT.gif|OUT.webp [--scale S | --size WxH] "
    "[--view line|object] [--bones] [--background transparent|#RRGGBB] [--lossy]",
    "writes the figure of a project as a smooth picture, without the editor's working marks",
    "Reads the project IN.tov and writes its figure to OUT in the format its extension names "
    "(PNG, JPEG, BMP, GIF or WebP). The picture shows the figure, not the editor's working "
    "marks: joint lines (the skeleton) and lines of at most one point (lines that only carry a "
    "program, such as the body model's controllers) are left out, and point marks, the "
    "selection, hit-guide shapes and the underlay never appear. The figure is drawn 2 to 4 "
    "times larger and averaged down, so its edges are smooth at any size, with line weights as "
    "on the canvas.\n"
    "--scale S (0.25 to 8) sizes the picture as the canvas times S; --size WxH as the largest "
    "picture with the canvas's shape that fits in W x H. Without either it has the canvas's "
    "size. --view line|object draws in line view or object view; without it the object view is "
    "used when the project has objects (it draws the filled figure). --bones draws the joint "
    "lines too. --background transparent leaves the background out (PNG, GIF, WebP); "
    "--background #RRGGBB lays the figure over that colour; without it the project's "
    "background colour is kept. --lossy compresses a WebP at a high quality instead of "
    "losslessly.\n"
    "A model enlarged or reduced (一時拡大, 伸縮指定) is refused. The output is written "
    "atomically; on failure an existing file is left as it was.",
    runExport);

}  // namespace tovala::cli
