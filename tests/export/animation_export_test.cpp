// Animations of the body model written out: key frames exactly as their poses, GIF and WebP
// files that decode to the frames asked for, cancelling that leaves nothing behind.

#include <gtest/gtest.h>

#include <gif_lib.h>
#include <webp/demux.h>

#include <filesystem>

#include "codec/png_file.h"
#include "engine/animation.h"
#include "engine/pose.h"
#include "export/animation_export.h"
#include "model/document.h"
#include "model/file_io.h"
#include "render/frame.h"
#include "script/body_model.h"
#include "script/pose_apply.h"
#include "support/test_support.h"

namespace tovala {
namespace {

const Document& bodyModel() {
  static Document* doc = [] {
    auto* d = new Document();
    createBodyModel(*d);
    return d;
  }();
  return *doc;
}

void turn(Pose& pose, JointKey key, int axis, float value) {
  for (JointPose& j : pose.joints)
    if (j.key == key) j.rad[size_t(axis)] = value;
}

// Stand, raise the left arm, wave with the forearm: keys at 0, 2 and 4 of five frames.
Animation wave() {
  Animation a;
  a.fps = 10;
  a.length = 5;
  const Pose stand = capturePose(bodyModel());
  Pose raised = stand, waving = stand;
  turn(raised, {8, 800}, 2, 1.2f);
  turn(waving, {8, 800}, 2, 1.2f);
  turn(waving, {8, 801}, 2, -0.7f);
  waving.whole[5] = 0.05f;
  a.keys = {{0, stand, Easing::Smooth}, {2, raised, Easing::Linear}, {4, waving, Easing::Smooth}};
  return a;
}

bool sameDrawing(const ImageSlot& a, const ImageSlot& b) {
  if (a.width != b.width || a.height != b.height) return false;
  for (int y = 0; y < a.height; ++y)
    if (!std::equal(a.row(y), a.row(y) + 3 * a.width, b.row(y))) return false;
  return true;
}

TEST(AnimationExport, KeyFramesAreTheirPosesAppliedAloneAndTheDocumentIsKept) {
  const Animation anim = wave();
  const Document& doc = bodyModel();
  const Pose before = capturePose(doc);
  test::TempDir dir;
  AnimationExportOptions options;
  options.format = AnimationFormat::PngSequence;
  options.path = dir.file("");
  options.baseName = "wave";
  options.threads = 2;
  std::string reason;
  ASSERT_EQ(exportAnimation(doc, anim, options, {}, reason), ExportResult::Done) << reason;
  EXPECT_EQ(capturePose(doc), before);

  for (const AnimationKey& key : anim.keys) {
    Document alone = doc;
    applyPose(alone, key.pose);
    rebuildLayers(alone);
    refreshSelected(alone);
    const auto file = readWholeFile(dir.file("wave_000" + std::to_string(key.frame + 1) + ".png"));
    ASSERT_TRUE(file);
    ImageSlot written;
    ASSERT_TRUE(decodePng(*file, written));
    EXPECT_TRUE(sameDrawing(written, *alone.workImages.image(kModelImage))) << key.frame;
  }
  // Frames between keys differ from both.
  const auto first = readWholeFile(dir.file("wave_0001.png"));
  const auto between = readWholeFile(dir.file("wave_0002.png"));
  ASSERT_TRUE(first && between);
  EXPECT_NE(*first, *between);
  // Only the five pictures, no working folder left.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("")), {}), 5);
}

TEST(AnimationExport, FramesDependNeitherOnTheCanvasNorOnTheThreadCount) {
  const Animation anim = wave();
  // The document's canvas in another state than its model: every work picture painted over,
  // as a front end's would be mid-edit. The frames come from the model alone.
  Document doc = bodyModel();
  for (int slot : {kDisplayImage, kModelImage, kFrontLayer, kSelectedLayer, kBackLayer,
                   kUnderlayImage})
    doc.workImages.fill(slot, 0x0000FF);
  test::TempDir dir;
  std::filesystem::create_directory(dir.file("one"));
  std::filesystem::create_directory(dir.file("two"));
  AnimationExportOptions options;
  options.format = AnimationFormat::PngSequence;
  std::string reason;
  for (int threads : {1, 2}) {
    options.path = dir.file(threads == 1 ? "one/" : "two/");
    options.threads = threads;
    ASSERT_EQ(exportAnimation(doc, anim, options, {}, reason), ExportResult::Done) << reason;
  }
  for (int frame = 1; frame <= 5; ++frame) {
    const std::string name = "frame_000" + std::to_string(frame) + ".png";
    const auto one = readWholeFile(dir.file("one/" + name));
    const auto two = readWholeFile(dir.file("two/" + name));
    ASSERT_TRUE(one && two) << name;
    EXPECT_EQ(*one, *two) << name;
  }
  // The key at frame 2, drawn on an untouched copy of the model.
  Document alone = bodyModel();
  applyPose(alone, anim.keys[1].pose);
  rebuildLayers(alone);
  refreshSelected(alone);
  const auto file = readWholeFile(dir.file("one/frame_0003.png"));
  ASSERT_TRUE(file);
  ImageSlot written;
  ASSERT_TRUE(decodePng(*file, written));
  EXPECT_TRUE(sameDrawing(written, *alone.workImages.image(kModelImage)));
}

int readFromVector(GifFileType* gif, GifByteType* out, int length) {
  auto* in = static_cast<std::pair<const std::vector<uint8_t>*, size_t>*>(gif->UserData);
  const int n = int(std::min(size_t(length), in->first->size() - in->second));
  std::copy_n(in->first->data() + in->second, n, out);
  in->second += size_t(n);
  return n;
}

TEST(AnimationExport, GifAndWebpDecodeToTheFramesAndSizeAsked) {
  const Animation anim = wave();
  test::TempDir dir;
  AnimationExportOptions options;
  options.width = 100;
  options.height = 120;
  options.fps = 20;  // twice the animation's rate: ten frames over the same half second
  options.transparent = true;
  std::string reason;
  std::vector<int> reported;
  const auto count = [&](int done, int total) {
    reported.push_back(done);
    EXPECT_EQ(total, 10);
    return true;
  };

  options.format = AnimationFormat::Gif;
  options.path = dir.file("wave.gif");
  ASSERT_EQ(exportAnimation(bodyModel(), anim, options, count, reason), ExportResult::Done)
      << reason;
  EXPECT_EQ(reported, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  const auto gifBytes = readWholeFile(options.path);
  ASSERT_TRUE(gifBytes);
  std::pair<const std::vector<uint8_t>*, size_t> source{&*gifBytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&source, readFromVector, &error);
  ASSERT_NE(gif, nullptr);
  ASSERT_EQ(DGifSlurp(gif), GIF_OK);
  EXPECT_EQ(gif->ImageCount, 10);
  EXPECT_EQ(gif->SWidth, 100);
  EXPECT_EQ(gif->SHeight, 120);
  GraphicsControlBlock gcb;
  ASSERT_EQ(DGifSavedExtensionToGCB(gif, 3, &gcb), GIF_OK);
  EXPECT_EQ(gcb.DelayTime, 5);  // hundredths of a second at 20 frames a second
  EXPECT_GE(gcb.TransparentColor, 0);
  DGifCloseFile(gif, &error);

  // The WebP encoder merges equal frames into one longer frame (the pose held after the last
  // key), so at the animation's own rate every frame differs.
  options.format = AnimationFormat::WebP;
  options.fps = 0;
  options.path = dir.file("wave.webp");
  ASSERT_EQ(exportAnimation(bodyModel(), anim, options, {}, reason), ExportResult::Done) << reason;
  const auto webpBytes = readWholeFile(options.path);
  ASSERT_TRUE(webpBytes);
  const WebPData data{webpBytes->data(), webpBytes->size()};
  WebPDemuxer* demux = WebPDemux(&data);
  ASSERT_NE(demux, nullptr);
  EXPECT_EQ(WebPDemuxGetI(demux, WEBP_FF_FRAME_COUNT), 5u);
  EXPECT_EQ(WebPDemuxGetI(demux, WEBP_FF_CANVAS_WIDTH), 100u);
  EXPECT_EQ(WebPDemuxGetI(demux, WEBP_FF_CANVAS_HEIGHT), 120u);
  EXPECT_TRUE(WebPDemuxGetI(demux, WEBP_FF_FORMAT_FLAGS) & ALPHA_FLAG);
  WebPDemuxDelete(demux);
}

TEST(AnimationExport, CancelledOrRefusedLeavesNothingBehind) {
  const Animation anim = wave();
  test::TempDir dir;
  AnimationExportOptions options;
  options.width = 50;
  options.height = 60;
  std::string reason;
  const auto stopAtTwo = [](int done, int) { return done < 2; };
  for (AnimationFormat format : {AnimationFormat::Gif, AnimationFormat::WebP,
                                 AnimationFormat::PngSequence}) {
    options.format = format;
    options.path = format == AnimationFormat::PngSequence ? dir.file("") : dir.file("out");
    EXPECT_EQ(exportAnimation(bodyModel(), anim, options, stopAtTwo, reason),
              ExportResult::Cancelled);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("")), {}), 0);
  }
  // Refused before anything is drawn: a size with one side, a damaged animation.
  options.format = AnimationFormat::Gif;
  options.width = 0;
  EXPECT_EQ(exportAnimation(bodyModel(), anim, options, {}, reason), ExportResult::Failed);
  EXPECT_FALSE(reason.empty());
  Animation damaged = anim;
  damaged.keys[1].frame = 9;
  options.width = 50;
  EXPECT_EQ(exportAnimation(bodyModel(), damaged, options, {}, reason), ExportResult::Failed);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("")), {}), 0);
}

}  // namespace
}  // namespace tovala
