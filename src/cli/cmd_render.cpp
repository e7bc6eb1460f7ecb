// render: a project drawn as the editor draws it, written as a BMP or PNG picture.

#include <cstdio>
#include <memory>
#include <optional>

#include "cli/command.h"
#include "cli/text_fonts.h"
#include "export/formats.h"
#include "export/picture_write.h"
#include "model/document.h"
#include "model/project_file.h"
#include "platform/ui.h"
#include "render/frame.h"

namespace tovala::cli {
namespace {

int runRender(Args& args) {
  const Command& self = *findCommand("render");
  const auto out = args.option("-o");
  const auto select = args.option("--select");
  const bool display = args.flag("--display");
  const bool objects = args.flag("--objects");
  const bool transparent = args.flag("--transparent");
  std::vector<std::string> pos;
  if (!args.positionals(pos) || pos.size() != 1 || !out) return usage(self);
  // The editor's picture is written in the two formats its commands write.
  const ExportFormatInfo* format = formatForOutput(*out, false);
  const bool png = format && format->format == ExportFormat::Png;
  if (!png && !(format && format->format == ExportFormat::Bmp)) {
    std::fprintf(stderr, "render: the output must end in .bmp or .png\n");
    return kExitUsage;
  }
  if (transparent && (!png || display)) {
    std::fprintf(stderr, "render: --transparent writes the model picture as a .png\n");
    return kExitUsage;
  }

  HeadlessUi ui;
  // Made without a canvas so the work images are built once, at the loaded canvas size.
  auto doc = std::make_unique<Document>(Canvas::kNone);
  doc->ui = &ui;
  if (!loadProject(*doc, pos[0], true)) return kExitFailed;
  doc->buildCanvas();
  if (select) {
    char* end = nullptr;
    const long line = std::strtol(select->c_str(), &end, 10);
    if (end == select->c_str() || *end != '\0' || !doc->isValidLine(int(line))) {
      std::fprintf(stderr, "render: --select %s is not a line of the project\n", select->c_str());
      return kExitUsage;
    }
    doc->curLine = int(line);
  }
  doc->objectView = objects ? 1 : 0;
  // Projects do not keep the underlay switch; the display form always shows the underlay.
  if (display) doc->showUnderlay = 1;

  // Starting Qt costs more than drawing a figure: only characters need it.
  const std::unique_ptr<TextPainter> painter = textPainterFor(*doc, "render");
  doc->textPainter = painter.get();

  ImageSlot picture;
  std::vector<uint8_t> alpha;
  if (!canvasPicture(*doc, transparent, picture, alpha)) return kExitFailed;
  if (display) {
    buildDisplay(*doc);
    const ImageSlot* shown = doc->workImages.image(kDisplayImage);
    if (!shown) return kExitFailed;
    picture = *shown;
  }
  return writePicture(*out, format->format, picture, alpha, ui) ? kExitOk : kExitFailed;
}

}  // namespace

TOVALA_CLI_COMMAND(
    "render",
    "render IN.tov -o OUT.bmp|OUT.png [--display] [--objects] [--select L] [--transparent]",
    "rebuilds the layers and writes the model picture, or with --display the display buffer",
    "Reads the project IN.tov, draws it as the editor does after opening it (the back, selected "
    "and front layers merged over the background colour) and writes the model picture to OUT "
    "as a 24-bit BMP or an RGB PNG, chosen by the extension. --display writes the display buffer "
    "instead: the picture with the underlay laid over it (pure white underlay pixels left out) "
    "and the selected line's point marks. --objects draws in object view. --select L makes line L "
    "(an index from 0) the "
    "selected line first. --transparent (PNG only, not with --display) writes the figure alone "
    "as an RGBA PNG: drawn over white and over black, each pixel's opacity and colour are "
    "recovered from the two, so soft edges keep their partial opacity and a pixel no line "
    "touches is fully transparent. The characters of text lines are drawn with the Qt fonts of "
    "the module tovala-cli-text.so next to the tool; without it the tool draws their strokes only "
    "and says so. The output is written atomically.",
    runRender);

}  // namespace tovala::cli
