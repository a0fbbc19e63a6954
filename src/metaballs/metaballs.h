// The metaball effect: eight balls bouncing in a box, their integer field on a 24³ lattice,
// the marching-cubes surface of that field and its two draws.
#pragma once
#include <cstdint>

#include "common/types.h"

struct Ball {
    Vector3 position;
    Vector3 velocity; // each component always +1 or -1
};

constexpr int fieldSize = 24;
constexpr int32_t isoLevel = 1024;
constexpr int32_t metaVertCapacity = 50000; // integers; room for 16,666 whole vertices

extern Ball balls[8];
extern int32_t fieldGrid[fieldSize * fieldSize * fieldSize]; // index x·576 + y·24 + z
extern uint8_t cellDone[fieldSize * fieldSize * fieldSize];
extern int32_t* metaVerts; // allocated once by prepareMetaballs
extern int32_t metaVertCount;

enum class Geometry { Squashed, Cube };

void prepareMetaballs();
void computeField();
void moveBalls();

void polygonizeBalls(Geometry geometry);
void polygonizeRegion(int x0, int y0, int z0, int x1, int y1, int z1, Geometry geometry);

void drawMetaballsGlow(uint32_t texture, float alpha);
void drawMetaballsLit(uint32_t texture, float alpha);
