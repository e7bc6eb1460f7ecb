#pragma once
// Cutting Shift-JIS text to a byte budget without splitting a two-byte character.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/encoding.h"

namespace tovala {

// The length of the longest prefix of `sjis` within `limit` bytes that ends between characters.
inline size_t sjisPrefixBytes(const std::vector<uint8_t>& sjis, size_t limit) {
  size_t n = 0;
  while (n < sjis.size()) {
    const size_t width = isSjisLeadByte(sjis[n]) && n + 1 < sjis.size() ? 2 : 1;
    if (n + width > limit) break;
    n += width;
  }
  return n;
}

}  // namespace tovala
