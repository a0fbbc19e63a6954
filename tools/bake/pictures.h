// The show's pictures: the eight JPEG images of the image table and the TGA textures that the
// scene materials name. Every one is painted here from code.
#pragma once
#include <cstdint>
#include <string>

#include "picture.h"

// A JPEG under data/ (lower-case file name) with the painter that makes it.
struct ImageRecipe {
    const char* fileName;
    int32_t width, height;
    bool needsFont;
};
extern const ImageRecipe imageRecipes[8];

// A material texture under gfx/, named by the materials of the three scenes.
struct MaterialTexture {
    const char* fileName;
    int32_t size; // square, a power of two
};
constexpr int32_t materialTextureCount = 4;
extern const MaterialTexture materialTextures[materialTextureCount];

// Paints one image of the table; fontPath is only read for the pictures with text.
Picture paintImage(int32_t index, const std::string& fontPath, bool& ok);
Picture paintMaterialTexture(int32_t index);

// The individual painters, open for the preview and the tests.
Picture paintTitle(int32_t w, int32_t h, const std::string& fontPath, bool& ok);
Picture paintEndCredits(int32_t w, int32_t h, const std::string& fontPath, bool& ok);
Picture paintMarrowquill(int32_t w, int32_t h);
Picture paintLanternPaper(int32_t w, int32_t h);
Picture paintEnvironment(int32_t w, int32_t h);
Picture paintPulsar(int32_t w, int32_t h);

// Writes data/*.jpg and gfx/*.tga under outDir (both folders must exist). False when a file
// cannot be written or the font is missing.
bool bakePictures(const std::string& outDir);
