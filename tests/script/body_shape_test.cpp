#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>

#include "engine/cline.h"
#include "engine/joints.h"
#include "engine/objects.h"
#include "engine/pose.h"
#include "model/document.h"
#include "model/project_file.h"
#include "platform/ui.h"
#include "script/body_model.h"
#include "script/body_shape.h"
#include "script/body_tables.h"
#include "script/line_programs.h"
#include "script/pose_apply.h"

namespace tovala {
namespace {

constexpr int kFirstOutlineLine = 32;

// One figure per preset, built once (a figure takes a while under the sanitizers).
const Document& presetFigure(const std::string& name) {
  static auto* built = new std::map<std::string, Document>();
  if (const auto found = built->find(name); found != built->end()) return found->second;
  installScriptHooks();
  Document& doc = (*built)[name];
  createBodyModel(doc, findBodyShapePreset(name)->shape);
  return doc;
}

const LineRecord& outlineLine(const Document& doc, const std::string& id) {
  return doc.lines[size_t(kFirstOutlineLine + body::bodyTables().outline(id))];
}

// The figure's height over its head's, from where the outlines lie: the head's outline from its
// top to its chin, the whole figure from the head's top to the soles.
double measuredHeads(const Document& doc) {
  double top = 1e9, chin = -1e9, bottom = -1e9;
  for (const char* id : {"headL", "headR"}) {
    const LineRecord& l = outlineLine(doc, id);
    for (int i = 0; i + 1 < l.pointCount(); ++i) {
      top = std::min(top, double(l.points[size_t(i)].vy));
      chin = std::max(chin, double(l.points[size_t(i)].vy));
    }
  }
  for (const LineRecord& l : doc.lines)
    if (l.mode == kCLineMode)
      for (int i = 0; i + 1 < l.pointCount(); ++i)
        bottom = std::max(bottom, double(l.points[size_t(i)].vy));
  return (bottom - top) / (chin - top);
}

TEST(BodyShape, TheStandardShapeBuildsTheStandardFigureByteForByte) {
  Document plain, shaped;
  createBodyModel(plain);
  createBodyModel(shaped, BodyShape{});
  EXPECT_EQ(writeProjectPayload(plain), writeProjectPayload(shaped));
  EXPECT_EQ(writeProjectPayload(plain), writeProjectPayload(presetFigure("標準")));
}

// Every body has the standard figure's structure: the same lines with the same numbers, kinds,
// categories and points, the same parameter keys, programs and objects. Only places differ.
TEST(BodyShape, EveryPresetKeepsTheStandardStructure) {
  const Document& standard = presetFigure("標準");
  for (const BodyShapePreset& preset : bodyShapePresets()) {
    SCOPED_TRACE(preset.alias);
    const Document& doc = presetFigure(preset.name);
    ASSERT_EQ(doc.lineCount(), standard.lineCount());
    bool moved = false;
    for (size_t l = 0; l < standard.lines.size(); ++l) {
      const LineRecord &a = standard.lines[l], &b = doc.lines[l];
      ASSERT_EQ(b.nam, a.nam);
      EXPECT_EQ(b.kind, a.kind);
      EXPECT_EQ(b.category, a.category);
      EXPECT_EQ(b.mode, a.mode);
      EXPECT_EQ(b.code, a.code) << l;
      ASSERT_EQ(b.pointCount(), a.pointCount()) << l;
      for (size_t i = 0; i < a.points.size(); ++i) {
        const PointRecord &p = a.points[i], &q = b.points[i];
        EXPECT_EQ(q.nam, p.nam);
        EXPECT_EQ(q.kind, p.kind);
        ASSERT_EQ(q.params.size(), p.params.size()) << l << ":" << i;
        for (size_t k = 0; k < p.params.size(); ++k) {
          EXPECT_EQ(q.params[k].key, p.params[k].key);
          EXPECT_EQ(q.params[k].sub, p.params[k].sub);
        }
        ASSERT_TRUE(std::isfinite(q.vx) && std::isfinite(q.vy) && std::isfinite(q.vz));
        moved = moved || q.v0x != p.v0x || q.v0y != p.v0y;
      }
    }
    EXPECT_EQ(moved, preset.shape != BodyShape{});
    ASSERT_EQ(doc.objectCount(), standard.objectCount());
    for (size_t o = 0; o + 1 < standard.objects.size(); ++o) {
      EXPECT_EQ(objectName(doc.objects[o]), objectName(standard.objects[o]));
      EXPECT_EQ(doc.objects[o].c, standard.objects[o].c);
      EXPECT_EQ(doc.objects[o].d, standard.objects[o].d);
    }
    // Left and right still mirror each other, so poses mirror on every body.
    EXPECT_TRUE(findMirrorPairs(doc).unpaired.empty());
  }
}

TEST(BodyShape, EveryPresetMeasuresItsHeadsAndFitsTheCanvas) {
  for (const BodyShapePreset& preset : bodyShapePresets()) {
    const Document& doc = presetFigure(preset.name);
    const double heads = measuredHeads(doc);
    std::printf("  %-8s asked %.2f heads, measured %.3f (%+.2f %%)\n", preset.alias,
                preset.shape.heads, heads, 100 * (heads / preset.shape.heads - 1));
    EXPECT_NEAR(heads / preset.shape.heads, 1.0, 0.05) << preset.alias;
    for (const LineRecord& l : doc.lines)
      for (int i = 0; i + 1 < l.pointCount(); ++i) {
        const PointRecord& p = l.points[size_t(i)];
        EXPECT_TRUE(p.vx >= 0 && p.vx < 1000 && p.vy >= 0 && p.vy < 1200) << preset.alias;
      }
  }
  // Off the presets too: the extremes of the range.
  for (double asked : {2.0, 9.0}) {
    BodyShape s;
    s.heads = asked;
    s.legs = asked < 5 ? 1.3 : 0.7;
    Document doc;
    createBodyModel(doc, s);
    EXPECT_NEAR(measuredHeads(doc) / asked, 1.0, 0.05) << asked;
  }
}

// Poses taken on the standard body fit every body: every key found (so no notice), every joint
// within its limits, and the outline pieces still meet at the bent joints.
TEST(BodyShape, PosesFromTheStandardBodyApplyToEveryPreset) {
  struct Setting {
    int line, point;
    float radx, rady, radz;
  };
  const std::vector<std::vector<Setting>> settings = {
      {{8, 0, 0, 0, 0.9f}, {8, 1, 0, 0, 1.2f}, {20, 0, 0, 0, 0.4f}, {26, 1, -0.8f, 0, 0}},
      {{14, 0, 0.5f, -0.4f, -1.0f}, {14, 2, 0, 0.6f, 0}, {2, 0, 0.2f, 0.5f, 0.1f}},
      {{20, 0, -1.2f, 0, 0}, {20, 1, 1.6f, 0, 0}, {26, 0, 0.6f, 0.3f, -0.3f}, {2, 1, 0, -0.9f, 0}},
  };
  std::vector<Pose> poses;
  for (const auto& joints : settings) {
    Document doc;
    createBodyModel(doc);
    for (const Setting& s : joints) {
      PointRecord& p = doc.lines[size_t(s.line)].points[size_t(s.point)];
      p.radx = s.radx, p.rady = s.rady, p.radz = s.radz;
    }
    doc.RadY = 0.4f;
    ASSERT_EQ(runLinePrograms(doc, 0, 0), 0);
    poses.push_back(capturePose(doc));
  }
  auto gap = [](const PointRecord& a, const PointRecord& b) {
    return std::hypot(a.vx - b.vx, a.vy - b.vy);
  };
  for (const BodyShapePreset& preset : bodyShapePresets()) {
    for (size_t n = 0; n < poses.size(); ++n) {
      SCOPED_TRACE(std::string(preset.alias) + " pose " + std::to_string(n));
      Document doc = presetFigure(preset.name);
      RecordingUi ui;
      doc.ui = &ui;
      EXPECT_TRUE(applyPose(doc, poses[n]).empty());
      EXPECT_TRUE(ui.shown.empty());
      EXPECT_EQ(capturePose(doc), poses[n]);
      for (const LineRecord& l : doc.lines)
        for (const PointRecord& p : l.points) {
          std::array<double, 6> lim;
          if (l.kind != 4 || !rotationLimits(p, lim)) continue;
          EXPECT_TRUE(p.radx >= lim[0] && p.radx <= lim[1] && p.rady >= lim[2] &&
                      p.rady <= lim[3] && p.radz >= lim[4] && p.radz <= lim[5]);
        }
      // The last real point of an outline (the sentinel follows it) meets the next one's first.
      auto meets = [&](const std::string& before, const std::string& after) {
        return gap(outlineLine(doc, before).points.end()[-2], outlineLine(doc, after).points[0]);
      };
      for (const std::string S : {"L", "R"}) {
        EXPECT_LT(meets("upperOuter" + S, "foreOuter" + S), 0.01);
        EXPECT_LT(meets("thighInner" + S, "shinInner" + S), 0.01);
        EXPECT_LT(meets("foreOuter" + S, "palmThumb" + S), 0.01);
        EXPECT_LT(meets("foreInner" + S, "palmLittle" + S), 0.01);
        EXPECT_LT(meets("shinOuter" + S, "footOuter" + S), 0.01);
        EXPECT_LT(meets("shinInner" + S, "footInner" + S), 0.01);
      }
    }
  }
}

TEST(BodyShape, PresetsAndRanges) {
  ASSERT_EQ(bodyShapePresets().size(), 6u);
  const double heads[] = {7.0, 2.5, 5.0, 7.0, 7.5, 8.5};
  const char* const names[] = {"標準", "ちび", "子供", "女性", "男性", "モデル"};
  for (size_t i = 0; i < 6; ++i) {
    const BodyShapePreset& p = bodyShapePresets()[i];
    EXPECT_STREQ(p.name, names[i]);
    EXPECT_EQ(p.shape.heads, heads[i]);
    EXPECT_EQ(bodyShapeFault(p.shape), "");
    EXPECT_EQ(findBodyShapePreset(p.alias), &p);
    EXPECT_EQ(findBodyShapePreset(p.name), &p);
  }
  EXPECT_EQ(findBodyShapePreset("giant"), nullptr);
  EXPECT_TRUE(bodyShapePresets()[0].shape.isStandard());
  // Each value refused just outside its range and when not finite, accepted at its ends.
  for (const BodyShapeField& f : kBodyShapeFields) {
    BodyShape s;
    EXPECT_EQ(s.*f.member, f.standard) << f.key;
    for (double bad : {f.min - 0.01, f.max + 0.01, std::nan(""), HUGE_VAL}) {
      s.*f.member = bad;
      EXPECT_EQ(bodyShapeFault(s).rfind(std::string(f.key) + ": ", 0), 0u) << f.key << bad;
    }
    for (double good : {f.min, f.max}) {
      s.*f.member = good;
      EXPECT_EQ(bodyShapeFault(s), "") << f.key;
    }
  }
}

}  // namespace
}  // namespace tovala
