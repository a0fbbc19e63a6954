// Material textures: each distinct TGA file is read once and kept in one of 128 slots.
// The GL texture name of a slot is its index, so names 0..127 are taken by this pool.
#pragma once
#include <cstdint>
#include <cstdio>

constexpr int32_t textureSlotCount = 128;

struct TextureSlot {
    char* name; // "gfx\" and the file part; the key of later look-ups
    int32_t width;
    int32_t height;
    uint8_t* pixels; // the file's rows in reverse order
    int32_t used;
    int32_t glName;
    int32_t depth; // bits per pixel from the header; pixels holds width × height × depth ÷ 8
};

struct TexturePool {
    uint8_t* block; // reserved with the budget's size; pixels are not placed in it
    int32_t budget;
    int32_t remaining;
    TextureSlot slots[textureSlotCount];
    int32_t loadedCount;
    TexturePool();
    ~TexturePool();
    TexturePool(const TexturePool&) = delete;
    TexturePool& operator=(const TexturePool&) = delete;
};

void initPool(TexturePool& pool, int32_t budget);
TextureSlot* findTexture(TexturePool& pool, const char* storedName);
// 0 on success; 1 cannot open or a depth it cannot upload; 2 budget exhausted or the file is
// shorter than its header says; 3 no pixel buffer.
int32_t loadTga(TexturePool& pool, const char* path, TextureSlot& slot, int32_t glName);
// The same from a stream open for reading, kept in the slot under name; the caller closes it.
int32_t readTga(TexturePool& pool, FILE* stream, const char* name, TextureSlot& slot,
                int32_t glName);
// Releases every slot's texture and gives the whole budget back: the pool is as initPool left
// it, its block still reserved.
void releaseTextures(TexturePool& pool);
// "gfx\" and the part after the last backslash, in one static buffer the next call overwrites.
const char* texturePath(const char* storedName);
