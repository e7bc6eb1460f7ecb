// Every runnable example of the user manual (docs/manual/*.md) runs through tovala-cli exec
// against the body model and gives the result the manual states, so the manual cannot drift
// from the program.
//
// A runnable example is a ```tovala block. Marked comments inside it say what it must do:
//   // 結果: p[0] = 1024, L[8]P[1]vx = 788   values after the run (locals, or any variable the
//                                            language can read, read back from the saved file)
//   // エラー: 2:ここは代入です。             the script is refused with this message
//   // 選択: L[8]P[0]                        the selection the run starts from
// A value is compared to the precision it is written with: 0.8415 to 0.00005, 674.2 to 0.05,
// a whole number such as 788 to 0.01.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

#include "script/tables.h"
#include "support/test_support.h"

namespace tovala::test {
namespace {

struct Expectation {
  std::string name;
  double value = 0;
  double tolerance = 0;
};

struct Snippet {
  std::string where;  // file:line of the opening fence
  std::string source;
  std::vector<Expectation> results;
  std::string error;
  std::optional<std::pair<std::string, std::string>> select;
};

std::string trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  const auto e = s.find_last_not_of(" \t\r");
  return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

// "p[0] = 1024, L[0]vx = -2.5" -> expectations; false when a part does not read.
bool parseResults(const std::string& text, std::vector<Expectation>& out) {
  std::stringstream parts(text);
  std::string part;
  while (std::getline(parts, part, ',')) {
    const auto eq = part.find('=');
    if (eq == std::string::npos) return false;
    Expectation e;
    e.name = trim(part.substr(0, eq));
    const std::string number = trim(part.substr(eq + 1));
    char* end = nullptr;
    e.value = std::strtod(number.c_str(), &end);
    if (e.name.empty() || number.empty() || *end != '\0') return false;
    const auto dot = number.find('.');
    const int decimals = dot == std::string::npos ? 0 : int(number.size() - dot - 1);
    e.tolerance = decimals > 0 ? 0.5 * std::pow(10.0, -decimals) : 0.01;
    out.push_back(e);
  }
  return !out.empty();
}

std::vector<Snippet> readSnippets(const std::filesystem::path& file) {
  std::vector<Snippet> out;
  std::ifstream in(file);
  std::string line;
  int number = 0;
  Snippet* open = nullptr;
  const std::string resultMark = "// 結果:", errorMark = "// エラー:", selectMark = "// 選択:";
  const std::regex selectForm(R"(L\[(\d+)\]P\[(\d+)\])");
  while (std::getline(in, line)) {
    ++number;
    const std::string t = trim(line);
    if (!open) {
      if (t == "```tovala") {
        out.push_back({file.filename().string() + ":" + std::to_string(number), "", {}, "", {}});
        open = &out.back();
      }
      continue;
    }
    if (t == "```") {
      open = nullptr;
      continue;
    }
    open->source += line + "\n";
    std::smatch m;
    if (t.rfind(resultMark, 0) == 0) {
      EXPECT_TRUE(parseResults(t.substr(resultMark.size()), open->results))
          << open->where << ": unreadable result line: " << t;
    } else if (t.rfind(errorMark, 0) == 0) {
      open->error = trim(t.substr(errorMark.size()));
    } else if (t.rfind(selectMark, 0) == 0) {
      const std::string what = trim(t.substr(selectMark.size()));
      if (std::regex_match(what, m, selectForm))
        open->select = std::make_pair(m[1].str(), m[2].str());
      else
        ADD_FAILURE() << open->where << ": unreadable selection: " << t;
    }
  }
  EXPECT_EQ(open, nullptr) << file << ": a ```tovala block is not closed";
  return out;
}

// The JSON array `exec --locals` prints.
std::vector<double> parseLocals(const std::string& text) {
  std::vector<double> out;
  std::string body = text.substr(0, text.find(']'));
  if (!body.empty() && body[0] == '[') body.erase(0, 1);
  std::stringstream parts(body);
  std::string item;
  while (std::getline(parts, item, ',')) {
    item = trim(item);
    out.push_back(item == "null" ? std::nan("") : std::strtod(item.c_str(), nullptr));
  }
  return out;
}

void check(const Snippet& s, const std::vector<Expectation>& expected,
           const std::vector<double>& actual) {
  ASSERT_EQ(actual.size(), expected.size()) << s.where;
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(actual[i], expected[i].value, expected[i].tolerance)
        << s.where << ": " << expected[i].name;
  }
}

void runSnippet(const Snippet& s, const TempDir& dir, const std::string& base) {
  SCOPED_TRACE(s.where);
  ASSERT_TRUE(!s.results.empty() || !s.error.empty())
      << s.where << ": an example states no result (// 結果: or // エラー:)";
  const std::string script = dir.file("snippet.txt"), out = dir.file("out.tov");
  writeFileBytes(script, std::vector<uint8_t>(s.source.begin(), s.source.end()));
  std::filesystem::remove(out);
  std::vector<std::string> args{"exec", base, script, "-o", out, "--locals"};
  if (s.select) args.insert(args.end(), {"--select", s.select->first, s.select->second});
  const CliResult r = runCli(args, dir.path().string());
  if (!s.error.empty()) {
    EXPECT_EQ(r.status, 1) << s.where;
    EXPECT_NE(r.err.find(s.error), std::string::npos)
        << s.where << ": expected the message " << s.error << ", got: " << r.err;
    return;
  }
  ASSERT_EQ(r.status, 0) << s.where << ": " << r.err;

  // Locals come from this run; anything else is read back from the saved document.
  const std::regex local(R"(p\[(\d+)\])");
  const std::vector<double> locals = parseLocals(r.out);
  std::vector<Expectation> fields;
  std::vector<Expectation> localResults;
  std::vector<double> localValues;
  for (const Expectation& e : s.results) {
    std::smatch m;
    if (std::regex_match(e.name, m, local)) {
      const size_t i = std::stoul(m[1].str());
      ASSERT_LT(i, locals.size()) << s.where << ": " << e.name << " is not a local of the run";
      localResults.push_back(e);
      localValues.push_back(locals[i]);
    } else {
      fields.push_back(e);
    }
  }
  check(s, localResults, localValues);
  if (fields.empty()) return;
  std::string reader = "param " + std::to_string(fields.size()) + ";\n";
  for (size_t i = 0; i < fields.size(); ++i)
    reader += "p[" + std::to_string(i) + "] = " + fields[i].name + ";\n";
  const std::string readerFile = dir.file("read.txt");
  writeFileBytes(readerFile, std::vector<uint8_t>(reader.begin(), reader.end()));
  const CliResult back = runCli({"exec", out, readerFile, "--locals"}, dir.path().string());
  ASSERT_EQ(back.status, 0) << s.where << ": reading back failed: " << back.err;
  check(s, fields, parseLocals(back.out));
}

std::vector<std::filesystem::path> manualFiles() {
  const std::filesystem::path manual =
      std::filesystem::path(TOVALA_TEST_DATA) / "../../docs/manual";
  EXPECT_TRUE(std::filesystem::is_directory(manual)) << manual;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(manual))
    if (entry.path().extension() == ".md") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<Snippet> manualSnippets() {
  std::vector<Snippet> out;
  for (const auto& file : manualFiles())
    for (Snippet& s : readSnippets(file)) out.push_back(std::move(s));
  return out;
}

// Whether `word` occurs in `text` as a token of its own: a name not inside a longer name, an
// operator not inside a longer operator.
bool hasToken(const std::string& text, std::string_view word) {
  auto isName = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
  const std::string operatorChars = "&|=<>!+-*/%";
  const bool name = isName(word.front());
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    const char before = at > 0 ? text[at - 1] : ' ';
    const char after = at + word.size() < text.size() ? text[at + word.size()] : ' ';
    const bool alone = name ? !isName(before) && !isName(after)
                            : operatorChars.find(before) == std::string::npos &&
                                  operatorChars.find(after) == std::string::npos;
    if (alone) return true;
  }
  return false;
}

