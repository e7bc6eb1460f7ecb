// The JPEG reader must refuse or read any byte string without touching memory outside buffers
// or ending the program, and what it reads must be a whole picture of the size it claims.

#include <cstdlib>

#include "codec/jpeg_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tovala::ImageSlot slot;
  if (!tovala::decodeJpeg(std::span<const uint8_t>(data, size), slot)) {
    if (slot.present || !slot.pixels.empty()) std::abort();  // a refusal leaves nothing
    return 0;
  }
  if (slot.width <= 0 || slot.height <= 0 ||
      slot.pixels.size() != size_t(slot.stride) * size_t(slot.height))
    std::abort();
  return 0;
}
