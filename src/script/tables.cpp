#include "script/tables.h"

namespace tovala::script {
namespace {

constexpr int countNamedVariables() {
  int n = 0;
  for (const auto& v : kVariables) n += v.name.empty() ? 0 : 1;
  return n;
}

constexpr int countSingleCharKeywords() {
  int n = 0;
  for (const auto& k : kKeywords) n += k.text.size() == 1 ? 1 : 0;
  return n;
}

static_assert(countNamedVariables() == kVariableCount);
static_assert(countSingleCharKeywords() == 17);
static_assert(kKeywords[kNumberTemplate].flag == kFlagNumber);

// Which bytes end a token: the single-character keywords, looked up once per source byte.
constexpr std::array<bool, 256> makeSingleCharSet() {
  std::array<bool, 256> set{};
  for (const auto& k : kKeywords) {
    if (k.text.size() == 1) set[uint8_t(k.text[0])] = true;
  }
  return set;
}
constexpr std::array<bool, 256> kSingleChar = makeSingleCharSet();

}  // namespace

int findLongKeyword(std::string_view text) {
  if (text.size() < 2) return -1;
  for (int i = 0; i < kKeywordCount; ++i) {
    if (kKeywords[size_t(i)].text == text) return i;
  }
  return -1;
}

int findSingleCharKeyword(char c) {
  for (int i = 0; i < kKeywordCount; ++i) {
    const auto& t = kKeywords[size_t(i)].text;
    if (t.size() == 1 && t[0] == c) return i;
  }
  return -1;
}

bool isSingleCharKeyword(char c) { return kSingleChar[uint8_t(c)]; }

int findVariable(std::string_view name) {
  if (name.empty()) return -1;
  for (int i = 0; i < kVariableSlots; ++i) {
    if (kVariables[size_t(i)].name == name) return i;
  }
  return -1;
}

bool isKnownInstruction(uint32_t code) { return findKeywordByCode(kFlagInstruction, code) >= 0; }

int findKeywordByCode(uint8_t flag, uint32_t code) {
  for (int i = 0; i < kKeywordCount; ++i) {
    const auto& k = kKeywords[size_t(i)];
    if (k.flag == flag && k.code == code) return i;
  }
  return -1;
}

}  // namespace tovala::script
