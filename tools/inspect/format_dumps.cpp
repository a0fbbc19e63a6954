// The inspector's dumps: what the demo's own loaders build from one file, as one JSON object.
// Mesh, animation and TGA dumps upload textures into whatever GL context is current.
#include "format_dumps.h"

#include "anim/animation.h"
#include "anim/keyframes.h"
#include "assets/jpeg_images.h"
#include "assets/scene.h"
#include "assets/texture_pool.h"
#include "json_out.h"

#include <string>

namespace {
constexpr int32_t poolBudget = 4194304;

void appendVector(std::string& out, const Vector3& v) {
    out += '[';
    appendJsonFloat(out, v.x);
    out += ',';
    appendJsonFloat(out, v.y);
    out += ',';
    appendJsonFloat(out, v.z);
    out += ']';
}

// The "/"-joined index path of a material in the scene's material tree ("0", "0/2").
bool materialPath(const Material* list, int32_t count, const Material* target, std::string& out) {
    for (int32_t i = 0; i < count; ++i) {
        std::string here = out.empty() ? std::to_string(i) : out + "/" + std::to_string(i);
        if (&list[i] == target) {
            out = here;
            return true;
        }
        std::string below = here;
        if (list[i].subMaterials &&
            materialPath(list[i].subMaterials, list[i].subCount, target, below)) {
            out = below;
            return true;
        }
    }
    return false;
}

void appendMaterial(std::string& out, const Scene& scene, const Material& m) {
    out += "{\"rgb\":[" + std::to_string(m.red) + "," + std::to_string(m.green) + "," +
           std::to_string(m.blue) + "],\"hasTextureName\":" + std::to_string(m.hasTextureName) +
           ",\"texture\":";
    if (m.texture && scene.texturePool) {
        out += "{\"path\":";
        appendJsonString(out, m.texture->name ? m.texture->name : "");
        out += ",\"slot\":" + std::to_string(m.texture - scene.texturePool->slots) +
               ",\"width\":" + std::to_string(m.texture->width) +
               ",\"height\":" + std::to_string(m.texture->height) + "}";
    } else {
        out += "null";
    }
    out += ",\"hasTVerts\":" + std::to_string(m.hasTVerts) + ",\"sub\":[";
    for (int32_t i = 0; m.subMaterials && i < m.subCount; ++i) {
        if (i) out += ',';
        appendMaterial(out, scene, m.subMaterials[i]);
    }
    out += "]}";
}

void appendObject(std::string& out, const Scene& scene, const GeomObj& o) {
    out += "{\"name\":";
    appendJsonString(out, o.name ? o.name : "");
    out += ",\"vertices\":" + std::to_string(o.vertexCount) +
           ",\"edges\":" + std::to_string(o.edgeCount) +
           ",\"tverts\":" + std::to_string(o.tvertCount) + ",\"faces\":[";
    for (int32_t j = 0; j < o.faceCount; ++j) {
        const Face& f = o.faces[j];
        if (j) out += ',';
        out += "{\"vert\":[" + std::to_string(f.vertIndex[0]) + "," +
               std::to_string(f.vertIndex[1]) + "," + std::to_string(f.vertIndex[2]) +
               "],\"edge\":[";
        for (int k = 0; k < 3; ++k) {
            if (k) out += ',';
            out += f.edge[k] ? std::to_string(f.edge[k] - o.edges) : std::string("null");
        }
        std::string path;
        if (!materialPath(scene.materials, scene.materialCount, f.material, path)) path = "";
        out += "],\"material\":";
        appendJsonString(out, path.c_str());
        out += ",\"tvert\":";
        if (f.tvert[0]) {
            out += '[';
            for (int k = 0; k < 3; ++k) {
                if (k) out += ',';
                out += '[';
                appendJsonFloat(out, f.tvert[k]->u);
                out += ',';
                appendJsonFloat(out, f.tvert[k]->v);
                out += ']';
            }
            out += ']';
        } else {
            out += "null";
        }
        out += ",\"normal\":";
        appendVector(out, f.normal);
        out += '}';
    }
    out += "],\"vertexNormals\":[";
    for (int32_t i = 0; i < o.vertexCount; ++i) {
        if (i) out += ',';
        appendVector(out, o.vertices[i].normal);
    }
    out += "]}";
}

// Loads a mesh into a scene backed by a fresh pool; the material textures upload into whatever
// GL context is current.
int32_t loadSceneMesh(Scene& scene, TexturePool& pool, const char* path) {
    initPool(pool, poolBudget);
    scene.texturePool = &pool;
    return loadMesh(scene, path);
}

} // namespace

std::string dumpMesh(const char* path) {
    TexturePool pool;
    Scene scene;
    int32_t result = loadSceneMesh(scene, pool, path);
    std::string out = "{\"result\":" + std::to_string(result);
    if (result == 0) {
        out += ",\"cameras\":" + std::to_string(scene.cameraCount) +
               ",\"lights\":" + std::to_string(scene.lightCount) + ",\"materials\":[";
        for (int32_t i = 0; i < scene.materialCount; ++i) {
            if (i) out += ',';
            appendMaterial(out, scene, scene.materials[i]);
        }
        out += "],\"objects\":[";
        for (int32_t i = 0; i < scene.objectCount; ++i) {
            if (i) out += ',';
            appendObject(out, scene, scene.objects[i]);
        }
        out += ']';
    }
    out += '}';
    return out;
}

