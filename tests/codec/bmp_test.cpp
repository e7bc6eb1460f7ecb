#include <gtest/gtest.h>

#include <string>

#include "codec/bmp.h"
#include "model/image_store.h"
#include "model/messages.h"
#include "platform/ui.h"
#include "support/test_support.h"

namespace tovala {
namespace {

using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

const std::string kData = std::string(TOVALA_TEST_DATA) + "/bmp/";

// The fixtures were written by several tools; each .rgb file is the same picture decoded by
// an independent image tool to 8-bit R, G, B triples, top row first.
class BmpFixture : public ::testing::TestWithParam<const char*> {};

TEST_P(BmpFixture, AgreesPixelForPixelWithAnotherDecoder) {
  const std::string name = GetParam();
  std::vector<uint8_t> expected = readFileBytes(kData + name + ".rgb");
  ImageStore store;
  store.initStore(1);
  RecordingUi ui;
  ASSERT_TRUE(store.loadPicture(0, kData + name + ".bmp", ui)) << ui.lastText();
  const ImageSlot& img = *store.image(0);
  ASSERT_EQ(size_t(img.width) * size_t(img.height) * 3, expected.size());
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const size_t at = (size_t(y) * size_t(img.width) + size_t(x)) * 3;
      const uint32_t want = expected[at] | (expected[at + 1] << 8) | (expected[at + 2] << 16);
      ASSERT_EQ(img.pixel(x, y), want) << name << " at " << x << "," << y;
    }
  }
  // Whatever was read is held as 24 bits and writes back as the same picture.
  EXPECT_EQ(img.colourTableEntries(), 0);
  ImageSlot again;
  ASSERT_TRUE(decodeBmp(encodeBmp(img), again));
  EXPECT_EQ(again.pixels, img.pixels);
}

INSTANTIATE_TEST_SUITE_P(Formats, BmpFixture,
                         ::testing::Values("mono1", "pal4", "pal8", "rgb24", "topdown24", "rgb32",
                                           "v4rgba32", "rgba32v5", "rgb565"));

TEST(Bmp, WriterWritesA24BitFileWithThe54BytePreamble) {
  ImageStore store;
  store.initStore(1);
  store.makeBlank(0, 1, 1, 0x00010203);
  std::vector<uint8_t> f = encodeBmp(*store.image(0));
  ASSERT_EQ(f.size(), 58u);  // 54 + one 4-byte row
  EXPECT_EQ(f[0], 'B');
  EXPECT_EQ(f[1], 'M');
  EXPECT_EQ(f[2], 58);
  EXPECT_EQ(f[10], 54);
  EXPECT_EQ(f[14], 40);
  EXPECT_EQ(f[28], 24);
  EXPECT_EQ(f[54], 0x01);  // blue first
  EXPECT_EQ(f[56], 0x03);
}

std::vector<uint8_t> validFile() { return readFileBytes(kData + "rgb24.bmp"); }

void put32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// Each malformed file is refused with the system's message and leaves the slot empty.
TEST(Bmp, MalformedFilesAreRefusedWithoutTouchingMemoryOutside) {
  std::vector<std::vector<uint8_t>> bad;
  auto f = validFile();
  f[0] = 'X';
  bad.push_back(f);  // not "BM"
  f = validFile();
  f.resize(f.size() - 5);
  bad.push_back(f);  // truncated pixel data
  f = validFile();
  put32(f, 18, 0);
  bad.push_back(f);  // zero width
  f = validFile();
  put32(f, 18, uint32_t(-7));
  bad.push_back(f);  // negative width
  f = validFile();
  put32(f, 18, 0x7FFFFFFF);
  put32(f, 22, 0x7FFFFFFF);
  bad.push_back(f);  // a size whose buffer would overflow
  f = validFile();
  f[28] = 7;
  bad.push_back(f);  // no such depth
  f = validFile();
  f.resize(30);
  bad.push_back(f);                                  // header cut short
  bad.push_back(readFileBytes(kData + "rle8.bmp"));  // compressed
  f = readFileBytes(kData + "pal8.bmp");
  put32(f, 46, 100000);
  bad.push_back(f);  // colour table larger than the file

  TempDir dir;
  for (size_t i = 0; i < bad.size(); ++i) {
    const std::string path = dir.file("bad" + std::to_string(i) + ".bmp");
    writeFileBytes(path, bad[i]);
    ImageStore store;
    store.initStore(1);
    store.makeBlank(0, 2, 2, 0);
    const ImageSlot before = *store.slot(0);
    RecordingUi ui;
    EXPECT_FALSE(store.loadPicture(0, path, ui)) << i;
    ASSERT_EQ(ui.shown.size(), 1u) << i;
    EXPECT_EQ(ui.shown[0].text, msg::kNotBitmap) << i;
    EXPECT_EQ(ui.shown[0].caption, "error");
    EXPECT_TRUE(*store.slot(0) == before) << i;  // the picture it held is kept
  }
}

TEST(Bmp, MissingPathAndUnreadableFileKeepTheSlot) {
  ImageStore store;
  store.initStore(1);
  store.makeBlank(0, 2, 2, 0x0000FF);
  RecordingUi ui;
  EXPECT_FALSE(store.loadPicture(0, "", ui));
  EXPECT_EQ(ui.lastText(), "No File!!");
  EXPECT_FALSE(store.loadPicture(0, "/nonexistent/x.bmp", ui));
  EXPECT_EQ(ui.lastText(), "Miss Load!!");
  ASSERT_NE(store.image(0), nullptr);
  EXPECT_EQ(store.image(0)->pixel(0, 0), 0x0000FFu);
}

TEST(Bmp, SaveIsAtomicAndReportsFailure) {
  TempDir dir;
  ImageStore store;
  store.initStore(2);
  store.makeBlank(0, 3, 3, 0x00ABCDEF);
  RecordingUi ui;
  EXPECT_FALSE(store.saveBmp(1, dir.file("empty.bmp"), ui));  // empty slot: nothing happens
  EXPECT_FALSE(std::filesystem::exists(dir.file("empty.bmp")));
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_FALSE(store.saveBmp(0, dir.file("no/such/folder/x.bmp"), ui));
  EXPECT_EQ(ui.lastText(), "保存に失敗しました。");
  ASSERT_TRUE(store.saveBmp(0, dir.file("ok.bmp"), ui));
  // Only the file itself remains in the folder.
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
  EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace tovala
