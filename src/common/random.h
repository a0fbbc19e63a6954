// The one process-wide pseudo-random generator. Its state starts at 1 and is never reseeded,
// so the balls' start positions and the flicker repeat exactly from run to run.
#pragma once
#include <cstdint>

int32_t nextRandom();

// Tests and tools that replay the show from its start put the generator back to seed 1.
void resetRandom();
