#include "anim/scene_renderer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "anim/animation.h"
#include "assets/scene.h"
#include "common/gl_in_force.h"
#include "gl_recorder.h"
#include "show_data.h"
#include "writers.h"

namespace {

GlCall call(const char* name, std::vector<double> args = {}) {
    return GlCall{name, args};
}
double f(float v) {
    return v;
}

struct LoadedScene {
    Scene scene;
    Animation animation;
};

Matrix4 moved(float x, float y, float z) {
    Matrix4 m{};
    m.at(0, 0) = m.at(1, 1) = m.at(2, 2) = m.at(3, 3) = 1.0f;
    m.at(3, 0) = x, m.at(3, 1) = y, m.at(3, 2) = z;
    return m;
}

// One triangle object; positions, normals and texture vertices as given (file order a, b, c).
MeshObjectRecord triangle(const std::string& name, std::array<Vector3, 3> positions,
                          std::array<Vector3, 3> normals, bool withTVerts) {
    MeshObjectRecord o;
    o.name = name;
    o.positions = {positions[0], positions[1], positions[2]};
    o.edgeFlags = {1, 1, 1};
    MeshFaceRecord face;
    face.a = 0, face.b = 1, face.c = 2;
    face.p = 0, face.q = 1, face.r = 2;
    face.i = 0, face.j = 1, face.k = 2;
    face.normal = Vector3{0, -1, 0};
    // The normals section names the stored corners c, b, a.
    face.vertexNormals = {normals[2], normals[1], normals[0]};
    o.faces = {face};
    if (withTVerts) o.tverts = {{0.1f, 0.2f}, {0.3f, 0.4f}, {0.5f, 0.6f}};
    return o;
}

AnimObjectRecord track(const std::string& name, std::vector<ObjectKey> keys) {
    AnimObjectRecord t;
    t.name = name;
    t.keys = std::move(keys);
    return t;
}

AnimCameraRecord camera(Vector3 eye, Vector3 target) {
    AnimCameraRecord c;
    c.fov = {0.8f};
    c.pos = {VectorKey{0, eye}};
    c.target = {VectorKey{0, target}};
    return c;
}

class SceneRenderer : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = makeTempDir();
        ASSERT_FALSE(dir.empty());
        glrec::reset();
        glInForce = GlInForce{};
        skipInvisibleLayers = true;
    }

    // Writes the two files and loads them the way the start-up sequence does.
    std::unique_ptr<LoadedScene> load(const MeshFileRecord& mesh, const AnimFileRecord& anim) {
        const std::string meshPath = dir + "/m" + std::to_string(serial) + ".chk";
        const std::string animPath = dir + "/a" + std::to_string(serial++) + ".chk";
        EXPECT_TRUE(writeMeshFile(meshPath, mesh));
        EXPECT_TRUE(writeAnimFile(animPath, anim));
        auto s = std::make_unique<LoadedScene>();
        EXPECT_EQ(loadMesh(s->scene, meshPath.c_str()), 0);
        s->animation.setUp(s->scene.objects, s->scene.objectCount);
        EXPECT_EQ(s->animation.load(animPath.c_str()), 0);
        s->animation.bindTo(s->scene);
        glrec::reset(); // loading may upload textures; the tests look at drawing only
        return s;
    }

    // Camera at the origin looking along +Y: camera space is world space.
    std::unique_ptr<LoadedScene> straightAhead(bool withTVerts) {
        MeshFileRecord mesh;
        mesh.materials = {MeshMaterialRecord{}};
        mesh.cameraCount = 1;
        mesh.objects = {triangle("tri", {Vector3{0, 10, 0}, Vector3{2, 10, 0}, Vector3{0, 10, 3}},
                                 {Vector3{0, 0, 1}, Vector3{0.6f, -0.8f, 0}, Vector3{1, 0, 0}},
                                 withTVerts)};
        AnimFileRecord anim;
        anim.endFrame = 10;
        anim.cameras = {camera(Vector3{0, 0, 0}, Vector3{0, 10, 0})};
        anim.objects = {track("tri", {ObjectKey{0, moved(0, 0, 0)}})};
        return load(mesh, anim);
    }

    // Two one-triangle objects, ten and twenty units straight ahead; only the first may have
    // texture vertices.
    std::unique_ptr<LoadedScene> twoAhead(const std::array<Vector3, 3>& normals, bool firstTVerts,
                                          std::vector<ObjectKey> first,
                                          std::vector<ObjectKey> second) {
        MeshFileRecord mesh;
        mesh.materials = {MeshMaterialRecord{}};
        mesh.cameraCount = 1;
        mesh.objects = {triangle("first", {Vector3{0, 10, 0}, Vector3{1, 10, 0}, Vector3{0, 10, 1}},
                                 normals, firstTVerts),
                        triangle("second",
                                 {Vector3{0, 20, 0}, Vector3{1, 20, 0}, Vector3{0, 20, 1}}, normals,
                                 false)};
        AnimFileRecord anim;
        anim.endFrame = 10;
        anim.cameras = {camera(Vector3{0, 0, 0}, Vector3{0, 10, 0})};
        anim.objects = {track("first", std::move(first)), track("second", std::move(second))};
        return load(mesh, anim);
    }

    std::string dir;
    int serial = 0;
};

