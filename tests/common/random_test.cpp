#include "common/random.h"

#include <gtest/gtest.h>

TEST(NextRandom, StartsFromSeedOneAndStaysInFifteenBits) {
    resetRandom();
    // state 1 → 1·214013 + 2531011 = 2745024, >> 16 = 41; the C library's rand() with seed 1.
    const int32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    for (int32_t e : expected)
        EXPECT_EQ(nextRandom(), e);
    for (int i = 0; i < 100000; ++i) {
        int32_t v = nextRandom();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
    resetRandom();
    EXPECT_EQ(nextRandom(), 41);
}
