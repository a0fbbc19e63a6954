// A small complete show for tests: three one-quad scenes with their animations and the eight
// pictures, each a flat colour, written with the format writers into dir/data.
#pragma once
#include <cstdint>
#include <string>

struct ShowDataOptions {
    // Object keys at every frame 0 .. 399, key k moving its object k units along camera x, so
    // a drawn vertex tells at which frame its scene was evaluated.
    bool frameCodedKeys = false;
    int16_t firstFrame = 0;
    int16_t endFrame = 100;
};

// Flat colours of the pictures, RGB.
struct PictureColour {
    const char* file;
    uint8_t r, g, b;
};
extern const PictureColour showPictures[8];

// Where each scene's quad lies in camera space (x right, y ahead, z up), `ahead` units in
// front of a camera at the origin looking along +Y. Each scene has its own distance, so a
// drawn vertex also tells which scene it belongs to.
struct QuadPlace {
    float x0, x1, z0, z1, ahead;
};
extern const QuadPlace sceneQuads[3];

// A fresh empty folder under the system's temporary folder.
std::string makeTempDir();

// Writes data/1.chk .. data/3.chk, data/1a.chk .. data/3a.chk and the eight JPEG files
// under dir (created if missing). False when a file cannot be written.
bool writeShowData(const std::string& dir, const ShowDataOptions& options = {});
