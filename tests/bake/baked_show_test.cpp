// The baked show, checked with the demo's own loaders: every file is there and loads, the
// bake is repeatable to the byte, and the content keeps the promises the director relies on
// (frame coverage, a seamless loop, outward faces under the start-up culling, pool budget).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

#include "anim/animation.h"
#include "anim/keyframes.h"
#include "assets/jpeg_images.h"
#include "assets/scene.h"
#include "assets/texture_pool.h"

namespace fs = std::filesystem;

namespace {

const char* const meshNames[3] = {"data/1.chk", "data/2.chk", "data/3.chk"};
const char* const animNames[3] = {"data/1a.chk", "data/2a.chk", "data/3a.chk"};

std::string bakeInto(const fs::path& dir) {
    fs::remove_all(dir);
    std::string command = std::string(LANTERNWHIRL_BAKE) + " " + dir.string() + " > " +
                          (dir.string() + ".log") + " 2>&1";
    int status = std::system(command.c_str());
    return status == 0 ? std::string() : "bake into " + dir.string() + " failed, see its log";
}

std::vector<char> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool isPowerOfTwo(int32_t n) {
    return n > 0 && (n & (n - 1)) == 0;
}

// A bake shared by the tests below, loaded as the start-up sequence loads it.
class BakedShow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // CTest runs each case in a process of its own, maybe side by side: one folder each.
        root = fs::path(LANTERNWHIRL_TEST_DIR) / ("baked-" + std::to_string(getpid()));
        bakeError = bakeInto(root);
        if (!bakeError.empty()) return;
        // Material textures resolve to "gfx\name" relative to the working directory.
        previousDir = fs::current_path();
        fs::current_path(root);
        pool = new TexturePool;
        initPool(*pool, 4194304);
        for (int i = 0; i < 3; ++i) {
            scenes[i] = new Scene;
            animations[i] = new Animation;
            scenes[i]->texturePool = pool;
            meshResults[i] = loadMesh(*scenes[i], meshNames[i]);
            animations[i]->setUp(scenes[i]->objects, scenes[i]->objectCount);
            animResults[i] = animations[i]->load(animNames[i]);
            animations[i]->bindTo(*scenes[i]);
        }
    }
    static void TearDownTestSuite() {
        for (int i = 0; i < 3; ++i) {
            delete animations[i];
            delete scenes[i];
        }
        delete pool;
        if (!previousDir.empty()) fs::current_path(previousDir);
        fs::remove_all(root);
        fs::remove(root.string() + ".log");
    }
    void SetUp() override { ASSERT_EQ(bakeError, "") << bakeError; }

    static fs::path root, previousDir;
    static std::string bakeError;
    static TexturePool* pool;
    static Scene* scenes[3];
    static Animation* animations[3];
    static int meshResults[3], animResults[3];
};

fs::path BakedShow::root, BakedShow::previousDir;
std::string BakedShow::bakeError;
TexturePool* BakedShow::pool = nullptr;
Scene* BakedShow::scenes[3] = {};
Animation* BakedShow::animations[3] = {};
int BakedShow::meshResults[3] = {-1, -1, -1};
int BakedShow::animResults[3] = {-1, -1, -1};

TEST_F(BakedShow, TwoBakesWriteTheSameFilesByteForByte) {
    fs::path other = root.string() + "-again";
    ASSERT_EQ(bakeInto(other), "");
    std::set<std::string> first, second;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) first.insert(fs::relative(entry.path(), root).string());
    for (const auto& entry : fs::recursive_directory_iterator(other))
        if (entry.is_regular_file()) second.insert(fs::relative(entry.path(), other).string());
    EXPECT_EQ(first, second);
    for (const std::string& name : first)
        EXPECT_TRUE(fileBytes(root / name) == fileBytes(other / name)) << name << " differs";
    fs::remove_all(other);
    fs::remove(other.string() + ".log");
}

TEST_F(BakedShow, EveryFileTheDemoOpensIsThere) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(fs::is_regular_file(meshNames[i])) << meshNames[i];
        EXPECT_TRUE(fs::is_regular_file(animNames[i])) << animNames[i];
    }
    for (const JpegImage& image : jpegImageTable) {
        std::string name = image.path; // "data\name.jpg"
        name[4] = '/';
        EXPECT_TRUE(fs::is_regular_file(name)) << name;
    }
    EXPECT_GT(fs::file_size("data/s2.it"), 0u);
}

TEST_F(BakedShow, ScenesAndAnimationsLoadAndBind) {
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("scene " + std::to_string(i + 1));
        EXPECT_EQ(meshResults[i], 0);
        EXPECT_EQ(animResults[i], 0);
        const Scene& s = *scenes[i];
        ASSERT_GE(s.cameraCount, 1);
        EXPECT_GT(s.cameras[0].posKeyCount, 0);
        EXPECT_GT(s.cameras[0].targetKeyCount, 0);
        int32_t faces = 0;
        for (int32_t o = 0; o < s.objectCount; ++o) {
            const GeomObj& obj = s.objects[o];
            EXPECT_GT(obj.keyCount, 0) << obj.name;
            EXPECT_GT(obj.tvertCount, 0) << obj.name << ": no texture coordinates would be sent";
            faces += obj.faceCount;
        }
        EXPECT_GT(faces, 0);
        EXPECT_LT(faces, 4000);
    }
    EXPECT_LT(scenes[0]->firstFrame, scenes[0]->endFrame);
}

