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

// One corner of the cell being polygonized: where it sits and the field value there.
struct CellCorner {
    Vector3 position;
    float value;
};

// Scratch of the last polygonizeCell call. Entries of edgeVertices are rewritten only for cut
// edges; the others keep whatever an earlier cell left there.
extern CellCorner cellCorners[8];
extern Vector3 edgeVertices[12];
extern uint8_t cubeIndex; // bit i set when corner i lies below isoLevel

// Lattice offsets (ox, oy, oz) of the eight cell corners, and the two corners each edge joins.
extern const int8_t cornerOffsets[8][3];
extern const int8_t edgeCorners[12][2];

extern const uint16_t edgeTable[256];  // bit k: edge k is cut in that corner case
extern const int8_t triTable[256][16]; // edge triples, ended by -1

// Corner position in model units of corner i of cell (x, y, z) for a geometry.
Vector3 cornerPosition(int x, int y, int z, int corner, Geometry geometry);
void polygonizeCell(int x, int y, int z, Geometry geometry);
void interpolateEdge(int32_t level, CellCorner first, CellCorner second, int k);
