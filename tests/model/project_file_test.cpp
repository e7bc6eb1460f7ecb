#include "model/project_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include "codec/byte_io.h"
#include "file_fixtures.h"
#include "model/file_io.h"
#include "model/hc_container.h"
#include "model/messages.h"
#include "model/record_io.h"
#include "platform/ui.h"
#include "support/test_support.h"

namespace tovala {
namespace {

using Bytes = std::vector<uint8_t>;

int32_t i32At(const Bytes& b, size_t at) {
  ByteReader r(b);
  r.seek(at);
  return r.i32();
}

TEST(ProjectFile, NewDocumentRoundTripsAndHasTheLayout) {
  Document doc;
  doc.imageWidth = 10, doc.imageHeight = 2;
  doc.recreateWorkImages();
  const Bytes payload = writeProjectPayload(doc);
  // 32 bytes of header, one line block of 160 + 12 + 8 + 8 + 4 with one 180-byte point, the
  // reserved word, canvas, slot count, the 10 x 2 underlay (stride 32), scale, order, the object
  // and the text.
  const size_t line = 32, point = line + 160 + 12 + 16 + 4;
  const size_t afterLines = point + 180;
  const size_t underlay = afterLines + 4 + 12 + 4;
  const size_t scale = underlay + 4 + 40 + 4 + 64;
  ASSERT_EQ(payload.size(), scale + 4 + 4 + 4 + kObjectBlockBytes + 4 + kTextBlockBytes);
  EXPECT_EQ(i32At(payload, 0), 0);
  EXPECT_EQ(i32At(payload, 4), 1);
  EXPECT_EQ(i32At(payload, line + 4), 10000);                // nam
  EXPECT_EQ(i32At(payload, line + 20), 1);                   // sel
  EXPECT_EQ(i32At(payload, line + 152), 1);                  // paramCount
  EXPECT_EQ(i32At(payload, line + 160), kParamSentinelKey);  // the sentinel entry
  EXPECT_EQ(i32At(payload, point - 4), 1);                   // pointCount
  EXPECT_EQ(i32At(payload, point + 8), -1);                  // point mode
  EXPECT_EQ(i32At(payload, point + 16), -1);                 // aux
  EXPECT_EQ(i32At(payload, afterLines + 4), 10);             // width
  EXPECT_EQ(uint32_t(i32At(payload, afterLines + 12)), kDefaultBackColor);
  EXPECT_EQ(i32At(payload, afterLines + 16), 1);  // user image slots
  EXPECT_EQ(i32At(payload, underlay), 40);
  EXPECT_EQ(i32At(payload, underlay + 44), 64);  // pixel bytes
  EXPECT_EQ(i32At(payload, scale + 8), 1);       // objectCount
  EXPECT_EQ(i32At(payload, scale + 12), -1);     // object number
  EXPECT_EQ(i32At(payload, scale + 12 + 28), 64);
  EXPECT_EQ(i32At(payload, scale + 12 + kObjectBlockBytes + 4), kTextRecordSize);

  test::TempDir dir;
  const std::string path = dir.file("new.tov");
  ASSERT_TRUE(saveProject(doc, path, true));
  Document back;
  ASSERT_TRUE(loadProject(back, path, true));
  EXPECT_EQ(back.lineCount(), 1);
  EXPECT_EQ(back.pointCount(0), 1);
  EXPECT_EQ(back.userImages.slotCount(), 1);
  EXPECT_EQ(back.textCount(), 1);
  EXPECT_EQ(back.objectCount(), 1);
  test::expectSameProjectContent(doc, back);
  EXPECT_EQ(writeProjectPayload(back), payload);
  // Nothing but the project itself is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ProjectFile, EveryFieldRoundTripsInBothForms) {
  Document doc;
  test::fillSampleDocument(doc);
  doc.lines[1].sel = 0;
  test::TempDir dir;
  for (bool compressed : {true, false}) {
    const std::string path = dir.file(compressed ? "a.tov" : "a.tv0");
    ASSERT_TRUE(saveProject(doc, path, compressed));
    Document back;
    ASSERT_TRUE(loadProject(back, path, compressed));
    // The stored selection of lines is not kept: every line reads back selected.
    Document expected;
    test::fillSampleDocument(expected);
    test::expectSameProjectContent(expected, back);
    // The sentinel image slot becomes a blank canvas-sized picture with the next key.
    const ImageSlot* sentinel = back.userImages.image(back.sentinelImageSlot());
    ASSERT_NE(sentinel, nullptr);
    EXPECT_EQ(sentinel->width, 24);
    EXPECT_EQ(sentinel->pixel(23, 9), 0x00102030u);
    EXPECT_EQ(back.imageKeys.back(), 2);
    EXPECT_EQ(back.workImages.image(kModelImage)->width, 24);
    EXPECT_EQ(back.workImages.image(kUnderlayImage)->pixel(3, 4), 0x00ABCDEFu);
    // Saving what was read gives the same bytes.
    ASSERT_TRUE(saveProject(back, path + "2", compressed));
    Document again;
    ASSERT_TRUE(loadProject(again, path + "2", compressed));
    EXPECT_EQ(writeProjectPayload(again), writeProjectPayload(back));
  }
}

TEST(ProjectFile, OpeningResetsTheViewButASnapshotDoesNot) {
  Document doc;
  test::fillSampleDocument(doc);
  test::TempDir dir;
  ASSERT_TRUE(saveProject(doc, dir.file("v.tov"), true));
  ASSERT_TRUE(saveProject(doc, dir.file("v.tv0"), false));
  auto dirty = [](Document& d) {
    d.perLine = 0, d.markSize = 9, d.objectView = 1, d.frontToBack = 1;
    d.edit.mode = 5, d.edit.subMode = 103, d.edit.tempMode = 2, d.curLine = 2, d.curPoint = 1;
  };
  Document opened;
  dirty(opened);
  ASSERT_TRUE(loadProject(opened, dir.file("v.tov"), true));
  EXPECT_EQ(opened.perLine, 1);
  EXPECT_EQ(opened.markSize, 4);
  EXPECT_EQ(opened.objectView, 0);
  EXPECT_EQ(opened.frontToBack, 0);
  EXPECT_EQ(opened.edit.mode, 1);
  EXPECT_EQ(opened.edit.tempMode, 0);
  EXPECT_EQ(opened.curLine, 0);

  Document undone;
  dirty(undone);
  ASSERT_TRUE(loadProject(undone, dir.file("v.tv0"), false));
  EXPECT_EQ(undone.perLine, 0);
  EXPECT_EQ(undone.markSize, 9);
  EXPECT_EQ(undone.objectView, 1);
  EXPECT_EQ(undone.edit.tempMode, 2);
  EXPECT_EQ(undone.edit.mode, 1);  // reading releases the lines as clear() does
  EXPECT_EQ(undone.curLine, 0);
}

// A document's file content as bytes, plus the settings a read could touch.
Bytes snapshot(const Document& d) {
  Bytes b = writeProjectPayload(d);
  for (int32_t v : {d.edit.mode, d.curLine, d.markSize, d.perLine, d.userImages.slotCount()})
    b.push_back(uint8_t(v));
  return b;
}

TEST(ProjectFile, RefusedFilesLeaveTheDocumentAsItWas) {
  Document source;
  test::fillSampleDocument(source, 2);
  const Bytes payload = writeProjectPayload(source);
  Document doc;
  test::fillSampleDocument(doc, 1);
  doc.curLine = 0, doc.edit.mode = 2, doc.markSize = 6;
  const Bytes before = snapshot(doc);
  // Every cut short of the end is refused (the object and text blocks end the payload exactly).
  for (size_t cut = 0; cut < payload.size(); cut += (cut < 1200 ? 1 : 97)) {
    ASSERT_FALSE(readProjectPayload(doc, std::span(payload.data(), cut))) << cut;
  }
  ASSERT_EQ(snapshot(doc), before);

  // Counts beyond what the file holds, below the sentinel's, or a canvas out of range.
  auto patched = [&](size_t at, int32_t value) {
    Bytes b = payload;
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(uint32_t(value) >> (8 * i));
    return b;
  };
  const size_t line0 = 32;
  const size_t firstPointCount = line0 + 160 + 3 * 12 + 8 + 3 * 8;
  ASSERT_EQ(i32At(payload, line0 + 152), 3);
  ASSERT_EQ(i32At(payload, firstPointCount), 2);
  for (const Bytes& bad : {patched(4, 0x7FFFFFFF), patched(4, 0), patched(4, -3),
                           patched(line0 + 152, 0), patched(line0 + 152, 1 << 28),
                           patched(firstPointCount, 0), patched(firstPointCount, 100000)}) {
    EXPECT_FALSE(readProjectPayload(doc, bad));
  }
  ASSERT_EQ(snapshot(doc), before);
  // Canvas fields follow the lines; find them from a payload of the same lines.
  Document probe;
  test::fillSampleDocument(probe, 2);
  probe.imageWidth = 0x1234567;
  const Bytes wide = writeProjectPayload(probe);
  EXPECT_FALSE(readProjectPayload(doc, wide));
  ASSERT_EQ(snapshot(doc), before);
  // A good payload then reads.
  ASSERT_TRUE(readProjectPayload(doc, payload));
  test::expectSameProjectContent(source, doc);
}

TEST(ProjectFile, FailuresShowTheirMessagesAndKeepFiles) {
  test::TempDir dir;
  RecordingUi ui;
  Document doc;
  doc.ui = &ui;
  test::fillSampleDocument(doc);
  const Bytes before = snapshot(doc);

  // Every refused file gets exactly one message: the format's own for a file that does not
  // start as a container does, the read failure for anything missing or damaged.
  auto expectOnly = [&ui](const char* text, const char* caption) {
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, text);
    EXPECT_EQ(ui.shown[0].caption, caption);
    ui.reset();
  };
  test::writeFileBytes(dir.file("plain.tov"), {'n', 'o', 'p', 'e'});
  ASSERT_FALSE(loadProject(doc, dir.file("plain.tov"), true));
  expectOnly(msg::kNotHcFile, msg::kCaptionErrorLower);
  ASSERT_FALSE(loadProject(doc, dir.file("missing.tov"), true));
  expectOnly(msg::kReadFailed, msg::kCaptionError);
  ASSERT_FALSE(loadProject(doc, dir.file("missing.tv0"), false));
  expectOnly(msg::kReadFailed, msg::kCaptionError);

