// loadMesh on arbitrary bytes, with a texture pool as the start-up gives it.
#include "assets/scene.h"
#include "assets/texture_pool.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = writeFuzzInput(data, size);
    TexturePool pool;
    initPool(pool, 4194304);
    Scene scene;
    scene.texturePool = &pool;
    loadMesh(scene, path);
    return 0;
}
