// info, hc-encode, hc-decode, parts-save, parts-merge, archive-export and archive-import, run as
// the tool.

#include <gtest/gtest.h>

#include <filesystem>

#include "model/document.h"
#include "model/file_fixtures.h"
#include "model/hc_container.h"
#include "model/messages.h"
#include "model/project_file.h"
#include "support/test_support.h"

namespace tovala {
namespace {

using test::runCli;

TEST(CliFiles, InfoCountsWithoutSentinels) {
  test::TempDir dir;
  Document doc;
  test::fillSampleDocument(doc, 3);  // 1 + 2 + 3 points, two pictures, one text, one object
  ASSERT_TRUE(saveProject(doc, dir.file("a.tov"), true));
  const auto r = runCli({"info", dir.file("a.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "canvas: 24 x 10\nbackColor: 0x00102030\nlines: 3\npoints: 6\nuserImages: 2\n"
            "objects: 1\ntexts: 1\n");
  const auto missing = runCli({"info", dir.file("none.tov")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "エラー: ファイルの読込みに失敗しました。\n");
  EXPECT_EQ(runCli({"info"}).status, 2);
}

TEST(CliFiles, HcCommandsRoundTripAndRefuse) {
  test::TempDir dir;
  std::vector<uint8_t> data(10000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t((i / 7) % 5);
  test::writeFileBytes(dir.file("in"), data);
  ASSERT_EQ(runCli({"hc-encode", dir.file("in"), dir.file("in.hc")}).status, 0);
  const auto encoded = test::readFileBytes(dir.file("in.hc"));
  EXPECT_EQ(encoded, *encodeHc(data));
  ASSERT_EQ(runCli({"hc-decode", dir.file("in.hc"), dir.file("out")}).status, 0);
  const auto decoded = test::readFileBytes(dir.file("out"));
  ASSERT_GE(decoded.size(), data.size());
  EXPECT_TRUE(std::equal(data.begin(), data.end(), decoded.begin()));

  const auto notHc = runCli({"hc-decode", dir.file("in"), dir.file("x")});
  EXPECT_EQ(notHc.status, 1);
  EXPECT_EQ(notHc.err, "error: この圧縮形式のファイルではありません!!\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("x")));
  const auto unwritable = runCli({"hc-encode", dir.file("in"), dir.file("no/dir/x")});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_EQ(unwritable.err, "error: 保存に失敗しました。\n");
  EXPECT_EQ(runCli({"hc-encode", dir.file("in")}).status, 2);
}

TEST(CliFiles, PartsSaveAndMerge) {
  test::TempDir dir;
  Document src;
  test::fillSampleDocument(src, 3);
  ASSERT_TRUE(saveProject(src, dir.file("src.tov"), true));
  Document target;
  test::fillSampleDocument(target, 2);
  ASSERT_TRUE(saveProject(target, dir.file("target.tov"), true));
  const auto before = test::readFileBytes(dir.file("target.tov"));

  ASSERT_EQ(runCli({"parts-save", dir.file("src.tov"), "-o", dir.file("p.tovp"), "--lines", "0,2"})
                .status,
            0);
  auto r =
      runCli({"parts-merge", dir.file("target.tov"), dir.file("p.tovp"), "-o", dir.file("m.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::readFileBytes(dir.file("target.tov")), before);
  Document merged;
  ASSERT_TRUE(loadProject(merged, dir.file("m.tov"), true));
  ASSERT_EQ(merged.lineCount(), 2 + 2 + 1);
  EXPECT_EQ(merged.lines[2].nam, src.lines[0].nam);
  EXPECT_EQ(merged.lines[3].nam, src.lines[2].nam);
  EXPECT_EQ(merged.lines[3].points, src.lines[2].points);
  // The source object uses lines 0 and 1; line 1 was not stored, so the object stays behind.
  EXPECT_EQ(merged.objectCount(), 2);

  // Every line when none are named: the object comes along, its lines remapped.
  ASSERT_EQ(runCli({"parts-save", dir.file("src.tov"), "-o", dir.file("all.tovp")}).status, 0);
  ASSERT_EQ(
      runCli({"parts-merge", dir.file("target.tov"), dir.file("all.tovp"), "-o", dir.file("n.tov")})
          .status,
      0);
  Document all;
  ASSERT_TRUE(loadProject(all, dir.file("n.tov"), true));
  ASSERT_EQ(all.objectCount(), 3);
  EXPECT_EQ(all.objects[1].c[0], 2);
  EXPECT_EQ(all.objects[1].c[1], 3);

  EXPECT_EQ(
      runCli({"parts-save", dir.file("src.tov"), "-o", dir.file("q.tovp"), "--lines", "7"}).status,
      1);
  EXPECT_EQ(
      runCli({"parts-save", dir.file("src.tov"), "-o", dir.file("q.tovp"), "--lines", "a"}).status,
      2);
  const auto bad =
      runCli({"parts-merge", dir.file("target.tov"), dir.file("src.tov"), "-o", dir.file("z.tov")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("ファイルの読込みに失敗しました。"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.file("z.tov")));
}

// load-json refuses a canvas the project file cannot hold before building anything, naming the
// largest size; the output is not written.
TEST(CliFiles, LoadJsonRefusesACanvasTooLargeToSave) {
  test::TempDir dir;
  auto form = [&](int w, int h) {
    const std::string text =
        "{\"imageWidth\": " + std::to_string(w) + ", \"imageHeight\": " + std::to_string(h) + "}";
    test::writeFileBytes(dir.file("in.json"), std::vector<uint8_t>(text.begin(), text.end()));
  };
  form(3000, 3000);
  auto r = runCli({"load-json", dir.file("in.json"), "-o", dir.file("out.tov")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            std::string("load-json: imageWidth, imageHeight: ") + msg::kCanvasTooLarge + "\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.tov")));
  form(10000, 559);  // as many bytes as the largest square allows, in another shape
  r = runCli({"load-json", dir.file("in.json"), "-o", dir.file("out.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  Document doc;
  ASSERT_TRUE(loadProject(doc, dir.file("out.tov"), true));
  EXPECT_EQ(doc.imageWidth, 10000);
  EXPECT_EQ(doc.imageHeight, 559);
}

TEST(CliFiles, ScriptArchivesMoveInAndOut) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  auto put = [&](const std::string& name, const std::string& text) {
    test::writeFileBytes(dir.file(name), std::vector<uint8_t>(text.begin(), text.end()));
  };
  auto get = [&](const std::string& name) {
    const auto b = test::readFileBytes(dir.file(name));
    return std::string(b.begin(), b.end());
  };
  fs::create_directories(dir.path() / "scripts");
  put("scripts/1-2.txt", "bc");
  put("scripts/0-0.txt", "a\r\nb");
  put("scripts/notes.dat", "not a script");
  auto r = runCli({"archive-export", dir.file("scripts"), "-o", dir.file("all.txt")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(get("all.txt"), "Tovala\n0-0.txt\n4\na\r\nb1-2.txt\n2\nbc");

  // Into a folder that does not exist yet; files of other names stay.
  r = runCli({"archive-import", dir.file("all.txt"), dir.file("out")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(get("out/0-0.txt"), "a\r\nb");
  EXPECT_EQ(get("out/1-2.txt"), "bc");
  put("out/1-2.txt", "old");
  put("out/9-9.txt", "kept");
  put("crlf.txt", "Tovala\r\n1-2.txt\r\n3\r\nx\r\ny");
  r = runCli({"archive-import", dir.file("crlf.txt"), dir.file("out")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(get("out/1-2.txt"), "x\ny");
  EXPECT_EQ(get("out/9-9.txt"), "kept");

  // A name that would leave the folder refuses the whole archive: nothing is written.
  put("evil.txt", "Tovala\nfine.txt\n2\nok../x\n1\nz");
  r = runCli({"archive-import", dir.file("evil.txt"), dir.file("out")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("エラー: 有効なファイルではありません。\n"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir.path() / "out/fine.txt"));
  EXPECT_FALSE(fs::exists(dir.path() / "x"));
  r = runCli({"archive-import", dir.file("evil.txt"), dir.file("fresh")});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(fs::exists(dir.path() / "fresh"));
  put("lower.txt", "tovala\na.txt\n1\nz");
  r = runCli({"archive-import", dir.file("lower.txt"), dir.file("out")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "エラー: 有効なファイルではありません。\n");
  r = runCli({"archive-import", dir.file("none.txt"), dir.file("out")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "エラー: ファイルの読込みに失敗しました。\n");
  // An entry that cannot be written (a folder of its name) leaves every file as it was.
  fs::create_directories(dir.path() / "out/blocked.txt");
  put("blocked.txt", "Tovala\n1-2.txt\n3\nnewblocked.txt\n1\nz");
  r = runCli({"archive-import", dir.file("blocked.txt"), dir.file("out")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "エラー: ファイルの書込みに失敗しました。\n");
  EXPECT_EQ(get("out/1-2.txt"), "x\ny");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "out"), fs::directory_iterator()),
            4);  // 0-0.txt, 1-2.txt, 9-9.txt and the folder: no staging left behind

  // The archive is written atomically: a failed export keeps the old one.
  r = runCli({"archive-export", dir.file("missing"), "-o", dir.file("all.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(get("all.txt"), "Tovala\n0-0.txt\n4\na\r\nb1-2.txt\n2\nbc");
  r = runCli({"archive-export", dir.file("scripts"), "-o", dir.file("no/dir/all.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "エラー: ファイルの書込みに失敗しました。\n");
  EXPECT_EQ(runCli({"archive-export", dir.file("scripts")}).status, 2);
  EXPECT_EQ(runCli({"archive-import", dir.file("all.txt")}).status, 2);
}

}  // namespace
}  // namespace tovala