// Keys are held, so smooth motion needs a key on every frame the show can ask for: scene 1
// over its own range, scenes 2 and 3 up to 49 frames beyond it.
TEST_F(BakedShow, EveryTrackHasAKeyOnEveryFrameTheShowDraws) {
    int32_t first = scenes[0]->firstFrame, last = scenes[0]->endFrame - 1;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("scene " + std::to_string(i + 1));
        int32_t reach = i == 0 ? last : last + 49;
        const Scene& s = *scenes[i];
        for (int32_t f = first; f <= reach; ++f) {
            const Camera& c = s.cameras[0];
            ASSERT_EQ(c.posKeys[selectKey(c.posKeys, c.posKeyCount, f)].keyFrame, f);
            ASSERT_EQ(c.targetKeys[selectKey(c.targetKeys, c.targetKeyCount, f)].keyFrame, f);
            for (int32_t o = 0; o < s.objectCount; ++o) {
                const GeomObj& obj = s.objects[o];
                ASSERT_EQ(obj.keys[selectKey(obj.keys, obj.keyCount, f)].keyFrame, f) << obj.name;
            }
        }
    }
}

Vector3 cameraSpace(const Vector3& p, const Matrix4& m) {
    return transformPoint(p, m);
}

float distance(const Vector3& a, const Vector3& b) {
    Vector3 d{a.x - b.x, a.y - b.y, a.z - b.z};
    return length(d);
}

// The frame counter wraps from endFrame − 1 to firstFrame: that step must look like any other.
TEST_F(BakedShow, SceneOneLoopsWithoutAJump) {
    Scene& s = *scenes[0];
    auto worst = [&](int32_t a, int32_t b) {
        float move = 0.0f;
        s.cameras[0].evaluate(a);
        Matrix4 va = s.cameras[0].view;
        s.cameras[0].evaluate(b);
        Matrix4 vb = s.cameras[0].view;
        for (int32_t o = 0; o < s.objectCount; ++o) {
            const GeomObj& obj = s.objects[o];
            Matrix4 ma = multiply(obj.keys[selectKey(obj.keys, obj.keyCount, a)].matrix, va);
            Matrix4 mb = multiply(obj.keys[selectKey(obj.keys, obj.keyCount, b)].matrix, vb);
            for (int32_t v = 0; v < obj.vertexCount; v += 7)
                move = std::fmax(move, distance(cameraSpace(obj.vertices[v].pos, ma),
                                                cameraSpace(obj.vertices[v].pos, mb)));
        }
        return move;
    };
    float largestStep = 0.0f;
    for (int32_t f = s.firstFrame; f + 1 < s.endFrame; f += 5)
        largestStep = std::fmax(largestStep, worst(f, f + 1));
    EXPECT_GT(largestStep, 0.0f) << "nothing moves";
    EXPECT_LE(worst(s.endFrame - 1, s.firstFrame), largestStep * 1.25f);
}

// Start-up culls front faces with counter-clockwise fronts, so only triangles that appear
// clockwise are drawn; the renderer sends the corners in the stored (reversed) order and turns
// camera space (x, y, z) into eye space (x, z, −y). A face must be drawn exactly when its
// outside looks at the camera.
TEST_F(BakedShow, FacesAreDrawnExactlyWhenTheirOutsideFacesTheCamera) {
    for (int i = 0; i < 3; ++i) {
        Scene& s = *scenes[i];
        for (int32_t frame : {0, 137, 401}) {
            s.cameras[0].evaluate(frame);
            int32_t checked = 0, wrong = 0;
            for (int32_t o = 0; o < s.objectCount; ++o) {
                const GeomObj& obj = s.objects[o];
                Matrix4 m = multiply(obj.keys[selectKey(obj.keys, obj.keyCount, frame)].matrix,
                                     s.cameras[0].view);
                for (int32_t f = 0; f < obj.faceCount; ++f) {
                    const Face& face = obj.faces[f];
                    Vector3 p[3];
                    for (int c = 0; c < 3; ++c) {
                        Vector3 q = transformPoint(face.vert[c]->pos, m);
                        p[c] = {q.x, q.z, -q.y};
                    }
                    Vector3 e1{p[1].x - p[0].x, p[1].y - p[0].y, p[1].z - p[0].z};
                    Vector3 e2{p[2].x - p[0].x, p[2].y - p[0].y, p[2].z - p[0].z};
                    Vector3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z,
                              e1.x * e2.y - e1.y * e2.x};
                    // Counter-clockwise on screen exactly when the corner normal points back
                    // towards the eye at the origin.
                    bool counterClockwise = -(n.x * p[0].x + n.y * p[0].y + n.z * p[0].z) > 0;
                    Vector3 outward = transformVector(face.normal, m);
                    Vector3 eyeOut{outward.x, outward.z, -outward.y};
                    float toEye =
                        -(eyeOut.x * p[0].x + eyeOut.y * p[0].y + eyeOut.z * p[0].z) / length(p[0]);
                    if (std::fabs(toEye) < 0.05f) continue; // edge-on: either is fine
                    ++checked;
                    bool drawn = !counterClockwise;
                    if (drawn != (toEye > 0)) ++wrong;
                }
            }
            EXPECT_GT(checked, 100);
            EXPECT_EQ(wrong, 0) << "scene " << i + 1 << " frame " << frame;
        }
    }
}

