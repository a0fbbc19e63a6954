#include "motion.h"

#include "common/random.h"
#include "common/wobble.h"
#include "metaballs/metaballs.h"

void seekMotion(int64_t frames) {
    resetRandom();
    prepareMetaballs();
    wobbleAngle = -1.0f;
    for (int64_t i = 0; i < frames; ++i) {
        moveBalls();
        wobbleAngle += 0.01f;
    }
}
