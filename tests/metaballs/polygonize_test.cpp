#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/random.h"
#include "common/wobble.h"
#include "metaballs/metaballs.h"
#include "oracle.h"

namespace {
constexpr int lattice = 24 * 24 * 24;
int at(int x, int y, int z) {
    return x * 576 + y * 24 + z;
}

std::vector<int> row(int index) {
    std::vector<int> out;
    for (int i = 0; i < 16 && triTable[index][i] != -1; ++i)
        out.push_back(triTable[index][i]);
    return out;
}

std::vector<int32_t> stored() {
    return std::vector<int32_t>(metaVerts, metaVerts + metaVertCount);
}

void fillField(int32_t value) {
    for (int i = 0; i < lattice; ++i)
        fieldGrid[i] = value;
    memset(cellDone, 0, sizeof cellDone);
}

bool containsVertex(const std::vector<int32_t>& v, int32_t x, int32_t y, int32_t z) {
    for (size_t i = 0; i + 2 < v.size(); i += 3)
        if (v[i] == x && v[i + 1] == y && v[i + 2] == z) return true;
    return false;
}

// Runs the reference sweep and the real one on the current field and cellDone flags and
// expects the same store, count and flags from both.
void expectSameSweep(Geometry geometry, const char* what) {
    static int32_t field[lattice];
    static uint8_t flags[lattice];
    memcpy(field, fieldGrid, sizeof field);
    memcpy(flags, cellDone, sizeof flags);
    oraclePolygonizeBalls(geometry);
    std::vector<int32_t> expected = stored();
    std::vector<uint8_t> expectedFlags(cellDone, cellDone + lattice);
    memcpy(cellDone, flags, sizeof flags);
    polygonizeBalls(geometry);
    ASSERT_EQ(stored(), expected) << what;
    ASSERT_EQ(std::vector<uint8_t>(cellDone, cellDone + lattice), expectedFlags) << what;
    ASSERT_EQ(memcmp(field, fieldGrid, sizeof field), 0) << what;
}
} // namespace

class Polygonizer : public ::testing::Test {
  protected:
    void SetUp() override {
        resetRandom();
        prepareMetaballs();
        wobbleAngle = -1.0f;
    }
};

TEST(MarchingTables, RowsMatchThePublishedCases) {
    EXPECT_EQ(edgeTable[1], 0x109);
    EXPECT_EQ(edgeTable[0], 0);
    EXPECT_EQ(edgeTable[255], 0);
    EXPECT_EQ(row(1), (std::vector<int>{0, 8, 3}));
    EXPECT_EQ(row(3), (std::vector<int>{1, 8, 3, 9, 8, 1}));
    EXPECT_EQ(row(23), (std::vector<int>{2, 10, 9, 2, 9, 7, 2, 7, 3, 7, 9, 4}));
    EXPECT_EQ(row(254), (std::vector<int>{0, 3, 8}));
    EXPECT_EQ(row(16), (std::vector<int>{4, 7, 8}));
    EXPECT_TRUE(row(0).empty());
    EXPECT_TRUE(row(255).empty());
}

