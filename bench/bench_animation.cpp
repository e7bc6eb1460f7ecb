// Animations of the human body model: one frame interpolated between keys and the figure put into
// it (every line program run), as playback and each export worker pay it; and a whole export,
// 48 frames as a 500 x 600 GIF, on one thread (the caller's alone) and on two, smooth (the
// default) and with hard edges (drawn at the canvas size and resampled, as exports were drawn
// before they were supersampled).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "engine/animation.h"
#include "engine/pose.h"
#include "export/animation_export.h"
#include "model/document.h"
#include "script/body_model.h"
#include "script/line_programs.h"
#include "script/pose_apply.h"

namespace tovala {
namespace {

Pose turned(Pose pose, std::initializer_list<std::pair<JointKey, float>> turns) {
  for (JointPose& j : pose.joints)
    for (const auto& [key, radz] : turns)
      if (j.key == key) j.rad[2] = radz;
  return pose;
}

// Stand, raise the left arm, wave the forearm twice, stand: 48 frames at 12 a second.
Animation waving(const Document& body) {
  const Pose stand = capturePose(body);
  const Pose raised = turned(stand, {{{8, 800}, 1.3f}, {{14, 1400}, -0.3f}});
  const Pose out = turned(raised, {{{8, 801}, -0.8f}});
  const Pose in = turned(raised, {{{8, 801}, 0.4f}});
  Animation a;
  a.keys = {{0, stand, Easing::Smooth}, {12, raised, Easing::Smooth}, {20, out, Easing::Smooth},
            {28, in, Easing::Smooth},   {36, out, Easing::Smooth},    {47, stand, Easing::Smooth}};
  return a;
}

void BM_AnimationFramePose(benchmark::State& state) {
  installScriptHooks();
  Document doc(Canvas::kNone);
  createBodyModel(doc);
  const Animation anim = waving(doc);
  Pose pose;
  int frame = 0;
  for (auto _ : state) {
    // Frames between keys, never a key itself.
    poseAtFrame(anim, 1.5 + (frame++ % 44), pose);
    applyPose(doc, pose);
    benchmark::DoNotOptimize(doc.lines.data());
  }
}
BENCHMARK(BM_AnimationFramePose)->Unit(benchmark::kMillisecond);

void BM_AnimationExportGif(benchmark::State& state) {
  installScriptHooks();
  Document doc;
  createBodyModel(doc);
  const Animation anim = waving(doc);
  AnimationExportOptions options;
  options.format = ExportFormat::Gif;
  options.path = (std::filesystem::temp_directory_path() / "tovala_bench_animation.gif").string();
  options.width = 500;
  options.height = 600;
  options.threads = int(state.range(0));
  options.look.smooth = state.range(1) != 0;
  std::string reason;
  for (auto _ : state) {
    if (exportAnimation(doc, anim, options, {}, reason) != ExportResult::Done) {
      state.SkipWithError(reason.c_str());
      break;
    }
  }
  std::remove(options.path.c_str());
}
BENCHMARK(BM_AnimationExportGif)
    ->ArgNames({"threads", "smooth"})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Args({2, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);

}  // namespace
}  // namespace tovala
