#pragma once
// Body shapes: the proportions the human body model is built with. A shape changes only where
// the skeleton's joints and the outlines' rest points lie; every line, point number, category,
// joint setting, hit guide, join and object stays as the standard figure has it, so a pose or
// an animation made on one body applies to every other.
//
// The ten values, each with its range and default (the standard figure):
//   頭身        heads      2.0 .. 9.0    the figure's height over its head's height
//   身長        height     0.5 .. 1.05   the figure's height, the standard figure's being 1
//   肩幅        shoulders  0.6 .. 1.6    breadth of the shoulders
//   腰幅        hips       0.6 .. 1.6    breadth of the hips
//   胸          chest      0.0 .. 2.0    size of the breasts (0 flat)
//   腕の長さ    arms       0.7 .. 1.3    length of the arms
//   脚の長さ    legs       0.7 .. 1.3    length of the legs (the trunk gives way, 頭身 holds)
//   太さ        build      0.6 .. 1.8    thickness of the limbs, neck and waist
//   頭の大きさ  head       0.7 .. 1.4    breadth of the head (its height follows from 頭身)
//   手足の大きさ hands     0.6 .. 1.6    size of the hands and feet
// Breadths scale with the head's size as well, so a figure of few heads is stocky as well as
// short-bodied. The figure stands on the standard figure's ground line, centred on the canvas.

#include <array>
#include <string>
#include <string_view>

namespace tovala {

struct BodyShape {
  double heads = 7.0;
  double height = 1.0;
  double shoulders = 1.0;
  double hips = 1.0;
  double chest = 1.0;
  double arms = 1.0;
  double legs = 1.0;
  double build = 1.0;
  double head = 1.0;
  double hands = 1.0;
  bool operator==(const BodyShape&) const = default;
  // The standard figure: every value at its default.
  bool isStandard() const { return *this == BodyShape{}; }
};

// One value of a shape: its file name, its label, its range and default, and where it lives.
struct BodyShapeField {
  const char* key;
  const char* label;
  double min, max, standard;
  double BodyShape::*member;
};
inline constexpr std::array<BodyShapeField, 10> kBodyShapeFields = {{
    {"heads", "頭身", 2.0, 9.0, 7.0, &BodyShape::heads},
    {"height", "身長", 0.5, 1.05, 1.0, &BodyShape::height},
    {"shoulders", "肩幅", 0.6, 1.6, 1.0, &BodyShape::shoulders},
    {"hips", "腰幅", 0.6, 1.6, 1.0, &BodyShape::hips},
    {"chest", "胸", 0.0, 2.0, 1.0, &BodyShape::chest},
    {"arms", "腕の長さ", 0.7, 1.3, 1.0, &BodyShape::arms},
    {"legs", "脚の長さ", 0.7, 1.3, 1.0, &BodyShape::legs},
    {"build", "太さ", 0.6, 1.8, 1.0, &BodyShape::build},
    {"head", "頭の大きさ", 0.7, 1.4, 1.0, &BodyShape::head},
    {"hands", "手足の大きさ", 0.6, 1.6, 1.0, &BodyShape::hands},
}};

// Empty when every value is finite and within its range; otherwise the first that is not
// ("heads: 2 から 9 までです").
std::string bodyShapeFault(const BodyShape& shape);

struct BodyShapePreset {
  const char* name;   // the name the editor shows
  const char* alias;  // the same in ASCII, for the command line
  BodyShape shape;
};
// 標準 (the standard figure), ちび (2.5 heads), 子供 (5), 女性 (7), 男性 (7.5), モデル (8.5).
const std::array<BodyShapePreset, 6>& bodyShapePresets();
// The preset called `name` (either name), or nullptr.
const BodyShapePreset* findBodyShapePreset(std::string_view name);

}  // namespace tovala
