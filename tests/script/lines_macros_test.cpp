// The hit-guide, connecting-line and decorative-line macros as scripts call them, on a limb:
// a shoulder joint, its elbow partner, a hit guide and two connecting lines as its outline.
// Rotating the joint through a script must carry the outline around the bone.

#include <cmath>
#include <string>

#include "codec/bmp.h"
#include "engine/atari.h"
#include "engine/cline.h"
#include "engine/joints.h"
#include "engine/oline.h"
#include "engine/param_splice.h"
#include "engine/rotation.h"
#include "render/frame.h"
#include "script_fixture.h"

namespace tovala::script_test {
namespace {

constexpr float kBulge[5] = {0, 8, 12, 8, 0};

class LimbTest : public ScriptTest {
 protected:
  // Line 0: the joint line, shoulder (300, 300) and elbow (500, 300). Lines 1 and 2: the outline
  // above and below the bone, from hit anchors 3→7 and 2→6, bulging outwards.
  void SetUp() override {
    ScriptTest::SetUp();
    addLine({{300, 300, 0}, {500, 300, 0}}, 4);
    PointRecord& s = pt(0, 0);
    s.kind = 2000;
    replaceKindRange(s, kJointFirstKey, kJointLastKey,
                     jointRangeEntries({-100, 100, -100, 100, -100, 100, -3.1416f, 3.1416f,
                                        -3.1416f, 3.1416f, -3.1416f, 3.1416f},
                                       1.0f));
    replaceKindRange(
        s, kCoRotationKey, kCoRotationKey,
        std::vector<ParamEntry>{ParamEntry::ofInt(20, 0, 0), ParamEntry::ofInt(20, 0, 1)});
    HitBlock h;
    h.partner = 1;              // line 0, point 1
    h.direction = 0 * 256 + 2;  // the shoulder's own Y axis tip: turns with the limb
    h.minRatio = -1.0f;
    h.maxRatio = 2.0f;
    replaceKindRange(s, 100, 136, hitBlockEntries(1, h));
    for (int k = 0; k < 2; ++k) outline(k == 0 ? 3 : 2, k == 0 ? 7 : 6, k == 0 ? 1.0f : -1.0f);
  }

  void outline(int startAnchor, int endAnchor, float side) {
    const int line = addLine({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}});
    ASSERT_EQ(setupCLineBlock(doc, line, 1), 1);
    replaceKindRange(ln(line), 102, 104,
                     std::vector<ParamEntry>{ParamEntry::ofInt(102, 0, 0 * 256 + startAnchor),
                                             ParamEntry::ofInt(103, 0, 1 * 256 + endAnchor),
                                             ParamEntry::ofFloat(104, 0, side)});
    for (int i = 0; i < 5; ++i) {
      std::vector<ParamEntry> run{ParamEntry::ofFloat(150, 0, float(i))};
      for (float v : {0.25f * float(i), 0.25f * float(i), 0.25f * float(i), 1.0f, kBulge[i],
                      kBulge[i], kBulge[i], 1.0f})
        run.push_back(ParamEntry::ofFloat(151, 0, v));
      replaceKindRange(pt(line, i), 150, 152, run);
    }
  }

  // Poses the limb from its reference with the shoulder's rotation.
  void pose(float rx, float ry, float rz) {
    char src[256];
    std::snprintf(src, sizeof src,
                  "AllInit(); L[0]P[0]radx = %g; L[0]P[0]rady = %g; L[0]P[0]radz = %g; "
                  "TPRot(L[0]P[0]vx); MakeAtariAll(); MakeCLineAll();",
                  double(rx), double(ry), double(rz));
    exec(src);
    ASSERT_EQ(lastCompile, 1);
    ASSERT_EQ(lastRun, 1);
  }

