// The lexer: cuts a source text into tokens. Only ASCII characters have meaning; Shift-JIS bytes
// simply become part of the token they touch. A carriage return is not white space here, so an
// identifier written directly before one is not recognised (the editor saves with line feeds).

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>

#include "model/document.h"
#include "platform/encoding.h"
#include "platform/ui.h"
#include "script/script_engine.h"
#include "script/script_messages.h"
#include "script/tables.h"

namespace tovala::script {
namespace {

constexpr const char* kFullWidthBlank = "\xE3\x80\x80";  // U+3000

bool isDigit(char c) { return c >= '0' && c <= '9'; }

Token fromKeyword(int index) {
  const KeywordEntry& k = kKeywords[size_t(index)];
  return Token{k.flag, k.code, k.tokenClass, std::string(k.text)};
}

// The longest prefix of `s` that reads as a decimal number: sign, digits, fraction, exponent.
std::string_view numberPrefix(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  while (i < s.size() && isDigit(s[i])) ++i;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) ++i;
  }
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '-' || s[j] == '+')) ++j;
    if (j < s.size() && isDigit(s[j])) {
      while (j < s.size() && isDigit(s[j])) ++j;
      i = j;
    }
  }
  return s.substr(0, i);
}

// Decimal conversion independent of the process locale. Values beyond the double range become
// an infinity or a zero of the right sign instead of being left unset.
double parseDecimal(std::string_view text) {
  std::string_view p = numberPrefix(text);
  bool negative = !p.empty() && p[0] == '-';
  if (!p.empty() && (p[0] == '-' || p[0] == '+')) p.remove_prefix(1);
  double value = 0.0;
  auto [end, ec] = std::from_chars(p.data(), p.data() + p.size(), value);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    size_t e = p.find_first_of("eE");
    bool tiny = e != std::string_view::npos && e + 1 < p.size() && p[e + 1] == '-';
    value = tiny ? 0.0 : HUGE_VAL;
  } else if (ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

}  // namespace

ScriptEngine::ScriptEngine(Document& doc) : doc_(&doc), message_(kFullWidthBlank) {
  endToken_ = Token{0, 0, "end", "end"};
}

int ScriptEngine::lex(std::string_view source) {
  if (tokenize(source) < 0) {
    doc_->ui->message(message_, msg::kCaptionError);
    return -1;
  }
  return compile();
}

int ScriptEngine::tokenize(std::string_view source) {
  source = source.substr(0, std::min(source.size(), source.find('\0')));
  message_ = kFullWidthBlank;
  tokens_.clear();
  const size_t n = source.size();
  size_t cur = 0;
  while (cur < n) {
    std::string raw;
    while (cur < n) {
      const char c = source[cur];
      if (c == '/' && cur + 1 < n && source[cur + 1] == '/') {
        cur = std::min(source.find('\n', cur), n);  // the newline is read as white space next
        break;
      }
      if (c == ' ' || c == '\t' || c == '\n') {
        ++cur;
        break;
      }
      raw += c;
      ++cur;
      if (isSingleCharKeyword(c) || (cur < n && isSingleCharKeyword(source[cur])) ||
          raw.size() == size_t(kMaxTokenText)) {
        break;
      }
    }
    // A minus where no value precedes it starts a negative literal.
    if (raw == "-" && cur < n &&
        (tokens_.empty() ||
         (tokens_.back().tokenClass != "nam" && tokens_.back().tokenClass != ")"))) {
      while (cur < n && raw.size() < size_t(kMaxTokenText) &&
             (isDigit(source[cur]) || source[cur] == '.')) {
        raw += source[cur++];
      }
    }
    // Look one character ahead so that two-character operators (+=, ==, &&) can form.
    if (raw.size() == 1 && !isDigit(raw[0]) && cur < n && source[cur] != ';' &&
        source[cur] != ',' && !isDigit(source[cur])) {
      raw += source[cur];
    }
    const int consumed = classify(raw);
    if (consumed < 0) return -1;
    cur = std::min(cur + size_t(consumed), n);
  }
  return 1;
}

int ScriptEngine::classify(std::string_view raw) {
  if (raw.empty()) return 0;
  if (isDigit(raw[0]) || (raw[0] == '-' && raw.size() >= 2 && isDigit(raw[1]))) {
    appendNumber(raw);
    return 0;
  }
  const int single = raw.size() <= 2 ? findSingleCharKeyword(raw[0]) : -1;
  const int keyword = findLongKeyword(raw);
  if (keyword >= 0) {
    tokens_.push_back(fromKeyword(keyword));
    if (kKeywords[size_t(keyword)].text.size() > 2) return 0;
    // A two-character operator took its second character by look-ahead: consume it now.
    return isSingleCharKeyword(raw[0]) ? 1 : 0;
  }
  if (single >= 0) {
    tokens_.push_back(fromKeyword(single));
    return 0;
  }
  return resolveIdentifier(raw) < 0 ? -1 : 0;
}

