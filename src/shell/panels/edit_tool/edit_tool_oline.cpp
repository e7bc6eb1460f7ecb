// The edit tool's decorative-line items. The group names the placement: 服線, ローカル円形,
// ローカル3D and 基準線延長 are held by the point (its run from key 150 with method 100, 200, 300
// or 400), 円形補 and 2点接続線 by the line (key 100 = 2 or 181, settings in keys 101 .. 103).
// Each leaf writes one entry of that run or of the line; a picked point becomes a reference with
// its axis (0 for the point itself, 1..3 for a joint's axis tip).

#include <algorithm>
#include <vector>

#include "engine/guide_geometry.h"
#include "engine/oline.h"
#include "engine/oline_fit.h"
#include "engine/oline_list.h"
#include "engine/param_splice.h"
#include "engine/point_math.h"
#include "model/document.h"
#include "shell/panels/edit_tool/edit_tool_store.h"

namespace tovala {

namespace {

constexpr int32_t kRunLastKey = 156;  // the polar run's angles: the highest key of any run

// The run of the relative-step method, which the panel has no defaults for: the three
// references A, B, C, then the step t along A→B and the offset u across it.
std::vector<ParamEntry> stepRun() {
  return {ParamEntry::ofInt(kOLineRunKey, 0, kStepMethod),
          ParamEntry::ofInt(151, 0, 0),
          ParamEntry::ofInt(152, 0, 0),
          ParamEntry::ofInt(153, 0, 0),
          ParamEntry::ofFloat(154, 0, 0),
          ParamEntry::ofFloat(155, 0, 0)};
}

std::vector<ParamEntry> defaultRun(int32_t method) {
  if (method == kStepMethod) return stepRun();
  OLineWork work;
  setOLineMethod(work, method == kPolarMethod ? 1 : method == kFrameMethod ? 2 : 0);
  std::vector<ParamEntry> run;
  for (const OLineItem& item : work.items) run.push_back(item.entry);
  return run;
}

int32_t methodOf(const ParamList& list, int32_t key) {
  const int at = findParam(list, key);
  return at < 0 ? -1 : methodCode(list[size_t(at)]);
}

// Index of the k-th entry of `key` (the polar run keeps four of each), or -1.
int nthOf(const ParamList& list, int32_t key, size_t k) {
  const int at = findParam(list, key);
  if (at < 0) return -1;
  const size_t i = size_t(at) + k;
  return i < list.size() && list[i].key == key ? int(i) : -1;
}

// The polar run's radius and angle in one view, fitted to where the selected point is drawn (the
// panel's automatic fit, applied to this point only; the other views stay). The point needs its
// polar run with its references first.
int storePolarView(Document& doc, size_t view, bool apply) {
  const int line = doc.curLine, point = doc.curPoint;
  if (methodOf(doc.lines[size_t(line)].points[size_t(point)].params, kOLineRunKey) != kPolarMethod)
    return -1;
  OLineWork work;
  work.method = 1;
  if (loadOLineWork(doc, line, point, work) != 1) return -1;
  // The fit writes every point of the line; the line is put back and only this point's values
  // are taken, so even a check changes nothing.
  const LineRecord saved = doc.lines[size_t(line)];
  const int fitted = fitOLine(doc, line, work);
  const ParamList fittedList = doc.lines[size_t(line)].points[size_t(point)].params;
  doc.lines[size_t(line)] = saved;
  if (fitted <= 0) return -1;
  if (!apply) return 1;
  PointRecord& p = doc.lines[size_t(line)].points[size_t(point)];
  ParamList run;
  for (const ParamEntry& e : p.params)
    if (e.key >= kOLineRunKey && e.key <= kRunLastKey) run.push_back(e);
  for (int32_t key : {155, 156}) {
    const int from = nthOf(fittedList, key, view), to = nthOf(run, key, view);
    if (from >= 0 && to >= 0) run[size_t(to)] = fittedList[size_t(from)];
  }
  replaceKindRange(p, kOLineRunKey, kRunLastKey, run);
  return 1;
}

// The two-point line's views: every real point gets the step t along A→B and the offset u
// across it (the placement's perpendicular) that put it where it is drawn, in one view. The
// line needs its reference, start and end first.
int storeTwoPointView(Document& doc, size_t view, bool apply) {
  LineRecord& l = doc.lines[size_t(doc.curLine)];
  const int at = findParam(l.params, kOLineMethodKey);
  if (at < 0 || methodCode(l.params[size_t(at)]) != kOLineTwoPoint ||
      size_t(at) + 4 > l.params.size())
    return -1;
  const ParamEntry* e = &l.params[size_t(at)];
  if (e[1].key != kOLineLineRefKey || e[2].key != kOLineCentreKey || e[3].key != kOLineThirdKey)
    return -1;
  for (int i = 1; i <= 3; ++i)
    if (!isValidAxisRef(doc, e[i].asInt())) return -1;
  const DVec3 r = axisPosition(doc, e[1].asInt()), a = axisPosition(doc, e[2].asInt()),
              b = axisPosition(doc, e[3].asInt());
  const DVec3 d = b - a;
  const DVec3 q = turnedPerpendicular(d, sideOf(r, a, b), usableScale(doc.modelScale));
  const double dd = d.x * d.x + d.y * d.y, qq = q.x * q.x + q.y * q.y;
  if (dd == 0 || qq == 0) return -1;
  if (!apply) return 1;
  for (int i = 0; i + 1 < l.pointCount(); ++i) {
    PointRecord& p = l.points[size_t(i)];
    ParamList run;
    const int from = findParam(p.params, kOLineRunKey);
    const bool twoPointRun = from >= 0 && size_t(from) + 9 <= p.params.size() &&
                             std::all_of(p.params.begin() + from + 1, p.params.begin() + from + 9,
                                         [](const ParamEntry& x) { return x.key == 151; });
    if (twoPointRun) {
      run.assign(p.params.begin() + from, p.params.begin() + from + 9);
    } else {  // a fresh run (another method's is replaced): blends 0 in every view, exponent 1
      run = {ParamEntry::ofInt(kOLineRunKey, 0, kOLineTwoPoint)};
      for (int k = 0; k < 8; ++k)
        run.push_back(ParamEntry::ofFloat(151, 0, k % 4 == 3 ? 1.0f : 0.0f));
    }
    const DVec3 v = DVec3{p.vx, p.vy, p.vz} - a;
    run[1 + view].setFloat(float((v.x * d.x + v.y * d.y) / dd));
    run[5 + view].setFloat(float((v.x * q.x + v.y * q.y) / qq));
    replaceKindRange(p, kOLineRunKey, kRunLastKey, run);
  }
  return 1;
}

}  // namespace

OLineTarget oLineTarget(uint32_t code) {
  using V = OLineTarget::Value;
  const int group = int((code >> 16) & 0xFF), third = int((code >> 8) & 0xFF),
            fourth = int(code & 0xFF);
  if ((code >> 24) != 4 || third == 0) return {};
  // The point-reference pairs ("点", "単位ベクトル") sit one level deeper than the other leaves.
  auto pointRun = [&](int32_t method, int32_t key, V v) {
    return OLineTarget{false, method, key, v};
  };
  auto lineKey = [&](int32_t method, int32_t key, V v) {
    return OLineTarget{true, method, key, v};
  };
  switch (group) {
    case 1:  // 服線
      if (third <= 2 && fourth != 0) return pointRun(kOffsetMethod, 150 + third, V::kReference);
      if (third == 3 && fourth == 0) return pointRun(kOffsetMethod, 153, V::kNumber);
      return {};
    case 2:  // ローカル円形
      if (third <= 3 && fourth != 0) return pointRun(kPolarMethod, 150 + third, V::kReference);
      if (third == 4 && fourth >= 1 && fourth <= 3)  // 円形: 正面 front, 横 side, 上 top
        return pointRun(kPolarMethod, viewOfItem(fourth), V::kView);
      return {};
    case 3:  // ローカル3D
      return third == 1 ? pointRun(kFrameMethod, 151, V::kReference) : OLineTarget{};
    case 7:  // 基準線延長
      if (third <= 3) return pointRun(kStepMethod, 150 + third, V::kReference);
      if (third <= 5) return pointRun(kStepMethod, 150 + third, V::kNumber);
      return {};
    case 4:  // 円形補
      if (third == 1) return lineKey(kOLineWholeLine, kOLineLineRefKey, V::kLineReference);
      if (third == 2) return lineKey(kOLineWholeLine, kOLineCentreKey, V::kReference);
      if (third == 3) return lineKey(kOLineWholeLine, kOLineThirdKey, V::kNumber);
      return {};
    case 6:  // 2点接続線: 基準点, 始点, 終点, then the views 正面, 横, 上
      if (third <= 3) return lineKey(kOLineTwoPoint, 100 + third, V::kReference);
      if (third <= 6) return lineKey(kOLineTwoPoint, viewOfItem(third - 3), V::kView);
      return {};
    default: return {};  // 接続
  }
}

float oLinePrefill(const Document& doc, uint32_t code) {
  const OLineTarget t = oLineTarget(code);
  if (t.value != OLineTarget::kNumber || doc.isValidPick(doc.curLine, doc.curPoint) != 1) return 0;
  const LineRecord& l = doc.lines[size_t(doc.curLine)];
  // Only a run of the leaf's own method holds its number; another method's key means another thing.
  const ParamList& list = t.onLine ? l.params : l.points[size_t(doc.curPoint)].params;
  if (methodOf(list, t.onLine ? kOLineMethodKey : kOLineRunKey) != t.method) return 0;
  const int at = findParam(list, t.key);
  return at < 0 ? 0.0f : list[size_t(at)].asFloat();
}

int storeOLineItem(Document& doc, uint32_t code, const EditInput& in, bool apply) {
  const OLineTarget t = oLineTarget(code);
  if (t.value == OLineTarget::kView)
    return t.onLine ? storeTwoPointView(doc, size_t(t.key), apply)
                    : storePolarView(doc, size_t(t.key), apply);
  if (t.value == OLineTarget::kNone) return -1;
  const bool picked = doc.isValidPick(in.pick[0], in.pick[1]) == 1;
  if (t.value != OLineTarget::kNumber && !picked) return -1;
  if (!apply) return 1;

  ParamEntry entry;
  switch (t.value) {
    case OLineTarget::kNumber: entry = ParamEntry::ofFloat(t.key, 0, in.value); break;
    case OLineTarget::kLineReference:
      entry = ParamEntry::ofInt(t.key, 0, int32_t(uint32_t(in.pick[0]) << 16));
      break;
    default:
      entry =
          ParamEntry::ofInt(t.key, 0, packAxisRef(in.pick[0], in.pick[1], std::max(in.pick[2], 0)));
      break;
  }
  LineRecord& l = doc.lines[size_t(doc.curLine)];
  l.mode = kOLineMode;
  const ParamEntry one[] = {entry};
  if (t.onLine) {
    if (methodOf(l.params, kOLineMethodKey) != t.method) {
      const ParamEntry method[] = {ParamEntry::ofInt(kOLineMethodKey, 0, t.method)};
      replaceKindRange(l, kOLineMethodKey, kOLineMethodKey, method);
    }
    replaceKindRange(l, t.key, t.key, one);
    return 1;
  }
  if (methodOf(l.params, kOLineMethodKey) != kOLinePointByPoint) {
    const ParamEntry method[] = {ParamEntry::ofInt(kOLineMethodKey, 0, kOLinePointByPoint)};
    replaceKindRange(l, kOLineMethodKey, kOLineMethodKey, method);
  }
  PointRecord& p = l.points[size_t(doc.curPoint)];
  if (methodOf(p.params, kOLineRunKey) != t.method)
    replaceKindRange(p, kOLineRunKey, kRunLastKey, defaultRun(t.method));
  replaceKindRange(p, t.key, t.key, one);  // each leaf's key occurs once in its run
  return 1;
}

}  // namespace tovala
