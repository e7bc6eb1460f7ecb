// Pictures in the editor: PNG and JPEG read as the underlay and as the picture of an image line.

#include <QtTest>

#include "codec/bmp.h"
#include "codec/png_file.h"
#include "model/file_io.h"
#include "shell_fixture.h"

using namespace tovala;
using tovala::test::WindowFixture;

class TestPictures : public QObject {
  Q_OBJECT

 private slots:
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
