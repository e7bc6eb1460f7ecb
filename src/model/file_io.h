#pragma once
// Whole-file reading and atomic writing. A write goes to a temporary file in the destination's
// folder and is renamed over it only when complete, so a failed save never harms the old file.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tovala {

// The file's bytes, or nothing when it is not a plain file or cannot be opened or read. Files
// larger than `maxBytes` are refused rather than read.
std::optional<std::vector<uint8_t>> readWholeFile(const std::string& path,
                                                  uint64_t maxBytes = uint64_t(1) << 31);

// Writes `data` to `path` atomically. Returns false (and leaves `path` untouched, with no
// temporary file left behind) on any failure.
bool writeFileAtomic(const std::string& path, std::span<const uint8_t> data);

// The extension after the last '.', without the dot ("" when none).
std::string fileExtension(const std::string& path);

}  // namespace tovala
