// The JPEG decode and its upload on arbitrary bytes.
#include "assets/jpeg_images.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = openFuzzInput(data, size);
    uploadJpegTexture(f, texEnv);
    fclose(f);
    return 0;
}
