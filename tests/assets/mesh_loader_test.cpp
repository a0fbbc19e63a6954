// The mesh loader, driven by files that the test writers make from records.
#include <gtest/gtest.h>

#include "assets/scene.h"
#include "scratch_dir.h"
#include "writers.h"

namespace {
struct Outcome {
    int32_t result;
    std::string out, err;
};

Outcome loadBytes(Scene& scene, const Bytes& bytes) {
    EXPECT_TRUE(writeBytes("m.chk", bytes));
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int32_t result = loadMesh(scene, "m.chk");
    std::string out = testing::internal::GetCapturedStdout();
    return {result, out, testing::internal::GetCapturedStderr()};
}

MeshFaceRecord face(int16_t a, int16_t b, int16_t c, int8_t selector = 0) {
    MeshFaceRecord f;
    f.a = a, f.b = b, f.c = c, f.p = 0, f.q = 1, f.r = 2, f.selector = selector;
    return f;
}

MeshObjectRecord tri(int16_t materialIndex = 0) {
    MeshObjectRecord o;
    o.materialIndex = materialIndex;
    o.name = "tri";
    o.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    o.edgeFlags = {7, 8, 9};
    o.faces = {face(0, 1, 2)};
    return o;
}

MeshFileRecord oneMaterialTri() {
    MeshFileRecord m;
    m.materials = {MeshMaterialRecord{1, 2, 3, "", {}, {}}};
    m.objects = {tri()};
    return m;
}

// Every section in use: a material with two sub-materials, cameras, lights, texture vertices.
MeshFileRecord fullMesh() {
    MeshFileRecord m;
    MeshMaterialRecord top{1, 2, 3, "", {}, {}};
    top.subs = {MeshMaterialRecord{4, 5, 6, "", {}, {}}, MeshMaterialRecord{7, 8, 9, "", {}, {}}};
    m.materials = {top, MeshMaterialRecord{10, 11, 12, "", {}, {}}};
    m.cameraCount = 1;
    m.lightCount = 2;
    MeshObjectRecord o = tri();
    o.positions.push_back({1, 1, 1});
    o.faces = {face(0, 1, 2, 1), face(1, 2, 3, 2)};
    o.tverts = {{0.1f, 0.2f}, {0.3f, 0.4f}, {0.5f, 0.6f}};
    o.faces[1].i = 2, o.faces[1].k = 1;
    m.objects = {o, tri(1)};
    return m;
}
} // namespace

TEST(MeshLayout, FieldsAreReadLittleEndianInFileOrder) {
    ScratchDir dir;
    EXPECT_EQ(meshBytes(MeshFileRecord{}).size(), 22u);
    EXPECT_EQ(meshBytes(oneMaterialTri()).size(), 238u);
    MeshFileRecord m = oneMaterialTri();
    m.reserved = -12345; // ignored, whatever it holds
    m.cameraCount = 2;
    m.lightCount = 3;
    m.objects[0].points[7] = {-1.5f, 2.25f, 1e30f};
    m.objects[0].positions[0] = {1.5f, -2.0f, 3.25f};
    Bytes bytes = meshBytes(m);
    bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF}); // never read
    Scene scene;
    Outcome o = loadBytes(scene, bytes);
    ASSERT_EQ(o.result, 0) << o.err;
    EXPECT_EQ(scene.cameraCount, 2);
    EXPECT_EQ(scene.lightCount, 3);
    const GeomObj& g = scene.objects[0];
    EXPECT_EQ(g.points[7].z, 1e30f);
    EXPECT_EQ(g.vertices[0].pos.y, -2.0f);
    EXPECT_EQ(g.edges[2].flag, 9);
    EXPECT_EQ(scene.materials[0].blue, 3);
}

// Corner, edge and texture-corner order, the texture-vertex flip and clamp and the
// sub-material path are checked through the inspector's dump of the same loader.

TEST(MeshOrder, VertexNormalsFollowTheReversedCornersAndTheLastFaceWins) {
    ScratchDir dir;
    MeshFileRecord m = oneMaterialTri();
    m.objects[0].faces.clear();
    for (int j = 0; j < 8; ++j) {
        // Face 3 names vertex 0 as corner c (first normal), the others as corner a (third).
        MeshFaceRecord f = j == 3 ? face(1, 2, 0) : face(0, 1, 2);
        for (int k = 0; k < 3; ++k)
            f.vertexNormals[k] = {float(j), float(k), 0};
        m.objects[0].faces.push_back(f);
    }
    Scene scene;
    ASSERT_EQ(loadBytes(scene, meshBytes(m)).result, 0);
    const Vertex* v = scene.objects[0].vertices;
    EXPECT_EQ(v[0].normal.x, 7.0f);
    EXPECT_EQ(v[0].normal.y, 2.0f);
    EXPECT_EQ(v[2].normal.y, 0.0f);
}

