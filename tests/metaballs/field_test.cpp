#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "common/random.h"
#include "common/wobble.h"
#include "metaballs/metaballs.h"
#include "oracle.h"

namespace {
int at(int x, int y, int z) {
    return x * 576 + y * 24 + z;
}

void placeAll(float x, float y, float z) {
    for (Ball& b : balls)
        b = Ball{Vector3(x, y, z), Vector3(-1, -1, -1)};
}
} // namespace

TEST(MetaballPreparation, BallsStartAtTheSeedOnePositionsAfterExactlyFortyEightDraws) {
    resetRandom();
    for (int i = 0; i < 48; ++i)
        nextRandom();
    const int32_t fortyNinth = nextRandom();

    resetRandom();
    prepareMetaballs();
    metaVerts[123] = 77;
    metaVertCount = 9;
    resetRandom();
    prepareMetaballs(); // a second preparation starts the store over as well
    EXPECT_EQ(metaVerts[123], 0);
    EXPECT_EQ(metaVertCount, 0);

    const float start[8][3] = {{9, 15, 12}, {16, 16, 10}, {9, 15, 9},   {15, 14, 9},
                               {10, 10, 9}, {15, 14, 9},  {15, 17, 13}, {10, 11, 11}};
    for (int b = 0; b < 8; ++b) {
        SCOPED_TRACE(b);
        EXPECT_EQ(balls[b].position.x, start[b][0]);
        EXPECT_EQ(balls[b].position.y, start[b][1]);
        EXPECT_EQ(balls[b].position.z, start[b][2]);
        EXPECT_EQ(balls[b].velocity.x, -1.0f);
        EXPECT_EQ(balls[b].velocity.y, -1.0f);
        EXPECT_EQ(balls[b].velocity.z, -1.0f);
    }
    EXPECT_EQ(nextRandom(), fortyNinth);
}

TEST(MetaballField, DifferencesAreTruncatedTowardZeroNotFloored) {
    // The contribution of ball 0 alone is the field with it minus the field without it.
    placeAll(11, 13, 12);
    balls[0].position = Vector3(500, 500, 500); // far enough to add nothing
    computeField();
    static int32_t without[24 * 24 * 24];
    memcpy(without, fieldGrid, sizeof without);
    balls[0].position = Vector3(12.7f, 5, 5);
    computeField();
    auto contribution = [&](int x) { return fieldGrid[at(x, 5, 5)] - without[at(x, 5, 5)]; };
    EXPECT_EQ(contribution(10), 1024); // 10 − 12.7 → −2
    EXPECT_EQ(contribution(15), 1024); // 15 − 12.7 → 2
    EXPECT_EQ(contribution(12), 4096); // −0.7 → 0, taken as d² = 1
    EXPECT_EQ(contribution(13), 4096); // 0.3 → 0
    EXPECT_EQ(contribution(11), 4096); // −1.7 → −1
    EXPECT_EQ(contribution(9), 455);   // −3.7 → −3 (floor would give 256)
    EXPECT_EQ(contribution(16), 455);  // 3.3 → 3
    EXPECT_EQ(contribution(0), 4096 / (12 * 12));
}

TEST(MetaballField, CoincidentBallsReachTheLargestSampleWithoutWrapping) {
    placeAll(10, 10, 10);
    for (int i = 0; i < 24 * 24 * 24; ++i)
        cellDone[i] = 1;
    computeField();
    EXPECT_EQ(fieldGrid[at(10, 10, 10)], 1 + 8 * 4096);
    EXPECT_EQ(fieldGrid[at(11, 10, 10)], 1 + 8 * 4096); // d² = 1
    EXPECT_EQ(fieldGrid[at(12, 10, 10)], 1 + 8 * 1024); // d² = 4: one isoLevel per ball
    EXPECT_EQ(fieldGrid[at(23, 23, 23)], 1 + 8 * (4096 / (3 * 169)));
    for (int i = 0; i < 24 * 24 * 24; ++i)
        ASSERT_EQ(cellDone[i], 0) << i;
}

