// A scene: everything one mesh file describes (materials, mesh objects, room for cameras and
// lights) plus the key lists its animation binds in. Records own the arrays they point to;
// key lists are only borrowed from the Animation.
#pragma once
#include <cstdint>
#include <cstdio>

#include "common/types.h"

struct TexturePool;
struct TextureSlot;

struct Vertex {
    Vector3 pos;     // from the file
    Vector3 xpos;    // carried into the camera's space by the scene renderer
    Vector3 normal;  // from the normals section; the last face to name the vertex wins
    Vector3 xnormal; // carried into the camera's space by the scene renderer
    Vertex();
};

struct Edge {
    uint8_t flag;
};

struct TVert {
    float u, v; // both in [0, 1] after loading
};

struct Material {
    uint8_t red, green, blue;
    TextureSlot* texture;   // null when the name is empty or the texture failed to load
    Material* subMaterials; // owned; null when subCount <= 0
    int32_t subCount;
    int32_t hasTVerts;      // the last face that uses this material decides
    int32_t hasTextureName; // 1 when the stored name was not empty, even if loading failed
};

struct Face {
    Vertex* vert[3];      // corners in the file's order reversed: c, b, a
    int32_t vertIndex[3]; // c, b, a
    Edge* edge[3];        // p, q, r in the file's order
    TVert* tvert[3];      // k, j, i; all null when the object has no texture vertices
    Vector3 normal;
    Material* material;
    Face();
};

struct Camera {
    float* fovKeys;
    int32_t fovKeyCount;
    VectorKey* posKeys;
    int32_t posKeyCount;
    VectorKey* targetKeys;
    int32_t targetKeyCount;
    Matrix4 view;
    Vector3 eye;
    Camera();
    // Selects the keys in force at frame and sets eye and view.
    void evaluate(int32_t frame);
};

struct Light {
    VectorKey* keys;
    int32_t keyCount;
    int32_t tag;
    Vector3 colour;
    float scalar;
    Light();
};

struct GeomObj {
    char* name;
    Vertex* vertices;
    int32_t vertexCount;
    TVert* tverts;
    int32_t tvertCount;
    Edge* edges;
    int32_t edgeCount;
    Face* faces;
    int32_t faceCount;
    ObjectKey* keys; // borrowed from the Animation after binding
    int32_t keyCount;
    Vector3 points[8];
    GeomObj();
    ~GeomObj();
    GeomObj(const GeomObj&) = delete;
    GeomObj& operator=(const GeomObj&) = delete;
};

struct Scene {
    Camera* cameras;
    int32_t cameraCount;
    Light* lights;
    int32_t lightCount;
    GeomObj* objects;
    int32_t objectCount;
    Material* materials;
    int32_t materialCount;
    int32_t firstFrame, endFrame, frameExtra;
    TexturePool* texturePool;
    Scene();
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
};

// 0 on success; 1 when the file cannot be opened or is not a mesh file; 2 when memory runs
// out or the file is broken.
int32_t loadMesh(Scene& scene, const char* path);
// The same from a stream open for reading (a file, or bytes in memory); the caller closes it.
int32_t readMesh(Scene& scene, FILE* stream);
int32_t readMaterial(Scene& scene, Material& material, FILE* stream);
// Releases a material array and every sub-material array below it.
void releaseMaterials(Material* materials, int32_t count);
