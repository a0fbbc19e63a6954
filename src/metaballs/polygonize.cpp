// Marching cubes over the field. The sweep classifies the whole lattice at once with one bit
// per sample (below isoLevel or not), so only cells the surface actually cuts are visited one by
// one; their crossings use the same double arithmetic as interpolateEdge, so the stored integers
// are those of a cell-by-cell sweep.
#include "metaballs/metaballs.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

CellCorner cellCorners[8];
Vector3 edgeVertices[12];
uint8_t cubeIndex = 0;

const int8_t cornerOffsets[8][3] = {{0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1},
                                    {0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}};
const int8_t edgeCorners[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                   {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

namespace {
constexpr int N = fieldSize;
constexpr int plane = N * N;
constexpr int cells = N - 1;

int32_t latticeIndex(int x, int y, int z) {
    return x * plane + y * N + z;
}

// The crossing on one axis: P + mu·(Q − P) in double, stored as float.
float crossing(double mu, float p, float q) {
    return float(double(p) + mu * (double(q) - double(p)));
}

// mu = (level − a) / (b − a), with a difference of 0 taken as 1. Lattice values are whole numbers
// of at most 32,769, exact in float and double alike, so callers may pass either.
double crossingFraction(int32_t level, double a, double b) {
    double d = b - a;
    if (d == 0) d = 1;
    return (double(level) - a) / d;
}

// belowMask[x][y] bit z: the sample lies below isoLevel. cutRows[z][y] bit x: cell (x, y, z)
// has corners on both sides, so its edgeTable entry is not 0.
uint32_t belowMask[N][N];
uint32_t cutRows[cells][cells];

void classifyLattice() {
    for (int x = 0; x < N; ++x)
        for (int y = 0; y < N; ++y) {
            const int32_t* run = &fieldGrid[latticeIndex(x, y, 0)];
            uint32_t bits = 0;
#if defined(__SSE2__)
            const __m128i level = _mm_set1_epi32(isoLevel);
            const __m128i* v = reinterpret_cast<const __m128i*>(run);
            __m128i lo = _mm_packs_epi32(_mm_cmplt_epi32(_mm_loadu_si128(v + 0), level),
                                         _mm_cmplt_epi32(_mm_loadu_si128(v + 1), level));
            __m128i mid = _mm_packs_epi32(_mm_cmplt_epi32(_mm_loadu_si128(v + 2), level),
                                          _mm_cmplt_epi32(_mm_loadu_si128(v + 3), level));
            __m128i hi = _mm_packs_epi32(_mm_cmplt_epi32(_mm_loadu_si128(v + 4), level),
                                         _mm_cmplt_epi32(_mm_loadu_si128(v + 5), level));
            bits = uint32_t(_mm_movemask_epi8(_mm_packs_epi16(lo, mid))) |
                   uint32_t(_mm_movemask_epi8(_mm_packs_epi16(hi, hi)) & 0xFF) << 16;
#else
            for (int z = 0; z < N; ++z)
                bits |= uint32_t(run[z] < isoLevel) << z;
#endif
            belowMask[x][y] = bits;
        }
    memset(cutRows, 0, sizeof cutRows);
    const uint32_t cellBits = (1u << cells) - 1;
    for (int x = 0; x < cells; ++x)
        for (int y = 0; y < cells; ++y) {
            uint32_t b00 = belowMask[x][y], b10 = belowMask[x + 1][y];
            uint32_t b01 = belowMask[x][y + 1], b11 = belowMask[x + 1][y + 1];
            uint32_t all = b00 & b10 & b01 & b11, any = b00 | b10 | b01 | b11;
            uint32_t allBelow = all & (all >> 1);
            uint32_t noneBelow = ~any & ~(any >> 1);
            uint32_t cut = ~(allBelow | noneBelow) & cellBits;
            while (cut) {
                int z = __builtin_ctz(cut);
                cutRows[z][y] |= 1u << x;
                cut &= cut - 1;
            }
        }
}

// cubeIndex from the below-bits of the cell's four z-runs: two bits (z, z + 1) from each of the
// runs at (x, y), (x + 1, y), (x, y + 1) and (x + 1, y + 1) make an 8-bit key.
struct CaseTable {
    uint8_t index[256];
    CaseTable() {
        for (int key = 0; key < 256; ++key) {
            uint32_t c = 0;
            for (int i = 0; i < 8; ++i) {
                const int run = cornerOffsets[i][0] + 2 * cornerOffsets[i][1];
                if ((key >> (2 * run + cornerOffsets[i][2])) & 1) c |= 1u << i;
            }
            index[key] = uint8_t(c);
        }
    }
};

uint32_t caseOfCell(int x, int y, int z) {
    static const CaseTable table;
    const uint32_t key = ((belowMask[x][y] >> z) & 3) | ((belowMask[x + 1][y] >> z) & 3) << 2 |
                         ((belowMask[x][y + 1] >> z) & 3) << 4 |
                         ((belowMask[x + 1][y + 1] >> z) & 3) << 6;
    return table.index[key];
}

// Where a cut edge runs, for one geometry: its first corner at base + (x, y, z) · step and the
// difference second − first, all whole numbers and so exact in double. Cube: every axis steps 32.
// Squashed: y steps only 8 while a cell stays 32 tall, and corners 0 and 4 step 64 in z.
struct EdgeRun {
    double yStep, zStep;
    double baseX, baseY, baseZ;
    double deltaX, deltaY, deltaZ, deltaZStep;
};

struct EdgeLayout {
    EdgeRun edge[12];
};

EdgeLayout makeLayout(Geometry geometry) {
    EdgeLayout layout{};
    for (int k = 0; k < 12; ++k) {
        const int a = edgeCorners[k][0], b = edgeCorners[k][1];
        // Positions of the corners of cell (0, 0, 0) and (0, 1, 1) give base and steps.
        Vector3 a0 = cornerPosition(0, 0, 0, a, geometry),
                b0 = cornerPosition(0, 0, 0, b, geometry);
        Vector3 a1 = cornerPosition(0, 1, 1, a, geometry),
                b1 = cornerPosition(0, 1, 1, b, geometry);
        EdgeRun& e = layout.edge[k];
        e.yStep = double(a1.y) - a0.y;
        e.zStep = double(a1.z) - a0.z;
        e.baseX = a0.x, e.baseY = a0.y, e.baseZ = a0.z;
        e.deltaX = double(b0.x) - a0.x;
        e.deltaY = double(b0.y) - a0.y;
        e.deltaZ = double(b0.z) - a0.z;
        e.deltaZStep = (double(b1.z) - b0.z) - e.zStep;
    }
    return layout;
}

// Appends the triangles of one cut cell, as far as the store has room. The crossing of each
// cut edge is first + mu · (second − first) in double, as interpolateEdge computes it.
void emitCell(int x, int y, int z, const EdgeLayout& layout) {
    const int32_t* base = &fieldGrid[latticeIndex(x, y, z)];
    const int32_t corner[8] = {base[N], base[plane + N], base[plane + N + 1], base[N + 1],
                               base[0], base[plane],     base[plane + 1],     base[1]};
    const uint32_t index = caseOfCell(x, y, z);
    const double cx = 32.0 * x, cy = double(y), cz = double(z);
    int32_t vertex[12][3];
    for (uint32_t m = edgeTable[index]; m; m &= m - 1) {
        const int k = __builtin_ctz(m);
        const EdgeRun& e = layout.edge[k];
        const double mu = crossingFraction(isoLevel, double(corner[edgeCorners[k][0]]),
                                           double(corner[edgeCorners[k][1]]));
        vertex[k][0] = int32_t(float(cx + e.baseX + mu * e.deltaX));
        vertex[k][1] = int32_t(float(cy * e.yStep + e.baseY + mu * e.deltaY));
        vertex[k][2] = int32_t(float(cz * e.zStep + e.baseZ + mu * (e.deltaZ + cz * e.deltaZStep)));
    }
    // Locals, so that the stores through metaVerts need not reload the count.
    int32_t* const store = metaVerts;
    const int32_t capacity = store ? metaVertCapacity : 0;
    int32_t count = metaVertCount;
    for (const int8_t* e = triTable[index]; *e >= 0; ++e) {
        if (count + 3 > capacity) break; // the rest of the frame's vertices are dropped
        store[count] = vertex[*e][0];
        store[count + 1] = vertex[*e][1];
        store[count + 2] = vertex[*e][2];
        count += 3;
    }
    metaVertCount = count;
}

struct Region {
    int xlo, ylo, zlo, xhi, yhi, zhi; // cells, upper bounds exclusive
    bool empty() const { return xlo >= xhi || ylo >= yhi || zlo >= zhi; }
    bool within(const Region& o) const {
        return xlo >= o.xlo && ylo >= o.ylo && zlo >= o.zlo && xhi <= o.xhi && yhi <= o.yhi &&
               zhi <= o.zhi;
    }
};

// Bounds in 64 bits, so that no caller's extreme value can overflow the ±30 margin.
Region regionAround(int x0, int y0, int z0, int x1, int y1, int z1) {
    auto lower = [](int64_t v) { return int(v - 30 > 0 ? (v - 30 < cells ? v - 30 : cells) : 0); };
    auto upper = [](int64_t v) { return int(v + 30 < cells ? (v + 30 > 0 ? v + 30 : 0) : cells); };
    return Region{lower(x0), lower(y0), lower(z0), upper(x1), upper(y1), upper(z1)};
}

// A ball coordinate truncated toward zero. Positions stay in [8, 18] in the show; anything far
// outside the lattice gives an empty region either way, so it is pinned before the conversion.
int truncatedCoordinate(float c) {
    if (!(c >= -1000.0f)) return -1000;
    if (!(c <= 1000.0f)) return 1000;
    return int(c);
}

// Bits z of the cells in run (x, y) whose cellDone flag is still 0.
uint32_t pendingCells(int x, int y) {
    const uint8_t* run = &cellDone[latticeIndex(x, y, 0)];
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    uint32_t lo = uint32_t(_mm_movemask_epi8(
        _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(run)), zero)));
    uint32_t hi = uint32_t(_mm_movemask_epi8(
        _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(run + 8)), zero)));
    return lo | hi << 8;
