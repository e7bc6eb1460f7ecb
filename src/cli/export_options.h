#pragma once
// The options export and animate share: the picture's size, the view, the bones and the
// background.

#include <cstdint>
#include <string>

#include "cli/command.h"
#include "export/figure_drawing.h"

namespace tovala::cli {

struct PictureChoice {
  int32_t width = 0, height = 0;  // --size, fitted to the canvas's aspect once it is known
  double scale = 1.0;             // --scale
  FigureLook look;
};

// Takes --scale S, --size WxH, --view line|object, --bones and --background
// transparent|#RRGGBB from `args`. False, after printing why on stderr as "COMMAND: ...", when
// one is malformed or --scale and --size are both given.
bool takePictureOptions(Args& args, const char* command, PictureChoice& out);

// A whole decimal number within lo .. hi, nothing else.
bool parseWholeNumber(std::string_view text, int lo, int hi, int& out);

}  // namespace tovala::cli
