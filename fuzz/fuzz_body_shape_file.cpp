// The body shape file reader on arbitrary text: it refuses with a reason and leaves the shape
// as it was, or accepts a shape within every range, which writes back to a text that reads as
// the same shape; any accepted shape builds a figure of the standard structure.

#include <cstdlib>
#include <string>
#include <string_view>

#include "model/document.h"
#include "script/body_model.h"
#include "script/body_shape_file.h"
#include "script/line_programs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  tovala::BodyShape shape;
  shape.heads = 3;  // not a default, so a refusal that wrote into it shows
  std::string reason;
  if (!tovala::bodyShapeFromJson(text, shape, reason)) {
    if (reason.empty() || shape.heads != 3) std::abort();
    return 0;
  }
  if (!tovala::bodyShapeFault(shape).empty()) std::abort();
  tovala::BodyShape again;
  if (!tovala::bodyShapeFromJson(tovala::bodyShapeToJson(shape), again, reason) ||
      !(again == shape))
    std::abort();
  static const bool hooks = (tovala::installScriptHooks(), true);
  (void)hooks;
  tovala::Document doc(tovala::Canvas::kNone);
  if (tovala::createBodyModel(doc, shape) != 1 || doc.lineCount() != 184) std::abort();
  return 0;
}
