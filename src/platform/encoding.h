#pragma once
// Shift-JIS (code page 932) to and from UTF-8. Stored texts, object names, font face names and
// script files keep their Shift-JIS bytes; front ends convert only when showing or taking text.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tovala {

// Undecodable bytes become U+FFFD; the conversion never fails.
std::string sjisToUtf8(std::span<const uint8_t> sjis);
inline std::string sjisToUtf8(std::string_view sjis) {
  return sjisToUtf8(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(sjis.data()), sjis.size()));
}
// Characters without a Shift-JIS form become '?'.
std::vector<uint8_t> utf8ToSjis(std::string_view utf8);

// True for a byte that starts a two-byte Shift-JIS character.
constexpr bool isSjisLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

}  // namespace tovala
