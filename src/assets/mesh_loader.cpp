// The mesh loader: one pass front to back over a "_quoxelmesh" file.
//
// The format carries no checks of its own, so every read is checked and every count and index
// is tested before it is used. A broken file ends the load with result 2 and a report whose
// label names what was being read and whose error text says what was wrong: "No data
// available" for a file cut short, "Invalid argument" for a negative count, "Numerical result
// out of range" for an index outside its array, "File name too long" for an over-long name.
#include <cerrno>
#include <cstring>
#include <new>

#include "assets/read_le.h"
#include "assets/scene.h"
#include "assets/texture_pool.h"
#include "platform/files.h"

namespace {
constexpr size_t maxTextureName = 1023;
constexpr size_t maxObjectName = 255;
// The fewest bytes each record can take in the file. A count whose records the rest of the file
// cannot hold is refused before its array is made, so a few bytes cannot make the loader
// build and release megabytes.
// A material: its colour, an empty name and its sub-material count.
constexpr int64_t minMaterialRecord = 6;
// An object: material index, an empty name, the eight points and its four counts.
constexpr int64_t minObjectRecord = 2 + 1 + 96 + 8;
constexpr int64_t vertexRecord = 12;
constexpr int64_t edgeRecord = 1;
// A face and its normals, which every face has.
constexpr int64_t faceRecord = 13 + 48;
constexpr int64_t tvertRecord = 8;
// Sub-materials nest a level or two in real scenes. The limit keeps the recursion off the end of
// the stack, and keeps a file of nested counts from costing time in the square of its size.
constexpr int maxMaterialDepth = 16;

// Reads one of an object's counts: 0, or 2 after the report when it is cut short, negative or
// more than the rest of the file can hold.
int32_t readObjectCount(FILE* f, int16_t& count, int64_t recordBytes) {
    if (!readI16(f, count)) return reportCutShort(f, "object data"), 2;
    if (count < 0) return reportBadValue("object counts", EINVAL), 2;
    if (!holds(f, count, recordBytes)) return reportCutShort(f, "object data"), 2;
    return 0;
}

// The face's material: without a material index the scene's first material; otherwise the
// indexed material, or its sub-material (selector mod subCount) when it has any.
// Null when the file names a material that does not exist.
Material* faceMaterial(Scene& scene, int16_t materialIndex, int8_t selector) {
    if (materialIndex == -1) return scene.materialCount > 0 ? &scene.materials[0] : nullptr;
    if (materialIndex < 0 || materialIndex >= scene.materialCount) return nullptr;
    Material& m = scene.materials[materialIndex];
    if (m.subCount <= 0) return &m;
    // A negative selector would give a negative remainder and point before the array.
    if (selector < 0 || !m.subMaterials) return nullptr;
    return &m.subMaterials[selector % m.subCount];
}

int32_t readObject(Scene& scene, GeomObj& obj, FILE* f) {
    obj.name = nullptr;
    obj.vertices = nullptr;
    obj.tverts = nullptr;
    obj.edges = nullptr;
    obj.faces = nullptr;
    obj.keys = nullptr;

    int16_t materialIndex;
    if (!readI16(f, materialIndex)) return reportCutShort(f, "object data"), 2;

    char name[maxObjectName + 1];
    size_t nameLength;
    if (!readString(f, name, maxObjectName, nameLength)) return perror("object name"), 2;
    obj.name = new (std::nothrow) char[nameLength + 1];
    if (!obj.name) return perror("name"), 2;
    memcpy(obj.name, name, nameLength + 1);

    for (auto& p : obj.points)
        if (!readVector3(f, p)) return reportCutShort(f, "object data"), 2;

    int16_t count;
    if (readObjectCount(f, count, vertexRecord) != 0) return 2;
    if (count > 0) {
        obj.vertices = new (std::nothrow) Vertex[count];
        if (!obj.vertices) return perror("vertlist"), 2;
        obj.vertexCount = count;
        for (int32_t i = 0; i < count; ++i)
            if (!readVector3(f, obj.vertices[i].pos)) return reportCutShort(f, "object data"), 2;
    }

    if (readObjectCount(f, count, edgeRecord) != 0) return 2;
    if (count > 0) {
        obj.edges = new (std::nothrow) Edge[count]();
        if (!obj.edges) return perror("edgelist"), 2;
        obj.edgeCount = count;
        for (int32_t i = 0; i < count; ++i)
            if (!readU8(f, obj.edges[i].flag)) return reportCutShort(f, "object data"), 2;
    }

    if (readObjectCount(f, count, faceRecord) != 0) return 2;
    if (count > 0) {
        obj.faces = new (std::nothrow) Face[count];
        if (!obj.faces) return perror("facelist"), 2;
        obj.faceCount = count;
    }
    for (int32_t j = 0; j < obj.faceCount; ++j) {
        Face& face = obj.faces[j];
        int16_t a, b, c, p, q, r;
        int8_t selector;
        if (!readI16(f, a) || !readI16(f, b) || !readI16(f, c) || !readI16(f, p) ||
            !readI16(f, q) || !readI16(f, r) || !readI8(f, selector))
            return reportCutShort(f, "object data"), 2;
        const int16_t corners[3] = {c, b, a};
        for (int k = 0; k < 3; ++k)
            if (corners[k] < 0 || corners[k] >= obj.vertexCount)
                return reportBadValue("vertex index", ERANGE), 2;
        const int16_t edges[3] = {p, q, r};
        for (int k = 0; k < 3; ++k)
            if (edges[k] < 0 || edges[k] >= obj.edgeCount)
                return reportBadValue("edge index", ERANGE), 2;
        for (int k = 0; k < 3; ++k) {
            face.vertIndex[k] = corners[k];
            face.vert[k] = &obj.vertices[corners[k]];
            face.edge[k] = &obj.edges[edges[k]];
        }
        face.material = faceMaterial(scene, materialIndex, selector);
        if (!face.material) {
            bool badSelector = materialIndex >= 0 && materialIndex < scene.materialCount;
            return reportBadValue(badSelector ? "material selector" : "material index", ERANGE), 2;
        }
        if (materialIndex == -1) printf("obj '%s' face %d has no material!\n", obj.name, j);
    }

    if (readObjectCount(f, count, tvertRecord) != 0) return 2;
    if (count > 0) {
        obj.tverts = new (std::nothrow) TVert[count]();
        if (!obj.tverts) return perror("tvertlist"), 2;
        obj.tvertCount = count;
        for (int32_t i = 0; i < count; ++i) {
            float u, v;
            if (!readF32(f, u) || !readF32(f, v)) return reportCutShort(f, "object data"), 2;
            // Rows run the other way in the images, so v is turned over; both stay in [0, 1].
            // Written as "not above 0" so that a NaN in the file also lands on a bound.
            v = 1.0f - v;
            obj.tverts[i].u = !(u > 0.0f) ? 0.0f : (u > 1.0f ? 1.0f : u);
            obj.tverts[i].v = !(v > 0.0f) ? 0.0f : (v > 1.0f ? 1.0f : v);
        }
        for (int32_t j = 0; j < obj.faceCount; ++j) {
            Face& face = obj.faces[j];
            int16_t ti, tj, tk;
            if (!readI16(f, ti) || !readI16(f, tj) || !readI16(f, tk))
                return reportCutShort(f, "object data"), 2;
            const int16_t corners[3] = {tk, tj, ti};
            for (int k = 0; k < 3; ++k) {
                if (corners[k] < 0 || corners[k] >= obj.tvertCount)
                    return reportBadValue("tvert index", ERANGE), 2;
                face.tvert[k] = &obj.tverts[corners[k]];
            }
            face.material->hasTVerts = 1;
        }
    } else {
        for (int32_t j = 0; j < obj.faceCount; ++j)
            obj.faces[j].material->hasTVerts = 0;
    }

    for (int32_t j = 0; j < obj.faceCount; ++j) {
        Face& face = obj.faces[j];
        if (!readVector3(f, face.normal)) return reportCutShort(f, "object data"), 2;
        for (int k = 0; k < 3; ++k)
            if (!readVector3(f, face.vert[k]->normal)) return reportCutShort(f, "object data"), 2;
    }
    return 0;
}
} // namespace

