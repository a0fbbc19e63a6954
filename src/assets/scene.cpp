#include "assets/scene.h"

#include <cstring>

Vertex::Vertex() : pos(0, 0, 0), xpos(0, 0, 0), normal(0, 0, 0), xnormal(0, 0, 0) {}

Face::Face() : vertIndex{0, 0, 0}, normal(0, 0, 0), material(nullptr) {
    for (int i = 0; i < 3; ++i) {
        vert[i] = nullptr;
        edge[i] = nullptr;
        tvert[i] = nullptr;
    }
}

// The key lists start empty; view and eye start as a camera at the origin looking along +Y,
// so a camera that is never evaluated still holds defined values. A mesh file may ask for
// 32767 cameras: the identity is written out rather than computed in a loop.
Camera::Camera()
    : fovKeys(nullptr), fovKeyCount(0), posKeys(nullptr), posKeyCount(0), targetKeys(nullptr),
      targetKeyCount(0), view{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}, eye(0, 0, 0) {}

Light::Light() : keys(nullptr), keyCount(0), tag(0), colour(0, 0, 0), scalar(0) {}

GeomObj::GeomObj()
    : name(nullptr), vertices(nullptr), vertexCount(0), tverts(nullptr), tvertCount(0),
      edges(nullptr), edgeCount(0), faces(nullptr), faceCount(0), keys(nullptr), keyCount(0) {
    for (auto& p : points)
        p = Vector3(0, 0, 0);
}

// The keys belong to the Animation; the object only borrows them.
GeomObj::~GeomObj() {
    delete[] name;
    delete[] vertices;
    delete[] tverts;
    delete[] edges;
    delete[] faces;
}

Scene::Scene()
    : cameras(nullptr), cameraCount(0), lights(nullptr), lightCount(0), objects(nullptr),
      objectCount(0), materials(nullptr), materialCount(0), firstFrame(0), endFrame(0),
      frameExtra(0), texturePool(nullptr) {}

void releaseMaterials(Material* materials, int32_t count) {
    if (!materials) return;
    for (int32_t i = 0; i < count; ++i)
        releaseMaterials(materials[i].subMaterials, materials[i].subCount);
    delete[] materials;
}

// Camera and light key lists are borrowed from the Animation, so only the arrays go.
Scene::~Scene() {
    delete[] objects;
    releaseMaterials(materials, materialCount);
    delete[] cameras;
    delete[] lights;
}
