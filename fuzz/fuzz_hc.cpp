// The HC decoder must refuse or decode any byte string without touching memory outside its
// buffers; whatever it decodes must cover the stored length, stay within the slack, and encode
// and decode again to the same payload.

#include <cstdlib>

#include "model/hc_container.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out;
  const std::span<const uint8_t> file(data, size);
  if (tovala::decodeHc(file, out) != tovala::HcStatus::Ok) {
    if (!out.empty()) std::abort();
    return 0;
  }
  const size_t length = tovala::hcStoredLength(file);
  if (out.size() < length || out.size() > length + tovala::kHcDecodeSlack) std::abort();
  const std::vector<uint8_t> payload(out.begin(), out.begin() + long(length));
  const auto again = tovala::encodeHc(payload);
  std::vector<uint8_t> back;
  if (!again || tovala::decodeHc(*again, back) != tovala::HcStatus::Ok) std::abort();
  if (back.size() < length || !std::equal(payload.begin(), payload.end(), back.begin()))
    std::abort();
  return 0;
}
