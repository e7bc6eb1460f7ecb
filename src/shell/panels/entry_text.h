#pragma once
// Strict readers for the raw-entry dialogs (program entries, parameter entries): the whole edit
// must be the number, blanks around it aside. A text that is not one gives nothing, and the
// dialog then leaves its working copy alone rather than storing a made-up 0.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tovala::entrytext {

inline std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

template <class T>
std::optional<T> readWhole(std::string_view text, int base) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  T value{};
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size()) return {};
  return value;
}

// At most eight hexadecimal digits.
inline std::optional<uint32_t> readHex(std::string_view text) {
  return readWhole<uint32_t>(text, 16);
}

inline std::optional<int32_t> readInt(std::string_view text) {
  return readWhole<int32_t>(text, 10);
}

// A finite decimal number as single precision.
inline std::optional<float> readReal(std::string_view text) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  float value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() ||
      !std::isfinite(value)) {
    return {};
  }
  return value;
}

// The shortest decimal text that reads back to the same float.
inline std::string showReal(float value) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

}  // namespace tovala::entrytext