// The state calls of a pass with blendType 1, before its triangles and after them.
std::vector<GlCall> passOpening(GLuint texture) {
    return {call("glMatrixMode", {GL_MODELVIEW}),
            call("glPushMatrix"),
            call("glLoadIdentity"),
            call("glBlendFunc", {GL_SRC_ALPHA, GL_ONE}),
            call("glEnable", {GL_BLEND}),
            call("glEnable", {GL_TEXTURE_2D}),
            call("glBindTexture", {GL_TEXTURE_2D, double(texture)})};
}
std::vector<GlCall> passClosing() {
    return {call("glPopMatrix"), call("glDisable", {GL_LIGHTING}),
            call("glBlendFunc", {GL_SRC_ALPHA, GL_ONE})};
}
void append(std::vector<GlCall>& to, const std::vector<GlCall>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// GL receives camera-space (x, y, z) as (x, z, -y).
std::vector<double> gl(float x, float y, float z) {
    return {f(x), f(z), f(-y)};
}

} // namespace

TEST_F(SceneRenderer, EachFaceIsOneTriangleBatchWithCornersInStoredOrder) {
    auto s = straightAhead(true);
    // Camera-space (0, 10, 0), ten units ahead, reaches GL as (0, 0, -10), and the up normal
    // (0, 0, 1) as (0, 1, 0); an alpha below 0 goes to GL unchanged (drawn in full when
    // no layer is left out).
    skipInvisibleLayers = false;
    drawAnimatedScene(s->scene, 0, 0, 120, -0.3f, 1, 0);

    // Stored corners are the file's c, b, a; texture vertices k, j, i, stored as (u, 1 - v).
    std::vector<GlCall> expected = passOpening(120);
    append(expected,
           {call("glBegin", {GL_TRIANGLES}), call("glColor4f", {1, 1, 1, f(-0.3f)}),
            call("glNormal3fv", gl(1, 0, 0)), call("glTexCoord2f", {f(0.5f), f(1 - 0.6f)}),
            call("glVertex3fv", gl(0, 10, 3)), call("glNormal3fv", gl(0.6f, -0.8f, 0)),
            call("glTexCoord2f", {f(0.3f), f(1 - 0.4f)}), call("glVertex3fv", gl(2, 10, 0)),
            call("glNormal3fv", gl(0, 0, 1)), call("glTexCoord2f", {f(0.1f), f(1 - 0.2f)}),
            call("glVertex3fv", gl(0, 10, 0)), call("glEnd")});
    append(expected, passClosing());
    EXPECT_EQ(glrec::calls(), expected) << glrec::dump();
}