  // Damaged containers: cut short, a header alone, and a sound container around a payload that
  // is no project.
  const std::string good = dir.file("good.tov");
  ASSERT_TRUE(saveProject(doc, good, true));
  const Bytes file = test::readFileBytes(good);
  test::writeFileBytes(dir.file("cut.tov"), Bytes(file.begin(), file.end() - 9));
  test::writeFileBytes(dir.file("head.tov"), {'H', 'C', 0, 0});
  const Bytes junk(40, 0x7F);
  test::writeFileBytes(dir.file("junk.tov"), *encodeHc(junk));
  for (const char* name : {"cut.tov", "head.tov", "junk.tov"}) {
    SCOPED_TRACE(name);
    ASSERT_FALSE(loadProject(doc, dir.file(name), true));
    expectOnly(msg::kReadFailed, msg::kCaptionError);
  }
  EXPECT_EQ(snapshot(doc), before);

  // An unwritable destination: message, and the old file stays.
  ui.reset();
  EXPECT_FALSE(saveProject(doc, dir.file("no/such/dir/x.tov"), true));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, msg::kWriteFailed);
  EXPECT_EQ(ui.shown[0].caption, msg::kCaptionError);
  std::filesystem::create_directory(dir.file("sub"));
  EXPECT_FALSE(saveProject(doc, dir.file("sub"), false));
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("sub")));
  EXPECT_EQ(test::readFileBytes(good), file);
}

