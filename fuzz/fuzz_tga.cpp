// loadTga on arbitrary bytes, into a pool with the demo's budget.
#include "assets/texture_pool.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = writeFuzzInput(data, size);
    TexturePool pool;
    initPool(pool, 4194304);
    loadTga(pool, path, pool.slots[0], 0);
    return 0;
}
