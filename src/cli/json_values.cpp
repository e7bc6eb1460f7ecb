#include "cli/json_values.h"

#include <bit>
#include <cfloat>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "model/hc_container.h"
#include "platform/encoding.h"

namespace tovala::cli {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "0x" and exactly `digits` hex digits, as the bits of a value that is not finite.
bool parseBits(const std::string& s, size_t digits, uint64_t& bits) {
  if (s.size() != digits + 2 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) return false;
  bits = 0;
  for (size_t i = 2; i < s.size(); ++i) {
    const int d = hexDigit(s[i]);
    if (d < 0) return false;
    bits = (bits << 4) | uint64_t(d);
  }
  return true;
}

}  // namespace

Json toJson(float v) {
  char text[32];
  if (!std::isfinite(v)) {
    std::snprintf(text, sizeof text, "0x%08" PRIx32, std::bit_cast<uint32_t>(v));
    return text;
  }
  // The nine-digit decimal reads back to the same float; held as the nearest double, it is
  // printed again as that same short decimal.
  std::snprintf(text, sizeof text, "%.9g", double(v));
  return std::strtod(text, nullptr);
}

Json toJson(double v) {
  if (!std::isfinite(v)) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%016" PRIx64, std::bit_cast<uint64_t>(v));
    return text;
  }
  return v;
}

std::string hexBytes(std::span<const uint8_t> bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string s;
  s.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    s.push_back(kDigits[b >> 4]);
    s.push_back(kDigits[b & 15]);
  }
  return s;
}

FormReader::FormReader(std::string& error) : error_(error), room_(kHcMaxPayload) {}

bool FormReader::reserve(const std::string& path, uint64_t count, uint64_t bytesEach) {
  if (bytesEach && count > room_ / bytesEach)
    return fail(path,
                "more than a project file can hold (" + std::to_string(kHcMaxPayload) + " bytes)");
  room_ -= count * bytesEach;
  return true;
}

bool FormReader::fail(const std::string& path, const std::string& what) {
  if (error_.empty()) error_ = path + ": " + what;
  return false;
}

bool FormReader::object(const Json& v, const std::string& path) {
  return v.is_object() || fail(path, "expected an object");
}

bool FormReader::array(const Json& v, const std::string& path, size_t minimum) {
  if (!v.is_array()) return fail(path, "expected an array");
  if (v.size() < minimum)
    return fail(path, minimum == 1 ? "needs at least the sentinel element"
                                   : "needs at least " + std::to_string(minimum) + " elements");
  return true;
}

bool FormReader::tuple(const Json& v, const std::string& path, size_t n) {
  return (v.is_array() && v.size() >= n) ||
         fail(path, "expected an array of " + std::to_string(n) + " numbers");
}

bool FormReader::get(const Json& v, const std::string& path, int32_t& out) {
  if (v.is_number_unsigned()) {
    const uint64_t u = v.get<uint64_t>();
    if (u <= uint64_t(std::numeric_limits<int32_t>::max())) return out = int32_t(u), true;
  } else if (v.is_number_integer()) {
    const int64_t i = v.get<int64_t>();
    if (i >= std::numeric_limits<int32_t>::min() && i <= std::numeric_limits<int32_t>::max())
      return out = int32_t(i), true;
  }
  return fail(path, "expected an integer from -2147483648 to 2147483647");
}

bool FormReader::get(const Json& v, const std::string& path, uint32_t& out) {
  if (v.is_number_unsigned()) {
    const uint64_t u = v.get<uint64_t>();
    if (u <= std::numeric_limits<uint32_t>::max()) return out = uint32_t(u), true;
  }
  return fail(path, "expected an integer from 0 to 4294967295");
}

bool FormReader::get(const Json& v, const std::string& path, float& out) {
  uint64_t bits = 0;
  if (v.is_number()) {
    const double d = v.get<double>();
    if (std::fabs(d) <= double(FLT_MAX)) return out = float(d), true;
    // The nine-digit form of the largest float lies just above it and still rounds to it.
    if (std::fabs(d) < double(FLT_MAX) + 0x1p103) return out = d > 0 ? FLT_MAX : -FLT_MAX, true;
    return fail(path, "out of the single-precision range");
  }
  if (v.is_string() && parseBits(v.get<std::string>(), 8, bits))
    return out = std::bit_cast<float>(uint32_t(bits)), true;
  return fail(path, "expected a number (or \"0x\" and 8 hex digits)");
}

bool FormReader::get(const Json& v, const std::string& path, double& out) {
  uint64_t bits = 0;
  if (v.is_number()) return out = v.get<double>(), true;
  if (v.is_string() && parseBits(v.get<std::string>(), 16, bits))
    return out = std::bit_cast<double>(bits), true;
  return fail(path, "expected a number (or \"0x\" and 16 hex digits)");
}

bool FormReader::get(const Json& v, const std::string& path, std::string& out) {
  if (!v.is_string()) return fail(path, "expected a string");
  out = v.get<std::string>();
  return true;
}

bool FormReader::get(const Json& v, const std::string& path, std::vector<int32_t>& out) {
  if (!array(v, path)) return false;
  out.assign(v.size(), 0);
  for (size_t i = 0; i < v.size(); ++i)
    if (!get(v[i], path + "[" + std::to_string(i) + "]", out[i])) return false;
  return true;
}

bool FormReader::bytes(const Json& obj, const char* key, const std::string& path,
                       std::span<uint8_t> out) {
  std::string s;
  if (!obj.contains(key)) return !failed();
  if (!member(obj, key, path, s)) return false;
  const std::string at = join(path, key);
  if (s.size() != out.size() * 2)
    return fail(at, "needs exactly " + std::to_string(out.size() * 2) + " hex digits");
  for (size_t i = 0; i < out.size(); ++i) {
    const int hi = hexDigit(s[2 * i]), lo = hexDigit(s[2 * i + 1]);
    if (hi < 0 || lo < 0) return fail(at, "needs hex digits only");
    out[i] = uint8_t(hi * 16 + lo);
  }
  return true;
}

size_t FormReader::text(const Json& obj, const char* key, const std::string& path,
                        std::span<uint8_t> out) {
  std::string s;
  if (!obj.contains(key) || !member(obj, key, path, s)) return 0;
  const std::vector<uint8_t> sjis = utf8ToSjis(s);
  if (sjis.size() > out.size()) {
    fail(join(path, key), "longer than " + std::to_string(out.size()) + " bytes in Shift-JIS");
    return 0;
  }
  std::fill(out.begin(), out.end(), uint8_t(0));
  std::copy(sjis.begin(), sjis.end(), out.begin());
  return sjis.size();
}

}  // namespace tovala::cli
