#include "export/picture_write.h"

#include "codec/bmp.h"
#include "codec/gif_file.h"
#include "codec/jpeg_file.h"
#include "codec/png_file.h"
#include "codec/webp_file.h"
#include "model/document.h"
#include "model/file_io.h"
#include "model/messages.h"
#include "platform/ui.h"
#include "render/figure_alpha.h"
#include "render/frame.h"

namespace tovala {

namespace {

std::vector<uint8_t> rgbaOf(const ImageSlot& image, std::span<const uint8_t> alpha) {
  std::vector<uint8_t> out(size_t(image.width) * size_t(image.height) * 4);
  uint8_t* d = out.data();
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* s = image.row(y);
    const uint8_t* a = alpha.empty() ? nullptr : alpha.data() + size_t(y) * size_t(image.width);
    for (int x = 0; x < image.width; ++x, s += 3, d += 4) {
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
      d[3] = a ? a[x] : 255;
    }
  }
  return out;
}

}  // namespace

std::vector<uint8_t> encodePicture(ExportFormat format, const ImageSlot& image,
                                   std::span<const uint8_t> alpha, bool lossless, bool quick) {
  if (!image.present || image.width <= 0 || image.height <= 0) return {};
  if (!alpha.empty() && alpha.size() != size_t(image.width) * size_t(image.height)) return {};
  switch (format) {
    case ExportFormat::Png:
      return encodePng(image, alpha, quick);
    case ExportFormat::Jpeg: return encodeJpeg(image);
    case ExportFormat::Bmp: return encodeBmp(image);
    case ExportFormat::Gif: {
      GifFrame frame;
      if (!quantizeGifFrame(rgbaOf(image, alpha), image.width, image.height, !alpha.empty(),
                            frame))
        return {};
      GifAnimationWriter writer;
      return writer.add(frame, 0) ? writer.finish() : std::vector<uint8_t>{};
    }
    case ExportFormat::WebP: {
      WebpAnimationWriter writer;
      if (!writer.start(image.width, image.height, lossless) ||
          !writer.add(rgbaOf(image, alpha), 0))
        return {};
      return writer.finish(100);
    }
    case ExportFormat::PngSequence: break;
  }
  return {};
}

bool writePicture(const std::string& path, ExportFormat format, const ImageSlot& image,
                  std::span<const uint8_t> alpha, Ui& ui) {
  const std::vector<uint8_t> file = encodePicture(format, image, alpha);
  if (file.empty() || !writeFileAtomic(path, file)) {
    ui.message(msg::kSaveFailed, msg::kCaptionErrorLower);
    return false;
  }
  return true;
}

bool writePngFile(const std::string& path, const ImageSlot& image, std::span<const uint8_t> alpha,
                  Ui& ui) {
  return writePicture(path, ExportFormat::Png, image, alpha, ui);
}

bool canvasPicture(Document& doc, bool transparent, ImageSlot& out, std::vector<uint8_t>& alpha) {
  if (transparent) return renderFigureAlpha(doc, out, alpha);
  alpha.clear();
  rebuildLayers(doc);
  refreshSelected(doc);
  const ImageSlot* model = doc.workImages.image(kModelImage);
  if (!model) return false;
  out = *model;
  return true;
}

}  // namespace tovala
