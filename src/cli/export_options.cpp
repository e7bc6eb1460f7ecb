#include "cli/export_options.h"

#include <charconv>
#include <cstdio>

#include "codec/picture.h"
#include "export/animation_export.h"

namespace tovala::cli {

namespace {

bool parseSize(const std::string& text, int32_t& width, int32_t& height) {
  const size_t x = text.find_first_of("xX");
  return x != std::string::npos &&
         parseWholeNumber(std::string_view(text).substr(0, x), 1, kMaxPictureSide, width) &&
         parseWholeNumber(std::string_view(text).substr(x + 1), 1, kMaxPictureSide, height);
}

bool parseScale(const std::string& text, double& scale) {
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || !(v >= kMinExportScale) ||
      !(v <= kMaxExportScale))
    return false;
  scale = v;
  return true;
}

// "#RRGGBB" as the 0x00BBGGRR colour.
bool parseColour(const std::string& text, uint32_t& colour) {
  if (text.size() != 7 || text[0] != '#') return false;
  uint32_t rgb = 0;
  const auto [end, ec] = std::from_chars(text.data() + 1, text.data() + 7, rgb, 16);
  if (ec != std::errc() || end != text.data() + 7) return false;
  colour = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
  return true;
}

bool fault(const char* command, const char* text) {
  std::fprintf(stderr, "%s: %s\n", command, text);
  return false;
}

}  // namespace

bool parseWholeNumber(std::string_view text, int lo, int hi, int& out) {
  int v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || v < lo || v > hi) return false;
  out = v;
  return true;
}

bool takePictureOptions(Args& args, const char* command, PictureChoice& out) {
  const auto scale = args.option("--scale");
  const auto size = args.option("--size");
  const auto view = args.option("--view");
  const auto background = args.option("--background");
  out.look.bones = args.flag("--bones");
  if (scale && size) return fault(command, "give --scale or --size, not both");
  if (scale && !parseScale(*scale, out.scale))
    return fault(command, "--scale takes a number from 0.25 to 8");
  if (size && !parseSize(*size, out.width, out.height))
    return fault(command, "--size takes WIDTHxHEIGHT, for example 500x600");
  if (view) {
    if (*view == "line")
      out.look.view = ExportView::Line;
    else if (*view == "object")
      out.look.view = ExportView::Object;
    else
      return fault(command, "--view takes line or object");
  }
  if (background) {
    uint32_t colour = 0;
    if (*background == "transparent")
      out.look.transparent = true;
    else if (parseColour(*background, colour))
      out.look.background = colour;
    else
      return fault(command, "--background takes transparent or a colour #RRGGBB");
  }
  return true;
}

}  // namespace tovala::cli
