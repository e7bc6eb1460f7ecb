#include "engine/face_reader.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "codec/byte_io.h"
#include "engine/face_builder.h"
#include "engine/lines_points.h"
#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "model/document.h"
#include "model/file_io.h"
#include "model/messages.h"
#include "platform/ui.h"
#include "render/frame.h"

namespace tovala {

namespace {

constexpr const char* kCannotRead = "読込が出来ません。";
constexpr int kMotionEditMode = 5;  // faces are not read while posing
constexpr float kDefaultAspect = 1.3f;
constexpr float kControllerX = 10, kControllerY = 30;
constexpr uint32_t kFaceMoveAllCode = 0x02020024;
constexpr int kPointVariableFlag = 0x1A;

// Bytes the file must hold for its counts.
int64_t expectedSize(int64_t rows, int64_t extra, int64_t eyeArea, int64_t pairs) {
  const int64_t record = 16 + 4 * (extra + 1);
  return 4 + 4 * kPropCount + 12 + rows * (17 + eyeArea) * record + 4 * eyeArea + 4 * 21 +
         2 * 12 * eyeArea + 4 * 16 + int64_t(kFaceSkippedBytes) + 4 * 5 + 4 + 8 * pairs;
}

// Proportions that are not plain numbers count as 0; the aspect falls back to a usual face.
void sanitize(FaceData& d) {
  for (float& p : d.P)
    if (!std::isfinite(p) || std::fabs(p) > 100.0f) p = 0;
  if (d.P[kPropAspect] < 0.5f || d.P[kPropAspect] > 3.0f) d.P[kPropAspect] = kDefaultAspect;
}

FaceFrame frameFor(const Document& doc, const FaceData& d, bool hasJoint, int jl, int jp) {
  FaceFrame f;
  if (hasJoint) {
    const PointRecord& j = doc.lines[size_t(jl)].points[size_t(jp)];
    f.height = doc.faceRef * 0.5;
    f.cx = j.vx;
    f.cy = j.vy;
  } else {
    f.height = doc.faceRef;
    f.cx = doc.imageWidth * 0.5;
    f.cy = doc.imageHeight * 0.2 + f.height * 0.5;
  }
  f.width = f.height / d.P[kPropAspect];
  return f;
}

int appendPartLine(Document& doc, int32_t number, int category) {
  LineRecord tmpl = doc.makeDefaultLine();
  tmpl.nam = number;
  tmpl.mode = 0;
  tmpl.category = category;
  return appendLine(doc, &tmpl);
}

void addSamplePoint(Document& doc, int line, const FaceSample& s, double x, double y) {
  const int p = addPoint(doc, line);
  if (p < 0) return;
  PointRecord& pt = doc.lines[size_t(line)].points[size_t(p)];
  pt.kind = 0;
  pt.mode = s.mode;
  pt.vx = pt.v0x = float(x);
  pt.vy = pt.v0y = float(y);
  pt.vz = pt.v0z = 0;
}

double prop(const FaceData& d, int index) { return index >= 0 ? d.P[size_t(index)] : 0.0; }

// Canvas position of sample `s` for a part placed by `pl`.
void place(const FaceData& d, const FaceFrame& f, const FacePlacement& pl, const FaceSample& s,
           double& x, double& y) {
  const double headScale = pl.headScaled ? 1.45 / d.P[kPropAspect] : 1.0;
  x = f.cx + pl.side * prop(d, pl.offsetX) * f.width +
      s.x * prop(d, pl.halfW) * f.width * headScale;
  y = f.cy + prop(d, pl.offsetY) * f.height + s.y * prop(d, pl.halfH) * f.height;
}

bool usable(const FaceSample& s) { return s.mode >= 0 && std::isfinite(s.x) && std::isfinite(s.y); }

// Removes the parts of this read from line 330 on (its 330 and its hair strands) that received
// no point or whose first point lies at the origin, and drops them from `partLine` (which keeps
// the indices of the lines that remain); returns how many went. Lines of the document that this
// read did not create are not looked at: a face read before keeps its own parts.
int removeEmptyParts(Document& doc, std::vector<int>& partLine) {
  std::vector<int> empty;
  for (size_t i = size_t(kFixedFaceParts - 1); i < partLine.size(); ++i) {
    const auto& pts = doc.lines[size_t(partLine[i])].points;
    if (pts.size() < 2 || (pts[0].vx == 0 && pts[0].vy == 0 && pts[0].vz == 0))
      empty.push_back(partLine[i]);
  }
  // From the last line back, so that the indices still to delete stay where they are.
  std::sort(empty.begin(), empty.end(), std::greater<>());
  std::vector<int> removed;
  for (int line : empty)
    if (deleteLine(doc, line) == line) removed.push_back(line);
  std::vector<int> kept;
  for (int line : partLine) {
    if (std::find(removed.begin(), removed.end(), line) != removed.end()) continue;
    const auto below =
        std::count_if(removed.begin(), removed.end(), [line](int r) { return r < line; });
    kept.push_back(line - int(below));
  }
  partLine = std::move(kept);
  return int(removed.size());
}

// The controller line 463 with its one point, and the reference joint when there was none.
void addController(Document& doc, const FaceFrame& f, bool hasJoint, int& jl, int& jp) {
  LineRecord tmpl = doc.makeDefaultLine();
  tmpl.nam = kFaceController;
  tmpl.kind = 4;  // the joint lives here, so it has a joint's frame
  const int line = appendLine(doc, &tmpl);
  const int p = addPoint(doc, line);
  PointRecord& pt = doc.lines[size_t(line)].points[size_t(p)];
  pt.kind = 0;
  pt.mode = 0;
  pt.vx = pt.v0x = kControllerX;
  pt.vy = pt.v0y = kControllerY;
  if (!hasJoint) {
    pt.kind = 1000;
    pt.nam = kFaceJointNumber;
    pt.vx = pt.v0x = float(f.cx);
    pt.vy = pt.v0y = float(f.cy);
    const std::vector<ParamEntry> self = {
        ParamEntry::ofInt(kCoRotationKey, 0, packPointRef(line, p))};
    replaceKindRange(pt, kCoRotationKey, kCoRotationKey, self);
    jl = line;
    jp = p;
  }
  const float s = doc.modelScale;
  pt.unitX = {pt.v0x + s, pt.v0y, pt.v0z};
  pt.unitY = {pt.v0x, pt.v0y + s, pt.v0z};
  pt.unitZ = {pt.v0x, pt.v0y, pt.v0z + s};

  LineRecord& ctl = doc.lines[size_t(line)];
  ctl.code = {CodeEntry{0xFF, 0}, CodeEntry{0x20, kFaceMoveAllCode},
              CodeEntry{kPointVariableFlag, (uint32_t(jl) << 16) | (uint32_t(jp) << 8)},
              CodeEntry{0xFF, 0}};
  ctl.codeChanged = 1;
}

}  // namespace

bool parseFaceData(std::span<const uint8_t> bytes, FaceData& out) {
  ByteReader r(bytes);
  FaceData d;
  r.i32();
  for (float& p : d.P) p = r.f32();
  d.rows = r.i32();
  d.extraWords = r.i32();
  d.eyeAreaParts = r.i32();
  if (!r.ok() || d.rows < 0 || d.rows > kMaxFaceRows || d.extraWords < -1 ||
      d.extraWords > kMaxExtraWords || d.eyeAreaParts < kMinEyeAreaParts ||
      d.eyeAreaParts > kMaxEyeAreaParts)
    return false;
  // Check the counts against the file before reading rows, so nothing is sized by a count the
  // file cannot back; the pair count is checked once it has been read.
  if (expectedSize(d.rows, d.extraWords, d.eyeAreaParts, 0) > int64_t(bytes.size())) return false;

  d.samples.resize(size_t(d.rows) * size_t(d.recordsPerRow()));
  for (FaceSample& s : d.samples) {
    s.mode = r.i32();
    s.x = r.f32();
    s.y = r.f32();
    r.skip(4 * size_t(d.extraWords + 2));
  }
  d.t1.resize(size_t(d.eyeAreaParts));
  for (int32_t& v : d.t1) v = r.i32();
  for (uint32_t& v : d.t2) v = r.u32();
  for (auto* block : {&d.t3, &d.t4}) {
    block->resize(size_t(d.eyeAreaParts));
    for (auto& t : *block)
      for (int32_t& v : t) v = r.i32();
  }
  for (uint32_t& v : d.t5) v = r.u32();
  r.skip(kFaceSkippedBytes);
  for (uint32_t& v : d.t6) v = r.u32();
  const int32_t pairs = r.i32();
  if (!r.ok() || pairs < 0 || pairs > kMaxFacePairs ||
      expectedSize(d.rows, d.extraWords, d.eyeAreaParts, pairs) > int64_t(bytes.size()))
    return false;
  d.t7.resize(size_t(pairs));
  for (auto& t : d.t7) t = {r.u32(), r.u32()};
  if (!r.ok()) return false;
  sanitize(d);
  out = std::move(d);
  return true;
}

int loadFaceData(Document& doc, const std::string& path) {
  const auto bytes = readWholeFile(path);
  if (!bytes) {
    doc.ui->message(kCannotRead, msg::kCaptionError);
    return -1;
  }
  return loadFaceData(doc, *bytes);
}

int loadFaceData(Document& doc, std::span<const uint8_t> bytes) {
  if (doc.edit.mode == kMotionEditMode) return -1;
  FaceData d;
  if (!parseFaceData(bytes, d)) {
    doc.ui->message(kCannotRead, msg::kCaptionError);
    return -1;
  }
  int jl = -1, jp = -1;
  const bool hasJoint = pointWithNumber(doc, kFaceJointNumber, jl, jp);
  const FaceFrame frame = frameFor(doc, d, hasJoint, jl, jp);

  // The part lines: 315 .. 330, then one per further eye-area part.
  std::vector<int> partLine(size_t(kFixedFaceParts + d.eyeAreaParts - kMinEyeAreaParts));
  for (int i = 0; i < kFixedFaceParts; ++i)
    partLine[size_t(i)] = appendPartLine(doc, 315 + i, kFaceCategory);
  for (int k = kMinEyeAreaParts; k < d.eyeAreaParts; ++k)
    partLine[size_t(kFixedFaceParts + k - kMinEyeAreaParts)] =
        appendPartLine(doc, 330 + k, kHairCategory);

  FaceAux aux;
  for (int row = 0; row < d.rows; ++row) {
    for (int rec = 1; rec <= d.recordsPerRow(); ++rec) {
      const FaceSample& s = d.sample(row, rec);
      if (!usable(s)) continue;
      const FacePlacement* pl = nullptr;
      int line = -1;
      if (rec == 9 || rec == 10) {
        FaceSample& keep = rec == 9 ? aux.parting : aux.crown;
        if (keep.mode < 0) keep = s;  // the first row that gives one
        continue;
      } else if (rec > 17) {
        const int k = rec - 18;
        pl = &eyeAreaPlacement(k);
        line = k < kMinEyeAreaParts ? partLine[size_t(12 + k)]
                                    : partLine[size_t(kFixedFaceParts + k - kMinEyeAreaParts)];
      } else if ((pl = recordPlacement(rec)) != nullptr) {
        line = partLine[size_t(pl->number - 315)];
      }
      if (!pl) continue;
      double x = 0, y = 0;
      place(d, frame, *pl, s, x, y);
      addSamplePoint(doc, line, s, x, y);
    }
  }

  d.eyeAreaParts -= removeEmptyParts(doc, partLine);
  addController(doc, frame, hasJoint, jl, jp);
  buildFace(doc, d, frame, aux, partLine, jl, jp);
  rebuildLayers(doc);
  refreshSelected(doc);
  return 1;
}

}  // namespace tovala
