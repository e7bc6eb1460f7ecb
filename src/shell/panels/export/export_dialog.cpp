#include "shell/panels/export/export_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

#include "engine/animation_file.h"
#include "model/document.h"
#include "platform/ui.h"
#include "shell/command_rules.h"
#include "shell/main_window.h"
#include "shell/panels/timeline/export_command.h"
#include "shell/panels/timeline/timeline.h"

// After the script engine's header, which has a member named like Qt's `emit`.
#include <QSettings>

namespace tovala {

namespace {

constexpr const char* kCaption = "書き出し";
constexpr const char* kPictureFailed = "画像を書き出せません。";
constexpr const char* kNoFile = "書き出すファイルを選んでください。";
constexpr const char* kNoKeys =
    "アニメーションにキーがありません。\nタイムラインの「キー追加」で図のポーズをキーにしてください"
    "。";
constexpr int kPreviewWidth = 300, kPreviewHeight = 360;

QString qs(const char* text) { return QString::fromUtf8(text); }
QString qs(std::string_view text) { return QString::fromUtf8(text.data(), int(text.size())); }

const Animation& animationOf(TMyWindow& w) { return w.session().animation(); }

constexpr const char* kFormatSetting = "export/format";
constexpr const char* kAnimatedSetting = "export/animated";
constexpr const char* kScaleSetting = "export/scale";
constexpr const char* kViewSetting = "export/view";  // "line" or "object"; absent: by the document
constexpr const char* kBonesSetting = "export/bones";
constexpr const char* kBackgroundSetting = "export/background";
constexpr const char* kColourSetting = "export/colour";
constexpr const char* kFpsSetting = "export/fps";
constexpr const char* kWidthSetting = "export/width";  // with the height; 0: by the scale
constexpr const char* kHeightSetting = "export/height";

// `c` with what the settings hold in place of it; values out of range are passed over.
ExportChoices choicesIn(const QSettings* s, ExportChoices c) {
  if (!s) return c;
  const std::string format = s->value(kFormatSetting).toString().toStdString();
  for (const ExportFormatInfo& f : exportFormats())
    if (f.name == format) c.format = f.format;
  c.animated = s->value(kAnimatedSetting, c.animated).toBool();
  const double scale = s->value(kScaleSetting, c.scale).toDouble();
  if (scale >= kMinExportScale && scale <= kMaxExportScale) c.scale = scale;
  const QString view = s->value(kViewSetting).toString();
  if (view == "line" || view == "object") c.objectView = view == "object";
  c.bones = s->value(kBonesSetting, c.bones).toBool();
  const int background = s->value(kBackgroundSetting, c.background).toInt();
  if (background >= 0 && background <= 2) c.background = background;
  c.colour = s->value(kColourSetting, c.colour).toUInt() & 0xFFFFFF;
  const int fps = s->value(kFpsSetting, c.fps).toInt();
  if (fps >= 0 && fps <= kMaxAnimationFps) c.fps = fps;
  const int width = s->value(kWidthSetting, c.width).toInt();
  const int height = s->value(kHeightSetting, c.height).toInt();
  if (width >= 0 && height >= 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
      (width == 0) == (height == 0)) {
    c.width = width;
    c.height = height;
  }
  return c;
}

void keepChoices(QSettings* s, const ExportChoices& c) {
  if (!s) return;
  s->setValue(kFormatSetting, qs(formatInfo(c.format).name));
  s->setValue(kAnimatedSetting, c.animated);
  s->setValue(kScaleSetting, c.scale);
  if (c.objectView) s->setValue(kViewSetting, *c.objectView ? "object" : "line");
  s->setValue(kBonesSetting, c.bones);
  s->setValue(kBackgroundSetting, c.background);
  s->setValue(kColourSetting, c.colour);
  s->setValue(kFpsSetting, c.fps);
  s->setValue(kWidthSetting, c.width);
  s->setValue(kHeightSetting, c.height);
}

}  // namespace

ExportChoices& ExportDialog::remembered() {
  static ExportChoices choices;
  return choices;
}

ExportDialog::ExportDialog(TMyWindow& window, std::optional<ExportFormat> format, bool animated)
    : QDialog(&window), w_(window) {
  setObjectName("exportDialog");
  setWindowTitle(qs(kCaption));
  build();
  ExportChoices c = choicesIn(w_.settings(), remembered());
  if (format) {
    c.format = *format;
    c.animated = animated || formatInfo(*format).sequence;
  }
  load(c);
}

void ExportDialog::build() {
  auto* form = new QFormLayout;
  format_ = new QComboBox(this);
  format_->setObjectName("format");
  for (const ExportFormatInfo& f : exportFormats())
    format_->addItem(qs(f.name), int(f.format));
  animated_ = new QCheckBox(qs("アニメーション"), this);
  animated_->setObjectName("animated");
  auto* formatRow = new QHBoxLayout;
  formatRow->addWidget(format_);
  formatRow->addWidget(animated_);
  form->addRow(qs("形式"), formatRow);

  scale_ = new QDoubleSpinBox(this);
  scale_->setObjectName("scale");
  scale_->setRange(kMinExportScale, kMaxExportScale);
  scale_->setSingleStep(0.25);
  scale_->setDecimals(2);
  width_ = new QSpinBox(this);
  width_->setObjectName("width");
  height_ = new QSpinBox(this);
  height_->setObjectName("height");
  // A typed size takes effect when it is complete, not at each digit.
  width_->setKeyboardTracking(false);
  height_->setKeyboardTracking(false);
  {
    // The sizes the scale's range allows.
    const Document& doc = w_.doc();
    int32_t lowW = 0, lowH = 0, highW = 0, highH = 0;
    scaledSize(doc.imageWidth, doc.imageHeight, kMinExportScale, lowW, lowH);
    scaledSize(doc.imageWidth, doc.imageHeight, kMaxExportScale, highW, highH);
    width_->setRange(lowW, std::min(highW, kMaxPictureSide));
    height_->setRange(lowH, std::min(highH, kMaxPictureSide));
  }
  auto* sizeRow = new QHBoxLayout;
  sizeRow->addWidget(scale_);
  sizeRow->addWidget(new QLabel(qs("幅"), this));
  sizeRow->addWidget(width_);
  sizeRow->addWidget(new QLabel(qs("x 高さ"), this));
  sizeRow->addWidget(height_);
  form->addRow(qs("倍率"), sizeRow);

  lineView_ = new QRadioButton(qs("線"), this);
  lineView_->setObjectName("lineView");
  objectView_ = new QRadioButton(qs("オブジェクト"), this);
  objectView_->setObjectName("objectView");
  bones_ = new QCheckBox(qs("骨も描く"), this);
  bones_->setObjectName("bones");
  auto* viewRow = new QHBoxLayout;
  viewRow->addWidget(lineView_);
  viewRow->addWidget(objectView_);
  viewRow->addWidget(bones_);
  form->addRow(qs("表示"), viewRow);

  background_ = new QComboBox(this);
  background_->setObjectName("background");
  background_->addItems({qs("キャンバスの色"), qs("透明"), qs("指定の色")});
  auto* pick = new QPushButton(qs("色..."), this);
  pick->setObjectName("pickColour");
  auto* backRow = new QHBoxLayout;
  backRow->addWidget(background_);
  backRow->addWidget(pick);
  form->addRow(qs("背景"), backRow);

  const Animation& anim = animationOf(w_);
  first_ = new QSpinBox(this);
  first_->setObjectName("firstFrame");
  last_ = new QSpinBox(this);
  last_->setObjectName("lastFrame");
  for (QSpinBox* s : {first_, last_}) s->setRange(1, std::max(1, anim.length));
  first_->setValue(1);
  last_->setValue(std::max(1, anim.length));
  fps_ = new QSpinBox(this);
  fps_->setObjectName("fps");
  fps_->setRange(1, kMaxAnimationFps);
  fps_->setValue(anim.fps > 0 ? anim.fps : kDefaultAnimationFps);
  auto* frameRow = new QHBoxLayout;
  frameRow->addWidget(first_);
  frameRow->addWidget(new QLabel(qs("〜"), this));
  frameRow->addWidget(last_);
  frameRow->addWidget(new QLabel(qs("フレーム毎秒"), this));
  frameRow->addWidget(fps_);
  form->addRow(qs("フレーム"), frameRow);

  path_ = new QLineEdit(this);
  path_->setObjectName("path");
  auto* browseButton = new QPushButton(qs("参照..."), this);
  browseButton->setObjectName("browse");
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(path_);
  pathRow->addWidget(browseButton);
  form->addRow(qs("ファイル"), pathRow);

  preview_ = new QLabel(this);
  preview_->setObjectName("preview");
  preview_->setFixedSize(kPreviewWidth, kPreviewHeight);
  preview_->setAlignment(Qt::AlignCenter);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(qs("書き出し"), QDialogButtonBox::AcceptRole);
  buttons->addButton(qs("キャンセル"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (runExport()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* side = new QVBoxLayout;
  side->addLayout(form);
  side->addStretch();
  side->addWidget(buttons);
  auto* top = new QHBoxLayout(this);
  top->addLayout(side);
  top->addWidget(preview_);

  const auto redraw = [this] { redrawPreview(); };
  connect(format_, &QComboBox::currentIndexChanged, this, [this] { formatChanged(); });
  connect(animated_, &QCheckBox::toggled, this, [this] { formatChanged(); });
  connect(scale_, &QDoubleSpinBox::valueChanged, this, [this] {
    bySize_ = false;
    updateSize();
  });
  // Typing one side leaves the other free: the picture takes all of the typed side.
  connect(width_, &QSpinBox::valueChanged, this, [this](int v) { sizeTyped(v, kMaxPictureSide); });
  connect(height_, &QSpinBox::valueChanged, this, [this](int v) { sizeTyped(kMaxPictureSide, v); });
  for (QRadioButton* r : {lineView_, objectView_}) connect(r, &QRadioButton::toggled, this, redraw);
  connect(bones_, &QCheckBox::toggled, this, redraw);
  connect(background_, &QComboBox::currentIndexChanged, this, redraw);
  connect(first_, &QSpinBox::valueChanged, this, redraw);
  connect(pick, &QPushButton::clicked, this, [this] {
    const QColor chosen = QColorDialog::getColor(
        QColor(int(colour_ & 0xFF), int(colour_ >> 8 & 0xFF), int(colour_ >> 16 & 0xFF)), this);
    if (!chosen.isValid()) return;
    colour_ = uint32_t(chosen.red()) | uint32_t(chosen.green()) << 8 | uint32_t(chosen.blue()) << 16;
    background_->setCurrentIndex(2);
    redrawPreview();
  });
  connect(browseButton, &QPushButton::clicked, this, [this] { browse(); });
  // Closed either way, the dialog keeps what was chosen.
  connect(this, &QDialog::finished, this, [this] { remember(); });
}

void ExportDialog::remember() {
  remembered() = current();
  keepChoices(w_.settings(), remembered());
}

void ExportDialog::load(const ExportChoices& c) {
  const QSignalBlocker blocks[] = {QSignalBlocker(format_), QSignalBlocker(animated_),
                                   QSignalBlocker(scale_),  QSignalBlocker(lineView_),
                                   QSignalBlocker(objectView_), QSignalBlocker(bones_),
                                   QSignalBlocker(background_)};
  format_->setCurrentIndex(std::max(0, format_->findData(int(c.format))));
  animated_->setChecked(c.animated);
  scale_->setValue(c.scale);
  bySize_ = false;
  const bool objects = c.objectView.value_or(exportsObjectView(w_.doc(), ExportView::Auto));
  (objects ? objectView_ : lineView_)->setChecked(true);
  bones_->setChecked(c.bones);
  background_->setCurrentIndex(c.background);
  colour_ = c.colour;
  if (c.fps > 0) fps_->setValue(c.fps);
  path_->setText(QString::fromStdString(c.path));
  formatChanged();
  if (c.width > 0 && c.height > 0) sizeTyped(c.width, c.height);
}

void ExportDialog::sizeTyped(int32_t width, int32_t height) {
  const Document& doc = w_.doc();
  fittedSize(doc.imageWidth, doc.imageHeight, width, height);
  width = std::clamp(width, width_->minimum(), width_->maximum());
  height = std::clamp(height, height_->minimum(), height_->maximum());
  const QSignalBlocker blocks[] = {QSignalBlocker(scale_), QSignalBlocker(width_),
                                   QSignalBlocker(height_)};
  width_->setValue(width);
  height_->setValue(height);
  scale_->setValue(double(width) / doc.imageWidth);
  bySize_ = true;
  redrawPreview();
}

ExportChoices ExportDialog::current() const {
  ExportChoices c;
  c.format = ExportFormat(format_->currentData().toInt());
  c.animated = animated_->isChecked();
  c.scale = scale_->value();
  if (bySize_) {
    c.width = width_->value();
    c.height = height_->value();
  }
  c.objectView = objectView_->isChecked();
  c.bones = bones_->isChecked();
  c.background = background_->currentIndex();
  c.colour = colour_;
  c.fps = fps_->value();
  c.path = path_->text().toStdString();
  return c;
}

bool ExportDialog::exportsAnimation() const {
  const ExportFormatInfo& f = formatInfo(ExportFormat(format_->currentData().toInt()));
  return f.sequence || (f.animated && animated_->isChecked());
}

void ExportDialog::formatChanged() {
  const ExportFormatInfo& f = formatInfo(ExportFormat(format_->currentData().toInt()));
  animated_->setEnabled(f.animated && f.still);
  if (f.sequence) animated_->setChecked(true);
  if (!f.animated && !f.sequence) animated_->setChecked(false);
  const bool animation = exportsAnimation();
  for (QSpinBox* s : {first_, last_, fps_}) s->setEnabled(animation);
  // A format without transparency takes the canvas's colour instead.
  if (!f.transparency && background_->currentIndex() == 1) background_->setCurrentIndex(0);
  // The file's extension follows the format.
  std::string path = path_->text().toStdString();
  if (!path.empty()) {
    std::filesystem::path p(path);
    p.replace_extension(std::string(".") + std::string(f.extension));
    path_->setText(QString::fromStdString(p.string()));
  }
  updateSize();
}

void ExportDialog::updateSize() {
  int32_t w = 0, h = 0;
  if (bySize_) {
    redrawPreview();
    return;
  }
  scaledSize(w_.doc().imageWidth, w_.doc().imageHeight, scale_->value(), w, h);
  const QSignalBlocker blocks[] = {QSignalBlocker(width_), QSignalBlocker(height_)};
  width_->setValue(w);
  height_->setValue(h);
  redrawPreview();
}

void ExportDialog::browse() {
  const bool animation = exportsAnimation();
  const ExportFormatInfo& f = formatInfo(ExportFormat(format_->currentData().toInt()));
  const std::string filter = exportFileFilter(animation);
  const std::string initial =
      path_->text().isEmpty() ? "notitle." + std::string(f.extension) : path_->text().toStdString();
  const std::optional<std::string> chosen =
      chooseFile(w_, true, filter.c_str(), std::string(f.extension).c_str(), initial);
  if (!chosen) return;
  path_->setText(QString::fromStdString(*chosen));
  // A name of another format chooses that format.
  if (const ExportFormatInfo* named = formatForOutput(*chosen, animation)) {
    const int index = format_->findData(int(named->format));
    if (index >= 0 && index != format_->currentIndex()) format_->setCurrentIndex(index);
  }
}

PictureExportOptions ExportDialog::pictureOptions() const {
  const ExportChoices c = current();
  PictureExportOptions o;
  o.format = c.format;
  o.path = c.path;
  o.scale = c.scale;
  o.width = c.width;
  o.height = c.height;
  o.look.view = *c.objectView ? ExportView::Object : ExportView::Line;
  o.look.bones = c.bones;
  o.look.transparent = c.background == 1;
  if (c.background == 2) o.look.background = c.colour;
  return o;
}

AnimationExportOptions ExportDialog::animationOptions() const {
  const PictureExportOptions p = pictureOptions();
  AnimationExportOptions o;
  o.format = formatInfo(p.format).sequence || formatInfo(p.format).animated
                 ? p.format
                 : ExportFormat::PngSequence;
  if (std::optional<AnimationExportOptions> named =
          p.path.empty() ? std::nullopt : exportOptionsForPath(p.path)) {
    o.path = named->path;
    o.baseName = named->baseName;
  }
  o.scale = p.scale;
  o.width = p.width;
  o.height = p.height;
  o.look = p.look;
  o.firstFrame = first_->value() - 1;
  o.lastFrame = last_->value() - 1;
  o.fps = fps_->value();
  return o;
}

void ExportDialog::redrawPreview() {
  QElapsedTimer timer;
  timer.start();
  Document& doc = w_.doc();
  const PictureExportOptions o = pictureOptions();
  int32_t w = kPreviewWidth, h = kPreviewHeight;
  fittedSize(doc.imageWidth, doc.imageHeight, w, h);
  ImageSlot picture;
  std::vector<uint8_t> alpha;
  bool drawn = false;
  const Animation& anim = animationOf(w_);
  if (exportsAnimation() && !anim.keys.empty()) {
    Document posed = doc;
    Pose pose;
    poseAtFrame(anim, first_->value() - 1, pose);
    drawn = renderAnimationFrame(posed, pose, first_->value() - 1, o.look, w, h, drawer_, picture,
                                 alpha);
  } else {
    drawn = drawer_.draw(doc, o.look, w, h, 0, picture, alpha);
  }
  if (!drawn) {
    preview_->clear();
    return;
  }
  // Shown over a light grey checker where it is transparent.
  QImage image(picture.width, picture.height, QImage::Format_RGB32);
  for (int y = 0; y < picture.height; ++y) {
    const uint8_t* s = picture.row(y);
    const uint8_t* a = alpha.empty() ? nullptr : alpha.data() + size_t(y) * size_t(picture.width);
    auto* d = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < picture.width; ++x, s += 3) {
      const int back = ((x / 8 + y / 8) & 1) ? 0xCC : 0xFF;
      const int op = a ? a[x] : 255;
      const auto mix = [&](int c) { return (c * op + back * (255 - op) + 127) / 255; };
      d[x] = qRgb(mix(s[2]), mix(s[1]), mix(s[0]));
    }
  }
  preview_->setPixmap(QPixmap::fromImage(image));
  previewMs_ = double(timer.nsecsElapsed()) / 1e6;
}

bool ExportDialog::runExport() {
  remember();
  if (path_->text().isEmpty()) {
    w_.ui().message(kNoFile, kCaption);
    return false;
  }
  std::string reason;
  if (!exportsAnimation()) {
    if (exportPicture(w_.doc(), pictureOptions(), reason)) return true;
    w_.ui().message(std::string(kPictureFailed) + "\n" + reason, kCaption);
    return false;
  }
  const Animation& anim = animationOf(w_);
  if (anim.keys.empty()) {
    w_.ui().message(kNoKeys, kCaption);
    return false;
  }
  const AnimationExportOptions options = animationOptions();
  Animation span;
  span.fps = anim.fps;
  span.length = options.lastFrame - options.firstFrame + 1;
  const int total = exportFrameCount(span, options.fps);
  QProgressDialog progress(qs("アニメーションを書き出しています..."), qs("中止"), 0, total, this);
  progress.setObjectName("exportProgress");
  progress.setWindowTitle(qs(kCaption));
  // Modal to the panels too: the document must not change while the frames are drawn.
  progress.setWindowModality(Qt::ApplicationModal);
  progress.setMinimumDuration(300);
  progress.setValue(0);
  const ExportResult result = exportAnimation(
      w_.doc(), anim, options,
      [&progress](int done, int) {
        progress.setValue(done);
        // A modal progress dialog handles its events in setValue; the cancel button is read
        // after them.
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
      },
      reason);
  progress.reset();
  if (result == ExportResult::Done) return true;
  if (result == ExportResult::Failed)
    w_.ui().message(std::string(kAnimationExportFailed) + "\n" + reason, kCaption);
  return false;
}

void openExportDialog(TMyWindow& w, std::optional<ExportFormat> format, bool animated) {
  if (Timeline* t = timelineOf(w)) t->endPreview();
  if (!w.hasLines()) {
    w.ui().message(kNoLines, kCaption);
    return;
  }
  ExportDialog dialog(w, format, animated);
  dialog.exec();
}

}  // namespace tovala
