// The animation loader, name matching and binding, driven by files from the test writers.
#include <gtest/gtest.h>

#include "anim/animation.h"
#include "anim/keyframes.h"
#include "scratch_dir.h"
#include "writers.h"

namespace {
struct Outcome {
    int result;
    std::string out, err;
};

Outcome loadBytes(Animation& anim, const Bytes& bytes) {
    EXPECT_TRUE(writeBytes("a.chk", bytes));
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int result = anim.load("a.chk");
    std::string out = testing::internal::GetCapturedStdout();
    return {result, out, testing::internal::GetCapturedStderr()};
}

// A scene loaded from a mesh file with objects of these names, and an Animation set up on it.
struct Fixture {
    Scene scene;
    Animation anim;
    Fixture(std::vector<std::string> names, int16_t cameras = 0, int16_t lights = 0) {
        MeshFileRecord m;
        m.objects.resize(names.size());
        for (size_t i = 0; i < names.size(); ++i)
            m.objects[i].name = names[i];
        m.cameraCount = cameras;
        m.lightCount = lights;
        EXPECT_TRUE(writeMeshFile("m.chk", m));
        EXPECT_EQ(loadMesh(scene, "m.chk"), 0);
        EXPECT_EQ(anim.setUp(scene.objects, scene.objectCount), 0);
    }
};

AnimObjectRecord block(const std::string& name, std::vector<float> xs) {
    AnimObjectRecord o;
    o.name = name;
    for (float x : xs)
        o.keys.push_back(ObjectKey{int16_t(x), translation(Vector3(x, 0, 0))});
    return o;
}

AnimFileRecord fullAnim() {
    AnimFileRecord a;
    a.firstFrame = -1; // stored as FF FF
    a.endFrame = 250;
    a.frameExtra = 7;
    AnimCameraRecord c;
    c.fov = {45};
    c.pos = {VectorKey{0, Vector3(0, -10, 0)}};
    c.target = {VectorKey{0, Vector3(0, 0, 0)}};
    a.cameras = {c};
    AnimLightRecord l;
    l.tag = -2, l.colour = Vector3(0.5f, 0.25f, 1), l.scalar = 3.5f;
    l.keys = {VectorKey{4, Vector3(1, 2, 3)}};
    a.lights = {l};
    a.objects = {block("tri", {1, 10})};
    return a;
}
} // namespace

TEST(AnimLayout, HeaderKeysAndMatricesAreReadAndBoundByPosition) {
    ScratchDir dir;
    AnimFileRecord small;
    small.cameras = {AnimCameraRecord{{60}, {VectorKey{}}, {VectorKey{}}, {}, {}, {}}};
    small.objects = {block("tri", {0})};
    EXPECT_EQ(animBytes(small).size(), 122u);

    Fixture f({"tri"}, 3, 2); // more cameras and lights than the file holds
    AnimFileRecord a = fullAnim();
    a.objects[0].keys[1].matrix.at(2, 1) = -0.5f;
    a.trailing = {1, 2, 3}; // after the zero marker: never read
    Outcome o = loadBytes(f.anim, animBytes(a));
    ASSERT_EQ(o.result, 0) << o.err;
    f.anim.bindTo(f.scene);
    EXPECT_EQ(f.scene.firstFrame, -1);
    EXPECT_EQ(f.scene.endFrame, 250);
    EXPECT_EQ(f.scene.frameExtra, 7);
    const Camera& c = f.scene.cameras[0];
    ASSERT_EQ(c.fovKeyCount + c.posKeyCount + c.targetKeyCount, 3);
    EXPECT_EQ(c.fovKeys[0], 45.0f);
    EXPECT_EQ(c.posKeys[0].value.y, -10.0f);
    const Light& l = f.scene.lights[0];
    EXPECT_EQ(l.tag, -2);
    EXPECT_EQ(l.colour.y, 0.25f);
    EXPECT_EQ(l.scalar, 3.5f);
    ASSERT_EQ(l.keyCount, 1);
    EXPECT_EQ(l.keys[0].value.z, 3.0f);
    const GeomObj& g = f.scene.objects[0];
    ASSERT_EQ(g.keyCount, 2);
    EXPECT_EQ(g.keys[1].keyFrame, 10);
    Matrix4 expected = translation(Vector3(10, 0, 0));
    expected.at(2, 1) = -0.5f;
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(g.keys[1].matrix.m[i], expected.m[i]) << i;
    EXPECT_EQ(g.keys, f.anim.tracks[0].keys); // borrowed, not copied
    // Records the file lacks are left with empty lists.
    EXPECT_EQ(f.scene.cameras[2].posKeys, nullptr);
    EXPECT_EQ(f.scene.cameras[2].targetKeyCount, 0);
    EXPECT_EQ(f.scene.lights[1].keys, nullptr);
}

