// The PNG reader must refuse or read any byte string without touching memory outside buffers,
// and whatever it reads must write back as a PNG it reads again the same. Chunk checksums are
// made right before reading, so that mutations reach the chunks' contents instead of all
// failing the checksum (refusing bad checksums is covered by the unit tests).

#include <array>
#include <cstdlib>
#include <vector>

#include "codec/png_file.h"

namespace {

uint32_t crc32(const uint8_t* p, size_t n) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320 ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFF;
  for (size_t i = 0; i < n; ++i) c = table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
  return ~c;
}

void fixChecksums(std::vector<uint8_t>& file) {
  size_t at = 8;
  while (at + 12 <= file.size()) {
    const uint64_t length = (uint64_t(file[at]) << 24) | (uint64_t(file[at + 1]) << 16) |
                            (uint64_t(file[at + 2]) << 8) | uint64_t(file[at + 3]);
    if (length > file.size() - at - 12) return;
    const size_t end = at + 8 + size_t(length);
    const uint32_t crc = crc32(file.data() + at + 4, size_t(length) + 4);
    for (int i = 0; i < 4; ++i) file[end + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
    at = end + 4;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> file(data, data + size);
  fixChecksums(file);
  tovala::ImageSlot slot;
  if (!tovala::decodePng(file, slot)) {
    if (slot.present || !slot.pixels.empty()) std::abort();  // a refusal leaves nothing
    return 0;
  }
  if (slot.pixels.size() != size_t(slot.stride) * size_t(slot.height)) std::abort();
  tovala::ImageSlot back;
  if (!tovala::decodePng(tovala::encodePng(slot), back) || back.pixels != slot.pixels) std::abort();
  return 0;
}
