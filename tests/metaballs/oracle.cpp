#include "oracle.h"

namespace {
struct Corner {
    Vector3 position;
    float value;
};

Corner corners[8];
Vector3 crossings[12];
int caseIndex;

const int offsets[8][3] = {{0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1},
                           {0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}};
const int edgeEnds[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                             {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

int at(int x, int y, int z) {
    return x * 576 + y * 24 + z;
}

void interpolate(int level, Corner first, Corner second, int k) {
    double a = first.value, b = second.value;
    double d = b - a;
    if (d == 0) d = 1;
    double mu = (level - a) / d;
    crossings[k].x = float(first.position.x + mu * (double(second.position.x) - first.position.x));
    crossings[k].y = float(first.position.y + mu * (double(second.position.y) - first.position.y));
    crossings[k].z = float(first.position.z + mu * (double(second.position.z) - first.position.z));
}

void cell(int x, int y, int z, Geometry geometry) {
    for (int i = 0; i < 8; ++i)
        corners[i].value =
            float(fieldGrid[at(x + offsets[i][0], y + offsets[i][1], z + offsets[i][2])]);
    caseIndex = 0;
    for (int i = 0; i < 8; ++i)
        if (corners[i].value < isoLevel) caseIndex |= 1 << i;
    if (edgeTable[caseIndex] == 0) return;
    for (int i = 0; i < 8; ++i) {
        float X = float(32 * (x + offsets[i][0]));
        if (geometry == Geometry::Cube) {
            corners[i].position =
                Vector3(X, float(32 * (y + offsets[i][1])), float(32 * (z + offsets[i][2])));
        } else {
            float Y = float(8 * y + 32 * offsets[i][1]);
            float Z;
            if (i == 0 || i == 4)
                Z = float(64 * z);
            else if (i == 1 || i == 5)
                Z = float(32 * z);
            else
                Z = float(32 * z + 32);
            corners[i].position = Vector3(X, Y, Z);
        }
    }
    for (int k = 0; k < 12; ++k)
        if (edgeTable[caseIndex] & (1 << k))
            interpolate(isoLevel, corners[edgeEnds[k][0]], corners[edgeEnds[k][1]], k);
}
} // namespace

void oracleComputeField() {
    for (int z = 0; z < 24; ++z)
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) {
                int value = 1;
                for (int b = 0; b < 8; ++b) {
                    int dx = int(x - balls[b].position.x);
                    int dy = int(y - balls[b].position.y);
                    int dz = int(z - balls[b].position.z);
                    int d2 = dx * dx + dy * dy + dz * dz;
                    if (d2 == 0) d2 = 1;
                    value += 4096 / d2;
                }
                fieldGrid[at(x, y, z)] = value;
                cellDone[at(x, y, z)] = 0;
            }
}

void oraclePolygonizeRegion(int x0, int y0, int z0, int x1, int y1, int z1, Geometry geometry) {
    int xlo = x0 - 30 > 0 ? x0 - 30 : 0, ylo = y0 - 30 > 0 ? y0 - 30 : 0,
        zlo = z0 - 30 > 0 ? z0 - 30 : 0;
    int xhi = x1 + 30 < 23 ? x1 + 30 : 23, yhi = y1 + 30 < 23 ? y1 + 30 : 23,
        zhi = z1 + 30 < 23 ? z1 + 30 : 23;
    for (int z = zlo; z < zhi; ++z)
        for (int y = ylo; y < yhi; ++y)
            for (int x = xlo; x < xhi; ++x) {
                if (cellDone[at(x, y, z)] == 1) continue;
                cell(x, y, z, geometry);
                cellDone[at(x, y, z)] = 1;
                for (int i = 0; triTable[caseIndex][i] != -1; ++i) {
                    if (metaVertCount + 3 > metaVertCapacity) break;
                    const Vector3& v = crossings[triTable[caseIndex][i]];
                    metaVerts[metaVertCount] = int(v.x);
                    metaVerts[metaVertCount + 1] = int(v.y);
                    metaVerts[metaVertCount + 2] = int(v.z);
                    metaVertCount += 3;
                }
            }
}

void oraclePolygonizeBalls(Geometry geometry) {
    metaVertCount = 0;
    for (int b = 0; b < 8; ++b) {
        int bx = int(balls[b].position.x), by = int(balls[b].position.y),
            bz = int(balls[b].position.z);
        oraclePolygonizeRegion(bx, by, bz, bx, by, bz, geometry);
    }
}
