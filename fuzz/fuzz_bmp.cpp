// The BMP reader must refuse or read any byte string without touching memory outside buffers,
// and whatever it reads must write back as a file it reads again the same.

#include <cstdlib>

#include "codec/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tovala::ImageSlot slot;
  if (!tovala::decodeBmp(std::span<const uint8_t>(data, size), slot)) return 0;
  if (slot.pixels.size() != size_t(slot.stride) * size_t(slot.height)) std::abort();
  std::vector<uint8_t> again = tovala::encodeBmp(slot);
  tovala::ImageSlot back;
  if (!tovala::decodeBmp(again, back) || back.pixels != slot.pixels) std::abort();
  return 0;
}
