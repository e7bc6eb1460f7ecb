// dump and load-json, run as the tool: the JSON form read back gives the same project.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <fstream>
#include <limits>

#include <nlohmann/json.hpp>

#include "model/document.h"
#include "model/file_fixtures.h"
#include "model/project_file.h"
#include "support/test_support.h"

namespace tovala {
namespace {

using test::runCli;

// CRC-32 computed bit by bit, as a check on the tool's table-driven one.
uint32_t crc32Reference(const std::vector<uint8_t>& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (uint8_t b : data) {
    crc ^= b;
    for (int i = 0; i < 8; ++i) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(JsonForm, DumpAndLoadJsonGiveTheSameProject) {
  test::TempDir dir;
  Document doc;
  test::fillSampleDocument(doc);
  ASSERT_TRUE(saveProject(doc, dir.file("a.tov"), true));
  // The pictures go out as BMP files, so the rebuilt project is the same byte for byte.
  std::filesystem::create_directory(dir.file("img"));
  auto r =
      runCli({"dump", dir.file("a.tov"), "-o", dir.file("a.json"), "--images", dir.file("img")});
  ASSERT_EQ(r.status, 0) << r.err;
  r = runCli({"load-json", dir.file("a.json"), "-o", dir.file("b.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::readFileBytes(dir.file("b.tov")), test::readFileBytes(dir.file("a.tov")));
  r = runCli({"dump", dir.file("b.tov"), "-o", dir.file("b.json"), "--images", dir.file("img")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readText(dir.file("b.json")), readText(dir.file("a.json")));

  // Without picture files, blank pictures stand in: the form still reads back the same.
  r = runCli({"dump", dir.file("a.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  writeText(dir.file("c.json"), r.out);
  ASSERT_EQ(runCli({"load-json", dir.file("c.json"), "-o", dir.file("c.tov")}).status, 0);
  Document back;
  ASSERT_TRUE(loadProject(back, dir.file("c.tov"), true));
  Document original;
  ASSERT_TRUE(loadProject(original, dir.file("a.tov"), true));
  EXPECT_EQ(back.lines, original.lines);
  EXPECT_EQ(back.texts, original.texts);
  EXPECT_EQ(back.objects, original.objects);
  EXPECT_EQ(back.imageKeys, original.imageKeys);
  EXPECT_EQ(back.userImages.image(0)->width, 5);

  // The CRC of the underlay's pixel bytes.
  const auto form = nlohmann::json::parse(r.out);
  char crc[16];
  std::snprintf(crc, sizeof crc, "%08x",
                crc32Reference(original.workImages.image(kUnderlayImage)->pixels));
  EXPECT_EQ(form["underlay"]["crc32"], crc);
  EXPECT_EQ(form["underlay"]["width"], 24);
  EXPECT_EQ(form["texts"][0]["text"], "abc");
  EXPECT_EQ(form["objects"][1]["name"], "名無し");
  EXPECT_EQ(form["lines"][0]["params"][0][2], 0u);  // ofInt(100, 0, 0)
  EXPECT_EQ(form["lines"][1]["params"][1][3], 2.5);
}

TEST(JsonForm, FloatsReadBackExactly) {
  test::TempDir dir;
  Document doc;
  doc.imageWidth = 12, doc.imageHeight = 12;
  doc.recreateWorkImages();
  LineRecord l = test::sampleLine(doc, 1, 2);
  const float floats[] = {0.1f,
                          1.0f / 3.0f,
                          FLT_MAX,
                          -FLT_MAX,
                          FLT_MIN,
                          1e-45f,
                          -0.0f,
                          std::numeric_limits<float>::quiet_NaN(),
                          -std::numeric_limits<float>::infinity(),
                          16777217.0f,
                          3.4e38f};
  float* fields[] = {&l.w,   &l.h,   &l.depth, &l.vx,   &l.vy,  &l.vz,
                     &l.v0x, &l.v0y, &l.v0z,   &l.radx, &l.rady};
  for (size_t i = 0; i < std::size(floats); ++i) *fields[i] = floats[i];
  l.spdspx = 0.1;
  l.spdspy = std::nextafter(1.0, 2.0);
  l.points[0].spdspx = DBL_MAX;
  l.points[0].spdspy = std::numeric_limits<double>::quiet_NaN();
  l.points[1].spdspx = 5e-324;
  l.points[0].unitX = {1e-38f, -1e38f, 123456.789f};
  doc.lines.insert(doc.lines.begin(), l);
  doc.lineOrder = {0, 1};
  doc.RadZ = 2.71828182f;
  ASSERT_TRUE(saveProject(doc, dir.file("f.tov"), true));
  auto r = runCli({"dump", dir.file("f.tov"), "-o", dir.file("f.json")});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto form = nlohmann::json::parse(readText(dir.file("f.json")));
  EXPECT_EQ(form["lines"][0]["v0y"], "0x7fc00000");
  EXPECT_EQ(form["lines"][0]["v0z"], "0xff800000");
  EXPECT_EQ(form["lines"][0]["points"][0]["spdspy"], "0x7ff8000000000000");
  ASSERT_EQ(runCli({"load-json", dir.file("f.json"), "-o", dir.file("g.tov")}).status, 0);
  EXPECT_EQ(test::readFileBytes(dir.file("g.tov")), test::readFileBytes(dir.file("f.tov")));
}

TEST(JsonForm, RefusedFormsNameTheField) {
  test::TempDir dir;
  const std::string out = dir.file("out.tov");
  test::writeFileBytes(out, {'o', 'l', 'd'});
  const std::pair<const char*, const char*> cases[] = {
      {R"({"lines": [{"vx": "abc"}]})", "lines[0].vx"},
      {R"({"lines": []})", "lines: needs at least the sentinel"},
      {R"({"lines": [{"points": []}]})", "lines[0].points"},
      {R"({"lines": [{"params": [[1, 2]]}]})", "lines[0].params[0]"},
      {R"({"lines": [{"code": [[0, -1]]}]})", "lines[0].code[0][1]"},
      {R"({"lines": [{}, {}], "lineOrder": [0]})", "lineOrder"},
      {R"({"imageWidth": 0})", "imageWidth"},
      {R"({"backColor": -1})", "backColor"},
      {R"({"curLine": 2147483648})", "curLine"},
      {R"({"modelScale": 1e300})", "modelScale"},
      {R"({"texts": [{"length": 200}]})", "texts[0].length"},
      {R"({"texts": [{"font": "00"}]})", "texts[0].font"},
      {R"({"objects": [{"header": [1, 2, 3]}]})", "objects[0].header"},
      {R"({"objects": [{"name": "とても長い名前のオブジェクトです"}]})", "objects[0].name"},
      {R"({"userImages": [{"width": 5, "height": 0}]})", "userImages[0].height"},
      {R"({"userImages": [{}], "imageKeys": [0, 1]})", "imageKeys"},
      {R"({"underlay": {"bmp": "/no/such.bmp"}})", "underlay.bmp"},
      {R"({"format": "other"})", "format"},
      {R"([1, 2])", "(document)"},
  };
  for (const auto& [json, field] : cases) {
    writeText(dir.file("in.json"), json);
    const auto r = runCli({"load-json", dir.file("in.json"), "-o", out});
    EXPECT_EQ(r.status, 1) << json;
    EXPECT_NE(r.err.find(field), std::string::npos) << json << " -> " << r.err;
    EXPECT_EQ(test::readFileBytes(out), (std::vector<uint8_t>{'o', 'l', 'd'})) << json;
  }
  writeText(dir.file("in.json"), "{\"lines\": [");
  EXPECT_EQ(runCli({"load-json", dir.file("in.json"), "-o", out}).status, 1);
  EXPECT_EQ(runCli({"load-json", dir.file("in.json")}).status, 2);
}

TEST(JsonForm, MissingFieldsTakeTheirDefaults) {
  test::TempDir dir;
  writeText(dir.file("in.json"), R"({"imageWidth": 40, "imageHeight": 30,
    "lines": [{"nam": 10001, "points": [{"vx": 5}, {}]}, {}],
    "texts": [{"key": 10001, "text": "テキスト"}, {}]})");
  ASSERT_EQ(runCli({"load-json", dir.file("in.json"), "-o", dir.file("o.tov")}).status, 0);
  Document doc;
  ASSERT_TRUE(loadProject(doc, dir.file("o.tov"), true));
  ASSERT_EQ(doc.lineCount(), 2);
  EXPECT_EQ(doc.lines[0].nam, 10001);
  EXPECT_EQ(doc.lines[0].brw, 2.0f);
  EXPECT_EQ(doc.lines[0].spdspx, 0.3);
  ASSERT_EQ(doc.pointCount(0), 2);
  EXPECT_EQ(doc.lines[0].points[0].vx, 5.0f);
  EXPECT_EQ(doc.lines[0].points[0].pwa, 230.0f);
  EXPECT_EQ(doc.lineOrder, (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(doc.texts[0].length, 8);  // four Shift-JIS characters
  EXPECT_EQ(doc.workImages.image(kUnderlayImage)->width, 40);
  EXPECT_EQ(doc.objectCount(), 1);
}

}  // namespace
}  // namespace tovala
