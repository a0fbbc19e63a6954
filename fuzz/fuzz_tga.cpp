// The TGA reader on arbitrary bytes, into a pool with the demo's budget. The pool is made once:
// its 4 MiB block costs more than a whole small input, and releasing the textures after each
// input leaves it as initPool made it.
#include "assets/texture_pool.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TexturePool pool;
    if (!pool.block) initPool(pool, 4194304);
    FILE* f = openFuzzInput(data, size);
    readTga(pool, f, "gfx\\fuzz.tga", pool.slots[0], 0);
    fclose(f);
    releaseTextures(pool);
    return 0;
}
