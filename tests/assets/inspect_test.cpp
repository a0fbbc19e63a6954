// The inspector as a person runs it: files made by the test writers, the JSON line read back.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "scratch_dir.h"
#include "writers.h"

namespace {
struct ToolRun {
    int status;
    std::string lastLine;
};

ToolRun inspect(const std::string& args) {
    // The GL driver behind the hidden context keeps allocations to the end of the process;
    // under LeakSanitizer they would turn every run into a failure. The loaders' own memory
    // is checked by the unit tests.
    std::string cmd = std::string("ASAN_OPTIONS=detect_leaks=0 '") + LW_INSPECT_TOOL + "' " + args +
                      " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    int status = pclose(p);
    if (!out.empty() && out.back() == '\n') out.pop_back();
    size_t nl = out.rfind('\n');
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            nl == std::string::npos ? out : out.substr(nl + 1)};
}

std::string fnvHex(const Bytes& bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes)
        h = (h ^ b) * 0x100000001b3ull;
    char buf[20];
    snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

MeshFileRecord texturedMesh() {
    MeshFileRecord m;
    MeshMaterialRecord top{10, 20, 30, "C:\\art\\Wood.tga", {}, {}};
    top.subs = {MeshMaterialRecord{1, 1, 1, "", {}, {}}, MeshMaterialRecord{2, 2, 2, "", {}, {}}};
    m.materials = {top};
    m.cameraCount = 1;
    MeshObjectRecord o;
    o.name = "tri \"q\"";
    o.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    o.edgeFlags = {0, 0, 0};
    MeshFaceRecord f;
    f.a = 0, f.b = 1, f.c = 2, f.p = 2, f.q = 1, f.r = 0, f.selector = 3;
    f.i = 0, f.j = 1, f.k = 2;
    f.normal = {0, 0, 1};
    f.vertexNormals = {Vector3{0.1f, 0, 0}, Vector3{0, 0.5f, 0}, Vector3{0, 0, -1}};
    o.faces = {f};
    o.tverts = {{-0.25f, 0.25f}, {1.5f, -0.5f}, {0.5f, 0.5f}};
    m.objects = {o};
    return m;
}
} // namespace

TEST(Inspector, MeshDumpShowsWhatTheLoaderBuilt) {
    ScratchDir dir;
    ASSERT_EQ(system("mkdir gfx"), 0);
    TgaRecord tga;
    tga.width = 2, tga.height = 1, tga.pixels = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(writeTgaFile("gfx/wood.tga", tga));
    ASSERT_TRUE(writeMeshFile("m.chk", texturedMesh()));
    ToolRun r = inspect("mesh m.chk");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.lastLine,
              "{\"result\":0,\"cameras\":1,\"lights\":0,\"materials\":[{\"rgb\":[10,20,30],"
              "\"hasTextureName\":1,\"texture\":{\"path\":\"gfx\\\\Wood.tga\",\"slot\":0,"
              "\"width\":2,\"height\":1},\"hasTVerts\":0,\"sub\":[{\"rgb\":[1,1,1],"
              "\"hasTextureName\":0,\"texture\":null,\"hasTVerts\":0,\"sub\":[]},{\"rgb\":[2,2,2],"
              "\"hasTextureName\":0,\"texture\":null,\"hasTVerts\":1,\"sub\":[]}]}],"
              "\"objects\":[{\"name\":\"tri \\\"q\\\"\",\"vertices\":3,\"edges\":3,\"tverts\":3,"
              "\"faces\":[{\"vert\":[2,1,0],\"edge\":[2,1,0],\"material\":\"0/1\","
              "\"tvert\":[[0.5,0.5],[1,1],[0,0.75]],\"normal\":[0,0,1]}],"
              "\"vertexNormals\":[[0,0,-1],[0,0.5,0],[0.100000001,0,0]]}]}");
}

