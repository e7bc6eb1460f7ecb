// Pictures in the editor: PNG書出 in its two forms, and PNG and JPEG read as the underlay and as
// the picture of an image line.

#include <QtTest>

#include <cstdlib>

#include "codec/bmp.h"
#include "codec/png_file.h"
#include "model/file_io.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

namespace {

ImageSlot readPng(const std::string& path) {
  ImageSlot image;
  const auto file = readWholeFile(path);
  if (!file || !decodePng(*file, image)) qWarning("no PNG at %s", path.c_str());
  return image;
}

}  // namespace

class TestPictures : public QObject {
  Q_OBJECT

 private slots:
  // はい writes the canvas as drawn, いいえ the figure alone: read back over white, the canvas's
  // own background colour is gone. キャンセル asks for no file.
  void exportPngAsksWhichForm() {
    WindowFixture f;
    f.drawLine({{100, 100}, {200, 120}});
    const ImageSlot& model = *f.doc().workImages.image(kModelImage);
    QCOMPARE(model.pixel(5, 5), kDefaultBackColor);
    const std::string canvas = f.dir.filePath("canvas.png").toStdString();
    const std::string figure = f.dir.filePath("figure.png").toStdString();

    f.ui.queueAnswer(Answer::Cancel);
    f.window->runCommand(kCommandExportPng);
    QVERIFY(f.ui.fileRequests.empty());

    f.ui.queueAnswer(Answer::Yes);
    f.ui.queuePath(canvas);
    f.window->runCommand(kCommandExportPng);
    QCOMPARE(f.ui.fileRequests.back().filter, std::string("PNGファイル|*.png||"));
    QVERIFY(readPng(canvas).pixels == model.pixels);

    f.ui.queueAnswer(Answer::No);
    f.ui.queuePath(figure);
    f.window->runCommand(kCommandExportPng);
    const ImageSlot read = readPng(figure);
    QCOMPARE(read.pixel(5, 5), 0xFFFFFFu);
    // On the stroke: as drawn, give or take the rounding of a soft edge's opacity.
    QVERIFY(model.pixel(150, 110) != kDefaultBackColor);
    for (int shift : {0, 8, 16})
      QVERIFY(std::abs(int(read.pixel(150, 110) >> shift & 0xFF) -
                       int(model.pixel(150, 110) >> shift & 0xFF)) <= 2);
    QCOMPARE(f.doc().workImages.image(kModelImage)->pixels, model.pixels);  // drawn as before
  }

  // The underlay and an image line take a PNG and a JPEG through the picture filter.
  void underlayAndImageLineReadPngAndJpeg() {
    WindowFixture f;
    ImageSlot picture;
    QVERIFY(allocatePicture(picture, 3, 2));
    picture.setPixel(1, 1, 0x123456);
    const std::string png = f.dir.filePath("under.png").toStdString();
    QVERIFY(writeFileAtomic(png, encodePng(picture)));
    f.ui.queuePath(png);
    f.window->runCommand(40041);
    QVERIFY(f.ui.fileRequests.back().filter.find("*.png;*.jpg;*.jpeg") != std::string::npos);
    QVERIFY(f.doc().workImages.image(kUnderlayImage)->pixels == picture.pixels);

    f.drawLine({{100, 100}, {200, 120}});
    const QString jpeg = QFINDTESTDATA("../data/jpeg/quadrants.jpg");
    QVERIFY(!jpeg.isEmpty());
    f.ui.queuePath(jpeg.toStdString());
    f.window->runCommand(40018);
    QCOMPARE(f.doc().lines[0].kind, 2);
    const ImageSlot* image = f.doc().userImages.image(0);
    QVERIFY(image);
    QCOMPARE(image->width, 32);
    QVERIFY(f.ui.shown.empty());
  }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
