#pragma once
// "--figure N" of the commands that pose a document (pose, pose-save, animate): which figure of
// a cast (engine/cast.h) they address, counted from 1 in index order.

#include <optional>
#include <string>

#include "cli/command.h"

namespace tovala {
class Document;
}

namespace tovala::cli {

struct FigureOption {
  bool given = false;
  // False when the value is not a whole number from 1 to kMaxPoseFigure (engine/pose.h).
  bool valid = true;
  int number = 0;  // from 1; 0 when not given
};

// Takes "--figure N" out of the arguments.
FigureOption takeFigureOption(Args& args);

// Whether the document has the figure the option names (always, when none is given); when it
// has not, says so on stderr ("COMMAND: --figure N: PATH holds M figure(s)").
bool documentHasFigure(const FigureOption& option, const Document& doc, const char* command,
                       const std::string& path);

// The figure's index among the document's figures, or -1 (the selected figure) when none is
// given.
inline int figureIndex(const FigureOption& option) { return option.given ? option.number - 1 : -1; }

}  // namespace tovala::cli
