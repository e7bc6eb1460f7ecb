// Animations of the body model written out: key frames exactly as their poses drawn alone, the
// same bytes on any thread count even with rand, GIF and WebP files that decode to the frames
// asked for, cancelling or failing that leaves the folder as it was.

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
#include "engine/lines_points.h"
#include "script/body_model.h"
#include "script/builtins.h"
#include "script/script_engine.h"
#include "script/pose_apply.h"
#include "support/test_support.h"
#include "support/body_model_fixture.h"

namespace tovala {
namespace {

const Document& bodyModel() { return test::sharedBodyModel(); }

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

// The picture the export draws of `doc` in `pose` at frame `frame`, at the canvas size.
ImageSlot drawnAlone(const Document& doc, const Pose& pose, int frame) {
  Document alone = doc;
  FigureDrawer drawer;
  ImageSlot picture;
  std::vector<uint8_t> alpha;
  EXPECT_TRUE(renderAnimationFrame(alone, pose, frame, {}, doc.imageWidth, doc.imageHeight,
                                   drawer, picture, alpha));
  return picture;
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
  options.format = ExportFormat::PngSequence;
  options.path = dir.file("");
  options.baseName = "wave";
  options.threads = 2;
  std::string reason;
  ASSERT_EQ(exportAnimation(doc, anim, options, {}, reason), ExportResult::Done) << reason;
  EXPECT_EQ(capturePose(doc), before);

  for (const AnimationKey& key : anim.keys) {
    const auto file = readWholeFile(dir.file("wave_000" + std::to_string(key.frame + 1) + ".png"));
    ASSERT_TRUE(file);
    ImageSlot written;
    ASSERT_TRUE(decodePng(*file, written));
    EXPECT_TRUE(sameDrawing(written, drawnAlone(doc, key.pose, key.frame))) << key.frame;
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
  options.format = ExportFormat::PngSequence;
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
  const auto file = readWholeFile(dir.file("one/frame_0003.png"));
  ASSERT_TRUE(file);
  ImageSlot written;
  ASSERT_TRUE(decodePng(*file, written));
  EXPECT_TRUE(sameDrawing(written, drawnAlone(bodyModel(), anim.keys[1].pose, 2)));
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
  options.look.transparent = true;
  std::string reason;
  std::vector<int> reported;
  const auto count = [&](int done, int total) {
    reported.push_back(done);
    EXPECT_EQ(total, 10);
    return true;
  };

  options.format = ExportFormat::Gif;
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
  options.format = ExportFormat::WebP;
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
  for (ExportFormat format : {ExportFormat::Gif, ExportFormat::WebP,
                                 ExportFormat::PngSequence}) {
    options.format = format;
    options.path = format == ExportFormat::PngSequence ? dir.file("") : dir.file("out");
    EXPECT_EQ(exportAnimation(bodyModel(), anim, options, stopAtTwo, reason),
              ExportResult::Cancelled);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("")), {}), 0);
  }
  // Refused before anything is drawn: a size with one side, a damaged animation.
  options.format = ExportFormat::Gif;
  options.width = 0;
  EXPECT_EQ(exportAnimation(bodyModel(), anim, options, {}, reason), ExportResult::Failed);
  EXPECT_FALSE(reason.empty());
  Animation damaged = anim;
  damaged.keys[1].frame = 9;
  options.width = 50;
  EXPECT_EQ(exportAnimation(bodyModel(), damaged, options, {}, reason), ExportResult::Failed);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("")), {}), 0);
}

// The body model with one more stroke whose middle point a program puts at a random place.
Document withRandomLine() {
  Document doc = bodyModel();
  const int line = appendLine(doc);
  for (int i = 0; i < 3; ++i) {
    addPoint(doc, line);
    setPoint(doc, line, i, 100.0f + 40.0f * float(i), 100.0f, 0.0f);
  }
  doc.lines[size_t(line)].cr = 0x0000FF;
  ScriptEngine engine(doc);
  engine.setDumpPath("");
  doc.curLine = line;
  engine.lex("L[" + std::to_string(line) + "]P[1]vy = 100 + rand(300);");
  EXPECT_GT(doc.lines[size_t(line)].codeCount(), 1);
  return doc;
}

TEST(AnimationExport, RandProgramsGiveTheSameBytesOnAnyThreadCountAndKeepTheCallersSequence) {
  const Document doc = withRandomLine();
  Animation still;  // one pose held for four frames: only rand tells them apart
  still.fps = 10;
  still.length = 4;
  still.keys = {{0, capturePose(doc), Easing::Linear}};
  test::TempDir dir;
  AnimationExportOptions options;
  options.format = ExportFormat::PngSequence;
  options.scale = 0.25;
  options.look.view = ExportView::Line;
  std::string reason;
  script::setRandomSequenceState(12345);
  for (const char* run : {"a", "b", "c"}) {
    std::filesystem::create_directory(dir.file(run));
    options.path = dir.file(run);
    options.threads = run[0] == 'b' ? 1 : 2;
    ASSERT_EQ(exportAnimation(doc, still, options, {}, reason), ExportResult::Done) << reason;
  }
  EXPECT_EQ(script::randomSequenceState(), 12345u);
  std::vector<std::vector<uint8_t>> frames;
  for (int f = 1; f <= 4; ++f) {
    const std::string name = "/frame_000" + std::to_string(f) + ".png";
    const auto a = readWholeFile(dir.file("a") + name), b = readWholeFile(dir.file("b") + name),
               c = readWholeFile(dir.file("c") + name);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(*a, *b) << name;
    EXPECT_EQ(*a, *c) << name;
    frames.push_back(*a);
  }
  // The frames' sequences differ, so the random point moved between them.
  EXPECT_NE(frames[0], frames[1]);
  EXPECT_NE(frames[1], frames[2]);
}

TEST(AnimationExport, ASequenceReplacesEveryPictureOrNone) {
  const Animation anim = wave();
  test::TempDir dir;
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  for (const char* name : {"frame_0002.png", "frame_0005.png"})
    test::writeFileBytes(dir.file(name), old);
  AnimationExportOptions options;
  options.format = ExportFormat::PngSequence;
  options.path = dir.file("");
  options.scale = 0.25;
  std::string reason;
  EXPECT_EQ(exportAnimation(bodyModel(), anim, options, [](int done, int) { return done < 4; },
                            reason),
            ExportResult::Cancelled);
  EXPECT_EQ(readWholeFile(dir.file("frame_0002.png")), old);
  EXPECT_EQ(readWholeFile(dir.file("frame_0005.png")), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("")), {}), 2);

  ASSERT_EQ(exportAnimation(bodyModel(), anim, options, {}, reason), ExportResult::Done) << reason;
  ImageSlot picture;
  for (int f = 1; f <= 5; ++f) {
    const auto bytes = readWholeFile(dir.file("frame_000" + std::to_string(f) + ".png"));
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(decodePng(*bytes, picture)) << f;
    EXPECT_EQ(picture.width, 250);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("")), {}), 5);
}

TEST(AnimationExport, AScaledModelIsRefused) {
  Document doc = bodyModel();
  doc.modelScale = 2.0f;
  test::TempDir dir;
  AnimationExportOptions options;
  options.path = dir.file("out.gif");
  std::string reason;
  EXPECT_EQ(exportAnimation(doc, wave(), options, {}, reason), ExportResult::Failed);
  EXPECT_EQ(reason, kExportScaledModel);
  EXPECT_FALSE(std::filesystem::exists(options.path));
}

}  // namespace
}  // namespace tovala