TEST(Manual, EveryExampleRunsAndGivesTheStatedResult) {
  TempDir dir;
  const std::string base = dir.file("body.tov");
  const CliResult made = runCli({"body-model", "-o", base}, dir.path().string());
  ASSERT_EQ(made.status, 0) << made.err;
  const std::vector<Snippet> snippets = manualSnippets();
  for (const Snippet& s : snippets) runSnippet(s, dir, base);
  EXPECT_GT(snippets.size(), 50u) << "the manual's examples were not found";
}

// Every word of the language (statements, operators, functions, macros, variable names) is
// shown at work in at least one example, comments aside.
TEST(Manual, ExamplesCoverTheWholeLanguage) {
  std::string code;
  for (const Snippet& s : manualSnippets()) {
    std::stringstream lines(s.source);
    std::string line;
    while (std::getline(lines, line)) code += line.substr(0, line.find("//")) + "\n";
  }
  for (const script::KeywordEntry& k : script::kKeywords) {
    if (k.text.find('$') != std::string_view::npos) continue;  // internal markers
    EXPECT_TRUE(hasToken(code, k.text)) << "no example uses " << k.text;
  }
  for (const script::VariableEntry& v : script::kVariables) {
    if (v.name.empty()) continue;
    // "L[]P[]vx" is written with indices: L[8]P[1]vx.
    std::string pattern;
    for (char c : v.name) {
      if (c == '[')
        pattern += "\\[[^\\]]*";
      else if (c == ']')
        pattern += "\\]";
      else
        pattern += c;
    }
    // A name ending in a letter must not run on into a longer one (vx, not vxy).
    if (v.name.back() != ']') pattern += "\\b";
    EXPECT_TRUE(std::regex_search(code, std::regex("(^|[^A-Za-z\\]])" + pattern)))
        << "no example uses " << v.name;
  }
}

