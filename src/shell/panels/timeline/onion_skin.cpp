#include "shell/panels/timeline/onion_skin.h"

#include "model/document.h"
#include "render/frame.h"
#include "script/pose_apply.h"

namespace tovala {

namespace {
constexpr int kGhostAlpha = 110;  // of 255: faint enough to see the figure through it
constexpr QRgb kBeforeTint = 0xE03030;
constexpr QRgb kAfterTint = 0x3050E0;

// Draws `pose` on `d` and lays the figure onto `out`, tinted with `tint` (0xRRGGBB).
void lay(Document& d, const Pose& pose, QImage& out, QRgb tint) {
  applyPose(d, pose);
  rebuildLayers(d);
  refreshSelected(d);
  const ImageSlot* picture = d.workImages.image(kModelImage);
  if (!picture || picture->width != out.width() || picture->height != out.height()) return;
  const uint8_t backB = uint8_t(d.backColor >> 16), backG = uint8_t(d.backColor >> 8),
                backR = uint8_t(d.backColor);
  // Every pixel the figure covers, its colour halfway to the tint, at the ghost's opacity.
  for (int y = 0; y < picture->height; ++y) {
    const uint8_t* src = picture->row(y);
    auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < picture->width; ++x, src += 3) {
      if (src[0] == backB && src[1] == backG && src[2] == backR) continue;
      const int r = (src[2] + qRed(tint)) / 2, g = (src[1] + qGreen(tint)) / 2,
                b = (src[0] + qBlue(tint)) / 2;
      dst[x] =
          qRgba(r * kGhostAlpha / 255, g * kGhostAlpha / 255, b * kGhostAlpha / 255, kGhostAlpha);
    }
  }
}

}  // namespace

QImage drawOnionSkin(const Document& doc, const Pose* before, const Pose* after) {
  const ImageSlot* model = doc.workImages.image(kModelImage);
  if ((!before && !after) || !model || !model->present) return {};
  // A fresh copy each time: the document may have changed in any way since the last skin.
  Document scratch = doc;
  QImage out(model->width, model->height, QImage::Format_ARGB32_Premultiplied);
  out.fill(Qt::transparent);
  if (before) lay(scratch, *before, out, kBeforeTint);
  if (after) lay(scratch, *after, out, kAfterTint);
  return out;
}

}  // namespace tovala
