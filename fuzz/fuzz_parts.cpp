// The parts reader must refuse any byte string it cannot read in full, leaving the document as
// it was; a merge it accepts must keep the document's invariants (sentinel line last, one order
// entry per line) and leave a document that saves and reads back the same, and that can be
// drawn, posed and run (fuzz_exercise.h).

#include <cstdlib>

#include "fuzz_exercise.h"
#include "fuzz_input.h"
#include "model/document.h"
#include "model/parts_file.h"
#include "model/project_file.h"

namespace {

// A small document with two lines to merge into, built once and copied for every input.
const tovala::Document& target() {
  static const tovala::Document* doc = [] {
    auto* d = newSmallDocument(8);
    for (int i = 0; i < 2; ++i) {
      tovala::LineRecord l = d->makeDefaultLine();
      l.nam = 10001 + i;
      l.points.insert(l.points.begin(), tovala::Document::makeDefaultPoint());
      d->lines.insert(d->lines.end() - 1, l);
      d->lineOrder.push_back(i + 1);
    }
    return d;
  }();
  return *doc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> payload;
  if (!fuzzPayload(data, size, payload)) return 0;
  tovala::Document doc = target();
  const std::vector<uint8_t> before = tovala::writeProjectPayload(doc);
  if (!tovala::mergePartsPayload(doc, payload)) {
    if (tovala::writeProjectPayload(doc) != before) std::abort();
    return 0;
  }
  if (doc.lineOrder.size() != doc.lines.size() || doc.lines.back().points.size() != 1) std::abort();
  const std::vector<uint8_t> written = tovala::writeProjectPayload(doc);
  tovala::Document back = target();
  if (!tovala::readProjectPayload(back, written)) std::abort();
  // Compared as bytes: merged floats may be NaN, which never compare equal.
  if (tovala::writeProjectPayload(back) != written) std::abort();
  exerciseDocument(doc);
  return 0;
}