TEST(MarchingTables, EveryCaseCutsExactlyTheEdgesWhoseCornersDiffer) {
    // Corner pairs of the twelve edges, written out independently of the code's own table.
    const int ends[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                             {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    int triangles = 0;
    for (int index = 0; index < 256; ++index) {
        SCOPED_TRACE(index);
        int expected = 0;
        for (int k = 0; k < 12; ++k)
            if (((index >> ends[k][0]) ^ (index >> ends[k][1])) & 1) expected |= 1 << k;
        EXPECT_EQ(edgeTable[index], expected);
        std::vector<int> r = row(index);
        EXPECT_EQ(r.size() % 3, 0u);
        EXPECT_LE(r.size(), 15u);
        for (int e : r)
            EXPECT_TRUE(edgeTable[index] & (1 << e)) << "edge " << e;
        for (size_t i = r.size(); i < 16; ++i)
            EXPECT_EQ(triTable[index][i], -1);
        triangles += int(r.size() / 3);
    }
    EXPECT_EQ(triangles, 820);
}

TEST_F(Polygonizer, LoneLowCornerGivesOneTriangleOnEdgesFourSevenEight) {
    fillField(2000);
    fieldGrid[at(0, 0, 0)] = 0; // corner 4 of cell (0, 0, 0), and of no other cell
    polygonizeCell(0, 0, 0, Geometry::Cube);
    EXPECT_EQ(cubeIndex, 16);
    polygonizeRegion(0, 0, 0, 0, 0, 0, Geometry::Cube);
    // mu = 1024 / 2000 along edge 4 and 8, 976 / 2000 back along edge 7: 16.384 → 16.
    EXPECT_EQ(stored(), (std::vector<int32_t>{16, 0, 0, 0, 0, 16, 0, 16, 0}));

    // A value of exactly isoLevel counts as inside: nothing is cut.
    fillField(2000);
    fieldGrid[at(0, 0, 0)] = isoLevel;
    metaVertCount = 0;
    polygonizeRegion(0, 0, 0, 0, 0, 0, Geometry::Cube);
    EXPECT_EQ(metaVertCount, 0);
    for (int z = 0; z < 23; ++z)
        EXPECT_EQ(cellDone[at(22, 22, z)], 1); // yet every cell is marked
}

TEST_F(Polygonizer, MidpointCrossingInCubeGeometryIsStoredAsExactIntegers) {
    fillField(2048);
    fieldGrid[at(3, 4, 4)] = 0; // corner 1 of cell (2, 3, 4); corner 5 holds 2048: mu = 0.5
    polygonizeCell(2, 3, 4, Geometry::Cube);
    EXPECT_EQ(cubeIndex, 2);
    EXPECT_EQ(edgeVertices[9].x, 96.0f);
    EXPECT_EQ(edgeVertices[9].y, 112.0f);
    EXPECT_EQ(edgeVertices[9].z, 128.0f);
    metaVertCount = 0;
    polygonizeBalls(Geometry::Cube);
    std::vector<int32_t> v = stored();
    EXPECT_EQ(v.size(), 8u * 3 * 3); // the eight cells round the low point, one triangle each
    EXPECT_TRUE(containsVertex(v, 96, 112, 128));
}

TEST_F(Polygonizer, CrossingFractionIsKeptInDoublePrecision) {
    // 1 against 32,738: mu = 1023 / 32737, a hair below 1/32. In double the crossing stays
    // below 513 and truncates to 512; a mu rounded to float would land on 1/32 and give 513.
    fillField(2000);
    fieldGrid[at(16, 5, 5)] = 1;
    fieldGrid[at(17, 5, 5)] = 32738;
    polygonizeBalls(Geometry::Cube);
    std::vector<int32_t> v = stored();
    int onEdge = 0;
    for (size_t i = 0; i < v.size(); i += 3)
        if (v[i + 1] == 160 && v[i + 2] == 160 && v[i] > 500) {
            EXPECT_EQ(v[i], 512);
            ++onEdge;
        }
    EXPECT_EQ(onEdge, 4); // the edge is shared by four cells, each emitting its crossing

    // The crossing is stored as float before it is truncated: on edge 4 of a squashed cell at
    // z = 17, 3 against 16,834 gives Z = 1088 − 544 · 1021/16831 = 1054.99994, which rounds to
    // the float 1055; truncating the double directly would give 1054.
    fillField(2000);
    fieldGrid[at(3, 5, 17)] = 3;
    fieldGrid[at(4, 5, 17)] = 16834;
    metaVertCount = 0;
    polygonizeBalls(Geometry::Squashed);
    v = stored();
    int deep = 0;
    for (size_t i = 0; i < v.size(); i += 3)
        if (v[i] == 97 && v[i + 2] >= 1054 && v[i + 2] <= 1055) {
            EXPECT_EQ(v[i + 2], 1055);
            ++deep;
        }
    EXPECT_EQ(deep, 2); // edge 4 of cell (3, 5, 17) and edge 0 of cell (3, 4, 17)
}

TEST_F(Polygonizer, SquashedEdgeEightLiesAtTwiceTheCellDepth) {
    fillField(2000);
    fieldGrid[at(2, 3, 5)] = 0; // corner 4 of cell (2, 3, 5); corner 0 above it holds 2000
    polygonizeCell(2, 3, 5, Geometry::Squashed);
    EXPECT_EQ(edgeVertices[8].x, 64.0f);
    EXPECT_EQ(edgeVertices[8].z, 320.0f);
    EXPECT_GT(edgeVertices[8].y, 24.0f);
    EXPECT_LT(edgeVertices[8].y, 56.0f);
    polygonizeBalls(Geometry::Squashed);
    EXPECT_TRUE(containsVertex(stored(), 64, 40, 320)); // 56 − 0.488 · 32 = 40.384
}

TEST_F(Polygonizer, BothGeometriesGiveTheSameNumberOfVertices) {
    for (int frame = 0; frame < 200; ++frame) {
        computeField();
        polygonizeBalls(Geometry::Squashed);
        const int32_t squashed = metaVertCount;
        computeField();
        polygonizeBalls(Geometry::Cube);
        ASSERT_EQ(metaVertCount, squashed) << "frame " << frame;
        ASSERT_GT(metaVertCount, 0);
        moveBalls();
        wobbleAngle += 0.01f;
    }
}

// A 3-D checkerboard cuts every cell four times over, far beyond the store.
TEST_F(Polygonizer, AFullStoreKeepsSixteenThousandSixHundredSixtySixVerticesAndStillMarks) {
    for (Geometry geometry : {Geometry::Cube, Geometry::Squashed}) {
        metaVerts[49998] = -5; // the two integers past the last whole vertex stay untouched
        metaVerts[49999] = -6;
        for (int x = 0; x < 24; ++x)
            for (int y = 0; y < 24; ++y)
                for (int z = 0; z < 24; ++z)
                    fieldGrid[at(x, y, z)] = (x + y + z) % 2 ? 2000 : 0;
        memset(cellDone, 0, sizeof cellDone);
        expectSameSweep(geometry, "checkerboard");
        EXPECT_EQ(metaVertCount, 16666 * 3); // 5,555 triangles and one vertex of the next
        EXPECT_EQ(metaVerts[49998], -5);
        EXPECT_EQ(metaVerts[49999], -6);
        for (int z = 0; z < 23; ++z)
            for (int y = 0; y < 23; ++y)
                for (int x = 0; x < 23; ++x)
                    ASSERT_EQ(cellDone[at(x, y, z)], 1);
    }
}

TEST_F(Polygonizer, CellsAlreadyMarkedDoneAreSkipped) {
    computeField();
    polygonizeBalls(Geometry::Cube);
    const int32_t full = metaVertCount;
    ASSERT_GT(full, 0);
    computeField();
    for (int i = 0; i < lattice; i += 3)
        cellDone[i] = 1;
    expectSameSweep(Geometry::Cube, "every third cell marked");
    EXPECT_LT(metaVertCount, full);
    computeField();
    memset(cellDone, 1, sizeof cellDone);
    polygonizeBalls(Geometry::Squashed);
    EXPECT_EQ(metaVertCount, 0);
}

// Balls far from the lattice give clamped regions that cover only part of it, and later regions
// overlap earlier ones partly.
TEST_F(Polygonizer, PartialAndOverlappingRegionsMatchThePlainSweep) {
    uint32_t seed = 99;
    auto next = [&]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int trial = 0; trial < 150; ++trial) {
        for (Ball& b : balls)
            b.position =
                Vector3(float(int(next() % 90) - 35) / 2.0f, float(int(next() % 90) - 35) / 2.0f,
                        float(int(next() % 90) - 35) / 2.0f);
        if (trial % 2) // some balls deep inside so that the surface has something to show
            for (int b = 0; b < 3; ++b)
                balls[b].position = Vector3(float(6 + next() % 12), float(6 + next() % 12),
                                            float(6 + next() % 12) + 0.5f);
        if (trial % 3 == 0) { // and far out, so that regions get cut by the ±30 margin
            balls[0].position.x = 40.5f;
            balls[1].position.z = -10.0f;
        }
        oracleComputeField();
        for (int i = 0; i < lattice; ++i)
            if (next() % 50 == 0) cellDone[i] = 1;
        ASSERT_NO_FATAL_FAILURE(
            expectSameSweep(trial % 2 ? Geometry::Cube : Geometry::Squashed, "random balls"));
    }
}

namespace {
// Ten thousand frames of the show's motion, the plain sweep against the real one.
void expectSameOverALongRun(Geometry geometry) {
    resetRandom();
    prepareMetaballs();
    wobbleAngle = -1.0f;
    static int32_t field[lattice];
    std::vector<int32_t> expected;
    for (int frame = 0; frame < 10000; ++frame) {
        oracleComputeField();
        memcpy(field, fieldGrid, sizeof field);
        oraclePolygonizeBalls(geometry);
        expected.assign(metaVerts, metaVerts + metaVertCount);

        computeField();
        ASSERT_EQ(memcmp(field, fieldGrid, sizeof field), 0) << "frame " << frame;
        polygonizeBalls(geometry);
        ASSERT_EQ(metaVertCount, int32_t(expected.size())) << "frame " << frame;
        ASSERT_EQ(memcmp(expected.data(), metaVerts, expected.size() * sizeof(int32_t)), 0)
            << "frame " << frame;
        for (int32_t i = 2; i < metaVertCount; i += 3)
            ASSERT_GE(metaVerts[i], 32);
        moveBalls();
        wobbleAngle += 0.01f;
    }
}
} // namespace

TEST(LongRun, SquashedSurfaceMatchesThePlainSweepByteForByte) {
    expectSameOverALongRun(Geometry::Squashed);
}

TEST(LongRun, CubeSurfaceMatchesThePlainSweepByteForByte) {
    expectSameOverALongRun(Geometry::Cube);
}
