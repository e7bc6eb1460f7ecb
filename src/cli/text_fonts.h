#pragma once
// Characters of text lines for the commands that draw. The tool itself links no Qt, so that
// every command starts quickly; the fonts come from a small module next to the executable,
// loaded the first time a project with text lines is drawn.

#include <memory>

#include "platform/text_painter.h"

namespace tovala {
struct Document;
}

namespace tovala::cli {

// The file name of the font module, looked for in the executable's own folder.
inline constexpr const char* kTextModuleName = "tovala-cli-text.so";
// The factory the module exports: starts an offscreen Qt application (unless one runs) and
// returns a painter that owns it, or null when Qt cannot start.
inline constexpr const char* kTextModuleFactory = "tovala_cli_text_painter";
using TextModuleFactory = TextPainter* (*)();

// A painter for the document's text lines, or null when it has none. When the module cannot be
// loaded, says so once on stderr (prefixed with `command`) and returns null: the lines' strokes
// are still drawn, their characters are not.
std::unique_ptr<TextPainter> textPainterFor(const Document& doc, const char* command);

}  // namespace tovala::cli
