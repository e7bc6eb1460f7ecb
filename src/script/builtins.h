#pragma once
// The 23 built-in mathematical functions, indexed by the low half of their instruction code
// (0x201xxxx). Slots 0 and 1 are the parentheses and have no routine.

#include <cstdint>

namespace tovala::script {

// Arguments of the built-in at `index`, or -1 for an empty slot or an index past the table.
int builtinArgCount(uint32_t index);
// Calls the built-in at `index` (one-argument functions ignore y). An empty slot yields 0.
float callBuiltinRoutine(uint32_t index, float x, float y);

// "rand" draws from one generator for the whole run, never seeded, so every start sees the
// same sequence. Tests put it back to its first value.
void resetRandomSequence();

// The calling thread's place in the "rand" sequence, for a run that must leave it as it was (an
// export's frames), and a place to start from.
uint32_t randomSequenceState();
void setRandomSequenceState(uint32_t state);

}  // namespace tovala::script