// The trail copies of scene 3 take their texture coordinates from the eye-space normals, so
// every vertex normal must be a unit vector that agrees with the faces around it.
TEST_F(BakedShow, VertexNormalsAreUnitAndAgreeWithTheirFaces) {
    for (int i = 0; i < 3; ++i) {
        const Scene& s = *scenes[i];
        for (int32_t o = 0; o < s.objectCount; ++o) {
            const GeomObj& obj = s.objects[o];
            for (int32_t f = 0; f < obj.faceCount; ++f) {
                const Face& face = obj.faces[f];
                for (int c = 0; c < 3; ++c) {
                    const Vector3& n = face.vert[c]->normal;
                    ASSERT_NEAR(length(n), 1.0f, 1e-3f) << obj.name;
                    float agree = n.x * face.normal.x + n.y * face.normal.y + n.z * face.normal.z;
                    ASSERT_GT(agree, 0.3f) << obj.name << " face " << f;
                }
            }
        }
    }
}

TEST_F(BakedShow, MaterialTexturesLoadWithinThePoolBudget) {
    int32_t named = 0;
    for (int i = 0; i < 3; ++i)
        for (int32_t m = 0; m < scenes[i]->materialCount; ++m) {
            const Material& mat = scenes[i]->materials[m];
            if (!mat.hasTextureName) continue;
            ++named;
            ASSERT_NE(mat.texture, nullptr) << "scene " << i + 1 << " material " << m;
            EXPECT_TRUE(isPowerOfTwo(mat.texture->width)) << mat.texture->name;
            EXPECT_TRUE(isPowerOfTwo(mat.texture->height)) << mat.texture->name;
        }
    EXPECT_GT(named, 0);
    int64_t charged = 0;
    for (int32_t k = 0; k < pool->loadedCount; ++k)
        charged += int64_t{pool->slots[k].width} * pool->slots[k].height * 4;
    EXPECT_LE(charged, 4194304);
    EXPECT_EQ(pool->remaining, 4194304 - charged);
    // Every file under gfx/ is a 24-bit TGA: byte 16 of its header is the depth.
    for (const auto& entry : fs::directory_iterator("gfx")) {
        std::vector<char> bytes = fileBytes(entry.path());
        ASSERT_GE(bytes.size(), 18u);
        EXPECT_EQ(bytes[16], 24) << entry.path();
        int32_t w = static_cast<uint8_t>(bytes[12]) | static_cast<uint8_t>(bytes[13]) << 8;
        int32_t h = static_cast<uint8_t>(bytes[14]) | static_cast<uint8_t>(bytes[15]) << 8;
        EXPECT_EQ(bytes.size(), 18u + static_cast<size_t>(w) * h * 3) << entry.path();
    }
}

TEST_F(BakedShow, PicturesDecodeAtPowerOfTwoSizes) {
    for (const JpegImage& image : jpegImageTable) {
        int32_t w = 0, h = 0;
        uint8_t* pixels = loadJpeg(image.path, w, h);
        ASSERT_NE(pixels, nullptr) << image.path;
        EXPECT_TRUE(isPowerOfTwo(w) && isPowerOfTwo(h)) << image.path << " " << w << "x" << h;
        delete[] pixels;
    }
}

// The title is laid over the whole screen and the scenes whirl through its middle, so its
// text belongs in the upper part; the end picture fills the lower band and keeps its top dark
// so that the scene above is not washed out.
TEST_F(BakedShow, TextSitsWhereTheScenesLeaveRoom) {
    auto rowsLight = [](uint8_t* px, int32_t w, int32_t y0, int32_t y1) {
        double sum = 0;
        for (int32_t y = y0; y < y1; ++y)
            for (int32_t x = 0; x < w * 3; ++x)
                sum += px[static_cast<size_t>(y) * w * 3 + x];
        return sum / ((y1 - y0) * w * 3);
    };
    int32_t w = 0, h = 0;
    uint8_t* title = loadJpeg("data\\lanternwhirl.jpg", w, h);
    ASSERT_NE(title, nullptr);
    double top = rowsLight(title, w, 0, h / 3), rest = rowsLight(title, w, h / 3, h);
    EXPECT_GT(top, 8.0);
    EXPECT_LT(rest, 2.0);
    delete[] title;
    uint8_t* end = loadJpeg("data\\end.jpg", w, h);
    ASSERT_NE(end, nullptr);
    EXPECT_GT(rowsLight(end, w, h / 2, h), 4.0 * rowsLight(end, w, 0, h / 4));
    delete[] end;
}

} // namespace
