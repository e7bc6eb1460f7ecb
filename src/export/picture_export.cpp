#include "export/picture_export.h"

#include "export/animation_export.h"
#include "export/picture_write.h"
#include "model/document.h"
#include "model/file_io.h"

namespace tovala {

namespace {

constexpr int32_t kWebpMaxSide = 16383;
constexpr int32_t kGifMaxSide = 65535;
// Above this many pixels (a print) a PNG is compressed the quick way: the default took longer
// than drawing the figure.
constexpr size_t kQuickPngPixels = size_t(4) << 20;

void outputSize(const Document& doc, const PictureExportOptions& o, int32_t& width,
                int32_t& height) {
  width = o.width;
  height = o.height;
  if (!width) scaledSize(doc.imageWidth, doc.imageHeight, o.scale, width, height);
}

}  // namespace

std::string pictureExportFault(const Document& doc, const PictureExportOptions& o) {
  if (doc.modelScale != 1.0f) return kExportScaledModel;
  if (doc.lineCount() <= 1) return "線がありません。";
  const ExportFormatInfo& info = formatInfo(o.format);
  if (!info.still) return "一枚の絵の形式ではありません";
  if (o.look.transparent && !info.transparency) return "この形式は透明な背景を持てません";
  if ((o.width == 0) != (o.height == 0) || o.width < 0 || o.height < 0 ||
      o.width > kMaxPictureSide || o.height > kMaxPictureSide || !(o.scale >= kMinExportScale) ||
      !(o.scale <= kMaxExportScale))
    return "大きさが正しくありません";
  int32_t w = 0, h = 0;
  outputSize(doc, o, w, h);
  if (o.format == ExportFormat::WebP && (w > kWebpMaxSide || h > kWebpMaxSide))
    return "WebP の幅と高さは 16383 までです";
  if (o.format == ExportFormat::Gif && (w > kGifMaxSide || h > kGifMaxSide))
    return "GIF の幅と高さは 65535 までです";
  if (o.path.empty()) return "書き出し先がありません";
  return {};
}

bool drawExportPicture(const Document& doc, const PictureExportOptions& options, ImageSlot& out,
                       std::vector<uint8_t>& alpha, std::string& reason) {
  if (reason = pictureExportFault(doc, options); !reason.empty()) return false;
  int32_t w = 0, h = 0;
  outputSize(doc, options, w, h);
  FigureDrawer drawer;
  if (!drawer.draw(doc, options.look, w, h, options.threads, out, alpha))
    return reason = "絵を描けません", false;
  return true;
}

bool exportPicture(const Document& doc, const PictureExportOptions& options, std::string& reason) {
  ImageSlot picture;
  std::vector<uint8_t> alpha;
  if (!drawExportPicture(doc, options, picture, alpha, reason)) return false;
  const bool print = size_t(picture.width) * size_t(picture.height) > kQuickPngPixels;
  const std::vector<uint8_t> file =
      encodePicture(options.format, picture, alpha, options.lossless, print);
  if (file.empty()) return reason = "符号化に失敗しました", false;
  if (!writeFileAtomic(options.path, file)) return reason = "書き込めません: " + options.path, false;
  return true;
}

}  // namespace tovala