#else
    uint32_t bits = 0;
    for (int z = 0; z < N; ++z)
        bits |= uint32_t(run[z] == 0) << z;
    return bits;
#endif
}

enum class Pending { None, All, Some };

Pending pendingIn(const Region& r) {
    const uint32_t zBits = ((1u << r.zhi) - 1) & ~((1u << r.zlo) - 1);
    bool anyDone = false, anyPending = false;
    for (int x = r.xlo; x < r.xhi; ++x)
        for (int y = r.ylo; y < r.yhi; ++y) {
            uint32_t pending = pendingCells(x, y) & zBits;
            anyPending |= pending != 0;
            anyDone |= pending != zBits;
            if (anyDone && anyPending) return Pending::Some;
        }
    return anyPending ? Pending::All : Pending::None;
}

// The sweep over a classified lattice: z outer, y, x inner, each cell at most once a frame.
void sweepRegion(const Region& r, Geometry geometry) {
    static const EdgeLayout cube = makeLayout(Geometry::Cube);
    static const EdgeLayout squashed = makeLayout(Geometry::Squashed);
    const EdgeLayout& layout = geometry == Geometry::Cube ? cube : squashed;
    switch (pendingIn(r)) {
    case Pending::None:
        return;
    case Pending::All: {
        const uint32_t xBits = ((1u << r.xhi) - 1) & ~((1u << r.xlo) - 1);
        for (int z = r.zlo; z < r.zhi; ++z)
            for (int y = r.ylo; y < r.yhi; ++y)
                for (uint32_t m = cutRows[z][y] & xBits; m; m &= m - 1)
                    emitCell(__builtin_ctz(m), y, z, layout);
        const int length = r.zhi - r.zlo;
        for (int x = r.xlo; x < r.xhi; ++x)
            for (int y = r.ylo; y < r.yhi; ++y)
                memset(&cellDone[latticeIndex(x, y, r.zlo)], 1, size_t(length));
        return;
    }
    case Pending::Some:
        for (int z = r.zlo; z < r.zhi; ++z)
            for (int y = r.ylo; y < r.yhi; ++y)
                for (int x = r.xlo; x < r.xhi; ++x) {
                    uint8_t& done = cellDone[latticeIndex(x, y, z)];
                    if (done) continue;
                    done = 1;
                    if (cutRows[z][y] & (1u << x)) emitCell(x, y, z, layout);
                }
        return;
    }
}
} // namespace

