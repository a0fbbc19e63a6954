#include "show_data.h"

#include <sys/stat.h>

#include <cstdlib>

#include "writers.h"

const PictureColour showPictures[8] = {
    {"lanternwhirl.jpg", 255, 0, 0},  {"obrelline.jpg", 128, 128, 128},
    {"tessivane.jpg", 128, 128, 128}, {"end.jpg", 255, 255, 0},
    {"marrowquill.jpg", 255, 0, 255}, {"fennicove.jpg", 0, 0, 255},
    {"env.jpg", 0, 255, 0},           {"pulsar.jpg", 0, 255, 255},
};

// Scene 1 on the left, scene 2 on the right, scene 3 in the upper middle; they do not overlap.
const QuadPlace sceneQuads[3] = {
    {-50.0f, -10.0f, -20.0f, 20.0f, 100.0f},
    {11.0f, 55.0f, -22.0f, 22.0f, 110.0f},
    {-18.0f, 18.0f, 30.0f, 45.0f, 120.0f},
};

namespace {

Matrix4 placement(float dx) {
    Matrix4 m{};
    m.at(0, 0) = m.at(1, 1) = m.at(2, 2) = m.at(3, 3) = 1.0f;
    m.at(3, 0) = dx;
    return m;
}

MeshFileRecord sceneMesh(int n) {
    const QuadPlace& q = sceneQuads[n];
    MeshObjectRecord quad;
    quad.materialIndex = 0;
    quad.name = "quad" + std::to_string(n + 1);
    // 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left, as the camera sees them.
    quad.positions = {Vector3{q.x0, q.ahead, q.z1}, Vector3{q.x1, q.ahead, q.z1},
                      Vector3{q.x1, q.ahead, q.z0}, Vector3{q.x0, q.ahead, q.z0}};
    quad.edgeFlags = {1, 1, 1, 1, 0};
    // The loader reverses each face's corners; stored, they run clockwise on the screen,
    // which is the side the show's culling keeps.
    MeshFaceRecord upper;
    upper.a = 2, upper.b = 1, upper.c = 0;
    upper.p = 0, upper.q = 1, upper.r = 4;
    upper.i = 2, upper.j = 1, upper.k = 0;
    MeshFaceRecord lower;
    lower.a = 3, lower.b = 2, lower.c = 0;
    lower.p = 4, lower.q = 2, lower.r = 3;
    lower.i = 3, lower.j = 2, lower.k = 0;
    for (MeshFaceRecord* f : {&upper, &lower}) {
        f->normal = Vector3{0, -1, 0};
        f->vertexNormals = {Vector3{0, -1, 0}, Vector3{0, -1, 0}, Vector3{0, -1, 0}};
    }
    quad.faces = {upper, lower};
    quad.tverts = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

    MeshFileRecord mesh;
    MeshMaterialRecord plain;
    plain.red = plain.green = plain.blue = 200;
    mesh.materials = {plain};
    mesh.cameraCount = 1;
    mesh.lightCount = 0;
    mesh.objects = {quad};
    return mesh;
}

AnimFileRecord sceneAnimation(int n, const ShowDataOptions& options) {
    AnimFileRecord anim;
    anim.firstFrame = options.firstFrame;
    anim.endFrame = options.endFrame;
    AnimCameraRecord camera;
    camera.fov = {0.785f};
    camera.pos = {VectorKey{0, Vector3{0, 0, 0}}};
    camera.target = {VectorKey{0, Vector3{0, 1, 0}}};
    anim.cameras = {camera};
    AnimObjectRecord track;
    track.name = "quad" + std::to_string(n + 1);
    if (options.frameCodedKeys)
        for (int16_t k = 0; k < 400; ++k)
            track.keys.push_back(ObjectKey{k, placement(k)});
    else
        track.keys = {ObjectKey{0, placement(0)}};
    anim.objects = {track};
    return anim;
}

} // namespace

std::string makeTempDir() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/lanternwhirl-XXXXXX";
    if (!mkdtemp(&pattern[0])) return std::string();
    return pattern;
}

bool writeShowData(const std::string& dir, const ShowDataOptions& options) {
    mkdir(dir.c_str(), 0755);
    const std::string data = dir + "/data";
    mkdir(data.c_str(), 0755);
    for (int n = 0; n < 3; ++n) {
        const std::string stem = data + "/" + std::to_string(n + 1);
        if (!writeMeshFile(stem + ".chk", sceneMesh(n))) return false;
        if (!writeAnimFile(stem + "a.chk", sceneAnimation(n, options))) return false;
    }
    const int side = 16;
    for (const PictureColour& p : showPictures) {
        Bytes pixels;
        for (int i = 0; i < side * side; ++i)
            pixels.insert(pixels.end(), {p.r, p.g, p.b});
        if (!writeJpegFile(data + "/" + p.file, side, side, 3, pixels)) return false;
    }
    return true;
}