  DVec3 at(int line, int point) { return positionOf(pt(line, point)); }
};

TEST_F(LimbTest, OutlineTurnsRigidlyWithTheJoint) {
  pose(0, 0, 0);
  DVec3 rest[2][5];
  for (int k = 0; k < 2; ++k)
    for (int i = 0; i < 5; ++i) rest[k][i] = at(1 + k, i);
  // At rest: the upper outline runs 50 above the bone, bulging 12 more in the middle.
  EXPECT_NEAR(rest[0][0].x, 300, 1e-3);
  EXPECT_NEAR(rest[0][0].y, 250, 1e-3);
  EXPECT_NEAR(rest[0][2].y, 238, 1e-3);
  EXPECT_NEAR(rest[1][2].y, 362, 1e-3);
  EXPECT_NEAR(rest[1][4].x, 500, 1e-3);

  const DVec3 shoulder{300, 300, 0};
  for (float angle : {0.5f, 1.2f, 2.5f, -1.0f}) {
    pose(0, 0, angle);
    const Rotation r = Rotation::aboutZ(angle);
    for (int k = 0; k < 2; ++k)
      for (int i = 0; i < 5; ++i) {
        const DVec3 want = shoulder + r.apply(rest[k][i] - shoulder);
        const DVec3 got = at(1 + k, i);
        EXPECT_NEAR(got.x, want.x, 1e-2) << angle << " line " << k << " point " << i;
        EXPECT_NEAR(got.y, want.y, 1e-2) << angle << " line " << k << " point " << i;
      }
  }
}

TEST_F(LimbTest, ForeshortenedLimbKeepsItsSides) {
  for (float ry : {0.6f, 1.2f}) {
    pose(0, ry, 0.3f);
    const DVec3 s = at(0, 0), e = at(0, 1);
    // Each outline hugs its side of the projected bone along its whole length.
    for (int i = 0; i < 5; ++i) {
      EXPECT_LT(sideOf(at(1, i), s, e) * sideOf(at(2, i), s, e), 0) << ry << " point " << i;
    }
    EXPECT_NEAR(lengthXY(at(1, 4) - at(1, 0)), lengthXY(e - s), 1e-2);
  }
}

TEST_F(LimbTest, RenderedOutlineFollowsTheBone) {
  ln(0).sel = 0;  // draw the outline only
  for (float angle : {0.0f, 1.0f}) {
    pose(0, 0, angle);
    rebuildLayers(doc);
    refreshSelected(doc);
    const ImageSlot& img = *doc.workImages.slot(kModelImage);
    auto inked = [&](const DVec3& p) {
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
          if (img.pixel(int(p.x) + dx, int(p.y) + dy) != doc.backColor) return true;
      return false;
    };
    for (int k = 1; k <= 2; ++k)
      for (int i = 0; i < 5; ++i) EXPECT_TRUE(inked(at(k, i))) << angle << " " << k << " " << i;
    // Between the bone and its outline there is nothing.
    const DVec3 mid = (at(0, 0) + at(0, 1)) / 2.0;
    EXPECT_FALSE(inked(mid)) << angle;
    EXPECT_FALSE(inked((mid + at(1, 2)) / 2.0)) << angle;
  }
}

TEST_F(LimbTest, MacrosTakeTheirReferences) {
  // The selector is the reference's low byte: "kind" names block 1, "nam" block 2 (missing).
  exec("MakeAtari(L[0]P[0]nam);");
  EXPECT_LT(findParam(pt(0, 0).params, kHitResultFirstKey), 0);
  exec("MakeAtari(L[0]P[0]kind);");
  EXPECT_GE(findParam(pt(0, 0).params, kHitResultFirstKey), 0);

  // MakeCLine recomputes only the line it names.
  exec("MakeCLine(L[1]P[0]vx);");
  EXPECT_NEAR(at(1, 2).y, 238, 1e-3);
  EXPECT_EQ(at(2, 2).y, 0.0f);
  EXPECT_EQ(value("param 1; p[0] = 5; p[0] = MakeCLine(L[2]P[0]vx);"), 0.0f);
  EXPECT_NEAR(at(2, 2).y, 362, 1e-3);

  // The decorative-line macros: an offset point 20 outside the upper outline's middle.
  const int o = addLine({{0, 0, 0}});
  ln(o).mode = kOLineMode;
  replaceKindRange(ln(o), 100, 100, std::vector<ParamEntry>{ParamEntry::ofInt(100, 0, 0)});
  replaceKindRange(pt(o, 0), 150, 153,
                   std::vector<ParamEntry>{ParamEntry::ofInt(150, 0, 100),
                                           ParamEntry::ofInt(151, 0, 1 << 16 | 2 << 8),
                                           ParamEntry::ofInt(152, 0, 0 << 16 | 1 << 8 | 3),
                                           ParamEntry::ofFloat(153, 0, -20)});
  exec("MakeOLine(L[" + std::to_string(o) + "]P[0]vx);");
  EXPECT_NEAR(at(o, 0).y, 218, 1e-3);
  pt(o, 0).vy = 0;
  exec("MakeOLineAll(); ConnectOLineAll(); ConnectOLine(L[" + std::to_string(o) + "]P[0]vx);");
  EXPECT_NEAR(at(o, 0).y, 218, 1e-3);
}

}  // namespace
}  // namespace tovala::script_test