namespace {
int32_t readMaterialAt(Scene& scene, Material& material, FILE* f, int depth) {
    if (!readU8(f, material.red) || !readU8(f, material.green) || !readU8(f, material.blue))
        return reportCutShort(f, "material record"), 2;

    char name[maxTextureName + 1];
    size_t nameLength;
    if (!readString(f, name, maxTextureName, nameLength)) return perror("texture name"), 2;
    if (nameLength > 0) {
        // Without a pool the name cannot be resolved; the material keeps no texture.
        material.texture = scene.texturePool ? findTexture(*scene.texturePool, name) : nullptr;
        material.hasTextureName = 1;
    } else {
        material.texture = nullptr;
        material.hasTextureName = 0;
    }
    material.hasTVerts = 0;

    int16_t subCount;
    material.subMaterials = nullptr;
    material.subCount = 0;
    if (!readI16(f, subCount)) return reportCutShort(f, "material record"), 2;
    material.subCount = subCount;
    if (subCount <= 0) return 0;
    if (depth >= maxMaterialDepth) {
        material.subCount = 0;
        return reportBadValue("material nesting", EINVAL), 2;
    }
    if (!holds(f, subCount, minMaterialRecord)) {
        material.subCount = 0;
        return reportCutShort(f, "material record"), 2;
    }

    material.subMaterials = new (std::nothrow) Material[subCount]();
    if (!material.subMaterials) return perror("Not enough memory"), 2;
    for (int32_t i = 0; i < subCount; ++i) {
        int32_t result = readMaterialAt(scene, material.subMaterials[i], f, depth + 1);
        if (result != 0) return result;
    }
    return 0;
}
} // namespace

