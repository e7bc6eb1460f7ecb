// The outline pass a motion step runs after the joints have moved: MakeAtariAll, MakeCLineAll
// and MakeOLineAll over a figure of 30 joints (each with a hit guide), 150 connecting lines
// (five around each joint, five points each) and 20 decorative lines (five points each, the
// offset, polar, 3-D and whole-line methods five lines apiece).

#include <benchmark/benchmark.h>

#include <vector>

#include "engine/atari.h"
#include "engine/cline.h"
#include "engine/guide_geometry.h"
#include "engine/lines_points.h"
#include "engine/oline.h"
#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "engine/reference.h"
#include "model/document.h"

namespace tovala {
namespace {

constexpr int kJointLines = 6;
constexpr int kJointsPerLine = 5;
constexpr int kOutlinesPerJoint = 5;
constexpr int kDecorativeLines = 20;
constexpr int kPoints = 5;

int addLineOfPoints(Document& doc, int count, float x0, float y0, float dx, float dy, int kind) {
  const int line = appendLine(doc);
  doc.lines[size_t(line)].kind = kind;
  for (int i = 0; i < count; ++i) {
    addPoint(doc, line);
    setPoint(doc, line, -2, x0 + dx * float(i), y0 + dy * float(i), 0.0f);
  }
  return line;
}

void setEntries(LineRecord& l, int32_t first, int32_t last, const std::vector<ParamEntry>& e) {
  replaceKindRange(l, first, last, e);
}

struct Figure {
  std::vector<int> jointLines;
  std::vector<int> outlines;
};

// Joint lines fanned out from the middle of the canvas; every joint partners the next point of
// its line (the last one the previous) and carries a hit block with varied lengths.
void addJoints(Document& doc, Figure& f) {
  for (int j = 0; j < kJointLines; ++j)
    f.jointLines.push_back(
        addLineOfPoints(doc, kJointsPerLine, 500, 500, 60.0f - 25.0f * float(j), 40, 4));
  setReference(doc, 0, -1);
  for (int line : f.jointLines)
    for (int p = 0; p < kJointsPerLine; ++p) {
      PointRecord& joint = doc.lines[size_t(line)].points[size_t(p)];
      joint.kind = 2000;
      // Joints at varied depths (foreshortened bones) with a frame tilted towards the viewer,
      // so all three views have weight.
      joint.vz = 10.0f * float(p);
      joint.unitX = {joint.vx + 1, joint.vy, joint.vz};
      joint.unitY = {joint.vx, joint.vy + 1, joint.vz};
      joint.unitZ = {joint.vx + 0.3f, joint.vy + 0.2f, joint.vz + 0.93f};
      HitBlock h;
      h.partner = packPointRef(line, p + 1 < kJointsPerLine ? p + 1 : p - 1);
      h.direction = packAxisRef(line, p, 2);
      h.minRatio = -1.0f;
      h.maxRatio = 2.0f;
      for (int k = 0; k < kHitAnchorCount; ++k) h.at(hitGroupOffset(k) + 1) = 30.0f + float(k);
      replaceKindRange(joint, 100, 136, hitBlockEntries(1, h));
    }
}

// Five outline lines around every joint, between pairs of its anchors.
void addOutlines(Document& doc, Figure& f) {
  static constexpr int kPairs[kOutlinesPerJoint][2] = {{2, 6}, {3, 7}, {1, 3}, {2, 1}, {6, 4}};
  for (int line : f.jointLines)
    for (int p = 0; p < kJointsPerLine; ++p)
      for (const auto& pair : kPairs) {
        const int c = addLineOfPoints(doc, kPoints, 0, 0, 1, 0, 0);
        setupCLineBlock(doc, c, 1);
        const int partner = p + 1 < kJointsPerLine ? p + 1 : p - 1;
        setEntries(doc.lines[size_t(c)], 102, 104,
                   {ParamEntry::ofInt(102, 0, packAxisRef(line, p, pair[0])),
                    ParamEntry::ofInt(103, 0, packAxisRef(line, partner, pair[1])),
                    ParamEntry::ofFloat(104, 0, 1.0f)});
        for (int i = 0; i < kPoints; ++i) {
          const float t = float(i) / float(kPoints - 1), u = 6.0f * t * (1 - t);
          std::vector<ParamEntry> run{ParamEntry::ofFloat(150, 0, float(i))};
          for (float v : {t, t, t, 1.0f, u, u * 0.5f, u * 0.8f, 0.5f})
            run.push_back(ParamEntry::ofFloat(151, 0, v));
          replaceKindRange(doc.lines[size_t(c)].points[size_t(i)], 150, 152, run);
        }
        f.outlines.push_back(c);
      }
}

// Decorative lines on the outlines and joints, the four methods in turn.
void addDecorations(Document& doc, const Figure& f) {
  for (int d = 0; d < kDecorativeLines; ++d) {
    const int o = addLineOfPoints(doc, kPoints, 0, 0, 1, 0, 0);
    LineRecord& l = doc.lines[size_t(o)];
    l.mode = kOLineMode;
    const int outline = f.outlines[size_t(d * 7)];
    const int jl = f.jointLines[size_t(d % kJointLines)];
    const int method = d % 4;
    if (method == 3) {
      setEntries(
          l, 100, 103,
          {ParamEntry::ofInt(100, 0, kOLineWholeLine), ParamEntry::ofInt(101, 0, outline << 16),
           ParamEntry::ofInt(102, 0, packAxisRef(jl, 0, 0)), ParamEntry::ofFloat(103, 0, 5)});
      continue;
    }
    setEntries(l, 100, 100, {ParamEntry::ofInt(100, 0, kOLinePointByPoint)});
    for (int i = 0; i < kPoints; ++i) {
      std::vector<ParamEntry> run;
      if (method == 0) {
        run = {ParamEntry::ofInt(150, 0, kOffsetMethod),
               ParamEntry::ofInt(151, 0, packAxisRef(outline, i, 0)),
               ParamEntry::ofInt(152, 0, packAxisRef(jl, 1, 0)), ParamEntry::ofFloat(153, 0, -4)};
      } else if (method == 1) {
        run = {ParamEntry::ofInt(150, 0, kPolarMethod),
               ParamEntry::ofInt(151, 0, packAxisRef(jl, 1, 0)),
               ParamEntry::ofInt(152, 0, packAxisRef(jl, 2, 0)),
               ParamEntry::ofInt(153, 0, packAxisRef(jl, 1, 3))};
        for (float v : {20.0f, 22.0f, 24.0f, 0.5f}) run.push_back(ParamEntry::ofFloat(155, 0, v));
        for (float v : {0.3f * float(i), 0.3f * float(i), 0.3f * float(i), 0.5f})
          run.push_back(ParamEntry::ofFloat(156, 0, v));
      } else {
        run = {ParamEntry::ofInt(150, 0, kFrameMethod),
               ParamEntry::ofInt(151, 0, packAxisRef(jl, 3, 0)),
               ParamEntry::ofFloat(152, 0, 5.0f * float(i)), ParamEntry::ofFloat(152, 0, 10),
               ParamEntry::ofFloat(152, 0, 0)};
      }
      replaceKindRange(l.points[size_t(i)], 150, 179, run);
    }
  }
}

void BM_OutlinePass(benchmark::State& state) {
  Document doc;
  Figure f;
  addJoints(doc, f);
  addOutlines(doc, f);
  addDecorations(doc, f);
  // Every line must really be placed: a figure where nothing applies would measure nothing.
  MakeAtariAll(doc);
  for (int c : f.outlines)
    if (MakeCLine(doc, c) != 1) state.SkipWithError("a connecting line found no block");
  for (auto _ : state) {
    MakeAtariAll(doc);
    MakeCLineAll(doc);
    MakeOLineAll(doc);
    benchmark::DoNotOptimize(doc.lines[size_t(f.outlines.back())].points[2].vx);
  }
  state.SetItemsProcessed(state.iterations() * (kJointLines * kJointsPerLine +
                                                int64_t(f.outlines.size()) + kDecorativeLines));
}
BENCHMARK(BM_OutlinePass)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tovala
