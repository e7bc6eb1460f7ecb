#pragma once
// "画像" (dialog 113): the user images as thumbnails, three cells at a time, for choosing the
// picture of an image line ("描画" → "画像" → "選択") and for deleting pictures.

#include <QDialog>

class QScrollBar;

namespace tovala {

class Document;
class TMyWindow;

inline constexpr int kImageCellWidth = 110;
inline constexpr int kImageCellsShown = 3;
inline constexpr int kImageAreaWidth = kImageCellWidth * kImageCellsShown;  // 330
inline constexpr int kImageAreaHeight = 125;

struct ThumbnailBox {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const ThumbnailBox&) const = default;
};

// The user images the dialog offers: every slot but the sentinel one.
int chooserImageCount(const Document& doc);
// Where an image of width x height is drawn in visible cell `cell`: its larger side 100 pixels,
// centred in the 100 x 100 square 5 pixels from the cell's top and left.
ThumbnailBox thumbnailBox(int cell, int width, int height);
// The scroll bar's last position; below 0 with fewer than three images.
inline int imageScrollMax(int count) { return count - kImageCellsShown; }
// A first visible index clamped to 0 .. count - 3, never below 0.
int clampFirstVisible(int first, int count);
// The image a click at (x, y) of the picture area chooses, -1 for none.
int imageAtClick(int first, int count, int x, int y);

class ImageDialog : public QDialog {
  Q_OBJECT

 public:
  // Opens on image `selected`; "削除" changes `doc` directly (after asking).
  ImageDialog(Document& doc, int selected, QWidget* parent = nullptr);

  int selected() const { return selected_; }
  int firstVisible() const { return first_; }
  // Whether "削除" removed an image (the caller redraws).
  bool deletedAny() const { return deletedAny_; }

  void clickAt(int x, int y);
  void setFirstVisible(int first);
  void deleteSelected();

  QScrollBar* scrollBar() const { return scroll_; }
  QWidget* pictureArea() const { return picture_; }
  // Draws the visible cells; the picture area's paint event calls it.
  void paintCells(QWidget* target) const;

 private:
  void syncScrollBar();

  Document& doc_;
  QWidget* picture_;
  QScrollBar* scroll_;
  int first_ = 0;
  int selected_ = 0;
  bool deletedAny_ = false;
};

// "選択" (40019): chooses the picture of the selected line.
void chooseImageCommand(TMyWindow& w);

}  // namespace tovala
