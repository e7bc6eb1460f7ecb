#pragma once
// The plain records a character is made of. Field names and order follow the file layout, so
// readers, writers and the script's field codes can walk them one by one.
//
// Every array (points, params, code, lines, texts) ends with one sentinel element that its count
// includes: valid indices are 0 .. size() - 2 and an empty array has size 1.

#include <array>
#include <bit>
#include <cstdint>
#include <vector>

namespace tovala {

inline constexpr int32_t kParamSentinelKey = 0x0FFFFFFF;
inline constexpr int32_t kFirstNumber = 10000;

// One parameter: a key, a sub-number and 32 bits read as f32 or i32 depending on the key.
struct ParamEntry {
  int32_t key = kParamSentinelKey;
  int32_t sub = -1;
  uint32_t value = 0;

  float asFloat() const { return std::bit_cast<float>(value); }
  int32_t asInt() const { return std::bit_cast<int32_t>(value); }
  void setFloat(float f) { value = std::bit_cast<uint32_t>(f); }
  void setInt(int32_t i) { value = std::bit_cast<uint32_t>(i); }

  static ParamEntry sentinel() { return ParamEntry{}; }
  static ParamEntry ofFloat(int32_t key, int32_t sub, float f) {
    return {key, sub, std::bit_cast<uint32_t>(f)};
  }
  static ParamEntry ofInt(int32_t key, int32_t sub, int32_t i) {
    return {key, sub, std::bit_cast<uint32_t>(i)};
  }
  bool operator==(const ParamEntry&) const = default;
};

// One instruction of a compiled command program; only the low byte of `flag` is meaningful.
struct CodeEntry {
  int32_t flag = 0;
  uint32_t code = 0;

  float asFloat() const { return std::bit_cast<float>(code); }
  int32_t asInt() const { return std::bit_cast<int32_t>(code); }
  bool operator==(const CodeEntry&) const = default;
};

using ParamList = std::vector<ParamEntry>;
using CodeList = std::vector<CodeEntry>;

// Kinds with a meaning of their own: a joint line, and its joint points (a batch joint point is
// one a drag of the whole figure takes along).
inline constexpr int32_t kJointLineKind = 4;
inline constexpr int32_t kBatchJointPointKind = 1000;
inline constexpr int32_t kJointPointKind = 2000;

struct PointRecord {
  int32_t kind = 0;  // 0 normal, 1000 batch joint point, 2000 joint point
  int32_t nam = kFirstNumber;
  int32_t mode = -1;  // -1 end (not drawn), 0 normal, 1 vertex, 2 split, 3 ignored
  int32_t sel = 0;
  int32_t aux = -1;
  float vx = 0, vy = 0, vz = 0;
  float v0x = 0, v0y = 0, v0z = 0;
  float radx = 0, rady = 0, radz = 0;
  float vdx = 0, vdy = 0, vdz = 0;
  std::array<float, 3> unitX{0, 0, 0};
  std::array<float, 3> unitY{0, 0, 0};
  std::array<float, 3> unitZ{0, 0, 0};
  float pww = 1.0f, pwh = 1.0f, pwa = 230.0f, pwk = 0.0f;
  int32_t spmin = 20, spmax = 40;
  double spdspx = 0.0, spdspy = 0.0;
  int32_t paramChanged = 0;
  ParamList params{ParamEntry::sentinel()};
  int32_t codeChanged = 0;
  CodeList code{CodeEntry{}};

  int paramCount() const { return int(params.size()); }
  int codeCount() const { return int(code.size()); }
  bool operator==(const PointRecord&) const = default;
};

struct LineRecord {
  int32_t kind = 0;  // 0 stroke, 1 fill, 2 image, 3 text, 4 joint
  int32_t nam = kFirstNumber;
  int32_t mode = 0;  // 0 normal, 100 connecting line, 101 decorative line
  int32_t lmode = 0;
  int32_t imgmode = 0;
  int32_t sel = 1;
  int32_t category = 0;
  float w = 1.0f, h = 1.0f, depth = 1.0f;
  float vx = 0, vy = 0, vz = 0;
  float v0x = 0, v0y = 0, v0z = 0;
  float radx = 0, rady = 0, radz = 0;
  float vdx = 0, vdy = 0, vdz = 0;
  float rectx = 0, recty = 0, rectw = 1.0f, recth = 1.0f;
  uint32_t cr = 0;
  uint32_t cb = 0;  // fill colour; for image lines the key of the user image
  float brw = 2.0f, brh = 2.0f, bra = 1.98f, brk = 0.0f;
  int32_t spmin = 20, spmax = 40;
  double spdspx = 0.3, spdspy = 0.3;
  int32_t paramChanged = 0;
  ParamList params{ParamEntry::sentinel()};
  int32_t codeChanged = 0;
  CodeList code{CodeEntry{}};
  std::vector<PointRecord> points;

  int paramCount() const { return int(params.size()); }
  int codeCount() const { return int(code.size()); }
  int pointCount() const { return int(points.size()); }

  // Sets the brush (W, H, A, K) and the line shape (passes and drift) together.
  void setStyle(const std::array<float, 4>& brush, int32_t min, int32_t max, double dx,
                double dy) {
    brw = brush[0];
    brh = brush[1];
    bra = brush[2];
    brk = brush[3];
    spmin = min;
    spmax = max;
    spdspx = dx;
    spdspy = dy;
  }
  bool operator==(const LineRecord&) const = default;
};

inline constexpr int kTextBytes = 128;

// The text of a text line, keyed by the owning line's number.
struct TextRecord {
  int32_t key = -1;
  int32_t length = 0;
  std::array<uint8_t, 60> font{};  // a LOGFONTA
  int32_t color = 0;
  std::array<uint8_t, kTextBytes> text{};  // Shift-JIS, zero padded

  static TextRecord sentinel() {
    TextRecord t;
    t.text[0] = ' ';
    return t;
  }
  bool operator==(const TextRecord&) const = default;
};

inline constexpr int kObjectEntries = 64;
inline constexpr int kObjectNameBytes = 16;

// An object: pieces of several lines drawn as one outline, fill or eye.
struct ObjectRecord {
  std::array<int32_t, 7> header{-1, 0, 0, 0, 1, 0, 0};
  std::array<int32_t, kObjectEntries> a{};
  std::array<int32_t, kObjectEntries> b{};
  std::array<int32_t, kObjectEntries> c{};
  std::array<int32_t, kObjectEntries> d{};
  std::array<uint8_t, kObjectNameBytes> name{};

  ObjectRecord();
  bool operator==(const ObjectRecord&) const = default;
};

}  // namespace tovala
