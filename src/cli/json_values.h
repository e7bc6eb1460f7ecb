#pragma once
// Values of the JSON form: numbers that read back exactly, hex byte strings, and a reader that
// checks every value it takes and names the first field it cannot accept.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cli/json_form.h"

namespace tovala::cli {

// A single-precision value as the shortest decimal of its "%.9g" form, a double as its shortest
// round-trip decimal; values that are not finite as their bits in hex ("0x7fc00000").
Json toJson(float v);
Json toJson(double v);
inline Json toJson(int32_t v) { return v; }
inline Json toJson(uint32_t v) { return v; }
template <size_t N>
Json toJson(const std::array<float, N>& a) {
  Json j = Json::array();
  for (float f : a) j.push_back(toJson(f));
  return j;
}

std::string hexBytes(std::span<const uint8_t> bytes);

class FormReader {
 public:
  explicit FormReader(std::string& error);

  bool failed() const { return !error_.empty(); }
  // Records the first refusal ("PATH: WHAT") and returns false.
  bool fail(const std::string& path, const std::string& what);

  bool object(const Json& v, const std::string& path);
  bool array(const Json& v, const std::string& path, size_t minimum = 0);
  // An array of at least n values.
  bool tuple(const Json& v, const std::string& path, size_t n);

  bool get(const Json& v, const std::string& path, int32_t& out);
  bool get(const Json& v, const std::string& path, uint32_t& out);
  bool get(const Json& v, const std::string& path, float& out);
  bool get(const Json& v, const std::string& path, double& out);
  bool get(const Json& v, const std::string& path, std::string& out);
  bool get(const Json& v, const std::string& path, std::vector<int32_t>& out);
  template <class T, size_t N>
  bool get(const Json& v, const std::string& path, std::array<T, N>& out) {
    if (!array(v, path) || v.size() != N)
      return fail(path, "needs exactly " + std::to_string(N) + " values");
    for (size_t i = 0; i < N; ++i)
      if (!get(v[i], path + "[" + std::to_string(i) + "]", out[i])) return false;
    return true;
  }

  // The member `key` of `obj` into `out`; a missing member leaves `out` as it is.
  template <class T>
  bool member(const Json& obj, const char* key, const std::string& path, T& out) {
    if (failed()) return false;
    const auto it = obj.find(key);
    return it == obj.end() || get(*it, join(path, key), out);
  }
  // A hex string of exactly N bytes.
  template <size_t N>
  bool bytesMember(const Json& obj, const char* key, const std::string& path,
                   std::array<uint8_t, N>& out) {
    return bytes(obj, key, path, std::span<uint8_t>(out));
  }
  // A UTF-8 text stored as Shift-JIS, zero padded; returns its length in bytes.
  template <size_t N>
  size_t textMember(const Json& obj, const char* key, const std::string& path,
                    std::array<uint8_t, N>& out) {
    return text(obj, key, path, std::span<uint8_t>(out));
  }

  // The array member `key` read element by element with read(json, path, item); a missing
  // member leaves `out` as it is. Sentinel-ended arrays need at least `minimum` elements. Each
  // element takes `bytesEach` from the room left (reserve).
  template <class T, class Read>
  bool records(const Json& obj, const char* key, const std::string& path, std::vector<T>& out,
               size_t bytesEach, Read read, size_t minimum = 1) {
    if (failed()) return false;
    const auto it = obj.find(key);
    if (it == obj.end()) return true;
    const std::string at = join(path, key);
    if (!array(*it, at, minimum) || !reserve(at, it->size(), bytesEach)) return false;
    out.assign(it->size(), T{});
    for (size_t i = 0; i < out.size(); ++i)
      if (!read((*it)[i], at + "[" + std::to_string(i) + "]", out[i])) return fail(at, "refused");
    return true;
  }

  // Takes count * bytesEach from the room the document has left in a project file (the
  // container's payload limit), so that a short form cannot make the reader build a document far
  // larger than any project: an empty object in "lines" still becomes a whole line. False, with
  // the field named, when that room is used up.
  bool reserve(const std::string& path, uint64_t count, uint64_t bytesEach);

  static std::string join(const std::string& path, const char* key) {
    return path.empty() ? std::string(key) : path + "." + key;
  }

 private:
  bool bytes(const Json& obj, const char* key, const std::string& path, std::span<uint8_t> out);
  size_t text(const Json& obj, const char* key, const std::string& path, std::span<uint8_t> out);

  std::string& error_;
  uint64_t room_;
};

}  // namespace tovala::cli
