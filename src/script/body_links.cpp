// What ties the body model's outlines together: the joins the controller line's program makes
// after every motion step, and the objects that fill each body part.

#include "script/body_tables.h"

namespace tovala::body {

namespace {

class Links {
 public:
  explicit Links(BodyTables& t) : t_(t) {}

  Ref on(const std::string& id, int point) const { return Ref{t_.outline(id), 0, point}; }
  static Ref at(int32_t nam) { return Ref{-1, nam, 0}; }

  // Each end of an outline pair meets its neighbour's at the bent joint `c` between `a` and `b`.
  void bend(const std::string& before, const std::string& after, int32_t c, int32_t a, int32_t b,
            int mode = 0) {
    t_.joins.push_back({JoinKind::Bend, 0, {on(before, -1), at(c), at(a), at(b)}});
    t_.joins.push_back({JoinKind::Bend, mode, {on(after, 0), at(c), at(a), at(b)}});
  }
  // Rebuilds `target` along the anchors, padded to nine by repeating the last.
  void curve(const std::string& target, std::vector<Ref> anchors) {
    while (anchors.size() < 9) anchors.push_back(anchors.back());
    std::vector<Ref> refs{on(target, 0)};
    refs.insert(refs.end(), anchors.begin(), anchors.end());
    t_.joins.push_back({JoinKind::Curve, 0, refs});
  }
  void corner(const std::string& target, Ref from, Ref via, Ref to) {
    // Mode 1: the curve passes through `via`.
    t_.joins.push_back({JoinKind::Corner, 1, {on(target, 0), from, via, to}});
  }

  void side(char s) {
    const std::string S(1, s);
    const int32_t shift = s == 'R' ? kRightLimbShift : 0;
    const int32_t shoulder = jointNumber(line::kArmL, 0) + shift,
                  elbow = jointNumber(line::kArmL, 1) + shift,
                  wrist = jointNumber(line::kArmL, 2) + shift,
                  palm = jointNumber(line::kArmL, 3) + shift;
    const int32_t hip = jointNumber(line::kLegL, 0) + shift,
                  knee = jointNumber(line::kLegL, 1) + shift,
                  ankle = jointNumber(line::kLegL, 2) + shift,
                  toes = jointNumber(line::kToesL + 2, 0) + shift;
    bend("upperOuter" + S, "foreOuter" + S, elbow, shoulder, wrist);
    bend("upperInner" + S, "foreInner" + S, elbow, shoulder, wrist);
    // The palm's sides reach past the thumb's root: only their first two points follow.
    bend("foreOuter" + S, "palmThumb" + S, wrist, elbow, palm, 2);
    bend("foreInner" + S, "palmLittle" + S, wrist, elbow, palm, 2);
    corner("upperInner" + S, on("torso" + S, kTorsoArmpit), on("upperInner" + S, 2),
           on("upperInner" + S, -1));
    // Straight from the trapezius to the cap, which follows the arm wherever it turns.
    curve("shoulder" + S, {on("torso" + S, kTorsoTrapezius), on("upperOuter" + S, 0)});
    bend("thighOuter" + S, "shinOuter" + S, knee, hip, ankle);
    bend("thighInner" + S, "shinInner" + S, knee, hip, ankle);
    bend("shinOuter" + S, "footOuter" + S, ankle, knee, toes, 2);
    bend("shinInner" + S, "footInner" + S, ankle, knee, toes, 2);
    curve("buttock" + S, {on("torso" + S, -1), on("buttock" + S, 1), on("thighOuter" + S, 0)});
    curve("neck" + S,
          {on("torso" + S, 0), on("neck" + S, 1), on("neck" + S, 2), on("neck" + S, 3)});
  }

 private:
  BodyTables& t_;
};

}  // namespace

void addJoins(BodyTables& t) {
  Links links(t);
  links.side('L');
  links.side('R');
  links.curve("crotch", {links.on("thighInnerL", 0), links.on("crotch", 1), links.on("crotch", 2),
                         links.on("crotch", 3), links.on("thighInnerR", 0)});
}

void addObjects(BodyTables& t) {
  auto two = [&](const std::string& forward, const std::string& backward) {
    return std::vector<Piece>{{t.outline(forward), Piece::Forward},
                              {t.outline(backward), Piece::Backward}};
  };
  // A bridge over a joint: the curve, then across the joint to one point of the limb's inner
  // side, so the joint's whole area is covered whichever way the limb turns.
  auto bridge = [&](const std::string& curve, const std::string& inner) {
    return std::vector<Piece>{{t.outline(curve), Piece::Forward},
                              {t.outline(inner), Piece::Point, 0}};
  };
  // Nearer parts get larger layers: trunk, legs, then the arms in front.
  auto perSide = [&](const char* left, const char* right, auto pieces, double layer) {
    t.objects.push_back({left, pieces("L"), layer});
    t.objects.push_back({right, pieces("R"), layer});
  };
  perSide(
      "左足上", "右足上", [&](std::string s) { return two("thighOuter" + s, "thighInner" + s); },
      0.8);
  perSide(
      "左尻", "右尻", [&](std::string s) { return bridge("buttock" + s, "thighInner" + s); }, -0.3);
  perSide(
      "左上腕", "右上腕", [&](std::string s) { return two("upperOuter" + s, "upperInner" + s); },
      2.2);
  perSide(
      "左肩", "右肩", [&](std::string s) { return bridge("shoulder" + s, "upperInner" + s); }, 2.0);
  perSide(
      "左下腕", "右下腕", [&](std::string s) { return two("foreOuter" + s, "foreInner" + s); },
      2.4);
  perSide(
      "左下足", "右下足", [&](std::string s) { return two("shinOuter" + s, "shinInner" + s); },
      0.9);
  perSide(
      "左乳", "右乳", [&](std::string s) { return std::vector<Piece>{{t.outline("breast" + s)}}; },
      0.4);

  // Hands and feet: each digit segment (thumb and big toe: 第二, 第一; the others 第三 .. 第一),
  // then the palm or the foot.
  static const char* const kDigitNames[] = {"親指", "人差指", "中指", "薬指", "小指"};
  static const char* const kSegmentNames[] = {"第三", "第二", "第一"};
  for (const char* part : {"hand", "foot"}) {
    for (char s : {'L', 'R'}) {
      const std::string S(1, s);
      const std::string prefix =
          std::string(s == 'L' ? "左" : "右") + (part[0] == 'h' ? "手" : "足");
      const double layer = part[0] == 'h' ? 2.8 : 1.0;
      for (int d = 0; d < 5; ++d) {
        const int segments = d == 0 ? 2 : 3;
        for (int g = 0; g < segments; ++g) {
          const std::string stem = std::string(part) + char('0' + d) + char('0' + g);
          t.objects.push_back({prefix + kDigitNames[d] + kSegmentNames[3 - segments + g],
                               two(stem + "p" + S, stem + "m" + S), layer});
        }
      }
      t.objects.push_back({prefix,
                           part[0] == 'h' ? two("palmThumb" + S, "palmLittle" + S)
                                          : two("footOuter" + S, "footInner" + S),
                           part[0] == 'h' ? 2.6 : 0.95});
    }
  }
  t.objects.push_back({"頭", two("headL", "headR"), 1.0});
  t.objects.push_back({"首", two("neckL", "neckR"), 0.6});
  t.objects.push_back({"胴",
                       {{t.outline("torsoL"), Piece::Forward},
                        {t.outline("crotch"), Piece::Forward},
                        {t.outline("torsoR"), Piece::Backward}},
                       0.0});
}

}  // namespace tovala::body
