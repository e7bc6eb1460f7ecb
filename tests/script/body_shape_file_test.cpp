#include <gtest/gtest.h>

#include <filesystem>

#include "script/body_shape.h"
#include "script/body_shape_file.h"

namespace tovala {
namespace {

TEST(BodyShapeFile, RoundTripsAndFillsLeftOutValues) {
  BodyShape s = findBodyShapePreset("model")->shape;
  s.hands = 0.6 + 1.0 / 3.0;  // the text must carry every digit
  BodyShape back;
  std::string reason;
  ASSERT_TRUE(bodyShapeFromJson(bodyShapeToJson(s), back, reason)) << reason;
  EXPECT_EQ(back, s);

  ASSERT_TRUE(bodyShapeFromJson(R"({"heads": 3})", back, reason)) << reason;
  BodyShape expected;
  expected.heads = 3;
  EXPECT_EQ(back, expected);
  // A preset as the base, changed by the values given.
  ASSERT_TRUE(bodyShapeFromJson(R"({"preset": "ちび", "legs": 1.2})", back, reason)) << reason;
  expected = findBodyShapePreset("chibi")->shape;
  expected.legs = 1.2;
  EXPECT_EQ(back, expected);
  // Members a later version may add are passed over.
  EXPECT_TRUE(bodyShapeFromJson(R"({"version": 1, "tail": 3})", back, reason)) << reason;
}

TEST(BodyShapeFile, RefusesBadTextAndKeepsTheShape) {
  const BodyShape before = findBodyShapePreset("male")->shape;
  const char* const bad[] = {
      "",
      "not json",
      "[1, 2]",
      R"({"heads": 1.5})",
      R"({"heads": "7"})",
      R"({"build": true})",
      R"({"format": "tovala-pose"})",
      R"({"version": 2})",
      R"({"preset": "giant"})",
      R"({"heads": 7, "x": {"deeper": 1}})",
  };
  for (const char* text : bad) {
    BodyShape s = before;
    std::string reason;
    EXPECT_FALSE(bodyShapeFromJson(text, s, reason)) << text;
    EXPECT_FALSE(reason.empty()) << text;
    EXPECT_EQ(s, before) << text;
  }
  std::string huge = "{\"heads\": 7" + std::string(70000, ' ') + "}";
  BodyShape s = before;
  std::string reason;
  EXPECT_FALSE(bodyShapeFromJson(huge, s, reason));
  EXPECT_EQ(s, before);
}

TEST(BodyShapeFile, SavesAtomicallyBesideTheProject) {
  EXPECT_EQ(bodyShapePathFor("/a/figure.tov"), "/a/figure.tovshape");
  EXPECT_EQ(bodyShapePathFor("/a.b/figure"), "/a.b/figure.tovshape");
  const auto dir = std::filesystem::temp_directory_path() / "tovala_body_shape_test";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "f.tovshape").string();
  std::string reason;
  const BodyShape chibi = findBodyShapePreset("chibi")->shape;
  ASSERT_TRUE(saveBodyShapeFile(path, chibi, reason)) << reason;
  BodyShape bad = chibi;
  bad.heads = 12;
  EXPECT_FALSE(saveBodyShapeFile(path, bad, reason));
  BodyShape back;
  ASSERT_TRUE(loadBodyShapeFile(path, back, reason)) << reason;
  EXPECT_EQ(back, chibi);
  EXPECT_FALSE(loadBodyShapeFile((dir / "missing.tovshape").string(), back, reason));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tovala
