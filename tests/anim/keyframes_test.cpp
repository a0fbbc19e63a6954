// Key selection, the affine matrix operations and camera orientation.
#include <gtest/gtest.h>

#include <cmath>

#include "anim/keyframes.h"
#include "assets/scene.h"

namespace {
int select(std::initializer_list<int16_t> frames, int32_t frame) {
    std::vector<VectorKey> keys;
    for (int16_t f : frames)
        keys.push_back(VectorKey{f, Vector3(0, 0, 0)});
    return selectKey(keys.data(), int32_t(keys.size()), frame);
}

void expectNear(const Matrix4& a, const Matrix4& b) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a.m[i], b.m[i], 1e-5f) << "element " << i;
}

void expectNear(const Vector3& a, const Vector3& b) {
    EXPECT_NEAR(a.x, b.x, 1e-4f);
    EXPECT_NEAR(a.y, b.y, 1e-4f);
    EXPECT_NEAR(a.z, b.z, 1e-4f);
}

// A camera with one position and one target key, evaluated at frame 0.
Camera evaluated(VectorKey (&keys)[2], Vector3 eye, Vector3 target) {
    keys[0] = VectorKey{0, eye};
    keys[1] = VectorKey{0, target};
    Camera c;
    c.posKeys = &keys[0];
    c.targetKeys = &keys[1];
    c.posKeyCount = c.targetKeyCount = 1;
    c.evaluate(0);
    return c;
}
} // namespace

TEST(KeySelection, LastKeyAtOrBeforeTheFrameHolds) {
    for (int f = -5; f <= 9; ++f)
        EXPECT_EQ(select({0, 10, 20}, f), 0) << f;
    EXPECT_EQ(select({0, 10, 20}, 10), 1);
    EXPECT_EQ(select({0, 10, 20}, 100000), 2);
    EXPECT_EQ(select({5, 5, 8}, 5), 1); // the last of equal frames
    EXPECT_EQ(select({5, 5, 8}, 4), 0);
    EXPECT_EQ(select({0, 30, 10}, 20), 0); // stops at the first later frame
    EXPECT_EQ(select({-32768, -1, 32767}, -2), 0);
    EXPECT_EQ(select({-32768, -1, 32767}, -1), 1);
    EXPECT_EQ(select({}, 0), -1);
    EXPECT_EQ(selectKey<VectorKey>(nullptr, 3, 0), -1);
}

TEST(Matrices, TranslationRotationsAndTheOrderOfMultiply) {
    Matrix4 t = translation(Vector3(10, 20, 30));
    expectNear(multiply(t, identity()), t);
    expectNear(transformPoint(Vector3(1, 2, 3), t), Vector3(11, 22, 33));
    expectNear(transformVector(Vector3(1, 2, 3), t), Vector3(1, 2, 3));
    const float q = float(M_PI / 2);
    expectNear(transformPoint(Vector3(1, 0, 0), rotationZ(q)), Vector3(0, 1, 0));
    expectNear(transformPoint(Vector3(0, 1, 0), rotationX(q)), Vector3(0, 0, 1));
    // First a, then b: translate then turn is not turn then translate.
    Matrix4 moveThenTurn = multiply(translation(Vector3(1, 0, 0)), rotationZ(q));
    expectNear(transformPoint(Vector3(0, 0, 0), moveThenTurn), Vector3(0, 1, 0));
    // The operands' fourth columns are never read; the result's is 0, 0, 0, 1.
    Matrix4 junk = rotationX(0.3f);
    for (int r = 0; r < 4; ++r)
        junk.at(r, 3) = 99;
    expectNear(multiply(junk, junk), rotationX(0.6f));
}

TEST(CameraOrientation, TheTargetLandsStraightAheadOnPlusY) {
    VectorKey k[2];
    expectNear(evaluated(k, Vector3(0, 0, 0), Vector3(0, 10, 0)).view, identity());
    expectNear(evaluated(k, Vector3(0, -10, 0), Vector3(0, 0, 0)).view,
               translation(Vector3(0, 10, 0)));
    expectNear(evaluated(k, Vector3(1, 2, 3), Vector3(1, 2, 8)).view,
               multiply(translation(Vector3(-1, -2, -3)), rotationX(float(-M_PI / 2))));
    const Vector3 eyes[] = {{3, -4, 5}, {-7, 2, -1}};
    const Vector3 targets[] = {{-2, 8, 1}, {4, 4, 4}};
    for (int i = 0; i < 2; ++i) {
        Camera c = evaluated(k, eyes[i], targets[i]);
        Vector3 d(targets[i].x - eyes[i].x, targets[i].y - eyes[i].y, targets[i].z - eyes[i].z);
        expectNear(c.eye, eyes[i]);
        expectNear(transformPoint(targets[i], c.view), Vector3(0, length(d), 0));
        // No roll: the world's up stays in the camera's upper half.
        EXPECT_GE(transformVector(Vector3(0, 0, 1), c.view).z, 0.0f);
    }
}

TEST(CameraOrientation, DegenerateTracksStayWellDefined) {
    VectorKey k[2];
    // A target on the eye has no direction: the camera looks along +Y.
    Camera same = evaluated(k, Vector3(4, 5, 6), Vector3(4, 5, 6));
    for (float v : same.view.m)
        EXPECT_TRUE(std::isfinite(v));
    expectNear(same.view, translation(Vector3(-4, -5, -6)));
    // An empty track leaves eye and view as they were.
    same.targetKeyCount = 0;
    k[0].value = Vector3(9, 9, 9);
    same.evaluate(0);
    expectNear(same.eye, Vector3(4, 5, 6));
    Camera fresh;
    fresh.evaluate(3);
    expectNear(fresh.view, identity());
}
