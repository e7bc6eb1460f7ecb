#include <gtest/gtest.h>

#include <fstream>

#include "codec/bmp.h"
#include "model/document.h"
#include "model/messages.h"
#include "platform/ui.h"
#include "support/test_support.h"

namespace tovala {
namespace {

using test::TempDir;

TEST(ImageStore, LayoutIsBottomUpBgrWithPaddedRows) {
  EXPECT_EQ(strideFor(1), 4);
  EXPECT_EQ(strideFor(4), 12);
  EXPECT_EQ(strideFor(5), 16);
  ImageStore store;
  store.initStore(2);
  ASSERT_TRUE(store.makeBlank(0, 3, 2, 0x00112233));
  const ImageSlot& s = *store.image(0);
  EXPECT_EQ(s.stride, 12);
  EXPECT_EQ(s.size, 24u);
  // Colour 0x00BBGGRR is stored as BB, GG, RR.
  EXPECT_EQ(s.pixels[0], 0x11);
  EXPECT_EQ(s.pixels[1], 0x22);
  EXPECT_EQ(s.pixels[2], 0x33);
  ImageSlot& m = *store.image(0);
  m.setPixel(0, 0, 0x00ABCDEF);  // top-left lives in the last stored row
  EXPECT_EQ(m.pixels[12], 0xAB);
  EXPECT_EQ(m.pixels[14], 0xEF);
  EXPECT_EQ(m.pixel(0, 0), 0x00ABCDEFu);
  // The blank header says 24 bits, uncompressed, 4740 pixels per metre.
  ASSERT_EQ(s.header.size(), 40u);
  EXPECT_EQ(s.header[14], 24);
  EXPECT_EQ(s.header[24] | (s.header[25] << 8), 4740);
  // Slots outside the store do nothing.
  EXPECT_FALSE(store.makeBlank(5, 3, 3, 0));
  EXPECT_EQ(store.slot(-1), nullptr);
  EXPECT_FALSE(store.makeBlank(1, 0, 3, 0));
  EXPECT_EQ(store.image(1), nullptr);
}

TEST(ImageStore, SlotsAddAndRemoveKeepingPixels) {
  ImageStore store;
  store.initStore(1);
  store.makeBlank(0, 2, 2, 0x0000FF);
  store.addSlot();
  store.makeBlank(1, 2, 2, 0x00FF00);
  store.addSlot();
  EXPECT_EQ(store.slotCount(), 3);
  EXPECT_EQ(store.image(0)->pixel(1, 1), 0x0000FFu);
  store.removeSlot(0);
  EXPECT_EQ(store.slotCount(), 2);
  EXPECT_EQ(store.image(0)->pixel(0, 0), 0x00FF00u);
  store.removeSlot(7);
  EXPECT_EQ(store.slotCount(), 2);
}

TEST(ImageStore, SetImageTakesHeaderAndPixelsAndRefusesShortData) {
  ImageStore store;
  store.initStore(1);
  std::vector<uint8_t> header = blankBitmapHeader(2, 2);
  std::vector<uint8_t> pixels(16, 0x7F);
  ASSERT_TRUE(store.setImage(0, header, pixels));
  EXPECT_EQ(store.image(0)->pixel(1, 1), 0x007F7F7Fu);
  pixels.resize(15);
  EXPECT_FALSE(store.setImage(0, header, pixels));
  EXPECT_EQ(store.image(0), nullptr);
}

TEST(UserImages, KeysGrowAndRemovedKeysAreNotReused) {
  TempDir dir;
  ImageStore one;
  one.initStore(1);
  one.makeBlank(0, 2, 2, 0x00FF00);
  ASSERT_TRUE(one.saveBmp(0, dir.file("a.bmp"), silentUi()));

  Document doc;
  doc.lines.insert(doc.lines.begin(), doc.makeDefaultLine());
  doc.lineOrder = {0, 1};
  for (int i = 0; i < 3; ++i) doc.loadLineImage(0, dir.file("a.bmp"));
  EXPECT_EQ(doc.imageKeys, (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(doc.userImages.slotCount(), 4);
  EXPECT_EQ(doc.lines[0].kind, 2);
  EXPECT_EQ(doc.lines[0].cb, 2u);

  doc.removeUserImage(1);
  doc.loadLineImage(0, dir.file("a.bmp"));
  EXPECT_EQ(doc.lines[0].cb, 3u);
  EXPECT_EQ(doc.imageKeys, (std::vector<int32_t>{0, 2, 3, 4}));
}

TEST(UserImages, UnreadableFilesChangeNothing) {
  TempDir dir;
  Document doc;
  RecordingUi ui;
  doc.ui = &ui;
  doc.lines.insert(doc.lines.begin(), doc.makeDefaultLine());
  doc.lineOrder = {0, 1};
  const ImageStore images = doc.userImages;
  const LineRecord line = doc.lines[0];
  std::ofstream(dir.file("text.bmp")) << "not a picture";
  for (const std::string& path : {std::string("/nonexistent/picture.jpg"), dir.file("text.bmp"),
                                  std::string("/nonexistent/picture.bmp")}) {
    EXPECT_FALSE(doc.loadLineImage(0, path)) << path;
    EXPECT_TRUE(doc.userImages == images) << path;
    EXPECT_EQ(doc.imageKeys, std::vector<int32_t>{0}) << path;
    EXPECT_TRUE(doc.lines[0] == line) << path;
  }
  ASSERT_EQ(ui.shown.size(), 3u);
  EXPECT_EQ(ui.shown[0].text, msg::kMissLoad);  // pictures are told by content, not by name
  EXPECT_EQ(ui.shown[1].text, msg::kNotBitmap);
  EXPECT_EQ(ui.shown[2].text, msg::kMissLoad);
  doc.ui = &silentUi();

  doc.dropLineImage(0);
  EXPECT_EQ(doc.lines[0].kind, 0);
  EXPECT_EQ(doc.lines[0].cb, 0u);
}

TEST(UserImages, NewLineImageIsWhiteAndSizedByTheRange) {
  Document doc;
  doc.lines.insert(doc.lines.begin(), doc.makeDefaultLine());
  doc.lineOrder = {0, 1};
  LineRecord& l = doc.lines[0];
  l.rectx = 10;
  l.recty = 20;
  l.rectw = 40.7f;
  l.recth = 35;
  doc.newLineImage(0);
  const ImageSlot* img = doc.userImages.image(0);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->width, 30);
  EXPECT_EQ(img->height, 15);
  EXPECT_EQ(img->pixel(29, 14), 0xFFFFFFu);
  EXPECT_EQ(l.kind, 2);
  EXPECT_EQ(l.cb, 0u);
  EXPECT_EQ(doc.imageKeys, (std::vector<int32_t>{0, 1}));

  doc.chooseLineImage(0, 1);
  EXPECT_EQ(l.cb, 1u);
  doc.chooseLineImage(0, 9);  // no such slot: nothing changes
  EXPECT_EQ(l.cb, 1u);
}

}  // namespace
}  // namespace tovala
