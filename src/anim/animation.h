// One animation file: the frame range, camera and light tracks, and a track of matrices per
// named mesh object. The Animation owns every list; a bound Scene only borrows them.
#pragma once
#include <cstdint>
#include <cstdio>

#include "assets/scene.h"

struct ObjectTrack {
    ObjectKey* keys;
    int32_t keyCount;
    char* name;
};

struct Animation {
    ObjectTrack* tracks;
    int32_t trackCount;
    Camera* cameras;
    int32_t cameraCount;
    Light* lights;
    int32_t lightCount;
    int32_t firstFrame;
    int32_t endFrame;
    int32_t frameExtra;
    int32_t initialized;

    Animation();
    ~Animation();
    Animation(const Animation&) = delete;
    Animation& operator=(const Animation&) = delete;

    int setUp(const GeomObj* objects, int32_t objectCount);
    // 0 ok; 1 unusable file; 2 memory or broken file; 4 never set up.
    int load(const char* path);
    // The same from a stream open for reading (a file, or bytes in memory); the caller closes it.
    int read(FILE* stream);
    int findTrack(const char* name) const;
    void bindTo(Scene& scene) const;
};

bool namesEqual(const char* a, const char* b);
