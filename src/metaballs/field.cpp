// The balls and their field. The field is a sum of integer inverse-square terms, so it is built
// from precomputed rows of ⌊4096 / d²⌋: with the lattice differences truncated per axis, a run
// of 24 samples along z reads one contiguous kernel row per ball.
#include "metaballs/metaballs.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "common/random.h"
#include "common/wobble.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

Ball balls[8];
int32_t fieldGrid[fieldSize * fieldSize * fieldSize];
uint8_t cellDone[fieldSize * fieldSize * fieldSize];
int32_t* metaVerts = nullptr;
int32_t metaVertCount = 0;

namespace {
constexpr int N = fieldSize;
constexpr int plane = N * N;
// A kernel row holds the contributions for axis differences -23 … 23 at offsets 0 … 46.
constexpr int rowLength = 48;
constexpr int rowCentre = 23;

// kernelWhole[ax][ay][rowCentre + dz]: a ball on a whole coordinate along z, so the difference
// steps by one from sample to sample. kernelSplit holds the rows for a ball strictly between two
// lattice planes: truncation gives 0 on both sides of it, so the row repeats its centre value.
uint16_t kernelWhole[N][N][rowLength];
uint16_t kernelSplit[N][N][rowLength];
bool kernelsReady = false;

int32_t inverseSquare(int32_t d2) {
    return 4096 / (d2 == 0 ? 1 : d2);
}

void buildKernels() {
    for (int ax = 0; ax < N; ++ax)
        for (int ay = 0; ay < N; ++ay)
            for (int i = 0; i < rowLength; ++i) {
                int p = i - rowCentre;
                int whole = p;
                int split = p <= 0 ? p : p - 1;
                int32_t base = ax * ax + ay * ay;
                kernelWhole[ax][ay][i] = uint16_t(inverseSquare(base + whole * whole));
                kernelSplit[ax][ay][i] = uint16_t(inverseSquare(base + split * split));
            }
    kernelsReady = true;
}

// trunc(lattice − coordinate), taken in float as the field's rule has it. Far-away or broken
// coordinates are pinned to ±4096 first: from |d| = 65 on a ball contributes nothing anyway, and
// the pin keeps both the conversion to int and the squares inside int32.
int32_t truncatedDifference(int lattice, float coordinate) {
    float d = float(lattice) - coordinate;
    if (!(d >= -4096.0f)) d = -4096.0f;
    if (!(d <= 4096.0f)) d = 4096.0f;
    return int32_t(d);
}

// The plain field: used whenever a ball lies where the kernel rows do not reach.
void computeFieldDirect() {
    int32_t dx[8][N], dy[8][N], dz[8][N];
    for (int b = 0; b < 8; ++b)
        for (int i = 0; i < N; ++i) {
            dx[b][i] = truncatedDifference(i, balls[b].position.x);
            dy[b][i] = truncatedDifference(i, balls[b].position.y);
            dz[b][i] = truncatedDifference(i, balls[b].position.z);
        }
    for (int x = 0; x < N; ++x)
        for (int y = 0; y < N; ++y)
            for (int z = 0; z < N; ++z) {
                int32_t value = 1;
                for (int b = 0; b < 8; ++b)
                    value += inverseSquare(dx[b][x] * dx[b][x] + dy[b][y] * dy[b][y] +
                                           dz[b][z] * dz[b][z]);
                fieldGrid[x * plane + y * N + z] = value;
            }
}

struct BallRows {
    const uint16_t* kernel; // first entry of the z window in row (0, 0)
    int32_t xStep[N];       // offset of row (|dx|, 0) for each lattice x
    int32_t yStep[N];       // offset of row (0, |dy|) for each lattice y
};

// Sets up the row lookups of one ball; false when the ball lies outside the kernels' reach.
bool prepareRows(const Ball& ball, BallRows& rows) {
    int32_t d[N];
    for (int i = 0; i < N; ++i) {
        int32_t dx = truncatedDifference(i, ball.position.x);
        int32_t dy = truncatedDifference(i, ball.position.y);
        if (dx < -(N - 1) || dx > N - 1 || dy < -(N - 1) || dy > N - 1) return false;
        rows.xStep[i] = (dx < 0 ? -dx : dx) * N * rowLength;
        rows.yStep[i] = (dy < 0 ? -dy : dy) * rowLength;
        d[i] = truncatedDifference(i, ball.position.z);
    }
    bool whole = true;
    for (int i = 0; i < N && whole; ++i)
        whole = d[i] == d[0] + i;
    if (whole) {
        int start = rowCentre + d[0];
        if (start < 0 || start + N > rowLength) return false;
        rows.kernel = &kernelWhole[0][0][start];
        return true;
    }
    // Between planes fl and fl + 1 both samples truncate to 0.
    int fl = -1;
    for (int i = 0; i + 1 < N; ++i)
        if (d[i] == 0 && d[i + 1] == 0) {
            fl = i;
            break;
        }
    if (fl < 0) return false;
    for (int i = 0; i < N; ++i)
        if (d[i] != (i <= fl ? i - fl : i - fl - 1)) return false;
    rows.kernel = &kernelSplit[0][0][rowCentre - fl];
    return true;
}

// Samples fit in 16 bits (at most 1 + 8·4096 = 32,769), so a run of 24 is three vectors.
void accumulateRun(const uint16_t* const rowStart[8], int32_t* out) {
#if defined(__SSE2__)
    const __m128i one = _mm_set1_epi16(1);
    __m128i a0 = one, a1 = one, a2 = one;
    for (int b = 0; b < 8; ++b) {
        const uint16_t* r = rowStart[b];
        a0 = _mm_add_epi16(a0, _mm_loadu_si128(reinterpret_cast<const __m128i*>(r)));
        a1 = _mm_add_epi16(a1, _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + 8)));
        a2 = _mm_add_epi16(a2, _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + 16)));
    }
    const __m128i zero = _mm_setzero_si128();
    __m128i* o = reinterpret_cast<__m128i*>(out);
    _mm_storeu_si128(o + 0, _mm_unpacklo_epi16(a0, zero));
    _mm_storeu_si128(o + 1, _mm_unpackhi_epi16(a0, zero));
    _mm_storeu_si128(o + 2, _mm_unpacklo_epi16(a1, zero));
    _mm_storeu_si128(o + 3, _mm_unpackhi_epi16(a1, zero));
    _mm_storeu_si128(o + 4, _mm_unpacklo_epi16(a2, zero));
    _mm_storeu_si128(o + 5, _mm_unpackhi_epi16(a2, zero));
