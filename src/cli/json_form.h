#pragma once
// The JSON form of a whole document (tovala-cli dump and load-json), a public interface.
//
// Field names are the record field names; sentinel records are included, so every array's
// length is its count. Floats read back exactly: a single-precision value is written as the
// shortest decimal of its nine-digit form, a double as its shortest round-trip decimal, and a
// value that is not finite as a string of its bits ("0x7fc00000"), which load-json also takes.
// Pictures are given by size and CRC-32 of their pixel bytes; dump can also write them out as
// BMP files and name them in "bmp", which load-json reads back.

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "model/json_bounds.h"

namespace tovala {
class Document;
}

namespace tovala::cli {

using Json = nlohmann::ordered_json;

inline constexpr const char* kJsonFormatName = "tovala";
inline constexpr int kJsonFormatVersion = 1;

// What load-json holds a text to before it parses it: seven levels (the document, its lines, a
// line, its points, a point, its parameters, one parameter), and no more values than the
// largest document a project file holds could need (16 MiB, over two bytes a value).
inline constexpr JsonLimits kJsonFormLimits{size_t(256) << 20, 7, size_t(8) << 20};

// Parses the text of the JSON form into `out`; false with `error` set when the text is beyond
// kJsonFormLimits or is not JSON.
bool parseJsonForm(std::string_view text, Json& out, std::string& error);

// The document in the JSON form. With `imageFolder`, every picture (user images and the
// underlay) is also written there as a BMP file and its entry carries "bmp"; a picture that
// cannot be written makes the call fail with `error` set.
bool documentToJson(const Document& doc, Json& out, std::string& error,
                    const std::string& imageFolder = "");

// Fills `doc` (a fresh document) from the JSON form. Missing fields keep their defaults. On a
// form it cannot accept it returns false with `error` naming the field ("lines[2].vx: ...").
bool documentFromJson(const Json& form, Document& doc, std::string& error);

// CRC-32 (as zlib computes it) of an image's pixel bytes, as 8 lowercase hex digits.
std::string pixelCrc(const void* data, size_t size);

}  // namespace tovala::cli
