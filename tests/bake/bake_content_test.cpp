// The baker's own pieces: shapes that close and face outwards, pictures that tile where the
// show repeats them, and lettering that lands where it is asked to.
#include <gtest/gtest.h>

#include <cmath>

#include "lettering.h"
#include "pictures.h"
#include "shapes.h"

namespace {

// Signed volume of a closed mesh: positive exactly when its faces wind counter-clockwise
// seen from outside.
double signedVolume(const Shape& s) {
    double v = 0;
    for (const auto& t : s.triangles) {
        const Vector3 &a = s.positions[t[0]], &b = s.positions[t[1]], &c = s.positions[t[2]];
        v += a.x * (double(b.y) * c.z - double(b.z) * c.y) -
             a.y * (double(b.x) * c.z - double(b.z) * c.x) +
             a.z * (double(b.x) * c.y - double(b.y) * c.x);
    }
    return v / 6.0;
}

TEST(Shapes, LatheAndTorusCloseAndFaceOutwards) {
    std::vector<ProfilePoint> sphere;
    for (int j = 0; j <= 16; ++j) {
        float a = -1.5707963f + 3.1415927f * j / 16;
        sphere.push_back({j == 0 || j == 16 ? 0.0f : 10 * std::cos(a), 10 * std::sin(a)});
    }
    Shape ball = makeLathe(sphere, 32);
    EXPECT_NEAR(signedVolume(ball), 4.0 / 3.0 * M_PI * 1000, 0.05 * 4.0 / 3.0 * M_PI * 1000);
    // Polygons inside the round tube lose a few percent of its volume.
    Shape ring = makeTorus(20, 4, 32, 12);
    EXPECT_NEAR(signedVolume(ring), 2 * M_PI * M_PI * 20 * 16, 0.08 * 2 * M_PI * M_PI * 20 * 16);
    // Ribbed lanterns pinch inwards but still enclose their inside.
    Shape ribbed =
        makeLathe({{0, -10}, {8, -8}, {10, 0}, {8, 8}, {0, 10}}, 24, 12, {0, 0.1f, 0.1f, 0.1f, 0});
    EXPECT_GT(signedVolume(ribbed), 0);
    // Poles make no zero-area triangles.
    for (size_t t = 0; t < ball.triangles.size(); ++t) {
        Vector3 n = faceCross(ball, t);
        EXPECT_GT(n.x * n.x + n.y * n.y + n.z * n.z, 1e-6f) << "triangle " << t;
    }
}

TEST(Shapes, NormalsPointAwayFromTheAxisAndMatchAcrossTheSeam) {
    Shape ring = makeTorus(20, 4, 24, 8);
    for (size_t v = 0; v < ring.positions.size(); ++v) {
        const Vector3& p = ring.positions[v];
        float r = std::sqrt(p.x * p.x + p.y * p.y);
        // Away from the tube's centre line.
        Vector3 out{p.x - 20 * p.x / r, p.y - 20 * p.y / r, p.z};
        const Vector3& n = ring.normals[v];
        EXPECT_GT(out.x * n.x + out.y * n.y + out.z * n.z, 3.5f) << "vertex " << v;
    }
    // The seam column (u = 1) repeats column u = 0 with the same normal and the next u.
    for (int j = 0; j <= 8; ++j) {
        size_t first = j * 25, last = j * 25 + 24;
        EXPECT_NEAR(ring.normals[first].x, ring.normals[last].x, 1e-5f);
        EXPECT_NEAR(ring.normals[first].y, ring.normals[last].y, 1e-5f);
        EXPECT_FLOAT_EQ(ring.tverts[first].u, 0.0f);
        EXPECT_FLOAT_EQ(ring.tverts[last].u, 1.0f);
    }
}

TEST(Shapes, ObjectRecordSharesEdgesAndKeepsIndicesInRange) {
    Shape ring = makeTorus(20, 4, 8, 4);
    MeshObjectRecord o = objectRecord(ring, "ring", 0);
    // By index the doubled seams leave a triangulated rectangle: V − E + F = 1, each pair once.
    EXPECT_EQ(o.edgeFlags.size(), o.positions.size() + o.faces.size() - 1);
    for (const MeshFaceRecord& f : o.faces) {
        for (int16_t e : {f.p, f.q, f.r})
            EXPECT_LT(size_t(e), o.edgeFlags.size());
        for (int16_t v : {f.a, f.b, f.c})
            EXPECT_LT(size_t(v), o.positions.size());
        // Vertex normals go out in the loader's corner order c, b, a.
        EXPECT_FLOAT_EQ(f.vertexNormals[0].z, ring.normals[f.c].z);
        EXPECT_FLOAT_EQ(f.vertexNormals[2].z, ring.normals[f.a].z);
    }
}

// Mean absolute step between two columns (or rows) of a picture.
double columnStep(const Picture& p, int32_t a, int32_t b, bool columns) {
    double sum = 0;
    int32_t n = columns ? p.height : p.width;
    for (int32_t i = 0; i < n; ++i) {
        const float* pa =
            columns ? &p.rgb[(size_t(i) * p.width + a) * 3] : &p.rgb[(size_t(a) * p.width + i) * 3];
        const float* pb =
            columns ? &p.rgb[(size_t(i) * p.width + b) * 3] : &p.rgb[(size_t(b) * p.width + i) * 3];
        for (int c = 0; c < 3; ++c)
            sum += std::fabs(pa[c] - pb[c]);
    }
    return sum / n;
}

// The environment picture repeats on both axes when it is read through normals and in the
// warp layer; the warp picture is mirrored and repeated; the paper wraps around the lanterns.
// Across each wrap the picture must change no more than between neighbouring pixels.
TEST(Pictures, RepeatedPicturesHaveNoSeam) {
    struct Case {
        const char* name;
        Picture p;
        bool vertical;
    } cases[] = {{"env", paintEnvironment(128, 128), true},
                 {"pulsar", paintPulsar(128, 128), true},
                 {"paper", paintLanternPaper(128, 128), false},
                 {"marrowquill", paintMarrowquill(128, 128), true}};
    for (const Case& c : cases) {
        const Picture& p = c.p;
        double typical = 0;
        for (int32_t x = 0; x + 1 < p.width; ++x)
            typical += columnStep(p, x, x + 1, true);
        typical /= p.width - 1;
        EXPECT_LT(columnStep(p, p.width - 1, 0, true), 3 * typical + 0.01) << c.name;
        if (!c.vertical) continue;
        double typicalRows = 0;
        for (int32_t y = 0; y + 1 < p.height; ++y)
            typicalRows += columnStep(p, y, y + 1, false);
        typicalRows /= p.height - 1;
        EXPECT_LT(columnStep(p, p.height - 1, 0, false), 3 * typicalRows + 0.01) << c.name;
    }
}

TEST(Lettering, LineIsCentredWhereAsked) {
    std::string font = findFont();
    ASSERT_FALSE(font.empty()) << "the DejaVu fonts are not installed";
    for (float centre : {100.0f, 160.0f}) {
        Mask m = makeMask(256, 64);
        ASSERT_TRUE(drawTextLine(m, font, {24, 1.0f, 0.0f}, "HOH", centre, 40));
        double sum = 0, moment = 0;
        int32_t above = 0, below = 0;
        for (int32_t y = 0; y < m.height; ++y)
            for (int32_t x = 0; x < m.width; ++x) {
                float c = m.value[size_t(y) * m.width + x];
                sum += c, moment += c * (x + 0.5);
                if (c > 0.5f) (y < 40 ? above : below)++;
            }
        ASSERT_GT(sum, 50.0);
        EXPECT_NEAR(moment / sum, centre, 2.0); // a symmetric word: its centre of ink
        EXPECT_GT(above, 100);                  // capitals stand on the baseline
        EXPECT_EQ(below, 0);
    }
    Mask m = makeMask(64, 64);
    EXPECT_FALSE(drawTextLine(m, "/nonexistent/font.ttf", {24, 1.0f, 0.0f}, "A", 32, 40));
}

} // namespace