// Balls anywhere, on whole and fractional coordinates, inside and outside the lattice: the
// field must equal the plain per-sample sum.
TEST(MetaballField, EqualsThePlainSumForBallsAnywhere) {
    uint32_t seed = 12345;
    auto next = [&]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    static int32_t expected[24 * 24 * 24];
    for (int trial = 0; trial < 400; ++trial) {
        for (Ball& b : balls) {
            float c[3];
            for (float& v : c) {
                switch (next() % 4) {
                case 0:
                    v = float(int(next() % 24));
                    break; // on a lattice plane
                case 1:
                    v = float(next() % 2400) / 100.0f;
                    break; // inside, fractional
                case 2:
                    v = float(int(next() % 80) - 30) / 1.5f;
                    break; // around and beyond
                default:
                    v = 8.0f + float(next() % 1000) / 100.0f;
                    break;
                }
            }
            b.position = Vector3(c[0], c[1], c[2]);
        }
        oracleComputeField();
        memcpy(expected, fieldGrid, sizeof expected);
        computeField();
        ASSERT_EQ(memcmp(expected, fieldGrid, sizeof expected), 0) << "trial " << trial;
    }
}

TEST(BallMotion, OnlyACoordinateStrictlyBeyondAWallBounces) {
    placeAll(12, 12, 12);
    wobbleAngle = 0.0f; // sin 0 = 0: y moves by vy alone
    balls[0] = Ball{Vector3(17, 17, 9), Vector3(1, 1, -1)};
    moveBalls();
    EXPECT_EQ(balls[0].position.x, 18.0f);
    EXPECT_EQ(balls[0].position.y, 18.0f);
    EXPECT_EQ(balls[0].position.z, 8.0f);
    EXPECT_EQ(balls[0].velocity.x, 1.0f); // exactly on the wall: no bounce yet
    EXPECT_EQ(balls[0].velocity.y, 1.0f);
    EXPECT_EQ(balls[0].velocity.z, -1.0f);
    moveBalls();
    EXPECT_EQ(balls[0].position.x, 18.0f);
    EXPECT_EQ(balls[0].position.z, 8.0f);
    EXPECT_EQ(balls[0].velocity.x, -1.0f);
    EXPECT_EQ(balls[0].velocity.y, -1.0f);
    EXPECT_EQ(balls[0].velocity.z, 1.0f);
}

TEST(BallMotion, TheSineTermMovesYButNeverChangesVy) {
    placeAll(12, 12, 12);
    wobbleAngle = std::asin(-0.9f);
    balls[2] = Ball{Vector3(12, 17.5f, 12), Vector3(1, 1, 1)};
    balls[3] = Ball{Vector3(12, 12, 12), Vector3(1, 1, 1)};
    moveBalls();
    EXPECT_EQ(balls[2].position.y, 18.0f); // 17.5 + (1 + 0.9) = 19.4
    EXPECT_EQ(balls[2].velocity.y, -1.0f);
    EXPECT_NEAR(balls[3].position.y, 13.9f, 1e-5);
    EXPECT_EQ(balls[3].velocity.y, 1.0f);
    // The sum is formed in double and only then rounded to float.
    const double s = std::sin(double(wobbleAngle));
    EXPECT_EQ(balls[3].position.y, float(12.0 + (1.0 - s)));
}

TEST(BallMotion, ALongRunKeepsEveryBallInsideTheBox) {
    resetRandom();
    prepareMetaballs();
    wobbleAngle = -1.0f;
    for (int frame = 0; frame < 20000; ++frame) {
        moveBalls();
        wobbleAngle += 0.01f;
        for (const Ball& b : balls) {
            for (float c : {b.position.x, b.position.y, b.position.z}) {
                ASSERT_GE(c, 8.0f) << "frame " << frame;
                ASSERT_LE(c, 18.0f) << "frame " << frame;
            }
            for (float v : {b.velocity.x, b.velocity.y, b.velocity.z})
                ASSERT_EQ(std::fabs(v), 1.0f);
            ASSERT_EQ(b.position.x, std::trunc(b.position.x)); // x and z step by whole units
            ASSERT_EQ(b.position.z, std::trunc(b.position.z));
        }
        ASSERT_EQ(memcmp(&balls[3], &balls[5], sizeof(Ball)), 0) << "frame " << frame;
    }
}
