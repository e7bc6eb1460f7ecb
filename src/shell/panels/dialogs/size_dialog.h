#pragma once
// "サイズ変更" (dialog 121): the canvas width and height. A new size recreates the canvas-sized
// work images (the scratch copy and the underlay keep theirs) and puts the figure back at its
// origin.

#include <QDialog>

#include "model/project_file.h"  // canvasFits, kMaxCanvasSide

class QLineEdit;

namespace tovala {

class TMyWindow;

inline constexpr int kMinCanvasSide = 10;

// The message refusing a size, or nullptr when it may be taken: each side 10 to 10000, the width
// judged first, then a canvas the project file can hold (msg::kCanvasTooLarge).
const char* canvasSizeRefusal(int width, int height);
// Takes the size, or shows the refusal (caption none) and changes nothing; whether it was taken.
bool changeCanvasSize(TMyWindow& w, int width, int height);

class SizeDialog : public QDialog {
  Q_OBJECT

 public:
  SizeDialog(int width, int height, QWidget* parent = nullptr);
  // The typed numbers; text that is not a number reads as 0.
  int widthValue() const;
  int heightValue() const;
  QLineEdit* widthEdit() const { return width_; }
  QLineEdit* heightEdit() const { return height_; }

 private:
  QLineEdit* width_;
  QLineEdit* height_;
};

// The size command (40043).
void canvasSizeCommand(TMyWindow& w);

}  // namespace tovala
