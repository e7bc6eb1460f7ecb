#include "model/parts_file.h"

#include <gtest/gtest.h>

#include <bit>

#include "codec/byte_io.h"
#include "file_fixtures.h"
#include "model/messages.h"
#include "model/project_file.h"
#include "model/record_io.h"
#include "platform/ui.h"
#include "support/test_support.h"

namespace tovala {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t ref(uint32_t line, uint32_t first, uint32_t last = 0) {
  return (line << 16) | (first << 8) | last;
}
constexpr uint32_t pointRef(uint32_t line, uint32_t point) { return (line << 16) | point; }

LineRecord lineWith(const Document& doc, int32_t nam, int realPoints) {
  LineRecord l = test::sampleLine(doc, 0, realPoints);
  l.kind = 0, l.mode = 0, l.category = 0, l.nam = nam;
  l.params.assign(1, ParamEntry::sentinel());
  l.code.assign(1, CodeEntry{});
  for (PointRecord& p : l.points) p.params.assign(1, ParamEntry::sentinel());
  return l;
}

ParamList params(std::initializer_list<ParamEntry> entries) {
  ParamList list(entries);
  list.push_back(ParamEntry::sentinel());
  return list;
}

ParamEntry ent(int32_t key, int32_t sub, uint32_t value) { return {key, sub, value}; }

// Four source lines: a joint, an unselected line, a connecting line and a decorative line.
Document sourceDocument() {
  Document src;
  src.lines.clear();
  LineRecord joint = lineWith(src, 10100, 2);
  joint.kind = 4;
  joint.points[0].params =
      params({ent(20, 0, pointRef(2, 1)), ent(20, 0, pointRef(9, 1)), ent(101, 0, pointRef(1, 0)),
              ent(102, 0, pointRef(2, 0)), ent(104, 0, ref(3, 1, 2))});
  LineRecord skipped = lineWith(src, 10101, 1);
  skipped.sel = 0;
  LineRecord cline = lineWith(src, 10102, 3);
  cline.mode = 100;
  cline.params = params({ent(101, 0, 1), ent(102, 0, ref(0, 1, 9)), ent(103, 0, ref(1, 5, 2)),
                         ent(104, 0, ref(3, 0, 0)), ent(201, 0, 0), ent(204, 0, ref(0, 1, 1))});
  cline.code = {{0x20, 0x02020015}, {1, ref(0, 1, 1)},  {1, ref(2, 0, 2)},
                {1, ref(2, 0, 0)},  {0x20, 0x0202002C}, {1, ref(3, 0, 0)},
                {0x20, 0},          {1, ref(3, 0, 0)},  {}};
  LineRecord oline = lineWith(src, 10103, 2);
  oline.mode = 101;
  oline.params = params({ent(100, 0, 0)});
  oline.points[0].params =
      params({ent(150, 0, 100), ent(151, 0, ref(0, 1, 0)), ent(152, 0, ref(2, 2, 3)),
              ent(181, 11, ref(2, 1, 0)), ent(181, 101, ref(0, 0, 9)), ent(181, 7, 0)});
  oline.points[1].params =
      params({ent(150, 0, 300), ent(151, 0, ref(2, 0, 1)), ent(152, 0, ref(2, 0, 1))});
  src.lines = {joint, skipped, cline, oline, src.makeDefaultLine()};
  src.lineOrder = {0, 1, 2, 3, 4};

  ObjectRecord outline;
  outline.header[5] = int32_t(ref(1, 1, 0));
  outline.c[0] = 0, outline.c[1] = 2;
  outline.d[0] = 0x00050702, outline.d[1] = 0x01020102;
  ObjectRecord missing;
  missing.c[0] = 1;
  ObjectRecord eye;
  eye.header[1] = 258;
  eye.c[0] = 3, eye.c[1] = 1;
  src.objects = {outline, missing, eye, ObjectRecord{}};
  return src;
}

// Three lines numbered 20000, 10101, 20002 with two points each, run in the order 2, 0, 1.
Document targetDocument() {
  Document doc;
  doc.lines = {lineWith(doc, 20000, 2), lineWith(doc, 10101, 2), lineWith(doc, 20002, 2),
               doc.makeDefaultLine()};
  doc.lineOrder = {2, 0, 1, 3};
  ObjectRecord own;
  own.header[0] = 10000;
  own.c[0] = 0;
  doc.objects.insert(doc.objects.begin(), own);
  return doc;
}

TEST(PartsFile, PayloadHoldsTheTableAndTheSelectedLines) {
  const Document src = sourceDocument();
  const Bytes payload = writePartsPayload(src);
  ByteReader r(payload);
  EXPECT_EQ(r.i32(), kPartsMagic);
  EXPECT_EQ(r.i32(), 4);
  EXPECT_EQ(r.i32(), 3);
  const int32_t table[4][3] = {{0, 10100, 0}, {-1, 10101, 0}, {1, 10102, 0}, {2, 10103, 0}};
  for (const auto& row : table)
    for (int32_t v : row) EXPECT_EQ(r.i32(), v);
  LineRecord l;
  for (int32_t nam : {10100, 10102, 10103}) {
    ASSERT_TRUE(readLine(r, l));
    EXPECT_EQ(l.nam, nam);
  }
  EXPECT_EQ(r.i32(), 4);
  EXPECT_EQ(r.remaining(), 4 * kObjectBlockBytes);
}

TEST(PartsFile, MergeAppendsAndRemapsReferences) {
  Document doc = targetDocument();
  ASSERT_TRUE(mergePartsPayload(doc, writePartsPayload(sourceDocument())));
  // Three lines appended at 3, 4, 5 behind the three real lines; a new sentinel last.
  ASSERT_EQ(doc.lineCount(), 7);
  EXPECT_EQ(doc.lines[3].nam, 10100);
  EXPECT_EQ(doc.lines[4].nam, 10102);
  EXPECT_EQ(doc.lines[5].nam, 10103);
  EXPECT_EQ(doc.lines[6].pointCount(), 1);
  EXPECT_EQ(doc.lineOrder, (std::vector<int32_t>{2, 0, 1, 3, 4, 5, 6}));
  for (int i = 3; i < 6; ++i) EXPECT_EQ(doc.lines[size_t(i)].sel, 1);

  // Joint: source 2 is now 4; source 1 was not stored and is found by number as line 1 (not
  // the order position 2 where that number was found). The hit direction (104) is a point with
  // its axis: source 3 is now 5, its point 1 and axis 2 stay.
  EXPECT_EQ(
      doc.lines[3].points[0].params,
      params({ent(20, 0, pointRef(4, 1)), ent(20, 0, pointRef(9, 1)), ent(101, 0, pointRef(1, 0)),
              ent(102, 0, pointRef(2, 0)), ent(104, 0, ref(5, 1, 2))}));
  // Connecting line: ranges keep a valid first point and always their last; block 2's entry 4
  // stays because its entry 201 is not 1.
  EXPECT_EQ(doc.lines[4].params,
            params({ent(101, 0, 1), ent(102, 0, ref(3, 1, 9)), ent(103, 0, ref(1, 0, 2)),
                    ent(104, 0, ref(5, 0, 0)), ent(201, 0, 0), ent(204, 0, ref(0, 1, 1))}));
  const CodeList code{{0x20, 0x02020015}, {1, ref(3, 1, 1)},  {1, ref(4, 0, 2)},
                      {1, ref(2, 0, 0)},  {0x20, 0x0202002C}, {1, ref(5, 0, 0)},
                      {0x20, 0},          {1, ref(3, 0, 0)},  {}};
  EXPECT_EQ(doc.lines[4].code, code);
  // Decorative line: per-point method 100 rewrites 151 and 152, 300 only 151; connection
  // conditions (sub 101) are clamped to the target's last point.
  EXPECT_EQ(doc.lines[5].points[0].params,
            params({ent(150, 0, 100), ent(151, 0, ref(3, 1, 0)), ent(152, 0, ref(4, 2, 3)),
                    ent(181, 11, ref(4, 1, 0)), ent(181, 101, ref(3, 0, 1)), ent(181, 7, 0)}));
  EXPECT_EQ(doc.lines[5].points[1].params,
            params({ent(150, 0, 300), ent(151, 0, ref(4, 0, 1)), ent(152, 0, ref(2, 0, 1))}));

  // Objects: the one using an unstored line and the source's sentinel are dropped; the rest go
  // in front of the document's sentinel object.
  ASSERT_EQ(doc.objectCount(), 4);
  EXPECT_EQ(doc.objects[0].header[0], 10000);
  const ObjectRecord& outline = doc.objects[1];
  EXPECT_EQ(uint32_t(outline.header[5]), ref(1, 1, 0));
  EXPECT_EQ(outline.c[0], 3);
  EXPECT_EQ(outline.c[1], 4);
  EXPECT_EQ(outline.c[2], -1);
  EXPECT_EQ(uint32_t(outline.d[0]), 0x00000102u);
  EXPECT_EQ(uint32_t(outline.d[1]), 0x01020102u);
  const ObjectRecord& eye = doc.objects[2];
  EXPECT_EQ(eye.header[1], 258);
  EXPECT_EQ(eye.c[0], 5);
  EXPECT_EQ(eye.c[1], 1);
  EXPECT_EQ(doc.objects[3], ObjectRecord{});
}

uint32_t bitsOf(float f) { return std::bit_cast<uint32_t>(f); }

// A document with one reference of every kind a merge rewrites, each naming a real point (and
// keeping an axis, an anchor, a last point or a field code in its low byte), the lines counted
// from `base`: everyReference(0) is the source and everyReference(k) what its lines and objects
// hold once merged behind k lines.
Document everyReference(uint32_t base) {
  const auto R = [base](uint32_t line, uint32_t first, uint32_t last) {
    return ref(base + line, first, last);
  };
  const auto P = [base](uint32_t line, uint32_t point) { return pointRef(base + line, point); };
  Document doc;
  doc.lines.clear();

  // 0: a joint line. Co-rotating points (20), the partners (B + 1) and the directions, point
  // and axis (B + 4) of hit blocks 1 and 2; the direction of point 1 names the sentinel's
  // neighbour with axis 3. Its program calls built-ins whose arguments name points.
  LineRecord joint = lineWith(doc, 500, 3);
  joint.kind = 4;
  joint.points[0].params =
      params({ent(20, 0, P(0, 2)), ent(20, 0, P(1, 1)), ent(100, 0, 100), ent(101, 0, P(1, 2)),
              ent(103, 0, bitsOf(10)), ent(104, 0, R(2, 1, 3)), ent(200, 0, 100),
              ent(201, 0, P(0, 1)), ent(204, 0, R(1, 2, 1))});
  joint.points[1].params = params({ent(100, 0, 100), ent(104, 0, R(0, 2, 3))});
  joint.code = {{0xFF, 0},          {0x20, 0x02020012}, {0x1A, R(0, 1, 2)},
                {0x20, 0x02020015}, {0x1A, R(0, 2, 0)}, {0x1A, R(1, 1, 7)},
                {0x20, 0x02020024}, {0x1A, R(0, 0, 5)}, {0x20, 0x0202002C},
                {0x1A, R(1, 0, 0)}, {0x1A, R(1, 1, 0)}, {0x1A, R(2, 2, 0)},
                {0x1A, R(3, 1, 0)}, {0xFF, 0},          {}};

  // 1: a connecting line. Block 1 in circle mode: start and end with their anchors, the
  // direction with its axis; block 2 in hit mode, whose B + 4 is a side sign.
  LineRecord cline = lineWith(doc, 501, 3);
  cline.mode = 100;
  cline.params = params({ent(100, 0, 0), ent(101, 0, (100u << 16) | 1), ent(102, 0, R(0, 1, 4)),
                         ent(103, 0, R(2, 0, 8)), ent(104, 0, R(0, 2, 2)), ent(200, 0, 0),
                         ent(201, 0, 200u << 16), ent(202, 0, R(0, 0, 7)), ent(203, 0, R(2, 2, 5)),
                         ent(204, 0, bitsOf(1.0f))});

  // 2: a decorative line placed point by point: an offset (100), a polar (200), a 3-D (300)
  // and a relative-step (400) point, then a point that only connects; connection groups with
  // every kind of entry.
  LineRecord oline = lineWith(doc, 502, 5);
  oline.mode = 101;
  oline.params = params({ent(100, 0, 0)});
  oline.points[0].params =
      params({ent(150, 0, 100), ent(151, 0, R(0, 1, 0)), ent(152, 0, R(1, 2, 1)),
              ent(153, 0, bitsOf(4.5f)), ent(180, 0, 0), ent(181, 11, R(0, 2, 1)),
              ent(181, 101, R(1, 0, 2)), ent(181, 102, R(1, 1, 2)), ent(181, 110, R(0, 1, 2)),
              ent(181, 111, R(1, 2, 3)), ent(181, 112, R(0, 0, 1)), ent(181, 120, bitsOf(2.0f)),
              ent(181, 12, R(1, 0, 2))});
  oline.points[1].params = params({ent(150, 0, 200), ent(151, 0, R(0, 2, 0)),
                                   ent(152, 0, R(1, 1, 1)), ent(153, 0, R(0, 0, 3))});
  oline.points[2].params = params(
      {ent(150, 0, 300), ent(151, 0, R(0, 1, 2)), ent(152, 0, bitsOf(1)), ent(152, 0, bitsOf(2))});
  oline.points[3].params =
      params({ent(180, 0, 0), ent(181, 11, R(1, 2, 0)), ent(181, 101, R(0, 1, 2))});
  oline.points[4].params =
      params({ent(150, 0, 400), ent(151, 0, R(0, 0, 0)), ent(152, 0, R(0, 2, 1)),
              ent(153, 0, R(1, 1, 2)), ent(154, 0, bitsOf(0.5f)), ent(155, 0, bitsOf(0.25f))});

  // 3: the whole-line method 円形補 and 4: a two-point connection line.
  LineRecord whole = lineWith(doc, 503, 2);
  whole.mode = 101;
  whole.params = params(
      {ent(100, 0, 2), ent(101, 0, R(1, 0, 0)), ent(102, 0, R(0, 1, 1)), ent(103, 0, bitsOf(3))});
  LineRecord twoPoint = lineWith(doc, 504, 2);
  twoPoint.mode = 101;
  twoPoint.params = params({ent(100, 0, 181), ent(101, 0, R(0, 1, 0)), ent(102, 0, R(0, 2, 1)),
                            ent(103, 0, R(1, 1, 2))});
  doc.lines = {joint, cline, oline, whole, twoPoint};

  // 5 ..: face parts with their connection points, and a hair strand.
  const auto face = [&](int32_t nam, int32_t part, int category, int slots,
                        std::vector<std::pair<int, uint32_t>> refs) {
    LineRecord l = lineWith(doc, nam, 3);
    l.category = category;
    ParamList list{ent(100, 0, uint32_t(part)), ent(101, 0, bitsOf(300))};
    for (int i = 0; i < slots; ++i) list.push_back(ent(102, 0, bitsOf(0.5f * float(i))));
    for (const auto& [slot, value] : refs) list[size_t(2 + slot)].value = value;
    if (part == 322)
      for (int i = 0; i < 6; ++i) list.push_back(ent(103, 0, bitsOf(float(i))));
    list.push_back(ParamEntry::sentinel());
    l.params = list;
    doc.lines.push_back(l);
  };
  face(319, 319, 11, 11, {{9, R(0, 1, 1)}, {10, R(0, 2, 2)}});
  face(322, 322, 11, 12, {{9, R(5, 0, 0)}});
  face(323, 323, 11, 9, {{7, R(6, 1, 1)}, {8, R(6, 2, 2)}});
  face(324, 324, 11, 8, {{6, R(6, 0, 0)}, {7, R(6, 2, 2)}});
  face(327, 327, 11, 2, {{0, R(9, 1, 1)}, {1, R(6, 0, 0)}});
  face(328, 328, 11, 2, {{0, R(10, 2, 2)}, {1, R(6, 1, 1)}});
  face(329, 333, 11, 14, {{12, R(10, 1, 1)}, {13, R(9, 0, 0)}});
  face(334, 334, 12, 7, {{5, R(9, 2, 2)}, {6, R(11, 1, 1)}});
  doc.lines.push_back(doc.makeDefaultLine());
  doc.lineOrder.clear();
  for (int i = 0; i < doc.lineCount(); ++i) doc.lineOrder.push_back(i);

  // An outline over three lines, an eye, and the sentinel object.
  ObjectRecord outline;
  outline.header[5] = int32_t(R(0, 1, 0));
  outline.c[0] = int32_t(base) + 5, outline.c[1] = int32_t(base) + 2, outline.c[2] = int32_t(base);
  outline.d[0] = 0x00000201, outline.d[1] = 0x01010401, outline.d[2] = 0x00020001;
  ObjectRecord eye;
  eye.header[1] = 258;
  eye.header[5] = int32_t(R(0, 0, 2));
  eye.c[0] = int32_t(base) + 3;
  eye.d[0] = 0x00000101;
  // Several points plus: its depth is that of the two points listed first in A (line << 16 |
  // point), then an offset.
  ObjectRecord several = outline;
  several.header[3] = int32_t((2u << 24) | 0x000100u);
  several.a[0] = int32_t(P(0, 1)), several.a[1] = int32_t(P(2, 4));
  several.a[2] = int32_t(bitsOf(-2.5f));
  doc.objects = {outline, eye, several, ObjectRecord{}};
  return doc;
}

// Line by line, the parameters (the line's and its points') and the code that differ.
void expectSameReferences(const Document& got, int from, const Document& want) {
  for (int i = 0; i + 1 < want.lineCount(); ++i) {
    const LineRecord& g = got.lines[size_t(from + i)];
    const LineRecord& w = want.lines[size_t(i)];
    EXPECT_EQ(g.params, w.params) << "line " << i;
    EXPECT_EQ(g.code, w.code) << "line " << i;
    ASSERT_EQ(g.points.size(), w.points.size()) << "line " << i;
    for (size_t p = 0; p < w.points.size(); ++p)
      EXPECT_EQ(g.points[p].params, w.points[p].params) << "line " << i << " point " << p;
  }
}

TEST(PartsFile, MergeIntoAnEmptyDocumentGivesBackEveryReference) {
  const Document src = everyReference(0);
  Document doc;
  ASSERT_TRUE(mergePartsPayload(doc, writePartsPayload(src)));
  ASSERT_EQ(doc.lineCount(), src.lineCount());
  expectSameReferences(doc, 0, src);
  EXPECT_EQ(doc.objects, src.objects);
}

TEST(PartsFile, MergeBehindLinesShiftsEveryReferenceAndKeepsItsLowBits) {
  const Document src = everyReference(0), want = everyReference(3);
  Document doc = targetDocument();
  ASSERT_TRUE(mergePartsPayload(doc, writePartsPayload(src)));
  ASSERT_EQ(doc.lineCount(), 3 + src.lineCount());
  expectSameReferences(doc, 3, want);
  ASSERT_EQ(doc.objectCount(), 1 + want.objectCount());
  for (int i = 0; i + 1 < want.objectCount(); ++i)
    EXPECT_EQ(doc.objects[size_t(1 + i)], want.objects[size_t(i)]) << i;
}

TEST(PartsFile, UnstoredReferenceWithoutMatchingNumberFallsToLineZero) {
  Document doc = targetDocument();
  doc.lines[1].nam = 30000;
  ASSERT_TRUE(mergePartsPayload(doc, writePartsPayload(sourceDocument())));
  EXPECT_EQ(doc.lines[3].points[0].params[2], ent(101, 0, pointRef(0, 0)));
  EXPECT_EQ(uint32_t(doc.objects[1].header[5]), ref(0, 1, 0));
}

TEST(PartsFile, FacePartsRewriteTheirPairs) {
  Document src;
  LineRecord face = lineWith(src, 327, 2);
  face.category = 11;
  face.params = params({ent(100, 0, 327), ent(102, 0, ref(0, 1, 1)), ent(102, 1, ref(0, 0, 1)),
                        ent(103, 0, ref(0, 1, 1))});
  LineRecord hair = lineWith(src, 334, 2);
  hair.category = 12;
  ParamList hp{ent(100, 0, 334), ent(102, 0, 0)};
  for (int i = 1; i <= 6; ++i) hp.push_back(ent(103, i, ref(1, 1, 0)));
  hair.params = params({});
  hair.params.insert(hair.params.begin(), hp.begin(), hp.end());
  LineRecord shortHair = hair;  // part 323 needs entries 7 and 8 after 102: not there
  shortHair.category = 11;
  shortHair.params[0].value = 323;
  src.lines = {face, hair, shortHair, src.makeDefaultLine()};
  src.lineOrder = {0, 1, 2, 3};
  src.objects = {ObjectRecord{}};

  Document doc;
  doc.lines = {lineWith(doc, 20000, 2), doc.makeDefaultLine()};
  doc.lineOrder = {0, 1};
  ASSERT_TRUE(mergePartsPayload(doc, writePartsPayload(src)));
  ASSERT_EQ(doc.lineCount(), 5);
  const ParamList& f = doc.lines[1].params;
  EXPECT_EQ(f[1].value, ref(1, 1, 1));
  EXPECT_EQ(f[2].value, ref(1, 0, 1));
  EXPECT_EQ(f[3].value, ref(0, 1, 1));  // not one of the pair
  const ParamList& h = doc.lines[2].params;
  for (size_t i = 2; i < 8; ++i)
    EXPECT_EQ(h[i].value, (i == 6 || i == 7) ? ref(2, 1, 0) : ref(1, 1, 0)) << i;
  for (size_t i = 2; i < 8; ++i) EXPECT_EQ(doc.lines[3].params[i].value, ref(1, 1, 0));
  EXPECT_EQ(doc.objectCount(), 1);
}

TEST(PartsFile, RefusedFilesChangeNothing) {
  const Bytes payload = writePartsPayload(sourceDocument());
  Document doc = targetDocument();
  const Bytes before = writeProjectPayload(doc);
  for (size_t cut = 0; cut < payload.size(); cut += (cut < 900 ? 1 : 61))
    ASSERT_FALSE(mergePartsPayload(doc, std::span(payload.data(), cut))) << cut;
  Bytes huge = payload;
  huge[4] = 0xFF, huge[5] = 0xFF, huge[6] = 0xFF, huge[7] = 0x7F;
  EXPECT_FALSE(mergePartsPayload(doc, huge));
  Bytes negative = payload;
  negative[8] = 0xFF, negative[9] = 0xFF, negative[10] = 0xFF, negative[11] = 0xFF;
  EXPECT_FALSE(mergePartsPayload(doc, negative));
  EXPECT_EQ(writeProjectPayload(doc), before);

  test::TempDir dir;
  RecordingUi ui;
  doc.ui = &ui;
  test::writeFileBytes(dir.file("bad.tovp"), {'H', 'C', 0, 0, 0, 0, 9, 0x09});
  EXPECT_FALSE(loadParts(doc, dir.file("bad.tovp"), true));
  ASSERT_EQ(ui.shown.size(), 1u);  // a damaged container: the read failure alone
  EXPECT_EQ(ui.shown[0].text, msg::kReadFailed);
  EXPECT_EQ(writeProjectPayload(doc), before);
}

TEST(PartsFile, SavedFileMergesLikeThePayload) {
  test::TempDir dir;
  Document src = sourceDocument();
  ASSERT_TRUE(saveParts(src, dir.file("p.tovp"), true));
  Document viaFile = targetDocument(), viaPayload = targetDocument();
  ASSERT_TRUE(loadParts(viaFile, dir.file("p.tovp"), true));
  ASSERT_TRUE(mergePartsPayload(viaPayload, writePartsPayload(src)));
  EXPECT_EQ(viaFile.lines, viaPayload.lines);
  EXPECT_EQ(viaFile.objects, viaPayload.objects);
  // A merged document saves and reads back as any other.
  ASSERT_TRUE(saveProject(viaFile, dir.file("m.tov"), true));
  Document back;
  ASSERT_TRUE(loadProject(back, dir.file("m.tov"), true));
  EXPECT_EQ(back.lines, viaFile.lines);
  EXPECT_EQ(back.lineOrder, viaFile.lineOrder);
}

}  // namespace
}  // namespace tovala
