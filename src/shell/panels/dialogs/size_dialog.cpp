#include "shell/panels/dialogs/size_dialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "model/document.h"
#include "model/messages.h"
#include "platform/ui.h"
#include "shell/main_window.h"
#include "shell/model_scale.h"
#include "shell/panels/dialog_buttons.h"

namespace tovala {

namespace {

constexpr const char* kBadWidth = "この幅には変更できません。(10～10000まで)";
constexpr const char* kBadHeight = "この高さには変更できません。(10～10000まで)";

bool sideInRange(int side) { return side >= kMinCanvasSide && side <= kMaxCanvasSide; }

QLineEdit* numberEdit(int value, int id) {
  auto* e = new QLineEdit(QString::number(value));
  e->setObjectName(QString::number(id));
  return e;
}

}  // namespace

const char* canvasSizeRefusal(int width, int height) {
  if (!sideInRange(width)) return kBadWidth;
  if (!sideInRange(height)) return kBadHeight;
  if (!canvasFits(width, height)) return msg::kCanvasTooLarge;
  return nullptr;
}

bool changeCanvasSize(TMyWindow& w, int width, int height) {
  if (const char* refusal = canvasSizeRefusal(width, height)) {
    w.ui().message(refusal, "");
    return false;
  }
  w.session().edit("OnTovSize", [width, height](Document& d) {
    d.imageWidth = width;
    d.imageHeight = height;
    d.backColor = kDefaultBackColor;
    for (int slot :
         {kDisplayImage, kModelImage, kScratchImage, kFrontLayer, kSelectedLayer, kBackLayer})
      d.workImages.makeBlank(slot, width, height, d.backColor);
    d.layerMerge.valid = false;
  }, Redraw::All);
  w.resetScrolling();
  w.update();
  moveFigureToOrigin(w);
  w.compose();
  return true;
}

SizeDialog::SizeDialog(int width, int height, QWidget* parent) : QDialog(parent) {
  setObjectName("121");
  setWindowTitle(QString::fromUtf8("サイズ変更"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  width_ = numberEdit(width, 1053);
  height_ = numberEdit(height, 1054);
  form->addRow(QString::fromUtf8("幅"), width_);
  form->addRow(QString::fromUtf8("高"), height_);
  layout->addLayout(form);
  addOkCancel(this, layout);
}

int SizeDialog::widthValue() const { return width_->text().trimmed().toInt(); }
int SizeDialog::heightValue() const { return height_->text().trimmed().toInt(); }

void canvasSizeCommand(TMyWindow& w) {
  if (w.motion()) return;
  SizeDialog dialog(w.doc().imageWidth, w.doc().imageHeight, &w);
  if (dialog.exec() == QDialog::Accepted)
    changeCanvasSize(w, dialog.widthValue(), dialog.heightValue());
}

}  // namespace tovala
