#pragma once
// Numbers in the panels' edit boxes. Shown in the shortest form that reads back to the same
// value, so applying a panel never disturbs a value the user did not touch; read like the
// C conversions: leading blanks skipped, the longest numeric prefix taken, anything else (and
// infinities or NaN) 0.

#include <QString>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tovala::fieldtext {

template <class T>
QString show(T value) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  return QString::fromLatin1(buf, int(r.ptr - buf));
}

namespace detail {
inline std::string numericPart(const QString& text) {
  std::string s = text.trimmed().toStdString();
  if (!s.empty() && s[0] == '+') s.erase(0, 1);
  return s;
}
}  // namespace detail

// Floating fields: float or double.
template <class T>
T readReal(const QString& text) {
  const std::string s = detail::numericPart(text);
  T value = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
  // "inf" and "nan" parse, but no field can hold them.
  if (r.ec != std::errc() || !std::isfinite(value)) return 0;
  return value;
}

// Integer fields; a value beyond the int range reads as 0.
inline int readInt(const QString& text) {
  const std::string s = detail::numericPart(text);
  int value = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
  if (r.ec != std::errc()) return 0;
  return value;
}

}  // namespace tovala::fieldtext
