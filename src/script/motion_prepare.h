#pragma once
// Getting a figure ready to be posed: every point back on its reference, then the whole-model
// values and every joint's own movement and rotation applied once, and one still drag at the
// canvas origin so the line command programs bring everything that depends on them into step.
// Motion mode runs this when it is entered; tovala-cli's `pose` runs it on a file.

#include <cstdint>

#include "script/script_engine.h"

namespace tovala {

class Document;

// Installs the script layer's line-program runner first (the final drag needs it), each run
// with `budget` instructions. The pose the current motion values describe is the result; the
// selection changes only when a joint point sits at the canvas origin, which the press picks.
void prepareMotion(Document& doc, uint64_t budget = script::kInstructionBudget);

}  // namespace tovala
