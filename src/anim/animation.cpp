// The animation loader and its binding to a scene.
//
// The file is trusted for nothing: every read is checked, and a broken file ends the load
// with result 2 and a report whose label names the part being read ("anim header", "anim
// data", "object name", "anim counts") and whose error text says what was wrong ("No data
// available" for a file cut short, "Invalid argument" for a negative count, "File name too
// long" for a name over 255 bytes). Counts are stored only once their list exists, so a
// failed load never leaves a count that promises more than is there.
#include "anim/animation.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "assets/read_le.h"
#include "platform/files.h"

namespace {
constexpr size_t maxObjectName = 255;
// The bytes each record takes in the file, at least. A count whose records the rest of the file
// cannot hold is refused before its list is made, so a few bytes cannot make the loader build
// and release megabytes.
constexpr int64_t minCameraBlock = 3 * 2; // its three counts
constexpr int64_t minLightBlock = 2 + 12 + 4 + 2;
constexpr int64_t fovRecord = 4;
constexpr int64_t vectorKeyRecord = 14;
constexpr int64_t objectKeyRecord = 2 + 12 * 4;

void releaseTracks(ObjectTrack* tracks, int32_t count) {
    if (!tracks) return;
    for (int32_t i = 0; i < count; ++i) {
        delete[] tracks[i].keys;
        delete[] tracks[i].name;
    }
    delete[] tracks;
}

void releaseCameras(Camera* cameras, int32_t count) {
    if (!cameras) return;
    for (int32_t i = 0; i < count; ++i) {
        delete[] cameras[i].fovKeys;
        delete[] cameras[i].posKeys;
        delete[] cameras[i].targetKeys;
    }
    delete[] cameras;
}

void releaseLights(Light* lights, int32_t count) {
    if (!lights) return;
    for (int32_t i = 0; i < count; ++i)
        delete[] lights[i].keys;
    delete[] lights;
}

bool readVectorKey(FILE* f, VectorKey& k) {
    return readI16(f, k.keyFrame) && readVector3(f, k.value);
}

// Reads a count and its vector keys; returns 0 or the load's result after reporting.
int readVectorKeys(FILE* f, VectorKey*& keys, int32_t& count, const char* nomemLabel) {
    int16_t n;
    if (!readI16(f, n)) return reportCutShort(f, "anim data"), 2;
    if (n < 0) return reportBadValue("anim counts", EINVAL), 2;
    if (n == 0) return 0;
    if (!holds(f, n, vectorKeyRecord)) return reportCutShort(f, "anim data"), 2;
    keys = new (std::nothrow) VectorKey[n]();
    if (!keys) return perror(nomemLabel), 2;
    count = n;
    for (int32_t i = 0; i < n; ++i)
        if (!readVectorKey(f, keys[i])) return reportCutShort(f, "anim data"), 2;
    return 0;
}

// 0 when the Animation can take a file; else the load's result, reported.
int notReady(const Animation& anim) {
    if (!anim.initialized) return perror("animation not initialized"), 4;
    if (anim.trackCount < 1) return perror("animation not initialized"), 1;
    return 0;
}

bool readObjectKey(FILE* f, ObjectKey& k) {
    if (!readI16(f, k.keyFrame)) return false;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 3; ++col)
            if (!readF32(f, k.matrix.at(row, col))) return false;
        k.matrix.at(row, 3) = row == 3 ? 1.0f : 0.0f;
    }
    return true;
}
} // namespace

bool namesEqual(const char* a, const char* b) {
    if (!a || !b) return false;
    size_t la = strlen(a), lb = strlen(b);
    return la == lb && memcmp(a, b, la) == 0;
}

Animation::Animation()
    : tracks(nullptr), trackCount(0), cameras(nullptr), cameraCount(0), lights(nullptr),
      lightCount(0), firstFrame(0), endFrame(0), frameExtra(0), initialized(0) {}

Animation::~Animation() {
    releaseTracks(tracks, trackCount);
    releaseCameras(cameras, cameraCount);
    releaseLights(lights, lightCount);
}

int Animation::setUp(const GeomObj* objects, int32_t objectCount) {
    // A second set-up starts again from nothing rather than leaking the first.
    releaseTracks(tracks, trackCount);
    tracks = nullptr;
    trackCount = 0;
    initialized = 0;
    if (objectCount < 0 || !objects) objectCount = 0;

    if (objectCount > 0) {
        tracks = new (std::nothrow) ObjectTrack[objectCount]();
        if (!tracks) return perror("nomem @ anim init"), 2;
        trackCount = objectCount;
    }
    for (int32_t i = 0; i < objectCount; ++i) {
        const char* name = objects[i].name ? objects[i].name : "";
        size_t n = strlen(name);
        tracks[i].keys = nullptr;
        tracks[i].keyCount = 0;
        tracks[i].name = new (std::nothrow) char[n + 1];
        if (!tracks[i].name) return perror("nomem @ anim init name"), 2;
        memcpy(tracks[i].name, name, n + 1);
    }

    releaseCameras(cameras, cameraCount);
    releaseLights(lights, lightCount);
    cameras = nullptr;
    lights = nullptr;
    cameraCount = lightCount = 0;
    firstFrame = endFrame = frameExtra = 0;
    initialized = 1;
    return 0;
}

int Animation::findTrack(const char* name) const {
    for (int32_t i = 0; i < trackCount; ++i)
        if (namesEqual(tracks[i].name, name)) return i;
    return -1;
}

