#pragma once
// Body shape files: a body shape as a small JSON text (the form is in docs/CLI.md, "Body shape
// files"), kept beside the project whose figure it made (NAME.tovshape beside NAME.tov).
//
//   {"format": "tovala-body-shape", "version": 1, "heads": 2.5, "height": 0.8, ...}
//
// Every value is optional and takes its default when left out; "preset" names a preset whose
// values the others then change. A reader takes all of a file or none of it: a damaged file or
// a value out of its range is refused with a reason and the shape it was to fill keeps what it
// held.

#include <cstdint>
#include <string>
#include <string_view>

#include "model/json_bounds.h"
#include "script/body_shape.h"

namespace tovala {

// One flat object of a few values; room for members a later version may add.
inline constexpr JsonLimits kBodyShapeJsonLimits{64 * 1024, 1, 256};

// Shown when a body shape file cannot be read or written; the reason follows on the next line.
inline constexpr const char* kBodyShapeReadFailed = "体型ファイルを読み込めません。";
inline constexpr const char* kBodyShapeWriteFailed = "体型ファイルを保存できません。";

// The JSON text of a shape, every value written so that it reads back the same.
std::string bodyShapeToJson(const BodyShape& shape);

// Parses a body shape file's text into `out`. Refused (false, `reason` set, `out` untouched):
// text beyond kBodyShapeJsonLimits, text that is not one JSON object, another format or a later
// version, an unknown preset, a value that is not a number, or one out of its range.
bool bodyShapeFromJson(std::string_view text, BodyShape& out, std::string& reason);

// The file forms; the save refuses a shape with a fault and writes atomically.
bool loadBodyShapeFile(const std::string& path, BodyShape& out, std::string& reason);
bool saveBodyShapeFile(const std::string& path, const BodyShape& shape, std::string& reason);

// The shape file that goes with a project: its path with the extension replaced by
// ".tovshape" (added when it has none).
std::string bodyShapePathFor(const std::string& projectPath);

}  // namespace tovala