namespace {
void appendVectorKeys(std::string& out, const VectorKey* keys, int32_t count) {
    out += '[';
    for (int32_t i = 0; keys && i < count; ++i) {
        if (i) out += ',';
        out += '[' + std::to_string(keys[i].keyFrame) + ',';
        appendJsonFloat(out, keys[i].value.x);
        out += ',';
        appendJsonFloat(out, keys[i].value.y);
        out += ',';
        appendJsonFloat(out, keys[i].value.z);
        out += ']';
    }
    out += ']';
}

void appendMatrix(std::string& out, const Matrix4& m) {
    for (int i = 0; i < 16; ++i) {
        if (i) out += ',';
        appendJsonFloat(out, m.m[i]);
    }
}

} // namespace

std::string dumpAnim(const char* meshPath, const char* animPath, bool evaluate, int32_t frame) {
    TexturePool pool;
    Scene scene;
    Animation anim;
    int32_t meshResult = loadSceneMesh(scene, pool, meshPath);
    if (meshResult != 0) {
        return "{\"meshResult\":" + std::to_string(meshResult) + "}";
    }
    anim.setUp(scene.objects, scene.objectCount);
    int result = anim.load(animPath);
    // Bound whatever the result, so a broken file shows what its load built.
    anim.bindTo(scene);

    std::string out = "{\"result\":" + std::to_string(result) +
                      ",\"firstFrame\":" + std::to_string(scene.firstFrame) +
                      ",\"endFrame\":" + std::to_string(scene.endFrame) +
                      ",\"frameExtra\":" + std::to_string(scene.frameExtra) + ",\"cameras\":[";
    for (int32_t i = 0; i < scene.cameraCount; ++i) {
        const Camera& c = scene.cameras[i];
        if (i) out += ',';
        out += "{\"fov\":[";
        for (int32_t k = 0; c.fovKeys && k < c.fovKeyCount; ++k) {
            if (k) out += ',';
            appendJsonFloat(out, c.fovKeys[k]);
        }
        out += "],\"pos\":";
        appendVectorKeys(out, c.posKeys, c.posKeyCount);
        out += ",\"target\":";
        appendVectorKeys(out, c.targetKeys, c.targetKeyCount);
        out += '}';
    }
    out += "],\"lights\":[";
    for (int32_t i = 0; i < scene.lightCount; ++i) {
        const Light& l = scene.lights[i];
        if (i) out += ',';
        out += "{\"tag\":" + std::to_string(l.tag) + ",\"colour\":";
        appendVector(out, l.colour);
        out += ",\"scalar\":";
        appendJsonFloat(out, l.scalar);
        out += ",\"keys\":";
        appendVectorKeys(out, l.keys, l.keyCount);
        out += '}';
    }
    out += "],\"objects\":[";
    for (int32_t i = 0; i < scene.objectCount; ++i) {
        const GeomObj& o = scene.objects[i];
        if (i) out += ',';
        out += "{\"name\":";
        appendJsonString(out, o.name ? o.name : "");
        out += ",\"keys\":[";
        for (int32_t k = 0; o.keys && k < o.keyCount; ++k) {
            if (k) out += ',';
            out += '[' + std::to_string(o.keys[k].keyFrame) + ',';
            appendMatrix(out, o.keys[k].matrix);
            out += ']';
        }
        out += "]}";
    }
    out += ']';
    if (evaluate) {
        out += ",\"eval\":{\"frame\":" + std::to_string(frame) + ",\"camera0\":";
        // A camera without position or target keys has nothing to evaluate.
        if (scene.cameraCount > 0 && scene.cameras[0].posKeyCount > 0 &&
            scene.cameras[0].targetKeyCount > 0) {
            Camera& c = scene.cameras[0];
            c.evaluate(frame);
            out += "{\"eye\":";
            appendVector(out, c.eye);
            out += ",\"view\":[";
            appendMatrix(out, c.view);
            out += "]}";
        } else {
            out += "null";
        }
        out += ",\"objectKeys\":[";
        for (int32_t i = 0; i < scene.objectCount; ++i) {
            if (i) out += ',';
            out +=
                std::to_string(selectKey(scene.objects[i].keys, scene.objects[i].keyCount, frame));
        }
        out += "]}";
    }
    out += '}';
    return out;
}

std::string dumpTga(const char* path) {
    TexturePool pool;
    initPool(pool, poolBudget);
    TextureSlot& slot = pool.slots[0];
    int32_t result = loadTga(pool, path, slot, 0);
    size_t bytes = size_t(slot.width) * size_t(slot.height) * size_t(slot.depth / 8);
    std::string out =
        "{\"result\":" + std::to_string(result) + ",\"width\":" + std::to_string(slot.width) +
        ",\"height\":" + std::to_string(slot.height) + ",\"depth\":" + std::to_string(slot.depth) +
        ",\"remaining\":" + std::to_string(pool.remaining) + ",\"pixelsFnv1a\":";
    appendJsonHash(out, slot.pixels, bytes);
    out += '}';
    return out;
}

std::string dumpJpeg(const char* path) {
    int32_t width, height;
    uint8_t* rgb = loadJpeg(path, width, height);
    std::string out = "{\"width\":" + std::to_string(width) +
                      ",\"height\":" + std::to_string(height) + ",\"rgbFnv1a\":";
    appendJsonHash(out, rgb, size_t(width) * size_t(height) * 3);
    out += '}';
    delete[] rgb;
    return out;
}
