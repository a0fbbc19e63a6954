// The balls of the metaball effect at a chosen point of the show's motion, for benchmarks.
#pragma once
#include <cstdint>

// Puts the balls where they are after `frames` steps of the show's motion.
void seekMotion(int64_t frames);
