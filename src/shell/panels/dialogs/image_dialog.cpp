#include "shell/panels/dialogs/image_dialog.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "model/document.h"
#include "platform/ui.h"
#include "shell/command_rules.h"
#include "shell/panels/dialog_buttons.h"

namespace tovala {

namespace {

constexpr int kThumbSide = 100;
constexpr int kThumbMargin = 5;
constexpr int kLabelTop = 105;
const QColor kSelectedCell(0, 0, 180);

QImage toQImage(const ImageSlot& s) {
  QImage image(s.width, s.height, QImage::Format_BGR888);
  for (int y = 0; y < s.height; ++y) std::memcpy(image.scanLine(y), s.row(y), size_t(s.width) * 3);
  return image;
}

// The picture area forwards its painting and clicks to the dialog.
class PictureArea : public QWidget {
 public:
  explicit PictureArea(ImageDialog& dialog) : dialog_(dialog) {
    setObjectName("1008");
    setFixedSize(kImageAreaWidth, kImageAreaHeight);
  }

 protected:
  void paintEvent(QPaintEvent*) override { dialog_.paintCells(this); }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) dialog_.clickAt(e->pos().x(), e->pos().y());
  }

 private:
  ImageDialog& dialog_;
};

// The first line, in index order, showing the picture with `key`; -1 when none does.
int firstLineShowing(const Document& doc, int32_t key) {
  for (int l = 0; l < doc.lineCount() - 1; ++l) {
    const LineRecord& line = doc.lines[size_t(l)];
    if (line.kind == 2 && int32_t(line.cb) == key) return l;
  }
  return -1;
}

}  // namespace

int chooserImageCount(const Document& doc) {
  const int slotsHeld = std::min(doc.userImages.slotCount(), int(doc.imageKeys.size()));
  return std::max(0, slotsHeld - 1);
}

ThumbnailBox thumbnailBox(int cell, int width, int height) {
  const int larger = std::max(width, height);
  if (larger <= 0) return {};
  const int w = int(int64_t(width) * kThumbSide / larger);
  const int h = int(int64_t(height) * kThumbSide / larger);
  return {cell * kImageCellWidth + kThumbMargin + (kThumbSide - w) / 2,
          kThumbMargin + (kThumbSide - h) / 2, w, h};
}

int clampFirstVisible(int first, int count) {
  first = std::min(first, imageScrollMax(count));
  return std::max(first, 0);
}

int imageAtClick(int first, int count, int x, int y) {
  if (!(x > 0 && x < kImageAreaWidth && y > 0 && y < kImageAreaHeight)) return -1;
  const int index = first + x / kImageCellWidth;
  return index < count ? index : -1;
}

ImageDialog::ImageDialog(Document& doc, int selected, QWidget* parent)
    : QDialog(parent), doc_(doc) {
  setObjectName("113");
  setWindowTitle(QString::fromUtf8("画像"));
  const int count = chooserImageCount(doc_);
  selected_ = selected >= 0 && selected < count ? selected : 0;
  first_ = clampFirstVisible(selected_, count);

  auto* layout = new QVBoxLayout(this);
  picture_ = new PictureArea(*this);
  scroll_ = new QScrollBar(Qt::Horizontal);
  scroll_->setObjectName("1009");
  scroll_->setPageStep(1);
  scroll_->setSingleStep(1);
  auto* remove = new QPushButton(QString::fromUtf8("削除"));
  remove->setObjectName("1010");
  remove->setAutoDefault(false);
  layout->addWidget(picture_);
  layout->addWidget(scroll_);
  layout->addWidget(remove);
  addOkCancel(this, layout);
  syncScrollBar();
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int v) { setFirstVisible(v); });
  connect(remove, &QPushButton::clicked, this, &ImageDialog::deleteSelected);
}

void ImageDialog::syncScrollBar() {
  const QSignalBlocker block(scroll_);
  scroll_->setRange(0, std::max(0, imageScrollMax(chooserImageCount(doc_))));
  scroll_->setValue(first_);
}

void ImageDialog::setFirstVisible(int first) {
  first_ = clampFirstVisible(first, chooserImageCount(doc_));
  syncScrollBar();
  picture_->update();
}

void ImageDialog::clickAt(int x, int y) {
  const int index = imageAtClick(first_, chooserImageCount(doc_), x, y);
  if (index < 0) return;
  selected_ = index;
  picture_->update();
}

void ImageDialog::deleteSelected() {
  const int count = chooserImageCount(doc_);
  if (selected_ < 0 || selected_ >= count) return;
  const int32_t key = doc_.imageKeys[size_t(selected_)];
  const int user = firstLineShowing(doc_, key);
  if (user >= 0) {
    char text[160];
    std::snprintf(text, sizeof text, "この画像は、%d番目の線で使用されています。削除しますか?",
                  user);
    if (doc_.ui->ask(text, "確認", Buttons::YesNo) != Answer::Yes) return;
    // Every line showing the picture loses it, not only the one named: a line left with the
    // removed key would show whichever picture the look-up falls back to.
    for (int l = user; l >= 0; l = firstLineShowing(doc_, key)) doc_.lines[size_t(l)].kind = 0;
  }
  doc_.removeUserImage(selected_);
  deletedAny_ = true;
  selected_ = std::clamp(selected_, 0, std::max(0, chooserImageCount(doc_) - 1));
  setFirstVisible(first_);
}

void ImageDialog::paintCells(QWidget* target) const {
  QPainter painter(target);
  painter.fillRect(target->rect(), target->palette().window());
  const int count = chooserImageCount(doc_);
  for (int cell = 0; cell < kImageCellsShown; ++cell) {
    const int index = first_ + cell;
    if (index >= count) break;
    const QRect cellRect(cell * kImageCellWidth, 0, kImageCellWidth, kImageAreaHeight);
    if (index == selected_) painter.fillRect(cellRect, kSelectedCell);
    if (const ImageSlot* s = doc_.userImages.image(index)) {
      const ThumbnailBox b = thumbnailBox(cell, s->width, s->height);
      painter.drawImage(QRect(b.x, b.y, b.width, b.height), toQImage(*s));
    }
    char label[32];
    std::snprintf(label, sizeof label, "%d:%d", index, doc_.imageKeys[size_t(index)]);
    painter.drawText(QRect(cellRect.x(), kLabelTop, kImageCellWidth, kImageAreaHeight - kLabelTop),
                     Qt::AlignHCenter | Qt::AlignTop, QString::fromLatin1(label));
  }
}

void chooseImageCommand(TMyWindow& w) {
  Document& d = w.doc();
  if (d.edit.mode == kModePaint || w.motion()) return;
  if (!w.hasLines()) {
    w.ui().message(kNoLines, "エラー");
    return;
  }
  if (!w.lineSelected()) {
    w.ui().message(kNoLineSelected, "エラー");
    return;
  }
  const LineRecord& line = d.lines[size_t(d.curLine)];
  ImageDialog dialog(d, line.kind == 2 ? d.findImageByKey(int32_t(line.cb)) : 0, &w);
  const bool ok = dialog.exec() == QDialog::Accepted;
  // The deletions were made in the dialog, which takes no steps.
  if (dialog.deletedAny()) w.session().changed(Redraw::All);
  if (ok && dialog.selected() < chooserImageCount(d)) {
    const int chosen = dialog.selected();
    w.session().edit("OnTovImgSel",
                     [chosen](Document& doc) { doc.chooseLineImage(doc.curLine, chosen); });
  }
  w.modeChange(d.edit.mode, "OnTovImgSel");
}

}  // namespace tovala
