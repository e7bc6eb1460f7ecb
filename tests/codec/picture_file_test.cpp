// PNG and JPEG pictures: round trips, known colours, refusals, and reading by content.

#include <gtest/gtest.h>

#include <cstdlib>

#include "codec/bmp.h"
#include "codec/jpeg_file.h"
#include "codec/picture_file.h"
#include "codec/png_file.h"
#include "model/document.h"
#include "model/messages.h"
#include "platform/ui.h"
#include "support/test_support.h"

namespace tovala {
namespace {

const std::string kData = std::string(TOVALA_TEST_DATA) + "/jpeg/";
const std::string kJpeg = kData + "quadrants.jpg";

// A 5 x 3 picture (odd width: its rows are padded) with a distinct colour per pixel.
ImageSlot pattern() {
  ImageSlot image;
  EXPECT_TRUE(allocatePicture(image, 5, 3));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      image.setPixel(x, y, uint32_t(x * 50) | uint32_t(y * 100) << 8 | 0x300000);
  return image;
}

bool near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

uint32_t crc32(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFF;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320 & (0u - (c & 1)));
  }
  return ~c;
}

void putBig(std::vector<uint8_t>& f, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) f[at + i] = uint8_t(v >> (8 * (bytes - 1 - i)));
}

// The PNG with its header's size replaced, the chunk's CRC made right again.
std::vector<uint8_t> pngClaiming(std::vector<uint8_t> file, uint32_t width, uint32_t height) {
  putBig(file, 16, width, 4);
  putBig(file, 20, height, 4);
  putBig(file, 29, crc32(file.data() + 12, 17), 4);
  return file;
}

// The JPEG with its frame header's size replaced.
std::vector<uint8_t> jpegClaiming(std::vector<uint8_t> file, uint16_t width, uint16_t height) {
  for (size_t i = 2; i + 9 < file.size(); ++i) {
    if (file[i] == 0xFF && file[i + 1] == 0xC0) {
      putBig(file, i + 5, height, 2);
      putBig(file, i + 7, width, 2);
      return file;
    }
  }
  ADD_FAILURE() << "no frame header";
  return file;
}

TEST(Png, RoundTripsOpaqueAndLaysAlphaOverWhite) {
  const ImageSlot image = pattern();
  ImageSlot back;
  ASSERT_TRUE(decodePng(encodePng(image), back));
  ImageSlot quick;
  ASSERT_TRUE(decodePng(encodePng(image, {}, true), quick));
  EXPECT_EQ(quick, back);  // the quick compression keeps every pixel
  EXPECT_EQ(back.pixels, image.pixels);
  EXPECT_EQ(back.header, image.header);

  // Opaque keeps the colour, transparent is white, half is the blend with white.
  std::vector<uint8_t> alpha(15, 255);
  alpha[0] = 0;
  alpha[1] = 128;
  ASSERT_TRUE(decodePng(encodePng(image, alpha), back));
  EXPECT_EQ(back.pixel(0, 0), 0xFFFFFFu);
  const uint32_t c = image.pixel(1, 0);  // 0x300032
  const auto over = [](int v) { return uint32_t((v * 128 + 255 * 127 + 127) / 255); };
  EXPECT_EQ(back.pixel(1, 0), over(c & 0xFF) | over((c >> 8) & 0xFF) << 8 | over(c >> 16) << 16);
  for (int y = 0; y < 3; ++y)
    for (int x = y == 0 ? 2 : 0; x < 5; ++x) EXPECT_EQ(back.pixel(x, y), image.pixel(x, y));

  EXPECT_TRUE(encodePng(image, std::vector<uint8_t>(14, 255)).empty());  // alpha of the wrong size
}

