#include "shell/panels/pose/pose_thumbnail.h"

#include <algorithm>

#include <QPainter>

#include "model/document.h"
#include "model/model_state.h"
#include "platform/ui.h"
#include "render/frame.h"
#include "script/pose_apply.h"

namespace tovala {

namespace {

constexpr int kMargin = 8;  // canvas pixels kept around the figure's extent

// The smallest rectangle holding every pixel that is not the background colour.
QRect figureExtent(const ImageSlot& image, uint32_t back) {
  const uint8_t b = uint8_t(back >> 16), g = uint8_t(back >> 8), r = uint8_t(back);
  int left = image.width, right = -1, top = image.height, bottom = -1;
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* p = image.row(y);
    for (int x = 0; x < image.width; ++x, p += 3) {
      if (p[0] == b && p[1] == g && p[2] == r) continue;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return QRect(0, 0, image.width, image.height);
  return QRect(QPoint(left, top), QPoint(right, bottom))
      .adjusted(-kMargin, -kMargin, kMargin, kMargin)
      .intersected(QRect(0, 0, image.width, image.height));
}

}  // namespace

PoseThumbnails::PoseThumbnails(const Document& figure)
    : copy_(std::make_unique<Document>(Canvas::kNone)) {
  ModelState state;
  ModelStateCapture().capture(figure, state);
  restoreModelState(*copy_, state);
  copy_->buildCanvas();
  copy_->textPainter = figure.textPainter;
  copy_->ui = &silentUi();  // a line program's message box would come up once per picture
  copy_->edit.subMode = figure.edit.subMode;
  lines_ = copy_->lines;
  whole_ = state.whole;
}

PoseThumbnails::~PoseThumbnails() = default;

QImage PoseThumbnails::draw(const Pose& pose, int size) {
  Document& d = *copy_;
  d.lines = lines_;
  d.VextX = whole_[0], d.VextY = whole_[1], d.VextZ = whole_[2];
  d.RadX = whole_[3], d.RadY = whole_[4], d.RadZ = whole_[5];
  applyPose(d, pose);
  rebuildLayers(d);
  refreshSelected(d);

  QImage out(size, size, QImage::Format_RGB888);
  const uint32_t back = d.backColor;
  out.fill(QColor(int(back & 0xFF), int((back >> 8) & 0xFF), int((back >> 16) & 0xFF)));
  const ImageSlot* model = d.workImages.image(kModelImage);
  if (!model || model->width <= 0 || model->height <= 0) return out;
  QImage picture(model->width, model->height, QImage::Format_BGR888);
  for (int y = 0; y < model->height; ++y)
    std::copy_n(model->row(y), size_t(model->width) * 3, picture.scanLine(y));
  const QImage cut = picture.copy(figureExtent(*model, back))
                         .scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QPainter painter(&out);
  painter.drawImage((size - cut.width()) / 2, (size - cut.height()) / 2, cut);
  return out;
}

}  // namespace tovala
