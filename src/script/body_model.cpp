#include "script/body_model.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>
#include <vector>

#include "engine/atari.h"
#include "engine/cline.h"
#include "engine/face_parts.h"
#include "engine/guide_geometry.h"
#include "engine/lines_points.h"
#include "engine/objects.h"
#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "model/brush_kernel.h"
#include "model/document.h"
#include "model/messages.h"
#include "model/object_depth.h"
#include "platform/ui.h"
#include "render/frame.h"
#include "script/body_shape.h"
#include "script/body_tables.h"
#include "script/line_programs.h"
#include "script/script_engine.h"

namespace tovala {

namespace {

using body::BodyTables;
using body::P2;

constexpr const char* kMemoryError = "メモリーエラー";
constexpr const char* kInitError = "初期化エラー";
constexpr int kMotionEditMode = 5;

constexpr uint32_t kBoneColour = 0x00E0D0C4;     // pale: the skeleton stays in the background
constexpr uint32_t kOutlineColour = 0x00304058;  // dark brown
constexpr uint32_t kSkinColour = 0x00B8CCEE;
constexpr int32_t kFirstOutlineNumber = 32;
constexpr int32_t kBlock = 100;          // every outline uses block 1
constexpr float kAcrossExponent = 2.0f;  // widths blend between views like an ellipse's
constexpr float kMinRatio = -1.0f, kMaxRatio = 2.0f;

// The program line 0 runs on every step: back to the reference pose, then every joint, the
// whole-model movement and rotation, the hit guides and the outlines.
constexpr const char* kPoseProgram =
    "AllInit();TPMoveAll();TPRotAll();MacroMove();MacroRot();MakeAtariAll();MakeCLineAll();";

struct At {
  int line = -1, point = -1;
  bool found() const { return line >= 0; }
};

At findPoint(const Document& doc, int32_t nam) {
  At at;
  if (!pointWithNumber(doc, nam, at.line, at.point)) return {};
  return at;
}

PointRecord& pointOf(Document& doc, At a) {
  return doc.lines[size_t(a.line)].points[size_t(a.point)];
}

// Appends a point at rest at (x, y, z): its reference is where it is, its axes one unit long.
PointRecord& addRestPoint(Document& doc, int line, double x, double y, double z) {
  const int p = addPoint(doc, line);
  PointRecord& pt = doc.lines[size_t(line)].points[size_t(p)];
  pt.kind = 0;
  pt.mode = 0;
  pt.vx = pt.v0x = float(x);
  pt.vy = pt.v0y = float(y);
  pt.vz = pt.v0z = float(z);
  const float s = doc.modelScale;
  pt.unitX = {pt.v0x + s, pt.v0y, pt.v0z};
  pt.unitY = {pt.v0x, pt.v0y + s, pt.v0z};
  pt.unitZ = {pt.v0x, pt.v0y, pt.v0z + s};
  return pt;
}

int newLine(Document& doc, int32_t nam, int kind, int category, uint32_t colour) {
  LineRecord tmpl = doc.makeDefaultLine();
  tmpl.nam = nam;
  tmpl.kind = kind;
  tmpl.category = category;
  tmpl.cr = colour;
  return appendLine(doc, &tmpl);
}

// Compiles `source` into line `line`'s program through the script compiler.
void compileInto(Document& doc, int line, const std::string& source) {
  ScriptEngine engine(doc);
  engine.setDumpPath("");
  const int selected = doc.curLine;
  doc.curLine = line;
  engine.lex(source);
  doc.curLine = selected;
}

// --- stage 1 ------------------------------------------------------------------------------------

void addGuide(Document& doc, const body::HitGuidePlan& g) {
  const At self = findPoint(doc, g.nam), partner = findPoint(doc, g.partner);
  if (!self.found() || !partner.found()) return;
  PointRecord& p = pointOf(doc, self);
  if (p.paramCount() + kHitBlockEntries > kMaxPointParams) {
    doc.ui->message(kMemoryError, msg::kCaptionErr);
    return;
  }
  HitBlock b;
  b.partner = packPointRef(partner.line, partner.point);
  b.minRatio = kMinRatio;
  b.direction = packAxisRef(self.line, self.point, 0);
  // Lengths 0: anchors 1 and 4 are the joint and its partner; exponents 1.
  b.lengths.fill(0.0f);
  for (int k = 0; k < kHitAnchorCount; ++k) b.at(hitGroupOffset(k) + 3) = 1.0f;
  const std::vector<ParamEntry> entries = hitBlockEntries(1, b);
  replaceKindRange(p, kBlock, kBlock + kHitBlockEntries - 1, entries);
}

void addJointSettings(Document& doc, const body::JointSettings& j) {
  const At at = findPoint(doc, j.nam);
  if (!at.found()) return;
  std::vector<ParamEntry> turning;
  for (int32_t n : j.coRotating) {
    const At t = findPoint(doc, n);
    if (t.found())
      turning.push_back(ParamEntry::ofInt(kCoRotationKey, 0, packPointRef(t.line, t.point)));
  }
  PointRecord& p = pointOf(doc, at);
  JointRanges ranges;
  std::copy(j.ranges.begin(), j.ranges.end(), ranges.begin());
  const std::vector<ParamEntry> limits = jointRangeEntries(ranges, doc.modelScale);
  replaceKindRange(p, kJointFirstKey, kJointLastKey, limits);
  replaceKindRange(p, kCoRotationKey, kCoRotationKey, turning);
}

void buildSkeleton(Document& doc, const BodyTables& t) {
  const int zero = newLine(doc, 0, 0, 0, kOutlineColour);
  addRestPoint(doc, zero, 10, 10, 0);
  compileInto(doc, zero, kPoseProgram);
  for (const body::JointLine& jl : t.lines) {
    const int l = newLine(doc, jl.nam, 4, jl.category, kBoneColour);
    for (const body::JointPoint& jp : jl.points) {
      PointRecord& p = addRestPoint(doc, l, jp.at.x, jp.at.y, 0);
      p.nam = jp.nam;
      p.kind = jp.kind;
    }
  }
  for (const auto& g : t.guides) addGuide(doc, g);
  for (const auto& j : t.joints) addJointSettings(doc, j);
}

// --- stage 2 ------------------------------------------------------------------------------------

// Call 1: the line, hung from joint `from` towards `to`, its points at their rest positions and
// each point's shape (along and across the bone) captured from there. The along values blend
// with `alongExponent`, the across values with 2.0.
int buildOutline(Document& doc, const body::OutlinePlan& o, int32_t number) {
  const At from = findPoint(doc, o.from), to = findPoint(doc, o.to);
  if (!from.found() || !to.found()) {
    doc.ui->message(kInitError, msg::kCaptionMessage);
    return -1;
  }
  const PointRecord& a = pointOf(doc, from);
  const PointRecord& b = pointOf(doc, to);
  const double dx = b.v0x - a.v0x, dy = b.v0y - a.v0y, len2 = dx * dx + dy * dy;
  const double len = std::sqrt(len2);
  const int line = newLine(doc, number, 0, 0, kOutlineColour);
  LineRecord& l = doc.lines[size_t(line)];
  l.mode = kCLineMode;

  const int startAnchor = o.hitGuided ? 1 : kPointAnchor;
  const int endAnchor = o.hitGuided ? 4 : kPointAnchor;
  const std::vector<ParamEntry> entries = {
      ParamEntry::ofInt(kBlock, 0, 0),
      ParamEntry::ofInt(kBlock + 1, 0, kBlock * 65536 + kCLineHitMethod),
      ParamEntry::ofInt(kBlock + 2, 0, packAxisRef(from.line, from.point, startAnchor)),
      ParamEntry::ofInt(kBlock + 3, 0, packAxisRef(to.line, to.point, endAnchor)),
      ParamEntry::ofFloat(kBlock + 4, 0, 1.0f),
      ParamEntry::ofInt(kBlock + 10, 0, 0)};
  replaceKindRange(l, kBlock, kBlock + 10, entries);

  for (size_t i = 0; i < o.rest.size(); ++i) {
    const double px = o.rest[i].x - a.v0x, py = o.rest[i].y - a.v0y;
    const double along = len2 > 0 ? (px * dx + py * dy) / len2 : 0;
    const double across = len > 0 ? (px * dy - py * dx) / len : 0;
    addRestPoint(doc, line, o.rest[i].x, o.rest[i].y, across * doc.modelScale);
    const float t = float(along), u = float(across), ae = float(o.alongExponent);
    const std::vector<ParamEntry> run = {
        ParamEntry::ofInt(kBlock + 50, 0, int32_t(i)),
        ParamEntry::ofFloat(kBlock + 51, 0, t),
        ParamEntry::ofFloat(kBlock + 51, 0, t),
        ParamEntry::ofFloat(kBlock + 51, 0, t),
        ParamEntry::ofFloat(kBlock + 51, 0, ae),
        ParamEntry::ofFloat(kBlock + 51, 0, u),
        ParamEntry::ofFloat(kBlock + 51, 0, u),
        ParamEntry::ofFloat(kBlock + 51, 0, float(u * o.sideDepth)),
        ParamEntry::ofFloat(kBlock + 51, 0, kAcrossExponent)};
    PointRecord& p = doc.lines[size_t(line)].points.at(i);
    replaceKindRange(p, kBlock + 50, kBlock + 51, run);
  }
  return line;
}

// Call 2: the block's conditions, a length-ratio range every pose passes.
void setOutlineConditions(Document& doc, int line) {
  const std::vector<ParamEntry> entries = {ParamEntry::ofFloat(kBlock + 11, 0, kMinRatio),
                                           ParamEntry::ofFloat(kBlock + 12, 0, kMaxRatio)};
  replaceKindRange(doc.lines[size_t(line)], kBlock + 11, kBlock + 12, entries);
}

// --- stage 3 ------------------------------------------------------------------------------------

// A join's reference as "L[line]P[point]field", or "" when it names nothing.
std::string reference(const Document& doc, const std::vector<int>& numbers, const body::Ref& r,
                      const char* field) {
  At at;
  if (r.outline >= 0) {
    const int32_t number = numbers[size_t(r.outline)];
    const int line = number < 0 ? -1 : doc.findLineByNumber(number);
    if (!doc.isValidLine(line)) return {};
    const int real = doc.pointCount(line) - 1;
    at = {line, r.point < 0 ? real + r.point : r.point};
    if (at.point < 0 || at.point >= real) return {};
  } else {
    at = findPoint(doc, r.joint);
    if (!at.found()) return {};
  }
  return "L[" + std::to_string(at.line) + "]P[" + std::to_string(at.point) + "]" + field;
}

// The controller's program: one direct connection per join, lines given by index.
std::string joinProgram(const Document& doc, const BodyTables& t, const std::vector<int>& numbers) {
  static const char* const kCalls[] = {"ConnectDirect4D", "ConnectDirect8D", "ConnectDirectFD"};
  static const char* const kModeFields[] = {"vx", "vy", "vz", "mode"};
  std::string src;
  for (const body::JoinPlan& j : t.joins) {
    std::string call = std::string(kCalls[int(j.kind)]) + "(";
    bool ok = true;
    for (size_t i = 0; i < j.refs.size() && ok; ++i) {
      const std::string ref =
          reference(doc, numbers, j.refs[i], i == 0 ? kModeFields[j.mode & 3] : "vx");
      ok = !ref.empty();
      call += (i ? "," : "") + ref;
    }
    if (ok) src += call + ");\n";
  }
  return src;
}

// Each object's depth follows the joints its pieces hang between (a "several points" object),
// not the outline points, whose depth carries their offset across the bone.
void addObjects(Document& doc, const BodyTables& t, const std::vector<int>& numbers) {
  for (const body::ObjectPlan& plan : t.objects) {
    ObjectRecord o;
    setObjectName(o, plan.name);
    o.header[kObjectDrawType] = kDrawFilled | kShapeNormal;
    o.header[kObjectColour] = int32_t(kSkinColour);
    std::vector<int32_t> joints;
    int slot = 0;
    for (const body::Piece& piece : plan.pieces) {
      const int32_t number = piece.outline < 0 ? -1 : numbers[size_t(piece.outline)];
      const int line = number < 0 ? -1 : doc.findLineByNumber(number);
      if (!doc.isValidLine(line)) continue;
      const int last = doc.pointCount(line) - 2;
      PieceRange r{0, 0, last, kPieceForward};
      if (piece.kind == body::Piece::Backward) r = {0, last, 0, kPieceBackward};
      if (piece.kind == body::Piece::Point) r = {0, piece.point, piece.point, kPiecePoint};
      o.c[size_t(slot)] = line;
      o.d[size_t(slot)] = packPieceRule(r);
      ++slot;
      for (int32_t j :
           {t.outlines[size_t(piece.outline)].from, t.outlines[size_t(piece.outline)].to})
        if (std::find(joints.begin(), joints.end(), j) == joints.end()) joints.push_back(j);
    }
    int n = 0;
    for (int32_t j : joints) {
      const At at = findPoint(doc, j);
      if (at.found() && n + 1 < kObjectEntries) o.a[size_t(n++)] = packPointRef(at.line, at.point);
    }
    o.header[kObjectMode] = int32_t(uint32_t(kObjectModeSeveralPlus) | (uint32_t(n) << 24));
    addObject(doc, o);
  }
}

// After the first run: the outlines' rest pose is where the programs put them, and each
// object's depth offset makes its rest depth its layer. The hit guides' results go again (every
// motion run computes them afresh), so each joint's list stays within 63 entries as built.
void settle(Document& doc, const BodyTables& t) {
  runLinePrograms(doc, 0, 0);
  for (LineRecord& l : doc.lines)
    for (PointRecord& p : l.points)
      if (findParam(p.params, kHitResultFirstKey) >= 0)
        replaceKindRange(p, kHitResultFirstKey, kHitResultLastKey, {});
  for (LineRecord& l : doc.lines) {
    if (l.mode != kCLineMode) continue;
    for (int i = 0; i + 1 < l.pointCount(); ++i) {
      PointRecord& p = l.points[size_t(i)];
      p.v0x = p.vx, p.v0y = p.vy, p.v0z = p.vz;
    }
  }
  for (size_t i = 0; i < t.objects.size() && i + 1 < size_t(doc.objectCount()); ++i) {
    ObjectRecord& o = doc.objects[i];
    // The offset follows the joints' references (the first value after them).
    int32_t& offset = o.a[size_t(uint32_t(o.header[kObjectMode]) >> 24)];
    offset = 0;
    offset = std::bit_cast<int32_t>(float(t.objects[i].layer) - objectDepth(doc, o));
  }
}

}  // namespace

int createBodyModel(Document& doc, const BodyTables& t) {
  if (doc.edit.mode == kMotionEditMode) return -1;
  doc.clear();
  doc.reset();
  // One crisp pass per line, in full colour at the brush centre.
  doc.defSpMin = doc.defSpMax = 20;
  doc.defSpDspX = doc.defSpDspY = 0.0;
  doc.defBrush = {2.0f, 2.0f, 1.0f, 0.0f};
  doc.workImages.kernel = buildKernel(2.0f, 2.0f, 1.0f, 0.0f);
  doc.skinColor = kSkinColour;

  buildSkeleton(doc, t);

  std::vector<int> numbers(t.outlines.size(), -1);
  for (size_t i = 0; i < t.outlines.size(); ++i) {
    const int32_t number = kFirstOutlineNumber + int32_t(i);
    const int line = buildOutline(doc, t.outlines[i], number);
    if (line < 0) continue;
    setOutlineConditions(doc, line);
    numbers[i] = number;
  }

  const int controller = newLine(doc, kBodyControllerNumber, 0, 0, kOutlineColour);
  addRestPoint(doc, controller, 10, 20, 0);
  compileInto(doc, controller, joinProgram(doc, t, numbers));
  addObjects(doc, t, numbers);
  settle(doc, t);

  doc.curLine = 0;
  doc.curPoint = 0;
  doc.curObject = 0;
  doc.edit.mode = 0;
  doc.edit.subMode = 0;
  rebuildLayers(doc);
  refreshSelected(doc);
  return 1;
}

int createBodyModel(Document& doc) { return createBodyModel(doc, body::bodyTables()); }

int createBodyModel(Document& doc, const BodyShape& shape) {
  if (shape.isStandard()) return createBodyModel(doc);
  if (doc.edit.mode == kMotionEditMode) return -1;
  return createBodyModel(doc, body::shapedTables(shape));
}

}  // namespace tovala
