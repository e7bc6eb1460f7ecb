#pragma once
// 書き出し (ファイル → 書き出し…): one dialog for every picture and animation format of the format
// table. It shows the format, the size (a scale of the canvas, or width x height in pixels), the
// view (線 / オブジェクト), the bones, the background (透明, the canvas's colour or a chosen one),
// for an animation the frames and their rate, the output file and a preview of the first frame
// drawn as the export will draw it. Its choices are kept for the next time, in the editor's
// settings when it has them (so from one run to the next). PNG書出 and アニメーション書出 open it
// with their format chosen.

#include <QDialog>

#include <optional>
#include <string>

#include "export/animation_export.h"
#include "export/formats.h"
#include "export/picture_export.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace tovala {

class TMyWindow;

inline constexpr int kCommandExport = 40140;  // ファイル: 書き出し…

// What the dialog remembers between uses.
struct ExportChoices {
  ExportFormat format = ExportFormat::Png;
  bool animated = false;  // GIF and WebP: the animation, not the current picture
  double scale = 1.0;
  // Sized by pixels: the largest picture with the canvas's aspect inside width x height; 0 x 0
  // sizes it by `scale`.
  int32_t width = 0, height = 0;
  std::optional<bool> objectView;  // unset: the object view when the document has objects
  bool bones = false;
  int background = 0;  // 0 the canvas's colour, 1 transparent, 2 the chosen colour
  uint32_t colour = 0xFFFFFF;
  int fps = 0;  // 0: the animation's own rate
  std::string path;
};

class ExportDialog : public QDialog {
  Q_OBJECT

 public:
  // `format` and `animated` preselect the format (PNG書出, アニメーション書出); without them the
  // last choices stand.
  ExportDialog(TMyWindow& window, std::optional<ExportFormat> format, bool animated);

  // The options the current choices make; `path` empty when no file is chosen.
  PictureExportOptions pictureOptions() const;
  AnimationExportOptions animationOptions() const;
  bool exportsAnimation() const;
  // Draws the preview again; its time is the last draw's, in milliseconds.
  void redrawPreview();
  double lastPreviewMs() const { return previewMs_; }
  // Writes the export with the current choices and remembers them; false (after saying why)
  // when it failed or was cancelled, or no file is chosen.
  bool runExport();

  // The choices of the last use within this run; the editor's settings, when it has them, hold
  // them for the next run too.
  static ExportChoices& remembered();

 private:
  void build();
  void load(const ExportChoices& c);
  ExportChoices current() const;
  void remember();
  void formatChanged();
  void browse();
  void updateSize();
  // Width or height typed: the other side and the scale follow, keeping the canvas's aspect.
  void sizeTyped(int32_t width, int32_t height);

  TMyWindow& w_;
  QComboBox* format_ = nullptr;
  QCheckBox* animated_ = nullptr;
  QDoubleSpinBox* scale_ = nullptr;
  QSpinBox* width_ = nullptr;
  QSpinBox* height_ = nullptr;
  bool bySize_ = false;  // the size typed decides, not the scale
  QRadioButton* lineView_ = nullptr;
  QRadioButton* objectView_ = nullptr;
  QCheckBox* bones_ = nullptr;
  QComboBox* background_ = nullptr;
  uint32_t colour_ = 0xFFFFFF;
  QSpinBox* first_ = nullptr;
  QSpinBox* last_ = nullptr;
  QSpinBox* fps_ = nullptr;
  QLineEdit* path_ = nullptr;
  QLabel* preview_ = nullptr;
  FigureDrawer drawer_;
  double previewMs_ = 0;
};

// Opens the dialog and, on 書き出し, exports.
void openExportDialog(TMyWindow& w, std::optional<ExportFormat> format, bool animated);

}  // namespace tovala
