#include "script/body_shape_file.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "model/file_io.h"

namespace tovala {

namespace {

using Json = nlohmann::json;

constexpr const char* kFormat = "tovala-body-shape";
constexpr int kVersion = 1;
constexpr uint64_t kMaxFileBytes = kBodyShapeJsonLimits.maxBytes;

}  // namespace

std::string bodyShapeToJson(const BodyShape& shape) {
  std::string s = "{\n \"format\": \"";
  s += kFormat;
  s += "\",\n \"version\": " + std::to_string(kVersion);
  for (const BodyShapeField& f : kBodyShapeFields) {
    char text[64];
    // Seventeen significant digits read back as the same double.
    std::snprintf(text, sizeof text, ",\n \"%s\": %.17g", f.key, shape.*f.member);
    s += text;
  }
  return s + "\n}\n";
}

bool bodyShapeFromJson(std::string_view text, BodyShape& out, std::string& reason) {
  if (reason = jsonLimitFault(text, kBodyShapeJsonLimits); !reason.empty()) return false;
  const Json doc = Json::parse(text.begin(), text.end(), nullptr, false);
  if (doc.is_discarded()) return reason = "JSONとして読めません", false;
  if (!doc.is_object()) return reason = "JSONのオブジェクトではありません", false;

  if (const auto f = doc.find("format"); f != doc.end() && *f != kFormat)
    return reason = "format: 体型ファイルではありません", false;
  if (const auto v = doc.find("version"); v != doc.end()) {
    if (!v->is_number_integer() || v->get<int64_t>() < 1 || v->get<int64_t>() > kVersion)
      return reason = "version: 読めない版です", false;
  }
  BodyShape shape;
  if (const auto p = doc.find("preset"); p != doc.end()) {
    const BodyShapePreset* preset =
        p->is_string() ? findBodyShapePreset(p->get_ref<const std::string&>()) : nullptr;
    if (!preset) return reason = "preset: そのような体型はありません", false;
    shape = preset->shape;
  }
  for (const BodyShapeField& f : kBodyShapeFields) {
    const auto v = doc.find(f.key);
    if (v == doc.end()) continue;
    if (!v->is_number()) return reason = std::string(f.key) + ": 数ではありません", false;
    shape.*f.member = v->get<double>();
  }
  if (reason = bodyShapeFault(shape); !reason.empty()) return false;
  out = shape;
  return true;
}

bool loadBodyShapeFile(const std::string& path, BodyShape& out, std::string& reason) {
  const auto bytes = readWholeFile(path, kMaxFileBytes);
  if (!bytes) return reason = "読み込めないか、大きすぎるファイルです: " + path, false;
  const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  return bodyShapeFromJson(text, out, reason);
}

bool saveBodyShapeFile(const std::string& path, const BodyShape& shape, std::string& reason) {
  if (reason = bodyShapeFault(shape); !reason.empty()) return false;
  const std::string text = bodyShapeToJson(shape);
  const auto* data = reinterpret_cast<const uint8_t*>(text.data());
  if (!writeFileAtomic(path, std::span(data, text.size())))
    return reason = "書き込めません: " + path, false;
  return true;
}

std::string bodyShapePathFor(const std::string& projectPath) {
  const size_t slash = projectPath.find_last_of("/\\");
  const size_t dot = projectPath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? projectPath.substr(0, dot) : projectPath) + ".tovshape";
}

}  // namespace tovala