int32_t readMaterial(Scene& scene, Material& material, FILE* f) {
    return readMaterialAt(scene, material, f, 0);
}

int32_t loadMesh(Scene& scene, const char* path) {
    FileCloser file{openFile(path, "rb")};
    if (!file.f) return perror("Unable to open file"), 1;
    return readMesh(scene, file.f);
}

int32_t readMesh(Scene& scene, FILE* f) {
    // A file too short to hold the magic cannot be a mesh file.
    char magic[12];
    if (!readExact(f, magic, sizeof magic) || memcmp(magic, "_quoxelmesh", 12) != 0)
        return perror("This is not a valid mesh file\n"), 1;
    int16_t ignored, materialCount;
    if (!readI16(f, ignored) || !readI16(f, materialCount))
        return reportCutShort(f, "mesh header"), 2;
    if (materialCount < 0) return reportBadValue("mesh counts", EINVAL), 2;
    if (!holds(f, materialCount, minMaterialRecord)) return reportCutShort(f, "material record"), 2;

    if (materialCount > 0) {
        scene.materials = new (std::nothrow) Material[materialCount]();
        if (!scene.materials) return perror("Not enough memory"), 2;
        scene.materialCount = materialCount;
    }
    for (int32_t i = 0; i < scene.materialCount; ++i)
        if (readMaterial(scene, scene.materials[i], f) != 0) return perror("readmaterial"), 2;

    int16_t objectCount, cameraCount, lightCount;
    if (!readI16(f, objectCount) || !readI16(f, cameraCount) || !readI16(f, lightCount))
        return reportCutShort(f, "mesh header"), 2;
    if (objectCount < 0 || cameraCount < 0 || lightCount < 0)
        return reportBadValue("mesh counts", EINVAL), 2;
    if (!holds(f, objectCount, minObjectRecord)) return reportCutShort(f, "object data"), 2;

    if (objectCount > 0) {
        scene.objects = new (std::nothrow) GeomObj[objectCount];
        if (!scene.objects) return perror("geomobj"), 2;
        scene.objectCount = objectCount;
    }
    if (cameraCount > 0) {
        scene.cameras = new (std::nothrow) Camera[cameraCount];
        if (!scene.cameras) return perror("cam"), 2;
        scene.cameraCount = cameraCount;
    }
    if (lightCount > 0) {
        scene.lights = new (std::nothrow) Light[lightCount];
        if (!scene.lights) return perror("light"), 2;
        scene.lightCount = lightCount;
    }

    for (int32_t i = 0; i < scene.objectCount; ++i) {
        int32_t result = readObject(scene, scene.objects[i], f);
        if (result != 0) return result;
    }
    return 0;
}
