#include "shell/panels/control/control_values.h"

#include <algorithm>

#include "engine/edit_modes.h"
#include "model/document.h"
#include "platform/ui.h"

namespace tovala {

namespace {

constexpr int kImageKind = 2;
constexpr int kFillKind = 1;
constexpr int kTextKind = 3;

// Combo items against stored values: items 1 and 2 stand for a stored value; any other value
// is shown as its own index.
int indexOf(int stored, int first, int second) {
  return stored == first ? 1 : stored == second ? 2 : stored;
}
int storedOf(int index, int first, int second) {
  return index == 1 ? first : index == 2 ? second : index;
}

std::array<int, 3> componentsOf(uint32_t colour) {
  return {int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)};
}
uint32_t colourOf(const std::array<int, 3>& c) {
  auto byte = [](int v) { return uint32_t(std::clamp(v, 0, 255)); };
  return byte(c[0]) | byte(c[1]) << 8 | byte(c[2]) << 16;
}

bool hasUserImage(const Document& doc) { return doc.sentinelImageSlot() >= 1; }

}  // namespace

ReadBackDepth readBack(const Document& doc, ControlValues& v) {
  v.perLine = doc.perLine;
  if (!doc.isValidLine(doc.curLine)) return ReadBackDepth::Nothing;
  const LineRecord& line = doc.lines[size_t(doc.curLine)];
  v.lineNumber = line.nam;
  v.kind = line.kind;
  v.lineMode = indexOf(line.mode, 100, 101);
  v.lineColour = componentsOf(line.cr);
  v.fillColour = componentsOf(line.cb);
  v.imageMode = line.imgmode;
  v.lineVariation = line.lmode;

  if (doc.isValidPick(doc.curLine, doc.curPoint) != 1) return ReadBackDepth::Line;
  const PointRecord& p = line.points[size_t(doc.curPoint)];
  v.pointNumber = p.nam;
  v.position = {p.vx, p.vy, p.vz};
  v.pointKind = indexOf(p.kind, 1000, 2000);
  v.pointType = p.mode + 1;
  v.opacity = std::clamp(int(p.pwa) * 100 / 255, 0, 100);

  if (v.perLine == 0) {
    v.brush = doc.defBrush;
    v.shapeMin = doc.defSpMin;
    v.shapeMax = doc.defSpMax;
    v.shapeDx = doc.defSpDspX;
    v.shapeDy = doc.defSpDspY;
  } else {
    v.brush = {line.brw, line.brh, line.bra, line.brk};
    v.shapeMin = line.spmin;
    v.shapeMax = line.spmax;
    v.shapeDx = line.spdspx;
    v.shapeDy = line.spdspy;
  }
  return ReadBackDepth::LineAndPoint;
}

void normaliseRead(ControlValues& v) {
  for (int* c : {&v.lineColour[0], &v.lineColour[1], &v.lineColour[2], &v.fillColour[0],
                 &v.fillColour[1], &v.fillColour[2]})
    *c = std::clamp(*c, 0, 255);
  if (v.shapeMax < v.shapeMin) v.shapeMin = v.shapeMax;
}

bool applyControlValues(Document& doc, ControlValues& v, Ui& ui,
                        const std::function<void()>& snapshot) {
  if (doc.edit.mode == kModeMotion) {
    ui.message(kRunningModeRefusal, "");
    return false;
  }
  doc.perLine = v.perLine;
  if (!doc.isValidLine(doc.curLine)) return false;
  if (snapshot) snapshot();

  LineRecord& line = doc.lines[size_t(doc.curLine)];
  if (doc.edit.mode == kModePaint && line.kind == kImageKind && v.kind != kImageKind) {
    ui.message(kPaintKeepsImage, "");
    v.kind = kImageKind;
  }
  // A combo that shows no item (a stored value it has no entry for) keeps the stored value.
  line.nam = v.lineNumber;
  if (v.kind >= 0) line.kind = v.kind;
  if (v.lineMode >= 0) line.mode = storedOf(v.lineMode, 100, 101);
  line.cr = colourOf(v.lineColour);
  // An image line keeps the key of its image in cb.
  if (line.kind != kImageKind) line.cb = colourOf(v.fillColour);
  if (line.kind == kImageKind && !hasUserImage(doc)) {
    line.kind = 0;
    v.kind = 0;
    ui.message(kNoImageToChoose, kNoImageCaption);
  }
  if (v.imageMode >= 0) line.imgmode = v.imageMode;
  if (v.lineVariation >= 0) line.lmode = v.lineVariation;

  if (doc.isValidPick(doc.curLine, doc.curPoint) != 1) return true;
  PointRecord& p = line.points[size_t(doc.curPoint)];
  p.nam = v.pointNumber;
  p.vx = v.position[0];
  p.vy = v.position[1];
  p.vz = v.position[2];
  if (v.pointKind >= 0) p.kind = storedOf(v.pointKind, 1000, 2000);
  if (v.pointType >= 0) p.mode = v.pointType - 1;
  p.pwa = float(v.opacity * 2.55);

  v.shapeMin = std::max(v.shapeMin, 1);
  v.shapeMax = std::max(v.shapeMax, 1);
  v.shapeMin = std::min(v.shapeMin, v.shapeMax);
  if (v.perLine == 0) {
    doc.defBrush = v.brush;
    doc.defSpMin = v.shapeMin;
    doc.defSpMax = v.shapeMax;
    doc.defSpDspX = v.shapeDx;
    doc.defSpDspY = v.shapeDy;
  } else {
    line.setStyle(v.brush, v.shapeMin, v.shapeMax, v.shapeDx, v.shapeDy);
  }
  return true;
}

void applyLinePreset(ControlValues& v, int preset) {
  struct Preset {
    int min, max;
    float thinness, slope;
  };
  // "最高速", "高速", "普通", "綺麗", "透明"
  constexpr Preset kPresets[] = {{3, 3, 0.0f, 0.0f},
                                 {10, 10, 0.0f, 0.0f},
                                 {20, 20, 1.5f, -1.0f},
                                 {20, 40, 1.98f, 0.0f},
                                 {20, 20, 2.0f, 0.0f}};
  constexpr int kFine = 3;
  if (preset < 0 || preset >= int(std::size(kPresets))) return;
  const Preset& p = kPresets[preset];
  v.shapeMin = p.min;
  v.shapeMax = p.max;
  v.brush[2] = p.thinness;
  v.brush[3] = p.slope;
  if (preset == kFine) {
    v.brush[0] = std::max(v.brush[0], 2.0f);
    v.brush[1] = std::max(v.brush[1], 2.0f);
  }
}

ControlEnables enablesFor(const Document& doc, int kind) {
  return {kind == kFillKind, kind == kImageKind && hasUserImage(doc), kind == kTextKind};
}

}  // namespace tovala
