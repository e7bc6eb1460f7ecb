#include "engine/lines_points.h"

#include <algorithm>
#include <vector>

#include "model/document.h"
#include "model/messages.h"
#include "platform/ui.h"

namespace tovala {

namespace {

constexpr const char* kOrderError = "線の命令実行順序の変数のエラー";

// Makes lineOrder one entry per line slot again, each slot once: the first occurrence of every
// valid index keeps its place, indices that were missing follow in ascending order. Only needed
// when the order had already lost track of a line.
void repairOrder(Document& doc) {
  const int n = doc.lineCount();
  std::vector<char> seen(size_t(n), 0);
  std::vector<int32_t> order;
  order.reserve(size_t(n));
  for (int32_t e : doc.lineOrder) {
    if (e < 0 || e >= n || seen[size_t(e)]) continue;
    seen[size_t(e)] = 1;
    order.push_back(e);
  }
  for (int i = 0; i < n; ++i)
    if (!seen[size_t(i)]) order.push_back(i);
  doc.lineOrder = std::move(order);
}

// A cleared document has no sentinel line yet; give it one with its order entry.
void ensureSentinelLine(Document& doc) {
  if (!doc.lines.empty()) return;
  doc.lines.push_back(doc.makeDefaultLine());
  doc.lineOrder.assign(1, 0);
}

LineRecord freshLine(const Document& doc) {
  LineRecord l = doc.makeDefaultLine();
  // The line array is about to grow by one: the extra candidate guarantees a free number.
  l.nam = doc.nextLineNumber(1);
  return l;
}

}  // namespace

int appendLine(Document& doc, const LineRecord* templateLine) {
  ensureSentinelLine(doc);
  const int added = doc.lineCount() - 1;  // the former sentinel
  if (templateLine) Document::copyLine(doc.lines[size_t(added)], *templateLine);
  LineRecord sentinel = freshLine(doc);
  doc.lines.push_back(std::move(sentinel));
  doc.lineOrder.push_back(doc.lineCount() - 1);
  doc.curLine = added;
  return added;
}

int insertLine(Document& doc, int slot, const LineRecord* templateLine) {
  if (slot < 0) return -1;
  ensureSentinelLine(doc);
  slot = std::min(slot, doc.lineCount() - 1);
  LineRecord line = freshLine(doc);
  if (templateLine) Document::copyLine(line, *templateLine);
  doc.lines.insert(doc.lines.begin() + slot, std::move(line));
  doc.orderAfterInsert(slot);
  return slot;
}

int deleteLine(Document& doc, int index) {
  if (doc.edit.mode == kModeMotion || doc.lineCount() <= 1) return -1;
  if (!doc.isValidLine(index)) index = doc.curLine;
  if (!doc.isValidLine(index)) return -2;

  doc.lines.erase(doc.lines.begin() + index);
  const bool ordered = doc.findOrderPosition(index) >= 0;
  if (!ordered) doc.ui->message(kOrderError, msg::kCaptionError);
  doc.orderAfterDelete(index);
  if (!ordered || int(doc.lineOrder.size()) != doc.lineCount()) repairOrder(doc);
  return index;
}

int addPoint(Document& doc, int line) {
  if (!doc.isValidLine(line)) return -1;
  const int32_t number = doc.nextPointNumber(line, 1);
  auto& points = doc.lines[size_t(line)].points;
  if (points.empty()) points.push_back(Document::makeDefaultPoint());
  const int added = int(points.size()) - 1;
  PointRecord sentinel = doc.makeSentinelPoint(points.back(), number);
  points.push_back(std::move(sentinel));
  return added;
}

int deletePoint(Document& doc, int index) {
  if (doc.edit.mode == kModeMotion || !doc.isValidLine(doc.curLine)) return -1;
  auto& points = doc.lines[size_t(doc.curLine)].points;
  const int real = int(points.size()) - 1;
  if (real < 2) return -2;
  if (index == -1) index = doc.curPoint;
  if (index < 0 || index >= real) {
    index = real - 1;
    doc.curPoint = index;
  }
  points.erase(points.begin() + index);
  return index;
}

int setPoint(Document& doc, int line, int point, float x, float y, float z) {
  if (!doc.isValidLine(line)) return -1;
  if (point < 0) point += doc.pointCount(line);
  if (doc.isValidPick(line, point) < 0) return -1;
  PointRecord& p = doc.lines[size_t(line)].points[size_t(point)];
  p.kind = 0;
  p.mode = 0;
  p.vx = x;
  p.vy = y;
  p.vz = z;
  doc.curPoint = point;
  return 1;
}

}  // namespace tovala