Vector3 cornerPosition(int x, int y, int z, int corner, Geometry geometry) {
    const int ox = cornerOffsets[corner][0], oy = cornerOffsets[corner][1],
              oz = cornerOffsets[corner][2];
    if (geometry == Geometry::Cube)
        return Vector3(float(32 * (x + ox)), float(32 * (y + oy)), float(32 * (z + oz)));
    // Squashed: cells step 8 in y but stay 32 tall, and corners 0 and 4 sit at twice the depth
    // of the cell's low-z face.
    int depth = (corner == 0 || corner == 4) ? 64 * z : 32 * z + 32 * oz;
    return Vector3(float(32 * (x + ox)), float(8 * y + 32 * oy), float(depth));
}

void interpolateEdge(int32_t level, CellCorner first, CellCorner second, int k) {
    double mu = crossingFraction(level, first.value, second.value);
    edgeVertices[k] = Vector3(crossing(mu, first.position.x, second.position.x),
                              crossing(mu, first.position.y, second.position.y),
                              crossing(mu, first.position.z, second.position.z));
}

void polygonizeCell(int x, int y, int z, Geometry geometry) {
    for (int i = 0; i < 8; ++i)
        cellCorners[i].value = float(fieldGrid[latticeIndex(
            x + cornerOffsets[i][0], y + cornerOffsets[i][1], z + cornerOffsets[i][2])]);
    cubeIndex = 0;
    for (int i = 0; i < 8; ++i)
        if (cellCorners[i].value < isoLevel) cubeIndex |= uint8_t(1u << i);
    const uint32_t cut = edgeTable[cubeIndex];
    if (cut == 0) return;
    for (int i = 0; i < 8; ++i)
        cellCorners[i].position = cornerPosition(x, y, z, i, geometry);
    for (int k = 0; k < 12; ++k)
        if (cut & (1u << k))
            interpolateEdge(isoLevel, cellCorners[edgeCorners[k][0]],
                            cellCorners[edgeCorners[k][1]], k);
}

void polygonizeRegion(int x0, int y0, int z0, int x1, int y1, int z1, Geometry geometry) {
    Region r = regionAround(x0, y0, z0, x1, y1, z1);
    if (r.empty()) return;
    classifyLattice();
    sweepRegion(r, geometry);
}

void polygonizeBalls(Geometry geometry) {
    metaVertCount = 0;
    classifyLattice();
    // A region inside one already swept in this call finds every cell done: skip it outright.
    Region swept[8];
    int sweptCount = 0;
    for (const Ball& ball : balls) {
        const int bx = truncatedCoordinate(ball.position.x);
        const int by = truncatedCoordinate(ball.position.y);
        const int bz = truncatedCoordinate(ball.position.z);
        Region r = regionAround(bx, by, bz, bx, by, bz);
        if (r.empty()) continue;
        bool covered = false;
        for (int i = 0; i < sweptCount && !covered; ++i)
            covered = r.within(swept[i]);
        if (covered) continue;
        sweepRegion(r, geometry);
        swept[sweptCount++] = r;
    }
}
