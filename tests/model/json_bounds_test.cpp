// The pre-parse limits on JSON text: depth and value counts at and just past each limit, and
// brackets and commas inside strings, which are no structure.

#include "model/json_bounds.h"

#include <gtest/gtest.h>

namespace tovala {
namespace {

constexpr JsonLimits kWide{1000, 100, 1000};

JsonLimits withDepth(int depth) { return {kWide.maxBytes, depth, kWide.maxValues}; }
JsonLimits withValues(size_t values) { return {kWide.maxBytes, kWide.maxDepth, values}; }

TEST(JsonBounds, DepthIsCountedOutsideStringsOnly) {
  struct Case {
    const char* text;
    int depth;  // how deep it nests
  };
  const Case cases[] = {
      {"1", 0},
      {"{}", 1},
      {"[[], [], {}]", 2},
      {R"({"a": [{"b": [1]}]})", 4},
      {R"(["[[[[", "{{{{"])", 1},         // brackets in strings
      {R"(["\"[[[", "\\", [2]])", 2},     // an escaped quote does not end the string
      {R"({"a\\": [[0]], "b": {}})", 3},  // nor does an escaped backslash hide the closing one
      {"[[[]]] [[[]]]", 3},               // closed levels count again
  };
  for (const Case& c : cases) {
    EXPECT_EQ(jsonLimitFault(c.text, withDepth(c.depth)), "") << c.text;
    if (c.depth > 0) {
      EXPECT_EQ(jsonLimitFault(c.text, withDepth(c.depth - 1)),
                "入れ子が深すぎます（" + std::to_string(c.depth - 1) + " 段まで）")
          << c.text;
    }
  }
}

TEST(JsonBounds, ValuesAreBoundedByCommasAndOpeningBrackets) {
  struct Case {
    const char* text;
    size_t bound;  // one plus the commas and opening brackets outside strings
  };
  const Case cases[] = {
      {"7", 1},
      {"[1, 2, 3]", 4},
      {R"({"a": 1, "b": [true, null]})", 5},
      {R"(["a,b,c", "[{"])", 3},
      {"[[], {}, []]", 7},  // four values; the bound is loose for empty containers
  };
  for (const Case& c : cases) {
    EXPECT_EQ(jsonLimitFault(c.text, withValues(c.bound)), "") << c.text;
    if (c.bound > 1) {
      EXPECT_EQ(jsonLimitFault(c.text, withValues(c.bound - 1)),
                "値が多すぎます（" + std::to_string(c.bound - 1) + " 個まで）")
          << c.text;
    }
  }
}

TEST(JsonBounds, SizeAndUnclosedTexts) {
  const std::string text(100, ' ');
  EXPECT_EQ(jsonLimitFault(text, {100, 1, 1}), "");
  EXPECT_EQ(jsonLimitFault(text, {99, 1, 1}), "ファイルが大きすぎます");
  // Texts cut short pass the check (the parser refuses them), without reading past the end.
  for (const char* cut : {"[\"abc", "[\"abc\\", "[[[", "]]]}}", "\""})
    EXPECT_EQ(jsonLimitFault(std::string_view(cut), kWide), "") << cut;
  // A level opened and closed many times never adds up.
  std::string flat;
  for (int i = 0; i < 300; ++i) flat += "[]";
  EXPECT_EQ(jsonLimitFault(flat, {flat.size(), 1, 301}), "");
}

}  // namespace
}  // namespace tovala
