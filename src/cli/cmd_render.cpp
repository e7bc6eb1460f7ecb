// render: a project drawn as the editor draws it, written as a BMP or PNG picture.

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "cli/command.h"
#include "model/bmp.h"
#include "model/document.h"
#include "model/file_io.h"
#include "model/messages.h"
#include "model/project_file.h"
#include "platform/ui.h"
#include "render/frame.h"

#if defined(TOVALA_CLI_WITH_QT)
#include "qtplatform/qt_text_painter.h"
#endif

namespace tovala::cli {
namespace {

// The image as a PNG file (8-bit RGB), or nothing when libpng refuses it.
std::vector<uint8_t> encodePng(const ImageSlot& image) {
  std::vector<uint8_t> rgb(size_t(image.width) * size_t(image.height) * 3);
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* src = image.row(y);
    uint8_t* dst = rgb.data() + size_t(y) * size_t(image.width) * 3;
    for (int x = 0; x < image.width; ++x, src += 3, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = png_uint_32(image.width);
  png.height = png_uint_32(image.height);
  png.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&png, nullptr, &size, 0, rgb.data(), 0, nullptr)) return {};
  std::vector<uint8_t> file(size);
  if (!png_image_write_to_memory(&png, file.data(), &size, 0, rgb.data(), 0, nullptr)) {
    png_image_free(&png);
    return {};
  }
  file.resize(size);
  return file;
}

[[maybe_unused]] bool hasTextLines(const Document& doc) {
  for (int i = 0; i + 1 < doc.lineCount(); ++i)
    if (doc.lines[size_t(i)].kind == 3 && doc.findText(doc.lines[size_t(i)].nam) >= 0) return true;
  return false;
}

int runRender(Args& args) {
  const Command& self = *findCommand("render");
  const auto out = args.option("-o");
  const auto select = args.option("--select");
  const bool display = args.flag("--display");
  const bool objects = args.flag("--objects");
  std::vector<std::string> pos;
  if (!args.positionals(pos) || pos.size() != 1 || !out) return usage(self);
  const std::string ext = fileExtension(*out);
  const bool png = ext == "png" || ext == "PNG";
  if (!png && ext != "bmp" && ext != "BMP") {
    std::fprintf(stderr, "render: the output must end in .bmp or .png\n");
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

#if defined(TOVALA_CLI_WITH_QT)
  // Starting Qt costs more than drawing a figure: only characters need it.
  std::optional<OffscreenGuiApplication> gui;
  std::optional<QtTextPainter> painter;
  if (hasTextLines(*doc)) {
    gui.emplace();
    painter.emplace();
    doc->textPainter = &*painter;
  }
#else
  if (hasTextLines(*doc))
    std::fprintf(stderr, "render: built without Qt: the characters of text lines are not drawn\n");
#endif

  rebuildLayers(*doc);
  refreshSelected(*doc);
  if (display) buildDisplay(*doc);
  const ImageSlot* picture = doc->workImages.image(display ? kDisplayImage : kModelImage);
  if (!picture) return kExitFailed;
  const std::vector<uint8_t> file = png ? encodePng(*picture) : encodeBmp(*picture);
  if (file.empty() || !writeFileAtomic(*out, file)) {
    ui.message(msg::kSaveFailed, msg::kCaptionErrorLower);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

TOVALA_CLI_COMMAND(
    "render", "render IN.tov -o OUT.bmp|OUT.png [--display] [--objects] [--select L]",
    "rebuilds the layers and writes the model picture, or with --display the display buffer",
    "Reads the project IN.tov, draws it as the editor does after opening it (the back, selected "
    "and front layers merged over the background colour) and writes the model picture to OUT "
    "as a 24-bit BMP or an RGB PNG, chosen by the extension. --display writes the display buffer "
    "instead: the picture with the underlay laid over it (pure white underlay pixels left out) "
    "and the selected line's point marks. --objects draws in object view. --select L makes line L "
    "(an index from 0) the "
    "selected line first. Text lines need the Qt fonts; a tool built without Qt draws their "
    "strokes only and says so. The output is written atomically.",
    runRender);

}  // namespace tovala::cli