#else
    for (int z = 0; z < N; ++z) {
        int32_t value = 1;
        for (int b = 0; b < 8; ++b)
            value += rowStart[b][z];
        out[z] = value;
    }
#endif
}
} // namespace

void prepareMetaballs() {
    if (!metaVerts) metaVerts = new (std::nothrow) int32_t[metaVertCapacity];
    if (metaVerts)
        memset(metaVerts, 0, sizeof(int32_t) * metaVertCapacity);
    else
        perror("metaverts"); // the polygonizer then stores no vertex at all
    metaVertCount = 0;
    for (Ball& ball : balls)
        ball = Ball{Vector3(0, 0, 0), Vector3(0, 0, 0)};
    for (Ball& ball : balls) {
        // Separate statements: the draws must be taken in the order x, y, z.
        ball.position.x = float(nextRandom() % 10 + 8);
        ball.position.y = float(nextRandom() % 10 + 8);
        ball.position.z = float(nextRandom() % 10 + 8);
        nextRandom();
        ball.velocity.x = -1.0f;
        nextRandom();
        ball.velocity.y = -1.0f;
        nextRandom();
        ball.velocity.z = -1.0f;
    }
}

void computeField() {
    if (!kernelsReady) buildKernels();
    memset(cellDone, 0, sizeof cellDone);

    BallRows rows[8];
    for (int b = 0; b < 8; ++b)
        if (!prepareRows(balls[b], rows[b])) {
            computeFieldDirect();
            return;
        }
    const uint16_t* rowStart[8];
    for (int x = 0; x < N; ++x)
        for (int y = 0; y < N; ++y) {
            for (int b = 0; b < 8; ++b)
                rowStart[b] = rows[b].kernel + rows[b].xStep[x] + rows[b].yStep[y];
            accumulateRun(rowStart, &fieldGrid[x * plane + y * N]);
        }
}

void moveBalls() {
    // sin of the float angle in double: the sums are formed in double and stored as float.
    const double s = std::sin(double(wobbleAngle));
    for (Ball& ball : balls) {
        Vector3& p = ball.position;
        Vector3& v = ball.velocity;
        p.x = float(double(p.x) + double(v.x));
        p.y = float(double(p.y) + (double(v.y) - s));
        p.z = float(double(p.z) + double(v.z));
        // Only a coordinate strictly beyond a wall bounces; 18.0 and 8.0 themselves stay.
        if (p.x > 18.0f) p.x = 18.0f, v.x = -v.x;
        if (p.y > 18.0f) p.y = 18.0f, v.y = -v.y;
        if (p.z > 18.0f) p.z = 18.0f, v.z = -v.z;
        if (p.x < 8.0f) p.x = 8.0f, v.x = -v.x;
        if (p.y < 8.0f) p.y = 8.0f, v.y = -v.y;
        if (p.z < 8.0f) p.z = 8.0f, v.z = -v.z;
    }
}
