#include "shell/panels/objects/eye_geometry.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "engine/objects.h"
#include "model/document.h"

namespace tovala {

namespace {

constexpr double kScale = 10000.0;  // fractions are stored x 10000
constexpr double kDefaultWidth = 0.4, kDefaultHeight = 1.0;
constexpr int kMaxOffset = 100;

uint32_t& eyeWord(ObjectRecord& eye, int item) {
  return reinterpret_cast<uint32_t&>(eye.d[size_t(eyeItemWord(item))]);
}
uint32_t eyeWord(const ObjectRecord& eye, int item) {
  return uint32_t(eye.d[size_t(eyeItemWord(item))]);
}

double halfWidth(const EyeRect& r) { return (r.right - r.left) / 2; }
double halfHeight(const EyeRect& r) { return (r.bottom - r.top) / 2; }

// A half-size of the iris as the stored fraction of the eye's half-size; never 0, which would
// read as the default size.
uint32_t fractionOf(double half, double eyeHalf) {
  if (!(eyeHalf > 0)) return 1;
  return uint32_t(std::lround(std::clamp(half / eyeHalf, 1.0 / kScale, 1.0) * kScale));
}

int offsetPercent(double centre, double eyeCentre, double eyeHalf) {
  if (!(eyeHalf > 0)) return 0;
  const long p = std::lround((centre - eyeCentre) / eyeHalf * 100.0);
  return int(std::clamp<long>(p, -kMaxOffset, kMaxOffset));
}

bool parseComponent(const std::string& text, int& out) {
  std::string_view t = text;
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
  return !t.empty() && ec == std::errc() && end == t.data() + t.size() && out >= 0 && out <= 255;
}

}  // namespace

uint32_t packOffsetByte(int percent) {
  percent = std::clamp(percent, -127, 127);
  return percent < 0 ? uint32_t(0xFF + percent) : uint32_t(percent);
}

int unpackOffsetByte(uint32_t b) {
  b &= 0xFF;
  return b > 127 ? -int(0xFF - b) : int(b);
}

EyeRect eyeRectIn(int width, int height) {
  const double m = kEyeAreaMargin;
  return {m, m, std::max(m, width - m), std::max(m, height - m)};
}

EyeRect irisRect(const ObjectRecord& eye, const EyeRect& box) {
  const double rx = halfWidth(box), ry = halfHeight(box);
  const uint32_t size = eyeWord(eye, kEyeWidth);
  const double fw = (size >> 16) ? (size >> 16) / kScale : kDefaultWidth;
  const double fh = (size & 0xFFFF) ? (size & 0xFFFF) / kScale : kDefaultHeight;
  const uint32_t iris = eyeWord(eye, kEyeIrisSetting);
  const double cx = box.cx() + unpackOffsetByte(iris >> 24) / 100.0 * rx;
  const double cy = box.cy() + unpackOffsetByte(iris >> 16) / 100.0 * ry;
  return {cx - fw * rx, cy - fh * ry, cx + fw * rx, cy + fh * ry};
}

int eyeHitState(const ObjectRecord& eye, const EyeRect& box, double x, double y, double grip) {
  const EyeRect r = irisRect(eye, box);
  // The handles of line deforming: an eighth of the box's width each way from its border (never
  // less than `grip`, so a tiny iris stays within reach); an edge lies between the corners.
  const double h = std::max((r.right - r.left) / 8, grip);
  const auto near = [h](double a, double edge) { return std::abs(a - edge) < h; };
  const bool nearX = near(x, r.left) || near(x, r.right);
  const bool nearY = near(y, r.top) || near(y, r.bottom);
  if (nearX && nearY) return kEyeDragCorner;
  if (nearY && x > r.left + h && x < r.right - h) return kEyeDragEdge;
  if (nearX && y > r.top + h && y < r.bottom - h) return kEyeDragSide;
  if (x > r.left && x < r.right && y > r.top && y < r.bottom) return kEyeDragIris;
  if (x >= box.left && x <= box.right && y >= box.top && y <= box.bottom) return kEyeDragInside;
  return kEyeDragNone;
}

ObjectRecord dragEye(const ObjectRecord& start, int state, const EyeRect& box, double x0, double y0,
                     double x1, double y1) {
  ObjectRecord eye = start;
  if (!isEyeObject(start)) return eye;
  const double rx = halfWidth(box), ry = halfHeight(box);
  const EyeRect r = irisRect(start, box);
  uint32_t& size = eyeWord(eye, kEyeWidth);
  uint32_t fw = size >> 16, fh = size & 0xFFFF;
  // A size left at 0 (the default) is written out once the other half is dragged.
  if (fw == 0) fw = fractionOf(halfWidth(r), rx);
  if (fh == 0) fh = fractionOf(halfHeight(r), ry);
  double cx = r.cx(), cy = r.cy();
  switch (state) {
    case kEyeDragCorner: {
      // Both sides by the width's ratio, so the iris keeps its proportions.
      if (!(halfWidth(r) > 0)) return eye;
      const double ratio = std::abs(x1 - cx) / halfWidth(r);
      fw = fractionOf(std::abs(x1 - cx), rx);
      fh = fractionOf(halfHeight(r) * ratio, ry);
      break;
    }
    case kEyeDragEdge: fh = fractionOf(std::abs(y1 - cy), ry); break;
    case kEyeDragSide: fw = fractionOf(std::abs(x1 - cx), rx); break;
    case kEyeDragIris:
      cx += x1 - x0;
      cy += y1 - y0;
      break;
    case kEyeDragInside:
      cx = x1;
      cy = y1;
      break;
    default: return eye;
  }
  if (state == kEyeDragCorner || state == kEyeDragEdge || state == kEyeDragSide) {
    size = fw << 16 | fh;
    return eye;
  }
  uint32_t& iris = eyeWord(eye, kEyeIrisSetting);
  iris = packOffsetByte(offsetPercent(cx, box.cx(), rx)) << 24 |
         packOffsetByte(offsetPercent(cy, box.cy(), ry)) << 16 | (iris & 0xFFFF);
  return eye;
}

uint32_t eyeEditColour(const ObjectRecord& eye) { return eyeWord(eye, kEyeIrisColour) & 0xFFFFFF; }

bool setEyeEditColour(ObjectRecord& eye, const std::string& r, const std::string& g,
                      const std::string& b) {
  int cr = 0, cg = 0, cb = 0;
  if (!isEyeObject(eye) || !parseComponent(r, cr) || !parseComponent(g, cg) ||
      !parseComponent(b, cb))
    return false;
  eyeWord(eye, kEyeIrisColour) = uint32_t(cr) | uint32_t(cg) << 8 | uint32_t(cb) << 16;
  return true;
}

std::vector<int> eyeObjectRows(const Document& doc) {
  std::vector<int> rows;
  for (int i = 0; i + 1 < doc.objectCount(); ++i)
    if (isEyeObject(doc.objects[size_t(i)])) rows.push_back(i);
  return rows;
}

bool validEyeLine(const Document& doc, const ObjectRecord& eye) {
  return isEyeObject(eye) && doc.isValidLine(eye.c[0]) && doc.pointCount(eye.c[0]) > 1;
}

}  // namespace tovala
