// load-json's reader on arbitrary text: anything it refuses names a field; a document it accepts
// saves as a project that reads back, dumps to a form that loads to the same document, and can
// be drawn, posed and run (fuzz_exercise.h).
//
// Forms that name BMP files are skipped (the reader would open whatever path they give), and so
// are canvases and pictures above 256 x 256: valid, but they would only make the fuzzer slow.

#include <cstdlib>
#include <string>
#include <string_view>

#include "cli/json_form.h"
#include "fuzz_exercise.h"
#include "model/document.h"
#include "model/project_file.h"

namespace {

using tovala::cli::Json;

constexpr double kLargestArea = 256 * 256;

// False when the entry asks for more than the fuzzer should make: a BMP file or a large size.
bool modest(const Json& j, const char* width, const char* height) {
  if (!j.is_object()) return true;
  if (j.contains("bmp")) return false;
  if (!j.contains(width) || !j.contains(height)) return true;
  const Json& w = j[width];
  const Json& h = j[height];
  if (!w.is_number() || !h.is_number()) return true;
  return std::abs(w.get<double>() * h.get<double>()) <= kLargestArea;
}

bool modestForm(const Json& form) {
  if (!form.is_object() || !modest(form, "imageWidth", "imageHeight")) return false;
  if (form.contains("underlay") && !modest(form["underlay"], "width", "height")) return false;
  if (form.contains("userImages") && form["userImages"].is_array()) {
    const Json& images = form["userImages"];
    if (images.size() > 16) return false;
    for (const Json& e : images)
      if (!modest(e, "width", "height")) return false;
  }
  return true;
}

// A fresh document on a small canvas, copied for every input (a new Document would allocate
// the full default canvas each time); a form without a canvas size keeps this one.
const tovala::Document& fresh() {
  static const tovala::Document* doc = newSmallDocument(16);
  return *doc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Json form;
  std::string error;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!tovala::cli::parseJsonForm(text, form, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (!modestForm(form)) return 0;
  tovala::Document doc = fresh();
  if (!tovala::cli::documentFromJson(form, doc, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  // The project reader sets every line's sel to 1, so what is read back saves the same from
  // then on. Compared as bytes: floats may be NaN, which never compare equal.
  const std::vector<uint8_t> written = tovala::writeProjectPayload(doc);
  tovala::Document back = fresh();
  if (!tovala::readProjectPayload(back, written)) std::abort();
  const std::vector<uint8_t> settled = tovala::writeProjectPayload(back);
  if (!tovala::readProjectPayload(back, settled)) std::abort();
  if (tovala::writeProjectPayload(back) != settled) std::abort();

  Json again;
  if (!tovala::cli::documentToJson(doc, again, error)) std::abort();
  tovala::Document third = fresh();
  if (!tovala::cli::documentFromJson(again, third, error)) std::abort();
  if (tovala::writeProjectPayload(third) != written) std::abort();

  exerciseDocument(doc);
  return 0;
}
