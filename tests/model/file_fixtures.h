#pragma once
// Documents for the project and parts file tests, built in code, and a field-by-field check
// that two documents hold the same file content.

#include <gtest/gtest.h>

#include "model/document.h"

namespace tovala::test {

// A line with `points` real points and distinct values in every field.
inline LineRecord sampleLine(const Document& doc, int seed, int points) {
  LineRecord l = doc.makeDefaultLine();
  const float f = float(seed);
  l.kind = seed % 5;
  l.nam = 10100 + seed;
  l.lmode = 1;
  l.category = seed;
  l.w = 1.5f + f, l.h = 0.25f, l.depth = -2.0f;
  l.vx = 10 + f, l.vy = 20 + f, l.vz = 0.1f * f;
  l.v0x = 1, l.v0y = 2, l.v0z = 3, l.radx = 0.5f, l.rady = -0.5f, l.radz = 1e-7f;
  l.vdx = 4, l.vdy = 5, l.vdz = 6;
  l.rectx = 1, l.recty = 2, l.rectw = 300.5f, l.recth = 400.25f;
  l.cr = 0x00112233u + uint32_t(seed), l.cb = 0x00445566u;
  l.brw = 3, l.brh = 4, l.bra = 1.5f, l.brk = -1;
  l.spmin = 7, l.spmax = 77, l.spdspx = 0.1 + seed, l.spdspy = 1.0 / 3.0;
  l.paramChanged = 1;
  l.params.insert(l.params.begin(),
                  {ParamEntry::ofInt(100, 0, seed), ParamEntry::ofFloat(103, 2, 2.5f)});
  l.codeChanged = 1;
  l.code.insert(l.code.begin(), {CodeEntry{0x20, 0x02020010u}, CodeEntry{1, 0xDEADBEEFu}});
  l.points.clear();
  for (int i = 0; i < points; ++i) {
    PointRecord p = Document::makeDefaultPoint();
    p.kind = i == 0 ? 2000 : 0;
    p.nam = 10000 + i;
    p.mode = i % 4;
    p.sel = i % 2;
    p.aux = seed * 10 + i;
    p.vx = f + float(i), p.vy = -float(i), p.vz = 0.75f;
    p.v0x = 1, p.v0y = 2, p.v0z = 3, p.radx = 0.1f, p.rady = 0.2f, p.radz = 0.3f;
    p.vdx = 7, p.vdy = 8, p.vdz = 9;
    p.unitX = {1, 0, 0}, p.unitY = {0, 1, 0}, p.unitZ = {0, 0, 1};
    p.pww = 2, p.pwh = 3, p.pwa = 100, p.pwk = 0.5f;
    p.spmin = 1, p.spmax = 2, p.spdspx = 0.125, p.spdspy = -0.0625;
    p.params.insert(p.params.begin(), ParamEntry::ofFloat(6, 0, -200.0f + float(i)));
    p.paramChanged = 1;
    p.code.insert(p.code.begin(), CodeEntry{3, uint32_t(i)});
    l.points.push_back(p);
  }
  l.points.push_back(doc.makeSentinelPoint(points ? l.points.back() : Document::makeDefaultPoint(),
                                           10000 + points));
  return l;
}

// A document on a small canvas with lines, two user images, texts, objects and an underlay.
inline void fillSampleDocument(Document& doc, int lineCount = 3) {
  doc.imageWidth = 24;
  doc.imageHeight = 10;
  doc.backColor = 0x00102030;
  doc.recreateWorkImages();
  doc.workImages.image(kUnderlayImage)->setPixel(3, 4, 0x00ABCDEF);
  doc.lines.clear();
  for (int i = 0; i < lineCount; ++i) doc.lines.push_back(sampleLine(doc, i, 1 + i % 3));
  doc.lines.push_back(doc.makeDefaultLine());
  doc.lineOrder.clear();
  for (int i = lineCount; i >= 0; --i) doc.lineOrder.push_back(i);
  doc.VextX = 1.5f, doc.VextY = -2.5f, doc.VextZ = 3.25f;
  doc.RadX = 0.1f, doc.RadY = 0.2f, doc.RadZ = -0.3f;
  doc.modelScale = 2.0f;
  for (int k = 0; k < 2; ++k) {
    const int slot = doc.sentinelImageSlot();
    doc.userImages.makeBlank(slot, 5 + k, 3, 0x00FFFFFF);
    doc.userImages.image(slot)->setPixel(k, 1, 0x000000FF);
    doc.appendUserImage();
  }
  TextRecord t;
  t.key = 10001;
  t.length = 3;
  t.font[0] = 12, t.font[28] = 'A';
  t.color = 0x00FF00;
  t.text[0] = 'a', t.text[1] = 'b', t.text[2] = 'c';
  doc.storeText(t);
  ObjectRecord o;
  o.header = {10000, 256, 0x00010203, 1, 1, (1 << 16) | (0 << 8) | 0, 0};
  o.c[0] = 0, o.c[1] = 1;
  o.d[0] = 0x00000000, o.d[1] = 0x00000102;
  o.a[5] = 7, o.b[63] = -9;
  doc.objects.insert(doc.objects.begin(), o);
}

// Every field a project file holds, compared; the sentinel image slot is checked apart because
// reading makes it a blank canvas-sized image.
inline void expectSameProjectContent(const Document& a, const Document& b) {
  EXPECT_EQ(a.lines, b.lines);
  EXPECT_EQ(a.lineOrder, b.lineOrder);
  EXPECT_EQ(a.texts, b.texts);
  EXPECT_EQ(a.objects, b.objects);
  EXPECT_EQ(a.imageWidth, b.imageWidth);
  EXPECT_EQ(a.imageHeight, b.imageHeight);
  EXPECT_EQ(a.backColor, b.backColor);
  EXPECT_EQ(a.modelScale, b.modelScale);
  EXPECT_EQ(a.VextX, b.VextX);
  EXPECT_EQ(a.VextY, b.VextY);
  EXPECT_EQ(a.VextZ, b.VextZ);
  EXPECT_EQ(a.RadX, b.RadX);
  EXPECT_EQ(a.RadY, b.RadY);
  EXPECT_EQ(a.RadZ, b.RadZ);
  ASSERT_EQ(a.userImages.slotCount(), b.userImages.slotCount());
  for (int i = 0; i + 1 < a.userImages.slotCount(); ++i)
    EXPECT_EQ(*a.userImages.slot(i), *b.userImages.slot(i)) << "user image " << i;
  ASSERT_EQ(a.imageKeys.size(), b.imageKeys.size());
  for (size_t i = 0; i + 1 < a.imageKeys.size(); ++i) EXPECT_EQ(a.imageKeys[i], b.imageKeys[i]);
  EXPECT_EQ(*a.workImages.slot(kUnderlayImage), *b.workImages.slot(kUnderlayImage));
}

}  // namespace tovala::test
