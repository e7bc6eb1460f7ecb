#include "script/body_shape.h"

#include <cmath>
#include <cstdio>

namespace tovala {

namespace {

std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

BodyShape shapeOf(double heads, double height, double shoulders, double hips, double chest,
                  double arms, double legs, double build, double head, double hands) {
  return {heads, height, shoulders, hips, chest, arms, legs, build, head, hands};
}

}  // namespace

std::string bodyShapeFault(const BodyShape& shape) {
  for (const BodyShapeField& f : kBodyShapeFields) {
    const double v = shape.*f.member;
    if (!std::isfinite(v) || v < f.min || v > f.max)
      return std::string(f.key) + ": " + number(f.min) + " から " + number(f.max) + " までです";
  }
  return {};
}

const std::array<BodyShapePreset, 6>& bodyShapePresets() {
  //                 heads height shoulders hips chest arms legs build head hands
  static const std::array<BodyShapePreset, 6> presets = {{
      {"標準", "standard", BodyShape{}},
      {"ちび", "chibi", shapeOf(2.5, 0.8, 1.0, 1.0, 0.2, 1.0, 1.0, 1.1, 1.08, 1.0)},
      {"子供", "child", shapeOf(5.0, 0.78, 0.95, 0.9, 0.0, 1.0, 1.0, 0.95, 1.0, 0.95)},
      {"女性", "female", shapeOf(7.0, 0.96, 0.95, 1.05, 1.1, 1.0, 1.0, 0.95, 1.0, 0.95)},
      {"男性", "male", shapeOf(7.5, 1.0, 1.2, 0.9, 0.25, 1.0, 1.0, 1.15, 1.0, 1.1)},
      {"モデル", "model", shapeOf(8.5, 1.03, 1.0, 0.95, 0.9, 1.0, 1.08, 0.85, 0.97, 0.95)},
  }};
  return presets;
}

const BodyShapePreset* findBodyShapePreset(std::string_view name) {
  for (const BodyShapePreset& p : bodyShapePresets())
    if (name == p.name || name == p.alias) return &p;
  return nullptr;
}

}  // namespace tovala