// A saved project is one HC container (at most 16777215 bytes), and the underlay grows with the
// canvas: a canvas beyond that is refused when saved, saying why and how large it may be.
TEST(ProjectFile, CanvasesTheContainerCannotHoldAreRefusedSayingWhy) {
  for (auto [w, h] : {std::pair{10, 2}, std::pair{37, 5}}) {
    Document doc;
    doc.imageWidth = w, doc.imageHeight = h;
    doc.recreateWorkImages();
    EXPECT_EQ(writeProjectPayload(doc).size(), newProjectBytes(w, h)) << w << " x " << h;
  }
  // 1764 bytes besides the underlay's rows: 2364 x 2364 (rows of 7092 bytes) is the largest
  // square; the limit is on both sides together, so a 10000-pixel width leaves 559 rows.
  EXPECT_EQ(kNewProjectBytes, 1764u);
  EXPECT_EQ(kLargestSquareCanvas, 2364);
  EXPECT_TRUE(canvasFits(2364, 2364));
  EXPECT_FALSE(canvasFits(2365, 2365));
  EXPECT_FALSE(canvasFits(2364, 2366));
  EXPECT_TRUE(canvasFits(10000, 559));
  EXPECT_FALSE(canvasFits(10000, 560));
  EXPECT_FALSE(canvasFits(0, 10));
  EXPECT_FALSE(canvasFits(10001, 1));
  EXPECT_NE(std::string(msg::kCanvasTooLarge).find("2364×2364"), std::string::npos);

  test::TempDir dir;
  RecordingUi ui;
  Document doc;
  doc.ui = &ui;
  const std::string path = dir.file("big.tov");
  ASSERT_TRUE(saveProject(doc, path, true));
  const Bytes before = test::readFileBytes(path);
  // A canvas one pixel beyond the largest square, as a file from an older version could hold:
  // refused with the reason, the old file kept. A snapshot has no container and is still taken.
  doc.imageWidth = doc.imageHeight = 2365;
  doc.recreateWorkImages();
  EXPECT_FALSE(saveProject(doc, path, true));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, msg::kCanvasTooLarge);
  EXPECT_EQ(ui.shown[0].caption, msg::kCaptionError);
  EXPECT_EQ(test::readFileBytes(path), before);
  EXPECT_TRUE(saveProject(doc, dir.file("snapshot"), false));
  // The largest square itself saves.
  ui.reset();
  doc.imageWidth = doc.imageHeight = 2364;
  doc.recreateWorkImages();
  EXPECT_TRUE(saveProject(doc, path, true));
  EXPECT_TRUE(ui.shown.empty());
  // A canvas that fits with an underlay larger than it: the data as a whole is too large.
  doc.imageWidth = doc.imageHeight = 100;
  doc.recreateWorkImages();
  doc.workImages.makeBlank(kUnderlayImage, 2400, 2400, 0);
  EXPECT_FALSE(saveProject(doc, path, true));
  EXPECT_EQ(ui.lastText(), msg::kTooLargeToSave);
}

}  // namespace
}  // namespace tovala

namespace tovala {
namespace {

// Devices, pipes and folders are not read: /dev/zero would be read to the size limit, a pipe
// would hold the editor.
TEST(FileIo, OnlyPlainFilesAreRead) {
  test::TempDir dir;
  test::writeFileBytes(dir.file("a.bin"), {1, 2, 3});
  EXPECT_EQ(readWholeFile(dir.file("a.bin")), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_FALSE(readWholeFile("/dev/zero", 1u << 20));
  EXPECT_FALSE(readWholeFile(dir.file("")));
  const std::string fifo = dir.file("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(readWholeFile(fifo));
}

}  // namespace
}  // namespace tovala
