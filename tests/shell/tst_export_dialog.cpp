// The export dialog: PNG書出 and アニメーション書出 open it with their format chosen and write
// what it shows without a question; a frame range and a sequence; choices kept for the next
// time; a preview that follows the choices.

#include <QtTest>

#include <QSettings>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include <functional>

#include "codec/picture_file.h"
#include "engine/pose.h"
#include "model/file_io.h"
#include "script/body_model.h"
#include "shell/panels/export/export_dialog.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {

template <typename T>
T* child(QWidget* parent, const char* name) {
  T* found = parent->findChild<T*>(name);
  if (!found) qWarning("no child %s", name);
  return found;
}

// Runs `command`; once its dialog is up, `drive` fills it in and the dialog exports and closes.
bool exportThrough(WindowFixture& f, int command, const std::function<void(ExportDialog&)>& drive) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<ExportDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    seen = true;
    drive(*dialog);
    if (dialog->runExport()) dialog->accept();
    else dialog->reject();
  });
  f.window->runCommand(command);
  return seen;
}

ImageSlot readPicture(const QString& path) {
  ImageSlot picture;
  const auto bytes = readWholeFile(path.toStdString());
  if (!bytes || !decodePicture(*bytes, picture)) qWarning("no picture at %s", qPrintable(path));
  return picture;
}

void bodyModelIn(WindowFixture& f) {
  createBodyModel(f.doc());
  f.window->rebuild();
}

}  // namespace

class TestExportDialog : public QObject {
  Q_OBJECT

 private slots:
  void init() { ExportDialog::remembered() = ExportChoices{}; }

  // PNG書出 asks nothing: the dialog opens on PNG in object view, and the picture is the filled
  // figure without the controllers' marks in the corner.
  void pngCommandWritesTheFigureWithoutQuestions() {
    WindowFixture f;
    bodyModelIn(f);
    const QString out = f.dir.filePath("body.png");
    QVERIFY(exportThrough(f, kCommandExportPng, [&](ExportDialog& d) {
      QCOMPARE(child<QComboBox>(&d, "format")->currentText(), QString("PNG画像"));
      QVERIFY(!child<QCheckBox>(&d, "animated")->isEnabled());
      QVERIFY(child<QRadioButton>(&d, "objectView")->isChecked());
      QVERIFY(!child<QSpinBox>(&d, "fps")->isEnabled());
      child<QDoubleSpinBox>(&d, "scale")->setValue(0.5);
      QCOMPARE(child<QSpinBox>(&d, "width")->value(), 500);
      QCOMPARE(child<QSpinBox>(&d, "height")->value(), 600);
      child<QLineEdit>(&d, "path")->setText(out);
    }));
    QVERIFY(f.ui.shown.empty());
    const ImageSlot picture = readPicture(out);
    QCOMPARE(picture.width, 500);
    for (int y = 0; y < 15; ++y)
      for (int x = 0; x < 15; ++x) QCOMPARE(picture.pixel(x, y), picture.pixel(0, 0));
    QCOMPARE(picture.pixel(250, 250), f.doc().skinColor);
    // Remembered: 書き出し… opens with the same choices.
    QCOMPARE(ExportDialog::remembered().scale, 0.5);
    QCOMPARE(ExportDialog::remembered().path, out.toStdString());
  }

  // アニメーション書出 opens on an animated GIF; the frames asked for are written, and a name
  // ending in .png writes a sequence beside it.
  void animationCommandWritesTheFramesAsked() {
    WindowFixture f;
    bodyModelIn(f);
    Animation& anim = f.window->session().animation();
    anim.length = 10;
    Pose raised = capturePose(f.doc());
    raised.whole[5] = 0.3f;
    anim.keys = {{0, capturePose(f.doc()), Easing::Linear}, {9, raised, Easing::Linear}};
    const QString gif = f.dir.filePath("walk.gif");
    QVERIFY(exportThrough(f, kCommandExportAnimation, [&](ExportDialog& d) {
      QCOMPARE(child<QComboBox>(&d, "format")->currentText(), QString("GIF"));
      QVERIFY(child<QCheckBox>(&d, "animated")->isChecked());
      QVERIFY(child<QSpinBox>(&d, "fps")->isEnabled());
      child<QDoubleSpinBox>(&d, "scale")->setValue(0.25);
      child<QLineEdit>(&d, "path")->setText(gif);
    }));
    QFile written(gif);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.read(6) == "GIF89a");

