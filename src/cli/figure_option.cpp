#include "cli/figure_option.h"

#include <charconv>
#include <cstdio>

#include "engine/cast.h"
#include "engine/pose.h"
#include "model/document.h"

namespace tovala::cli {

FigureOption takeFigureOption(Args& args) {
  FigureOption out;
  const std::optional<std::string> text = args.option("--figure");
  if (!text) return out;
  out.given = true;
  int v = 0;
  const char* end = text->data() + text->size();
  const auto [at, ec] = std::from_chars(text->data(), end, v);
  out.valid = ec == std::errc() && at == end && v >= 1 && v <= kMaxPoseFigure;
  out.number = out.valid ? v : 0;
  return out;
}

bool documentHasFigure(const FigureOption& option, const Document& doc, const char* command,
                       const std::string& path) {
  if (!option.given) return true;
  const size_t figures = findFigures(doc).size();
  if (size_t(option.number) <= figures) return true;
  std::fprintf(stderr, "%s: --figure %d: %s holds %zu figure%s\n", command, option.number,
               path.c_str(), figures, figures == 1 ? "" : "s");
  return false;
}

}  // namespace tovala::cli