// The anchor a heading gets, as on web pages and in the editor's manual window: lower case,
// spaces as hyphens, punctuation dropped (the Japanese marks the manual's headings use included).
std::string headingAnchor(const std::string& heading) {
  std::string text = trim(heading);
  for (const char* mark : {"、", "。", "「", "」", "（", "）", "：", "・", "→"}) {
    for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark))
      text.erase(at, std::string_view(mark).size());
  }
  std::string out;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == ' ')
      out += '-';
    else if (u >= 0x80 || std::isalnum(u) || c == '-' || c == '_')
      out += char(std::tolower(u));
  }
  return out;
}

// Every link between the manual's pages names a page that exists, and a heading on it.
TEST(Manual, LinksReachTheirPageAndHeading) {
  std::map<std::string, std::set<std::string>> anchors;                  // page -> heading anchors
  std::vector<std::tuple<std::string, std::string, std::string>> links;  // where, page, anchor
  const std::regex link(R"(\]\(([A-Za-z0-9_-]+\.md)(#([^)]+))?\))");
  for (const auto& file : manualFiles()) {
    const std::string page = file.filename().string();
    std::ifstream in(file);
    std::string line;
    bool fence = false;
    for (int number = 1; std::getline(in, line); ++number) {
      if (trim(line).rfind("```", 0) == 0) fence = !fence;
      if (fence) continue;
      if (line.rfind('#', 0) == 0)
        anchors[page].insert(headingAnchor(line.substr(line.find_first_not_of('#'))));
      for (std::sregex_iterator m(line.begin(), line.end(), link), end; m != end; ++m)
        links.emplace_back(page + ":" + std::to_string(number), (*m)[1], (*m)[3]);
    }
  }
  EXPECT_GT(links.size(), 10u);
  for (const auto& [where, page, anchor] : links) {
    ASSERT_TRUE(anchors.count(page)) << where << ": no page " << page;
    if (!anchor.empty())
      EXPECT_TRUE(anchors[page].count(anchor)) << where << ": no heading " << page << "#" << anchor;
  }
}

}  // namespace
}  // namespace tovala::test
