// The temporary modes the edit tool starts. Each press stores what it found in the window's
// first pick set (line, point, axis, spare); the edit's "決定" reads it.

#include <cstdlib>

#include "engine/atari.h"
#include "engine/picking.h"
#include "shell/main_window.h"
#include "shell/panels/edit_tool/edit_tool_window.h"

namespace tovala {

namespace {

constexpr unsigned kPickColour = 0x00FF00FF;  // magenta, apart from the red and blue marks

class PickTempMode : public TempModeHandler {
 public:
  explicit PickTempMode(int type) : type_(type) {}

  void press(TMyWindow& w, CanvasPoint p) override {
    const PointPick hit = pickAnyPoint(w.doc(), p.x, p.y, type_);
    if (!hit.found()) return;  // a miss keeps the earlier pick
    w.picks().first = {hit.line, hit.point, hit.axis, 0};
  }

  void paintOverlay(TMyWindow& w, OverlayPainter& out) override {
    const Document& d = w.doc();
    const std::array<int, 4>& pick = w.picks().first;
    if (d.isValidPick(pick[0], pick[1]) != 1) return;
    const PointRecord& p = d.lines[size_t(pick[0])].points[size_t(pick[1])];
    float x = p.vx, y = p.vy;
    if (pick[2] >= 1 && pick[2] <= 3) {
      const auto& tip = pick[2] == 1 ? p.unitX : pick[2] == 2 ? p.unitY : p.unitZ;
      x = tip[0];
      y = tip[1];
    }
    out.mark(x, y, d.markSize + 1, kPickColour, false);
  }

 private:
  int type_;
};

class CoRotationTempMode : public TempModeHandler {
 public:
  void release(TMyWindow& w, CanvasPoint release, CanvasPoint press) override {
    Document& d = w.doc();
    // Strictly inside, dragged from top-left to bottom-right, joint lines only.
    for (size_t l = 0; l + 1 < d.lines.size(); ++l) {
      if (d.lines[l].kind != kJointLineKind) continue;
      std::vector<PointRecord>& pts = d.lines[l].points;
      for (size_t i = 0; i + 1 < pts.size(); ++i) {
        PointRecord& p = pts[i];
        if (float(press.x) < p.vx && p.vx < float(release.x) && float(press.y) < p.vy &&
            p.vy < float(release.y))
          p.sel = p.sel == 1 ? 0 : 1;
      }
    }
  }

  void paintOverlay(TMyWindow& w, OverlayPainter& out) override {
    paintAllPointMarks(w, out);
    if (w.mouse().leftDown) out.rect(w.mouse().press, w.mouse().current);
  }
};

// The anchor (0..7) of the stored hit guide of (line, point) whose position lies within the
// mark size of (x, y), or -1.
int anchorAt(const Document& d, int line, int point, int x, int y) {
  const ParamEntry* guide = storedGuide(d.lines[size_t(line)].points[size_t(point)].params);
  if (!guide) return -1;
  for (int k = 0; k < kHitAnchorCount; ++k) {
    const DVec3 a = storedAnchor(guide, k);
    if (std::abs(int(a.x) - x) <= d.markSize && std::abs(int(a.y) - y) <= d.markSize) return k;
  }
  return -1;
}

// Mode 15: a joint point first, then one of the anchors of its hit guide.
class HitPointTempMode : public TempModeHandler {
 public:
  void press(TMyWindow& w, CanvasPoint p) override {
    const Document& d = w.doc();
    std::array<int, 4>& pick = w.picks().first;
    if (d.isValidPick(pick[0], pick[1]) != 1) {
      pick = {0, 0, -1, 0};
      return;
    }
    if (const int anchor = anchorAt(d, pick[0], pick[1], p.x, p.y); anchor >= 0) {
      pick[2] = anchor;
      return;
    }
    const PointPick hit = pickAnyPoint(d, p.x, p.y, kPickLineKind, 4);
    if (hit.found()) pick = {hit.line, hit.point, -1, 0};
  }

  void paintOverlay(TMyWindow& w, OverlayPainter& out) override {
    const Document& d = w.doc();
    for (size_t l = 0; l + 1 < d.lines.size(); ++l) {
      if (d.lines[l].kind != kJointLineKind) continue;
      for (size_t i = 0; i + 1 < d.lines[l].points.size(); ++i)
        out.mark(d.lines[l].points[i].vx, d.lines[l].points[i].vy, d.markSize, 0x0000FF, false);
    }
    const std::array<int, 4>& pick = w.picks().first;
    if (d.isValidPick(pick[0], pick[1]) != 1) return;
    const PointRecord& joint = d.lines[size_t(pick[0])].points[size_t(pick[1])];
    out.mark(joint.vx, joint.vy, d.markSize + 1, kPickColour, false);
    const ParamEntry* guide = storedGuide(joint.params);
    if (!guide) return;
    for (int k = 0; k < kHitAnchorCount; ++k) {
      const DVec3 a = storedAnchor(guide, k);
      out.mark(float(a.x), float(a.y), d.markSize, kPickColour, k == pick[2]);
    }
  }
};

// Mode 19: the first press picks the start, the next the end, and so on by turns.
class TwoPointTempMode : public TempModeHandler {
 public:
  void press(TMyWindow& w, CanvasPoint p) override {
    const PointPick hit = pickAnyPoint(w.doc(), p.x, p.y, kPickAnyPoint);
    if (!hit.found()) return;
    TempPicks& picks = w.picks();
    (picks.phase == 0 ? picks.first : picks.second) = {hit.line, hit.point, hit.axis, 0};
    picks.phase = picks.phase == 0 ? 1 : 0;
  }

  // The start framed in red, the end filled.
  void paintOverlay(TMyWindow& w, OverlayPainter& out) override {
    const Document& d = w.doc();
    auto show = [&](const std::array<int, 4>& pick, bool start) {
      if (d.isValidPick(pick[0], pick[1]) != 1) return;
      const PointRecord& p = d.lines[size_t(pick[0])].points[size_t(pick[1])];
      out.mark(p.vx, p.vy, d.markSize + 1, start ? 0x0000FFu : kPickColour, !start);
    };
    show(w.picks().first, true);
    show(w.picks().second, false);
  }
};

}  // namespace

std::unique_ptr<TempModeHandler> makeTwoPointTempMode() {
  return std::make_unique<TwoPointTempMode>();
}

std::unique_ptr<TempModeHandler> makeHitPointTempMode() {
  return std::make_unique<HitPointTempMode>();
}

std::unique_ptr<TempModeHandler> makePointPickTempMode() {
  return std::make_unique<PickTempMode>(kPickAnyPoint);
}
std::unique_ptr<TempModeHandler> makeAxisPickTempMode() {
  return std::make_unique<PickTempMode>(kPickJointAxes);
}
std::unique_ptr<TempModeHandler> makeCoRotationTempMode() {
  return std::make_unique<CoRotationTempMode>();
}

}  // namespace tovala