    QVERIFY(exportThrough(f, kCommandExportAnimation, [&](ExportDialog& d) {
      QComboBox* format = child<QComboBox>(&d, "format");
      format->setCurrentIndex(format->findText("PNG連番"));
      child<QSpinBox>(&d, "firstFrame")->setValue(3);
      child<QSpinBox>(&d, "lastFrame")->setValue(5);
      child<QLineEdit>(&d, "path")->setText(f.dir.filePath("step.png"));
    }));
    QVERIFY(QFile::exists(f.dir.filePath("step_0001.png")));
    QVERIFY(QFile::exists(f.dir.filePath("step_0003.png")));
    QVERIFY(!QFile::exists(f.dir.filePath("step_0004.png")));
  }

  // The choices shape the options and the preview; a format without transparency gives up a
  // transparent background, and without a file nothing is written.
  void choicesShapeTheOptionsAndThePreview() {
    WindowFixture f;
    bodyModelIn(f);
    ExportDialog d(*f.window, ExportFormat::WebP, false);
    const QLabel* preview = child<QLabel>(&d, "preview");
    QVERIFY(!preview->pixmap().isNull());
    const QImage filled = preview->pixmap().toImage();
    child<QRadioButton>(&d, "lineView")->setChecked(true);
    child<QCheckBox>(&d, "bones")->setChecked(true);
    child<QComboBox>(&d, "background")->setCurrentIndex(1);  // 透明
    QVERIFY(preview->pixmap().toImage() != filled);
    PictureExportOptions o = d.pictureOptions();
    QCOMPARE(o.format, ExportFormat::WebP);
    QCOMPARE(o.look.view, ExportView::Line);
    QVERIFY(o.look.bones && o.look.transparent);

    QComboBox* format = child<QComboBox>(&d, "format");
    format->setCurrentIndex(format->findText("JPEG画像"));
    QCOMPARE(child<QComboBox>(&d, "background")->currentIndex(), 0);
    QVERIFY(!d.pictureOptions().look.transparent);

    QVERIFY(!d.runExport());
    QVERIFY(f.ui.lastText().starts_with("書き出すファイルを選んでください。"));
  }

  // A width typed gives the height of the canvas's aspect and the scale, and the picture has
  // exactly that size (not the size of the rounded scale); a height typed does the same.
  void sizeByPixels() {
    WindowFixture f;
    bodyModelIn(f);
    const QString out = f.dir.filePath("sized.png");
    QVERIFY(exportThrough(f, kCommandExportPng, [&](ExportDialog& d) {
      QSpinBox* width = child<QSpinBox>(&d, "width");
      QSpinBox* height = child<QSpinBox>(&d, "height");
      height->setValue(300);
      QCOMPARE(width->value(), 250);
      QCOMPARE(child<QDoubleSpinBox>(&d, "scale")->value(), 0.25);
      width->setValue(333);
      QCOMPARE(height->value(), 400);
      QCOMPARE(child<QDoubleSpinBox>(&d, "scale")->value(), 0.33);
      child<QLineEdit>(&d, "path")->setText(out);
    }));
    const ImageSlot picture = readPicture(out);
    QCOMPARE(picture.width, 333);
    QCOMPARE(picture.height, 400);
    QCOMPARE(ExportDialog::remembered().width, 333);

    // The scale changed afterwards sizes the picture again.
    ExportDialog d(*f.window, ExportFormat::Png, false);
    QCOMPARE(child<QSpinBox>(&d, "height")->value(), 400);
    child<QDoubleSpinBox>(&d, "scale")->setValue(2);
    QCOMPARE(child<QSpinBox>(&d, "width")->value(), 2000);
    QCOMPARE(d.pictureOptions().width, 0);
  }

  // The choices outlive the editor: closed without exporting, they are in the settings, and a
  // dialog of a later run (nothing remembered in memory) shows them; a command's format still
  // wins over the kept one.
  void choicesAreKeptInTheSettings() {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("tovala.ini"), QSettings::IniFormat);
    settings.setValue("export/colour", 0x336699);
    {
      WindowFixture f;
      bodyModelIn(f);
      f.window->keepPanelsIn(&settings);
      ExportDialog d(*f.window, std::nullopt, false);
      QComboBox* format = child<QComboBox>(&d, "format");
      format->setCurrentIndex(format->findText("GIF"));
      child<QCheckBox>(&d, "animated")->setChecked(true);
      child<QDoubleSpinBox>(&d, "scale")->setValue(0.5);
      child<QRadioButton>(&d, "lineView")->setChecked(true);
      child<QCheckBox>(&d, "bones")->setChecked(true);
      child<QComboBox>(&d, "background")->setCurrentIndex(2);
      child<QSpinBox>(&d, "fps")->setValue(12);
      d.reject();
      f.window->keepPanelsIn(nullptr);
    }
    ExportDialog::remembered() = ExportChoices{};
    WindowFixture f;
    bodyModelIn(f);
    f.window->keepPanelsIn(&settings);
    {
      ExportDialog d(*f.window, std::nullopt, false);
      QCOMPARE(child<QComboBox>(&d, "format")->currentText(), QString("GIF"));
      QVERIFY(child<QCheckBox>(&d, "animated")->isChecked());
      QCOMPARE(child<QDoubleSpinBox>(&d, "scale")->value(), 0.5);
      QVERIFY(child<QRadioButton>(&d, "lineView")->isChecked());
      QCOMPARE(child<QSpinBox>(&d, "fps")->value(), 12);
      const PictureExportOptions o = d.pictureOptions();
      QVERIFY(o.look.bones);
      QCOMPARE(o.look.background, std::optional<uint32_t>(0x336699));
    }
    ExportDialog png(*f.window, ExportFormat::Png, false);
    QCOMPARE(child<QComboBox>(&png, "format")->currentText(), QString("PNG画像"));
    QCOMPARE(child<QDoubleSpinBox>(&png, "scale")->value(), 0.5);
    f.window->keepPanelsIn(nullptr);
  }
};

QTEST_MAIN(TestExportDialog)
#include "tst_export_dialog.moc"