TEST(MeshMaterials, SelectorPicksSubMaterialModuloItsCountAndNoMaterialMeansTheFirst) {
    ScratchDir dir;
    MeshFileRecord m;
    MeshMaterialRecord top{9, 9, 9, "", {}, {}};
    for (uint8_t i = 0; i < 3; ++i)
        top.subs.push_back(MeshMaterialRecord{i, 0, 0, "", {}, {}});
    m.materials = {top, MeshMaterialRecord{50, 0, 0, "", {}, int16_t(-5)}}; // <= 0: no subs
    MeshObjectRecord o = tri(0);
    o.faces.clear();
    for (int8_t s = 0; s < 6; ++s)
        o.faces.push_back(face(0, 1, 2, s));
    MeshObjectRecord plain = tri(1);
    plain.faces[0].selector = -77; // no sub-materials: read and ignored
    MeshObjectRecord none = tri(-1);
    none.faces.push_back(face(0, 1, 2));
    m.objects = {o, plain, none};
    Scene scene;
    Outcome out = loadBytes(scene, meshBytes(m));
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.out, "obj 'tri' face 0 has no material!\nobj 'tri' face 1 has no material!\n");
    EXPECT_EQ(scene.objects[2].faces[1].material, &scene.materials[0]);
    for (int j = 0; j < 6; ++j)
        EXPECT_EQ(scene.objects[0].faces[j].material, &scene.materials[0].subMaterials[j % 3]);
    EXPECT_EQ(scene.objects[1].faces[0].material, &scene.materials[1]);
}

TEST(MeshMaterials, HasTVertsIsDecidedByTheLastObjectUsingTheMaterial) {
    ScratchDir dir;
    MeshObjectRecord textured = tri();
    textured.tverts = {{0, 0}};
    for (bool texturedLast : {true, false}) {
        MeshFileRecord m = oneMaterialTri();
        m.objects = texturedLast ? std::vector<MeshObjectRecord>{tri(), textured}
                                 : std::vector<MeshObjectRecord>{textured, tri()};
        Scene scene;
        ASSERT_EQ(loadBytes(scene, meshBytes(m)).result, 0);
        EXPECT_EQ(scene.materials[0].hasTVerts, texturedLast ? 1 : 0);
    }
}

// ---- Hostile files: never a read or write outside an array, always result 1 or 2 ----

TEST(MeshHostile, WrongMagicAndEveryTruncationAreRejected) {
    ScratchDir dir;
    MeshFileRecord wrong;
    wrong.magic = "_quoxelmeshX";
    Scene notMesh;
    Outcome o = loadBytes(notMesh, meshBytes(wrong));
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.err.rfind("This is not a valid mesh file\n: ", 0), 0u) << o.err;
    Bytes whole = meshBytes(fullMesh());
    Scene complete;
    ASSERT_EQ(loadBytes(complete, whole).result, 0);
    for (size_t n = 0; n < whole.size(); ++n) {
        Scene scene;
        Outcome o = loadBytes(scene, cutBytes(whole, n));
        EXPECT_EQ(o.result, n < 12 ? 1 : 2) << "cut at " << n;
        if (n >= 12) {
            EXPECT_NE(o.err.find(": No data available\n"), std::string::npos) << o.err;
        }
    }
}