int Animation::load(const char* path) {
    if (int r = notReady(*this)) return r;
    FileCloser file{openFile(path, "rb")};
    if (!file.f) return perror("Unable to open file"), 1;
    return read(file.f);
}

int Animation::read(FILE* f) {
    if (int r = notReady(*this)) return r;

    char magic[12];
    if (!readExact(f, magic, sizeof magic) || memcmp(magic, "_quoxelanim", 12) != 0)
        return perror("This is not a valid anim file"), 1;

    int16_t reserved, first, end, extra, c, l;
    if (!readI16(f, reserved) || !readI16(f, first) || !readI16(f, end) || !readI16(f, extra) ||
        !readI16(f, c) || !readI16(f, l))
        return reportCutShort(f, "anim header"), 2;
    firstFrame = first;
    endFrame = end;
    frameExtra = extra;
    if (c < 0 || l < 0) return reportBadValue("anim counts", EINVAL), 2;
    if (!holds(f, 1, c * minCameraBlock + l * minLightBlock))
        return reportCutShort(f, "anim data"), 2;

    // A second load replaces what the first built.
    releaseCameras(cameras, cameraCount);
    releaseLights(lights, lightCount);
    cameras = nullptr;
    lights = nullptr;
    cameraCount = lightCount = 0;
    if (c > 0) {
        cameras = new (std::nothrow) Camera[c];
        if (!cameras) return perror("nomem @ cam list init"), 2;
        cameraCount = c;
    }
    if (l > 0) {
        lights = new (std::nothrow) Light[l];
        if (!lights) return perror("nomem @ light list init"), 2;
        lightCount = l;
    }

    for (int32_t i = 0; i < cameraCount; ++i) {
        Camera& cam = cameras[i];
        int16_t n;
        if (!readI16(f, n)) return reportCutShort(f, "anim data"), 2;
        if (n < 0) return reportBadValue("anim counts", EINVAL), 2;
        if (!holds(f, n, fovRecord)) return reportCutShort(f, "anim data"), 2;
        if (n > 0) {
            cam.fovKeys = new (std::nothrow) float[n]();
            if (!cam.fovKeys) return perror("camera fovlist"), 2;
            cam.fovKeyCount = n;
            for (int32_t k = 0; k < n; ++k)
                if (!readF32(f, cam.fovKeys[k])) return reportCutShort(f, "anim data"), 2;
        }
        if (int r = readVectorKeys(f, cam.posKeys, cam.posKeyCount, "camera animlist 1")) return r;
        if (int r = readVectorKeys(f, cam.targetKeys, cam.targetKeyCount, "camera animlist 2"))
            return r;
    }

    for (int32_t i = 0; i < lightCount; ++i) {
        Light& light = lights[i];
        int16_t tag;
        if (!readI16(f, tag) || !readVector3(f, light.colour) || !readF32(f, light.scalar))
            return reportCutShort(f, "anim data"), 2;
        light.tag = tag;
        if (int r = readVectorKeys(f, light.keys, light.keyCount, "light animlist 1")) return r;
    }

    for (;;) {
        int16_t marker;
        if (!readI16(f, marker)) return reportCutShort(f, "anim data"), 2;
        if (marker == 0) return 0;

        char name[maxObjectName + 1];
        size_t nameLength;
        if (!readString(f, name, maxObjectName, nameLength)) return perror("object name"), 2;
        int t = findTrack(name);
        if (t < 0) return perror("Corrupted file"), 2;
        ObjectTrack& track = tracks[t];
        delete[] track.keys;
        track.keys = nullptr;
        track.keyCount = 0;

        int16_t n;
        if (!readI16(f, n)) return reportCutShort(f, "anim data"), 2;
        // A negative count is taken as no keys, like 0: the track never promises keys it
        // does not hold.
        if (n <= 0) {
            printf("no animakeys!\n");
            continue;
        }
        if (!holds(f, n, objectKeyRecord)) return reportCutShort(f, "anim data"), 2;
        track.keys = new (std::nothrow) ObjectKey[n]();
        if (!track.keys) return perror("animkeylist"), 2;
        track.keyCount = n;
        for (int32_t k = 0; k < n; ++k)
            if (!readObjectKey(f, track.keys[k])) return reportCutShort(f, "anim data"), 2;
    }
}

// Matched by position. A mesh may declare more cameras or lights than its animation file
// holds, and a scene other than the set-up one may have more objects than there are tracks:
// only the records both sides have are bound, the others keep their empty lists.
void Animation::bindTo(Scene& scene) const {
    for (int32_t i = 0; i < scene.objectCount && i < trackCount; ++i) {
        scene.objects[i].keys = tracks[i].keys;
        scene.objects[i].keyCount = tracks[i].keyCount;
    }
    for (int32_t i = 0; i < scene.cameraCount && i < cameraCount; ++i) {
        Camera& to = scene.cameras[i];
        const Camera& from = cameras[i];
        to.fovKeys = from.fovKeys;
        to.fovKeyCount = from.fovKeyCount;
        to.posKeys = from.posKeys;
        to.posKeyCount = from.posKeyCount;
        to.targetKeys = from.targetKeys;
        to.targetKeyCount = from.targetKeyCount;
    }
    for (int32_t i = 0; i < scene.lightCount && i < lightCount; ++i) {
        Light& to = scene.lights[i];
        const Light& from = lights[i];
        to.keys = from.keys;
        to.keyCount = from.keyCount;
        to.tag = from.tag;
        to.colour = from.colour;
        to.scalar = from.scalar;
    }
    scene.firstFrame = firstFrame;
    scene.endFrame = endFrame;
    scene.frameExtra = frameExtra;
}