TEST(AnimLayout, WrongMagicMissingFileAndMissingSetUpAreUnusable) {
    ScratchDir dir;
    Fixture f({"tri"});
    AnimFileRecord a;
    a.magic = "_quoxelanimX";
    Outcome o = loadBytes(f.anim, animBytes(a));
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.err.rfind("This is not a valid anim file: ", 0), 0u);
    EXPECT_EQ(loadBytes(f.anim, {}).result, 1);
    Animation never, empty;
    EXPECT_EQ(loadBytes(never, animBytes(AnimFileRecord{})).result, 4);
    empty.setUp(nullptr, 0);
    o = loadBytes(empty, animBytes(AnimFileRecord{}));
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.err.rfind("animation not initialized: ", 0), 0u);
}

TEST(AnimNames, MatchOnlyExactlyAndAnUnknownNameEndsTheLoad) {
    EXPECT_TRUE(namesEqual("Box01", "Box01"));
    EXPECT_FALSE(namesEqual("Box01", "box01"));
    EXPECT_FALSE(namesEqual("Box01", "Box0"));
    EXPECT_FALSE(namesEqual("Box0", "Box01"));
    ScratchDir dir;
    Fixture f({"tri", "Box"});
    AnimFileRecord a;
    a.objects = {block("tri", {1}), block("box", {2}), block("Box", {3})};
    Outcome o = loadBytes(f.anim, animBytes(a));
    EXPECT_EQ(o.result, 2);
    EXPECT_EQ(o.err.rfind("Corrupted file: ", 0), 0u);
    EXPECT_EQ(f.anim.tracks[0].keyCount, 1); // blocks before it stay loaded
    EXPECT_EQ(f.anim.tracks[1].keyCount, 0);
}

TEST(AnimNames, RepeatedBlocksReplaceAndRepeatedObjectsGoToTheFirst) {
    ScratchDir dir;
    Fixture f({"twin", "solo", "twin"});
    AnimFileRecord a;
    a.objects = {block("twin", {1, 5}), block("solo", {4}), block("twin", {9}), block("solo", {})};
    AnimObjectRecord negative = block("solo", {});
    negative.keyCount = -5; // taken as no keys, like 0
    a.objects.push_back(negative);
    Outcome o = loadBytes(f.anim, animBytes(a));
    ASSERT_EQ(o.result, 0) << o.err;
    EXPECT_EQ(o.out, "no animakeys!\nno animakeys!\n");
    f.anim.bindTo(f.scene);
    ASSERT_EQ(f.scene.objects[0].keyCount, 1);
    EXPECT_EQ(f.scene.objects[0].keys[0].matrix.at(3, 0), 9.0f);
    EXPECT_EQ(f.scene.objects[1].keyCount, 0);
    EXPECT_EQ(f.scene.objects[1].keys, nullptr);
    EXPECT_EQ(f.scene.objects[2].keyCount, 0);
}

// ---- Hostile files ----

TEST(AnimHostile, EveryTruncationIsRejectedAndWhatWasBuiltStillBinds) {
    ScratchDir dir;
    Bytes whole = animBytes(fullAnim());
    for (size_t n = 0; n < whole.size(); ++n) {
        Fixture f({"tri"}, 1, 1);
        Outcome o = loadBytes(f.anim, cutBytes(whole, n));
        EXPECT_EQ(o.result, n < 12 ? 1 : 2) << "cut at " << n;
        if (n >= 12) {
            EXPECT_NE(o.err.find(": No data available\n"), std::string::npos) << o.err;
        }
        f.anim.bindTo(f.scene);
    }
}

TEST(AnimHostile, NegativeCountsAndLongNamesAreRejected) {
    ScratchDir dir;
    const std::string negative = "anim counts: Invalid argument\n";
    struct Case {
        void (*spoil)(AnimFileRecord&);
        std::string report;
    };
    const Case cases[] = {
        {[](AnimFileRecord& a) { a.cameraCount = -1; }, negative},
        {[](AnimFileRecord& a) { a.lightCount = -3; }, negative},
        {[](AnimFileRecord& a) { a.cameras[0].fovCount = -1; }, negative},
        {[](AnimFileRecord& a) { a.cameras[0].posCount = -1; }, negative},
        {[](AnimFileRecord& a) { a.cameras[0].targetCount = -1; }, negative},
        {[](AnimFileRecord& a) { a.lights[0].keyCount = -1; }, negative},
        {[](AnimFileRecord& a) { a.objects[0].name = std::string(256, 'x'); },
         "object name: File name too long\n"},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        Fixture f({"tri"}, 1, 1);
        AnimFileRecord a = fullAnim();
        cases[i].spoil(a);
        Outcome o = loadBytes(f.anim, animBytes(a));
        EXPECT_EQ(o.result, 2) << "case " << i;
        EXPECT_EQ(o.err, cases[i].report) << "case " << i;
        f.anim.bindTo(f.scene);
    }
    std::string longest(255, 'q'); // at the limit: accepted
    Fixture f({longest});
    AnimFileRecord a;
    a.objects = {block(longest, {1})};
    EXPECT_EQ(loadBytes(f.anim, animBytes(a)).result, 0);
}