TEST(MeshHostile, BadCountsIndicesAndNamesAreRejected) {
    ScratchDir dir;
    const std::string negative = ": Invalid argument\n",
                      outside = ": Numerical result out of range\n";
    struct Case {
        void (*spoil)(MeshFileRecord&);
        std::string report;
    };
    const Case cases[] = {
        {[](MeshFileRecord& m) { m.materialCount = -1; }, "mesh counts" + negative},
        {[](MeshFileRecord& m) { m.lightCount = -32768; }, "mesh counts" + negative},
        {[](MeshFileRecord& m) { m.objects[0].vertexCount = -3; }, "object counts" + negative},
        {[](MeshFileRecord& m) { m.objects[0].faceCount = -1; }, "object counts" + negative},
        {[](MeshFileRecord& m) { m.objects[0].tvertCount = -1; }, "object counts" + negative},
        {[](MeshFileRecord& m) { m.objects[0].faces[1].c = 4; }, "vertex index" + outside},
        {[](MeshFileRecord& m) { m.objects[0].faces[0].a = -1; }, "vertex index" + outside},
        {[](MeshFileRecord& m) { m.objects[1].positions.clear(); }, "vertex index" + outside},
        {[](MeshFileRecord& m) { m.objects[0].faces[0].r = 3; }, "edge index" + outside},
        {[](MeshFileRecord& m) { m.objects[0].faces[1].i = 3; }, "tvert index" + outside},
        {[](MeshFileRecord& m) { m.objects[0].faces[0].k = -1; }, "tvert index" + outside},
        {[](MeshFileRecord& m) { m.objects[1].materialIndex = 2; }, "material index" + outside},
        {[](MeshFileRecord& m) { m.objects[1].materialIndex = -2; }, "material index" + outside},
        {[](MeshFileRecord& m) {
             m.materials.clear();
             m.objects = {tri(-1)};
         },
         "material index" + outside},
        {[](MeshFileRecord& m) { m.objects[0].faces[1].selector = -1; },
         "material selector" + outside},
        {[](MeshFileRecord& m) { m.objects[0].name = std::string(256, 'n'); },
         "object name: File name too long\n"},
        {[](MeshFileRecord& m) { m.materials[1].textureName = std::string(1024, 't'); },
         "texture name: File name too long\nreadmaterial: File name too long\n"},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        MeshFileRecord m = fullMesh();
        cases[i].spoil(m);
        Scene scene;
        Outcome o = loadBytes(scene, meshBytes(m));
        EXPECT_EQ(o.result, 2) << "case " << i;
        EXPECT_EQ(o.err, cases[i].report) << "case " << i;
    }
    // Names at their limits still load.
    MeshFileRecord m = oneMaterialTri();
    m.objects[0].name = std::string(255, 'n');
    m.materials[0].textureName = std::string(1023, 't');
    Scene fits;
    EXPECT_EQ(loadBytes(fits, meshBytes(m)).result, 0);
}

// The stream entry on bytes in memory, as the fuzzers drive it, loads and refuses exactly as the
// file does, and a count the rest cannot hold makes no array in either.
TEST(MeshHostile, BytesInMemoryLoadAndFailAsTheirFile) {
    ScratchDir dir;
    MeshFileRecord tooMany = fullMesh();
    tooMany.objects[1].vertexCount = 32767;
    const Bytes whole = meshBytes(fullMesh());
    for (const Bytes& bytes : {whole, cutBytes(whole, 100), meshBytes(tooMany)}) {
        Scene fromFile, fromMemory;
        Outcome file = loadBytes(fromFile, bytes);
        FILE* f = fmemopen(const_cast<uint8_t*>(bytes.data()), bytes.size(), "r");
        testing::internal::CaptureStderr();
        EXPECT_EQ(readMesh(fromMemory, f), file.result);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), file.err);
        fclose(f);
        for (Scene* s : {&fromFile, &fromMemory})
            EXPECT_EQ(s->objectCount > 1 ? s->objects[1].vertexCount : 0, bytes == whole ? 3 : 0);
    }
}

TEST(MeshHostile, NestedAndOverlongSubMaterialCountsEndTheLoadEarly) {
    ScratchDir dir;
    // Sixteen levels of sub-materials load; a seventeenth is refused before it recurses further.
    auto nested = [](int levels) {
        MeshMaterialRecord leaf{1, 2, 3, "", {}, {}};
        for (int i = 0; i < levels; ++i) {
            MeshMaterialRecord up{1, 2, 3, "", {}, {}};
            up.subs = {leaf};
            leaf = up;
        }
        MeshFileRecord m = oneMaterialTri();
        m.materials = {leaf};
        return m;
    };
    Scene deep;
    EXPECT_EQ(loadBytes(deep, meshBytes(nested(16))).result, 0);
    Scene tooDeep;
    Outcome o = loadBytes(tooDeep, meshBytes(nested(17)));
    EXPECT_EQ(o.result, 2);
    EXPECT_EQ(o.err, "material nesting: Invalid argument\nreadmaterial: Invalid argument\n");

    // A sub-material count the rest of the file cannot hold is a file cut short, found before
    // the array is made.
    MeshFileRecord m = oneMaterialTri();
    m.materials[0].subCount = 32767;
    m.materials[0].subs = {MeshMaterialRecord{4, 5, 6, "", {}, {}}};
    Scene scene;
    o = loadBytes(scene, meshBytes(m));
    EXPECT_EQ(o.result, 2);
    EXPECT_EQ(o.err, "material record: No data available\nreadmaterial: No data available\n");
    EXPECT_EQ(scene.materials[0].subMaterials, nullptr);
}
