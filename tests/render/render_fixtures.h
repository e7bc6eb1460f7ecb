#pragma once
// Small documents built in code for the renderer tests.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "model/document.h"

namespace tovala::test {

// A new document with a small canvas, so pixel answers stay readable.
inline std::unique_ptr<Document> smallDocument(int width = 64, int height = 48) {
  auto doc = std::make_unique<Document>();
  doc->imageWidth = width;
  doc->imageHeight = height;
  doc->recreateWorkImages();
  return doc;
}

struct Pt {
  float x, y;
  int mode = 0;
};

// Appends a line of the given kind through the points (mode 0 unless given) and returns its
// index.
inline int addLine(Document& doc, const std::vector<Pt>& points, int kind = 0) {
  LineRecord line = doc.makeDefaultLine();
  line.kind = kind;
  line.nam = doc.nextLineNumber();
  line.points.clear();
  int32_t number = kFirstNumber;
  for (const Pt& p : points) {
    PointRecord rec = Document::makeDefaultPoint();
    rec.nam = number++;
    rec.mode = p.mode;
    rec.vx = p.x;
    rec.vy = p.y;
    line.points.push_back(rec);
  }
  line.points.push_back(doc.makeSentinelPoint(
      line.points.empty() ? Document::makeDefaultPoint() : line.points.back(), number));
  const int index = doc.lineCount() - 1;
  doc.lines.insert(doc.lines.end() - 1, std::move(line));
  doc.orderAfterInsert(index);
  return index;
}

// Pixel bytes of a work image in their stored order.
inline const std::vector<uint8_t>& pixelsOf(const Document& doc, int slot) {
  return doc.workImages.image(slot)->pixels;
}

// Applies one blend of weight k to a byte, as every stamp does.
constexpr int blendOnce(int old, int k, int colour) { return (k * old + (256 - k) * colour) >> 8; }

// The byte after `times` blends of weight k.
constexpr int blendTimes(int old, int k, int colour, int times) {
  for (int i = 0; i < times; ++i) old = blendOnce(old, k, colour);
  return old;
}

}  // namespace tovala::test
