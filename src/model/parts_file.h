#pragma once
// Parts files (".tovp"): the selected lines of a document and all of its objects, stored in the
// HC container, for merging into another document.
//
// A merge appends the stored lines behind the document's lines (the sentinel line stays last),
// rewrites the line references they and the objects hold, and adds the objects whose lines all
// came along. The whole file is read and checked before the document changes; a refused file
// shows "ファイルの読込みに失敗しました。" and leaves the document exactly as it was.
//
// Like loadProject, the merge does not draw: the caller rebuilds the layers and the selected
// layer afterwards.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tovala {

class Document;

inline constexpr int32_t kPartsMagic = 1001;
inline constexpr const char* kPartsExtension = "tovp";
inline constexpr const char* kPartsFilter = "TOVパーツファイル|*.tovp||";

// The parts payload of the document's lines whose `sel` is 1.
std::vector<uint8_t> writePartsPayload(const Document& doc);

// Merges a parts payload into the document; false (document unchanged) for a payload that is
// cut short or whose counts exceed what it holds.
bool mergePartsPayload(Document& doc, std::span<const uint8_t> payload);

// Atomic save; "ファイルの書出しに失敗しました。" (caption "エラー") on failure.
bool saveParts(const Document& doc, const std::string& path, bool compressed);
// Reads and merges a parts file; on failure the container's message, if any, then
// "ファイルの読込みに失敗しました。" (caption "エラー").
bool loadParts(Document& doc, const std::string& path, bool compressed);

}  // namespace tovala