TEST(Jpeg, DecodesKnownColours) {
  const std::vector<uint8_t> file = test::readFileBytes(kJpeg);
  ASSERT_EQ(pictureFormat(file), PictureFormat::Jpeg);
  ImageSlot image;
  ASSERT_TRUE(decodeJpeg(file, image));
  ASSERT_EQ(image.width, 32);
  ASSERT_EQ(image.height, 32);
  EXPECT_EQ(image.pixels.size(), size_t(image.stride) * 32u);
  // Quadrants: red, blue / green (0, 200, 0), blue, as 0x00BBGGRR.
  EXPECT_TRUE(near(image.pixel(8, 8), 0x0000FF, 12)) << std::hex << image.pixel(8, 8);
  EXPECT_TRUE(near(image.pixel(24, 8), 0xFF0000, 12)) << std::hex << image.pixel(24, 8);
  EXPECT_TRUE(near(image.pixel(8, 24), 0x00C800, 12)) << std::hex << image.pixel(8, 24);
  EXPECT_TRUE(near(image.pixel(24, 24), 0xFF0000, 12)) << std::hex << image.pixel(24, 24);

  // Stored 32 x 16, red left and blue right, with Exif orientation 6 (a quarter turn clockwise
  // to show): 16 x 32, red on top.
  ASSERT_TRUE(decodeJpeg(test::readFileBytes(kData + "halves_turned.jpg"), image));
  ASSERT_EQ(image.width, 16);
  ASSERT_EQ(image.height, 32);
  EXPECT_TRUE(near(image.pixel(8, 8), 0x0000FF, 12)) << std::hex << image.pixel(8, 8);
  EXPECT_TRUE(near(image.pixel(8, 24), 0xFF0000, 12)) << std::hex << image.pixel(8, 24);
}

TEST(Pictures, RefuseTruncatedDamagedAndHugeFilesLeavingNothing) {
  const std::vector<uint8_t> png = encodePng(pattern());
  const std::vector<uint8_t> jpeg = test::readFileBytes(kJpeg);
  std::vector<uint8_t> crcBroken = png;
  crcBroken[30] ^= 1;  // inside the header chunk's CRC
  const std::vector<std::vector<uint8_t>> bad = {
      std::vector<uint8_t>(png.begin(), png.begin() + png.size() / 2),
      std::vector<uint8_t>(png.begin(), png.end() - 20),  // the pixel data's end cut off
      crcBroken,
      pngClaiming(png, 40000, 3),      // a side past the limit
      pngClaiming(png, 20000, 20000),  // far more pixels than the file could inflate to
      std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + jpeg.size() * 2 / 3),
      jpegClaiming(jpeg, 40000, 1),
      jpegClaiming(jpeg, 20000, 20000),  // the same
      {0xFF, 0xD8, 0xFF},
  };
  ImageSlot big;
  EXPECT_TRUE(allocatePicture(big, ImageStore::kMaxSide, 1));
  EXPECT_FALSE(allocatePicture(big, 10000, 10000));  // 300 MB of pixels
  EXPECT_FALSE(big.present);
  for (size_t i = 0; i < bad.size(); ++i) {
    ImageSlot out = pattern();
    EXPECT_FALSE(decodePicture(bad[i], out)) << i;
    EXPECT_FALSE(out.present) << i;
    EXPECT_TRUE(out.pixels.empty()) << i;
  }
}

TEST(Pictures, ReadByContentWhateverTheName) {
  test::TempDir dir;
  const ImageSlot image = pattern();
  test::writeFileBytes(dir.file("png.bmp"), encodePng(image));
  test::writeFileBytes(dir.file("bmp.png"), encodeBmp(image));
  test::writeFileBytes(dir.file("jpeg.dat"), test::readFileBytes(kJpeg));
  RecordingUi ui;
  for (const char* name : {"png.bmp", "bmp.png"}) {
    ImageSlot read;
    ASSERT_TRUE(readPictureFile(dir.file(name), ui, read)) << name;
    EXPECT_EQ(read.pixels, image.pixels) << name;
  }
  ImageSlot read;
  ASSERT_TRUE(readPictureFile(dir.file("jpeg.dat"), ui, read));
  EXPECT_EQ(read.width, 32);
  EXPECT_TRUE(ui.shown.empty());

  // Unknown content keeps the old message; a damaged PNG says it cannot be read. Either way
  // the picture given stays as it was.
  std::vector<uint8_t> cut = encodePng(image);
  cut.resize(cut.size() - 20);
  test::writeFileBytes(dir.file("cut.png"), cut);
  test::writeFileBytes(dir.file("text.png"), {'h', 'e', 'l', 'l', 'o'});
  const ImageSlot before = read;
  EXPECT_FALSE(readPictureFile(dir.file("text.png"), ui, read));
  EXPECT_FALSE(readPictureFile(dir.file("cut.png"), ui, read));
  EXPECT_TRUE(read == before);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].text, msg::kNotBitmap);
  EXPECT_EQ(ui.shown[1].text, msg::kPictureUnreadable);
}

}  // namespace
}  // namespace tovala
