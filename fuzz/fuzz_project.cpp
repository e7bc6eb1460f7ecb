// The project reader must refuse any byte string it cannot read in full, leaving the document
// as it was, and whatever it accepts must write back to a payload that reads back the same.
// Inputs starting with "HC" go through the container first, as a user's open does. A copy of
// every accepted document is then drawn, posed and run (fuzz_exercise.h).

#include <cstdlib>

#include "fuzz_exercise.h"
#include "fuzz_input.h"
#include "model/document.h"
#include "model/project_file.h"

namespace {

// Reading applies the canvas size to every work image; large canvases are valid but would only
// make the fuzzer slow, so they are checked without being applied.
constexpr int64_t kLargestAppliedCanvas = 256 * 256;

tovala::Document& document() {
  static tovala::Document* doc = newSmallDocument(16);
  return *doc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> payload;
  if (!fuzzPayload(data, size, payload)) return 0;
  int32_t width = 0, height = 0;
  if (!tovala::inspectProjectPayload(payload, &width, &height)) return 0;
  if (int64_t(width) * height > kLargestAppliedCanvas) return 0;

  tovala::Document& doc = document();
  if (!tovala::readProjectPayload(doc, payload)) std::abort();  // inspected as readable
  const std::vector<uint8_t> written = tovala::writeProjectPayload(doc);
  if (!tovala::readProjectPayload(doc, written)) std::abort();
  if (tovala::writeProjectPayload(doc) != written) std::abort();
  // A cut copy is refused and changes nothing.
  const std::vector<uint8_t> now = tovala::writeProjectPayload(doc);
  if (tovala::readProjectPayload(doc, std::span(written.data(), written.size() - 1))) std::abort();
  if (tovala::writeProjectPayload(doc) != now) std::abort();
  tovala::Document copy = doc;
  exerciseDocument(copy);
  return 0;
}
