// Marching cubes over the field. The sweep classifies the whole lattice at once with one bit
// per sample (below isoLevel or not), so only cells the surface actually cuts are visited one by
// one. Each cut lattice edge is crossed once, before the sweep, for all the cells that share it,
// with the same double arithmetic as interpolateEdge, so the stored integers are those of a
// cell-by-cell sweep.
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

// The crossing on one axis: P + mu·(Q − P) in double, stored as float. Corner coordinates are
// whole numbers, exact in float and double alike.
float crossing(double mu, double p, double q) {
    return float(p + mu * (q - p));
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

const CaseTable caseTable;

uint32_t caseOfCell(int x, int y, int z) {
    const uint32_t key = ((belowMask[x][y] >> z) & 3) | ((belowMask[x + 1][y] >> z) & 3) << 2 |
                         ((belowMask[x][y + 1] >> z) & 3) << 4 |
                         ((belowMask[x + 1][y + 1] >> z) & 3) << 6;
    return caseTable.index[key];
}

// A crossing as the vertex store keeps it: truncated to a whole number.
int16_t crossedCoordinate(double mu, double first, double second) {
    return int16_t(crossing(mu, first, second));
}

// Every cut edge of the lattice is shared by up to four cut cells. Its crossing is worked out
// once, before the sweep, and kept at the edge's lower end. Cell edges run one way or the other
// along their axis, and (L − b)/(a − b) is not always bit for bit 1 − (L − a)/(b − a), so both
// directions are kept. Only the coordinate that moves along the edge is stored; the others are
// corner coordinates of the cell. A crossing lies between its edge's ends, at most 64 · 23, so
// 16 bits hold it and the whole table stays small enough for the cache.
struct EdgeCrossings {
    int16_t xUp, xDown; // x on the x-edge, crossed from the lower end and from the upper
    int16_t xUpDepth;   // Squashed: z on the x-edge crossed upwards, which runs from 64z to 32z
    int16_t yDown;      // y on the y-edge: every cell edge along y runs downwards
    int16_t zUp, zDown; // z on the z-edge
};

EdgeCrossings edgeCrossings[N * N * N];

// The fractions up = (L − a)/(b − a) and down = (L − b)/(a − b) for an edge with value a at its
// lower end and b at its upper, the values taken through float as a cell corner holds them. A
// cut edge has one value below the level and one not, so neither divisor is 0.
void crossingFractions(int32_t lower, int32_t upper, double& up, double& down) {
    const double a = float(lower), b = float(upper);
#if defined(__SSE2__)
    const __m128d level = _mm_set1_pd(double(isoLevel));
    const __m128d ends = _mm_set_pd(b, a); // (a, b)
    const __m128d other = _mm_shuffle_pd(ends, ends, 1);
    const __m128d mu = _mm_div_pd(_mm_sub_pd(level, ends), _mm_sub_pd(other, ends));
    up = _mm_cvtsd_f64(mu);
    down = _mm_cvtsd_f64(_mm_unpackhi_pd(mu, mu));
#else
    up = (double(isoLevel) - a) / (b - a);
    down = (double(isoLevel) - b) / (a - b);
#endif
}

// Crossings of every edge whose ends lie on different sides of the level, for one geometry.
// An edge along y only ever runs downwards in a cell; x- and z-edges run both ways.
template <Geometry G> void computeCrossings() {
    for (int x = 0; x < N; ++x)
        for (int y = 0; y < N; ++y) {
            const uint32_t run = belowMask[x][y];
            const int32_t* value = &fieldGrid[latticeIndex(x, y, 0)];
            EdgeCrossings* out = &edgeCrossings[latticeIndex(x, y, 0)];
            const double px = 32.0 * x;
            const double py = G == Geometry::Cube ? 32.0 * y : 8.0 * y;
            if (x + 1 < N)
                for (uint32_t m = run ^ belowMask[x + 1][y]; m; m &= m - 1) {
                    const int z = __builtin_ctz(m);
                    double up, down;
                    crossingFractions(value[z], value[z + plane], up, down);
                    out[z].xUp = crossedCoordinate(up, px, px + 32);
                    out[z].xDown = crossedCoordinate(down, px + 32, px);
                    if (G == Geometry::Squashed)
                        out[z].xUpDepth = crossedCoordinate(up, 64.0 * z, 32.0 * z);
                }
            if (y + 1 < N)
                for (uint32_t m = run ^ belowMask[x][y + 1]; m; m &= m - 1) {
                    const int z = __builtin_ctz(m);
                    double up, down;
                    crossingFractions(value[z], value[z + N], up, down);
                    out[z].yDown = crossedCoordinate(down, py + 32, py);
                }
            for (uint32_t m = (run ^ (run >> 1)) & ((1u << (N - 1)) - 1); m; m &= m - 1) {
                const int z = __builtin_ctz(m);
                double up, down;
                crossingFractions(value[z], value[z + 1], up, down);
                const double pz = 32.0 * z;
                out[z].zUp = crossedCoordinate(up, pz, pz + 32);
                out[z].zDown =
                    crossedCoordinate(down, pz + 32, G == Geometry::Cube ? pz : 64.0 * z);
            }
        }
}

// Lattice index steps to a cell's neighbouring points.
constexpr int dx = plane, dy = N, dz = 1;

// The twelve edge crossings of cell (x, y, z). All twelve are filled, straight through, since
// that costs less than branching on the case; entries of uncut edges hold whatever an earlier
// frame left at those lattice edges and are never read. Squashed cells step 8 in y but stay 32
// tall, and their corners 0 and 4 lie at depth 64z.
template <Geometry G> void cellVertices(int x, int y, int z, int32_t vertex[12][3]) {
    const EdgeCrossings* c = &edgeCrossings[latticeIndex(x, y, z)];
    const int32_t x0 = 32 * x, x1 = x0 + 32;
    const int32_t y0 = G == Geometry::Cube ? 32 * y : 8 * y, y1 = y0 + 32;
    const int32_t z0 = 32 * z, z1 = z0 + 32;
    const bool cube = G == Geometry::Cube;
    auto set = [vertex](int k, int32_t vx, int32_t vy, int32_t vz) {
        vertex[k][0] = vx, vertex[k][1] = vy, vertex[k][2] = vz;
    };
    set(0, c[dy].xUp, y1, cube ? z0 : c[dy].xUpDepth); // corner 0 → 1
    set(1, x1, y1, c[dx + dy].zUp);                    // 1 → 2
    set(2, c[dy + dz].xDown, y1, z1);                  // 2 → 3
    set(3, x0, y1, c[dy].zDown);                       // 3 → 0
    set(4, c[0].xUp, y0, cube ? z0 : c[0].xUpDepth);   // 4 → 5
    set(5, x1, y0, c[dx].zUp);                         // 5 → 6
    set(6, c[dz].xDown, y0, z1);                       // 6 → 7
    set(7, x0, y0, c[0].zDown);                        // 7 → 4
    set(8, x0, c[0].yDown, cube ? z0 : 64 * z);        // 0 → 4
    set(9, x1, c[dx].yDown, z0);                       // 1 → 5
    set(10, x1, c[dx + dz].yDown, z1);                 // 2 → 6
    set(11, x0, c[dz].yDown, z1);                      // 3 → 7
}

// Number of integers each case adds to the store.
struct CaseLengths {
    uint8_t length[256];
    CaseLengths() {
        for (int i = 0; i < 256; ++i) {
            int n = 0;
            while (triTable[i][n] >= 0)
                ++n;
            length[i] = uint8_t(3 * n);
        }
    }
};

const CaseLengths lengths;

// Appends the triangles of one cut cell, as far as the store has room.
template <Geometry G> void emitCell(int x, int y, int z) {
    const uint32_t index = caseOfCell(x, y, z);
    int32_t vertex[12][3];
    cellVertices<G>(x, y, z, vertex);
    // Locals, so that the stores through metaVerts need not reload the count.
    int32_t* const store = metaVerts;
    const int32_t capacity = store ? metaVertCapacity : 0;
    int32_t count = metaVertCount;
    const int8_t* e = triTable[index];
    const int32_t end = count + lengths.length[index];
    // Past the last whole vertex that fits, the rest of the frame's vertices are dropped.
    const int32_t stop = end <= capacity ? end : count + (capacity - count) / 3 * 3;
    for (; count < stop; count += 3, ++e) {
        store[count] = vertex[*e][0];
        store[count + 1] = vertex[*e][1];
        store[count + 2] = vertex[*e][2];
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

// The sweep over a classified lattice with its crossings: z outer, y, x inner, each cell at
// most once a frame.
template <Geometry G> void sweepRegion(const Region& r) {
    switch (pendingIn(r)) {
    case Pending::None:
        return;
    case Pending::All: {
        const uint32_t xBits = ((1u << r.xhi) - 1) & ~((1u << r.xlo) - 1);
        for (int z = r.zlo; z < r.zhi; ++z)
            for (int y = r.ylo; y < r.yhi; ++y)
                for (uint32_t m = cutRows[z][y] & xBits; m; m &= m - 1)
                    emitCell<G>(__builtin_ctz(m), y, z);
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
                    if (cutRows[z][y] & (1u << x)) emitCell<G>(x, y, z);
                }
        return;
    }
}

// Classifies the lattice and works out its crossings, then sweeps each region in turn.
template <Geometry G> void sweepRegions(const Region* regions, int count) {
    classifyLattice();
    computeCrossings<G>();
    for (int i = 0; i < count; ++i)
        sweepRegion<G>(regions[i]);
}

void sweepRegions(const Region* regions, int count, Geometry geometry) {
    if (count == 0) return;
    if (geometry == Geometry::Cube)
        sweepRegions<Geometry::Cube>(regions, count);
    else
        sweepRegions<Geometry::Squashed>(regions, count);
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
    sweepRegions(&r, 1, geometry);
}

void polygonizeBalls(Geometry geometry) {
    metaVertCount = 0;
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
        if (!covered) swept[sweptCount++] = r;
    }
    sweepRegions(swept, sweptCount, geometry);
}
