#pragma once
// Line command programs: the compiled program each line may carry, run after every change of a
// joint or of the whole-model movement or rotation so that the rest of the figure follows.

#include <cstdint>

#include "script/script_engine.h"

namespace tovala {

class Document;

// Runs the programs once, each from its start with fresh locals: only line `line`'s program
// when point `point` of it is a joint point (kind 2000), otherwise every line's program in
// lineOrder. Lines without a program are skipped. Each run may execute `budget` instructions.
// In a cast (engine/cast.h) each program runs scoped to the figure holding its line, so every
// figure ends as it would alone. Returns how many runs stopped on an error (their messages were
// shown).
int runLinePrograms(Document& doc, int line, int point,
                    uint64_t budget = script::kInstructionBudget);
// The same for the document's selection (curLine, curPoint).
int runLinePrograms(Document& doc);

// Installs runLinePrograms as the engine's motion runner, each run with `budget` instructions.
// The editor and tovala-cli call this once at start.
void installScriptHooks(uint64_t budget = script::kInstructionBudget);

}  // namespace tovala