TEST_F(SceneRenderer, BlendTypeChoosesTheFunctionAndTheCallAlwaysLeavesAdditive) {
    auto s = straightAhead(true);
    struct Case {
        int32_t blendType;
        std::vector<GlCall> set;
    };
    const Case cases[] = {{0, {}},
                          {1, {call("glBlendFunc", {GL_SRC_ALPHA, GL_ONE})}},
                          {2, {call("glBlendFunc", {GL_ONE, GL_ONE})}},
                          {3, {call("glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA})}},
                          {4, {}},
                          {-7, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blendType);
        glrec::reset();
        glEnable(GL_LIGHTING);
        glBlendFunc(GL_DST_ALPHA, GL_ZERO);
        glrec::calls().clear();

        drawAnimatedScene(s->scene, 0, 0, 14, 1.0f, c.blendType, 0);

        // The function in force while drawing comes before the first glBegin.
        std::vector<GlCall> before;
        for (const GlCall& k : glrec::calls()) {
            if (k.name == "glBegin") break;
            if (k.name == "glBlendFunc") before.push_back(k);
        }
        EXPECT_EQ(before, c.set);
        const GlState& st = glrec::state();
        EXPECT_EQ(st.blendSrc, GLenum(GL_SRC_ALPHA));
        EXPECT_EQ(st.blendDst, GLenum(GL_ONE));
        EXPECT_FALSE(st.isEnabled(GL_LIGHTING));
        EXPECT_TRUE(st.isEnabled(GL_BLEND));
        EXPECT_TRUE(st.isEnabled(GL_TEXTURE_2D));
        EXPECT_EQ(st.boundTexture, 14u);
        EXPECT_EQ(st.matrixMode, GLenum(GL_MODELVIEW));
        EXPECT_EQ(st.stackDepth[0], 1);
        EXPECT_EQ(st.openBegins, 0);
        EXPECT_EQ(st.color[3], 1.0f);
    }
}

TEST_F(SceneRenderer, NormalTexCoordsUseTheEyeSpaceNormalsRightAndUp) {
    auto s = straightAhead(true);
    drawAnimatedScene(s->scene, 0, 0, 120, 1.0f, 1, 1);
    const auto tex = glrec::callsNamed("glTexCoord2f");
    ASSERT_EQ(tex.size(), 3u);
    // Stored corner order: normals (1, 0, 0), (0.6, -0.8, 0), (0, 0, 1).
    EXPECT_EQ(tex[0].args, (std::vector<double>{1, 0}));
    EXPECT_EQ(tex[1].args, (std::vector<double>{f(0.6f), 0}));
    EXPECT_EQ(tex[2].args, (std::vector<double>{0, 1}));
}

TEST_F(SceneRenderer, ObjectWithoutTextureVerticesSendsNoTextureCoordinates) {
    auto s = straightAhead(false);
    for (int32_t normalTexCoords : {0, 1}) {
        glrec::reset();
        drawAnimatedScene(s->scene, 0, 0, 120, 1.0f, 1, normalTexCoords);
        EXPECT_TRUE(glrec::callsNamed("glTexCoord2f").empty()) << glrec::dump();
        EXPECT_EQ(glrec::callsNamed("glVertex3fv").size(), 3u);
    }
}

TEST_F(SceneRenderer, ObjectKeyThenCameraCarryEveryVertexIntoEyeSpace) {
    MeshFileRecord mesh;
    mesh.materials = {MeshMaterialRecord{}};
    mesh.cameraCount = 1;
    mesh.objects = {triangle("tri", {Vector3{0, 0, 0}, Vector3{1, 0, 0}, Vector3{0, 0, 1}},
                             {Vector3{1, 0, 0}, Vector3{1, 0, 0}, Vector3{1, 0, 0}}, false)};
    AnimFileRecord anim;
    anim.endFrame = 50;
    // A camera ten units behind the origin looking at it: the origin lands ten units ahead.
    anim.cameras = {camera(Vector3{0, -10, 0}, Vector3{0, 0, 0})};
    anim.objects = {track("tri", {ObjectKey{0, moved(1, 2, 3)}, ObjectKey{10, moved(5, 0, 0)}})};
    auto s = load(mesh, anim);

    drawAnimatedScene(s->scene, 12, 0, 120, 1.0f, 1, 0);
    auto v = glrec::callsNamed("glVertex3fv");
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[2].args, gl(5, 10, 0)); // vertex (0, 0, 0) under key 1

    // Drawn again at an earlier frame, the records hold the later call's results.
    drawAnimatedScene(s->scene, 3, 0, 120, 1.0f, 1, 0);
    const Vertex& origin = s->scene.objects[0].vertices[0];
    EXPECT_FLOAT_EQ(origin.xpos.x, 1.0f);
    EXPECT_FLOAT_EQ(origin.xpos.y, 12.0f);
    EXPECT_FLOAT_EQ(origin.xpos.z, 3.0f);
    // Normals turn with the object but do not move.
    EXPECT_FLOAT_EQ(origin.xnormal.x, 1.0f);
    EXPECT_FLOAT_EQ(origin.xnormal.y, 0.0f);
}

TEST_F(SceneRenderer, UnseeableCamerasDrawNothingButLeaveTheSameState) {
    auto s = straightAhead(true);
    drawAnimatedScene(s->scene, 0, 0, 120, 1.0f, 1, 0);
    const std::vector<std::string> drawn = glrec::names();

    // The state part of a drawing: everything but the triangle batches.
    std::vector<std::string> frame;
    bool inside = false;
    for (const std::string& n : drawn) {
        if (n == "glBegin") inside = true;
        if (!inside) frame.push_back(n);
        if (n == "glEnd") inside = false;
    }

    auto expectNothingDrawn = [&](const char* what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(glrec::names(), frame) << glrec::dump();
        EXPECT_EQ(glrec::state().stackDepth[0], 1);
        EXPECT_EQ(glrec::state().blendDst, GLenum(GL_ONE));
    };
    for (int32_t index : {1, 7, -1}) {
        glrec::reset();
        drawAnimatedScene(s->scene, 0, index, 120, 1.0f, 1, 0);
        expectNothingDrawn("camera index beyond the cameras");
    }
    Camera& cam = s->scene.cameras[0];
    const int32_t targets = cam.targetKeyCount;
    cam.targetKeyCount = 0;
    glrec::reset();
    drawAnimatedScene(s->scene, 0, 0, 120, 1.0f, 1, 0);
    expectNothingDrawn("camera without target keys");
    cam.targetKeyCount = targets;

    const int32_t positions = cam.posKeyCount;
    cam.posKeyCount = 0;
    glrec::reset();
    drawAnimatedScene(s->scene, 0, 0, 120, 1.0f, 1, 0);
    expectNothingDrawn("camera without position keys");
    cam.posKeyCount = positions;
}

TEST_F(SceneRenderer, ObjectWithoutKeysIsLeftOutAndTheOthersDraw) {
    const std::array<Vector3, 3> n = {Vector3{0, -1, 0}, Vector3{0, -1, 0}, Vector3{0, -1, 0}};
    auto s = twoAhead(n, false, {ObjectKey{0, moved(0, 0, 0)}}, {ObjectKey{0, moved(0, 0, 0)}});
    s->scene.objects[0].keyCount = 0;

    drawAnimatedScene(s->scene, 0, 0, 120, 1.0f, 1, 0);
    auto v = glrec::callsNamed("glVertex3fv");
    ASSERT_EQ(v.size(), 3u);
    for (const GlCall& c : v)
        EXPECT_EQ(c.args[2], -20.0);
}

TEST_F(SceneRenderer, TargetOnTheEyeKeepsTheRestOrientation) {
    MeshFileRecord mesh;
    mesh.materials = {MeshMaterialRecord{}};
    mesh.cameraCount = 1;
    mesh.objects = {triangle("tri", {Vector3{0, 10, 0}, Vector3{1, 10, 0}, Vector3{0, 10, 1}},
                             {Vector3{0, -1, 0}, Vector3{0, -1, 0}, Vector3{0, -1, 0}}, false)};
    AnimFileRecord anim;
    anim.endFrame = 10;
    anim.cameras = {camera(Vector3{0, -5, 0}, Vector3{0, -5, 0})};
    anim.objects = {track("tri", {ObjectKey{0, moved(0, 0, 0)}})};
    auto s = load(mesh, anim);

    drawAnimatedScene(s->scene, 0, 0, 120, 1.0f, 1, 0);
    auto v = glrec::callsNamed("glVertex3fv");
    ASSERT_EQ(v.size(), 3u);
    for (const GlCall& c : v)
        for (double e : c.args)
            EXPECT_TRUE(std::isfinite(e)) << glrec::dump();
    // Looking along +Y from (0, -5, 0): the vertex at y = 10 is fifteen units ahead.
    EXPECT_EQ(v[2].args, gl(0, 15, 0));
}

TEST_F(SceneRenderer, PassWithNoAlphaSendsNoTrianglesButLeavesWhatItsTrianglesWould) {
    auto s = straightAhead(true);
    drawAnimatedScene(s->scene, 0, 0, 120, -0.3f, 1, 0);
    // The colour, and the normal and texture coordinate of the last corner sent.
    std::vector<GlCall> expected = passOpening(120);
    append(expected, {call("glColor4f", {1, 1, 1, f(-0.3f)}), call("glNormal3fv", gl(0, 0, 1)),
                      call("glTexCoord2f", {f(0.1f), f(1 - 0.2f)})});
    append(expected, passClosing());
    EXPECT_EQ(glrec::calls(), expected) << glrec::dump();

    // Two objects, the second without texture vertices: the coordinate left current is the
    // first one's last. Each way of finding the texture coordinate, under both alpha blends
    // and at 0 as well as below it, leaves the state and vertex records of a drawn pass.
    const std::array<Vector3, 3> n = {Vector3{0, -1, 0}, Vector3{0.6f, -0.8f, 0}, Vector3{1, 0, 0}};
    auto two = twoAhead(n, true, {ObjectKey{0, moved(1, 2, 3)}},
                        {ObjectKey{0, moved(0, 0, 0)}, ObjectKey{5, moved(4, 0, 0)}});
    struct Run {
        std::vector<std::string> names;
        GlState state;
        Vector3 xpos;
    };
    auto run = [&](Scene& scene, int32_t blendType, float alpha, int32_t normalTexCoords,
                   bool skip) {
        glrec::reset();
        glInForce = GlInForce{};
        skipInvisibleLayers = skip;
        drawAnimatedScene(scene, 6, 0, 14, alpha, blendType, normalTexCoords);
        skipInvisibleLayers = true;
        return Run{glrec::names(), glrec::state(),
                   scene.objects[scene.objectCount - 1].vertices[2].xpos};
    };
    for (Scene* scene : {&s->scene, &two->scene})
        for (int32_t blendType : {1, 3})
            for (int32_t normalTexCoords : {0, 1})
                for (float alpha : {0.0f, -0.5f}) {
                    SCOPED_TRACE(testing::Message()
                                 << scene->objectCount << " objects, blend " << blendType
                                 << ", normalTexCoords " << normalTexCoords << ", alpha " << alpha);
                    // Records of another frame, so that the pass must overwrite them.
                    drawAnimatedScene(*scene, 0, 0, 14, 1.0f, 1, 0);
                    const Run drawn = run(*scene, blendType, alpha, normalTexCoords, false);
                    drawAnimatedScene(*scene, 0, 0, 14, 1.0f, 1, 0);
                    const Run skipped = run(*scene, blendType, alpha, normalTexCoords, true);
                    EXPECT_EQ(std::count(drawn.names.begin(), drawn.names.end(), "glBegin"),
                              scene->objectCount);
                    EXPECT_EQ(std::count(skipped.names.begin(), skipped.names.end(), "glBegin"), 0);
                    EXPECT_TRUE(skipped.state == drawn.state);
                    EXPECT_EQ(skipped.xpos.x, drawn.xpos.x);
                }
}

TEST_F(SceneRenderer, PassesThatMayChangeAPixelAreDrawnWhateverTheirAlpha) {
    auto s = straightAhead(true);
    auto triangles = [&](std::function<void()> before, int32_t blendType, float alpha) {
        glrec::reset();
        glInForce = GlInForce{};
        before();
        drawAnimatedScene(s->scene, 0, 0, 120, alpha, blendType, 0);
        return glrec::callsNamed("glBegin").size();
    };
    const auto nothing = [] {};
    EXPECT_EQ(triangles(nothing, 1, 1e-30f), 1u);
    EXPECT_EQ(triangles(nothing, 2, 0.0f), 1u) << "(GL_ONE, GL_ONE) adds whatever the alpha";
    // blendType 0 keeps the function in force: a context's own (GL_ONE, GL_ZERO) replaces.
    EXPECT_EQ(triangles(nothing, 0, -1.0f), 1u);
    EXPECT_EQ(triangles([] { setBlendFunction(GL_SRC_ALPHA, GL_ONE); }, 0, -1.0f), 0u);
    EXPECT_EQ(triangles([] { setDepthTest(true); }, 1, -1.0f), 1u) << "depth is written";
    EXPECT_EQ(triangles([] { setLighting(true); }, 1, -1.0f), 1u) << "the material's alpha";
}
