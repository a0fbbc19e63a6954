// The mesh loader on arbitrary bytes, with a texture pool as the start-up gives it (made once,
// as in the TGA target). Texture names are looked up under gfx/ of the working directory:
// the fuzz scripts run the target where gfx/ holds the TGA seeds.
#include "assets/scene.h"
#include "assets/texture_pool.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TexturePool pool;
    if (!pool.block) initPool(pool, 4194304);
    FILE* f = openFuzzInput(data, size);
    {
        Scene scene;
        scene.texturePool = &pool;
        readMesh(scene, f);
    }
    fclose(f);
    releaseTextures(pool);
    return 0;
}
