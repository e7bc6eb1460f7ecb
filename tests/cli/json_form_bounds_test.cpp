// load-json on forms made to exhaust it: nesting far deeper than the form, millions of values,
// files past the size limit, and short forms that would build a document no project file can
// hold. Each is refused with its reason and the output file is left as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/json_form.h"
#include "support/test_support.h"

namespace tovala {
namespace {

using test::runCli;

std::string repeated(const std::string& s, size_t n) {
  std::string out;
  out.reserve(s.size() * n);
  for (size_t i = 0; i < n; ++i) out += s;
  return out;
}

TEST(JsonFormBounds, HostileFormsAreRefusedAndNothingIsWritten) {
  test::TempDir dir;
  const std::string out = dir.file("out.tov");
  const std::vector<uint8_t> old{'o', 'l', 'd'};
  test::writeFileBytes(out, old);
  struct Case {
    const char* what;
    std::string json;
    const char* reason;
  };
  const Case cases[] = {
      {"nested 200,000 deep", R"({"lines": )" + repeated("[", 200000) + repeated("]", 200000) + "}",
       "入れ子が深すぎます（7 段まで）"},
      {"nine million numbers", R"({"lineOrder": [0)" + repeated(",0", 9 << 20) + "]}",
       "値が多すぎます"},
      {"200,000 empty lines", R"({"lines": [{})" + repeated(",{}", 200000) + "]}",
       "lines: more than a project file can hold"},
      {"a line of 120,000 empty points",
       R"({"lines": [{"points": [{})" + repeated(",{}", 120000) + "]}]}",
       "lines[0].points: more than a project file can hold"},
      {"a user image of 10000 x 10000", R"({"userImages": [{"width": 10000, "height": 10000}]})",
       "userImages[0]: more than a project file can hold"},
      {"an underlay of 10000 x 10000", R"({"underlay": {"width": 10000, "height": 10000}})",
       "underlay: more than a project file can hold"},
  };
  for (const Case& c : cases) {
    std::ofstream(dir.file("in.json"), std::ios::binary) << c.json;
    const auto r = runCli({"load-json", dir.file("in.json"), "-o", out});
    EXPECT_EQ(r.status, 1) << c.what;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.what << " -> " << r.err;
    EXPECT_EQ(test::readFileBytes(out), old) << c.what;
  }
  // One byte past the size limit is refused before it is read (the file is sparse).
  { std::ofstream(dir.file("big.json"), std::ios::binary) << "{}"; }
  std::filesystem::resize_file(dir.file("big.json"), cli::kJsonFormLimits.maxBytes + 1);
  const auto r = runCli({"load-json", dir.file("big.json"), "-o", out});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("over 256 MiB"), std::string::npos) << r.err;
  EXPECT_EQ(test::readFileBytes(out), old);
}

TEST(JsonFormBounds, SevenLevelsAreEnough) {
  // A point's parameter is the deepest the form goes; one level more is refused.
  test::TempDir dir;
  const std::string point = R"({"kind": 0, "params": [[7, 0, 5], [0, 0, 0]]})";
  std::ofstream(dir.file("in.json"), std::ios::binary)
      << R"({"lines": [{"points": [)" << point << "," << point << "]}, {}]}";
  auto r = runCli({"load-json", dir.file("in.json"), "-o", dir.file("out.tov")});
  EXPECT_EQ(r.status, 0) << r.err;
  r = runCli({"dump", dir.file("out.tov")});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto dumped = nlohmann::json::parse(r.out, nullptr, false);
  ASSERT_FALSE(dumped.is_discarded());
  EXPECT_EQ(dumped["lines"][0]["points"][1]["params"][0][0], 7);
  std::ofstream(dir.file("in.json"), std::ios::binary)
      << R"({"lines": [{"points": [{"params": [[[7]]]}]}]})";
  r = runCli({"load-json", dir.file("in.json"), "-o", dir.file("out2.tov")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("入れ子が深すぎます（7 段まで）"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("out2.tov")));
}

}  // namespace
}  // namespace tovala