void ScriptEngine::appendNumber(std::string_view raw) {
  Token t = fromKeyword(kNumberTemplate);
  t.text = std::string(raw);
  t.code = std::bit_cast<uint32_t>(float(parseDecimal(raw)));
  tokens_.push_back(std::move(t));
}

// One bracket text: a literal index, or "p[n]" naming the local whose value is the index.
bool ScriptEngine::parseIndex(std::string_view raw, std::string_view bracket, uint32_t& index,
                              bool& indirect) {
  auto leadingNumber = [](std::string_view s) {
    uint64_t v = 0;
    for (size_t i = 0; i < s.size() && isDigit(s[i]); ++i)
      v = std::min<uint64_t>(v * 10 + uint64_t(s[i] - '0'), 0xFFFFFFFFu);
    return uint32_t(v);
  };
  if (!bracket.empty() && isDigit(bracket[0])) {
    index = leadingNumber(bracket);
    indirect = false;
    return true;
  }
  if (bracket.size() >= 2 && bracket[0] == 'p' && bracket[1] == '[') {
    if (bracket.size() < 3 || !isDigit(bracket[2])) {
      fail(raw, msg::kNestedLocal);
      return false;
    }
    index = leadingNumber(bracket.substr(2));
    indirect = true;
    return true;
  }
  fail(raw, msg::kBadLocal);
  return false;
}

int ScriptEngine::fail(std::string_view tokenText, std::string_view text) {
  message_ = sjisToUtf8(tokenText);
  message_ += ':';
  message_ += text;
  return -1;
}

int ScriptEngine::fail(const Token& at, std::string_view text) { return fail(at.text, text); }

int ScriptEngine::resolveIdentifier(std::string_view raw) {
  // Take the bracket contents out of the name: "L[3]P[p[1]]vx" becomes "L[]P[]vx".
  std::string name;
  std::array<std::string_view, 3> brackets;
  int groups = 0;
  for (size_t i = 0; i < raw.size();) {
    if (raw[i] != '[') {
      name += raw[i++];
      continue;
    }
    if (groups == 3) return fail(raw, msg::kTooManyBrackets);
    size_t j = i + 1;
    for (int depth = 1; j < raw.size(); ++j) {
      if (raw[j] == '[') ++depth;
      if (raw[j] == ']' && --depth == 0) break;
    }
    brackets[size_t(groups++)] = raw.substr(i + 1, std::min(j, raw.size()) - i - 1);
    name += "[]";
    i = j + 1;
  }
  std::array<uint32_t, 3> index{};
  std::array<bool, 3> indirect{};
  for (int g = 0; g < groups; ++g) {
    if (!parseIndex(raw, brackets[size_t(g)], index[size_t(g)], indirect[size_t(g)])) return -1;
  }

  if (name.compare(0, 3, "p[]") == 0) {
    if (groups != 1) return fail(raw, msg::kNestedLocal);
    if (index[0] > uint32_t(kMaxLocalIndex)) return fail(raw, msg::kIndexTooLarge);
    const uint32_t code = kLocalBase + (indirect[0] ? kLocalIndirect : 0) + index[0];
    tokens_.push_back(Token{kFlagLocal, code, "param", "p[]"});
    return 1;
  }

  const int v = findVariable(name);
  if (v < 0) return 0;
  const VariableEntry& entry = kVariables[size_t(v)];
  uint32_t code = entry.fieldCode;
  if (entry.flag != kFlagFixed) {
    if (index[0] > uint32_t(kMaxLineIndex)) return fail(raw, msg::kIndexTooLarge);
    code |= (index[0] | (indirect[0] ? 0x8000u : 0u)) << 16;
  }
  if (entry.flag == kFlagPointVar || entry.flag == kFlagPointParam) {
    if (index[1] > uint32_t(kMaxPointIndex)) return fail(raw, msg::kPointIndexTooLarge);
    code |= (index[1] | (indirect[1] ? 0x80u : 0u)) << 8;
  }
  if (entry.flag == kFlagPointParam) {
    if (index[2] > uint32_t(kMaxPointIndex)) return fail(raw, msg::kPointIndexTooLarge);
    code |= index[2] | (indirect[2] ? kPointParamIndirect : 0u);
  }
  if (entry.flag == kFlagLineParam) {
    if (index[1] > uint32_t(kMaxLineIndex)) return fail(raw, msg::kIndexTooLarge);
    code |= index[1] | (indirect[1] ? kLineParamIndirect : 0u);
  }
  tokens_.push_back(Token{entry.flag, code, "param", std::string(entry.name)});
  return 1;
}

}  // namespace tovala::script