TEST(Inspector, BrokenOrMissingFilesStillGiveJson) {
    ScratchDir dir;
    ASSERT_TRUE(writeBytes("cut.chk", cutBytes(meshBytes(texturedMesh()), 40)));
    ToolRun cut = inspect("mesh cut.chk");
    EXPECT_EQ(cut.status, 0);
    EXPECT_EQ(cut.lastLine, "{\"result\":2}");
    EXPECT_EQ(inspect("mesh nothing.chk").lastLine, "{\"result\":1}");
    EXPECT_EQ(inspect("anim nothing.chk a.chk").lastLine, "{\"meshResult\":1}");
    EXPECT_EQ(inspect("jpeg nothing.jpg").lastLine, "{\"width\":0,\"height\":0,\"rgbFnv1a\":null}");
    ToolRun tga = inspect("tga nothing.tga");
    EXPECT_EQ(tga.status, 0);
    EXPECT_EQ(tga.lastLine, "{\"result\":1,\"width\":0,\"height\":0,\"depth\":0,"
                            "\"remaining\":4194304,\"pixelsFnv1a\":null}");
}

TEST(Inspector, TgaDumpHashesTheRowsAsStored) {
    ScratchDir dir;
    TgaRecord tga;
    tga.width = 2, tga.height = 2, tga.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ASSERT_TRUE(writeTgaFile("p.tga", tga));
    EXPECT_EQ(inspect("tga p.tga").lastLine,
              "{\"result\":0,\"width\":2,\"height\":2,\"depth\":24,\"remaining\":4194288,"
              "\"pixelsFnv1a\":\"" +
                  fnvHex({7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}) + "\"}");
}

TEST(Inspector, AnimDumpEvaluatesTheCameraAndObjectKeysAtAFrame) {
    ScratchDir dir;
    MeshFileRecord m;
    m.materials = {MeshMaterialRecord{}};
    m.cameraCount = 2;
    MeshObjectRecord a, b;
    a.name = "a";
    b.name = "b";
    m.objects = {a, b};
    ASSERT_TRUE(writeMeshFile("m.chk", m));
    AnimFileRecord anim;
    anim.firstFrame = -5;
    anim.endFrame = 40;
    AnimCameraRecord cam;
    cam.fov = {0.5f};
    cam.pos = {VectorKey{0, Vector3(0, 0, 0)}, VectorKey{10, Vector3(0, -10, 0)}};
    cam.target = {VectorKey{0, Vector3(0, 0, 0)}};
    anim.cameras = {cam};
    AnimObjectRecord block;
    block.name = "a";
    Matrix4 id{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
    block.keys = {ObjectKey{0, id}, ObjectKey{20, id}};
    anim.objects = {block};
    ASSERT_TRUE(writeAnimFile("a.chk", anim));
    ToolRun r = inspect("anim m.chk a.chk --frame 20");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.lastLine,
              "{\"result\":0,\"firstFrame\":-5,\"endFrame\":40,\"frameExtra\":0,"
              "\"cameras\":[{\"fov\":[0.5],\"pos\":[[0,0,0,0],[10,0,-10,0]],"
              "\"target\":[[0,0,0,0]]},{\"fov\":[],\"pos\":[],\"target\":[]}],\"lights\":[],"
              "\"objects\":[{\"name\":\"a\",\"keys\":[[0,1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"
              "[20,1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1]]},{\"name\":\"b\",\"keys\":[]}],"
              "\"eval\":{\"frame\":20,\"camera0\":{\"eye\":[0,-10,0],"
              "\"view\":[1,0,0,0,0,1,0,0,0,0,1,0,0,10,0,1]},\"objectKeys\":[1,-1]}}");
}

TEST(Inspector, UsageErrorsExitWithTwo) {
    for (const char* args : {"", "mesh", "mesh a b", "bogus x", "anim m a --frame",
                             "anim m a --frame 1x", "anim m a --frames 3", "jpeg"})
        EXPECT_EQ(inspect(args).status, 2) << args;
}
