// Poses on the human body model: applying one (its values written, then the motion preparation:
// reference positions, whole-figure and joint values, every line program), as the pose panel
// and an animation frame cost it; and mirroring one (partners found from the reference
// positions, values swapped and flipped), as ポーズ反転 costs it before the figure is re-posed.

#include <benchmark/benchmark.h>

#include "engine/pose.h"
#include "model/document.h"
#include "render/frame.h"
#include "script/body_model.h"
#include "script/line_programs.h"
#include "script/pose_apply.h"

namespace tovala {
namespace {

// The body model with its left arm raised and a knee bent, as a pose.
Pose raisedArm(const Document& body) {
  Pose pose = capturePose(body);
  for (JointPose& j : pose.joints) {
    if (j.key == JointKey{8, 800}) j.rad[2] = 0.8f;
    if (j.key == JointKey{8, 801}) j.rad[1] = -0.6f;
    if (j.key == JointKey{20, 2001}) j.rad[0] = 0.7f;
  }
  pose.whole[5] = 0.1f;
  return pose;
}

void BM_ApplyPose(benchmark::State& state) {
  installScriptHooks();
  Document doc;
  createBodyModel(doc);
  const Pose rest = capturePose(doc);
  const Pose raised = raisedArm(doc);
  int step = 0;
  for (auto _ : state) {
    applyPose(doc, (step++ & 1) ? rest : raised);
    benchmark::DoNotOptimize(doc.lines.data());
  }
}
BENCHMARK(BM_ApplyPose)->Unit(benchmark::kMillisecond);

// The same, with the figure drawn and shown as the pose panel's 適用 ends: layers rebuilt, the
// selected line merged, the display composed.
void BM_ApplyPoseAndShow(benchmark::State& state) {
  installScriptHooks();
  Document doc;
  createBodyModel(doc);
  const Pose rest = capturePose(doc);
  const Pose raised = raisedArm(doc);
  int step = 0;
  for (auto _ : state) {
    applyPose(doc, (step++ & 1) ? rest : raised);
    rebuildLayers(doc);
    refreshSelected(doc);
    buildDisplay(doc);
    benchmark::DoNotOptimize(doc.workImages.image(kDisplayImage)->pixels.data());
  }
}
BENCHMARK(BM_ApplyPoseAndShow)->Unit(benchmark::kMillisecond);

void BM_MirrorPose(benchmark::State& state) {
  Document doc;
  createBodyModel(doc);
  Pose pose = raisedArm(doc);
  for (auto _ : state) {
    mirrorPose(pose, findMirrorPairs(doc));
    benchmark::DoNotOptimize(pose.joints.data());
  }
}
BENCHMARK(BM_MirrorPose)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tovala
